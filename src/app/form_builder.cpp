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

QWidget* MakeEdit(QWidget& form, const ControlSpec& spec) {
    if (spec.Has(style::kMultiLine)) {
        return new PhoneEdit(&form);
    }
    auto* edit = new FormLineEdit(&form, spec.Has(style::kReadOnly));
    edit->setValidator(new InputLimitValidator(*edit, spec.Has(style::kDigitsOnly)));
    return edit;
}

QWidget* MakeLabel(QWidget& form, const ControlSpec& spec) {
    auto* label = new QLabel(FromTemplate(spec.text), &form);
    label->setTextFormat(Qt::PlainText);
    // Static texts wrap onto further lines and start at the top.
    label->setWordWrap(true);
    label->setAlignment((spec.Has(style::kRightAligned) ? Qt::AlignRight : Qt::AlignLeft) |
                        Qt::AlignTop);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (spec.Has(style::kSunken)) {
        label->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    } else if (spec.Has(style::kBordered)) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    return label;
}

QWidget* MakeCombo(QWidget& form, const DialogUnits& units, const ControlSpec& spec) {
    auto* combo = new QComboBox(&form);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The field completes nothing by itself: what the user types stays as typed.
    combo->setCompleter(nullptr);
    // The template's height holds the closed field and the dropped-down list.
    const int listHeight = units.ToPixelsY(spec.rect.h) - combo->sizeHint().height();
    const int itemHeight = std::max(1, combo->fontMetrics().height());
    combo->setMaxVisibleItems(std::max(1, listHeight / itemHeight));
    return combo;
}

QWidget* MakeControl(QWidget& form, const DialogUnits& units, const ControlSpec& spec) {
    switch (spec.kind) {
        case ControlKind::PushButton:
            return new QPushButton(FromTemplate(spec.text), &form);
        case ControlKind::CheckBox:
            return new FormCheckBox(FromTemplate(spec.text), &form);
        case ControlKind::Edit:
            return MakeEdit(form, spec);
        case ControlKind::Label:
            return MakeLabel(form, spec);
        case ControlKind::GroupBox: {
            auto* box = new PanelBox(&form, spec.Has(style::kFlat));
            box->setTitle(FromTemplate(spec.text));
            return box;
        }
        case ControlKind::ProgressBar:
            return new FormProgressBar(&form, spec.Has(style::kSmooth));
        case ControlKind::ComboBox:
            return MakeCombo(form, units, spec);
    }
    return nullptr;
}

Qt::FocusPolicy FocusPolicyOf(const ControlSpec& spec) {
    if (spec.Has(style::kTabStop)) {
        return Qt::StrongFocus;
    }
    if (spec.kind == ControlKind::Edit) {
        return Qt::ClickFocus;
    }
    return Qt::NoFocus;
}

}  // namespace

FormControls BuildControls(QWidget& form, const DialogUnits& units) {
    FormControls controls;
    for (const ControlSpec& spec : ControlTable()) {
        QWidget* w = MakeControl(form, units, spec);
        w->setProperty("controlId", spec.id);
        if (spec.id != 0) {
            w->setObjectName(QStringLiteral("control%1").arg(spec.id));
        }
        QRect r = units.ToPixels(spec.rect);
        if (spec.kind == ControlKind::ComboBox) {
            r.setHeight(w->sizeHint().height());
        }
        w->setGeometry(r);
        w->setFocusPolicy(FocusPolicyOf(spec));
        if (spec.Has(style::kHidden)) {
            w->hide();
        }
        controls.Add(spec.id, w);
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
