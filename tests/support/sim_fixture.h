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
    std::vector<std::vector<uint8_t>> SentPayloads() {
        std::vector<std::vector<uint8_t>> out;
        for (const sim::TranscriptEntry& e : tracker.Transcript()) {
            if (e.direction == '>') {
                out.emplace_back(e.bytes.begin() + 3, e.bytes.end());
            }
        }
        return out;
    }
    // Sequence numbers (byte 1) of the commands the host sent, in order.
    std::vector<int> SentSequenceNumbers() {
        std::vector<int> out;
        for (const sim::TranscriptEntry& e : tracker.Transcript()) {
            if (e.direction == '>') {
                out.push_back(e.bytes[1]);
            }
        }
        return out;
    }
    uint64_t NowMs() const { return clock.NowUs() / 1000; }

    sim::VirtualClock clock;
    sim::SimTracker tracker;
    sim::SimBackend backend;
    CommandAreas areas;
    MemoryForm form;
    RecordingUi ui;
};

}  // namespace quarnel::test
