// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The form's command table: each click reaches its command, on the window's thread, with
// the form and its message boxes.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>

#include "form/control_ids.h"
#include "form/messages.h"
#include "form_fixture.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

using test::FormFixture;
using test::RecordingUi;
using test::SimRig;

void Click(FormFixture& f, int id) {
    QTest::mouseClick(f.C(id), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
}

TEST(Commands, GetParameterFillsTheFormFromTheTracker) {
    SimRig rig;
    FormFixture f(rig.Link());
    ASSERT_TRUE(f.Show());
    Click(f, ctl::GetParameterButton);
    ASSERT_FALSE(f.ui.Messages().empty());
    EXPECT_EQ(f.ui.Messages().back(), msg::kGetFinish);
    EXPECT_EQ(rig.tracker.CommandsTaken(), 53u);
    EXPECT_FALSE(f.form->GetText(ctl::SmsIntervalEdit).empty());
    EXPECT_TRUE(f.form->IsEnabled(ctl::GetParameterButton));
}

TEST(Commands, SetParameterWithoutATrackerSaysSo) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    Click(f, ctl::SetParameterButton);
    ASSERT_FALSE(f.ui.Messages().empty());
    EXPECT_EQ(f.ui.Messages().back(), msg::kUsbConnectFailure);
}

TEST(Commands, SetDefaultRestoresTheFactorySettings) {
    SimRig rig;
    FormFixture f(rig.Link());
    ASSERT_TRUE(f.Show());
    Click(f, ctl::SetDefaultButton);
    EXPECT_EQ(rig.tracker.FactoryResets(), 1u);
}

TEST(Commands, UpdateAsksForTheImageOnceTheTrackerIsFound) {
    SimRig rig;
    FormFixture f(rig.Link());
    ASSERT_TRUE(f.Show());
    const size_t before = f.ui.Events().size();
    Click(f, ctl::UpdateButton);  // the recorder cancels the dialog
    const auto events = f.ui.Events();
    ASSERT_EQ(events.size(), before + 1);
    EXPECT_EQ(events[before].kind, RecordingUi::Event::OpenDialog);
    ASSERT_FALSE(events[before].options.filters.empty());
    EXPECT_EQ(events[before].options.filters[0].display, u"BIN Files (*.bin)");
    EXPECT_TRUE(f.form->IsEnabled(ctl::UpdateButton));
}

TEST(Commands, AddressModeBoxesFollowTheirRuleAfterTheClick) {
    FormFixture f;
    ASSERT_TRUE(f.Show());
    f.form->SetChecked(ctl::UdpCheck, true);
    Click(f, ctl::TcpCheck);
    EXPECT_TRUE(f.form->IsChecked(ctl::TcpCheck));
    EXPECT_FALSE(f.form->IsChecked(ctl::UdpCheck));
    // A second click leaves TCP on: exactly one of the two is checked.
    Click(f, ctl::TcpCheck);
    EXPECT_TRUE(f.form->IsChecked(ctl::TcpCheck));
    Click(f, ctl::UdpCheck);
    EXPECT_FALSE(f.form->IsChecked(ctl::TcpCheck));
    EXPECT_TRUE(f.form->IsChecked(ctl::UdpCheck));
}

TEST(Commands, ACommandSetsNoCheckBoxRule) {
    // SetChecked from a command is not a click: the rule does not run.
    FormFixture f;
    f.form->SetChecked(ctl::UdpCheck, true);
    f.form->SetChecked(ctl::TcpCheck, true);
    EXPECT_TRUE(f.form->IsChecked(ctl::UdpCheck));
}

TEST(Commands, ClosingDuringACommandWaitsForItsEnd) {
    SimRig rig;
    FormFixture f(rig.Link());
    ASSERT_TRUE(f.Show());
    // The close box, delivered while Get Parameter keeps the window alive.
    QCoreApplication::postEvent(f.form.get(), new QCloseEvent);
    qobject_cast<QPushButton*>(f.C(ctl::GetParameterButton))->click();
    EXPECT_EQ(rig.tracker.CommandsTaken(), 53u);
    EXPECT_EQ(f.ui.Messages().back(), msg::kGetFinish);
    EXPECT_EQ(f.finishedCount, 1);
    EXPECT_EQ(f.lastResult, QDialog::Rejected);
}

}  // namespace
}  // namespace quarnel
