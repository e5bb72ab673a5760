// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/demo_setup.h"

namespace quarnel {

std::optional<DemoOptions> ParseDemoOptions(const std::vector<std::string>& args) {
    DemoOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--state" && hasValue) {
            options.statePath = args[++i];
        } else if (args[i] == "--transcript" && hasValue) {
            options.transcriptPath = args[++i];
        } else {
            return std::nullopt;
        }
    }
    return options;
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
