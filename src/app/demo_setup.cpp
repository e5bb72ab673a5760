// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/demo_setup.h"

namespace quarnel {

std::optional<DemoOptions> ParseDemoOptions(const std::vector<std::string>& args) {
    DemoOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "-h" || args[i] == "--help") {
            options.help = true;
        } else if (args[i] == "--state" && hasValue) {
            options.statePath = args[++i];
        } else if (args[i] == "--transcript" && hasValue) {
            options.transcriptPath = args[++i];
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::string DemoHelp() {
    return "Usage: quarnel-demo [--state FILE] [--transcript FILE]\n"
           "\n"
           "Starts the Quarnel window on a simulated GPS tracker instead of a tracker on USB:\n"
           "the same window and commands, on a tracker with a plausible configuration and a\n"
           "morning's drive in its GPS log, answering in real time as a tracker on the desk\n"
           "would. Nothing it does reaches a real tracker.\n"
           "\n"
           "Options:\n"
           "  --state FILE       start the tracker from a state file (configuration, GPS log,\n"
           "                     faults to show); keys it leaves out keep their factory values\n"
           "  --transcript FILE  append every report exchanged with the tracker to FILE, one\n"
           "                     line each\n"
           "  -h, --help         show this help\n"
           "\n"
           "Exit status:\n"
           "  0  the window was closed\n"
           "  1  the state file or the transcript file cannot be used\n"
           "  2  usage error: the command line is wrong\n";
}

bool DemoTracker::SetUp(const DemoOptions& options, std::string& error) {
    if (!options.statePath.empty()) {
        sim::SimState state;
        if (!sim::LoadSimState(options.statePath, state, error)) {
            return false;
        }
        tracker.SetState(std::move(state));
    }
    if (!options.transcriptPath.empty()) {
        m_transcript.open(options.transcriptPath, std::ios::app);
        if (!m_transcript) {
            error = "cannot open " + options.transcriptPath;
            return false;
        }
        tracker.SetTranscriptSink([this](const sim::TranscriptEntry& entry) {
            std::lock_guard lock(m_transcriptMutex);
            m_transcript << sim::TranscriptLine(entry) << '\n';
            m_transcript.flush();
        });
    }
    return true;
}

DemoTracker::~DemoTracker() {
    // The sink writes into this object's file; nothing may call it once that is gone.
    tracker.SetTranscriptSink(nullptr);
}

}  // namespace quarnel
