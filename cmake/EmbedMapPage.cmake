# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the map page's embedded assets into one C++ source file: Leaflet's script and style
# (from Debian's libjs-leaflet), the page's own script and style, and the SHA-256 digests of
# the two scripts for the page's content security policy. Pure CMake, run at build time on
# the build machine, so a cross-build embeds the same bytes:
#
#   cmake -DLEAFLET_DIR=<dir> -DPAGE_DIR=<dir> -DOUTPUT=<file.cpp> -P EmbedMapPage.cmake
#
# Every asset is checked to be safe inline: a script must not contain "</script" or "<!--"
# (either would end or bend the element early), a style not "</style", and nothing may load
# a file beside the page (url(...)), which a page mailed on its own would not have.
cmake_minimum_required(VERSION 3.25)

foreach(var LEAFLET_DIR PAGE_DIR OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "EmbedMapPage.cmake: ${var} is not set")
    endif()
endforeach()

# The file's text with LF line ends: the HTML parser turns CR LF into LF, and the digests
# must be those of the text the browser sees.
function(read_text out file)
    file(READ ${file} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(refuse text needle what)
    string(TOLOWER "${text}" lower)
    string(FIND "${lower}" "${needle}" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "${what} contains \"${needle}\" and cannot be put inline in a page")
    endif()
endfunction()

function(check_script text what)
    refuse("${text}" "</script" "${what}")
    refuse("${text}" "<!--" "${what}")
endfunction()

function(check_style text what)
    refuse("${text}" "</style" "${what}")
    refuse("${text}" "url(" "${what}")
endfunction()

# Base64 of a hex string (RFC 4648, with padding), for the CSP's 'sha256-...' sources.
function(hex_to_base64 out hex)
    set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
    string(LENGTH "${hex}" length)
    math(EXPR bytes "${length} / 2")
    set(result "")
    set(at 0)
    while(at LESS bytes)
        set(group 0)
        set(count 0)
        foreach(k RANGE 2)
            math(EXPR index "${at} + ${k}")
            set(value 0)
            if(index LESS bytes)
                math(EXPR offset "${index} * 2")
                string(SUBSTRING "${hex}" ${offset} 2 pair)
                math(EXPR value "0x${pair}")
                math(EXPR count "${count} + 1")
            endif()
            math(EXPR group "(${group} << 8) | ${value}")
        endforeach()
        foreach(shift 18 12 6 0)
            math(EXPR digit "(${group} >> ${shift}) & 63")
            string(SUBSTRING "${alphabet}" ${digit} 1 char)
            string(APPEND result "${char}")
        endforeach()
        if(count EQUAL 1)
            string(REGEX REPLACE "..$" "==" result "${result}")
        elseif(count EQUAL 2)
            string(REGEX REPLACE ".$" "=" result "${result}")
        endif()
        math(EXPR at "${at} + 3")
    endwhile()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

# `name` as a byte array and a string_view over it.
function(append_asset out_var name text)
    string(HEX "${text}" hex)
    string(LENGTH "${hex}" hex_length)
    math(EXPR size "${hex_length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # Some lines rather than one very long one (CMake's expressions have no {n}).
    string(REPEAT "0x[0-9a-f][0-9a-f]," 24 line)
    string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
    set(code "${${out_var}}")
    string(APPEND code "const unsigned char k${name}Bytes[] = {\n${bytes}\n};\n")
    string(APPEND code "const std::string_view k${name}(reinterpret_cast<const char*>(k${name}Bytes), ${size});\n\n")
    set(${out_var} "${code}" PARENT_SCOPE)
endfunction()

# Leaflet's script, with its licence notice in front and without the line that points
# developer tools at a source map beside it.
read_text(leaflet_js ${LEAFLET_DIR}/leaflet.min.js)
string(REGEX REPLACE "\n?//# sourceMappingURL=[^\n]*" "" leaflet_js "${leaflet_js}")
if(NOT leaflet_js MATCHES "version=\"([0-9][0-9.]*)\"")
    message(FATAL_ERROR "${LEAFLET_DIR}/leaflet.min.js: no Leaflet version found")
endif()
set(leaflet_version ${CMAKE_MATCH_1})
read_text(notice ${PAGE_DIR}/leaflet-notice.txt)
string(REPLACE "@LEAFLET_VERSION@" "${leaflet_version}" notice "${notice}")
if(notice MATCHES "\\*/")
    message(FATAL_ERROR "leaflet-notice.txt must not contain \"*/\"")
endif()
set(leaflet_js "/*\n${notice}*/\n${leaflet_js}\n")
check_script("${leaflet_js}" "leaflet.min.js")

# Leaflet's style. Its images (the default marker, the layers button) stay unused: the page
# draws its own markers, so their url() references are dropped rather than left dangling.
read_text(leaflet_css ${LEAFLET_DIR}/leaflet.css)
string(REGEX REPLACE "/\\*# sourceMappingURL=[^*]*\\*/" "" leaflet_css "${leaflet_css}")
string(REGEX REPLACE "url\\(images/[^)]*\\)" "none" leaflet_css "${leaflet_css}")
string(REPLACE "behavior:url(#default#VML)" "" leaflet_css "${leaflet_css}")
check_style("${leaflet_css}" "leaflet.css")

read_text(page_js ${PAGE_DIR}/page.js)
check_script("${page_js}" "page.js")
read_text(page_css ${PAGE_DIR}/page.css)
check_style("${page_css}" "page.css")

string(SHA256 leaflet_digest "${leaflet_js}")
string(SHA256 page_digest "${page_js}")
hex_to_base64(leaflet_hash ${leaflet_digest})
hex_to_base64(page_hash ${page_digest})

set(code "// Made by cmake/EmbedMapPage.cmake from Leaflet ${leaflet_version} and ${PAGE_DIR}.\n")
string(APPEND code "// Do not edit.\n#include \"gpslog/map_page_assets.h\"\n\n")
string(APPEND code "namespace quarnel::map_page {\n\nnamespace {\n\n")
append_asset(code LeafletScriptText "${leaflet_js}")
append_asset(code LeafletStyleText "${leaflet_css}")
append_asset(code PageScriptText "${page_js}")
append_asset(code PageStyleText "${page_css}")
string(APPEND code "}  // namespace\n\n")
string(APPEND code "const std::string_view kLeafletScript = kLeafletScriptText;\n")
string(APPEND code "const std::string_view kLeafletStyle = kLeafletStyleText;\n")
string(APPEND code "const std::string_view kPageScript = kPageScriptText;\n")
string(APPEND code "const std::string_view kPageStyle = kPageStyleText;\n")
string(APPEND code "const std::string_view kLeafletVersion = \"${leaflet_version}\";\n")
string(APPEND code "const std::string_view kScriptSources = \"'sha256-${leaflet_hash}' 'sha256-${page_hash}'\";\n")
string(APPEND code "\n}  // namespace quarnel::map_page\n")

# Rewritten only when it changed, so an unchanged page does not rebuild the library.
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT "${code}" @ONLY)
