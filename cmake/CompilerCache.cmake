# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later

# Compiles through ccache when the machine has it. Its cache lives outside the clone
# (ccache's own default, ~/.cache/ccache), so a clean clone, a second work tree or the next
# CI run compiles only what changed. base_dir makes the paths inside the tree relative and
# hash_dir off leaves the working folder out of the key, so the same sources in another
# folder hit the same entries.
option(QUARNEL_CCACHE "Compile through ccache when it is installed" ON)
if(QUARNEL_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    find_program(QUARNEL_CCACHE_PROGRAM ccache)
    if(QUARNEL_CCACHE_PROGRAM)
        set(CMAKE_CXX_COMPILER_LAUNCHER
            ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
            ${QUARNEL_CCACHE_PROGRAM})
    endif()
endif()
