// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/form_builder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/form_widgets.h"
#include "app/input_limit.h"

namespace quarnel {

QWidget* FormControls::Find(int id) const {
    if (id < kFirstId || id > kLastId) {
        return nullptr;
    }
    return m_byId[static_cast<size_t>(id - kFirstId)];
}

void FormControls::Add(int id, QWidget* widget) {
    if (id >= kFirstId && id <= kLastId) {
        m_byId[static_cast<size_t>(id - kFirstId)] = widget;
    }
    m_created.push_back(widget);
}

namespace {

QString FromTemplate(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* MakeEdit(QWidget& form, const ControlSpec& row) {
    if (row.Has(style::kMultiLine)) {
        return new PhoneEdit(&form);
    }
    auto* edit = new FormLineEdit(&form, row.Has(style::kReadOnly));
    edit->setValidator(new InputLimitValidator(*edit, row.Has(style::kDigitsOnly)));
    return edit;
}

QWidget* MakeLabel(QWidget& form, const ControlSpec& row) {
    auto* label = new QLabel(FromTemplate(row.text), &form);
    label->setTextFormat(Qt::PlainText);
    // Static texts wrap onto further lines and start at the top.
    label->setWordWrap(true);
    label->setAlignment((row.Has(style::kRightAligned) ? Qt::AlignRight : Qt::AlignLeft) |
                        Qt::AlignTop);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (row.Has(style::kSunken)) {
        label->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    } else if (row.Has(style::kBordered)) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    return label;
}

QWidget* MakeCombo(QWidget& form, const DialogUnits& units, const ControlSpec& row) {
    auto* combo = new QComboBox(&form);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The field completes nothing by itself: what the user types stays as typed.
    combo->setCompleter(nullptr);
    // The template's height holds the closed field and the dropped-down list.
    const int listHeight = units.ToPixelsY(row.rect.h) - combo->sizeHint().height();
    const int itemHeight = std::max(1, combo->fontMetrics().height());
    combo->setMaxVisibleItems(std::max(1, listHeight / itemHeight));
    return combo;
}

QWidget* MakeControl(QWidget& form, const DialogUnits& units, const ControlSpec& row) {
    switch (row.kind) {
        case ControlKind::PushButton:
            return new QPushButton(FromTemplate(row.text), &form);
        case ControlKind::CheckBox:
            return new FormCheckBox(FromTemplate(row.text), &form);
        case ControlKind::Edit:
            return MakeEdit(form, row);
        case ControlKind::Label:
            return MakeLabel(form, row);
        case ControlKind::GroupBox: {
            auto* box = new PanelBox(&form, row.Has(style::kFlat));
            box->setTitle(FromTemplate(row.text));
            return box;
        }
        case ControlKind::ProgressBar:
            return new FormProgressBar(&form, row.Has(style::kSmooth));
        case ControlKind::ComboBox:
            return MakeCombo(form, units, row);
    }
    return nullptr;
}

Qt::FocusPolicy FocusPolicyOf(const ControlSpec& row) {
    if (row.Has(style::kTabStop)) {
        return Qt::StrongFocus;
    }
    if (row.kind == ControlKind::Edit) {
        return Qt::ClickFocus;
    }
    return Qt::NoFocus;
}

}  // namespace

FormControls BuildControls(QWidget& form, const DialogUnits& units) {
    FormControls controls;
    for (const ControlSpec& row : ControlTable()) {
        QWidget* w = MakeControl(form, units, row);
        w->setProperty("controlId", row.id);
        if (row.id != 0) {
            w->setObjectName(QStringLiteral("control%1").arg(row.id));
        }
        QRect r = units.ToPixels(row.rect);
        if (row.kind == ControlKind::ComboBox) {
            r.setHeight(w->sizeHint().height());
        }
        w->setGeometry(r);
        w->setFocusPolicy(FocusPolicyOf(row));
        if (row.Has(style::kHidden)) {
            w->hide();
        }
        controls.Add(row.id, w);
    }
    // Panels are pictures behind the controls they enclose.
    for (QWidget* w : controls.InCreationOrder()) {
        if (qobject_cast<PanelBox*>(w) != nullptr) {
            w->lower();
        }
    }
    return controls;
}

}  // namespace quarnel
