// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

namespace quarnel {

// Text and numbers for the GPX and KML files.

// `text` (UTF-8) as XML character data or attribute value: & < > " ' become entity
// references; bytes that are not well-formed UTF-8, and characters that XML 1.0 does not
// allow (control characters other than tab, LF and CR; U+FFFE, U+FFFF), become U+FFFD.
std::string XmlEscape(std::string_view text);

// `value` with `decimals` (0-20) digits after the point, as "%.*f" in the C locale gives it,
// whatever locale the process has set (a Qt program takes the user's, whose decimal
// separator may be a comma). NaN gives "NaN" and infinities "INF" and "-INF", the XML
// Schema spellings.
std::string FixedText(double value, int decimals);

// A position a map can show: both values finite, latitude within -90..90 and longitude
// within -180..180 degrees.
bool IsMapPosition(float latitude, float longitude);

}  // namespace quarnel
