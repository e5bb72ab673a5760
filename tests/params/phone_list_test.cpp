// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "params/phone_list.h"

#include <gtest/gtest.h>

#include <string>

#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

// A plan written out readably: "0:1234567" for an entry, "3:-" for a clearing write,
// "abandoned" at the end of an abandoned list.
std::string Describe(const PhoneListPlan& plan, std::string_view text) {
    std::string out;
    for (const EntryWrite& w : plan.writes) {
        out += out.empty() ? "" : " ";
        out += std::to_string(w.entry) + ":";
        out += w.clearing ? std::string("-") : std::string(text.substr(w.offset, w.length));
    }
    if (plan.abandoned) {
        out += out.empty() ? "abandoned" : " abandoned";
    }
    return out;
}

std::string Clears(int from) {
    std::string out;
    for (int j = from; j < 10; ++j) {
        out += " " + std::to_string(j) + ":-";
    }
    return out;
}

struct PlanCase {
    const char* name;
    std::string text;
    std::string plan;
};

class PlanPhoneListTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanPhoneListTest, CutsTheTextIntoEntryWrites) {
    const PlanCase& c = GetParam();
    EXPECT_EQ(Describe(PlanPhoneList(c.text), c.text), c.plan);
}

const std::string k32(32, '3');
const std::string k33(33, '4');

std::string Entries(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += "9" + std::to_string(i) + ",";
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanPhoneListTest,
    ::testing::Values(PlanCase{"Empty", "", Clears(0).substr(1)},
                      PlanCase{"OneWithComma", "1234567,", "0:1234567" + Clears(1)},
                      PlanCase{"OneWithoutComma", "1234567", "0:1234567" + Clears(1)},
                      PlanCase{"Two", "111,222,", "0:111 1:222" + Clears(2)},
                      PlanCase{"LastWithoutComma", "111,222", "0:111 1:222" + Clears(2)},
                      PlanCase{"TwoCommasInARowGiveAnEmptyEntry", "A,,B", "0:A 1: 2:B" + Clears(3)},
                      PlanCase{"LeadingComma", ",A,", "0: 1:A" + Clears(2)},
                      PlanCase{"ThirtyTwoBeforeAComma", k32 + ",", "0:" + k32 + Clears(1)},
                      PlanCase{"ThirtyThreeBeforeACommaAbandons", k33 + ",", "abandoned"},
                      PlanCase{"AbandonedAfterTwoEntries", "1,2," + k33 + ",5,",
                               "0:1 1:2 abandoned"},
                      PlanCase{"ThirtyThreeWithoutACommaIsALastEntry", k33, "0:" + k33 + Clears(1)},
                      PlanCase{"TenEntriesFillTheList", Entries(10),
                               "0:90 1:91 2:92 3:93 4:94 5:95 6:96 7:97 8:98 9:99"},
                      PlanCase{"TwelveEntriesSendTheFirstTen", Entries(12),
                               "0:90 1:91 2:92 3:93 4:94 5:95 6:96 7:97 8:98 9:99"},
                      PlanCase{"OverlongEntryAfterTheTenthIsIgnored", Entries(10) + k33 + ",",
                               "0:90 1:91 2:92 3:93 4:94 5:95 6:96 7:97 8:98 9:99"},
                      PlanCase{"TenthWithoutComma", Entries(9) + "77",
                               "0:90 1:91 2:92 3:93 4:94 5:95 6:96 7:97 8:98 9:77"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(PlanPhoneList, ClearingWritesCarryNoText) {
    const PhoneListPlan plan = PlanPhoneList("12,");
    ASSERT_EQ(plan.writes.size(), 10u);
    for (size_t j = 1; j < 10; ++j) {
        EXPECT_TRUE(plan.writes[j].clearing);
        EXPECT_EQ(plan.writes[j].length, 0u);
        EXPECT_EQ(plan.writes[j].entry, j);
    }
    EXPECT_FALSE(plan.writes[0].clearing);
}

TEST(PlanPhoneList, TextLongerThanTheSendBufferIsCutByTheSameRules) {
    std::string text;
    for (int i = 0; i < 9; ++i) {
        text += std::string(32, static_cast<char>('a' + i)) + ",";
    }
    text += std::string(40, 'z');
    ASSERT_GT(text.size(), 255u);
    const PhoneListPlan plan = PlanPhoneList(text);
    ASSERT_EQ(plan.writes.size(), 10u);
    EXPECT_FALSE(plan.abandoned);
    EXPECT_EQ(text.substr(plan.writes[8].offset, plan.writes[8].length), std::string(32, 'i'));
    EXPECT_EQ(text.substr(plan.writes[9].offset, plan.writes[9].length), std::string(40, 'z'));
    EXPECT_EQ(OversizedEntry(plan), nullptr);
}

TEST(OversizedEntry, OnlyALastEntryOverFiftyCharactersDoesNotFit) {
    EXPECT_EQ(OversizedEntry(PlanPhoneList(std::string(50, '1'))), nullptr);
    const PhoneListPlan tooLong = PlanPhoneList("12," + std::string(51, '1'));
    const EntryWrite* w = OversizedEntry(tooLong);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->entry, 1u);
    EXPECT_EQ(w->length, 51u);
}

TEST(OversizedEntry, AListAbandonedBeforeItsLastEntryFits) {
    EXPECT_EQ(OversizedEntry(PlanPhoneList(std::string(33, '1') + "," + std::string(60, '2'))),
              nullptr);
}

TEST(OversizedEntry, TextAfterTheTenthEntryIsNeverSentSoItFits) {
    EXPECT_EQ(OversizedEntry(PlanPhoneList(Entries(10) + std::string(60, '2'))), nullptr);
}

}  // namespace
}  // namespace quarnel
