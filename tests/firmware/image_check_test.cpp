// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/image_check.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace quarnel {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

const Md5Digest kAbc = Md5::Of(reinterpret_cast<const uint8_t*>("abc"), 3);
const std::string kAbcText = "900150983cd24fb0d6963f7d28e17f72";

TEST(DigestText, IsThirtyTwoLowerCaseDigitsHighNibbleFirst) {
    const Md5Digest digest{0x00, 0x01, 0x0a, 0x10, 0x9f, 0xa0, 0xff, 0x7e,
                           0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0x5c};
    EXPECT_EQ(DigestText(digest), "00010a109fa0ff7e23456789abcdef5c");
}

TEST(DigestText, OfAbcIsTheRfcValue) {
    EXPECT_EQ(DigestText(kAbc), kAbcText);
}

struct DigestFileCase {
    const char* name;
    std::vector<uint8_t> file;
    bool matches;
};

void PrintTo(const DigestFileCase& row, std::ostream* os) {
    *os << row.name;
}

class DigestFileMatchesTest : public testing::TestWithParam<DigestFileCase> {};

TEST_P(DigestFileMatchesTest, ComparesTheFirstThirtyTwoBytesExactly) {
    EXPECT_EQ(DigestFileMatches(GetParam().file, kAbc), GetParam().matches);
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DigestFileMatchesTest,
    testing::Values(
        DigestFileCase{"DigestOnly", Bytes(kAbcText), true},
        DigestFileCase{"Md5sumLayout", Bytes(kAbcText + "  tracker.bin\n"), true},
        DigestFileCase{"AnythingAfterTheDigest", Bytes(kAbcText + std::string("XYZ\0garbage", 11)),
                       true},
        DigestFileCase{"UpperCase", Bytes(Upper(kAbcText)), false},
        DigestFileCase{"OneUpperCaseDigit", Bytes("900150983cd24fb0d6963f7d28e17F72"), false},
        DigestFileCase{"LeadingBlank", Bytes(" " + kAbcText), false},
        DigestFileCase{"ByteOrderMark", Bytes("\xEF\xBB\xBF" + kAbcText), false},
        DigestFileCase{"ThirtyOneDigits", Bytes(kAbcText.substr(0, 31)), false},
        DigestFileCase{"Empty", {}, false},
        DigestFileCase{"OtherDigest", Bytes("d41d8cd98f00b204e9800998ecf8427e"), false}),
    [](const testing::TestParamInfo<DigestFileCase>& row) { return std::string(row.param.name); });

// A short file is never compared with bytes it did not supply, even if the buffer it
// was read into happens to hold the rest of the digest.
TEST(DigestFileMatches, IgnoresBytesBeyondWhatWasRead) {
    std::vector<uint8_t> buffer = Bytes(kAbcText);
    EXPECT_FALSE(DigestFileMatches(std::span(buffer.data(), 31), kAbc));
    EXPECT_TRUE(DigestFileMatches(std::span(buffer.data(), 32), kAbc));
}

}  // namespace
}  // namespace quarnel
