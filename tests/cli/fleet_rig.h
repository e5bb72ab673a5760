// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/quarnelctl.h"
#include "cli/tracker_side.h"
#include "sim/sim_fleet.h"
#include "sim/sim_state.h"

namespace quarnel::test {

// The states of a fleet, at sim/tracker0, sim/tracker1, ..., plugged in for ever.
inline sim::FleetSetup Fleet(std::vector<sim::SimState> states) {
    sim::FleetSetup fleet;
    for (size_t i = 0; i < states.size(); ++i) {
        fleet.trackers.push_back(sim::FleetTracker{sim::FleetPath(i), std::move(states[i]), {}});
    }
    return fleet;
}

// quarnelctl run in-process against a simulated fleet on its shared virtual clock (with
// the 1 ms frame model, as --demo N runs it). The trackers keep their state between runs.
struct FleetRig {
    explicit FleetRig(sim::FleetSetup setup) : fleet(std::move(setup)) {}

    struct Result {
        int status;
        std::string out;
        std::string err;
    };

    Result Run(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        cli::CliEnvironment env{out, err};
        env.errIsTerminal = terminal;
        env.openTracker = [this](const cli::GlobalOptions&, std::string&) {
            ++sidesOpened;
            return cli::MakeSimFleetView(fleet);
        };
        env.now = [this] { return now; };
        env.catchInterrupt = [this] { ++interruptsCaught; };
        env.interrupted = [this] { return interrupted(); };
        const int status = cli::RunQuarnelctl(args, env);
        return {status, out.str(), err.str()};
    }

    uint64_t NowMs() { return fleet.Virtual()->NowUs() / 1000; }

    sim::SimFleet fleet;
    std::time_t now = 1717243200;  // 2024-06-01T12:00:00Z
    bool terminal = false;
    // Ctrl+C, as the provisioning station sees it between its looks for trackers.
    std::function<bool()> interrupted = [] { return false; };
    std::atomic<int> interruptsCaught{0};
    int sidesOpened = 0;
};

// What went over the wire of one tracker, without the times: direction and bytes.
inline std::vector<std::pair<char, std::vector<uint8_t>>> Exchange(sim::SimTracker& tracker) {
    std::vector<std::pair<char, std::vector<uint8_t>>> out;
    for (const sim::TranscriptEntry& e : tracker.Transcript()) {
        out.emplace_back(e.direction, e.bytes);
    }
    return out;
}

// When each report went, in simulated microseconds.
inline std::vector<uint64_t> Times(sim::SimTracker& tracker) {
    std::vector<uint64_t> out;
    for (const sim::TranscriptEntry& e : tracker.Transcript()) {
        out.push_back(e.timeUs);
    }
    return out;
}

}  // namespace quarnel::test
