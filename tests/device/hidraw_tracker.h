// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <string>

#include "device/hid_io.h"
#include "device/hidraw_bed.h"
#include "sim/sim_tracker.h"

namespace quarnel::test {

// Adds a tracker's hidraw node to `bed`, served by the simulated tracker `tracker` (which
// must outlive the bed). Returns the node's path.
inline std::string ServeTracker(HidrawBed& bed, sim::SimTracker& tracker,
                                uint16_t productId = kTrackerProductId) {
    return bed.AddDevice(kTrackerVendorId, productId, [&tracker](const uint8_t* report, size_t n) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        const auto nowUs = static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::microseconds>(now).count());
        sim::SimTracker::Outcome outcome = tracker.Take(report, n, nowUs);
        HidrawAnswer answer;
        answer.accepted = outcome.accepted;
        for (sim::SimTracker::Emission& e : outcome.reports) {
            answer.reports.push_back({std::move(e.report), e.delayMs});
        }
        return answer;
    });
}

}  // namespace quarnel::test
