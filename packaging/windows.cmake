# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows packages. hidapi finds the tracker through Windows' own HID class driver: no
# driver to install and no administrator rights.
#   a zip to unpack anywhere: quarnelctl.exe beside its documents (the install component
#   "quarnelctl" alone);
#   with the window: an installer, Quarnel-<version>-setup.exe, with the window, the demo,
#   quarnelctl, Qt's DLLs and plugins (QUARNEL_WINDOWS_RUNTIME_DIR, gathered by the build
#   script), Player.ini, Lang\ and Start-menu entries.
# windows-cpack-generators.cmake tells each generator its share.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/quarnelctl.md
              ${PROJECT_SOURCE_DIR}/docs/profile-format.md
              ${PROJECT_SOURCE_DIR}/docs/simulated-tracker.md
        DESTINATION ${QUARNEL_INSTALL_DOC_DIR} COMPONENT quarnelctl)

# The licence, and the notices and licences of what the programs carry, beside them (in
# the zip too: quarnelctl.exe carries the MinGW runtime, hidapi, nlohmann/json and Leaflet).
# Each part of the notices is the Debian copyright file of the package whose source that
# part was built from: Qt's (with the zlib, libpng, FreeType, HarfBuzz and PCRE2 bundled in
# its DLLs), GCC's and MinGW-w64's runtime linked in statically, hidapi, nlohmann/json and
# Leaflet.
set(notices ${CMAKE_CURRENT_BINARY_DIR}/THIRD-PARTY-NOTICES.txt)
set(notice_parts
    "Qt 6 (QtCore, QtGui, QtWidgets and their plugins, with zlib, libpng, FreeType, HarfBuzz and PCRE2 bundled)|libqt6core6"
    "The GCC runtime (libstdc++, libgcc), linked into each program|gcc-mingw-w64-base"
    "The MinGW-w64 runtime and winpthreads, linked into each program|mingw-w64-common"
    "hidapi, linked into each program|libhidapi-dev"
    "nlohmann/json, compiled into each program|nlohmann-json3-dev"
    "Leaflet, carried inside every map page the programs write|libjs-leaflet")
set(text "Third-party software in Quarnel for Windows\n\n"
         "Quarnel itself is under the GNU General Public License, version 3 or later\n"
         "(LICENSE.txt). The programs and DLLs also carry the software below, each under its\n"
         "own licence, given here with its copyright notices.\n")
foreach(part IN LISTS notice_parts)
    string(REPLACE "|" ";" part "${part}")
    list(GET part 0 what)
    list(GET part 1 package)
    set(copyright /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${copyright})
        message(FATAL_ERROR "${copyright} is missing (scripts/install-deps.sh window windows)")
    endif()
    file(READ ${copyright} notice)
    string(APPEND text "\n\n==============================================================================\n"
                       "${what}\n(from Debian's ${package} package)\n"
                       "==============================================================================\n\n"
                       "${notice}")
endforeach()
file(WRITE ${notices} "${text}")
install(FILES ${notices} DESTINATION . COMPONENT quarnelctl)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt DESTINATION . RENAME LICENSE.txt
        COMPONENT quarnelctl)

set(CPACK_PACKAGE_VENDOR "Quarnel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/windows-cpack-generators.cmake)

if(NOT QUARNEL_BUILD_GUI)
    set(CPACK_PACKAGE_NAME quarnelctl)
    set(CPACK_GENERATOR ZIP)
    include(CPack)
    return()
endif()

set(QUARNEL_WINDOWS_RUNTIME_DIR "" CACHE PATH
    "Folder with the DLLs and Qt plugins the Windows programs need, laid out as beside them")
if(QUARNEL_WINDOWS_RUNTIME_DIR)
    install(DIRECTORY ${QUARNEL_WINDOWS_RUNTIME_DIR}/ DESTINATION .)
endif()

set(CPACK_PACKAGE_NAME Quarnel)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_FILE_NAME Quarnel-${PROJECT_VERSION}-setup)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the Trelvin GSM/GPRS GPS tracker")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quarnel)
set(CPACK_PACKAGE_EXECUTABLES Quarnel Quarnel quarnel-demo "Quarnel demo (simulated tracker)")
set(CPACK_NSIS_PACKAGE_NAME Quarnel)
set(CPACK_NSIS_DISPLAY_NAME "Quarnel ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME Quarnel.exe)
# The licence page, and the entry in Apps & Features: CPack writes its name, version,
# publisher, icon and uninstall command; the size (in KiB, of everything the one section
# installs) is added here.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt)
set(CPACK_NSIS_URL_INFO_ABOUT "https://github.com/quarnel/quarnel")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS
    "SectionGetSize 0 $0
  WriteRegDWORD SHCTX 'Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Quarnel' 'EstimatedSize' $0")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/data/icons/quarnel.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/data/icons/quarnel.ico)
# The installer is a 64-bit program itself (it installs 64-bit programs, and a 32-bit one
# would need Windows' 32-bit layer), and puts them in "Program Files".
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The uninstaller removes the product's registry key, and then the vendor's key above it,
# which held only that (NSIS's single quotes, and backslashes doubled: CPack reads this text once more).
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Quarnel)
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "DeleteRegKey SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}\\\\Quarnel'
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'")
include(CPack)
