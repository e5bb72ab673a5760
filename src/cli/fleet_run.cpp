// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/fleet_run.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <sstream>
#include <thread>

#include "device/tracker_paths.h"
#include "form/control_ids.h"
#include "params/param_catalogue.h"

namespace quarnel::cli {

namespace {

// The lines of `text`, each without its line end.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

std::string Padded(std::string text, size_t width) {
    text.append(width > text.size() ? width - text.size() : 0, ' ');
    return text;
}

std::string Seconds(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", ms / 1000.0);
    return text;
}

}  // namespace

TrackerOutcome RunOne(TrackerSide& side, const std::string& path, const JobRules& rules,
                      const TrackerJob& job, const CliEnvironment& parent, FleetProgress* progress,
                      size_t slot) {
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment env{out, err};
    env.now = parent.now;
    env.worker = true;

    TrackerOutcome outcome;
    outcome.path = path;
    Clock& clock = side.TimeSource();
    const uint32_t start = clock.TickMs();
    int status = 0;
    try {
        DeviceRun run(side, path);
        if (progress != nullptr) {
            const size_t expected =
                rules.commands + (rules.identifyFirst ? ReadTransactionCount() : 0);
            if (rules.progressBar == 0 && expected > 0) {
                run.Watch().OnCommandWritten([progress, slot, expected](uint64_t written) {
                    progress->Show(slot, static_cast<int>(std::min<uint64_t>(written, expected) *
                                                          100 / expected));
                });
            } else if (rules.progressBar != 0) {
                const int bar = rules.progressBar;
                run.form.OnProgress([progress, slot, bar](int id, int position) {
                    if (id == bar && position > 0) {
                        progress->Show(slot, position);
                    }
                });
            }
        }
        std::optional<Failure> notIdentified;
        if (rules.identifyFirst) {
            notIdentified = run.Identify();
        }
        status = notIdentified ? Report(env, *notIdentified) : job(run, env);
        outcome.identity = run.Identity();
    } catch (const std::exception& e) {
        status =
            Report(env, {ExitStatus::Unexpected, std::string("unexpected error: ") + e.what()});
    } catch (...) {
        status = Report(env, {ExitStatus::Unexpected, "unexpected error"});
    }
    outcome.ms = static_cast<uint32_t>(clock.TickMs() - start);
    outcome.status = status;
    outcome.out = out.str();
    outcome.err = err.str();
    if (status != 0) {
        outcome.failure = env.lastFailure;
        // The failure's own line is the summary's; the rest of what was said stays.
        const std::string line = "quarnelctl: " + env.lastFailure + "\n";
        if (outcome.err.ends_with(line)) {
            outcome.err.resize(outcome.err.size() - line.size());
        }
    }
    if (progress != nullptr) {
        progress->Done(slot, status == 0 ? "OK" : "failed (" + std::to_string(status) + ")",
                       ResultText(outcome));
    }
    return outcome;
}

namespace {

// Each line of `text` on `stream`, after "PATH: ".
void Prefixed(std::ostream& stream, const std::string& path, const std::string& text) {
    for (const std::string& line : Lines(text)) {
        stream << path << ": " << line << "\n";
    }
}

int RunOnAll(const CommandLine& line, CliEnvironment& env, const JobRules& rules,
             const TrackerJob& job) {
    std::string error;
    std::unique_ptr<TrackerSide> side = env.openTracker(line.global, error);
    if (!side) {
        return Report(env, {ExitStatus::FileError, error});
    }
    const std::vector<std::string> paths = FindTrackerPaths(side->Backend());
    int status = 0;
    if (paths.empty()) {
        status = Report(env, {ExitStatus::NoTracker,
                              "USB CONNECT FAILURE: no tracker (USB 051a:511b) was found"});
    } else {
        std::vector<TrackerOutcome> outcomes;
        {
            FleetProgress progress(env.err, env.errIsTerminal, paths, rules.progressBar != 0);
            outcomes = RunOnEach(*side, paths, rules, job, env, &progress);
        }
        size_t failed = 0;
        for (const TrackerOutcome& o : outcomes) {
            Prefixed(env.out, o.path, o.out);
            Prefixed(env.err, o.path, o.err);
            failed += o.status != 0 ? 1 : 0;
        }
        env.err << std::flush;
        PrintSummary(env.out, outcomes);
        env.out << std::flush;
        if (!env.out) {
            status = Report(env, {ExitStatus::FileError, "cannot write to standard output"});
        } else if (failed > 0) {
            status = Report(env, {ExitStatus::SomeFailed, std::to_string(failed) + " of " +
                                                              std::to_string(outcomes.size()) +
                                                              " trackers failed"});
        }
    }
    if (!side->Finish(error)) {
        const int fileStatus = Report(env, {ExitStatus::FileError, error});
        status = status == 0 ? fileStatus : status;
    }
    return status;
}

}  // namespace

std::vector<TrackerOutcome> RunOnEach(TrackerSide& side, const std::vector<std::string>& paths,
                                      const JobRules& rules, const TrackerJob& job,
                                      const CliEnvironment& env, FleetProgress* progress) {
    std::vector<TrackerOutcome> outcomes(paths.size());
    // Every worker takes its part in the trackers' time before any starts, so simulated
    // time cannot run ahead of one that has not started yet.
    std::vector<std::unique_ptr<TrackerSide::TimeShare>> shares;
    for (size_t i = 0; i < paths.size(); ++i) {
        shares.push_back(side.TakePart());
    }
    std::vector<std::thread> workers;
    for (size_t i = 0; i < paths.size(); ++i) {
        workers.emplace_back([&, i, share = std::move(shares[i])]() mutable {
            outcomes[i] = RunOne(side, paths[i], rules, job, env, progress, i);
            share.reset();
        });
    }
    for (std::thread& w : workers) {
        w.join();
    }
    return outcomes;
}

std::vector<TrackerOutcome> IdentifyTrackers(TrackerSide& side,
                                             const std::vector<std::string>& paths,
                                             const CliEnvironment& env) {
    const TrackerJob identify = [](DeviceRun& run, CliEnvironment& workerEnv) {
        std::optional<Failure> failure = run.Identify();
        if (!failure) {
            return 0;
        }
        if (failure->status == ExitStatus::CannotOpenTracker) {
            failure->message = "cannot be opened for " + run.Watch().RefusedAccess() +
                               " (permissions; see \"Using a tracker without root\" in "
                               "docs/quarnelctl.md)";
        }
        return Report(workerEnv, *failure);
    };
    return RunOnEach(side, paths, JobRules{}, identify, env, nullptr);
}

std::vector<std::string> TrackerLines(const std::vector<TrackerOutcome>& outcomes) {
    size_t pathWidth = 0;
    size_t imeiWidth = 0;
    for (const TrackerOutcome& o : outcomes) {
        pathWidth = std::max(pathWidth, o.path.size());
        if (o.status == 0 && o.identity) {
            imeiWidth = std::max(imeiWidth, OrDash(o.identity->imei).size());
        }
    }
    std::vector<std::string> lines;
    for (const TrackerOutcome& o : outcomes) {
        std::string line = Padded(o.path, pathWidth) + "  ";
        if (o.status == 0 && o.identity) {
            line +=
                Padded(OrDash(o.identity->imei), imeiWidth) + "  " + OrDash(o.identity->firmware);
        } else {
            line += o.failure;
        }
        lines.push_back(line);
    }
    return lines;
}

std::string ResultText(const TrackerOutcome& outcome) {
    if (outcome.status == 0) {
        return "OK";
    }
    return "failed (" + std::to_string(outcome.status) + "): " + outcome.failure;
}

void PrintSummary(std::ostream& out, const std::vector<TrackerOutcome>& outcomes) {
    struct Row {
        std::string tracker, imei, time, result;
    };
    std::vector<Row> rows{{"TRACKER", "IMEI", "TIME", "RESULT"}};
    for (const TrackerOutcome& o : outcomes) {
        rows.push_back(
            {o.path, o.identity ? OrDash(o.identity->imei) : "-", Seconds(o.ms), ResultText(o)});
    }
    size_t tracker = 0;
    size_t imei = 0;
    size_t time = 0;
    for (const Row& r : rows) {
        tracker = std::max(tracker, r.tracker.size());
        imei = std::max(imei, r.imei.size());
        time = std::max(time, r.time.size());
    }
    for (const Row& r : rows) {
        out << Padded(r.tracker, tracker) << "  " << Padded(r.imei, imei) << "  "
            << std::string(time - r.time.size(), ' ') << r.time << "  " << r.result << "\n";
    }
}

int RunOnTrackers(const CommandLine& line, CliEnvironment& env, const JobRules& rules,
                  const TrackerJob& job) {
    if (line.choice.all) {
        return RunOnAll(line, env, rules, job);
    }
    int status = 0;
    std::unique_ptr<DeviceRun> run = StartDeviceRun(line, env, status, rules.changesTracker);
    if (!run) {
        return status;
    }
    return run->End(env, job(*run, env));
}

}  // namespace quarnel::cli
