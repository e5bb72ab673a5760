#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "cli/tracker_side.h"

namespace quarnel::cli {

// What a run of quarnelctl works with besides its arguments. main() hands in the real
// ones; tests hand in string streams, a simulated tracker and a fixed time.
struct CliEnvironment {
    std::ostream& out;
    std::ostream& err;
    // Standard error is a terminal: progress is a bar redrawn in place, not lines.
    bool errIsTerminal = false;
    // The tracker the global options choose; nothing and the reason when that fails.
    // Called only by the commands that talk to a tracker, once their own arguments and
    // files have been checked.
    std::function<std::unique_ptr<TrackerSide>(const GlobalOptions&, std::string& error)>
        openTracker = OpenTrackerSide;
    // The time a profile records as the moment it was read.
    std::function<std::time_t()> now = [] { return std::time(nullptr); };
};

}  // namespace quarnel::cli
