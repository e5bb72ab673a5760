// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <algorithm>

#include "cli/commands.h"
#include "cli/device_run.h"
#include "cli/fleet_run.h"
#include "device/tracker_paths.h"

namespace quarnel::cli {

int RunList(const CommandLine& line, CliEnvironment& env) {
    std::string error;
    std::unique_ptr<TrackerSide> side = env.openTracker(line.global, error);
    if (!side) {
        return Report(env, {ExitStatus::FileError, error});
    }
    const std::vector<std::string> paths = FindTrackerPaths(side->Backend());
    int status = 0;
    if (paths.empty()) {
        status = Report(env, {ExitStatus::NoTracker, "no tracker (USB 051a:511b) is attached"});
    } else {
        const std::vector<TrackerOutcome> outcomes = IdentifyTrackers(*side, paths, env);
        for (const std::string& l : TrackerLines(outcomes)) {
            env.out << l << "\n";
        }
        env.out << std::flush;
        const auto failed = std::count_if(outcomes.begin(), outcomes.end(),
                                          [](const TrackerOutcome& o) { return o.status != 0; });
        if (!env.out) {
            status = Report(env, {ExitStatus::FileError, "cannot write to standard output"});
        } else if (failed > 0) {
            status = Report(env, {ExitStatus::SomeFailed, std::to_string(failed) + " of " +
                                                              std::to_string(paths.size()) +
                                                              " trackers could not be read"});
        }
    }
    if (!side->Finish(error)) {
        const int fileStatus = Report(env, {ExitStatus::FileError, error});
        status = status == 0 ? fileStatus : status;
    }
    return status;
}

}  // namespace quarnel::cli
