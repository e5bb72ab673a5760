// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>

class QFocusFrame;
class QWidget;

namespace quarnel {

// A ring around the control that has the keyboard focus, two pixels wide, outside the
// control, in the highlight colour. The classic style's dotted focus rectangle is a faint
// line on the caption (and around nothing on a check box without one); this makes the
// focus plain to see whatever the language and the scaling. Window's thread only.
class FocusRing final : public QObject {
    Q_OBJECT
public:
    // Follows the focus among the children of `form`, for as long as `form` lives.
    explicit FocusRing(QWidget& form);

    // The control the ring is around now, or nullptr.
    QWidget* Around() const;

private:
    void Follow(QWidget* focused);

    QWidget& m_form;
    QPointer<QFocusFrame> m_frame;
};

}  // namespace quarnel
