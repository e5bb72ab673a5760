// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/command_areas.h"
#include "device/device_link.h"
#include "form/command_context.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace quarnel::test {

// The command reports the host sent to `tracker`, in order, as they went on the wire.
inline std::vector<std::vector<uint8_t>> SentReports(sim::SimTracker& tracker) {
    std::vector<std::vector<uint8_t>> out;
    for (const sim::TranscriptEntry& e : tracker.Transcript()) {
        if (e.direction == '>') {
            out.push_back(e.bytes);
        }
    }
    return out;
}

// Payload bytes 0-61 of each command the host sent.
inline std::vector<std::vector<uint8_t>> SentPayloads(sim::SimTracker& tracker) {
    std::vector<std::vector<uint8_t>> out;
    for (const std::vector<uint8_t>& report : SentReports(tracker)) {
        out.emplace_back(report.begin() + 3, report.end());
    }
    return out;
}

// Sequence number (byte 1) of each command the host sent.
inline std::vector<int> SentSequenceNumbers(sim::SimTracker& tracker) {
    std::vector<int> out;
    for (const std::vector<uint8_t>& report : SentReports(tracker)) {
        out.push_back(report.at(1));
    }
    return out;
}

// One simulated tracker on a virtual clock, an in-memory form and recording UI services:
// everything a command needs, with nothing real to wait for.
struct SimRig {
    explicit SimRig(sim::SimState state = sim::FactoryState(), bool usbFrames = false)
        : tracker(std::move(state)), backend(&clock, usbFrames) {
        backend.AddTracker(tracker);
    }

    DeviceLink Link() { return DeviceLink{backend, clock, areas}; }
    CommandContext Context() { return CommandContext{Link(), form, ui}; }

    // The commands the host sent, in order (payload bytes 0-61 of each).
    std::vector<std::vector<uint8_t>> SentPayloads() { return test::SentPayloads(tracker); }
    // Sequence numbers (byte 1) of the commands the host sent, in order.
    std::vector<int> SentSequenceNumbers() { return test::SentSequenceNumbers(tracker); }
    uint64_t NowMs() const { return clock.NowUs() / 1000; }

    sim::VirtualClock clock;
    sim::SimTracker tracker;
    sim::SimBackend backend;
    CommandAreas areas;
    MemoryForm form;
    RecordingUi ui;
};

}  // namespace quarnel::test
