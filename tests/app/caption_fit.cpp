// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "caption_fit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "app/quarnel_dlg.h"
#include "form/control_table.h"
#include "i18n/text_table.h"

namespace quarnel::test {

namespace {

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

std::string Utf8(std::u16string_view text) {
    return Utf8(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

const char* KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return "push button";
        case ControlKind::CheckBox:
            return "check box";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::Label:
            return "label";
        case ControlKind::GroupBox:
            return "panel";
        case ControlKind::ProgressBar:
            return "progress bar";
        case ControlKind::ComboBox:
            return "combo box";
    }
    return "control";
}

// "push button 1001 (Get Parameter)": the kind, the ID and the template's caption, which
// names the control whatever language is on it.
std::string ControlName(const ControlSpec& row) {
    std::string name = KindName(row.kind);
    if (row.id != 0) {
        name += " " + std::to_string(row.id);
    }
    if (!row.text.empty()) {
        name += " (" + Utf8(row.text) + ")";
    }
    return name;
}

std::string EntryName(LangSection section, size_t position) {
    return Utf8(SectionName(section)) + " entry " + std::to_string(position);
}

// The language file's entry shown as the caption of control `id`.
std::string CaptionEntry(int id) {
    for (const LangTextRow& row : kLangTextRows) {
        if (row.controlId == id && row.kind == LangTextRow::Caption) {
            return EntryName(row.section, row.position);
        }
    }
    return {};
}

// The pixels that a text's glyphs cover when drawn with `font` and `flags` into `layout`,
// as the control's drawing does but without its clipping, in the same coordinates. A pixel
// counts when it is at least half covered, so a faint anti-aliased fringe does not.
QRect InkRect(const QFont& font, const QRect& layout, int flags, const QString& text) {
    const QFontMetrics metrics(font);
    const int spareX = metrics.horizontalAdvance(text) + 16;
    // Room below for every character on a line of its own, lines of a taller fallback
    // font included.
    const int spareY = 2 * metrics.height() * (1 + static_cast<int>(text.size()));
    QImage image(layout.width() + 2 * spareX, layout.height() + 2 * spareY,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(spareX, spareY), layout.size()), flags | Qt::TextDontClip,
                         text);
    }
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) >= 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return {};
    }
    return QRect(QPoint(left, top), QPoint(right, bottom))
        .translated(layout.topLeft() - QPoint(spareX, spareY));
}

class Checker {
public:
    Checker(std::vector<CaptionOverflow>& out, int allowedPx) : m_out(out), m_allowed(allowedPx) {}

    void PushButton(const ControlSpec& row, const QPushButton& button) {
        QStyleOptionButton option;
        option.initFrom(&button);
        option.text = button.text();
        if (button.autoDefault()) {
            option.features |= QStyleOptionButton::AutoDefaultButton;
        }
        if (button.isDefault()) {
            option.features |= QStyleOptionButton::DefaultButton;
        }
        const QStyle& style = *button.style();
        // The label is centred in the button less its frame; the style keeps a margin
        // around it when it sizes a button for its text.
        const QRect contents =
            style.subElementRect(QStyle::SE_PushButtonContents, &option, &button);
        const int margin = style.pixelMetric(QStyle::PM_ButtonMargin, &option, &button);
        const QRect room = contents.adjusted(margin / 2, 0, -(margin - margin / 2), 0);
        const QRect ink =
            InkRect(button.font(), contents, Qt::AlignCenter | Qt::TextShowMnemonic, option.text);
        Compare(ControlName(row), row.id, CaptionEntry(row.id), option.text, ink, room);
    }

    void CheckBox(const ControlSpec& row, const QCheckBox& box) {
        QStyleOptionButton option;
        option.initFrom(&box);
        option.text = box.text();
        const QRect room = box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box);
        const QRect ink = InkRect(
            box.font(), room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, option.text);
        Compare(ControlName(row), row.id, CaptionEntry(row.id), option.text, ink, room);
    }

    void Label(const ControlSpec& row, const QLabel& label) {
        // Inside its frame and margin, word wrapped when it wraps, from the top.
        const int m = label.margin();
        QRect room = label.contentsRect().adjusted(m, m, -m, -m);
        const int indent = label.indent() >= 0 ? label.indent()
                           : label.frameWidth() > 0
                               ? label.fontMetrics().horizontalAdvance(u'x') / 2
                               : 0;
        room.adjust(indent, 0, -indent, 0);
        int flags = static_cast<int>(label.alignment());
        if (label.wordWrap()) {
            flags |= Qt::TextWordWrap;
        }
        const QRect ink = InkRect(label.font(), room, flags, label.text());
        Compare(ControlName(row), row.id, CaptionEntry(row.id), label.text(), ink, room);
    }

    void Panel(const ControlSpec& row, const QGroupBox& box) {
        QStyleOptionGroupBox option;
        option.initFrom(&box);
        option.text = box.title();
        option.textAlignment = box.alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect title = box.style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                        QStyle::SC_GroupBoxLabel, &box);
        // The title starts its margin in from the left edge and must end as far in from
        // the right one, so that the frame's top line shows on both sides. Below it lies
        // the panel's inside: only the width is checked.
        const int margin = title.left();
        const QRect room(margin, 0, box.width() - 2 * margin, box.height());
        const QRect ink =
            InkRect(box.font(), title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                    option.text);
        Compare(ControlName(row), row.id, CaptionEntry(row.id), option.text, ink, room);
    }

    void Combo(const ControlSpec& row, const QComboBox& combo) {
        const QLineEdit* field = combo.lineEdit();
        if (field == nullptr) {
            return;
        }
        // A line edit draws its text inside its contents, less the text margins and a
        // fixed two pixels on each side, centred in the height.
        QStyleOptionFrame option;
        option.initFrom(field);
        option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(
                                                   QStyle::PM_DefaultFrameWidth, &option, field)
                                             : 0;
        QRect room = field->style()
                         ->subElementRect(QStyle::SE_LineEditContents, &option, field)
                         .marginsRemoved(field->textMargins());
        room.adjust(2, 0, -2, 0);
        for (int i = 0; i < combo.count(); ++i) {
            const QString item = combo.itemText(i);
            const QRect ink = InkRect(field->font(), room, Qt::AlignLeft | Qt::AlignVCenter, item);
            Compare(ControlName(row) + " choice " + std::to_string(i), row.id,
                    EntryName(LangSection::SleepMode, 7 + static_cast<size_t>(i)), item, ink, room);
        }
    }

private:
    void Compare(const std::string& control, int id, const std::string& entry, const QString& text,
                 const QRect& ink, const QRect& room) {
        if (ink.isEmpty()) {
            return;
        }
        const int wide =
            std::max(0, room.left() - ink.left()) + std::max(0, ink.right() - room.right());
        const int tall =
            std::max(0, room.top() - ink.top()) + std::max(0, ink.bottom() - room.bottom());
        if (wide > m_allowed) {
            m_out.push_back(
                {id, control, entry, Utf8(text), "too wide", wide, ink.width(), room.width()});
        }
        if (tall > m_allowed) {
            m_out.push_back(
                {id, control, entry, Utf8(text), "too tall", tall, ink.height(), room.height()});
        }
    }

    std::vector<CaptionOverflow>& m_out;
    int m_allowed;
};

}  // namespace

std::vector<CaptionOverflow> CaptionOverflows(const CQuarnelDlg& form, int allowedPx) {
    std::vector<CaptionOverflow> out;
    Checker check(out, allowedPx);
    const auto rows = ControlTable();
    const auto& widgets = form.Controls().InCreationOrder();
    for (size_t i = 0; i < rows.size() && i < widgets.size(); ++i) {
        const ControlSpec& row = rows[i];
        const QWidget* w = widgets[i];
        if (w->isHidden()) {
            continue;
        }
        if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            if (!button->text().isEmpty()) {
                check.PushButton(row, *button);
            }
        } else if (const auto* box = qobject_cast<const QCheckBox*>(w)) {
            if (!box->text().isEmpty()) {
                check.CheckBox(row, *box);
            }
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (!label->text().isEmpty()) {
                check.Label(row, *label);
            }
        } else if (const auto* panel = qobject_cast<const QGroupBox*>(w)) {
            if (!panel->title().isEmpty()) {
                check.Panel(row, *panel);
            }
        } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            check.Combo(row, *combo);
        }
    }
    return out;
}

std::string Describe(const CaptionOverflow& o) {
    std::string line = o.control;
    if (!o.entry.empty()) {
        line += ", " + o.entry;
    }
    line += ": \"" + o.text + "\" is " + std::to_string(o.overflowPx) + " px " + o.how +
            " (its glyphs span " + std::to_string(o.neededPx) + " px, the control has " +
            std::to_string(o.roomPx) + " px)";
    return line;
}

}  // namespace quarnel::test
