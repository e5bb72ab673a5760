// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Reply matching on exact, hand-made reports and arrival times (virtual clock).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "device/hid_cmd.h"
#include "device/scripted_device.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::ReplyReport;
using test::ScriptedDevice;

constexpr uint64_t kMsPerWrap = uint64_t{1} << 32;

struct ScriptedRig {
    explicit ScriptedRig(uint64_t startMs = 0) : clock(startMs * 1000), device(clock) {}

    DeviceLink Link() { return DeviceLink{device, clock, areas}; }
    uint64_t ElapsedMs() const { return clock.NowUs() / 1000 - startMs(); }
    uint64_t startMs() const { return m_startMs; }

    sim::VirtualClock clock;
    ScriptedDevice device;
    CommandAreas areas;

private:
    uint64_t m_startMs = clock.NowUs() / 1000;
};

// The sequence number the first command of a fresh transaction object carries.
constexpr uint8_t kFirstSeq = 19;

std::vector<uint8_t> Bytes(size_t n, uint8_t from) {
    std::vector<uint8_t> out(n);
    for (size_t i = 0; i < n; ++i) {
        out[i] = static_cast<uint8_t>(from + i);
    }
    return out;
}

// ---- One crafted reply ----

struct CraftedCase {
    const char* name;
    std::vector<uint8_t> report;
    uint32_t claimed;  // length the read reports; 0: the report's size
    int result;        // of ReadReply
    uint32_t copied;   // bytes copied into the reply area
};

class CraftedReply : public ::testing::TestWithParam<CraftedCase> {};

TEST_P(CraftedReply, IsJudgedByItsSequenceAndCutToWhatWasRead) {
    const CraftedCase& c = GetParam();
    ScriptedRig rig;
    rig.device.Send(0, c.report, c.claimed);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    cmd.m_seq = kFirstSeq;

    std::array<uint8_t, kAreaSize + 16> dest;
    dest.fill(0xEE);
    uint32_t count = 0xDEAD;
    EXPECT_EQ(cmd.ReadReply(dest.data(), &count, 50), c.result);
    if (c.result == 1) {
        EXPECT_EQ(count, c.copied);
        EXPECT_EQ(0, std::memcmp(dest.data(), c.report.data() + 3, c.copied));
    } else {
        EXPECT_EQ(count, 0xDEADu) << "the count is only set for a matching reply";
    }
    for (size_t i = c.copied; i < dest.size(); ++i) {
        ASSERT_EQ(dest[i], 0xEE) << "byte " << i << " beyond the copied data was touched";
    }
}

INSTANTIATE_TEST_SUITE_P(
    ReadReply, CraftedReply,
    ::testing::Values(CraftedCase{"Matching", ReplyReport(kFirstSeq, 5, Bytes(5, 1)), 0, 1, 5},
                      CraftedCase{"Bit7OfTheSequenceByteIsIgnored",
                                  ReplyReport(kFirstSeq | 0x80, 4, Bytes(4, 1)), 0, 1, 4},
                      CraftedCase{"LengthZeroIsAcceptedAndCopiesNothing",
                                  ReplyReport(kFirstSeq, 0, Bytes(62, 1)), 0, 1, 0},
                      CraftedCase{"Length200CopiesTheSixtyTwoBytesOfAFullReport",
                                  ReplyReport(kFirstSeq, 200, Bytes(62, 1)), 0, 1, 62},
                      CraftedCase{"LengthBeyondAShortReportIsCutToIt",
                                  ReplyReport(kFirstSeq, 200, Bytes(7, 1), 10), 0, 1, 7},
                      CraftedCase{"ThreeBytesAreEnoughForAReplyWithoutData",
                                  ReplyReport(kFirstSeq, 5, {}, 3), 0, 1, 0},
                      CraftedCase{"ADeviceClaimingMoreThanSixtyFiveBytesIsHeldToTheReport",
                                  ReplyReport(kFirstSeq, 255, Bytes(62, 1)), 200, 1, 62},
                      CraftedCase{"TwoBytesAreDiscarded", ReplyReport(kFirstSeq, 0, {}, 2), 0, 0,
                                  0},
                      CraftedCase{"OneByteIsDiscarded", ReplyReport(kFirstSeq, 0, {}, 1), 0, 0, 0},
                      CraftedCase{"AnEmptyReportIsDiscarded", {}, 0, 0, 0},
                      CraftedCase{"AnotherSequenceIsDiscarded",
                                  ReplyReport(kFirstSeq + 1, 5, Bytes(5, 1)), 0, 0, 0},
                      CraftedCase{"TheSequenceBeforeIsDiscarded",
                                  ReplyReport(kFirstSeq - 1, 5, Bytes(5, 1)), 0, 0, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ReadReply, WithoutACountPointerStillCopies) {
    ScriptedRig rig;
    rig.device.Send(0, ReplyReport(kFirstSeq, 3, {7, 8, 9}));
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    cmd.m_seq = kFirstSeq;
    std::array<uint8_t, kAreaSize> dest{};
    EXPECT_EQ(cmd.ReadReply(dest.data(), nullptr, 50), 1);
    EXPECT_EQ(dest[0], 7);
    EXPECT_EQ(dest[2], 9);
}

// ---- How long a wait lasts under a stream of reports ----

struct StreamCase {
    const char* name;
    std::vector<std::pair<uint64_t, bool>> reports;  // arrival (ms), matching?
    int result;
    uint64_t endsAtMs;
};

class ReplyStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ReplyStream, EndsExactlyWhenTheElapsedTimeTestSays) {
    const StreamCase& c = GetParam();
    ScriptedRig rig;
    for (const auto& [atMs, matching] : c.reports) {
        rig.device.Send(atMs, ReplyReport(matching ? kFirstSeq : kFirstSeq + 5, 1, {0x42}));
    }
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    cmd.m_seq = kFirstSeq;
    std::array<uint8_t, kAreaSize> dest{};
    EXPECT_EQ(cmd.ReadReply(dest.data(), nullptr, 2000), c.result);
    EXPECT_EQ(rig.ElapsedMs(), c.endsAtMs);
}

std::vector<std::pair<uint64_t, bool>> EveryMs(uint64_t fromMs, uint64_t toMs) {
    std::vector<std::pair<uint64_t, bool>> out;
    for (uint64_t t = fromMs; t <= toMs; ++t) {
        out.emplace_back(t, false);
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    ReadReply, ReplyStream,
    ::testing::Values(
        StreamCase{"NothingAtAllEndsAtTheTimeOut", {}, 0, 2000},
        StreamCase{"AMatchingReplyEndsTheWaitAtOnce", {{700, true}}, 1, 700},
        StreamCase{"LateRepliesAreSkippedUntilTheMatchingOne",
                   {{0, false}, {0, false}, {300, false}, {450, true}},
                   1,
                   450},
        StreamCase{"AForeignReportAtTheTimeOutStartsAnotherFullWait", {{2000, false}}, 0, 4000},
        StreamCase{"SoAMatchingReplyJustBeforeTwiceTheTimeOutIsStillTaken",
                   {{2000, false}, {3999, true}},
                   1,
                   3999},
        StreamCase{"AForeignReportAfterTheTimeOutIsNeverWaitedFor", {{2001, false}}, 0, 2000},
        StreamCase{"AFloodEndsRightAfterTheTimeOut", EveryMs(0, 10000), 0, 2001},
        StreamCase{"AFloodEndsEvenWithAMatchingReplyBehindIt",
                   [] {
                       auto v = EveryMs(0, 3000);
                       v.emplace_back(3000, true);
                       return v;
                   }(),
                   0, 2001}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ReadReply, TheTickCountWrapDoesNotEndOrStretchTheWait) {
    for (const uint64_t before : {uint64_t{1}, uint64_t{700}, uint64_t{1999}, uint64_t{2000}}) {
        SCOPED_TRACE(before);
        // The tick count passes 2^32 ms `before` ms into the wait.
        ScriptedRig rig(kMsPerWrap - before);
        rig.device.Send(kMsPerWrap - before + 1500, ReplyReport(kFirstSeq + 1, 0));
        CHidCmd cmd(rig.Link());
        ASSERT_EQ(cmd.m_io.Open(), 1);
        cmd.m_seq = kFirstSeq;
        std::array<uint8_t, kAreaSize> dest{};
        EXPECT_EQ(cmd.ReadReply(dest.data(), nullptr, 2000), 0);
        // One foreign report at 1500 ms, then one more full wait.
        EXPECT_EQ(rig.ElapsedMs(), 3500u);
    }
}

TEST(ReadReply, TheCancelEventEndsTheWaitAndIsReset) {
    ScriptedRig rig;
    rig.device.Send(100, ReplyReport(kFirstSeq + 1, 0));
    rig.device.Send(1000, ReplyReport(kFirstSeq, 0));
    rig.device.CancelAt(500);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    cmd.m_seq = kFirstSeq;
    std::array<uint8_t, kAreaSize> dest{};
    EXPECT_EQ(cmd.ReadReply(dest.data(), nullptr, 60000), 0);
    EXPECT_EQ(rig.ElapsedMs(), 500u);
    EXPECT_FALSE(cmd.m_io.m_hCancelEvent.IsSet());
    // The reply that the cancelled wait did not take is the next read's.
    EXPECT_EQ(cmd.ReadReply(dest.data(), nullptr, 60000), 1);
    EXPECT_EQ(rig.ElapsedMs(), 1000u);
}

TEST(ReadReply, WithoutAReadHandleFailsAtOnce) {
    ScriptedRig rig;
    rig.device.Send(0, ReplyReport(kFirstSeq, 0));
    CHidCmd cmd(rig.Link());  // never opened
    cmd.m_seq = kFirstSeq;
    std::array<uint8_t, kAreaSize> dest{};
    EXPECT_EQ(cmd.ReadReply(dest.data(), nullptr, 2000), 0);
    EXPECT_EQ(rig.ElapsedMs(), 0u);
}

// ---- Bad input never overruns, crashes, or waits too long ----

TEST(ReadReply, RandomReportStreamsStayInsideTheBuffersAndTheBound) {
    std::mt19937 random(20140207);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        ScriptedRig rig(random() % 2 ? 0 : kMsPerWrap - random() % 5000);
        const uint32_t timeoutMs = 1 + random() % 3000;
        const int reports = static_cast<int>(random() % 40);
        uint64_t at = rig.clock.NowUs() / 1000;
        for (int i = 0; i < reports; ++i) {
            at += random() % (timeoutMs + 10);
            std::vector<uint8_t> bytes(random() % (kReportSize + 1));
            for (auto& b : bytes) {
                b = static_cast<uint8_t>(random());
            }
            // Mostly foreign sequence numbers, now and then ours.
            if (bytes.size() > 1 && random() % 8 != 0 && (bytes[1] & 0x7F) == kFirstSeq) {
                bytes[1] ^= 1;
            }
            const uint32_t claimed = random() % 6 == 0 ? random() % 300 : 0;
            rig.device.Send(at, std::move(bytes), claimed);
        }
        CHidCmd cmd(rig.Link());
        ASSERT_EQ(cmd.m_io.Open(), 1);
        cmd.m_seq = kFirstSeq;

        std::array<uint8_t, kAreaSize + 32> dest;
        dest.fill(0xA5);
        uint32_t count = 0;
        const int result = cmd.ReadReply(dest.data(), &count, timeoutMs);
        ASSERT_LE(rig.ElapsedMs(), 2 * uint64_t{timeoutMs}) << "waited beyond twice the time-out";
        const uint32_t copied = result == 1 ? count : 0;
        ASSERT_LE(copied, kReportSize - 3);
        for (size_t i = copied; i < dest.size(); ++i) {
            ASSERT_EQ(dest[i], 0xA5) << "byte " << i;
        }
    }
}

}  // namespace
}  // namespace quarnel
