// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The hidapi backend on umockdev hidraw nodes: enumeration, opening, the report layout,
// and bounded waits in real time (kept short).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "device/hid_cmd.h"
#include "device/hidapi_backend.h"
#include "device/hidapi_library.h"
#include "device/hidraw_bed.h"
#include "device/hidraw_tracker.h"

namespace quarnel {
namespace {

using test::HidrawAnswer;
using test::HidrawBed;
using Ms = std::chrono::milliseconds;
using SteadyTime = std::chrono::steady_clock;

// Long enough for a handle's writer thread to have started a write before its caller
// gives up, even on a loaded machine; tests that need a write stuck in the device use it.
constexpr uint32_t kStallMs = 200;

// Answers every command with `reply` bytes after the report-ID byte: sequence, data.
test::HidrawResponder Echo(uint8_t tag) {
    return [tag](const uint8_t* report, size_t n) {
        HidrawAnswer answer;
        std::vector<uint8_t> reply(kReportSize, 0);
        reply[1] = n > 1 ? report[1] : 0;
        reply[2] = 2;
        reply[3] = tag;
        reply[4] = static_cast<uint8_t>(n);
        answer.reports.push_back({std::move(reply), 0});
        return answer;
    };
}

test::HidrawResponder Reply(std::vector<uint8_t> report) {
    return [report](const uint8_t*, size_t) {
        HidrawAnswer answer;
        answer.reports.push_back({report, 0});
        return answer;
    };
}

test::HidrawResponder Silent() {
    return [](const uint8_t*, size_t) { return HidrawAnswer{}; };
}

test::HidrawResponder Wedged() {
    return [](const uint8_t*, size_t) {
        HidrawAnswer answer;
        answer.accepted = false;
        return answer;
    };
}

class HidapiOnHidraw : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_bed.InMockEnvironment()) {
            GTEST_SKIP() << "not running under umockdev-wrapper";
        }
    }

    DeviceLink Link() { return DeviceLink{*m_backend, m_clock, m_areas}; }

    HidrawBed m_bed;
    std::unique_ptr<HidBackend> m_backend = MakeHidapiBackend();
    SteadyClock m_clock;
    CommandAreas m_areas;
    CancelEvent m_cancel;
};

TEST_F(HidapiOnHidraw, EnumeratesEachNodeOnceInOrderWithItsIds) {
    const std::string a = m_bed.AddDevice(0x051A, 0x5120, Silent());
    const std::string b = m_bed.AddDevice(0x051A, 0x511B, Silent());
    EXPECT_EQ(m_backend->EnumerateInterfaces(), (std::vector<std::string>{a, b}));

    HidAttributes attributes;
    auto probe = m_backend->Open(b, HidAccess::None);
    ASSERT_NE(probe, nullptr);
    ASSERT_TRUE(probe->GetAttributes(attributes));
    EXPECT_EQ(attributes.vendorId, 0x051A);
    EXPECT_EQ(attributes.productId, 0x511B);
    probe = m_backend->Open(a, HidAccess::None);
    ASSERT_NE(probe, nullptr);
    ASSERT_TRUE(probe->GetAttributes(attributes));
    EXPECT_EQ(attributes.productId, 0x5120);
}

TEST_F(HidapiOnHidraw, ProbingReadsTheIdsWithoutOpeningTheNode) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Silent());
    m_backend->EnumerateInterfaces();
    auto probe = m_backend->Open(node, HidAccess::None);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(m_bed.OpenClients(node), 0);
    uint8_t report[kReportSize] = {};
    uint32_t n = 9;
    EXPECT_EQ(probe->Write(report, 10, m_cancel, n), TransferStatus::Failed);
    EXPECT_EQ(probe->Read(report, 10, m_cancel, n), TransferStatus::Failed);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(m_bed.WritesReceived(node), 0u);
}

TEST_F(HidapiOnHidraw, AProbeOfAPathNobodyEnumeratedFails) {
    m_bed.AddDevice(0x051A, 0x511B, Silent());
    EXPECT_EQ(m_backend->Open("/dev/hidraw7", HidAccess::None), nullptr);
    EXPECT_EQ(m_backend->Open("/dev/hidraw7", HidAccess::Read), nullptr);
}

TEST_F(HidapiOnHidraw, AProbeBeforeAnyEnumerationLooksForThePath) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Silent());
    auto probe = m_backend->Open(node, HidAccess::None);
    ASSERT_NE(probe, nullptr);
    HidAttributes attributes;
    ASSERT_TRUE(probe->GetAttributes(attributes));
    EXPECT_EQ(attributes.productId, 0x511B);
}

TEST_F(HidapiOnHidraw, TheFirstTrackerIsUsedAndTheForeignDeviceIsNeverOpened) {
    const std::string foreign = m_bed.AddDevice(0x051A, 0x5120, Echo(0xF0));
    const std::string first = m_bed.AddDevice(0x051A, 0x511B, Echo(0xA1));
    const std::string second = m_bed.AddDevice(0x051A, 0x511B, Echo(0xB2));
    CHidCmd cmd(Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    EXPECT_EQ(m_bed.OpenClients(foreign), 0);
    EXPECT_EQ(m_bed.OpenClients(first), 2) << "a read handle and a write handle";
    EXPECT_EQ(m_bed.OpenClients(second), 0);
    EXPECT_TRUE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(m_areas.reply[0], 0xA1);
    EXPECT_EQ(m_bed.WritesReceived(foreign), 0u);
    EXPECT_EQ(m_bed.WritesReceived(second), 0u);
}

TEST_F(HidapiOnHidraw, WithNoDeviceAtAllNothingIsFound) {
    CHidCmd cmd(Link());
    EXPECT_TRUE(m_backend->EnumerateInterfaces().empty());
    EXPECT_EQ(cmd.m_io.Open(), 0);
    EXPECT_EQ(cmd.m_io.m_hRead, nullptr);
    EXPECT_EQ(cmd.m_io.m_hWrite, nullptr);
    cmd.m_io.Close();
}

TEST_F(HidapiOnHidraw, WithOnlyAForeignDeviceNothingIsFound) {
    const std::string foreign = m_bed.AddDevice(0x051A, 0x5120, Echo(0));
    CHidCmd cmd(Link());
    EXPECT_EQ(cmd.m_io.Open(), 0);
    EXPECT_EQ(m_bed.OpenClients(foreign), 0);
}

TEST_F(HidapiOnHidraw, ARoundTripWritesSixtyFiveBytesAndReadsTheReportIdBackInFront) {
    std::vector<uint8_t> written;
    const std::string node =
        m_bed.AddDevice(0x051A, 0x511B, [&written](const uint8_t* report, size_t n) {
            written.assign(report, report + n);
            return Echo(0x77)(report, n);
        });
    m_backend->EnumerateInterfaces();
    auto writer = m_backend->Open(node, HidAccess::Write);
    auto reader = m_backend->Open(node, HidAccess::Read);
    ASSERT_NE(writer, nullptr);
    ASSERT_NE(reader, nullptr);

    uint8_t command[kReportSize] = {0, 42, 62, 1, 8};
    uint32_t n = 0;
    ASSERT_EQ(writer->Write(command, 2000, m_cancel, n), TransferStatus::Done);
    EXPECT_EQ(n, kReportSize);
    ASSERT_EQ(written.size(), kReportSize);
    EXPECT_EQ(written[0], 0) << "report ID 0 goes to the device as byte 0";
    EXPECT_TRUE(std::equal(written.begin(), written.end(), command));

    uint8_t report[kReportSize];
    std::fill(std::begin(report), std::end(report), 0xCC);
    ASSERT_EQ(reader->Read(report, 2000, m_cancel, n), TransferStatus::Done);
    EXPECT_EQ(n, kReportSize);
    EXPECT_EQ(report[0], 0);
    EXPECT_EQ(report[1], 42);
    EXPECT_EQ(report[3], 0x77);
    EXPECT_EQ(report[4], kReportSize);
}

// The kernel's HID core drops an input report shorter than the descriptor's 64 bytes;
// the node never hands it to a reader, and the read waits on.
TEST_F(HidapiOnHidraw, AShortInputReportNeverReachesTheReader) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Reply({0, 19, 5, 1, 2, 3, 4, 5}));
    m_backend->EnumerateInterfaces();
    auto writer = m_backend->Open(node, HidAccess::Write);
    auto reader = m_backend->Open(node, HidAccess::Read);
    uint8_t command[kReportSize] = {};
    uint32_t n = 0;
    ASSERT_EQ(writer->Write(command, 2000, m_cancel, n), TransferStatus::Done);
    uint8_t report[kReportSize];
    EXPECT_EQ(reader->Read(report, 100, m_cancel, n), TransferStatus::TimedOut);
    EXPECT_EQ(n, 0u);
}

TEST_F(HidapiOnHidraw, TwoRepliesStayTwoReports) {
    std::vector<uint8_t> reply(kReportSize, 0);
    reply[1] = 1;
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Reply(reply));
    m_backend->EnumerateInterfaces();
    auto writer = m_backend->Open(node, HidAccess::Write);
    auto reader = m_backend->Open(node, HidAccess::Read);
    uint8_t command[kReportSize] = {};
    uint32_t n = 0;
    ASSERT_EQ(writer->Write(command, 2000, m_cancel, n), TransferStatus::Done);
    ASSERT_EQ(writer->Write(command, 2000, m_cancel, n), TransferStatus::Done);
    uint8_t report[kReportSize];
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(reader->Read(report, 2000, m_cancel, n), TransferStatus::Done);
        EXPECT_EQ(n, kReportSize);
    }
    EXPECT_EQ(reader->Read(report, 20, m_cancel, n), TransferStatus::TimedOut);
}

TEST_F(HidapiOnHidraw, HandlesRefuseTheOtherDirection) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Echo(1));
    m_backend->EnumerateInterfaces();
    auto writer = m_backend->Open(node, HidAccess::Write);
    auto reader = m_backend->Open(node, HidAccess::Read);
    uint8_t report[kReportSize] = {};
    uint32_t n = 0;
    EXPECT_EQ(writer->Read(report, 10, m_cancel, n), TransferStatus::Failed);
    EXPECT_EQ(reader->Write(report, 10, m_cancel, n), TransferStatus::Failed);
    EXPECT_EQ(m_bed.WritesReceived(node), 0u);
}

TEST_F(HidapiOnHidraw, AReadOfASilentDeviceTimesOutAfterItsTimeOut) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Silent());
    m_backend->EnumerateInterfaces();
    auto reader = m_backend->Open(node, HidAccess::Read);
    ASSERT_NE(reader, nullptr);
    uint8_t report[kReportSize];
    uint32_t n = 5;
    const auto start = SteadyTime::now();
    EXPECT_EQ(reader->Read(report, 60, m_cancel, n), TransferStatus::TimedOut);
    EXPECT_GE(SteadyTime::now() - start, Ms(60));
    EXPECT_EQ(n, 0u);
}

TEST_F(HidapiOnHidraw, ReadReplyOfASilentTrackerGivesUpAfterTheTimeOut) {
    sim::SimTracker tracker;
    test::ServeTracker(m_bed, tracker);
    sim::SimFaults faults;
    faults.rules.push_back({.kind = sim::FaultKind::NoReply});
    tracker.SetFaults(faults);
    CHidCmd cmd(Link());
    ASSERT_EQ(cmd.m_io.Open(), 1);
    const auto start = SteadyTime::now();
    EXPECT_FALSE(Transact(cmd, ReplyPolicy{true, 80}));
    EXPECT_GE(SteadyTime::now() - start, Ms(80));
    EXPECT_EQ(tracker.CommandsTaken(), 1u);
}

TEST_F(HidapiOnHidraw, TheCancelEventEndsAReadWithinMilliseconds) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Silent());
    m_backend->EnumerateInterfaces();
    auto reader = m_backend->Open(node, HidAccess::Read);
    std::thread canceller([this] {
        std::this_thread::sleep_for(Ms(30));
        m_cancel.Set();
    });
    uint8_t report[kReportSize];
    uint32_t n = 0;
    const auto start = SteadyTime::now();
    EXPECT_EQ(reader->Read(report, 60000, m_cancel, n), TransferStatus::Cancelled);
    const auto took = SteadyTime::now() - start;
    canceller.join();
    EXPECT_LT(took, std::chrono::seconds(30)) << "the 60 s wait was not ended";
}

TEST_F(HidapiOnHidraw, AWriteTheDeviceNeverTakesIsGivenUpAndClosingDoesNotWaitForIt) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Wedged());
    m_backend->EnumerateInterfaces();
    auto writer = m_backend->Open(node, HidAccess::Write);
    ASSERT_NE(writer, nullptr);
    uint8_t command[kReportSize] = {0, 19, 62};
    uint32_t n = 7;
    const auto start = SteadyTime::now();
    EXPECT_EQ(writer->Write(command, kStallMs, m_cancel, n), TransferStatus::TimedOut);
    EXPECT_GE(SteadyTime::now() - start, Ms(kStallMs));
    EXPECT_EQ(n, 0u);
    ASSERT_TRUE(m_bed.WaitForOpenClients(node, 1, 2000));
    EXPECT_EQ(m_bed.StuckWrites(node), 1u);

    // Closing returns although the write is still stuck in the device; the device stays
    // open until the write returns, and is closed then.
    writer.reset();
    EXPECT_EQ(m_bed.OpenClients(node), 1);
    m_bed.ReleaseStuckWrites();
    EXPECT_TRUE(m_bed.WaitForOpenClients(node, 0, 5000));
}

TEST_F(HidapiOnHidraw, ASecondWriteAfterAStuckOneIsGivenUpToo) {
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Wedged());
    m_backend->EnumerateInterfaces();
    auto writer = m_backend->Open(node, HidAccess::Write);
    uint8_t command[kReportSize] = {0, 19, 62};
    uint32_t n = 0;
    EXPECT_EQ(writer->Write(command, kStallMs, m_cancel, n), TransferStatus::TimedOut);
    command[1] = 20;
    EXPECT_EQ(writer->Write(command, 30, m_cancel, n), TransferStatus::TimedOut);
    m_bed.ReleaseStuckWrites();
    writer.reset();
    EXPECT_TRUE(m_bed.WaitForOpenClients(node, 0, 5000));
    EXPECT_EQ(m_bed.WritesReceived(node), 1u) << "the second write was withdrawn unsent";
}

TEST_F(HidapiOnHidraw, TheLibraryIsReleasedWithTheLastBackendAndHandle) {
    const int before = HidapiLibrary::Users();
    const std::string node = m_bed.AddDevice(0x051A, 0x511B, Wedged());
    {
        auto other = MakeHidapiBackend();
        EXPECT_EQ(HidapiLibrary::Users(), before + 1);
        other->EnumerateInterfaces();
        auto writer = other->Open(node, HidAccess::Write);
        uint8_t command[kReportSize] = {};
        uint32_t n = 0;
        EXPECT_EQ(writer->Write(command, kStallMs, m_cancel, n), TransferStatus::TimedOut);
        writer.reset();
        other.reset();
        // The stuck write still holds its device, and the device the library.
        EXPECT_EQ(HidapiLibrary::Users(), before + 1);
    }
    m_bed.ReleaseStuckWrites();
    ASSERT_TRUE(m_bed.WaitForOpenClients(node, 0, 5000));
    for (int i = 0; i < 500 && HidapiLibrary::Users() != before; ++i) {
        std::this_thread::sleep_for(Ms(2));
    }
    EXPECT_EQ(HidapiLibrary::Users(), before);
}

}  // namespace
}  // namespace quarnel
