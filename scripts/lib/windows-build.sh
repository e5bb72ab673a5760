# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# What the "windows" preset needs from its environment, the same in every script: Qt for
# Windows (scripts/windows-qt.sh: from the cache, or built once per machine) and the
# libraries we build for Windows ourselves (scripts/windows-sysroot.sh). Source this file
# from the repository root, then
#   windows_environment    exports QUARNEL_WINDOWS_QT and QUARNEL_WINDOWS_SYSROOT
#   windows_configure ...  configures build/windows (extra arguments go to cmake)

windows_environment() {
    QUARNEL_WINDOWS_QT=$(scripts/windows-qt.sh | tail -n 1)
    QUARNEL_WINDOWS_SYSROOT=$(scripts/windows-sysroot.sh)
    export QUARNEL_WINDOWS_QT QUARNEL_WINDOWS_SYSROOT
}

windows_configure() {
    cmake --preset windows "$@" >/dev/null
}
