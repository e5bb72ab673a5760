// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/xml_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace quarnel {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the well-formed UTF-8 sequence at the start of `s` and its code point, or 0
// when there is none (stray continuation byte, overlong form, surrogate, cut short).
size_t DecodeUtf8(std::string_view s, char32_t& code) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(0);
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    size_t length = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, code = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, code = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, code = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (byte(i) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

bool AllowedInXml(char32_t c) {
    if (c < 0x20) {
        return c == '\t' || c == '\n' || c == '\r';
    }
    return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        char32_t code = 0;
        const size_t length = DecodeUtf8(text, code);
        if (length == 0) {
            out += kReplacement;
            text.remove_prefix(1);
            continue;
        }
        switch (code) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (AllowedInXml(code)) {
                    out += text.substr(0, length);
                } else {
                    out += kReplacement;
                }
        }
        text.remove_prefix(length);
    }
    return out;
}

std::string FixedText(double value, int decimals) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    // A float's largest value has 39 digits before the point.
    char text[128];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        return "NaN";
    }
    return std::string(text, end);
}

bool IsMapPosition(float latitude, float longitude) {
    // The comparisons are false for NaN; infinities fall outside the ranges.
    return latitude >= -90.0f && latitude <= 90.0f && longitude >= -180.0f && longitude <= 180.0f;
}

}  // namespace quarnel
