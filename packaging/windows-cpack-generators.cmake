# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack once for each generator it runs (CPACK_PROJECT_CONFIG_FILE): the zip holds
# quarnelctl and its documents alone, the installer everything the build installs.
if(CPACK_GENERATOR STREQUAL "ZIP")
    set(CPACK_PACKAGE_NAME quarnelctl)
    set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL quarnelctl)
    set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
    set(CPACK_ARCHIVE_FILE_NAME "quarnelctl-${CPACK_PACKAGE_VERSION}-windows-x86_64")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_ARCHIVE_FILE_NAME}")
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(CPACK_GENERATOR STREQUAL "NSIS")
    # One piece, no component page: the window, the demo and quarnelctl belong together.
    set(CPACK_MONOLITHIC_INSTALL ON)
endif()
