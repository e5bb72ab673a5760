// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The gadget's report loop, with a socket pair in place of /dev/hidgN: one message per
// report in each direction, as the HID function's device file moves them.
#include "gadget/report_loop.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "device/command_areas.h"
#include "sim/sim_state.h"

namespace quarnel::gadget {
namespace {

constexpr int kWaitMs = 5000;  // for what must come; a bound, never a measurement

class ReportLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, m_fds), 0);
    }
    void TearDown() override {
        Stop();
        for (int fd : m_fds) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    void Start() {
        m_loop = std::make_unique<ReportLoop>(m_tracker, m_fds[1]);
        m_thread = std::thread([this] { m_end = m_loop->Run(); });
    }
    ReportLoop::End Stop() {
        if (m_thread.joinable()) {
            m_loop->Stop();
            m_thread.join();
        }
        return m_end;
    }

    // The host writes a command: 64 data bytes, sequence `seq`, reading `group`/`index`.
    void SendRead(uint8_t seq, uint8_t group, uint8_t index) {
        uint8_t data[64] = {};
        data[0] = seq;
        data[1] = 62;
        uint8_t* p = data + 2;
        p[payload::kOp] = OP_GET;
        p[payload::kLen] = 8;
        p[payload::kGroup] = group;
        PutLe32(p + payload::kIndex, index);
        ASSERT_EQ(::write(m_fds[0], data, sizeof data), static_cast<ssize_t>(sizeof data));
    }
    // The next input report the host receives; empty when none comes in time.
    std::vector<uint8_t> Receive(int waitMs = kWaitMs) {
        pollfd host{m_fds[0], POLLIN, 0};
        if (::poll(&host, 1, waitMs) != 1) {
            return {};
        }
        std::vector<uint8_t> data(128);
        const ssize_t n = ::read(m_fds[0], data.data(), data.size());
        data.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return data;
    }

    std::vector<uint8_t> ItemText(int group, int index) {
        return m_tracker.State().items.at({group, index});
    }

    int m_fds[2] = {-1, -1};
    sim::SimTracker m_tracker{sim::DemoState()};
    std::unique_ptr<ReportLoop> m_loop;
    std::thread m_thread;
    ReportLoop::End m_end = ReportLoop::End::Failed;
};

TEST_F(ReportLoopTest, AnswersEachCommandWithItsDataBytesOnly) {
    Start();
    SendRead(19, 0, 8);  // the firmware version
    const std::vector<uint8_t> reply = Receive();
    ASSERT_EQ(reply.size(), 64u) << "64 data bytes, no report-ID byte";
    EXPECT_EQ(reply[0], 19) << "the command's sequence number";
    const std::vector<uint8_t> version = ItemText(0, 8);
    EXPECT_EQ(reply[1], version.size() + 1) << "the text and its zero";
    EXPECT_TRUE(std::equal(version.begin(), version.end(), reply.begin() + 2));

    // The tracker saw the host's 65-byte layout, report ID 0 first.
    const std::vector<sim::TranscriptEntry> transcript = m_tracker.Transcript();
    ASSERT_EQ(transcript.size(), 2u);
    EXPECT_EQ(transcript[0].direction, '>');
    ASSERT_EQ(transcript[0].bytes.size(), 65u);
    EXPECT_EQ(transcript[0].bytes[0], 0);
    EXPECT_EQ(transcript[0].bytes[1], 19);
    EXPECT_EQ(transcript[1].direction, '<');
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), transcript[1].bytes.begin() + 1));
    EXPECT_EQ(Stop(), ReportLoop::End::Stopped);
    EXPECT_EQ(m_loop->ReportsTaken(), 1u);
}

TEST_F(ReportLoopTest, ALateReplyComesAfterTheRepliesOfLaterCommands) {
    sim::SimFaults faults;
    faults.rules.push_back({.kind = sim::FaultKind::LateReply, .count = 1, .delayMs = 400});
    m_tracker.SetFaults(faults);
    Start();
    SendRead(19, 0, 8);
    SendRead(20, 0, 1);
    const std::vector<uint8_t> first = Receive();
    const std::vector<uint8_t> second = Receive();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(first[0], 20);
    EXPECT_EQ(second[0], 19);
}

TEST_F(ReportLoopTest, StaleRepliesGoOutFirstAndInOrder) {
    Start();
    SendRead(19, 0, 8);
    ASSERT_EQ(Receive().at(0), 19);
    SendRead(20, 0, 1);
    ASSERT_EQ(Receive().at(0), 20);
    sim::SimFaults faults;
    faults.rules.push_back({.kind = sim::FaultKind::StaleReplies, .reports = 2});
    m_tracker.SetFaults(faults);
    SendRead(21, 0, 2);
    EXPECT_EQ(Receive().at(0), 19);
    EXPECT_EQ(Receive().at(0), 20);
    EXPECT_EQ(Receive().at(0), 21);
}

TEST_F(ReportLoopTest, ASilentTrackerSendsNothing) {
    sim::SimFaults faults;
    faults.rules.push_back({.kind = sim::FaultKind::NoReply});
    m_tracker.SetFaults(faults);
    Start();
    SendRead(19, 0, 8);
    EXPECT_TRUE(Receive(300).empty());
    EXPECT_EQ(Stop(), ReportLoop::End::Stopped);
    EXPECT_EQ(m_loop->ReportsTaken(), 1u) << "the command was taken all the same";
}

TEST_F(ReportLoopTest, AShortReportIsSentShort) {
    sim::SimFaults faults;
    faults.rules.push_back({.kind = sim::FaultKind::ShortReport, .length = 2});
    m_tracker.SetFaults(faults);
    Start();
    SendRead(19, 0, 8);
    EXPECT_EQ(Receive(), std::vector<uint8_t>{19}) << "2 bytes with the report-ID byte";
}

TEST_F(ReportLoopTest, UnplugsOnceItsLastAnswerHasGone) {
    sim::SimState state = sim::DemoState();
    state.faults.unplugAfter = 2;
    m_tracker.SetState(state);
    Start();
    SendRead(19, 0, 8);
    EXPECT_EQ(Receive().at(0), 19);
    SendRead(20, 0, 1);
    EXPECT_EQ(Receive().at(0), 20) << "the answer to the last command before the unplug";
    m_thread.join();
    EXPECT_EQ(m_end, ReportLoop::End::Unplugged);
}

TEST_F(ReportLoopTest, AClosedDeviceFileEndsTheLoopWithItsReason) {
    Start();
    ::close(m_fds[0]);
    m_fds[0] = -1;
    m_thread.join();
    EXPECT_EQ(m_end, ReportLoop::End::Failed);
    EXPECT_EQ(m_loop->FailureReason(), "the host side closed the device file");
}

TEST_F(ReportLoopTest, StopBeforeRunStillEndsIt) {
    m_loop = std::make_unique<ReportLoop>(m_tracker, m_fds[1]);
    m_loop->Stop();
    EXPECT_EQ(m_loop->Run(), ReportLoop::End::Stopped);
}

}  // namespace
}  // namespace quarnel::gadget
