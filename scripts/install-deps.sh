#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages of the groups named, and does nothing when all of them are
# present. Without a group name it installs every group (scripts/test.sh and .ci/run).
#
#   scripts/install-deps.sh [GROUP...]
#
# Each group below holds the packages of one purpose: a package goes into the group of
# the purpose it serves, and a script names the groups it needs (scripts/check-deps.py
# checks that every program a script calls comes from its groups).
# Runs apt-get directly as root and through sudo otherwise.
set -euo pipefail

# window: building the programs and running the window (scripts/run-demo.sh).
group_window=(
    build-essential cmake ninja-build pkg-config
    # a compiler cache outside the clone (cmake/CompilerCache.cmake)
    ccache
    qt6-base-dev libgl-dev
    libhidapi-dev
    nlohmann-json3-dev
    # the map page: Leaflet, embedded at build time
    libjs-leaflet
    # the window without a display: a virtual X server; a font to draw its texts with
    xvfb xauth fonts-dejavu-core
)

# tests: the default test suite and benchmarks (scripts/test.sh) and the project's checks.
group_tests=(
    git
    libgtest-dev libgmock-dev libbenchmark-dev
    libssl-dev
    umockdev libumockdev-dev
    # screenshots (xdotool clicks), the Chinese texts, locales
    x11-apps imagemagick xdotool
    # the window read through the accessibility bus: a session bus, AT-SPI, pyatspi
    dbus-bin at-spi2-core python3-pyatspi
    fonts-noto-cjk
    locales
    # readers the log files are checked with
    gpsbabel libxml2-utils
    # the map page's browser tests, and its accessibility audit: axe-core from the npm
    # registry (scripts/axe-core.sh)
    chromium nodejs npm
    # scripts/check-deps.py; the licence check
    python3 shfmt reuse
    # the manual pages (built and checked) and the shell completions (tested in each shell)
    help2man scdoc man-db bash-completion zsh fish
)

# sanitizers: the address-, undefined-behaviour- and thread-sanitised runs, the fuzzers.
group_sanitizers=(
    clang libclang-rt-14-dev
    # the C library's symbols, so the thread sanitiser's suppressions (tests/tsan.supp)
    # can name its functions (valgrind pulls it in where valgrind is installed)
    libc6-dbg
)

# windows: the Windows cross build, its tests under Wine, the installer.
group_windows=(
    # Qt for Windows is built from Debian's qt6-base source (dpkg-source unpacks it, perl
    # runs its header generator)
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev xz-utils perl dpkg-dev
    # GoogleTest's source, built for Windows by scripts/windows-sysroot.sh
    googletest
    # the Windows installer (CPack's NSIS generator)
    nsis
    wine wine64 fonts-wine
)

# vm: scripts/kernel-test.sh (Debian's kernel in a virtual machine, busybox as its init);
# scripts/fresh-machine-ci.sh (a minimal Debian root).
group_vm=(
    qemu-system-x86 busybox-static
    debootstrap git
)

# packaging: the Debian packages (dpkg-buildpackage), their checks (lintian, autopkgtest)
# and the desktop and AppStream checks.
group_packaging=(
    dpkg-dev debhelper fakeroot git
    # the manual pages (Build-Depends of debian/control) and their check
    help2man scdoc man-db
    lintian autopkgtest
    desktop-file-utils appstream
)

all_groups=(window tests sanitizers windows vm packaging)

wanted=("$@")
((${#wanted[@]} > 0)) || wanted=("${all_groups[@]}")
packages=()
for group in "${wanted[@]}"; do
    if [[ " ${all_groups[*]} " != *" $group "* ]]; then
        echo "install-deps.sh: no group \"$group\" (groups: ${all_groups[*]})" >&2
        exit 2
    fi
    list="group_${group}[@]"
    packages+=("${!list}")
done

# One dpkg-query for the whole list: scripts that call this on every run stay fast.
declare -A installed=()
while read -r name status; do
    [[ "$status" == "install ok installed" ]] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
# A Node.js from outside Debian brings an npm of its own and conflicts with Debian's npm.
if [[ -z "${installed[npm]:-}" ]] && command -v npm >/dev/null; then
    installed[npm]=1
fi
missing=()
for p in "${packages[@]}"; do
    [[ -n "${installed[$p]:-}" || " ${missing[*]} " == *" $p "* ]] || missing+=("$p")
done

# The tests' packages from the npm registry, with the group that brings npm.
install_npm_packages() {
    if [[ " ${wanted[*]} " == *" tests "* ]]; then
        "$(dirname "$0")/axe-core.sh" >/dev/null
    fi
}

if ((${#missing[@]} == 0)); then
    install_npm_packages
    exit 0
fi

echo "Installing: ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then  # deps-check: ignore sudo (only for a user who is not root)
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have empty package lists; refresh only when an install fails.
if ! "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    "${as_root[@]}" apt-get update
    "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
install_npm_packages
