// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string_view>

// What the map page carries inline, made at build time from Debian's libjs-leaflet and
// map_page/ by cmake/EmbedMapPage.cmake. Every text has LF line ends and is safe to put
// as it is into its element (no "</script" in a script, no "</style" or url() in a style).
namespace quarnel::map_page {

extern const std::string_view kLeafletScript;   // Leaflet's script, its licence notice first
extern const std::string_view kLeafletStyle;    // Leaflet's style, without its image files
extern const std::string_view kPageScript;      // map_page/page.js
extern const std::string_view kPageStyle;       // map_page/page.css
extern const std::string_view kLeafletVersion;  // "1.6.0"
// The content security policy's script sources: the SHA-256 digests of the two scripts
// above, "'sha256-...' 'sha256-...'". No other script runs in the page.
extern const std::string_view kScriptSources;

}  // namespace quarnel::map_page
