// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Every control of the template exists on the form with its kind, ID, caption, place and
// style, and the form's FormAccess reaches them by ID.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "app/dialog_units.h"
#include "app/form_widgets.h"
#include "app/input_limit.h"
#include "form/control_ids.h"
#include "form/control_table.h"
#include "form_fixture.h"

namespace quarnel {
namespace {

using test::FormFixture;

ControlKind KindOf(QWidget* w) {
    if (qobject_cast<QPushButton*>(w))
        return ControlKind::PushButton;
    if (qobject_cast<QCheckBox*>(w))
        return ControlKind::CheckBox;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w))
        return ControlKind::Edit;
    if (qobject_cast<QLabel*>(w))
        return ControlKind::Label;
    if (qobject_cast<QGroupBox*>(w))
        return ControlKind::GroupBox;
    if (qobject_cast<QProgressBar*>(w))
        return ControlKind::ProgressBar;
    if (qobject_cast<QComboBox*>(w))
        return ControlKind::ComboBox;
    ADD_FAILURE() << "a control of no known kind";
    return ControlKind::Label;
}

QString Caption(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

class TemplateControl : public ::testing::TestWithParam<size_t> {
protected:
    static void SetUpTestSuite() { s_fixture = new FormFixture; }
    static void TearDownTestSuite() {
        delete s_fixture;
        s_fixture = nullptr;
    }
    static FormFixture* s_fixture;
};
FormFixture* TemplateControl::s_fixture = nullptr;

TEST_P(TemplateControl, IsBuiltFromTheTable) {
    const ControlSpec& row = ControlTable()[GetParam()];
    QWidget* w = s_fixture->form->Controls().InCreationOrder().at(GetParam());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), s_fixture->form.get());
    EXPECT_EQ(w->property("controlId").toInt(), row.id);
    if (row.id != 0) {
        EXPECT_EQ(s_fixture->form->Control(row.id), w);
    }
    EXPECT_EQ(KindOf(w), row.kind);
    EXPECT_EQ(Caption(w).toStdU16String(), row.text);

    const DialogUnits units = DialogUnits::Of(CQuarnelDlg::FormFont());
    QRect expected = units.ToPixels(row.rect);
    if (row.kind == ControlKind::ComboBox) {
        // The template's height includes the dropped-down list; the field is as high as
        // its font needs.
        expected.setHeight(w->sizeHint().height());
    }
    EXPECT_EQ(w->geometry(), expected);

    EXPECT_EQ(w->isHidden(), row.Has(style::kHidden));
    EXPECT_EQ((w->focusPolicy() & Qt::TabFocus) != 0, row.Has(style::kTabStop));
    EXPECT_FALSE(w->testAttribute(Qt::WA_Disabled));

    if (row.kind == ControlKind::Edit) {
        EXPECT_EQ(qobject_cast<QPlainTextEdit*>(w) != nullptr, row.Has(style::kMultiLine));
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(edit->isReadOnly(), row.Has(style::kReadOnly));
            EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);  // passwords in plain text
            auto* limit = edit->findChild<InputLimitValidator*>();
            ASSERT_NE(limit, nullptr);
            EXPECT_EQ(limit->digitsOnly(), row.Has(style::kDigitsOnly));
            // Fields the mouse alone reaches still take focus from it.
            EXPECT_TRUE(w->focusPolicy() & Qt::ClickFocus);
        }
    }
    if (auto* panel = qobject_cast<PanelBox*>(w)) {
        EXPECT_EQ(panel->isFlatPanel(), row.Has(style::kFlat));
        EXPECT_TRUE(panel->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    if (auto* bar = qobject_cast<FormProgressBar*>(w)) {
        EXPECT_EQ(bar->isSmooth(), row.Has(style::kSmooth));
        EXPECT_FALSE(bar->isTextVisible());
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        EXPECT_EQ((label->alignment() & Qt::AlignRight) != 0, row.Has(style::kRightAligned));
        EXPECT_EQ(label->frameShadow() == QFrame::Sunken && label->frameShape() != QFrame::NoFrame,
                  row.Has(style::kSunken));
        EXPECT_EQ(label->frameShape() == QFrame::Box, row.Has(style::kBordered));
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
}

INSTANTIATE_TEST_SUITE_P(Form, TemplateControl, ::testing::Range<size_t>(0, ControlTable().size()),
                         [](const ::testing::TestParamInfo<size_t>& row) {
                             const ControlSpec& c = ControlTable()[row.param];
                             return c.id != 0 ? "id" + std::to_string(c.id)
                                              : "unnamed" + std::to_string(row.param);
                         });

TEST(Form, SizeFromDialogUnitsAndFixed) {
    FormFixture f;
    const DialogUnits units = f.form->Units();
    EXPECT_EQ(f.form->size(),
              QSize(units.ToPixelsX(kFormWidthDlu), units.ToPixelsY(kFormHeightDlu)));
    EXPECT_EQ(f.form->minimumSize(), f.form->maximumSize());
    EXPECT_FALSE(f.form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(f.form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f.form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("(14020701)"));
    EXPECT_EQ(f.form->font().pointSize(), 9);
}

TEST(Form, ControlsUseTheFormsFont) {
    FormFixture f;
    for (QWidget* w : f.form->Controls().InCreationOrder()) {
        EXPECT_EQ(w->font(), f.form->font()) << w->property("controlId").toInt();
    }
}

TEST(Form, PanelsLetClicksThroughToTheirControls) {
    FormFixture f;
    for (const int id : {1051, 1058, 1059, 1066, 1027, 1028, 1031, 1067, 1068, 1037, 1040, 1009}) {
        QWidget* w = f.C(id);
        QWidget* hit = f.form->childAt(w->geometry().center());
        EXPECT_EQ(test::ControlIdOf(hit), id) << id;
    }
}

TEST(Form, BindingGivesTypedHandlesOnTheSameControls) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    const BoundControls& b = f.form->Bound();
    EXPECT_EQ(b.updateProgress, f.C(1005));
    EXPECT_EQ(b.logProgress, f.C(1006));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(b.edits[static_cast<size_t>(i)], f.C(1021 + i)) << i;
    }
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.securityChecks[static_cast<size_t>(i)], f.C(1051 + i)) << i;
    }
    const int buzzer[] = {1059, 1060, 1061, 1062, 1063, 1064, 1066};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(b.buzzerChecks[i], f.C(buzzer[i])) << i;
    }
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(b.sleepEdits[i], f.C(1040 + static_cast<int>(i)));
        EXPECT_EQ(b.wakeEdits[i], f.C(1047 + static_cast<int>(i)));
        EXPECT_EQ(b.addressModeChecks[i], f.C(1067 + static_cast<int>(i)));
    }
    EXPECT_EQ(b.modeCombo, f.C(1065));
}

TEST(Form, HiddenControlsNeverShowYetHoldTheirValues) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    for (const int id : {1035, 1045, 1046, 1069, 1074, 1075, 1100}) {
        EXPECT_FALSE(f.C(id)->isVisible()) << id;
        EXPECT_FALSE(f.form->IsVisible(id)) << id;
    }
    const auto& created = f.form->Controls().InCreationOrder();
    EXPECT_TRUE(created[15]->isVisible());   // the empty System Config label
    EXPECT_FALSE(created[17]->isVisible());  // the hidden one below it
    EXPECT_FALSE(created[52]->isVisible());  // "User"

    for (const int id : {1035, 1045, 1046, 1074}) {
        f.form->SetText(id, u"4711");
        EXPECT_EQ(f.form->GetText(id), u"4711") << id;
    }
    f.form->SetChecked(ctl::ReplyCheck, true);
    EXPECT_TRUE(f.form->IsChecked(ctl::ReplyCheck));
    EXPECT_FALSE(f.C(ctl::ReplyCheck)->isVisible());
}

TEST(Form, TextsOfEveryKind) {
    FormFixture f;
    struct Row {
        int id;
        std::u16string text;
    };
    const Row rows[] = {{1021, u"60"},
                        {1037, u"0912345678,0922333444,"},
                        {1001, u"Lire"},
                        {1051, u"Einbruch"},
                        {1080, u"Intervalle"},
                        {1078, u"Système"},
                        {1020, u"356789012345678"},
                        {1065, u"Deep sleep"},
                        {1043, u"V1.2 (build 7)"}};
    for (const Row& row : rows) {
        f.form->SetText(row.id, row.text);
        EXPECT_EQ(f.form->GetText(row.id), row.text) << row.id;
    }
    // Characters beyond Latin-1 survive the trip as well.
    f.form->SetText(1031, u"例え.jp");
    EXPECT_EQ(f.form->GetText(1031), u"例え.jp");
}

TEST(Form, UnknownIdsAreIgnored) {
    FormFixture f;
    for (const int id : {0, 1008, 1114, 99999, -1}) {
        f.form->SetText(id, u"x");
        f.form->SetChecked(id, true);
        f.form->SetSelection(id, 1);
        f.form->AddItem(id, u"x");
        f.form->SetEnabled(id, false);
        f.form->SetVisible(id, true);
        f.form->SetProgress(id, 5);
        EXPECT_EQ(f.form->GetText(id), u"");
        EXPECT_FALSE(f.form->IsChecked(id));
        EXPECT_EQ(f.form->GetSelection(id), -1);
        EXPECT_EQ(f.form->ItemCount(id), 0);
        EXPECT_FALSE(f.form->IsEnabled(id));
        EXPECT_FALSE(f.form->IsVisible(id));
        EXPECT_EQ(f.form->GetProgress(id), 0);
    }
}

TEST(Form, EnableAndShow) {
    FormFixture f;
    EXPECT_TRUE(f.form->IsEnabled(ctl::GetGpsLogButton));
    f.form->SetEnabled(ctl::GetGpsLogButton, false);
    EXPECT_FALSE(f.form->IsEnabled(ctl::GetGpsLogButton));
    EXPECT_FALSE(f.C(ctl::GetGpsLogButton)->isEnabled());
    f.form->SetEnabled(ctl::GetGpsLogButton, true);
    EXPECT_TRUE(f.form->IsEnabled(ctl::GetGpsLogButton));

    EXPECT_TRUE(f.form->IsVisible(ctl::UpdateButton));
    f.form->SetVisible(ctl::UpdateButton, false);
    EXPECT_FALSE(f.form->IsVisible(ctl::UpdateButton));
}

TEST(Form, ProgressIsHeldToItsRange) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    for (const int id : {ctl::UpdateProgress, ctl::LogProgress}) {
        auto* bar = qobject_cast<QProgressBar*>(f.C(id));
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(f.form->GetProgress(id), 0);
        f.form->SetProgress(id, 57);
        EXPECT_EQ(f.form->GetProgress(id), 57);
        f.form->SetProgress(id, 250);
        EXPECT_EQ(f.form->GetProgress(id), 100);
        f.form->SetProgress(id, -3);
        EXPECT_EQ(f.form->GetProgress(id), 0);
    }
}

TEST(Form, CheckBoxes) {
    FormFixture f;
    f.form->SetChecked(ctl::TcpCheck, true);
    EXPECT_TRUE(f.form->IsChecked(ctl::TcpCheck));
    f.form->SetChecked(ctl::TcpCheck, false);
    EXPECT_FALSE(f.form->IsChecked(ctl::TcpCheck));
    // A click toggles (automatic check box).
    QTest::mouseClick(f.C(ctl::BurglarCheck), Qt::LeftButton);
    EXPECT_TRUE(f.form->IsChecked(ctl::BurglarCheck));
    // Not a check box: never checked.
    f.form->SetChecked(ctl::GetParameterButton, true);
    EXPECT_FALSE(f.form->IsChecked(ctl::GetParameterButton));
}

class ModeCombo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(f.Show());
        for (const char16_t* item : {u"Normal", u"Sleep", u"Deep sleep", u"Off"}) {
            f.form->AddItem(ctl::ModeCombo, item);
        }
        combo = qobject_cast<QComboBox*>(f.C(ctl::ModeCombo));
    }
    void Type(const QString& text) {
        combo->lineEdit()->selectAll();
        QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(combo->lineEdit(), text);
    }
    FormFixture f;
    QComboBox* combo = nullptr;
};

TEST_F(ModeCombo, StartsWithoutSelectionAndKeepsItsOrder) {
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), 4);
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"");
    EXPECT_EQ(combo->itemText(2), QStringLiteral("Deep sleep"));
    EXPECT_TRUE(combo->isEditable());
}

TEST_F(ModeCombo, SelectionByIndex) {
    f.form->SetSelection(ctl::ModeCombo, 2);
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), 2);
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"Deep sleep");
    f.form->SetSelection(ctl::ModeCombo, 4);  // outside the list: none
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"");
    f.form->SetSelection(ctl::ModeCombo, 0);
    f.form->SetSelection(ctl::ModeCombo, -1);
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
}

TEST_F(ModeCombo, TypedTextThatMatchesNoEntryMeansNone) {
    f.form->SetSelection(ctl::ModeCombo, 1);
    Type(QStringLiteral("Sleepy"));
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"Sleepy");
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    Type(QStringLiteral("sleep"));  // another case is another text
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), 4);  // typing adds nothing
}

TEST_F(ModeCombo, TypedTextThatShowsAnEntryIsThatEntry) {
    Type(QStringLiteral("Off"));
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), 3);
    f.form->SetSelection(ctl::ModeCombo, 0);
    Type(QStringLiteral("Deep sleep"));
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), 2);
}

TEST_F(ModeCombo, TypingDoesNotCompleteEntries) {
    Type(QStringLiteral("De"));
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"De");
}

TEST(Form, AddingItemsSelectsNothing) {
    FormFixture f;
    f.form->AddItem(ctl::ModeCombo, u"Normal");
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"");
    f.form->SetSelection(ctl::ModeCombo, 0);
    f.form->AddItem(ctl::ModeCombo, u"Sleep");
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), 0);
}

}  // namespace
}  // namespace quarnel
