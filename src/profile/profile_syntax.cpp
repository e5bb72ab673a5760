// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "profile/profile_syntax.h"

#include <cstdio>

#include "form/utf8.h"

namespace quarnel {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// C0 and C1 controls and DEL: invisible in an editor, so they travel as \xHH.
bool IsControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Reads a value as the text after '=' gives it (already trimmed). Empty `problem` when fine.
std::u16string ReadValue(std::u16string_view raw, std::string& problem) {
    if (raw.empty() || raw.front() != u'"') {
        if (raw.find_first_of(u"#;") != std::u16string_view::npos) {
            problem =
                "a value holding '#' or ';' must be quoted (comments take a line of their own)";
        }
        return std::u16string(raw);
    }
    std::u16string value;
    size_t i = 1;
    for (;; ++i) {
        if (i >= raw.size()) {
            problem = "the quoted value has no closing quote";
            return value;
        }
        const char16_t c = raw[i];
        if (c == u'"') {
            break;
        }
        if (c != u'\\') {
            value.push_back(c);
            continue;
        }
        if (i + 1 >= raw.size()) {
            problem = "the quoted value has no closing quote";
            return value;
        }
        const char16_t e = raw[++i];
        if (e == u'"' || e == u'\\') {
            value.push_back(e);
        } else if (e == u'x' && i + 2 < raw.size() && HexDigit(raw[i + 1]) >= 0 &&
                   HexDigit(raw[i + 2]) >= 0) {
            value.push_back(
                static_cast<char16_t>(HexDigit(raw[i + 1]) * 16 + HexDigit(raw[i + 2])));
            i += 2;
        } else {
            problem = "unknown escape in a quoted value (use \\\", \\\\ or \\xHH)";
            return value;
        }
    }
    if (!Trim(raw.substr(i + 1)).empty()) {
        problem = "nothing may follow the closing quote on the line";
    }
    return value;
}

std::string Ascii(std::u16string_view s) {
    return EncodeUtf8(s);
}

}  // namespace

ProfileSyntax ParseProfileSyntax(std::string_view bytes) {
    ProfileSyntax out;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    std::string current;
    bool inSection = false;
    int lineNo = 0;
    while (!bytes.empty() || lineNo == 0) {
        ++lineNo;
        const size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::u16string decoded;
        if (const auto bad = DecodeUtf8(line, decoded)) {
            out.problems.push_back(
                {lineNo, "not valid UTF-8 (at byte " + std::to_string(*bad + 1) + " of the line)"});
            continue;
        }
        const std::u16string_view text = Trim(decoded);
        if (text.empty() || text.front() == u'#' || text.front() == u';') {
            continue;
        }
        if (text.front() == u'[') {
            if (text.back() != u']') {
                out.problems.push_back({lineNo, "a section line must end with ']'"});
                continue;
            }
            current = Ascii(Trim(text.substr(1, text.size() - 2)));
            inSection = true;
            out.sections.push_back({current, lineNo});
            continue;
        }
        const size_t eq = text.find(u'=');
        if (eq == std::u16string_view::npos) {
            out.problems.push_back({lineNo, "expected \"key = value\", a [section] or a comment"});
            continue;
        }
        const std::u16string_view key = Trim(text.substr(0, eq));
        if (key.empty()) {
            out.problems.push_back({lineNo, "no key name before '='"});
            continue;
        }
        if (!inSection) {
            out.problems.push_back(
                {lineNo, "\"" + Ascii(key) + "\" comes before the first [section]"});
            continue;
        }
        std::string problem;
        std::u16string value = ReadValue(Trim(text.substr(eq + 1)), problem);
        if (!problem.empty()) {
            out.problems.push_back({lineNo, "[" + current + "] " + Ascii(key) + ": " + problem});
            continue;
        }
        out.entries.push_back({current, Ascii(key), std::move(value), lineNo});
    }
    return out;
}

std::string FormatValue(std::u16string_view value) {
    bool quote = !value.empty() &&
                 (IsBlank(value.front()) || IsBlank(value.back()) || value.front() == u'"');
    for (const char16_t c : value) {
        quote = quote || c == u'#' || c == u';' || IsControl(c);
    }
    if (!quote) {
        return EncodeUtf8(value);
    }
    std::u16string escaped = u"\"";
    for (const char16_t c : value) {
        if (c == u'"' || c == u'\\') {
            escaped.push_back(u'\\');
            escaped.push_back(c);
        } else if (IsControl(c)) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
            escaped.append(hex, hex + 4);
        } else {
            escaped.push_back(c);
        }
    }
    escaped.push_back(u'"');
    return EncodeUtf8(escaped);
}

std::string FormatEntry(std::string_view key, std::u16string_view value) {
    std::string line(key);
    line += " =";
    if (!value.empty()) {
        line += ' ';
        line += FormatValue(value);
    }
    return line;
}

}  // namespace quarnel
