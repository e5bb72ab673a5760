# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix thread model, so
# std::thread works). Used by the project's Windows presets and by the scripts that build
# third-party code for Windows, so everything Windows-side is built by one compiler setup.
#
# QUARNEL_WINDOWS_SYSROOT: a private prefix holding what we build for Windows ourselves
# (hidapi, GoogleTest, ...). Never the Linux include or library folders.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARNEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUARNEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARNEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARNEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUARNEL_MINGW_TRIPLE})
if(QUARNEL_WINDOWS_SYSROOT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${QUARNEL_WINDOWS_SYSROOT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# A caller that finds host-built packages too (Qt's build finds its host tools) sets BOTH.
if(NOT DEFINED CMAKE_FIND_ROOT_PATH_MODE_PACKAGE)
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()

# Test discovery and ctest run the .exe files under Wine. Debian keeps wine64 off PATH.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR AND EXISTS /usr/lib/wine/wine64)
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
