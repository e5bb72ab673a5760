// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "device/clock.h"
#include "device/hid_backend.h"
#include "sim/sim_fleet.h"
#include "sim/sim_state.h"

namespace quarnel::cli {

inline constexpr size_t kMaxDemoTrackers = 64;

// The global options that choose where the trackers are.
struct GlobalOptions {
    bool demo = false;                                   // --demo [N]
    size_t demoTrackers = 1;                             // N
    std::optional<std::filesystem::path> stateFile;      // --state FILE
    std::optional<std::filesystem::path> saveStateFile;  // --save-state FILE
    // The demonstration trackers are plugged in one after another, not all at once: set by
    // the provisioning station, which waits for them.
    bool demoInTurn = false;

    bool Simulated() const { return demo || stateFile.has_value(); }
};

// Where a command's trackers are: the HID backend to find them through, and the clock that
// reply matching measures time with. Several threads may use one side at once, each with a
// tracker of its own (--all, the provisioning station).
class TrackerSide {
public:
    virtual ~TrackerSide() = default;
    virtual HidBackend& Backend() = 0;
    virtual Clock& TimeSource() = 0;
    // Called once the command has ended. False, with the reason, when what has to happen
    // then fails (saving the simulated trackers' state).
    virtual bool Finish(std::string& error) {
        (void)error;
        return true;
    }

    // A thread's part in the side's time while several threads talk to trackers at once;
    // held from before the thread starts until it ends. Simulated trackers share one
    // simulated time, which moves only while every such thread waits (sim::VirtualClock);
    // real trackers need nothing.
    class TimeShare {
    public:
        virtual ~TimeShare() = default;
    };
    virtual std::unique_ptr<TimeShare> TakePart() { return nullptr; }

    // Waits `ms` on the side's time: the real time, or the simulated time (the caller then
    // holds a TimeShare).
    virtual void Pause(uint32_t ms);

    // Whether trackers may still be plugged in or out: always for real ones; for simulated
    // ones, while their plug spans have something to come.
    virtual bool MorePlugEvents() { return true; }
};

// Trackers on USB, through hidapi, on the real clock.
std::unique_ptr<TrackerSide> MakeUsbTrackerSide();

// Simulated trackers, started from `fleet`. They run on a virtual clock with the 1 ms USB
// frame model: a command takes no longer than the computer needs, yet time moves one frame
// per report, so time-outs and the log's readiness limit behave as on real trackers (a
// fault's 2000 ms time-out passes at once). With `saveTo`, their state is saved there when
// the command has ended, in the form the fleet was loaded in.
std::unique_ptr<TrackerSide> MakeSimTrackerSide(sim::FleetSetup fleet,
                                                std::optional<std::filesystem::path> saveTo);
// One simulated tracker at "sim/tracker0".
std::unique_ptr<TrackerSide> MakeSimTrackerSide(sim::SimState state,
                                                std::optional<std::filesystem::path> saveTo);

// The simulated trackers of a fleet that the caller owns and keeps (tests, benchmarks).
std::unique_ptr<TrackerSide> MakeSimFleetView(sim::SimFleet& fleet);

// The trackers the options choose: USB, or the simulated ones (the demonstration trackers,
// or those of a state file). Nothing and the reason when the state file cannot be loaded.
std::unique_ptr<TrackerSide> OpenTrackerSide(const GlobalOptions& options, std::string& error);

}  // namespace quarnel::cli
