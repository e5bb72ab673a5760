// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// What the hidapi backend relies on from a hidraw node, written once and run on the real
// kernel (a USB gadget in the test machine) and on umockdev's model of it, so the model's
// fast tests keep telling the truth. The node is used with plain system calls, as hidapi
// uses it.
//
// A rig type provides:
//   const char* SkipReason();                why the rig cannot run here, or nullptr
//   std::string Node();                      the tracker's /dev/hidrawN
//   sim::SimTracker& Tracker();              the tracker behind it
//   bool Unplug(std::string& error);         takes the device away; its node goes

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "device/command_areas.h"
#include "sim/sim_tracker.h"

namespace quarnel::test {

// A bound on waits for what must come, never a measurement.
inline constexpr int kContractWaitMs = 5000;

template <typename Rig>
class HidrawContractSuite : public ::testing::Test {
protected:
    void SetUp() override {
        m_rig = std::make_unique<Rig>();
        if (const char* why = m_rig->SkipReason()) {
            GTEST_SKIP() << why;
        }
    }
    void TearDown() override {
        for (int fd : m_fds) {
            ::close(fd);
        }
    }

    int OpenNode() {
        const int fd = ::open(m_rig->Node().c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            m_fds.push_back(fd);
        }
        return fd;
    }

    // Writes "read item 8 of group 0" with sequence `seq`, as hidapi writes a report: the
    // report-ID byte 0, then the 64 data bytes. Returns what write() returned.
    ssize_t WriteCommand(int fd, uint8_t seq) {
        uint8_t report[65] = {};
        report[1] = seq;
        report[2] = 62;
        uint8_t* p = report + 3;
        p[payload::kOp] = OP_GET;
        p[payload::kLen] = 8;
        PutLe32(p + payload::kIndex, 8);
        return ::write(fd, report, sizeof report);
    }

    // The next report on `fd`, read once poll() says the node is readable; empty when
    // nothing comes in time. A wake-up with nothing to read (EAGAIN) waits on, as hidapi
    // does: poll() may report a handle readable that has nothing for it.
    std::vector<uint8_t> ReadReport(int fd, int waitMs = kContractWaitMs) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd node{fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&node, 1, static_cast<int>(left.count())) != 1 ||
                !(node.revents & POLLIN)) {
                return {};
            }
            std::vector<uint8_t> report(256);
            const ssize_t n = ::read(fd, report.data(), report.size());
            if (n > 0) {
                report.resize(static_cast<size_t>(n));
                return report;
            }
            if (n < 0 && errno != EAGAIN) {
                return {};
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // Every report waiting on `fd` now, taken without blocking.
    std::vector<std::vector<uint8_t>> Drain(int fd) {
        std::vector<std::vector<uint8_t>> reports;
        for (;;) {
            std::vector<uint8_t> report = ReadReport(fd, 200);
            if (report.empty()) {
                return reports;
            }
            reports.push_back(std::move(report));
        }
    }

    void Fault(sim::FaultRule rule) {
        sim::SimFaults faults;
        faults.rules.push_back(rule);
        m_rig->Tracker().SetFaults(faults);
    }

    std::unique_ptr<Rig> m_rig;
    std::vector<int> m_fds;
};

TYPED_TEST_SUITE_P(HidrawContractSuite);

TYPED_TEST_P(HidrawContractSuite, TheReportIdByteIsStrippedOnTheWayOutAndAbsentOnTheWayIn) {
    const int fd = this->OpenNode();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(this->WriteCommand(fd, 19), 65) << "the count includes the report-ID byte";
    const std::vector<uint8_t> reply = this->ReadReport(fd);
    ASSERT_EQ(reply.size(), 64u) << "64 data bytes, no report-ID byte in front";
    EXPECT_EQ(reply[0], 19);

    const std::vector<sim::TranscriptEntry> transcript = this->m_rig->Tracker().Transcript();
    ASSERT_FALSE(transcript.empty());
    // The device received the 64 data bytes; the tracker model shows them in the host's
    // layout, with report ID 0 in front: had the 0 not been stripped, it would show twice.
    ASSERT_EQ(transcript.front().bytes.size(), 65u);
    EXPECT_EQ(transcript.front().bytes[0], 0);
    EXPECT_EQ(transcript.front().bytes[1], 19);
    EXPECT_EQ(transcript.front().bytes[2], 62);
}

TYPED_TEST_P(HidrawContractSuite, EveryOpenHandleReceivesEveryInputReport) {
    const int writer = this->OpenNode();
    const int reader = this->OpenNode();
    ASSERT_GE(writer, 0);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(this->WriteCommand(writer, 19), 65);
    const std::vector<uint8_t> atReader = this->ReadReport(reader);
    const std::vector<uint8_t> atWriter = this->ReadReport(writer);
    ASSERT_EQ(atReader.size(), 64u);
    EXPECT_EQ(atReader[0], 19);
    EXPECT_EQ(atWriter, atReader) << "the handle that wrote gets its own copy";
}

TYPED_TEST_P(HidrawContractSuite, AHandleNobodyReadsKeepsTheFirst63ReportsAndDropsTheRest) {
    const int talker = this->OpenNode();
    const int idle = this->OpenNode();
    ASSERT_GE(talker, 0);
    ASSERT_GE(idle, 0);
    constexpr int kCommands = 100;
    for (int i = 0; i < kCommands; ++i) {
        const uint8_t seq = static_cast<uint8_t>(i % 128);
        ASSERT_EQ(this->WriteCommand(talker, seq), 65) << "command " << i;
        const std::vector<uint8_t> reply = this->ReadReport(talker);
        ASSERT_FALSE(reply.empty()) << "command " << i;
        ASSERT_EQ(reply[0], seq) << "command " << i;
    }
    const std::vector<std::vector<uint8_t>> kept = this->Drain(idle);
    ASSERT_EQ(kept.size(), 63u);
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].at(0), i) << "report " << i;
    }
}

// The HID core drops an input report shorter than the descriptor's 64 bytes ("Event data
// for report 0 was too short"): no handle ever sees it. The next whole report comes through.
TYPED_TEST_P(HidrawContractSuite, AShortInputReportIsDroppedAndTheNextOneArrives) {
    this->Fault({.kind = sim::FaultKind::ShortReport, .count = 1, .length = 4});
    const int fd = this->OpenNode();
    ASSERT_GE(fd, 0);
    ASSERT_EQ(this->WriteCommand(fd, 19), 65);
    EXPECT_EQ(this->ReadReport(fd, 500), std::vector<uint8_t>{});
    ASSERT_EQ(this->WriteCommand(fd, 20), 65);
    const std::vector<uint8_t> reply = this->ReadReport(fd);
    ASSERT_EQ(reply.size(), 64u);
    EXPECT_EQ(reply[0], 20);
}

TYPED_TEST_P(HidrawContractSuite, AtAnUnplugTheHandlesFailAndTheNodeGoes) {
    const int fd = this->OpenNode();
    ASSERT_GE(fd, 0);
    ASSERT_EQ(this->WriteCommand(fd, 19), 65);
    ASSERT_FALSE(this->ReadReport(fd).empty());
    const std::string node = this->m_rig->Node();

    std::string error;
    ASSERT_TRUE(this->m_rig->Unplug(error)) << error;
    EXPECT_FALSE(std::filesystem::exists(node));
    pollfd handle{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&handle, 1, kContractWaitMs), 1) << "poll wakes up";
    EXPECT_TRUE(handle.revents & (POLLHUP | POLLERR)) << "revents " << handle.revents;
    uint8_t report[64];
    errno = 0;
    EXPECT_EQ(::read(fd, report, sizeof report), -1);
    EXPECT_EQ(errno, EIO);
    errno = 0;
    EXPECT_EQ(this->WriteCommand(fd, 20), -1);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(::open(node.c_str(), O_RDWR | O_CLOEXEC), -1);
}

REGISTER_TYPED_TEST_SUITE_P(HidrawContractSuite,
                            TheReportIdByteIsStrippedOnTheWayOutAndAbsentOnTheWayIn,
                            EveryOpenHandleReceivesEveryInputReport,
                            AHandleNobodyReadsKeepsTheFirst63ReportsAndDropsTheRest,
                            AShortInputReportIsDroppedAndTheNextOneArrives,
                            AtAnUnplugTheHandlesFailAndTheNodeGoes);

}  // namespace quarnel::test
