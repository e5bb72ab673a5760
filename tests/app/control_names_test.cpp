// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the form's controls get their screen-reader names from, as data.
#include "form/control_names.h"

#include <gtest/gtest.h>

#include <vector>

#include "form/control_ids.h"
#include "form/control_table.h"

namespace quarnel {
namespace {

TEST(ControlNames, AFieldIsNamedByTheLabelJustBeforeIt) {
    EXPECT_EQ(NameSources(ctl::SmsIntervalEdit), std::vector<int>{ctl::SmsIntervalLabel});
    EXPECT_EQ(NameSources(ctl::ModeCombo), std::vector<int>{ctl::ModeLabel});
    EXPECT_EQ(NameSources(ctl::PasswdEdit), std::vector<int>{ctl::PasswdLabel});
    EXPECT_EQ(NameSources(ctl::ImeiDisplay), std::vector<int>{ctl::ImeiLabel});
}

TEST(ControlNames, WhereTheTextBeforeItIsNotItsLabelTheTableNamesThem) {
    // Before the Sleep Hour edit comes a ":", before the TCP box the "Sec." label.
    EXPECT_EQ(NameSources(ctl::SleepHourEdit),
              (std::vector<int>{ctl::TimeToSleepLabel, ctl::HourLabel}));
    EXPECT_EQ(NameSources(ctl::WakeupSecEdit),
              (std::vector<int>{ctl::TimeToWakeupLabel, ctl::SecLabel}));
    EXPECT_EQ(NameSources(ctl::TcpCheck), std::vector<int>{ctl::TcpPortLabel});
    EXPECT_EQ(NameSources(ctl::OverSpeedEdit),
              (std::vector<int>{ctl::OverSpeedAlarmCheck, ctl::KmhLabel}));
    EXPECT_EQ(NameSources(ctl::LogProgress), std::vector<int>{ctl::GetGpsLogButton});
}

TEST(ControlNames, CaptionedControlsNameThemselves) {
    for (const int id : {ctl::GetParameterButton, ctl::BurglarCheck, ctl::SystemConfigPanel,
                         ctl::ApnLabel, 0, 4242}) {
        EXPECT_TRUE(NameSources(id).empty()) << id;
    }
}

TEST(ControlNames, EveryControlTheKeyboardReachesHasANameSourceOrACaption) {
    for (const ControlSpec& c : ControlTable()) {
        if (!c.Has(style::kTabStop) || c.Has(style::kHidden)) {
            continue;
        }
        EXPECT_TRUE(!c.text.empty() || !NameSources(c.id).empty()) << c.id;
    }
}

TEST(ControlNames, TheInnermostPanelHoldsTheControl) {
    EXPECT_EQ(EnclosingPanel(ctl::SecurityGeoFenceCheck), ctl::SecuritySmsPanel);
    EXPECT_EQ(EnclosingPanel(ctl::BuzzerGeoFenceCheck), ctl::BuzzerPanel);
    EXPECT_EQ(EnclosingPanel(ctl::SmsIntervalEdit), ctl::SystemConfigPanel);
    EXPECT_EQ(EnclosingPanel(ctl::UpdateProgress), ctl::FirmwareUpdatePanel);
    EXPECT_EQ(EnclosingPanel(ctl::ModeCombo), ctl::SleepModePanel) << "its list may reach out";
    EXPECT_EQ(EnclosingPanel(ctl::SystemConfigPanel), ctl::TrackerPanel);
    EXPECT_EQ(EnclosingPanel(ctl::PasswdEdit), 0) << "the top row is outside every panel";
    EXPECT_EQ(EnclosingPanel(4242), 0);
}

TEST(ControlNames, OnlyTheImeiShowsAValue) {
    EXPECT_TRUE(IsValueDisplay(ctl::ImeiDisplay));
    EXPECT_FALSE(IsValueDisplay(ctl::ImeiLabel));
    EXPECT_FALSE(IsValueDisplay(ctl::VersionEdit));
}

}  // namespace
}  // namespace quarnel
