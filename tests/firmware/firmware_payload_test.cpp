// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>

#include "firmware/firmware_messages.h"
#include "firmware/firmware_transfer.h"

namespace quarnel {
namespace {

using Payload = std::array<uint8_t, kAreaSize>;

// Every byte distinct from what a command would write, so any byte it should leave alone
// shows if it is touched.
Payload Pattern() {
    Payload p;
    for (size_t i = 0; i < p.size(); ++i) {
        p[i] = static_cast<uint8_t>(0xA0 + i);
    }
    return p;
}

ImageArea NumberedArea() {
    ImageArea area(kImageAreaSize);
    for (size_t i = 0; i < area.size(); ++i) {
        area[i] = static_cast<uint8_t>(i * 7 + i / 256);
    }
    return area;
}

TEST(FirmwarePayload, StartSetsOnlyItsHeader) {
    Payload p = Pattern();
    PutFirmwareStart(p.data());
    Payload expected = Pattern();
    expected[0] = 2;
    expected[1] = 3;
    expected[2] = 5;
    expected[3] = 0;
    EXPECT_EQ(p, expected);
}

struct BlockCase {
    uint32_t block;
    uint8_t part;
};

void PrintTo(const BlockCase& c, std::ostream* os) {
    *os << "block " << c.block << " in part " << int{c.part};
}

class FirmwareBlockPayload : public testing::TestWithParam<BlockCase> {};

TEST_P(FirmwareBlockPayload, CarriesPartIndexAndTheBlocksBytesOnly) {
    const ImageArea area = NumberedArea();
    const uint32_t b = GetParam().block;
    Payload p = Pattern();
    PutFirmwareBlock(p.data(), area, b);

    Payload expected = Pattern();
    expected[0] = 2;
    expected[1] = 3;
    expected[2] = 6;
    expected[3] = GetParam().part;
    expected[4] = static_cast<uint8_t>(b);
    expected[5] = static_cast<uint8_t>(b >> 8);
    expected[6] = 0;
    expected[7] = 0;
    for (size_t i = 0; i < 32; ++i) {
        expected[8 + i] = area[32 * b + i];
    }
    EXPECT_EQ(p, expected);
}

INSTANTIATE_TEST_SUITE_P(Blocks, FirmwareBlockPayload,
                         testing::Values(BlockCase{0, 0}, BlockCase{7, 7}, BlockCase{8, 0},
                                         BlockCase{9, 1}, BlockCase{258, 2}, BlockCase{3967, 7}),
                         [](const testing::TestParamInfo<BlockCase>& c) {
                             return "Block" + std::to_string(c.param.block);
                         });

TEST(FirmwarePayload, EndCarriesTheDigestInOrderAndLeavesTheRest) {
    Md5Digest digest;
    for (size_t i = 0; i < digest.size(); ++i) {
        digest[i] = static_cast<uint8_t>(0x10 + i);
    }
    Payload p = Pattern();
    PutFirmwareEnd(p.data(), digest);

    Payload expected = Pattern();
    expected[0] = 2;
    expected[1] = 3;
    expected[2] = 7;
    expected[3] = 0;
    for (size_t i = 0; i < 16; ++i) {
        expected[4 + i] = digest[i];
    }
    EXPECT_EQ(p, expected);
}

struct ProgressCase {
    uint32_t block;
    int percent;
};

void PrintTo(const ProgressCase& c, std::ostream* os) {
    *os << "block " << c.block << " gives " << c.percent << " %";
}

class FirmwareProgress : public testing::TestWithParam<ProgressCase> {};

TEST_P(FirmwareProgress, IsTheShareSentRoundedDown) {
    EXPECT_EQ(ProgressAfterBlock(GetParam().block), GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Blocks, FirmwareProgress,
                         testing::Values(ProgressCase{0, 0}, ProgressCase{38, 0},
                                         ProgressCase{39, 1}, ProgressCase{1982, 49},
                                         ProgressCase{1983, 50}, ProgressCase{3966, 99},
                                         ProgressCase{3967, 100}),
                         [](const testing::TestParamInfo<ProgressCase>& c) {
                             return "Block" + std::to_string(c.param.block);
                         });

TEST(FirmwareProgress, NeverFallsAndEndsAtOneHundred) {
    int previous = 0;
    for (uint32_t b = 0; b < kFirmwareBlockCount; ++b) {
        const int now = ProgressAfterBlock(b);
        ASSERT_GE(now, previous) << "block " << b;
        ASSERT_LE(now, 100);
        previous = now;
    }
    EXPECT_EQ(previous, 100);
}

TEST(FirmwareTransferFailed, NamesTheUnansweredCommand) {
    EXPECT_EQ(msg::FirmwareTransferFailed({UnansweredCommand::Start}),
              u"FIRMWARE UPDATE FAILED: the tracker did not answer the start of the update.");
    EXPECT_EQ(msg::FirmwareTransferFailed({UnansweredCommand::Block, 0}),
              u"FIRMWARE UPDATE FAILED: the tracker did not answer block 1 of 3968.");
    EXPECT_EQ(msg::FirmwareTransferFailed({UnansweredCommand::Block, 1234}),
              u"FIRMWARE UPDATE FAILED: the tracker did not answer block 1235 of 3968.");
    EXPECT_EQ(msg::FirmwareTransferFailed({UnansweredCommand::End}),
              u"FIRMWARE UPDATE FAILED: the tracker did not answer the end of the update.");
}

}  // namespace
}  // namespace quarnel
