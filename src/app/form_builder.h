// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "app/dialog_units.h"
#include "form/control_table.h"

namespace quarnel {

// The form's controls, built from the control table.
class FormControls {
public:
    static constexpr int kFirstId = 1001;
    static constexpr int kLastId = 1113;

    // The control with `id`, or nullptr.
    QWidget* Find(int id) const;
    // Every control in creation order, parallel to ControlTable().
    const std::vector<QWidget*>& InCreationOrder() const { return m_created; }

    void Add(int id, QWidget* widget);

private:
    std::array<QWidget*, kLastId - kFirstId + 1> m_byId{};
    std::vector<QWidget*> m_created;
};

// Creates every control of the table as a child of `form`, in creation order (which makes
// it Qt's focus chain), placed by `units`. Each control carries its ID in the dynamic
// property "controlId"; hidden ones are hidden; tab stops take focus from Tab and the
// mouse, the other fields from the mouse only; labels and panels let clicks through.
// Digits-only edits refuse typed non-digits from the start; length limits are set later
// (see InputLimitValidator).
FormControls BuildControls(QWidget& form, const DialogUnits& units);

}  // namespace quarnel
