// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/accessible_names.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include "app/form_builder.h"
#include "form/control_names.h"
#include "form/control_table.h"

namespace quarnel {

namespace {

QString CaptionOf(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
        return box->title();
    }
    return {};
}

void Name(QWidget& w, const QString& name) {
    w.setAccessibleName(name);
    // An editable combo box's text field is a widget of its own that the keyboard reaches.
    if (auto* combo = qobject_cast<QComboBox*>(&w); combo != nullptr && combo->lineEdit()) {
        combo->lineEdit()->setAccessibleName(name);
    }
}

}  // namespace

void NameControls(const FormControls& controls) {
    for (const ControlSpec& row : ControlTable()) {
        QWidget* w = controls.Find(row.id);
        if (w == nullptr) {
            continue;
        }
        const std::vector<int> sources = NameSources(row.id);
        if (!sources.empty()) {
            QStringList parts;
            for (const int source : sources) {
                parts << CaptionOf(controls.Find(source));
            }
            Name(*w, parts.join(QStringLiteral(", ")));
            // One label before the control: Qt's buddy, which screen readers announce as the
            // control's label (on Linux a combo box's name is its text, its label this).
            if (auto* label = qobject_cast<QLabel*>(controls.Find(sources.front()));
                sources.size() == 1 && label != nullptr && !IsValueDisplay(row.id)) {
                label->setBuddy(w);
            }
        } else if (row.kind == ControlKind::PushButton) {
            Name(*w, CaptionOf(w));
        }
        if (auto* display = qobject_cast<QLabel*>(w);
            display != nullptr && IsValueDisplay(row.id)) {
            FollowShownValue(*display);
        } else if (const int panel = EnclosingPanel(row.id); panel != 0) {
            w->setAccessibleDescription(CaptionOf(controls.Find(panel)));
        }
    }
}

void FollowShownValue(QLabel& display) {
    display.setAccessibleDescription(display.text());
}

}  // namespace quarnel
