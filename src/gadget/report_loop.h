// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "sim/sim_tracker.h"

namespace quarnel::gadget {

// Serves a simulated tracker on the device side of a HID function (/dev/hidgN): each
// output report the host sends arrives as one read of 64 data bytes, goes to the tracker
// in the host's 65-byte layout (report-ID byte 0 first), and each report the tracker
// answers with goes back as one write of its data bytes, when its delay has passed.
//
// The loop owns no file: it polls `fd`, which it switches to non-blocking mode, and a
// stop event of its own. A device port that has no host reading it takes one input report
// and then no more; the answers waiting meanwhile are kept, at most kMaxWaitingReports of
// them (the oldest is dropped), as a device's buffer would.
class ReportLoop {
public:
    static constexpr size_t kMaxWaitingReports = 64;

    ReportLoop(sim::SimTracker& tracker, int fd);
    ~ReportLoop();
    ReportLoop(const ReportLoop&) = delete;
    ReportLoop& operator=(const ReportLoop&) = delete;

    enum class End {
        Stopped,    // Stop() was called
        Unplugged,  // the tracker's state says it is unplugged now (its answers were sent)
        Failed,     // the device file failed or was closed; FailureReason() says how
    };
    // Serves until one of the ends above, on the calling thread.
    End Run();
    // Ends Run soon. Safe from any thread and from a signal handler.
    void Stop();

    std::string FailureReason() const { return m_failure; }
    uint64_t ReportsDropped() const { return m_dropped.load(); }
    uint64_t ReportsTaken() const { return m_taken.load(); }

private:
    struct Waiting {
        uint64_t dueUs;
        std::vector<uint8_t> data;  // without the report-ID byte
    };
    uint64_t NowUs() const;
    void Take(const uint8_t* data, size_t n, bool& unplug);
    bool SendDue(uint64_t nowUs);

    sim::SimTracker& m_tracker;
    int m_fd;
    int m_stopEvent;
    std::deque<Waiting> m_waiting;  // by due time; equal times keep their order
    std::string m_failure;
    std::atomic<uint64_t> m_dropped{0};
    std::atomic<uint64_t> m_taken{0};
};

}  // namespace quarnel::gadget
