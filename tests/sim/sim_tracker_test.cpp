// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/sim_tracker.h"

#include <gtest/gtest.h>

#include "firmware/md5.h"
#include "sim/command_builder.h"
#include "sim/sim_items.h"
#include "support/row_name.h"

namespace quarnel::sim {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::CommandReport;
using test::ReplyData;

std::vector<uint8_t> Only(const SimTracker::Outcome& outcome) {
    EXPECT_TRUE(outcome.accepted);
    EXPECT_EQ(outcome.reports.size(), 1u);
    return outcome.reports.empty() ? std::vector<uint8_t>{} : outcome.reports.back().report;
}

std::vector<uint8_t> Send(SimTracker& t, const std::vector<uint8_t>& command) {
    return Only(t.Take(command.data(), command.size(), 0));
}

TEST(SimTracker, EveryReplyCarriesTheCommandsSequenceNumber) {
    SimTracker t;
    for (uint8_t seq : {19, 127, 0}) {
        const auto reply = Send(t, CommandReport(seq, OP_GET, 8, 0, 1));
        ASSERT_EQ(reply.size(), kReportSize);
        EXPECT_EQ(reply[1], seq);
    }
}

TEST(SimTracker, TextItemsAnswerTheirCharactersAndAZero) {
    SimTracker t;
    const auto reply = Send(t, CommandReport(19, OP_GET, 8, 1, 0));
    EXPECT_EQ(ReplyData(reply), (std::vector<uint8_t>{'i', 'n', 't', 'e', 'r', 'n', 'e', 't', 0}));
}

// Texts set by SMS or the web may be longer than a host can write: the reply carries up to
// 62 bytes, and a text that fills all of them comes without its zero.
TEST(SimTracker, LongStoredTextsFillOneReply) {
    for (const size_t length : {kMaxStoredText - 1, kMaxStoredText}) {
        SimState state = FactoryState();
        const std::vector<uint8_t> text(length, 'x');
        state.items[{1, 3}] = text;
        state.phoneLists[0][0] = std::string(length, '7');
        SimTracker t(state);

        std::vector<uint8_t> withZero = text;
        withZero.push_back(0);
        withZero.resize(std::min(withZero.size(), kMaxStoredText));
        EXPECT_EQ(ReplyData(Send(t, CommandReport(19, OP_GET, 8, 1, 3))), withZero) << length;
        const auto entry = ReplyData(Send(t, CommandReport(20, OP_GET, 12, 2, 2, {0, 0, 0, 0})));
        EXPECT_EQ(entry.size(), kMaxStoredText) << length;
        EXPECT_EQ(entry.front(), '7') << length;
        EXPECT_TRUE(t.ProtocolNotes().empty());
    }
}

TEST(SimTracker, StoresAWrittenTextAndAnswersItBack) {
    SimTracker t;
    Send(t, CommandReport(19, OP_SET, 8 + 3, 1, 3, {'a', 'b', 'c', 0}));
    EXPECT_EQ(ReplyData(Send(t, CommandReport(20, OP_GET, 8, 1, 3))),
              (std::vector<uint8_t>{'a', 'b', 'c', 0}));
    EXPECT_TRUE(t.ProtocolNotes().empty());
}

TEST(SimTracker, NotesATextWriteWhoseLenDisagreesWithTheText) {
    SimTracker t;
    Send(t, CommandReport(19, OP_SET, 8 + 2, 1, 3, {'a', 'b', 'c', 0}));
    EXPECT_EQ(t.ProtocolNotes().size(), 1u);
}

TEST(SimTracker, TransportCodeIsStoredAsFourBytes) {
    SimTracker t;
    Send(t, CommandReport(19, OP_SET, 9, 1, 7, {'3', 0, 0, 0}));
    EXPECT_EQ(ReplyData(Send(t, CommandReport(20, OP_GET, 8, 1, 7))),
              (std::vector<uint8_t>{0x33, 0, 0, 0}));
    EXPECT_TRUE(t.ProtocolNotes().empty());
}

TEST(SimTracker, PhoneListEntriesAreWrittenAndClearedOneByOne) {
    SimTracker t;
    Send(t, CommandReport(19, OP_SET, 12 + 3, 2, 3, {1, 0, 0, 0, '1', '2', '3'}));
    EXPECT_EQ(t.State().phoneLists[1][1], "123");
    EXPECT_EQ(ReplyData(Send(t, CommandReport(20, OP_GET, 12, 2, 3, {1, 0, 0, 0}))),
              (std::vector<uint8_t>{'1', '2', '3', 0}));
    Send(t, CommandReport(21, OP_SET, 13, 2, 3, {1, 0, 0, 0, 0}));
    EXPECT_EQ(t.State().phoneLists[1][1], "");
    EXPECT_TRUE(t.ProtocolNotes().empty());
}

TEST(SimTracker, ClosingWriteAndFactoryDefaultAreCommands) {
    SimTracker t(DemoState());
    Send(t, CommandReport(19, OP_SET, 8, 0, 0));
    EXPECT_EQ(t.ClosingWrites(), 1u);
    EXPECT_NE(t.State().items, FactoryState().items);
    Send(t, CommandReport(20, OP_SET, 8, 0, 14));
    EXPECT_EQ(t.FactoryResets(), 1u);
    EXPECT_EQ(t.State().items, FactoryState().items);
    EXPECT_EQ(t.State().phoneLists, FactoryState().phoneLists);
    EXPECT_EQ(t.State().log.size(), DemoState().log.size()) << "the log is not configuration";
}

TEST(SimTracker, FactoryDefaultKeepsTheImeiAndFirmwareVersion) {
    SimState s = DemoState();
    s.items[{0, 0}] = {'3', '5', '1', '2'};
    s.items[{0, 8}] = {'V', '2'};
    SimTracker t(s);
    Send(t, CommandReport(19, OP_SET, 8, 0, 14));
    EXPECT_EQ((t.State().items[{0, 0}]), (std::vector<uint8_t>{'3', '5', '1', '2'}));
    EXPECT_EQ((t.State().items[{0, 8}]), (std::vector<uint8_t>{'V', '2'}));
    EXPECT_EQ((t.State().items[{1, 0}]), (FactoryState().items.at({1, 0})));
}

TEST(SimTracker, LogCountThenRecordsInOrderThenErasedMemory) {
    SimState s = FactoryState();
    LogFix fix;
    fix.tag = 7;
    s.log = {EncodeLogRecord(fix), EncodeLogRecord(fix)};
    s.log[1][0] = 8;
    SimTracker t(s);
    EXPECT_EQ(
        ReplyData(Send(t, CommandReport(19, OP_SET, 12, 3, 0x30303030, {'0', '0', '0', '0'}))),
        (std::vector<uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(ReplyData(Send(t, CommandReport(20, OP_GET, 3, 3, 0x30303030)))[0], 7);
    EXPECT_EQ(ReplyData(Send(t, CommandReport(21, OP_GET, 3, 3, 0x30303030)))[0], 8);
    EXPECT_EQ(ReplyData(Send(t, CommandReport(22, OP_GET, 3, 3, 0x30303030))),
              std::vector<uint8_t>(32, 0xFF));
    // A new count starts the log from its first record again.
    Send(t, CommandReport(23, OP_SET, 12, 3, 0x30303030));
    EXPECT_EQ(ReplyData(Send(t, CommandReport(24, OP_GET, 3, 3, 0x30303030)))[0], 7);
}

TEST(SimTracker, LogCountIsMinusOneWhileNotReady) {
    SimState s = FactoryState();
    s.faults.logNotReadyCount = 2;
    SimTracker t(s);
    const std::vector<uint8_t> minusOne{0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReplyData(Send(t, CommandReport(19, OP_SET, 12, 3, 0))), minusOne);
    EXPECT_EQ(ReplyData(Send(t, CommandReport(20, OP_SET, 12, 3, 0))), minusOne);
    EXPECT_EQ(ReplyData(Send(t, CommandReport(21, OP_SET, 12, 3, 0))),
              (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(SimTracker, EraseEmptiesTheLogAndTheWaitAnswersWhenDone) {
    SimState s = DemoState();
    s.eraseDurationMs = 1500;
    SimTracker t(s);
    auto erase = CommandReport(19, OP_SET, 3, 4, 0);
    EXPECT_EQ(t.Take(erase.data(), erase.size(), 1'000'000).reports.at(0).delayMs, 0u);
    EXPECT_TRUE(t.State().log.empty());
    auto wait = CommandReport(20, OP_GET, 3, 4, 0);
    EXPECT_EQ(t.Take(wait.data(), wait.size(), 1'200'000).reports.at(0).delayMs, 1300u);
}

struct FirmwareCase {
    const char* name;
    bool skipLastBlock;
    bool corruptDigest;
    FirmwareStatus::Result expected;
};

class SimTrackerFirmware : public testing::TestWithParam<FirmwareCase> {};

TEST_P(SimTrackerFirmware, ChecksTheImageAgainstTheAreaDigest) {
    const FirmwareCase& c = GetParam();
    SimTracker t;
    std::vector<uint8_t> area(kFirmwareAreaSize);
    for (size_t i = 0; i < area.size(); ++i) {
        area[i] = static_cast<uint8_t>(i * 7);
    }
    uint8_t seq = 19;
    Send(t, CommandReport(seq++, OP_SET, 3, 5, 0));
    for (uint32_t b = 0; b < kFirmwareBlocks; ++b) {
        if (c.skipLastBlock && b == kFirmwareBlocks - 1) {
            continue;
        }
        auto block = CommandReport(seq, OP_SET, 3, 6, b, {}, static_cast<uint8_t>(b % 8));
        std::copy_n(area.begin() + 32 * b, 32, block.begin() + 3 + 8);
        Send(t, block);
        seq = static_cast<uint8_t>((seq + 1) & 0x7F);
    }
    Md5Digest digest = Md5::Of(area.data(), area.size());
    if (c.corruptDigest) {
        digest[15] ^= 1;
    }
    auto end = CommandReport(seq, OP_SET, 3, 7, 0);
    std::copy(digest.begin(), digest.end(), end.begin() + 3 + 4);
    Send(t, end);
    EXPECT_EQ(t.Firmware().result, c.expected);
    EXPECT_TRUE(t.ProtocolNotes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Images, SimTrackerFirmware,
    testing::Values(FirmwareCase{"GoodImage", false, false, FirmwareStatus::Accepted},
                    FirmwareCase{"WrongDigest", false, true, FirmwareStatus::DigestMismatch},
                    FirmwareCase{"MissingBlock", true, false, FirmwareStatus::Incomplete}),
    [](const auto& row) { return row.param.name; });

TEST(SimTracker, NotesABlockSentInTheWrongPart) {
    SimTracker t;
    Send(t, CommandReport(19, OP_SET, 3, 5, 0));
    Send(t, CommandReport(20, OP_SET, 3, 6, 9, {}, 0));
    ASSERT_EQ(t.ProtocolNotes().size(), 1u);
}

// Faults select commands by group and op, from the n-th matching one, for a count.
TEST(SimTrackerFaults, RuleSelectsTheNthMatchingCommandsOnly) {
    SimTracker t;
    SimFaults f;
    f.rules.push_back({FaultKind::NoReply, 1, OP_GET, 2, 2});
    t.SetFaults(f);
    auto taken = [&](uint8_t group) {
        auto c = CommandReport(19, OP_GET, 8, group, 0);
        return t.Take(c.data(), c.size(), 0).reports.size();
    };
    EXPECT_EQ(taken(1), 1u);
    EXPECT_EQ(taken(0), 1u) << "other groups do not count";
    EXPECT_EQ(taken(1), 0u);
    EXPECT_EQ(taken(1), 0u);
    EXPECT_EQ(taken(1), 1u);
}

TEST(SimTrackerFaults, EachKindShapesTheReply) {
    SimTracker t;
    auto take = [&](FaultRule rule) {
        SimFaults f;
        f.rules.push_back(rule);
        t.SetFaults(f);
        auto c = CommandReport(40, OP_GET, 8, 0, 1);
        return t.Take(c.data(), c.size(), 0);
    };
    // Prime the reply history with two replies.
    take({FaultKind::LateReply, 9, 9});
    take({FaultKind::LateReply, 9, 9});

    auto late = take({FaultKind::LateReply, -1, -1, 1, 1, 2500});
    ASSERT_EQ(late.reports.size(), 1u);
    EXPECT_EQ(late.reports[0].delayMs, 2500u);

    auto stale = take({FaultKind::StaleReplies, -1, -1, 1, 1, 0, 2});
    ASSERT_EQ(stale.reports.size(), 3u);
    EXPECT_EQ(stale.reports[0].report[1], 40);  // earlier replies carry their own numbers

    auto wrong = take({FaultKind::WrongSequence});
    ASSERT_EQ(wrong.reports.size(), 1u);
    EXPECT_EQ(wrong.reports[0].report[1], 41);

    auto shortReport = take({FaultKind::ShortReport, -1, -1, 1, 1, 0, 1, 2});
    ASSERT_EQ(shortReport.reports.size(), 1u);
    EXPECT_EQ(shortReport.reports[0].report.size(), 2u);

    auto garbage = take({FaultKind::Garbage, -1, -1, 1, 1, 0, 5});
    ASSERT_EQ(garbage.reports.size(), 6u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_NE(garbage.reports[i].report[1] & 0x7F, 40);
    }

    auto refused = take({FaultKind::WriteNotAccepted});
    EXPECT_FALSE(refused.accepted);
}

TEST(SimTrackerFaults, UnpluggedAfterTheNthCommandIsAnswered) {
    SimState s = FactoryState();
    s.faults.unplugAfter = 2;
    SimTracker t(s);
    auto c = CommandReport(19, OP_GET, 8, 0, 1);
    EXPECT_FALSE(t.Take(c.data(), c.size(), 0).unplugged);
    auto second = t.Take(c.data(), c.size(), 0);
    EXPECT_TRUE(second.unplugged);
    EXPECT_EQ(second.reports.size(), 1u);
}

TEST(SimTracker, TranscriptRecordsBothDirectionsAndFeedsTheSink) {
    SimTracker t;
    std::vector<std::string> lines;
    t.SetTranscriptSink([&](const TranscriptEntry& e) { lines.push_back(TranscriptLine(e)); });
    auto c = CommandReport(19, OP_GET, 8, 0, 6);
    t.Take(c.data(), c.size(), 5000);
    const auto transcript = t.Transcript();
    ASSERT_EQ(transcript.size(), 2u);
    EXPECT_EQ(transcript[0].direction, '>');
    EXPECT_EQ(transcript[1].direction, '<');
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 16), "> 00133e01080000");
    EXPECT_EQ(lines[0].size(), 2 + 2 * kReportSize);
    EXPECT_EQ(lines[1].substr(0, 12), "< 0013023300");  // "3" and its zero
}

}  // namespace
}  // namespace quarnel::sim
