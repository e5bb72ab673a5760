// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/lang_table.h"
#include "i18n/text_table.h"

namespace quarnel {

void ApplyLanguageTexts(const CLangTable& table, FormAccess& form) {
    for (const LangTextRow& row : kLangTextRows) {
        // Throws before touching the control, so a missing entry leaves it as it was.
        const std::u16string& text = table.Entry(row.section, row.position);
        if (row.kind == LangTextRow::ListItem) {
            form.AddItem(row.controlId, text);
        } else {
            form.SetText(row.controlId, text);
        }
    }
}

}  // namespace quarnel
