// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The start-up layout rules on plain rectangles, with their pixel results.
#include "app/layout_rules.h"

#include <gtest/gtest.h>

#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

struct WrapRow {
    const char* name;
    int labelWidth;
    int textWidth;
    bool wraps;
};

class SleepLabelWrap : public ::testing::TestWithParam<WrapRow> {};

TEST_P(SleepLabelWrap, NeedsFivePixelsToSpare) {
    const PxRect label{651, 396, GetParam().labelWidth, 15};
    const PxRect out = WrapTimeToSleepLabel(label, GetParam().textWidth);
    if (GetParam().wraps) {
        EXPECT_EQ(out, (PxRect{651, 386, GetParam().labelWidth, 33}));
    } else {
        EXPECT_EQ(out, label);
    }
}

INSTANTIATE_TEST_SUITE_P(LabelWrap, SleepLabelWrap,
                         ::testing::Values(WrapRow{"SixNarrower", 144, 138, false},
                                           WrapRow{"FiveNarrower", 144, 139, false},
                                           WrapRow{"FourNarrower", 144, 140, true},
                                           WrapRow{"AsWide", 144, 144, true},
                                           WrapRow{"Wider", 144, 190, true}),
                         test::RowName());

class WakeupLabelWrap : public ::testing::TestWithParam<WrapRow> {};

TEST_P(WakeupLabelWrap, OnlyWhenStrictlyWider) {
    const PxRect label{651, 426, GetParam().labelWidth, 17};
    const PxRect out = WrapTimeToWakeupLabel(label, GetParam().textWidth);
    if (GetParam().wraps) {
        EXPECT_EQ(out, (PxRect{651, 416, GetParam().labelWidth, 32}));
    } else {
        EXPECT_EQ(out, label);
    }
}

INSTANTIATE_TEST_SUITE_P(LabelWrap, WakeupLabelWrap,
                         ::testing::Values(WrapRow{"OneNarrower", 144, 143, false},
                                           WrapRow{"AsWide", 144, 144, false},
                                           WrapRow{"OneWider", 144, 145, true}),
                         test::RowName());

// The Sleep Mode panel's rectangles at a base of 7 x 15 pixels per 4 x 8 dialog units.
SleepPanelRects TemplateAtSevenByFifteen() {
    SleepPanelRects r;
    r.sleepPanel = {642, 330, 343, 129};   // 367, 176, 196, 69
    r.serverPanel = {334, 377, 298, 146};  // 191, 201, 170, 78
    r.timeToSleep = {651, 396, 144, 15};   // 372, 211, 82, 8
    r.timeToWakeup = {651, 426, 144, 17};  // 372, 227, 82, 9
    r.hour = {805, 377, 28, 15};           // 460, 201, 16, 8
    r.min = {875, 377, 25, 15};            // 500, 201, 14, 8
    r.sec = {940, 377, 28, 15};            // 537, 201, 16, 8
    r.sleepHour = {798, 392, 44, 23};      // 456, 209, 25, 12
    r.sleepMin = {865, 392, 44, 23};       // 494, 209, 25, 12
    r.sleepSec = {931, 392, 44, 23};       // 532, 209, 25, 12
    r.wakeHour = {798, 422, 44, 23};       // 456, 225, 25, 12
    r.wakeMin = {865, 422, 44, 23};        // 494, 225, 25, 12
    r.wakeSec = {931, 422, 44, 23};        // 532, 225, 25, 12
    return r;
}

TEST(FirmwareHiddenLayout, PixelResults) {
    const SleepPanelRects in = TemplateAtSevenByFifteen();
    const SleepPanelRects out = FirmwareHiddenLayout(in);

    // The panel reaches down to the Server Config panel's bottom edge (377 + 146 = 523).
    EXPECT_EQ(out.sleepPanel, (PxRect{642, 330, 343, 523 - 330}));
    EXPECT_EQ(out.timeToSleep, (PxRect{651, 396, 300, 15}));
    // Edits 7 pixels left of Hour/Min./Sec., 30 below the label's top, sizes kept.
    EXPECT_EQ(out.sleepHour, (PxRect{798, 426, 44, 23}));
    EXPECT_EQ(out.sleepMin, (PxRect{868, 426, 44, 23}));
    EXPECT_EQ(out.sleepSec, (PxRect{933, 426, 44, 23}));
    // Halfway between 396 and 523, truncated: 396 + 127 / 2 = 459.
    EXPECT_EQ(out.timeToWakeup, (PxRect{651, 459, 300, 17}));
    EXPECT_EQ(out.wakeHour, (PxRect{798, 489, 44, 23}));
    EXPECT_EQ(out.wakeMin, (PxRect{868, 489, 44, 23}));
    EXPECT_EQ(out.wakeSec, (PxRect{933, 489, 44, 23}));
    // What the rule only reads stays as it was.
    EXPECT_EQ(out.serverPanel, in.serverPanel);
    EXPECT_EQ(out.hour, in.hour);
    EXPECT_EQ(out.min, in.min);
    EXPECT_EQ(out.sec, in.sec);
}

TEST(FirmwareHiddenLayout, HalfwayTruncatesAnOddDistance) {
    SleepPanelRects in = TemplateAtSevenByFifteen();
    in.serverPanel.height = 147;  // bottom 524: 396 + 128 / 2
    EXPECT_EQ(FirmwareHiddenLayout(in).timeToWakeup.top, 460);
    in.serverPanel.height = 146;  // bottom 523: 396 + 127 / 2 = 396 + 63
    EXPECT_EQ(FirmwareHiddenLayout(in).timeToWakeup.top, 459);
}

struct CentreRow {
    const char* name;
    PxRect area;
    int width;
    int height;
    PxPoint expected;
};

class Centring : public ::testing::TestWithParam<CentreRow> {};

TEST_P(Centring, OnTheWorkArea) {
    const CentreRow& row = GetParam();
    EXPECT_EQ(CentredTopLeft(row.width, row.height, row.area), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Form, Centring,
    ::testing::Values(CentreRow{"Middle", {0, 0, 1920, 1040}, 1012, 551, {454, 245}},
                      CentreRow{"OffsetArea", {100, 30, 1000, 800}, 400, 200, {400, 330}},
                      CentreRow{"OddSizes", {0, 0, 1001, 801}, 101, 51, {450, 375}},
                      CentreRow{"LargerThanArea", {0, 0, 800, 600}, 1012, 551, {0, 25}},
                      CentreRow{"LargerInBoth", {10, 20, 800, 500}, 1012, 551, {10, 20}}),
    test::RowName());

}  // namespace
}  // namespace quarnel
