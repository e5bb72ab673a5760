// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "sim/sim_backend.h"

#include <gtest/gtest.h>

#include "device/hid_cmd.h"
#include "sim/command_builder.h"

namespace quarnel::sim {
namespace {

using test::CommandReport;

struct Rig {
    explicit Rig(bool frames) : backend(&clock, frames) { backend.AddTracker(tracker); }
    VirtualClock clock;
    SimTracker tracker;
    SimBackend backend;
};

TEST(SimBackend, FrameModelTakesBetweenOneAndTwoFramesPerTransaction) {
    Rig rig(true);
    CommandAreas areas;
    DeviceLink link{rig.backend, rig.clock, areas};
    CHidCmd cmd(link);
    ASSERT_EQ(cmd.m_io.Open(), 1);
    areas.payload[payload::kOp] = OP_GET;
    areas.payload[payload::kLen] = 8;
    for (int i = 0; i < 50; ++i) {
        const uint64_t before = rig.clock.NowUs();
        ASSERT_TRUE(Transact(cmd, kReadPolicy));
        const uint64_t took = rig.clock.NowUs() - before;
        EXPECT_GT(took, 1000u);
        EXPECT_LE(took, 2000u);
    }
}

TEST(SimBackend, WithoutFramesAnAnswerTakesNoTime) {
    Rig rig(false);
    CommandAreas areas;
    DeviceLink link{rig.backend, rig.clock, areas};
    CHidCmd cmd(link);
    ASSERT_EQ(cmd.m_io.Open(), 1);
    ASSERT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(rig.clock.NowUs(), 0u);
}

TEST(SimBackend, EveryReadHandleGetsItsOwnCopyOfEachReport) {
    Rig rig(false);
    auto first = rig.backend.Open("sim/tracker0", HidAccess::Read);
    auto second = rig.backend.Open("sim/tracker0", HidAccess::Read);
    auto writer = rig.backend.Open("sim/tracker0", HidAccess::Write);
    CancelEvent cancel;
    uint32_t n = 0;
    const auto command = CommandReport(19, OP_GET, 8, 0, 1);
    ASSERT_EQ(writer->Write(command.data(), 2000, cancel, n), TransferStatus::Done);
    uint8_t report[kReportSize];
    for (auto* reader : {first.get(), second.get()}) {
        ASSERT_EQ(reader->Read(report, 10, cancel, n), TransferStatus::Done);
        EXPECT_EQ(report[1], 19);
    }
}

TEST(SimBackend, ReadQueueKeepsTheNewestSixtyFourReports) {
    Rig rig(false);
    auto reader = rig.backend.Open("sim/tracker0", HidAccess::Read);
    auto writer = rig.backend.Open("sim/tracker0", HidAccess::Write);
    CancelEvent cancel;
    uint32_t n = 0;
    for (int i = 0; i < 70; ++i) {
        const auto command = CommandReport(static_cast<uint8_t>(i), OP_GET, 8, 0, 1);
        writer->Write(command.data(), 2000, cancel, n);
    }
    uint8_t report[kReportSize];
    ASSERT_EQ(reader->Read(report, 0, cancel, n), TransferStatus::Done);
    EXPECT_EQ(report[1], 6);
}

TEST(SimBackend, ReadTimesOutExactlyOnTheVirtualClock) {
    Rig rig(false);
    auto reader = rig.backend.Open("sim/tracker0", HidAccess::Read);
    CancelEvent cancel;
    uint32_t n = 0;
    uint8_t report[kReportSize];
    EXPECT_EQ(reader->Read(report, 2000, cancel, n), TransferStatus::TimedOut);
    EXPECT_EQ(rig.clock.NowUs(), 2'000'000u);
}

TEST(SimBackend, CancelEventEndsARead) {
    Rig rig(false);
    auto reader = rig.backend.Open("sim/tracker0", HidAccess::Read);
    CancelEvent cancel;
    cancel.Set();
    uint32_t n = 0;
    uint8_t report[kReportSize];
    EXPECT_EQ(reader->Read(report, 2000, cancel, n), TransferStatus::Cancelled);
}

TEST(SimBackend, CancelEventEndsARealTimeReadFromAnotherThread) {
    SimTracker tracker;
    SimBackend backend(nullptr, false);
    backend.AddTracker(tracker);
    auto reader = backend.Open("sim/tracker0", HidAccess::Read);
    CancelEvent cancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cancel.Set();
    });
    uint32_t n = 0;
    uint8_t report[kReportSize];
    EXPECT_EQ(reader->Read(report, 60000, cancel, n), TransferStatus::Cancelled);
    canceller.join();
}

TEST(SimBackend, UnpluggedDeviceVanishesAndItsHandlesStayDeadAfterReplug) {
    Rig rig(false);
    auto writer = rig.backend.Open("sim/tracker0", HidAccess::Write);
    rig.backend.Unplug("sim/tracker0");
    EXPECT_TRUE(rig.backend.EnumerateInterfaces().empty());
    EXPECT_EQ(rig.backend.Open("sim/tracker0", HidAccess::Read), nullptr);
    rig.backend.Replug("sim/tracker0");
    EXPECT_EQ(rig.backend.EnumerateInterfaces().size(), 1u);
    CancelEvent cancel;
    uint32_t n = 0;
    const auto command = CommandReport(19, OP_GET, 8, 0, 1);
    EXPECT_EQ(writer->Write(command.data(), 2000, cancel, n), TransferStatus::Failed);
    auto fresh = rig.backend.Open("sim/tracker0", HidAccess::Write);
    EXPECT_EQ(fresh->Write(command.data(), 2000, cancel, n), TransferStatus::Done);
}

TEST(SimBackend, WriteNotAcceptedTimesOutAfterItsTimeOut) {
    Rig rig(false);
    SimFaults f;
    f.rules.push_back({FaultKind::WriteNotAccepted});
    rig.tracker.SetFaults(f);
    auto writer = rig.backend.Open("sim/tracker0", HidAccess::Write);
    CancelEvent cancel;
    uint32_t n = 0;
    const auto command = CommandReport(19, OP_GET, 8, 0, 1);
    EXPECT_EQ(writer->Write(command.data(), 2000, cancel, n), TransferStatus::TimedOut);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(rig.clock.NowUs(), 2'000'000u);
    EXPECT_EQ(rig.tracker.CommandsTaken(), 0u);
}

TEST(SimBackend, HandlesOnlyMoveReportsTheWayTheyWereOpened) {
    Rig rig(false);
    auto reader = rig.backend.Open("sim/tracker0", HidAccess::Read);
    auto probe = rig.backend.Open("sim/tracker0", HidAccess::None);
    CancelEvent cancel;
    uint32_t n = 0;
    const auto command = CommandReport(19, OP_GET, 8, 0, 1);
    EXPECT_EQ(reader->Write(command.data(), 2000, cancel, n), TransferStatus::Failed);
    HidAttributes a;
    ASSERT_TRUE(probe->GetAttributes(a));
    EXPECT_EQ(a.vendorId, 0x051A);
    EXPECT_EQ(a.productId, 0x511B);
}

}  // namespace
}  // namespace quarnel::sim

namespace quarnel::sim {
namespace {

TEST(SimBackend, ALateReplyDoesNotHoldBackTheNextCommandsReply) {
    Rig rig(false);
    SimFaults f;
    f.rules.push_back({FaultKind::LateReply, -1, -1, 1, 1, 2500});
    rig.tracker.SetFaults(f);
    auto reader = rig.backend.Open("sim/tracker0", HidAccess::Read);
    auto writer = rig.backend.Open("sim/tracker0", HidAccess::Write);
    CancelEvent cancel;
    uint32_t n = 0;
    const auto late = test::CommandReport(19, OP_GET, 8, 0, 1);
    const auto onTime = test::CommandReport(20, OP_GET, 8, 0, 1);
    writer->Write(late.data(), 2000, cancel, n);
    writer->Write(onTime.data(), 2000, cancel, n);
    uint8_t report[kReportSize];
    ASSERT_EQ(reader->Read(report, 2000, cancel, n), TransferStatus::Done);
    EXPECT_EQ(report[1], 20);
    EXPECT_EQ(rig.clock.NowUs(), 0u);
    ASSERT_EQ(reader->Read(report, 3000, cancel, n), TransferStatus::Done);
    EXPECT_EQ(report[1], 19);
    EXPECT_EQ(rig.clock.NowUs(), 2'500'000u);
}

}  // namespace
}  // namespace quarnel::sim
