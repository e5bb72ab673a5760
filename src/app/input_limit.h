// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

namespace quarnel {

// The input rules of a single-line edit, applied only to what the user types or pastes:
// text that a command puts into the field (setText) is never checked, so a value longer
// than the limit, or one with letters in a digits-only field, is shown whole.
// - limit: at most that many characters after the user's change; a paste is cut to the
//   room left, and a field already at or over its limit takes nothing more.
//   0 means no limit of ours.
// - digits only: a change that inserts anything but the digits 0-9 is refused.
// Deleting is always allowed.
class InputLimitValidator final : public QValidator {
    Q_OBJECT
public:
    InputLimitValidator(QLineEdit& edit, bool digitsOnly);

    void SetLimit(int limit) { m_limit = limit; }
    int limit() const { return m_limit; }
    bool digitsOnly() const { return m_digitsOnly; }

    State validate(QString& input, int& pos) const override;

private:
    bool m_digitsOnly;
    int m_limit = 0;
    QString m_before;  // the field's text before the change being validated
};

// Puts a command's value into `edit` as it is, past its input rules.
void SetTextAsIs(QLineEdit& edit, const QString& text);

}  // namespace quarnel
