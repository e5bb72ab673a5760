// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/wide_number.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "i18n/i18n_test_files.h"
#include "support/recording_ui.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

struct NumberCase {
    const char* name;
    std::u16string text;
    int32_t value;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.name;
}

class WideNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(WideNumberTest, ReadsLikeStrtolInBase10) {
    EXPECT_EQ(ParseWideLong(GetParam().text), GetParam().value) << test::Narrow(GetParam().text);
}

const NumberCase kNumberCases[] = {
    {"Zero", u"0", 0},
    {"One", u"1", 1},
    {"Negative", u"-1", -1},
    {"ExplicitPlus", u"+7", 7},
    {"LeadingSpaces", u"  42", 42},
    {"LeadingControlWhiteSpace", u"\t\v\f\r\n 5", 5},
    {"DigitsThenLetters", u"12abc", 12},
    {"StopsAtInnerSpace", u"1 2", 1},
    {"HexNotRead", u"0x10", 0},
    {"Letters", u"abc", 0},
    {"Words", u"true", 0},
    {"Empty", u"", 0},
    {"OnlySpaces", u"   ", 0},
    {"SignAlone", u"-", 0},
    {"PlusAlone", u"+", 0},
    {"TwoSigns", u"+-1", 0},
    {"SpaceAfterSign", u"- 1", 0},
    {"NegativeZero", u"-0", 0},
    {"LeadingZerosDoNotOverflow", u"0000000000000000000000000012", 12},
    {"Maximum", u"2147483647", kMax},
    {"JustAboveMaximumClamps", u"2147483648", kMax},
    {"ElevenNinesClamp", u"99999999999", kMax},
    {"HugeClamps", u"123456789012345678901234567890", kMax},
    {"Minimum", u"-2147483648", kMin},
    {"JustBelowMinimumClamps", u"-2147483649", kMin},
    {"HugeNegativeClamps", u"-99999999999999999999999", kMin},
    {"FullWidthDigitNotRead", u"\uFF11", 0},
    {"NoBreakSpaceNotWhiteSpace", u"\u00A01", 0},
};

INSTANTIATE_TEST_SUITE_P(WideNumber, WideNumberTest, testing::ValuesIn(kNumberCases),
                         test::RowName());

}  // namespace
}  // namespace quarnel
