// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/lang_fixture.h"

namespace quarnel::test {

std::u16string EntryText(LangSection section, size_t position) {
    const std::u16string_view name = SectionName(section);
    std::u16string text(name.substr(1, name.size() - 2));
    text += u" #";
    for (char c : std::to_string(position)) {
        text.push_back(static_cast<char16_t>(c));
    }
    return text;
}

std::vector<std::u16string> FullLanguageLines(size_t extra) {
    std::vector<std::u16string> lines;
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        lines.emplace_back(SectionName(SectionAt(s)));
        for (size_t p = 0; p < kRequiredCounts[s] + extra; ++p) {
            lines.push_back(EntryText(SectionAt(s), p));
        }
    }
    return lines;
}

LangContents Contents(const CLangTable& table) {
    LangContents contents;
    for (size_t s = 0; s < kLangSectionCount; ++s) {
        for (size_t p = 0; p < table.Count(SectionAt(s)); ++p) {
            contents[s].push_back(table.Entry(SectionAt(s), p));
        }
    }
    return contents;
}

}  // namespace quarnel::test
