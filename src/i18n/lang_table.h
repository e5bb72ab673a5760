// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "form/form_access.h"
#include "form/ui_services.h"

namespace quarnel {

// The eight sections of a language file, in the order their names are tested.
enum class LangSection : size_t {
    Button,          // "[BUTTON]"
    Tracker,         // "[TRACKER]"
    SystemConfig,    // "[SYSTEM CONFIG]"
    GsmGprsConfig,   // "[GSM GPRS CONFIG]"
    ServerConfig,    // "[SERVER CONFIG]"
    PhoneConfig,     // "[PHONE CONFIG]"
    SleepMode,       // "[SLEEP MODE]"
    FirmwareUpdate,  // "[FIRMWARE UPDATE]"
};
inline constexpr size_t kLangSectionCount = 8;

// The section's line in a language file, brackets included: "[SLEEP MODE]".
std::u16string_view SectionName(LangSection section);

// Reading an entry beyond its list's count. Caught by the window handler that was
// running, which reports it in the generic error box and ends there.
class LangEntryMissing : public std::invalid_argument {
public:
    LangEntryMissing(LangSection section, size_t position);
    LangSection section() const { return m_section; }
    size_t position() const { return m_position; }

private:
    LangSection m_section;
    size_t m_position;
};

// The text table: one list of texts per section, in file order.
class CLangTable {
public:
    void Clear();
    void Append(LangSection section, std::u16string text);
    size_t Count(LangSection section) const;

    // Checks `position` against the list's count; throws LangEntryMissing beyond it.
    const std::u16string& Entry(LangSection section, size_t position) const;

private:
    std::array<std::vector<std::u16string>, kLangSectionCount> m_lists;
};

// Empties `table`, then reads the language file at `path` into it. Returns true when the
// file was opened; false (after "Cannot open Lang.ini file!") when it could not be.
bool LoadLanguage(const std::filesystem::path& path, CLangTable& table, UiServices& ui);

// What LoadLanguage does with the file's bytes once it has them (UTF-16LE, BOM optional):
// empties `table`, then files every line under the section last named. A line holding
// "]/" is always text; otherwise a line holding a section name (exact case, anywhere in
// the line, tested in section order) selects that section. Lines before the first section
// line have no list and are dropped. Nothing in the bytes is an error.
void ParseLanguage(std::string_view bytes, CLangTable& table);

// Puts the table's texts on the form's buttons, panels and labels and fills the Mode
// combo box. Throws LangEntryMissing at the first entry the table lacks; the controls
// labelled before it keep their new texts.
void ApplyLanguageTexts(const CLangTable& table, FormAccess& form);

}  // namespace quarnel
