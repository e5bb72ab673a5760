// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "params/param_convert.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "support/recording_ui.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::Narrow;

TEST(ReplyToText, EveryByteBecomesTheCharacterOfTheSameCode) {
    ParamState state;
    std::array<uint8_t, 100> reply{};
    for (int b = 1; b <= 0xFF; ++b) {
        reply[0] = static_cast<uint8_t>(b);
        reply[1] = 0;
        ReplyToText(state, reply);
        ASSERT_EQ(state.replyText, std::u16string(1, static_cast<char16_t>(b))) << b;
    }
}

TEST(ReplyToText, EndsAtTheFirstZero) {
    ParamState state;
    const std::array<uint8_t, 8> reply{'a', 'b', 0, 'c', 'd', 0, 0, 0};
    EXPECT_EQ(ReplyToText(state, reply), u"ab");
    EXPECT_EQ(state.replyText, u"ab");
}

TEST(ReplyToText, SixtyTwoBytesWithoutZeroEndAtTheClearedRestOfTheArea) {
    ParamState state;
    std::array<uint8_t, 100> reply{};
    std::fill_n(reply.begin(), 62, uint8_t{'x'});
    EXPECT_EQ(ReplyToText(state, reply), std::u16string(62, u'x'));
}

TEST(ReplyToText, AnAreaWithoutAnyZeroIsTakenWholeAndNoFurther) {
    ParamState state;
    std::array<uint8_t, 100> reply;
    reply.fill('y');
    EXPECT_EQ(ReplyToText(state, reply).size(), 100u);
}

struct SendCase {
    const char* name;
    std::u16string text;
    std::vector<uint8_t> bytes;
};

class TextToSendBufferTest : public ::testing::TestWithParam<SendCase> {};

TEST_P(TextToSendBufferTest, GivesTheBytesAndAZero) {
    const SendCase& c = GetParam();
    ParamState state;
    std::fill(std::begin(state.sendBuffer), std::end(state.sendBuffer), uint8_t{0xA5});
    const std::optional<size_t> n = TextToSendBuffer(state, c.text);
    ASSERT_TRUE(n.has_value());
    ASSERT_EQ(*n, c.bytes.size());
    EXPECT_EQ(std::vector<uint8_t>(state.sendBuffer, state.sendBuffer + *n), c.bytes);
    EXPECT_EQ(state.sendBuffer[*n], 0);
    EXPECT_EQ(DeviceTextLength(c.text), c.bytes.size());
    EXPECT_EQ(ToDeviceBytes(c.text), std::string(c.bytes.begin(), c.bytes.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToSendBufferTest,
    ::testing::Values(
        SendCase{"Ascii", u"internet", {'i', 'n', 't', 'e', 'r', 'n', 'e', 't'}},
        SendCase{"Empty", u"", {}},
        SendCase{"Latin1", u"caf\u00e9\u00ff\u0001", {'c', 'a', 'f', 0xE9, 0xFF, 0x01}},
        SendCase{"AboveU00FFSendsEmpty", u"caf\u00e9\u4e2d", {}},
        SendCase{"U0100AloneSendsEmpty", u"\u0100", {}},
        SendCase{"Exactly255", std::u16string(255, u'z'), std::vector<uint8_t>(255, 'z')}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(TextToSendBuffer, RefusesMoreThan255BytesAndLeavesTheBufferEmpty) {
    ParamState state;
    state.sendBuffer[0] = 'q';
    EXPECT_FALSE(TextToSendBuffer(state, std::u16string(256, u'z')).has_value());
    EXPECT_EQ(state.sendBuffer[0], 0);
}

TEST(ToDeviceBytes, IsNotBoundByTheSendBuffer) {
    EXPECT_EQ(ToDeviceBytes(std::u16string(600, u'7')), std::string(600, '7'));
}

struct AtoiCase {
    const char* name;
    std::u16string text;
    int32_t value;
};

class AtoiRuleTest : public ::testing::TestWithParam<AtoiCase> {};

TEST_P(AtoiRuleTest, FollowsStrtolBase10) {
    EXPECT_EQ(AtoiRule(GetParam().text), GetParam().value) << Narrow(GetParam().text);
}

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Cases, AtoiRuleTest,
    ::testing::Values(AtoiCase{"Digits", u"600", 600}, AtoiCase{"DigitsThenLetters", u"12ab3", 12},
                      AtoiCase{"Empty", u"", 0}, AtoiCase{"LeadingLetter", u"a12", 0},
                      AtoiCase{"LeadingSpaces", u"   42", 42},
                      AtoiCase{"LeadingTabsAndNewlines", u"\t\n\v\f\r 5", 5},
                      AtoiCase{"Minus", u"-7", -7}, AtoiCase{"Plus", u"+8", 8},
                      AtoiCase{"SignAlone", u"-", 0}, AtoiCase{"SpaceAfterSign", u"- 5", 0},
                      AtoiCase{"TwoSigns", u"+-5", 0}, AtoiCase{"LeadingZeros", u"007", 7},
                      AtoiCase{"HexIsNotRead", u"0x1A", 0}, AtoiCase{"TrailingSpace", u"9 9", 9},
                      AtoiCase{"WideDigitIsNotADigit", u"\uff11", 0},
                      AtoiCase{"NonBreakingSpaceIsNotWhiteSpace", u"\u00a05", 0},
                      AtoiCase{"CharacterAboveU00FFEndsTheNumber", u"12\u4e2d3", 12},
                      AtoiCase{"Max", u"2147483647", kMax}, AtoiCase{"Min", u"-2147483648", kMin},
                      AtoiCase{"OverflowUp", u"2147483648", kMax},
                      AtoiCase{"OverflowDown", u"-2147483649", kMin},
                      AtoiCase{"FarOverflowUp", u"99999999999999999999999", kMax},
                      AtoiCase{"FarOverflowDown", u"-99999999999999999999999", kMin},
                      AtoiCase{"LongerThanTheSendBuffer", std::u16string(300, u' ') + u"-12", -12},
                      AtoiCase{"HundredsOfDigits", u"1" + std::u16string(400, u'0'), kMax}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(DecimalText, PlainDecimalWithMinusForNegatives) {
    EXPECT_EQ(DecimalText(0), u"0");
    EXPECT_EQ(DecimalText(600), u"600");
    EXPECT_EQ(DecimalText(-5), u"-5");
    EXPECT_EQ(DecimalText(kMax), u"2147483647");
    EXPECT_EQ(DecimalText(kMin), u"-2147483648");
}

struct TransportReadCase {
    const char* name;
    uint32_t code;
    bool tcp, udp, reply;
};

class DecodeTransportTest : public ::testing::TestWithParam<TransportReadCase> {};

TEST_P(DecodeTransportTest, SetsTheThreeBoxes) {
    const TransportReadCase& c = GetParam();
    const TransportBoxes boxes = DecodeTransport(c.code);
    EXPECT_EQ(boxes.tcp, c.tcp);
    EXPECT_EQ(boxes.udp, c.udp);
    EXPECT_EQ(boxes.reply, c.reply);
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeTransportTest,
                         ::testing::Values(TransportReadCase{"Zero", 0x30, true, false, false},
                                           TransportReadCase{"One", 0x31, false, true, false},
                                           TransportReadCase{"Two", 0x32, false, true, false},
                                           TransportReadCase{"Three", 0x33, false, true, true},
                                           TransportReadCase{"AllZero", 0, false, true, false},
                                           TransportReadCase{"ThreeWithHighBytes", 0x01000033,
                                                             false, true, false},
                                           TransportReadCase{"Four", 0x34, false, true, false}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(EncodeTransport, ZeroPlusOneForUdpPlusTwoForReply) {
    EXPECT_EQ(EncodeTransport(false, false), '0');
    EXPECT_EQ(EncodeTransport(true, false), '1');
    EXPECT_EQ(EncodeTransport(false, true), '2');
    EXPECT_EQ(EncodeTransport(true, true), '3');
}

}  // namespace
}  // namespace quarnel
