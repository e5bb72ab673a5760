// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/key_rules.h"

namespace quarnel {

namespace {

constexpr quint32 kX11Break = 0xff6b;  // the key symbol Ctrl+Pause produces on X11

bool IsBreak(int key, Qt::KeyboardModifiers modifiers, quint32 nativeKey) {
    return key == Qt::Key_Cancel || nativeKey == kX11Break ||
           (key == Qt::Key_Pause && (modifiers & Qt::ControlModifier));
}

}  // namespace

KeyAction ClassifyKey(int key, Qt::KeyboardModifiers modifiers, quint32 nativeKey,
                      bool inPhoneEdit) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            // With any modifier too: a phone edit would otherwise take Shift+Enter as a
            // line break, and the dialog Ctrl+Enter as a default-button press.
            return KeyAction::Swallow;
        case Qt::Key_F1:
            return held == Qt::NoModifier ? KeyAction::Help : KeyAction::Pass;
        case Qt::Key_F6:
            if (held == Qt::NoModifier) {
                return KeyAction::NextOtherField;
            }
            return held == Qt::ShiftModifier ? KeyAction::PreviousOtherField : KeyAction::Pass;
        case Qt::Key_F4:
            return held == Qt::AltModifier ? KeyAction::Close : KeyAction::Pass;
        default:
            break;
    }
    if (inPhoneEdit && (modifiers & Qt::ControlModifier) && IsBreak(key, modifiers, nativeKey)) {
        return KeyAction::Cancel;
    }
    return KeyAction::Pass;
}

}  // namespace quarnel
