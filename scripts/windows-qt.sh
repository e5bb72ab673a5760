#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Qt 6 for 64-bit Windows (MinGW-w64), built from Debian's own qt6-base source package of
# the same version as this machine's Qt, whose tools (moc, rcc, uic) the build uses.
# Only what the tool needs: QtCore, QtGui, QtWidgets, QtTest, the windows and offscreen
# platform plugins and the Windows Vista style, with zlib, libpng, FreeType, HarfBuzz and
# PCRE2 bundled, so the DLLs need nothing but Windows and the MinGW runtime.
#
# It is built once per machine into the cache outside the clone:
#   $QUARNEL_CACHE/qt6-mingw-<source version>-<hash>/
# where the hash covers the configure options, the toolchain file and the compiler's
# version. A stamp written last marks the folder complete; while it exists this script
# only prints the folder. A failed or interrupted build leaves no stamp, and the next run
# clears the folder and goes on from the build tree it left.
#
#   scripts/windows-qt.sh                 build when needed; prints the prefix last
#   scripts/windows-qt.sh --print-prefix  prints the prefix when it is complete, fails
#                                         otherwise (builds nothing)
# Only the prefix goes to stdout; progress goes to stderr and the build's own output to
# build.log in the build folder (its tail is shown when a step fails).
# QUARNEL_QT_JOBS sets the number of parallel build jobs (default: all cores); the build
# runs at nice 10 so that it yields to other work on the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

mode=build
case "${1:-}" in
    "") ;;
    --print-prefix) mode=print ;;
    *) echo "usage: $0 [--print-prefix]" >&2; exit 2 ;;
esac

[[ $mode == print ]] || "$root/scripts/install-deps.sh" window windows >&2
source "$root/scripts/lib/cache.sh"

toolchain="$root/cmake/toolchains/mingw-w64-x86_64.cmake"
compiler=x86_64-w64-mingw32-g++-posix

# The source is the host Qt's own version: the host tools and the target libraries must
# come from the same Qt.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) || {
    echo "qt6-base-dev is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
}
version=${version#*:}

# Everything that decides what gets built, except the folders (they follow from the key).
options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    # The toolchain file finds only Windows packages; Qt's build also needs the host's.
    -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=BOTH
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    # The libraries and plugins the tool does not use.
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
    -DFEATURE_glib=OFF
    # OpenGL off entirely: FEATURE_opengl alone leaves dynamic GL on, and the windows
    # plugin then fails to compile.
    -DFEATURE_opengl=OFF -DINPUT_opengl=no
    # Debian's source drops the bundled Wintab headers that tablet events need.
    -DFEATURE_tabletevent=OFF
    # Direct2D off needs DirectWrite 3 off too, or the windows plugin fails to link; text
    # is then drawn by GDI.
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
    # Debian's patch makes the Android deployment tool buildable when cross-compiling.
    -DFEATURE_androiddeployqt=OFF
    -DFEATURE_testlib=ON -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON
    -DFEATURE_pkg_config=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
)

compiler_version=$("$compiler" --version 2>/dev/null | head -n 1) || {
    echo "$compiler is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
}
key=$({
    printf '%s\n' "${options[@]}"
    cat "$toolchain"
    echo "$compiler_version"
} | sha256sum | cut -c 1-10)
name="qt6-mingw-$version-$key"
prefix="$QUARNEL_CACHE/$name"
stamp="$prefix/.quarnel-complete"

if [[ -f "$stamp" ]]; then
    echo "$prefix"
    exit 0
fi
if [[ $mode == print ]]; then
    echo "Qt for Windows is not built yet ($prefix): run $0" >&2
    exit 1
fi

# One build per key at a time; whoever waited finds the stamp.
exec 9>"$QUARNEL_CACHE/$name.lock"
if ! flock -n 9; then
    echo "waiting for another build of $name" >&2
    flock 9
fi
if [[ -f "$stamp" ]]; then
    echo "$prefix"
    exit 0
fi

build="$QUARNEL_CACHE/build/$name"
log="$build/build.log"
mkdir -p "$build"
started=$SECONDS
phase_started=$SECONDS

phase() {
    echo "windows-qt: $1 ($((SECONDS - phase_started)) s; $((SECONDS - started)) s in all)" >&2
    phase_started=$SECONDS
}
run_logged() {
    if ! "$@" >>"$log" 2>&1; then
        echo "windows-qt: failed: $*" >&2
        echo "---- last lines of $log" >&2
        tail -n 60 "$log" >&2
        exit 1
    fi
}

echo "windows-qt: building Qt $version for Windows into $prefix" >&2
source "$root/scripts/lib/debian-source.sh"
mkdir -p "$QUARNEL_CACHE/src"
src=$(debian_source_fetch qt6-base "$QUARNEL_CACHE/src" "$version")
phase "source ready in $src"

# A folder without its stamp is a leftover of a build that did not finish.
rm -rf "$prefix"
# Qt's installed qt.toolchain.cmake loads the toolchain file it was configured with: keep
# a copy inside the prefix, so that the cache does not depend on the clone that built it.
mkdir -p "$prefix/share/quarnel"
cp "$toolchain" "$prefix/share/quarnel/mingw-w64-x86_64.cmake"

if [[ ! -f "$build/build.ninja" ]]; then
    # A configure step that did not finish leaves a cache that may not configure again.
    rm -rf "$build"
    mkdir -p "$build"
    run_logged nice -n 10 cmake -S "$src" -B "$build" "${options[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/share/quarnel/mingw-w64-x86_64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix"
    phase "configured"
fi

jobs=${QUARNEL_QT_JOBS:-$(nproc)}
run_logged nice -n 10 cmake --build "$build" --parallel "$jobs"
phase "built with $jobs jobs"

run_logged cmake --install "$build" --strip
phase "installed"

{
    echo "qt6-base $version for x86_64-w64-mingw32, key $key"
    echo "compiler: $compiler_version"
    printf '%s\n' "${options[@]}"
} >"$stamp.tmp"
mv "$stamp.tmp" "$stamp"
# The build tree is only needed to resume an unfinished build.
rm -rf "$build"
echo "windows-qt: done in $((SECONDS - started)) s, $(du -sh "$prefix" | cut -f 1) installed" >&2
echo "$prefix"
