// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/lang_table.h"

#include <utility>

namespace quarnel {

namespace {

constexpr std::array<std::u16string_view, kLangSectionCount> kSectionNames{
    u"[BUTTON]",        u"[TRACKER]",      u"[SYSTEM CONFIG]", u"[GSM GPRS CONFIG]",
    u"[SERVER CONFIG]", u"[PHONE CONFIG]", u"[SLEEP MODE]",    u"[FIRMWARE UPDATE]",
};

size_t Index(LangSection section) {
    return static_cast<size_t>(section);
}

// Section names are plain ASCII, so the error text can carry them as they are.
std::string MissingEntryText(LangSection section, size_t position) {
    const std::u16string_view name = SectionName(section);
    return "The language file has no entry " + std::to_string(position) + " in " +
           std::string(name.begin(), name.end());
}

}  // namespace

std::u16string_view SectionName(LangSection section) {
    return kSectionNames.at(Index(section));
}

LangEntryMissing::LangEntryMissing(LangSection section, size_t position)
    : std::invalid_argument(MissingEntryText(section, position)),
      m_section(section),
      m_position(position) {}

void CLangTable::Clear() {
    for (auto& list : m_lists) {
        list.clear();
    }
}

void CLangTable::Append(LangSection section, std::u16string text) {
    m_lists.at(Index(section)).push_back(std::move(text));
}

size_t CLangTable::Count(LangSection section) const {
    return m_lists.at(Index(section)).size();
}

const std::u16string& CLangTable::Entry(LangSection section, size_t position) const {
    const auto& list = m_lists.at(Index(section));
    if (position >= list.size()) {
        throw LangEntryMissing(section, position);
    }
    return list[position];
}

}  // namespace quarnel
