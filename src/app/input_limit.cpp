// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/input_limit.h"

#include <QLineEdit>
#include <QPointer>
#include <algorithm>

namespace quarnel {

InputLimitValidator::InputLimitValidator(QLineEdit& edit, bool digitsOnly)
    : QValidator(&edit), m_digitsOnly(digitsOnly), m_before(edit.text()) {
    // The line edit already holds the changed text while it asks us, so the text before
    // the change is tracked here; programmatic changes arrive through the same signal.
    connect(&edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_before = text; });
}

QValidator::State InputLimitValidator::validate(QString& input, int& pos) const {
    const QString& before = m_before;
    // The change is what lies between the longest common head and tail of the two texts.
    const qsizetype maxCommon = std::min(before.size(), input.size());
    qsizetype head = 0;
    while (head < maxCommon && before[head] == input[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < maxCommon - head &&
           before[before.size() - 1 - tail] == input[input.size() - 1 - tail]) {
        ++tail;
    }
    QString inserted = input.mid(head, input.size() - head - tail);
    const qsizetype kept = head + tail;  // characters of the old text that stay

    if (inserted.isEmpty()) {
        return Acceptable;
    }
    if (m_digitsOnly) {
        for (const QChar c : inserted) {
            if (c < u'0' || c > u'9') {
                return Invalid;
            }
        }
    }
    if (m_limit > 0 && kept + inserted.size() > m_limit) {
        const qsizetype room = m_limit - kept;
        if (room <= 0) {
            return Invalid;
        }
        inserted.truncate(room);
        input = input.left(head) + inserted + input.right(tail);
        pos = static_cast<int>(head + inserted.size());
    }
    return Acceptable;
}

void SetTextAsIs(QLineEdit& edit, const QString& text) {
    // QLineEdit runs its validator on setText() too, and a validator that shortens the text
    // would cut the value, so it steps aside meanwhile. The text-changed signal still
    // reaches it, so it knows the new text.
    QPointer<const QValidator> rules = edit.validator();
    edit.setValidator(nullptr);
    edit.setText(text);
    edit.setValidator(rules);
}

}  // namespace quarnel
