// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_environment.h"
#include "cli/command_line.h"
#include "cli/device_run.h"
#include "cli/fleet_progress.h"

namespace quarnel::cli {

// What a command does with one tracker once its own arguments and files are checked: it
// talks to the tracker through `run`, prints what the command prints on `env.out` and
// `env.err` (a worker of --all has streams of its own) and returns the exit status, having
// reported a failure with Report.
using TrackerJob = std::function<int(DeviceRun& run, CliEnvironment& env)>;

// How a command behaves towards the choice of trackers.
struct JobRules {
    // With several trackers attached and none chosen, it refuses (set, default, erase,
    // update) instead of taking the first.
    bool changesTracker = false;
    // With --all, each worker first reads the IMEI and firmware version (info's read), for
    // the summary and the file names, when the command does not read them itself.
    bool identifyFirst = false;
    // Its progress, for --all: the window's progress bar it moves (log, update), or else
    // the number of commands it sends.
    int progressBar = 0;
    size_t commands = 0;
};

// One tracker's share of a command run on several.
struct TrackerOutcome {
    std::string path;
    std::optional<TrackerIdentity> identity;
    int status = 0;
    std::string failure;  // the failure's line; empty on success
    std::string out;      // what the command printed for this tracker
    std::string err;      // its warnings and details, without the failure's line
    uint32_t ms = 0;      // how long it took, on the trackers' clock
};

// Runs `job` on the tracker at `path`, on this thread, with streams and a DeviceRun of its
// own: what a worker of a run on several trackers does. With `rules.identifyFirst` the
// IMEI is read first. `progress` (optional) gets its way in `slot`, and its end.
TrackerOutcome RunOne(TrackerSide& side, const std::string& path, const JobRules& rules,
                      const TrackerJob& job, const CliEnvironment& parent, FleetProgress* progress,
                      size_t slot);

// Runs `job` on each of `paths` at once, one worker thread each with its own DeviceRun
// (its own transaction objects, areas and lock), and waits for all of them. What one
// tracker does never reaches another's exchange: a tracker that fails, stops answering or
// is unplugged ends its own worker only. `env` lends its time; `progress` (optional) gets
// each worker's way and end. The outcomes are in the order of `paths`.
std::vector<TrackerOutcome> RunOnEach(TrackerSide& side, const std::vector<std::string>& paths,
                                      const JobRules& rules, const TrackerJob& job,
                                      const CliEnvironment& env, FleetProgress* progress);

// Reads the IMEI and firmware version of each tracker (info's read), all at once. A tracker
// that cannot be opened or read gets a failure whose line says why.
std::vector<TrackerOutcome> IdentifyTrackers(TrackerSide& side,
                                             const std::vector<std::string>& paths,
                                             const CliEnvironment& env);

// One line per tracker, columns aligned: "PATH  IMEI  FIRMWARE", or "PATH  why it could not
// be read". Empty texts show as "-".
std::vector<std::string> TrackerLines(const std::vector<TrackerOutcome>& outcomes);

// "OK", or "failed (6): the tracker stopped answering: ...".
std::string ResultText(const TrackerOutcome& outcome);

// The table at the end of a run on several trackers: TRACKER, IMEI, TIME, RESULT, one row
// per tracker, the reason of each failure at the end of its row.
void PrintSummary(std::ostream& out, const std::vector<TrackerOutcome>& outcomes);

// Runs `job` on the tracker the command line chooses (StartDeviceRun), or with --all on
// every attached tracker at once: their progress, each tracker's own output prefixed with
// its path, the summary table, and status 0 only when every one succeeded (SomeFailed
// otherwise, NoTracker when none is attached).
int RunOnTrackers(const CommandLine& line, CliEnvironment& env, const JobRules& rules,
                  const TrackerJob& job);

}  // namespace quarnel::cli
