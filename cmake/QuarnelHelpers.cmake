# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Project-wide warnings, applied to every target of ours.
function(quarnel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
endfunction()

# quarnel_add_library(name SOURCES... [DEPS lib...] [PUBLIC_DEPS lib...])
# One static library per subsystem folder; headers are included as "<folder>/<file>.h".
function(quarnel_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
    quarnel_warnings(${name})
endfunction()

# quarnel_add_test(name SOURCES... [DEPS lib...] [LABELS label] [ENV VAR=value])
# Adding a test is one line; every test case is registered with CTest separately.
function(quarnel_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    quarnel_warnings(${name})
    # Test discovery hands the properties on as a flat list, so a second label would be
    # taken for a property name: more labels go on the test's folder (set_property(DIRECTORY
    # APPEND PROPERTY LABELS ...)), which ctest adds to every test in it.
    list(LENGTH ARG_LABELS label_count)
    list(LENGTH ARG_ENV env_count)
    if(label_count GREATER 1 OR env_count GREATER 1)
        message(FATAL_ERROR "quarnel_add_test(${name}): give at most one label and one ENV")
    endif()
    set(props LABELS "${ARG_LABELS}")
    if(ARG_ENV)
        list(APPEND props ENVIRONMENT "${ARG_ENV}")
    endif()
    # A cross-built test program can list its cases only where its DLLs lie beside it,
    # which the Windows scripts arrange after the build: there the cases are listed when
    # ctest runs.
    if(CMAKE_CROSSCOMPILING)
        set(discovery DISCOVERY_MODE PRE_TEST)
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${discovery} PROPERTIES ${props})
endfunction()
