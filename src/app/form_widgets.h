// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <functional>

// The classic control looks that Qt's widgets do not draw by themselves.

namespace quarnel {

// A check box that a click anywhere on its rectangle toggles, text or no text.
class FormCheckBox final : public QCheckBox {
    Q_OBJECT
public:
    FormCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A single-line edit with a plain one-pixel border; read-only ones show the face colour.
class FormLineEdit final : public QLineEdit {
    Q_OBJECT
public:
    explicit FormLineEdit(QWidget* parent, bool readOnly);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A phone-list edit: several word-wrapped lines, no scroll bars, a plain one-pixel border;
// Tab moves on to the next control instead of being typed.
class PhoneEdit final : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit PhoneEdit(QWidget* parent);
};

// A panel: a group box drawn flat (a plain one-pixel frame) or with the usual 3-D edge.
// It is only a picture: it takes no focus and lets mouse clicks through.
class PanelBox final : public QGroupBox {
    Q_OBJECT
public:
    PanelBox(QWidget* parent, bool flat);
    bool isFlatPanel() const { return m_flat; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_flat;
};

// A bordered progress bar, continuous (smooth) or in blocks (segmented), without text.
//
// Screen readers are told its position at most once per kToldIntervalMs, and at once when
// it empties or fills: a task moves it by every percent, up to a hundred times a second,
// which would flood them. The position told last is ToldValue(); the one drawn is value().
class FormProgressBar final : public QProgressBar {
    Q_OBJECT
public:
    static constexpr int kToldIntervalMs = 500;

    FormProgressBar(QWidget* parent, bool smooth);
    bool isSmooth() const { return m_smooth; }

    int ToldValue() const { return m_told; }
    // Milliseconds on a steady clock; tests hand in one of their own.
    void SetClock(std::function<qint64()> now) { m_now = std::move(now); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnValueChanged(int value);
    void Tell(int value);

    bool m_smooth;
    int m_told = 0;
    qint64 m_toldAt = 0;
    bool m_everTold = false;
    QTimer m_pending;  // tells the latest position once the interval has passed
    std::function<qint64()> m_now;
};

}  // namespace quarnel
