// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <Qt>
#include <QtGlobal>

namespace quarnel {

// What the form's key filter does with a key press, before the control with the focus
// or the dialog's own keyboard handling sees it.
enum class KeyAction {
    Pass,     // the key goes on as usual (Tab, arrows, typing, mnemonics, ...)
    Swallow,  // Enter and Escape: no effect at all, whichever control has the focus
    Cancel,   // Ctrl+Break in a phone edit: the form ends through Cancel
    Close,    // Alt+F4: the form closes as through its close box (Cancel)
    Help,     // F1 without Shift, Ctrl or Alt: the application's Help command
    // F6 and Shift+F6: the next or previous of the fields that Tab passes by (the System
    // Config numbers and the Version), so that the keyboard reaches them too while the Tab
    // order stays the form's own.
    NextOtherField,
    PreviousOtherField,
};

// `nativeKey` is the platform's key symbol, used where Qt has no key code of its own for
// Break.
KeyAction ClassifyKey(int key, Qt::KeyboardModifiers modifiers, quint32 nativeKey,
                      bool inPhoneEdit);

}  // namespace quarnel
