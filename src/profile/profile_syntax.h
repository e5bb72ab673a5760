// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "profile/profile.h"

namespace quarnel {

// The lines of a profile file, before anything is known about its sections and keys.
//
// - UTF-8, an optional byte-order mark first; lines end in LF or CR LF.
// - Blank lines, and lines whose first non-blank character is '#' or ';' (comments), are
//   skipped. Comments take a line of their own.
// - "[name]" starts a section; "key = value" is an entry of the section last started.
// - The value is what follows the first '=', without the blanks (spaces, tabs) around it.
//   A value that starts with '"' is quoted: it ends at the next '"' that no backslash
//   escapes, and inside it \" is a quote, \\ a backslash and \xHH the character U+00HH.
//   An unquoted value is taken as it stands; it may hold neither '#' nor ';', so a
//   comment that wandered onto a value's line is refused rather than read as the value.
struct ProfileSyntax {
    struct Section {
        std::string name;
        int line;
    };
    struct Entry {
        std::string section;  // empty when the entry comes before any section
        std::string key;
        std::u16string value;
        int line;
    };
    std::vector<Section> sections;  // in file order
    std::vector<Entry> entries;     // in file order
    std::vector<ProfileProblem> problems;
};

ProfileSyntax ParseProfileSyntax(std::string_view bytes);

// A value as an entry line carries it: as it stands when that reads back the same, quoted
// and escaped otherwise (blanks at either end, a leading quote, '#', ';', control
// characters). UTF-8.
std::string FormatValue(std::u16string_view value);

// "key = value", or "key =" for an empty value.
std::string FormatEntry(std::string_view key, std::u16string_view value);

}  // namespace quarnel
