// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The form's start-up steps, its layout rules on the real controls, the handler wrapper
// and closing while a handler runs.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QScreen>
#include <map>
#include <stdexcept>

#include "app/layout_rules.h"
#include "form/control_ids.h"
#include "form_fixture.h"
#include "i18n/lang_table.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::FormFixture;
using test::Narrow;

QRect Px(FormFixture& f, int id) {
    return f.form->Units().ToPixels(FindControl(id)->rect);
}

// Start-up with an empty program directory: whatever the settings and language readers
// report, the empty text table stops the start-up with the generic error box, after the
// title, icons, progress ranges, limits and Mode selection are set.
class StartupWithoutFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(f.Show()); }
    FormFixture f;
};

TEST_F(StartupWithoutFiles, ReportsTheMissingEntryInTheGenericErrorBox) {
    const auto boxes = f.ui.ErrorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(Narrow(boxes[0]).find("entry"), std::string::npos) << Narrow(boxes[0]);
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(f.finishedCount, 0);
}

TEST_F(StartupWithoutFiles, StepsBeforeTheTextsHaveRun) {
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Trelvin (14020701)"));
    const QList<QSize> sizes = f.form->windowIcon().availableSizes();
    for (const int s : {16, 32, 48, 64}) {
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
    }
    EXPECT_EQ(f.form->GetSelection(ctl::ModeCombo), -1);
    EXPECT_EQ(f.form->GetText(ctl::ModeCombo), u"");
    EXPECT_EQ(f.form->GetProgress(ctl::LogProgress), 0);
    EXPECT_EQ(f.form->ProgramDirectory(), std::filesystem::path(f.programDir.path().toStdString()));
}

TEST_F(StartupWithoutFiles, StopsBeforeLayoutAndCentring) {
    // Left where the template put it, the layout untouched, the firmware panel shown.
    EXPECT_EQ(f.form->pos(), QPoint(0, 0));
    for (const int id : {ctl::TimeToSleepLabel, ctl::TimeToWakeupLabel, ctl::SleepModePanel}) {
        EXPECT_EQ(f.C(id)->geometry(), Px(f, id)) << id;
    }
    for (const int id : {ctl::FirmwareUpdatePanel, ctl::UpdateButton, ctl::UpdateProgress}) {
        EXPECT_TRUE(f.C(id)->isVisible()) << id;
    }
}

TEST_F(StartupWithoutFiles, FormStaysUsable) {
    QTest::keyClicks(f.C(ctl::ApnEdit), QStringLiteral("internet"));
    EXPECT_EQ(f.form->GetText(ctl::ApnEdit), u"internet");
    QTest::mouseClick(f.C(ctl::SosCheck), Qt::LeftButton);
    EXPECT_TRUE(f.form->IsChecked(ctl::SosCheck));
}

TEST(Startup, RunsOnlyOnce) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    f.form->hide();
    f.form->show();
    EXPECT_EQ(f.ui.ErrorBoxes().size(), 1u);
    EXPECT_EQ(f.form->windowTitle(), QStringLiteral("Trelvin (14020701)"));
}

TEST(Startup, TemplateCaptionsStayWithoutATextTable) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    EXPECT_EQ(f.form->GetText(ctl::GetParameterButton), u"Get Parameter");
    EXPECT_EQ(f.form->GetText(ctl::SystemConfigPanel), u"System Config");
    EXPECT_EQ(f.form->ItemCount(ctl::ModeCombo), 0);
}

// The firmware-panel-hidden layout on the form's own controls.
TEST(FirmwareHiddenLayoutOnTheForm, MovesAndHides) {
    FormFixture f;
    f.form->ApplyFirmwareHiddenLayout();
    const QRect s = Px(f, ctl::SleepModePanel);
    const QRect v = Px(f, ctl::ServerConfigPanel);
    const QRect a = Px(f, ctl::TimeToSleepLabel);
    const QRect w = Px(f, ctl::TimeToWakeupLabel);
    const int vBottom = v.y() + v.height();

    for (const int id : {ctl::FirmwareUpdatePanel, ctl::UpdateButton, ctl::UpdateProgress}) {
        EXPECT_TRUE(f.C(id)->isHidden()) << id;
    }
    EXPECT_EQ(f.C(ctl::SleepModePanel)->geometry(),
              QRect(s.x(), s.y(), s.width(), vBottom - s.y()));
    EXPECT_EQ(f.C(ctl::TimeToSleepLabel)->geometry(), QRect(a.x(), a.y(), 300, a.height()));
    const int wakeTop = a.y() + (vBottom - a.y()) / 2;
    EXPECT_EQ(f.C(ctl::TimeToWakeupLabel)->geometry(), QRect(w.x(), wakeTop, 300, w.height()));

    const int units[] = {ctl::HourLabel, ctl::MinLabel, ctl::SecLabel};
    const int sleepEdits[] = {ctl::SleepHourEdit, ctl::SleepMinEdit, ctl::SleepSecEdit};
    const int wakeEdits[] = {ctl::WakeupHourEdit, ctl::WakeupMinEdit, ctl::WakeupSecEdit};
    for (size_t i = 0; i < 3; ++i) {
        const QRect unit = Px(f, units[i]);
        EXPECT_EQ(f.C(units[i])->geometry(), unit);
        EXPECT_EQ(f.C(sleepEdits[i])->geometry(),
                  QRect(QPoint(unit.x() - 7, a.y() + 30), Px(f, sleepEdits[i]).size()));
        EXPECT_EQ(f.C(wakeEdits[i])->geometry(),
                  QRect(QPoint(unit.x() - 7, wakeTop + 30), Px(f, wakeEdits[i]).size()));
    }
    // The Mode label and combo box stay.
    EXPECT_EQ(f.C(ctl::ModeLabel)->geometry(), Px(f, ctl::ModeLabel));
    EXPECT_EQ(f.C(ctl::ModeCombo)->pos(), Px(f, ctl::ModeCombo).topLeft());
}

// The label-wrap adjustment on the form's own labels. The text is measured in the
// application's default font, which is made clearly larger than the form's here.
class LabelWrapOnTheForm : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedFont = QApplication::font();
        QFont big = m_savedFont;
        big.setPointSize(m_savedFont.pointSize() + 6);
        QApplication::setFont(big);
        f.Rebuild();
        for (const char16_t* text : {u"Sleep Mode", u"Mode", u"Time to Sleep", u"Time to Wakeup"}) {
            f.form->LangTable().Append(LangSection::SleepMode, text);
        }
        const QFontMetrics app(QApplication::font());
        sleepText = app.horizontalAdvance(QStringLiteral("Time to Sleep"));
        wakeText = app.horizontalAdvance(QStringLiteral("Time to Wakeup"));
        // The rule would come out otherwise in the form's font.
        const QFontMetrics form(f.form->font());
        ASSERT_GT(sleepText, form.horizontalAdvance(QStringLiteral("Time to Sleep")) + 5);
    }
    void TearDown() override { QApplication::setFont(m_savedFont); }

    void SetWidth(int id, int width) {
        QRect r = f.C(id)->geometry();
        r.setWidth(width);
        f.C(id)->setGeometry(r);
    }

    FormFixture f;
    int sleepText = 0;
    int wakeText = 0;

private:
    QFont m_savedFont;
};

TEST_F(LabelWrapOnTheForm, TimeToSleepNeedsFivePixelsToSpare) {
    SetWidth(ctl::TimeToSleepLabel, sleepText + 5);
    const QRect fits = f.C(ctl::TimeToSleepLabel)->geometry();
    f.form->ApplyLabelWrapAdjustment();
    EXPECT_EQ(f.C(ctl::TimeToSleepLabel)->geometry(), fits);

    SetWidth(ctl::TimeToSleepLabel, sleepText + 4);
    const QRect tight = f.C(ctl::TimeToSleepLabel)->geometry();
    f.form->ApplyLabelWrapAdjustment();
    EXPECT_EQ(f.C(ctl::TimeToSleepLabel)->geometry(),
              QRect(tight.x(), tight.y() - 10, tight.width(), tight.height() + 18));
}

TEST_F(LabelWrapOnTheForm, TimeToWakeupOnlyWhenStrictlyWider) {
    SetWidth(ctl::TimeToWakeupLabel, wakeText);
    const QRect asWide = f.C(ctl::TimeToWakeupLabel)->geometry();
    f.form->ApplyLabelWrapAdjustment();
    EXPECT_EQ(f.C(ctl::TimeToWakeupLabel)->geometry(), asWide);

    SetWidth(ctl::TimeToWakeupLabel, wakeText - 1);
    const QRect narrower = f.C(ctl::TimeToWakeupLabel)->geometry();
    f.form->ApplyLabelWrapAdjustment();
    EXPECT_EQ(f.C(ctl::TimeToWakeupLabel)->geometry(),
              QRect(narrower.x(), narrower.y() - 10, narrower.width(), narrower.height() + 15));
}

TEST_F(LabelWrapOnTheForm, MissingEntriesThrow) {
    f.form->LangTable().Clear();
    f.form->LangTable().Append(LangSection::SleepMode, u"only one");
    EXPECT_THROW(f.form->ApplyLabelWrapAdjustment(), LangEntryMissing);
}

// Handlers: no exception crosses the event loop.
struct ThrowRow {
    const char* name;
    std::function<void()> handler;
    const char* reported;
};

class HandlerErrors : public ::testing::TestWithParam<ThrowRow> {};

TEST_P(HandlerErrors, EndInTheGenericErrorBox) {
    FormFixture f;
    EXPECT_FALSE(f.form->RunHandler(GetParam().handler));
    const auto boxes = f.ui.ErrorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(Narrow(boxes[0]).find(GetParam().reported), std::string::npos) << Narrow(boxes[0]);
    EXPECT_TRUE(f.ui.Messages().empty());
    EXPECT_FALSE(f.form->IsHandlerRunning());
}

INSTANTIATE_TEST_SUITE_P(
    Form, HandlerErrors,
    ::testing::Values(ThrowRow{"MissingEntry",
                               [] { throw LangEntryMissing(LangSection::SleepMode, 3); },
                               "[SLEEP MODE] entry 3"},
                      ThrowRow{"StandardException",
                               [] { throw std::runtime_error("disk on fire"); }, "disk on fire"},
                      ThrowRow{"AnythingElse", [] { throw 42; }, "unexpected error"}),
    test::RowName());

TEST(Handlers, ACompletedHandlerReportsNothing) {
    FormFixture f;
    bool ran = false;
    EXPECT_TRUE(f.form->RunHandler([&ran] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(f.ui.Events().empty());
}

TEST(Handlers, ACloseRequestWaitsForTheRunningHandler) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    f.form->RunHandler([&] {
        // The close box, while a command keeps the window alive.
        QCoreApplication::postEvent(f.form.get(), new QCloseEvent);
        f.form->KeepAlive();
        f.form->reject();
        EXPECT_TRUE(f.form->isVisible());
        EXPECT_EQ(f.finishedCount, 0);
        // The form is still whole for the rest of the command.
        f.form->SetText(ctl::ApnEdit, u"still here");
        EXPECT_EQ(f.form->GetText(ctl::ApnEdit), u"still here");
    });
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.finishedCount, 1);
    EXPECT_EQ(f.lastResult, QDialog::Rejected);
}

TEST(Handlers, KeepAliveDeliversPostedWork) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    bool delivered = false;
    QMetaObject::invokeMethod(
        f.form.get(), [&delivered] { delivered = true; }, Qt::QueuedConnection);
    f.form->KeepAlive();
    EXPECT_TRUE(delivered);
}

std::map<int, int> Intervals(QObject* object) {
    std::map<int, int> intervals;  // interval -> count
    for (const auto& info : QAbstractEventDispatcher::instance()->registeredTimers(object)) {
        ++intervals[info.interval];
    }
    return intervals;
}

TEST(Timers, HandleIsTheTimerIdAndAStartReplacesTheSameId) {
    FormFixture f;
    EXPECT_EQ(f.form->StartTimer(2, 50), 2);
    EXPECT_EQ(f.form->StartTimer(1, 1000), 1);
    EXPECT_EQ(Intervals(f.form.get()), (std::map<int, int>{{50, 1}, {1000, 1}}));
    EXPECT_EQ(f.form->StartTimer(2, 20), 2);
    EXPECT_EQ(Intervals(f.form.get()), (std::map<int, int>{{20, 1}, {1000, 1}}));
    f.form->StopTimer(2);
    EXPECT_EQ(Intervals(f.form.get()), (std::map<int, int>{{1000, 1}}));
    f.form->StopTimer(7);  // never started: nothing happens
    f.form->StopTimer(1);
    EXPECT_TRUE(Intervals(f.form.get()).empty());
}

TEST(Timers, ClosingTheFormStopsThem) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    f.form->StartTimer(2, 50);
    f.form->reject();
    EXPECT_TRUE(Intervals(f.form.get()).empty());
}

}  // namespace
}  // namespace quarnel
