// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/focus_ring.h"

#include <QApplication>
#include <QFocusFrame>
#include <QPalette>
#include <QWidget>

namespace quarnel {

namespace {

// The form's control that `w` is or belongs to (a combo box's text field belongs to it).
QWidget* ControlOf(QWidget* w, const QWidget& form) {
    for (; w != nullptr && w != &form; w = w->parentWidget()) {
        if (w->property("controlId").isValid()) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace

FocusRing::FocusRing(QWidget& form) : QObject(&form), m_form(form) {
    m_frame = new QFocusFrame(&form);
    // The style draws the ring in the text colour; the highlight colour tells it apart
    // from the controls' own black frames.
    QPalette palette = m_frame->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
    m_frame->setPalette(palette);
    m_frame->hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { Follow(now); });
}

QWidget* FocusRing::Around() const {
    return m_frame && m_frame->isVisible() ? m_frame->widget() : nullptr;
}

void FocusRing::Follow(QWidget* focused) {
    if (!m_frame) {
        return;
    }
    QWidget* control = ControlOf(focused, m_form);
    m_frame->setWidget(control);
    m_frame->setVisible(control != nullptr);
}

}  // namespace quarnel
