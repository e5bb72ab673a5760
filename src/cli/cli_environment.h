// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "cli/tracker_side.h"

namespace quarnel::cli {

// What a run of quarnelctl works with besides its arguments. main() hands in the real
// ones; tests hand in string streams, simulated trackers and a fixed time.
struct CliEnvironment {
    std::ostream& out;
    std::ostream& err;
    // Standard error is a terminal: progress is a bar redrawn in place, not lines.
    bool errIsTerminal = false;
    // Where the trackers the global options choose are; nothing and the reason when that
    // fails. Called only by the commands that talk to a tracker, once their own arguments
    // and files have been checked.
    std::function<std::unique_ptr<TrackerSide>(const GlobalOptions&, std::string& error)>
        openTracker = OpenTrackerSide;
    // The time a profile records as the moment it was read (UTC).
    std::function<std::time_t()> now = [] { return std::time(nullptr); };

    // The provisioning station runs until Ctrl+C: it calls catchInterrupt once it waits for
    // trackers, and then asks `interrupted` between its looks. Nothing ends it otherwise.
    std::function<void()> catchInterrupt = [] {};
    std::function<bool()> interrupted = [] { return false; };

    // This is one tracker's share of a command run on several (--all): `out` and `err` are
    // its own, shown after the run, and progress is the run's to show.
    bool worker = false;
    // The line of the last failure reported (Report), for the summary of several trackers.
    std::string lastFailure{};
};

}  // namespace quarnel::cli
