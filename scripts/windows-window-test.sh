#!/usr/bin/env bash
# The window's tests on Windows: cross-builds build/windows-gui (the programs and every test
# program, against Qt for Windows from scripts/windows-qt.sh), puts Qt's DLLs and the
# offscreen and windows platform plugins beside them, and runs the window's tests (label
# gui) under Wine with Qt's offscreen plugin, as they run offscreen on Linux. Left out
# there, each with its reason in tests/app/CMakeLists.txt: the decimal-comma locale test
# (glibc's localedef) and the application's lifetime test (runs the program as a child
# process; scripts/windows-demo-screenshot.sh runs the real window under Wine instead).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
source scripts/lib/wine.sh
source scripts/lib/windows-deploy.sh

qt=$(scripts/windows-qt.sh | tail -n 1)
QUARNEL_WINDOWS_SYSROOT=$(scripts/windows-sysroot.sh)
export QUARNEL_WINDOWS_SYSROOT
build=build/windows-gui
cmake --preset windows -B "$build" -DQUARNEL_BUILD_GUI=ON \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
windows_deploy "$qt" "$build/bin" platforms/qoffscreen.dll platforms/qwindows.dll

wine_init "$build/wine-prefix"
# Wine hands Qt's variables to a program only under a WINE prefix.
export WINEQT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" -L gui --parallel "$(nproc)" --output-on-failure --repeat until-pass:2
