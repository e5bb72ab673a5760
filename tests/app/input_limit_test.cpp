// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Input limits and digits-only edits: they bind what the user types or pastes, never what
// a command puts into a field.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "form/control_ids.h"
#include "form_fixture.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::FormFixture;

class InputLimits : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_fixture = new FormFixture;
        ASSERT_TRUE(s_fixture->Show());
    }
    static void TearDownTestSuite() {
        delete s_fixture;
        s_fixture = nullptr;
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(s_fixture->C(id)); }
    std::u16string Text(int id) { return s_fixture->form->GetText(id); }
    void Clear(int id) { s_fixture->form->SetText(id, u""); }

    static FormFixture* s_fixture;
};
FormFixture* InputLimits::s_fixture = nullptr;

struct TypingRow {
    const char* name;
    int id;
    const char* typed;
    const char16_t* shown;
};

class Typing : public InputLimits, public ::testing::WithParamInterface<TypingRow> {};

TEST_P(Typing, KeepsWhatTheFieldTakes) {
    const TypingRow& row = GetParam();
    Clear(row.id);
    QTest::keyClicks(Edit(row.id), QString::fromLatin1(row.typed));
    EXPECT_EQ(Text(row.id), std::u16string(row.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Form, Typing,
    ::testing::Values(
        TypingRow{"SmsIntervalSixDigits", 1021, "123456", u"123456"},
        TypingRow{"SmsIntervalRefusesASeventh", 1021, "1234567", u"123456"},
        TypingRow{"SmsIntervalRefusesLetters", 1021, "1a2b3", u"123"},
        TypingRow{"GeoFenceRefusesASign", 1024, "-15", u"15"},
        TypingRow{"RingCounterTwo", 1026, "123", u"12"},
        TypingRow{"OverSpeedThree", 1027, "12345", u"123"},
        TypingRow{"OverSpeedRefusesLetters", 1027, "x9", u"9"},
        TypingRow{"SensorActiveDigitsWithoutLimit", 1044, "12345678901234567890",
                  u"12345678901234567890"},
        TypingRow{"SensorActiveRefusesLetters", 1044, "1e3", u"13"},
        TypingRow{"ApnThirtyOne", 1028, "internet.example.operator.com.tw.extra",
                  u"internet.example.operator.com.t"},
        TypingRow{"GprsUserTwenty", 1029, "abcdefghijklmnopqrstuvwxyz", u"abcdefghijklmnopqrst"},
        TypingRow{"GprsPassTwenty", 1030, "p@ss word with spaces!", u"p@ss word with space"},
        TypingRow{"ServerFifty", 1031, "tracker.server.example.com.with.a.very.long.name.tw.x",
                  u"tracker.server.example.com.with.a.very.long.name.t"},
        TypingRow{"TcpPortFive", 1032, "65535123", u"65535"},
        TypingRow{"UdpPortDigitsOnly", 1033, "80a80", u"8080"},
        TypingRow{"ConfigPortFive", 1034, "123456", u"12345"},
        TypingRow{"PasswdEight", 1036, "secret1234", u"secret12"},
        TypingRow{"SleepHourTakesLetters", 1040, "ab", u"ab"},
        TypingRow{"SleepMinTwo", 1041, "123", u"12"},
        TypingRow{"SleepSecAnyCharacters", 1042, "?!x", u"?!"},
        TypingRow{"WakeHourTakesLetters", 1047, "h1", u"h1"},
        TypingRow{"WakeMinTwo", 1048, "zzz", u"zz"}, TypingRow{"WakeSecTwo", 1049, "5959", u"59"}),
    test::RowName());

TEST_F(InputLimits, ACommandsValueIsShownWhole) {
    s_fixture->form->SetText(ctl::SmsIntervalEdit, u"1234567890");
    EXPECT_EQ(Text(ctl::SmsIntervalEdit), u"1234567890");
    s_fixture->form->SetText(ctl::TcpPortEdit, u"12ab");  // letters too
    EXPECT_EQ(Text(ctl::TcpPortEdit), u"12ab");
    s_fixture->form->SetText(ctl::SleepHourEdit, u"23:59");
    EXPECT_EQ(Text(ctl::SleepHourEdit), u"23:59");
}

TEST_F(InputLimits, AFieldOverItsLimitTakesNothingMoreButLetsTheUserDelete) {
    s_fixture->form->SetText(ctl::SmsIntervalEdit, u"1234567890");
    QLineEdit* edit = Edit(ctl::SmsIntervalEdit);
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_5);
    EXPECT_EQ(Text(ctl::SmsIntervalEdit), u"1234567890");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(Text(ctl::SmsIntervalEdit), u"123456789");
    // A replacement counts what stays: nine less one plus one is still over six...
    edit->setSelection(0, 1);
    QTest::keyClick(edit, Qt::Key_9);
    EXPECT_EQ(Text(ctl::SmsIntervalEdit), u"123456789");
    // ...nine less four plus one is six.
    edit->setSelection(0, 4);
    QTest::keyClick(edit, Qt::Key_9);
    EXPECT_EQ(Text(ctl::SmsIntervalEdit), u"956789");
}

TEST_F(InputLimits, DigitsTypedIntoACommandsLettersAreTaken) {
    s_fixture->form->SetText(ctl::UdpPortEdit, u"1a");
    QLineEdit* edit = Edit(ctl::UdpPortEdit);
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("2b"));
    EXPECT_EQ(Text(ctl::UdpPortEdit), u"1a2");
}

TEST_F(InputLimits, APasteIsCutToTheRoomLeft) {
    s_fixture->form->SetText(ctl::SmsIntervalEdit, u"1234");
    QLineEdit* edit = Edit(ctl::SmsIntervalEdit);
    edit->end(false);
    edit->insert(QStringLiteral("98765"));
    EXPECT_EQ(Text(ctl::SmsIntervalEdit), u"123498");
    EXPECT_EQ(edit->cursorPosition(), 6);

    s_fixture->form->SetText(ctl::ApnEdit, u"");
    Edit(ctl::ApnEdit)->insert(QString(40, u'a'));
    EXPECT_EQ(Text(ctl::ApnEdit), std::u16string(31, u'a'));
}

TEST_F(InputLimits, APasteWithANonDigitIsRefusedInADigitsOnlyField) {
    s_fixture->form->SetText(ctl::TcpPortEdit, u"80");
    QLineEdit* edit = Edit(ctl::TcpPortEdit);
    edit->end(false);
    edit->insert(QStringLiteral("8 0"));
    EXPECT_EQ(Text(ctl::TcpPortEdit), u"80");
    edit->insert(QStringLiteral("80"));
    EXPECT_EQ(Text(ctl::TcpPortEdit), u"8080");
}

TEST_F(InputLimits, InsertingInTheMiddle) {
    s_fixture->form->SetText(ctl::GprsUserEdit, u"abcdef");
    QLineEdit* edit = Edit(ctl::GprsUserEdit);
    edit->setCursorPosition(3);
    QTest::keyClicks(edit, QStringLiteral("XYZ"));
    EXPECT_EQ(Text(ctl::GprsUserEdit), u"abcXYZdef");
}

TEST_F(InputLimits, PhoneEditsHaveNoLimitOfOurs) {
    const QString many = QStringLiteral("0912345678,").repeated(10);
    s_fixture->form->SetText(ctl::ScuPhoneEdit, u"");
    QTest::keyClicks(s_fixture->C(ctl::ScuPhoneEdit), many);
    EXPECT_EQ(Text(ctl::ScuPhoneEdit), many.toStdU16String());
}

}  // namespace
}  // namespace quarnel
