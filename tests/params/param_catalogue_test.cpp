// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "params/param_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "form/control_ids.h"

namespace quarnel {
namespace {

TEST(Catalogue, FullReadAndWriteTransactionCounts) {
    EXPECT_EQ(ReadTransactionCount(), 53u);
    EXPECT_EQ(WriteTransactionCount(), 52u);
}

TEST(Catalogue, ItemsInReadOrderWithoutDuplicates) {
    std::set<std::pair<int, int>> seen;
    std::pair<int, int> previous{-1, -1};
    for (const ParamItem& item : Catalogue()) {
        const std::pair<int, int> at{item.group, item.index};
        EXPECT_TRUE(seen.insert(at).second) << item.group << "/" << int{item.index};
        EXPECT_LT(previous, at);
        previous = at;
    }
    EXPECT_EQ(seen.size(), 26u);
}

TEST(Catalogue, OnlyTheImeiAndTheVersionAreNeverWritten) {
    for (const ParamItem& item : Catalogue()) {
        const bool readOnly = (item.group == 0 && (item.index == 0 || item.index == 8));
        EXPECT_EQ(item.written, !readOnly) << int{item.group} << "/" << int{item.index};
        EXPECT_TRUE(item.read);
    }
}

TEST(Catalogue, EveryTextItemWithAKeyboardLimitFitsOneReport) {
    for (const ParamItem& item : Catalogue()) {
        if (item.encoding == Encoding::Text) {
            EXPECT_LE(static_cast<size_t>(item.keyboardLimit), kMaxTextBytes);
            ASSERT_EQ(item.controls.size(), 1u);
        }
    }
}

TEST(Catalogue, BuzzerBitZeroHasNoBoxAndIsAlwaysWritten) {
    const ParamItem* buzzer = FindItem(0, 10);
    ASSERT_NE(buzzer, nullptr);
    ASSERT_EQ(buzzer->controls.size(), 8u);
    EXPECT_EQ(buzzer->controls[0], kNoControl);
    EXPECT_EQ(buzzer->controls[7], ctl::ButtonPressedCheck);
    EXPECT_EQ(buzzer->alwaysSet, 1u);
    const ParamItem* security = FindItem(0, 9);
    ASSERT_NE(security, nullptr);
    EXPECT_EQ(security->controls[0], ctl::BurglarCheck);
    EXPECT_EQ(security->alwaysSet, 0u);
}

TEST(Catalogue, SleepScheduleHoldsTheModeSelectionAsItsFourthElement) {
    const ParamItem* sleep = FindItem(0, 11);
    ASSERT_NE(sleep, nullptr);
    ASSERT_EQ(sleep->elements.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(sleep->elements[i].kind == ElementKind::Selection, i == 3) << i;
    }
    EXPECT_EQ(sleep->elements[3].control, ctl::ModeCombo);
    EXPECT_EQ(FindItem(0, 12)->elements.size(), 3u);
}

TEST(Catalogue, CommandItemsAreNotItems) {
    EXPECT_EQ(FindItem(0, static_cast<int>(kFactoryDefaultIndex)), nullptr);
    EXPECT_EQ(FindItem(3, 0), nullptr);
}

}  // namespace
}  // namespace quarnel
