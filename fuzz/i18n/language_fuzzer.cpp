// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes as a language file: parsing never fails, every entry is one non-empty piece,
// and applying the table throws exactly when a row's entry is missing.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "i18n/lang_table.h"
#include "i18n/text_table.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A window that takes every call and keeps nothing.
class NullForm : public quarnel::FormAccess {
public:
    std::u16string GetText(int) override { return {}; }
    void SetText(int, const std::u16string&) override { ++m_calls; }
    bool IsChecked(int) override { return false; }
    void SetChecked(int, bool) override {}
    int GetSelection(int) override { return -1; }
    void SetSelection(int, int) override {}
    void AddItem(int, const std::u16string&) override { ++m_calls; }
    int ItemCount(int) override { return 0; }
    bool IsEnabled(int) override { return true; }
    void SetEnabled(int, bool) override {}
    bool IsVisible(int) override { return true; }
    void SetVisible(int, bool) override {}
    int GetProgress(int) override { return 0; }
    void SetProgress(int, int) override {}
    int StartTimer(int, int) override { return 0; }
    void StopTimer(int) override {}
    void KeepAlive() override {}

    size_t calls() const { return m_calls; }

private:
    size_t m_calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quarnel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CLangTable table;
    ParseLanguage(bytes, table);

    for (size_t s = 0; s < kLangSectionCount; ++s) {
        const auto section = static_cast<LangSection>(s);
        for (size_t p = 0; p < table.Count(section); ++p) {
            const std::u16string& text = table.Entry(section, p);
            Check(!text.empty() && text.size() <= 255);
            for (char16_t unit : text) {
                Check(unit != u'\r' && unit != u'\n' && unit != 0);
            }
        }
    }

    // Rows before the first missing entry are applied, that one throws, none after it run.
    size_t complete = 0;
    while (complete < kLangTextRows.size() &&
           kLangTextRows[complete].position < table.Count(kLangTextRows[complete].section)) {
        ++complete;
    }
    NullForm form;
    bool threw = false;
    try {
        ApplyLanguageTexts(table, form);
    } catch (const LangEntryMissing& e) {
        threw = true;
        Check(complete < kLangTextRows.size());
        Check(e.section() == kLangTextRows[complete].section);
        Check(e.position() == kLangTextRows[complete].position);
    }
    Check(threw == (complete < kLangTextRows.size()));
    Check(form.calls() == complete);
    return 0;
}
