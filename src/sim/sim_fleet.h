// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/clock.h"
#include "sim/sim_backend.h"
#include "sim/sim_state.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"

namespace quarnel::sim {

// A stretch of simulated time during which a tracker is plugged in: from `atMs` until
// `untilMs` (for ever when there is none).
struct PlugSpan {
    uint64_t atMs = 0;
    std::optional<uint64_t> untilMs;

    friend bool operator==(const PlugSpan&, const PlugSpan&) = default;
};

// One tracker of a simulated fleet: where it is attached, what it holds and does, and when
// it is plugged in. No spans: plugged in from the start, for ever.
struct FleetTracker {
    std::string path;
    SimState state;
    std::vector<PlugSpan> plugged;  // in order, none overlapping
};

inline constexpr size_t kMaxFleetTrackers = 64;

struct FleetSetup {
    std::vector<FleetTracker> trackers;
    // Loaded from a state file of one tracker, and saved as one again.
    bool singleTracker = false;
};

// The path of the `index`-th simulated tracker: "sim/tracker0", "sim/tracker1", ...
std::string FleetPath(size_t index);

// The IMEI of the `index`-th demonstration tracker: the demonstration tracker's own for the
// first, then the next serial numbers of the same type, each with its check digit.
std::string DemoImei(size_t index);

// `count` demonstration trackers (DemoState, each with its own IMEI) at FleetPath(0), ...
// With `inTurn` they are plugged in one after another, as on a provisioning station with one
// cable: tracker k from 1 s + k x 2 s for 3 s of simulated time. Otherwise all are plugged in
// from the start.
FleetSetup DemoFleet(size_t count, bool inTurn);

// A state file: either one tracker's state, or {"trackers": [...]} with one tracker's state
// per entry and its "path" and "plugged" spans (docs/simulated-tracker.md). `fleet` is
// replaced only when the whole file is valid.
bool LoadSimFleet(const std::filesystem::path& path, FleetSetup& fleet, std::string& error);
// Saves the fleet in the form it was loaded in: one tracker's state, or the "trackers" list.
bool SaveSimFleet(const std::filesystem::path& path, const FleetSetup& fleet, std::string& error);

// Several simulated trackers behind one backend, each at its own path, with its own
// endpoints and 1 ms frames, on one clock: a virtual clock shared by every thread that
// talks to them (see VirtualClock), or, for benchmarks, the real clock. The plug spans are
// timers of the virtual clock; on the real clock every tracker stays plugged in.
class SimFleet {
public:
    explicit SimFleet(FleetSetup setup, bool realTime = false);
    ~SimFleet();
    SimFleet(const SimFleet&) = delete;
    SimFleet& operator=(const SimFleet&) = delete;

    SimBackend& Backend() { return *m_backend; }
    Clock& GetClock() { return m_backend->GetClock(); }
    VirtualClock* Virtual() { return m_virtual.get(); }

    size_t Size() const { return m_trackers.size(); }
    SimTracker& Tracker(size_t index) { return *m_trackers.at(index); }
    const std::string& Path(size_t index) const { return m_setup.trackers.at(index).path; }

    // The fleet as it stands now (each tracker's current state), to be saved.
    FleetSetup Current();
    // Whether a tracker is still to be plugged in or out.
    bool PlugEventsPending();

private:
    FleetSetup m_setup;
    std::unique_ptr<VirtualClock> m_virtual;
    std::vector<std::unique_ptr<SimTracker>> m_trackers;
    std::unique_ptr<SimBackend> m_backend;
};

}  // namespace quarnel::sim
