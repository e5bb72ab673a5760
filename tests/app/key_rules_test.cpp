// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// What the form's key filter does with each key.
#include "app/key_rules.h"

#include <gtest/gtest.h>

#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

struct KeyRow {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    quint32 nativeKey;
    bool inPhoneEdit;
    KeyAction expected;
};

class KeyRules : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeyRules, Classify) {
    const KeyRow& row = GetParam();
    EXPECT_EQ(ClassifyKey(row.key, row.modifiers, row.nativeKey, row.inPhoneEdit), row.expected);
}

constexpr quint32 kNoNative = 0;
constexpr quint32 kX11Break = 0xff6b;
constexpr auto kNone = Qt::NoModifier;
constexpr auto kCtrl = Qt::ControlModifier;

INSTANTIATE_TEST_SUITE_P(
    Form, KeyRules,
    ::testing::Values(
        KeyRow{"Return", Qt::Key_Return, kNone, kNoNative, false, KeyAction::Swallow},
        KeyRow{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, kNoNative, false,
               KeyAction::Swallow},
        KeyRow{"Escape", Qt::Key_Escape, kNone, kNoNative, false, KeyAction::Swallow},
        KeyRow{"ReturnInPhoneEdit", Qt::Key_Return, kNone, kNoNative, true, KeyAction::Swallow},
        KeyRow{"ShiftReturnInPhoneEdit", Qt::Key_Return, Qt::ShiftModifier, kNoNative, true,
               KeyAction::Swallow},
        KeyRow{"CtrlReturn", Qt::Key_Return, kCtrl, kNoNative, false, KeyAction::Swallow},
        KeyRow{"EscapeInPhoneEdit", Qt::Key_Escape, kNone, kNoNative, true, KeyAction::Swallow},
        KeyRow{"CtrlPauseInPhoneEdit", Qt::Key_Pause, kCtrl, kNoNative, true, KeyAction::Cancel},
        KeyRow{"CtrlBreakSymbolInPhoneEdit", Qt::Key_unknown, kCtrl, kX11Break, true,
               KeyAction::Cancel},
        KeyRow{"CtrlCancelKeyInPhoneEdit", Qt::Key_Cancel, kCtrl, kNoNative, true,
               KeyAction::Cancel},
        KeyRow{"PauseWithoutCtrl", Qt::Key_Pause, kNone, kNoNative, true, KeyAction::Pass},
        KeyRow{"CtrlPauseElsewhere", Qt::Key_Pause, kCtrl, kNoNative, false, KeyAction::Pass},
        KeyRow{"F1", Qt::Key_F1, kNone, kNoNative, false, KeyAction::Help},
        KeyRow{"F1FromKeypadState", Qt::Key_F1, Qt::KeypadModifier, kNoNative, false,
               KeyAction::Help},
        KeyRow{"ShiftF1", Qt::Key_F1, Qt::ShiftModifier, kNoNative, false, KeyAction::Pass},
        KeyRow{"CtrlF1", Qt::Key_F1, kCtrl, kNoNative, false, KeyAction::Pass},
        KeyRow{"AltF1", Qt::Key_F1, Qt::AltModifier, kNoNative, false, KeyAction::Pass},
        KeyRow{"F6", Qt::Key_F6, kNone, kNoNative, false, KeyAction::NextOtherField},
        KeyRow{"F6InPhoneEdit", Qt::Key_F6, kNone, kNoNative, true, KeyAction::NextOtherField},
        KeyRow{"ShiftF6", Qt::Key_F6, Qt::ShiftModifier, kNoNative, false,
               KeyAction::PreviousOtherField},
        KeyRow{"CtrlF6", Qt::Key_F6, kCtrl, kNoNative, false, KeyAction::Pass},
        KeyRow{"AltF4", Qt::Key_F4, Qt::AltModifier, kNoNative, false, KeyAction::Close},
        KeyRow{"F4", Qt::Key_F4, kNone, kNoNative, false, KeyAction::Pass},
        KeyRow{"CtrlAltF4", Qt::Key_F4, kCtrl | Qt::AltModifier, kNoNative, false, KeyAction::Pass},
        KeyRow{"Tab", Qt::Key_Tab, kNone, kNoNative, true, KeyAction::Pass},
        KeyRow{"Letter", Qt::Key_A, kNone, kNoNative, false, KeyAction::Pass},
        KeyRow{"Space", Qt::Key_Space, kNone, kNoNative, false, KeyAction::Pass}),
    test::RowName());

}  // namespace
}  // namespace quarnel
