#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package that building, testing, benchmarking, fuzzing and
# running the demo need, and does nothing when all of them are present.
# Runs apt-get directly as root and through sudo otherwise.
set -euo pipefail

packages=(
    # building and testing
    build-essential cmake ninja-build pkg-config git
    # a compiler cache outside the clone (cmake/CompilerCache.cmake)
    ccache
    qt6-base-dev libgl-dev
    libhidapi-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libssl-dev
    nlohmann-json3-dev
    umockdev libumockdev-dev
    clang libclang-rt-14-dev
    # the C library's symbols, so the thread sanitiser's suppressions (tests/tsan.supp)
    # can name its functions (valgrind pulls it in where valgrind is installed)
    libc6-dbg
    # the window under a virtual display, screenshots (xdotool clicks), fonts, locales
    xvfb xauth x11-apps imagemagick xdotool
    # the window read through the accessibility bus: a session bus, AT-SPI, pyatspi
    dbus-bin at-spi2-core python3-pyatspi
    fonts-dejavu-core fonts-noto-cjk
    locales
    # readers the log files are checked with
    gpsbabel libxml2-utils
    # the .deb: CPack's shlibdeps step runs file and dpkg-shlibdeps
    file dpkg-dev
    # the Windows cross build; Qt for it is built from Debian's qt6-base source
    # (dpkg-source unpacks it, perl runs its header generator); Wine runs the result
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev xz-utils perl
    # GoogleTest's source, built for Windows by scripts/windows-sysroot.sh
    googletest
    # the Windows installer (CPack's NSIS generator)
    nsis
    wine wine64 fonts-wine
    # scripts/check-deps.py; scripts/fresh-machine-ci.sh
    python3 shfmt debootstrap
    # the map page: Leaflet, embedded at build time
    libjs-leaflet
    # the map page's browser tests, and its accessibility audit: axe-core from the npm
    # registry (scripts/axe-core.sh)
    chromium nodejs npm
    # scripts/kernel-test.sh: Debian's kernel in a virtual machine, busybox as its init
    qemu-system-x86 busybox-static
)

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
    [[ -n "${installed[$p]:-}" ]] || missing+=("$p")
done

install_npm_packages() {
    "$(dirname "$0")/axe-core.sh" >/dev/null
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
