// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The bounded writer on a write function that blocks for as long as a test wants.
#include "device/bounded_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace quarnel {
namespace {

using Ms = std::chrono::milliseconds;
using SteadyTime = std::chrono::steady_clock;

// A device whose writes block until the test opens the gate, and which records what each
// write carried at the moment it went out.
struct GatedDevice {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = true;
    int result = static_cast<int>(kReportSize);
    int started = 0;
    std::vector<std::vector<uint8_t>> sent;

    int Write(const uint8_t* data, size_t size) {
        std::unique_lock lock(mutex);
        ++started;
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
        sent.emplace_back(data, data + size);
        return result;
    }
    void Close() {
        std::lock_guard lock(mutex);
        open = false;
    }
    void Open() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        changed.notify_all();
    }
    bool WaitStarted(int count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return started >= count; });
    }
    size_t Sent() {
        std::lock_guard lock(mutex);
        return sent.size();
    }
};

// The write function owns a reference to the device, as a real one owns its handle.
BoundedWriter::WriteFn WriteTo(std::shared_ptr<GatedDevice> device) {
    return [device](const uint8_t* data, size_t size) { return device->Write(data, size); };
}

// Whether the writer has let go of the device (only the test's own reference is left),
// waiting up to five seconds for it.
bool WaitReleased(const std::shared_ptr<GatedDevice>& device) {
    for (int i = 0; i < 5000 && device.use_count() != 1; ++i) {
        std::this_thread::sleep_for(Ms(1));
    }
    return device.use_count() == 1;
}

// Long enough for the writer's thread to have taken a report before its caller gives up,
// even on a loaded machine; tests that need a write under way wait this long.
constexpr uint32_t kStallMs = 150;

std::array<uint8_t, kReportSize> Report(uint8_t fill) {
    std::array<uint8_t, kReportSize> r;
    r.fill(fill);
    r[0] = 0;
    return r;
}

TEST(BoundedWriter, AWriteTheDeviceTakesIsDoneWithItsCount) {
    auto device = std::make_shared<GatedDevice>();
    BoundedWriter writer(WriteTo(device));
    CancelEvent cancel;
    uint32_t n = 0;
    const auto report = Report(0x11);
    EXPECT_EQ(writer.Write(report.data(), 2000, cancel, n), TransferStatus::Done);
    EXPECT_EQ(n, kReportSize);
    ASSERT_EQ(device->Sent(), 1u);
    EXPECT_TRUE(std::equal(report.begin(), report.end(), device->sent[0].begin()));
}

TEST(BoundedWriter, ADeviceErrorFailsTheWrite) {
    auto device = std::make_shared<GatedDevice>();
    device->result = -1;
    BoundedWriter writer(WriteTo(device));
    CancelEvent cancel;
    uint32_t n = 9;
    const auto report = Report(0x11);
    EXPECT_EQ(writer.Write(report.data(), 2000, cancel, n), TransferStatus::Failed);
    EXPECT_EQ(n, 0u);
}

TEST(BoundedWriter, AStuckWriteIsGivenUpAfterTheTimeOutAndNeverTouchesTheCallersBuffer) {
    auto device = std::make_shared<GatedDevice>();
    device->Close();
    BoundedWriter writer(WriteTo(device));
    CancelEvent cancel;
    uint32_t n = 3;
    auto report = Report(0x22);
    const auto start = SteadyTime::now();
    EXPECT_EQ(writer.Write(report.data(), kStallMs, cancel, n), TransferStatus::TimedOut);
    EXPECT_GE(SteadyTime::now() - start, Ms(kStallMs));
    EXPECT_EQ(n, 0u);
    ASSERT_TRUE(device->WaitStarted(1));

    // The caller reuses its buffer at once; the abandoned write still sends what it was
    // given, from the writer's own copy.
    report.fill(0x99);
    device->Open();
    for (int i = 0; i < 1000 && device->Sent() == 0; ++i) {
        std::this_thread::sleep_for(Ms(1));
    }
    ASSERT_EQ(device->Sent(), 1u);
    EXPECT_EQ(device->sent[0][1], 0x22);
}

TEST(BoundedWriter, AWriteQueuedBehindAStuckOneIsWithdrawnWhenItsTimeIsUp) {
    auto device = std::make_shared<GatedDevice>();
    device->Close();
    BoundedWriter writer(WriteTo(device));
    CancelEvent cancel;
    uint32_t n = 0;
    const auto first = Report(0x01);
    const auto second = Report(0x02);
    EXPECT_EQ(writer.Write(first.data(), kStallMs, cancel, n), TransferStatus::TimedOut);
    ASSERT_TRUE(device->WaitStarted(1));
    EXPECT_EQ(writer.Write(second.data(), 20, cancel, n), TransferStatus::TimedOut);
    device->Open();
    // A third write goes through once the device moves again.
    const auto third = Report(0x03);
    EXPECT_EQ(writer.Write(third.data(), 5000, cancel, n), TransferStatus::Done);
    ASSERT_EQ(device->Sent(), 2u);
    EXPECT_EQ(device->sent[0][1], 0x01);
    EXPECT_EQ(device->sent[1][1], 0x03) << "the withdrawn second write was never sent";
}

TEST(BoundedWriter, AWriteQueuedBehindAShortStallStillCompletesWithinItsTimeOut) {
    auto device = std::make_shared<GatedDevice>();
    device->Close();
    BoundedWriter writer(WriteTo(device));
    CancelEvent cancel;
    uint32_t n = 0;
    const auto first = Report(0x01);
    EXPECT_EQ(writer.Write(first.data(), kStallMs, cancel, n), TransferStatus::TimedOut);
    ASSERT_TRUE(device->WaitStarted(1));
    std::thread opener([&] {
        std::this_thread::sleep_for(Ms(30));
        device->Open();
    });
    const auto second = Report(0x02);
    EXPECT_EQ(writer.Write(second.data(), 10000, cancel, n), TransferStatus::Done);
    EXPECT_EQ(n, kReportSize);
    opener.join();
    EXPECT_EQ(device->Sent(), 2u);
}

TEST(BoundedWriter, ASetCancelEventSendsNothing) {
    auto device = std::make_shared<GatedDevice>();
    BoundedWriter writer(WriteTo(device));
    CancelEvent cancel;
    cancel.Set();
    uint32_t n = 4;
    const auto report = Report(0x11);
    EXPECT_EQ(writer.Write(report.data(), 2000, cancel, n), TransferStatus::Cancelled);
    EXPECT_EQ(n, 0u);
    EXPECT_TRUE(cancel.IsSet()) << "the caller resets it";
    cancel.Reset();
    EXPECT_EQ(writer.Write(report.data(), 2000, cancel, n), TransferStatus::Done);
    EXPECT_EQ(device->Sent(), 1u);
}

TEST(BoundedWriter, TheCancelEventEndsTheWaitForAStuckWrite) {
    auto device = std::make_shared<GatedDevice>();
    device->Close();
    BoundedWriter writer(WriteTo(device));
    CancelEvent cancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(Ms(20));
        cancel.Set();
    });
    uint32_t n = 0;
    const auto report = Report(0x11);
    const auto start = SteadyTime::now();
    EXPECT_EQ(writer.Write(report.data(), 60000, cancel, n), TransferStatus::Cancelled);
    EXPECT_LT(SteadyTime::now() - start, std::chrono::seconds(30));
    canceller.join();
    device->Open();
}

TEST(BoundedWriter, DestroyingItDoesNotWaitForAStuckWriteAndTheDeviceGoesWhenItReturns) {
    auto device = std::make_shared<GatedDevice>();
    device->Close();
    {
        BoundedWriter writer(WriteTo(device));
        CancelEvent cancel;
        uint32_t n = 0;
        const auto report = Report(0x11);
        EXPECT_EQ(writer.Write(report.data(), kStallMs, cancel, n), TransferStatus::TimedOut);
        ASSERT_TRUE(device->WaitStarted(1));
    }
    EXPECT_GT(device.use_count(), 1) << "the stuck write still holds the device";
    device->Open();
    EXPECT_TRUE(WaitReleased(device));
    EXPECT_EQ(device->Sent(), 1u);
}

TEST(BoundedWriter, DestroyingAnIdleWriterReleasesTheDevice) {
    auto device = std::make_shared<GatedDevice>();
    { BoundedWriter writer(WriteTo(device)); }
    EXPECT_TRUE(WaitReleased(device));
    EXPECT_EQ(device->Sent(), 0u);
}

}  // namespace
}  // namespace quarnel
