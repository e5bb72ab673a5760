// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding the tracker, its handles, and whole transactions on the simulated tracker.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "device/hid_cmd.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"
#include "support/item_read.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using sim::FaultKind;
using sim::FaultRule;
using sim::SimFaults;
using sim::SimTracker;

constexpr uint64_t kMsPerWrap = uint64_t{1} << 32;

struct Rig {
    explicit Rig(uint64_t startMs = 0) : clock(startMs * 1000), backend(&clock, false) {}

    DeviceLink Link() { return DeviceLink{backend, clock, areas}; }
    uint64_t NowMs() const { return clock.NowUs() / 1000; }

    sim::VirtualClock clock;
    sim::SimBackend backend;
    CommandAreas areas;
};

void Fault(SimTracker& tracker, FaultRule rule) {
    SimFaults faults;
    faults.rules.push_back(rule);
    tracker.SetFaults(faults);
}

using test::PutItemRead;

// ---- Finding the tracker ----

TEST(CHidIOOpen, TheFirstEnumeratedOfTwoTrackersIsUsed) {
    Rig rig;
    SimTracker first, second;
    rig.backend.AddTracker(first, "sim/a");
    rig.backend.AddTracker(second, "sim/b");
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 1);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(first.CommandsTaken(), 1u);
    EXPECT_EQ(second.CommandsTaken(), 0u);
}

struct ForeignCase {
    const char* name;
    uint16_t vendorId;
    uint16_t productId;
};

class CHidIOPassesOver : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(CHidIOPassesOver, ADeviceWithOtherIdsBeforeTheTracker) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddForeignDevice("sim/foreign", GetParam().vendorId, GetParam().productId);
    rig.backend.AddTracker(tracker, "sim/tracker");
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 1);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(tracker.CommandsTaken(), 1u);
}

TEST_P(CHidIOPassesOver, AndFindsNothingWhenItIsAlone) {
    Rig rig;
    rig.backend.AddForeignDevice("sim/foreign", GetParam().vendorId, GetParam().productId);
    CHidCmd cmd(rig.Link());
    EXPECT_EQ(cmd.m_io.Open(), 0);
    EXPECT_EQ(cmd.m_io.m_hRead, nullptr);
    EXPECT_EQ(cmd.m_io.m_hWrite, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Ids, CHidIOPassesOver,
                         ::testing::Values(ForeignCase{"SameVendorOtherProduct", 0x051A, 0x5120},
                                           ForeignCase{"OtherVendorSameProduct", 0x1234, 0x511B},
                                           ForeignCase{"ProductAndVendorSwapped", 0x511B, 0x051A},
                                           ForeignCase{"Zero", 0, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CHidIOOpen, ATrackerThatCannotEvenBeProbedIsPassedOver) {
    Rig rig;
    SimTracker unreachable, reachable;
    rig.backend.AddTracker(unreachable, "sim/a");
    rig.backend.AddTracker(reachable, "sim/b");
    rig.backend.FailOpen("sim/a", HidAccess::None);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 1);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(unreachable.CommandsTaken(), 0u);
    EXPECT_EQ(reachable.CommandsTaken(), 1u);
}

TEST(CHidIOOpen, ATrackerThatCannotBeProbedAloneIsNotFound) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker, "sim/a");
    rig.backend.FailOpen("sim/a", HidAccess::None);
    CHidCmd cmd(rig.Link());
    EXPECT_EQ(cmd.m_io.Open(), 0);
}

struct FailedOpenCase {
    const char* name;
    bool readFails;
    bool writeFails;
};

class CHidIOFoundButNotOpened : public ::testing::TestWithParam<FailedOpenCase> {};

TEST_P(CHidIOFoundButNotOpened, StillCountsAsFoundAndFailsItsTransfersAtOnce) {
    const FailedOpenCase& c = GetParam();
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker, "sim/a");
    if (c.readFails) {
        rig.backend.FailOpen("sim/a", HidAccess::Read);
    }
    if (c.writeFails) {
        rig.backend.FailOpen("sim/a", HidAccess::Write);
    }
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    EXPECT_EQ(cmd.m_io.m_hRead == nullptr, c.readFails);
    EXPECT_EQ(cmd.m_io.m_hWrite == nullptr, c.writeFails);

    // A non-clearing caller keeps what the reply area held.
    rig.areas.reply.fill(0x5A);
    PutItemRead(rig.areas, 1);
    EXPECT_FALSE(Transact(cmd, kWritePolicy));
    // Nothing waits on a handle that is not open; a read handle that is open waits for a
    // reply that cannot come, since the command never went out.
    EXPECT_EQ(rig.NowMs(), c.readFails ? 0u : kWritePolicy.timeoutMs);
    for (uint8_t b : rig.areas.reply) {
        ASSERT_EQ(b, 0x5A);
    }
    EXPECT_EQ(tracker.CommandsTaken(), c.writeFails ? 0u : 1u);
    uint32_t count = 99;
    uint8_t report[kReportSize] = {};
    EXPECT_EQ(cmd.m_io.WriteReport(report, &count), c.writeFails ? 0 : 1);
    EXPECT_EQ(count, c.writeFails ? 0u : kReportSize);
}

INSTANTIATE_TEST_SUITE_P(Handles, CHidIOFoundButNotOpened,
                         ::testing::Values(FailedOpenCase{"ReadHandle", true, false},
                                           FailedOpenCase{"WriteHandle", false, true},
                                           FailedOpenCase{"BothHandles", true, true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CHidIOOpen, WithNoTrackerReturnsZeroAndLeavesBothHandlesInvalid) {
    Rig rig;
    CHidCmd cmd(rig.Link());
    EXPECT_EQ(cmd.m_io.Open(), 0);
    EXPECT_EQ(cmd.m_io.m_hRead, nullptr);
    EXPECT_EQ(cmd.m_io.m_hWrite, nullptr);
    EXPECT_EQ(cmd.m_io.m_bDualHandle, 1);
    cmd.m_io.Close();
    cmd.m_io.Close();
    uint32_t count = 7;
    uint8_t report[kReportSize] = {};
    EXPECT_EQ(cmd.m_io.WriteReport(report, &count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(rig.NowMs(), 0u);
}

TEST(CHidIOClose, ClosesBothHandlesAndIsHarmlessAgain) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    ASSERT_NE(cmd.m_io.m_hRead, nullptr);
    ASSERT_NE(cmd.m_io.m_hWrite, nullptr);
    cmd.m_io.Close();
    EXPECT_EQ(cmd.m_io.m_hRead, nullptr);
    EXPECT_EQ(cmd.m_io.m_hWrite, nullptr);
    cmd.m_io.Close();
    EXPECT_EQ(cmd.m_io.m_hRead, nullptr);
}

TEST(CHidIOOpen, ASecondOpenStartsFromInvalidHandles) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker, "sim/a");
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    rig.backend.Unplug("sim/a");
    EXPECT_EQ(cmd.m_io.Open(), 0);
    EXPECT_EQ(cmd.m_io.m_hRead, nullptr);
    EXPECT_EQ(cmd.m_io.m_hWrite, nullptr);
}

// ---- Writing ----

TEST(WriteReport, TakesTheWholeReportAndCountsIt) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    uint8_t report[kReportSize] = {0, 19, 62, OP_GET, 8};
    uint32_t count = 0;
    EXPECT_EQ(cmd.m_io.WriteReport(report, &count), 1);
    EXPECT_EQ(count, kReportSize);
    EXPECT_EQ(cmd.m_io.WriteReport(report, nullptr), 1);
}

TEST(WriteReport, ANotAcceptedWriteIsGivenUpAfterExactly2000Ms) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    Fault(tracker, {.kind = FaultKind::WriteNotAccepted});
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    uint8_t report[kReportSize] = {0, 19, 62};
    uint32_t count = 1234;
    EXPECT_EQ(cmd.m_io.WriteReport(report, &count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(rig.NowMs(), 2000u);
    EXPECT_FALSE(cmd.m_io.m_hCancelEvent.IsSet());
}

TEST(WriteReport, ASetCancelEventFailsTheWriteAndIsReset) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    Fault(tracker, {.kind = FaultKind::WriteNotAccepted});
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    cmd.m_io.m_hCancelEvent.Set();
    uint8_t report[kReportSize] = {};
    uint32_t count = 5;
    EXPECT_EQ(cmd.m_io.WriteReport(report, &count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(cmd.m_io.m_hCancelEvent.IsSet());
}

// ---- Whole transactions ----

TEST(Transact, FramesThePayloadAreaIntoTheCommandReport) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    for (size_t i = 0; i < kAreaSize; ++i) {
        rig.areas.payload[i] = static_cast<uint8_t>(0x80 + i);  // stale bytes travel too
    }
    PutItemRead(rig.areas, 1);
    Transact(cmd, kReadPolicy);
    const auto transcript = tracker.Transcript();
    ASSERT_GE(transcript.size(), 1u);
    const std::vector<uint8_t>& sent = transcript[0].bytes;
    ASSERT_EQ(sent.size(), kReportSize);
    EXPECT_EQ(sent[0], 0);
    EXPECT_EQ(sent[1], 19);
    EXPECT_EQ(sent[2], 62);
    EXPECT_TRUE(std::equal(sent.begin() + 3, sent.end(), rig.areas.payload.begin()));
}

struct SilentCase {
    const char* name;
    ReplyPolicy policy;
};

class SilentTracker : public ::testing::TestWithParam<SilentCase> {};

TEST_P(SilentTracker, CostsExactlyTheReplyTimeOutAndLeavesTheReplyAreaAsThePolicySays) {
    const ReplyPolicy policy = GetParam().policy;
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 8);  // the firmware version: a text that fills the first bytes
    ASSERT_TRUE(Transact(cmd, policy));
    const auto previous = rig.areas.reply;
    ASSERT_NE(previous[0], 0);

    Fault(tracker, {.kind = FaultKind::NoReply});
    const uint64_t before = rig.NowMs();
    EXPECT_FALSE(Transact(cmd, policy));
    EXPECT_EQ(rig.NowMs() - before, policy.timeoutMs);
    if (policy.clearReply) {
        for (uint8_t b : rig.areas.reply) {
            ASSERT_EQ(b, 0);
        }
    } else {
        EXPECT_EQ(rig.areas.reply, previous);
    }
}

INSTANTIATE_TEST_SUITE_P(Policies, SilentTracker,
                         ::testing::Values(SilentCase{"Read", kReadPolicy},
                                           SilentCase{"Write", kWritePolicy},
                                           SilentCase{"Erase", kErasePolicy}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Transact, AWriteThatIsNotTakenCostsTheWriteWaitAndThenTheReplyTimeOut) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    Fault(tracker, {.kind = FaultKind::WriteNotAccepted});
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 1);
    EXPECT_FALSE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(rig.NowMs(), 4000u);
}

TEST(Transact, ABurstOfGarbageAndAWrongSequenceNumberEndsAfterOneFullWait) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    // Every command is answered by a burst of garbage and a reply with the wrong number.
    SimFaults faults;
    faults.rules.push_back({.kind = FaultKind::Garbage, .reports = 60});
    faults.rules.push_back({.kind = FaultKind::WrongSequence});
    tracker.SetFaults(faults);
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 1);
    EXPECT_FALSE(Transact(cmd, kReadPolicy));
    // All of them arrive at once, so the elapsed-time test passes after each and one full
    // wait follows.
    EXPECT_EQ(rig.NowMs(), 2000u);
}

TEST(Transact, ShortReportsAreDiscardedAndTheWaitGoesOn) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    for (uint32_t length : {0u, 1u, 2u}) {
        SCOPED_TRACE(length);
        Fault(tracker, {.kind = FaultKind::ShortReport, .length = length});
        CHidCmd cmd(rig.Link());
        ASSERT_EQ(cmd.m_io.Open(), 1);
        PutItemRead(rig.areas, 1);
        const uint64_t before = rig.NowMs();
        EXPECT_FALSE(Transact(cmd, kReadPolicy));
        EXPECT_EQ(rig.NowMs() - before, 2000u);
    }
}

TEST(Transact, AReplyCutToThreeBytesIsAcceptedWithoutData) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    Fault(tracker, {.kind = FaultKind::ShortReport, .length = 3});
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 8);
    rig.areas.reply.fill(0x33);
    EXPECT_TRUE(Transact(cmd, kWritePolicy));
    EXPECT_EQ(rig.areas.reply[0], 0x33);
}

TEST(Transact, ALateReplyIsSkippedByTheNextCommand) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    Fault(tracker, {.kind = FaultKind::LateReply, .count = 1, .delayMs = 2500});
    CHidCmd cmd(rig.Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(rig.areas, 8);
    EXPECT_FALSE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(rig.NowMs(), 2000u);
    // The late reply (sequence 19) arrives at 2500 ms, during the wait for sequence 20,
    // whose own reply came first; then 21 must skip it.
    PutItemRead(rig.areas, 1);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    const auto item1 = tracker.State().items.at({0, 1});
    EXPECT_TRUE(std::equal(item1.begin(), item1.end(), rig.areas.reply.begin()));
    PutItemRead(rig.areas, 8);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    const auto item8 = tracker.State().items.at({0, 8});
    EXPECT_TRUE(std::equal(item8.begin(), item8.end(), rig.areas.reply.begin()));
}

TEST(Transact, TheTickCountWrapDoesNotEndTheWaitEarly) {
    for (const uint64_t before : {uint64_t{1}, uint64_t{1000}, uint64_t{1999}}) {
        SCOPED_TRACE(before);
        Rig rig(kMsPerWrap - before);
        SimTracker tracker;
        rig.backend.AddTracker(tracker);
        Fault(tracker, {.kind = FaultKind::NoReply});
        CHidCmd cmd(rig.Link());
        ASSERT_EQ(cmd.m_io.Open(), 1);
        PutItemRead(rig.areas, 1);
        EXPECT_FALSE(Transact(cmd, kReadPolicy));
        EXPECT_EQ(rig.NowMs() - (kMsPerWrap - before), 2000u);
    }
}

TEST(Transact, EachTransactionObjectCountsItsOwnSequence) {
    Rig rig;
    SimTracker tracker;
    rig.backend.AddTracker(tracker);
    CHidCmd outer(rig.Link());
    ASSERT_EQ(outer.m_io.Open(), 1);
    PutItemRead(rig.areas, 1);
    ASSERT_TRUE(Transact(outer, kReadPolicy));
    {
        // Set Default holds its own object while a read opens another.
        CHidCmd inner(rig.Link());
        ASSERT_EQ(inner.m_io.Open(), 1);
        ASSERT_TRUE(Transact(inner, kReadPolicy));
        EXPECT_EQ(inner.m_seq, 19);
    }
    EXPECT_TRUE(Transact(outer, kReadPolicy));
    EXPECT_EQ(outer.m_seq, 20);
}

TEST(Transact, TheCancelEventEndsAReplyWaitOnTheRealClock) {
    SimTracker tracker;
    sim::SimBackend backend(nullptr, false);
    backend.AddTracker(tracker);
    Fault(tracker, {.kind = FaultKind::NoReply});
    CommandAreas areas;
    CHidCmd cmd(DeviceLink{backend, backend.GetClock(), areas});
    ASSERT_EQ(cmd.m_io.Open(), 1);
    PutItemRead(areas, 1);
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        cmd.m_io.m_hCancelEvent.Set();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Transact(cmd, kErasePolicy));
    const auto took = std::chrono::steady_clock::now() - start;
    canceller.join();
    EXPECT_LT(took, std::chrono::seconds(30)) << "the 60000 ms wait was not ended";
    EXPECT_FALSE(cmd.m_io.m_hCancelEvent.IsSet());
}

}  // namespace
}  // namespace quarnel
