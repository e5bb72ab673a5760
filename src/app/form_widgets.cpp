// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/form_widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QElapsedTimer>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <memory>

namespace quarnel {

FormLineEdit::FormLineEdit(QWidget* parent, bool readOnly) : QLineEdit(parent) {
    setFrame(false);
    setTextMargins(1, 1, 1, 1);
    setReadOnly(readOnly);
    if (readOnly) {
        QPalette p = palette();
        p.setBrush(QPalette::Base, p.window());
        setPalette(p);
    }
}

void FormLineEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

PhoneEdit::PhoneEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
}

PanelBox::PanelBox(QWidget* parent, bool flat) : QGroupBox(parent), m_flat(flat) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PanelBox::paintEvent(QPaintEvent* event) {
    if (!m_flat) {
        QGroupBox::paintEvent(event);
        return;
    }
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect frame =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
    const QRect label =
        style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);

    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    if (!title().isEmpty()) {
        painter.fillRect(label, palette().window());
        style()->drawItemText(&painter, label,
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), title(), QPalette::WindowText);
    }
}

namespace {

// What a screen reader reads of a form progress bar: its name and description as any
// widget's, and as its value the position last told (FormProgressBar::ToldValue).
class ProgressAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ProgressAccessible(FormProgressBar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return QString::number(Bar()->ToldValue()) + QLatin1Char('%');
        }
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return Bar()->ToldValue(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return Bar()->maximum(); }
    QVariant minimumValue() const override { return Bar()->minimum(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    FormProgressBar* Bar() const { return static_cast<FormProgressBar*>(widget()); }
};

QAccessibleInterface* FormAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(FormProgressBar::staticMetaObject.className()) &&
        object != nullptr && object->isWidgetType()) {
        return new ProgressAccessible(static_cast<FormProgressBar*>(object));
    }
    return nullptr;
}

}  // namespace

FormProgressBar::FormProgressBar(QWidget* parent, bool smooth)
    : QProgressBar(parent), m_smooth(smooth) {
    // Qt keeps a list of interface factories for the process; ours is added once.
    static const bool installed = [] {
        QAccessible::installFactory(FormAccessibleFactory);
        return true;
    }();
    (void)installed;
    setTextVisible(false);
    setFocusPolicy(Qt::NoFocus);
    m_now = [clock = std::make_shared<QElapsedTimer>()] {
        if (!clock->isValid()) {
            clock->start();
        }
        return clock->elapsed();
    };
    m_told = value();
    m_pending.setSingleShot(true);
    connect(&m_pending, &QTimer::timeout, this, [this] { Tell(value()); });
    connect(this, &QProgressBar::valueChanged, this, &FormProgressBar::OnValueChanged);
}

void FormProgressBar::OnValueChanged(int value) {
    const qint64 since = m_now() - m_toldAt;
    if (!m_everTold || value == minimum() || value == maximum() || since >= kToldIntervalMs) {
        m_pending.stop();
        Tell(value);
    } else if (!m_pending.isActive()) {
        m_pending.start(static_cast<int>(kToldIntervalMs - since));
    }
}

void FormProgressBar::Tell(int value) {
    m_everTold = true;
    m_toldAt = m_now();
    if (value == m_told) {
        return;
    }
    m_told = value;
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
}

void FormProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(palette().window());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const long long span = static_cast<long long>(maximum()) - minimum();
    if (span <= 0 || inner.width() <= 0) {
        return;
    }
    const int filled = static_cast<int>(inner.width() * (value() - minimum()) / span);
    const QBrush bar = palette().highlight();
    if (m_smooth) {
        painter.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), bar);
        return;
    }
    // Blocks two thirds as wide as the bar is high, two pixels apart; a block is drawn as
    // soon as the position reaches into it, cut at the bar's end.
    const int block = std::max(2, inner.height() * 2 / 3);
    painter.setClipRect(inner);
    for (int x = 0; x < filled; x += block + 2) {
        painter.fillRect(QRect(inner.left() + x, inner.top(), block, inner.height()), bar);
    }
}

}  // namespace quarnel
