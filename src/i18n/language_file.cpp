// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <optional>

#include "form/messages.h"
#include "i18n/file_bytes.h"
#include "i18n/lang_table.h"
#include "i18n/utf16_pieces.h"

namespace quarnel {

namespace {

// Lets a text mention a section name, or stand in for one, without starting that section.
constexpr std::u16string_view kTextEscape = u"]/";

bool Contains(const std::u16string& line, std::u16string_view part) {
    return line.find(part) != std::u16string::npos;
}

std::optional<LangSection> SectionNamedIn(const std::u16string& line) {
    for (size_t i = 0; i < kLangSectionCount; ++i) {
        const auto section = static_cast<LangSection>(i);
        if (Contains(line, SectionName(section))) {
            return section;
        }
    }
    return std::nullopt;
}

}  // namespace

void ParseLanguage(std::string_view bytes, CLangTable& table) {
    table.Clear();
    // None until the first section line: text above it belongs to no list.
    std::optional<LangSection> current;
    Utf16PieceReader reader(bytes);
    std::u16string piece;
    while (reader.Next(piece)) {
        if (!Contains(piece, kTextEscape)) {
            if (const auto section = SectionNamedIn(piece)) {
                current = section;
                continue;
            }
        }
        if (current) {
            table.Append(*current, std::move(piece));
        }
    }
}

bool LoadLanguage(const std::filesystem::path& path, CLangTable& table, UiServices& ui) {
    table.Clear();
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        ui.ShowMessage(std::u16string(msg::kCannotOpenLang));
        return false;
    }
    ParseLanguage(*bytes, table);
    return true;
}

}  // namespace quarnel
