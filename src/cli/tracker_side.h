#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "device/clock.h"
#include "device/hid_backend.h"
#include "sim/sim_state.h"

namespace quarnel::cli {

// The global options that choose the tracker.
struct GlobalOptions {
    bool demo = false;                                   // --demo
    std::optional<std::filesystem::path> stateFile;      // --state FILE
    std::optional<std::filesystem::path> saveStateFile;  // --save-state FILE

    bool Simulated() const { return demo || stateFile.has_value(); }
};

// Where a command's tracker is: the HID backend to find it through, and the clock that
// reply matching measures time with.
class TrackerSide {
public:
    virtual ~TrackerSide() = default;
    virtual HidBackend& Backend() = 0;
    virtual Clock& TimeSource() = 0;
    // Called once the command has ended. False, with the reason, when what has to happen
    // then fails (saving the simulated tracker's state).
    virtual bool Finish(std::string& error) {
        (void)error;
        return true;
    }
};

// Trackers on USB, through hidapi, on the real clock.
std::unique_ptr<TrackerSide> MakeUsbTrackerSide();

// The simulated tracker, started from `state`. It runs on a virtual clock with the 1 ms
// USB frame model: a command takes no longer than the computer needs, yet time moves one
// frame per report, so time-outs and the log's readiness limit behave as on a real
// tracker (a fault's 2000 ms time-out passes at once). With `saveTo`, its state is saved
// there when the command has ended.
std::unique_ptr<TrackerSide> MakeSimTrackerSide(sim::SimState state,
                                                std::optional<std::filesystem::path> saveTo);

// The tracker the options choose: USB, or the simulated one with the demo state or the
// state file. Nothing and the reason when the state file cannot be loaded.
std::unique_ptr<TrackerSide> OpenTrackerSide(const GlobalOptions& options, std::string& error);

}  // namespace quarnel::cli
