// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/sim_tracker.h"

namespace quarnel {

// quarnel-demo [--state FILE] [--transcript FILE] [--help]
struct DemoOptions {
    std::string statePath;
    std::string transcriptPath;
    bool help = false;  // -h, --help: print DemoHelp() and end
};

// The demo's options; nothing for a command line it does not understand.
std::optional<DemoOptions> ParseDemoOptions(const std::vector<std::string>& args);

// The help text, starting with the usage line (the manual page is made from it).
std::string DemoHelp();

// The simulated tracker the demo runs on: the demo state or the one the state file holds,
// and, with --transcript, every report exchanged appended to that file, one line each.
class DemoTracker {
public:
    // False, with the reason in `error`, when the state file or the transcript file cannot
    // be used; the tracker then keeps the demo state and writes no transcript.
    bool SetUp(const DemoOptions& options, std::string& error);
    ~DemoTracker();

    sim::SimTracker tracker{sim::DemoState()};

private:
    std::ofstream m_transcript;
    std::mutex m_transcriptMutex;
};

}  // namespace quarnel
