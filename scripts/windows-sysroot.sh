#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows side's own libraries, cross-built once per machine with the project's MinGW-w64
# toolchain into a private prefix outside the clone (never the Linux include folders):
#   - hidapi's Windows backend (windows/hid.c from Debian's hidapi source package), a small
#     static library that loads hid.dll and cfgmgr32.dll itself at run time;
#   - GoogleTest and GoogleMock from the source Debian ships in the googletest package;
#   - nlohmann/json's headers, copied (header-only).
# Prints the prefix last. The prefix's name carries a hash of everything that decides its
# contents; a stamp written last marks it complete, and while it exists this does nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" window windows >&2
source "$root/scripts/lib/cache.sh"
source "$root/scripts/lib/debian-source.sh"

toolchain="$root/cmake/toolchains/mingw-w64-x86_64.cmake"
triple=x86_64-w64-mingw32
# hidapi's source at the version of the Linux package we build against, so both backends
# are the same hidapi.
hidapi_version=$(dpkg-query -W -f='${source:Version}' libhidapi-dev)
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
json_version=$(dpkg-query -W -f='${Version}' nlohmann-json3-dev)
key=$({
    echo "$hidapi_version $gtest_version $json_version"
    "$triple-g++-posix" --version | head -n 1
    cat "$toolchain" "$0"
} | sha256sum | cut -c1-10)
prefix="$QUARNEL_CACHE/windows-sysroot-$key"
if [[ -f "$prefix/.complete" ]]; then
    echo "$prefix"
    exit 0
fi
rm -rf "$prefix"
mkdir -p "$prefix/include/hidapi" "$prefix/lib/pkgconfig"
work="$QUARNEL_CACHE/windows-sysroot-build"
rm -rf "$work"
mkdir -p "$work"

echo "hidapi $hidapi_version for Windows" >&2
source_dir=$(debian_source_fetch hidapi "$QUARNEL_CACHE/src" "$hidapi_version")
"$triple-gcc-posix" -O2 -c -I"$source_dir/hidapi" "$source_dir/windows/hid.c" -o "$work/hid.o"
"$triple-ar" rcs "$prefix/lib/libhidapi.a" "$work/hid.o"
cp "$source_dir/hidapi/hidapi.h" "$source_dir/windows/hidapi_winapi.h" "$prefix/include/hidapi/"
cat >"$prefix/lib/pkgconfig/hidapi.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: hidapi
Description: hidapi's Windows backend, built from Debian's source $hidapi_version
Version: ${hidapi_version%%-*}
Libs: -L\${libdir} -lhidapi
Cflags: -I\${includedir}/hidapi
PC

echo "GoogleTest $gtest_version for Windows" >&2
cmake -S /usr/src/googletest -B "$work/googletest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" >"$work/googletest.log" 2>&1 ||
    { tail -n 30 "$work/googletest.log" >&2; exit 1; }
cmake --build "$work/googletest" --target install >>"$work/googletest.log" 2>&1 ||
    { tail -n 30 "$work/googletest.log" >&2; exit 1; }

cp -r /usr/include/nlohmann "$prefix/include/"
# Its CMake package finds the headers relative to itself, so it moves along.
mkdir -p "$prefix/share/cmake"
cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"

rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
