// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The form's keyboard: Tab order, Enter and Escape swallowed everywhere, Ctrl+Break in a
// phone edit, the close box, Alt+F4 and F1.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <vector>

#include "form/control_ids.h"
#include "form_fixture.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::ControlIdOf;
using test::FormFixture;

std::vector<int> TabWalk(Qt::Key key, Qt::KeyboardModifiers modifiers, size_t steps) {
    std::vector<int> visited;
    for (size_t i = 0; i < steps; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr) {
            ADD_FAILURE() << "no focus after " << visited.size() << " steps";
            break;
        }
        QTest::keyClick(focus, key, modifiers);
        visited.push_back(ControlIdOf(QApplication::focusWidget()));
    }
    return visited;
}

const std::vector<int> kTabOrder{1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058, 1027, 1059, 1060,
                                 1061, 1062, 1063, 1064, 1028, 1029, 1030, 1031, 1032, 1033, 1034,
                                 1036, 1037, 1038, 1039, 1001, 1002, 1003, 1007, 1004, 1040, 1041,
                                 1042, 1065, 1066, 1067, 1068, 1047, 1048, 1049, 1009};

class Keys : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(f.Show());
        f.C(ctl::BurglarCheck)->setFocus();
        ASSERT_EQ(ControlIdOf(QApplication::focusWidget()), ctl::BurglarCheck);
    }
    FormFixture f;
};

TEST_F(Keys, TabVisitsTheVisibleTabStopsInCreationOrderAndWraps) {
    std::vector<int> expected(kTabOrder.begin() + 1, kTabOrder.end());
    expected.push_back(1051);
    EXPECT_EQ(TabWalk(Qt::Key_Tab, Qt::NoModifier, expected.size()), expected);
}

TEST_F(Keys, ShiftTabWalksBack) {
    std::vector<int> expected(kTabOrder.rbegin(), kTabOrder.rend());
    expected.push_back(1009);
    EXPECT_EQ(TabWalk(Qt::Key_Backtab, Qt::ShiftModifier, expected.size()), expected);
}

// The fields Tab passes by, reached with F6 and walked back with Shift+F6, whatever has the
// focus; Tab then goes on from where the focus was taken in the form's own order.
TEST_F(Keys, F6VisitsTheFieldsTabPassesByAndShiftF6WalksBack) {
    const std::vector<int> others{1021, 1022, 1023, 1024, 1025, 1026, 1044, 1043};
    std::vector<int> forward(others);
    forward.push_back(1021);
    EXPECT_EQ(TabWalk(Qt::Key_F6, Qt::NoModifier, forward.size()), forward);
    std::vector<int> back(others.rbegin(), others.rend());
    EXPECT_EQ(TabWalk(Qt::Key_F6, Qt::ShiftModifier, back.size()), back);
    f.C(ctl::ScuPhoneEdit)->setFocus();
    EXPECT_EQ(TabWalk(Qt::Key_F6, Qt::NoModifier, 1), std::vector<int>{1021});
    QTest::keyClicks(QApplication::focusWidget(), "120");
    EXPECT_EQ(f.form->GetText(ctl::SmsIntervalEdit), u"120") << "typed where F6 led";
}

TEST_F(Keys, TabSkipsTheUpdateButtonWhileHidden) {
    f.form->SetVisible(ctl::UpdateButton, false);
    std::vector<int> expected;
    for (const int id : kTabOrder) {
        if (id != ctl::UpdateButton && id != ctl::BurglarCheck) {
            expected.push_back(id);
        }
    }
    expected.push_back(1051);
    EXPECT_EQ(TabWalk(Qt::Key_Tab, Qt::NoModifier, expected.size()), expected);
}

struct SwallowRow {
    const char* name;
    int id;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

class SwallowedKeys : public ::testing::TestWithParam<SwallowRow> {};

// Where the key goes: the control itself, or the line edit of the Mode combo box.
QWidget* KeyTarget(FormFixture& f, int id) {
    if (id == 0) {
        return f.form.get();
    }
    if (auto* combo = qobject_cast<QComboBox*>(f.C(id))) {
        return combo->lineEdit();
    }
    return f.C(id);
}

TEST_P(SwallowedKeys, HaveNoEffect) {
    const SwallowRow& row = GetParam();
    FormFixture f;
    ASSERT_TRUE(f.Show());
    const std::u16string before = u"12";
    if (row.id != 0 && row.id != ctl::GetParameterButton && row.id != ctl::BurglarCheck) {
        f.form->SetText(row.id, before);
    }
    int clicks = 0;
    if (auto* button = qobject_cast<QAbstractButton*>(f.C(row.id))) {
        QObject::connect(button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    }
    if (row.id == ctl::ModeCombo) {
        f.form->AddItem(ctl::ModeCombo, u"Normal");
        f.form->SetText(ctl::ModeCombo, before);
    }
    QWidget* target = KeyTarget(f, row.id);
    target->setFocus();
    QTest::keyClick(target, row.key, row.modifiers);

    EXPECT_EQ(f.finishedCount, 0);
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(f.form->IsChecked(ctl::BurglarCheck));
    if (row.id != 0 && row.id != ctl::GetParameterButton && row.id != ctl::BurglarCheck) {
        EXPECT_EQ(f.form->GetText(row.id), before);
    }
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), row.id == ctl::ModeCombo ? 1 : 0);
}

std::vector<SwallowRow> SwallowRows() {
    const std::pair<const char*, int> targets[] = {{"PushButton", ctl::GetParameterButton},
                                                   {"CheckBox", ctl::BurglarCheck},
                                                   {"Edit", ctl::ApnEdit},
                                                   {"NumberEdit", ctl::SmsIntervalEdit},
                                                   {"PhoneEdit", ctl::ScuPhoneEdit},
                                                   {"ModeCombo", ctl::ModeCombo},
                                                   {"Form", 0}};
    const std::pair<const char*, Qt::Key> keys[] = {
        {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Escape", Qt::Key_Escape}};
    static std::vector<std::string> names;
    std::vector<SwallowRow> rows;
    for (const auto& [targetName, id] : targets) {
        for (const auto& [keyName, key] : keys) {
            names.push_back(std::string(keyName) + "In" + targetName);
        }
    }
    size_t n = 0;
    for (const auto& [targetName, id] : targets) {
        for (const auto& [keyName, key] : keys) {
            const Qt::KeyboardModifiers mods =
                key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
            rows.push_back({names[n++].c_str(), id, key, mods});
        }
    }
    rows.push_back(
        {"ShiftReturnInPhoneEdit", ctl::ScuPhoneEdit, Qt::Key_Return, Qt::ShiftModifier});
    rows.push_back(
        {"CtrlReturnInPushButton", ctl::GetParameterButton, Qt::Key_Return, Qt::ControlModifier});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Form, SwallowedKeys, ::testing::ValuesIn(SwallowRows()), test::RowName());

TEST_F(Keys, NoLineBreakCanBeTypedIntoAPhoneEdit) {
    QWidget* phone = f.C(ctl::SosPhoneEdit);
    phone->setFocus();
    QTest::keyClicks(phone, QStringLiteral("0912"));
    QTest::keyClick(phone, Qt::Key_Return);
    QTest::keyClick(phone, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(phone, QStringLiteral(",0922"));
    EXPECT_EQ(f.form->GetText(ctl::SosPhoneEdit), u"0912,0922");
}

TEST_F(Keys, CtrlBreakInAPhoneEditCancelsTheForm) {
    QWidget* phone = f.C(ctl::SmsPhoneEdit);
    phone->setFocus();
    QTest::keyClick(phone, Qt::Key_Escape);
    EXPECT_EQ(f.finishedCount, 0);
    QTest::keyClick(phone, Qt::Key_Pause, Qt::ControlModifier);
    EXPECT_EQ(f.finishedCount, 1);
    EXPECT_EQ(f.lastResult, QDialog::Rejected);
    EXPECT_FALSE(f.form->isVisible());
}

TEST_F(Keys, CtrlBreakElsewhereDoesNothing) {
    QWidget* edit = f.C(ctl::ApnEdit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Pause, Qt::ControlModifier);
    EXPECT_EQ(f.finishedCount, 0);
    EXPECT_TRUE(f.form->isVisible());
}

TEST_F(Keys, CloseBoxEndsTheFormThroughCancel) {
    EXPECT_TRUE(f.form->close());
    EXPECT_EQ(f.finishedCount, 1);
    EXPECT_EQ(f.lastResult, QDialog::Rejected);
}

TEST_F(Keys, AltF4EndsTheFormThroughCancel) {
    QTest::keyClick(f.C(ctl::ApnEdit), Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(f.finishedCount, 1);
    EXPECT_EQ(f.lastResult, QDialog::Rejected);
}

TEST_F(Keys, F1ReachesTheHelpCommandOnlyWithoutModifiers) {
    QWidget* edit = f.C(ctl::ApnEdit);
    for (const Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        QTest::keyClick(edit, Qt::Key_F1, m);
    }
    EXPECT_EQ(f.helpCalls, 0);
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(f.helpCalls, 1);
    QTest::keyClick(f.C(ctl::ScuPhoneEdit), Qt::Key_F1);
    EXPECT_EQ(f.helpCalls, 2);
    EXPECT_EQ(f.finishedCount, 0);
}

TEST_F(Keys, EnterAndEscapeDoNothingInTheDroppedDownModeList) {
    for (const char16_t* item : {u"Normal", u"Sleep"}) {
        f.form->AddItem(ctl::ModeCombo, item);
    }
    auto* combo = qobject_cast<QComboBox*>(f.C(ctl::ModeCombo));
    combo->setFocus();
    combo->showPopup();
    QWidget* list = combo->view();
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->isVisible(); }, 5000));
    QTest::keyClick(list, Qt::Key_Down);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(list, key);
        EXPECT_TRUE(list->isVisible()) << key;
    }
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    EXPECT_EQ(f.finishedCount, 0);
    combo->hidePopup();
}

TEST_F(Keys, SpacePressesTheFocusedButton) {
    int clicks = 0;
    auto* button = qobject_cast<QPushButton*>(f.C(ctl::SetDefaultButton));
    QObject::connect(button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace quarnel
