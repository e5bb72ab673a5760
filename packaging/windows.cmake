# The Windows package: a zip to unpack anywhere, quarnelctl.exe beside its documents.
# hidapi finds the tracker through Windows' own HID class driver: no driver to install and
# no administrator rights.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/quarnelctl.md
              ${PROJECT_SOURCE_DIR}/docs/profile-format.md
              ${PROJECT_SOURCE_DIR}/docs/simulated-tracker.md
        DESTINATION ${QUARNEL_INSTALL_DOC_DIR})

set(CPACK_PACKAGE_NAME quarnelctl)
set(CPACK_PACKAGE_VENDOR "Quarnel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME quarnelctl-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
