// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gadget/report_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "device/hid_backend.h"
#include "sim/report_descriptor.h"

namespace quarnel::gadget {

namespace {

// How long an unplug waits for the host to fetch the last answer before the gadget goes.
constexpr int kUnplugGraceMs = 200;

}  // namespace

ReportLoop::ReportLoop(sim::SimTracker& tracker, int fd)
    : m_tracker(tracker), m_fd(fd), m_stopEvent(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(m_fd, F_SETFL, flags | O_NONBLOCK);
    }
}

ReportLoop::~ReportLoop() {
    if (m_stopEvent >= 0) {
        ::close(m_stopEvent);
    }
}

void ReportLoop::Stop() {
    const uint64_t one = 1;
    // write() is async-signal-safe; an event already set stays set.
    [[maybe_unused]] const ssize_t n = ::write(m_stopEvent, &one, sizeof one);
}

uint64_t ReportLoop::NowUs() const {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

void ReportLoop::Take(const uint8_t* data, size_t n, bool& unplug) {
    // The kernel hands the gadget the report's data bytes; the tracker model takes the
    // host's layout, with the report-ID byte (0: the tracker's reports are unnumbered).
    uint8_t report[kReportSize] = {};
    const size_t size = std::min<size_t>(n, sim::kReportDataSize);
    std::memcpy(report + 1, data, size);
    const uint64_t nowUs = NowUs();
    sim::SimTracker::Outcome outcome = m_tracker.Take(report, size + 1, nowUs);
    ++m_taken;
    // A USB device cannot refuse a report its controller has taken already: a command the
    // tracker does not take goes unanswered, as `outcome` then says.
    for (sim::SimTracker::Emission& emission : outcome.reports) {
        std::vector<uint8_t> bytes;
        if (emission.report.size() > 1) {
            bytes.assign(emission.report.begin() + 1, emission.report.end());
        }
        Waiting waiting{nowUs + uint64_t{emission.delayMs} * 1000, std::move(bytes)};
        const auto at =
            std::upper_bound(m_waiting.begin(), m_waiting.end(), waiting.dueUs,
                             [](uint64_t due, const Waiting& w) { return due < w.dueUs; });
        m_waiting.insert(at, std::move(waiting));
        if (m_waiting.size() > kMaxWaitingReports) {
            m_waiting.pop_front();
            ++m_dropped;
        }
    }
    unplug = unplug || outcome.unplugged;
}

// Writes the first waiting report if it is due. False when the file failed.
bool ReportLoop::SendDue(uint64_t nowUs) {
    if (m_waiting.empty() || m_waiting.front().dueUs > nowUs) {
        return true;
    }
    const std::vector<uint8_t>& data = m_waiting.front().data;
    const ssize_t n = ::write(m_fd, data.data(), data.size());
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return true;  // the host has not fetched the one before yet
        }
        // The controller went away under the gadget (unbound from outside): the answer is
        // lost, as it would be on a cable pulled out; the tracker serves on.
        if (errno == ESHUTDOWN || errno == ECONNRESET || errno == ENODEV) {
            m_waiting.pop_front();
            ++m_dropped;
            return true;
        }
        m_failure = std::string("cannot send a report: ") + std::strerror(errno);
        return false;
    }
    m_waiting.pop_front();
    return true;
}

ReportLoop::End ReportLoop::Run() {
    if (m_stopEvent < 0) {
        m_failure = "cannot create an event";
        return End::Failed;
    }
    bool unplug = false;
    int graceLeftMs = kUnplugGraceMs;
    for (;;) {
        const uint64_t now = NowUs();
        int timeoutMs = -1;
        bool wantOut = false;
        if (!m_waiting.empty()) {
            if (m_waiting.front().dueUs <= now) {
                wantOut = true;
            } else {
                timeoutMs = static_cast<int>((m_waiting.front().dueUs - now + 999) / 1000);
            }
        } else if (unplug) {
            // Everything is written; wait (briefly) until the host has fetched the last.
            wantOut = true;
            timeoutMs = graceLeftMs;
        }
        pollfd fds[2] = {{m_fd, static_cast<short>(unplug ? 0 : POLLIN), 0},
                         {m_stopEvent, POLLIN, 0}};
        if (wantOut) {
            fds[0].events |= POLLOUT;
        }
        const auto pollStart = std::chrono::steady_clock::now();
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_failure = std::string("cannot wait for reports: ") + std::strerror(errno);
            return End::Failed;
        }
        if (fds[1].revents & POLLIN) {
            return End::Stopped;
        }
        if (unplug && m_waiting.empty()) {
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - pollStart);
            graceLeftMs -= static_cast<int>(waited.count());
            if ((fds[0].revents & POLLOUT) || graceLeftMs <= 0) {
                return End::Unplugged;
            }
            continue;
        }
        if (fds[0].revents & POLLNVAL) {
            m_failure = "the device file is not open";
            return End::Failed;
        }
        if (fds[0].revents & POLLIN) {
            uint8_t data[sim::kReportDataSize + 1];
            const ssize_t n = ::read(m_fd, data, sizeof data);
            if (n == 0) {
                m_failure = "the host side closed the device file";
                return End::Failed;
            }
            if (n > 0) {
                Take(data, static_cast<size_t>(n), unplug);
            } else if (errno != EAGAIN && errno != EINTR && errno != ESHUTDOWN) {
                m_failure = std::string("cannot read a report: ") + std::strerror(errno);
                return End::Failed;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            m_failure = "the device file was closed";
            return End::Failed;
        }
        if (!SendDue(NowUs())) {
            return End::Failed;
        }
    }
}

}  // namespace quarnel::gadget
