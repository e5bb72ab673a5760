// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <string>
#include <vector>

#include "i18n/lang_table.h"

namespace quarnel::test {

// Entries per section that label the whole form.
inline constexpr std::array<size_t, kLangSectionCount> kRequiredCounts{6, 1, 30, 4, 6, 4, 11, 2};

inline LangSection SectionAt(size_t index) {
    return static_cast<LangSection>(index);
}

// A text that says where it belongs, such as "SLEEP MODE #7" (no brackets, so no section line).
std::u16string EntryText(LangSection section, size_t position);

// The lines of a well-formed language file whose every entry is EntryText(section, position),
// with the required counts plus `extra` more lines in every section.
std::vector<std::u16string> FullLanguageLines(size_t extra = 0);

// The eight lists of a table, for comparing whole tables.
using LangContents = std::array<std::vector<std::u16string>, kLangSectionCount>;
LangContents Contents(const CLangTable& table);

}  // namespace quarnel::test
