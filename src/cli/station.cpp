// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The provisioning station: set --each PROFILE.
#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "cli/fleet_run.h"
#include "cli/provisioning_report.h"
#include "cli/write_profile.h"
#include "device/tracker_paths.h"
#include "os/files.h"

namespace quarnel::cli {

namespace {

// How often the station looks for trackers plugged in or out.
constexpr uint32_t kLookEveryMs = 200;

class Station {
public:
    Station(CliEnvironment& env, TrackerSide& side, const std::string& profilePath,
            const CheckedProfile& checked, ProvisioningReport* report)
        : m_env(env),
          m_side(side),
          m_profilePath(profilePath),
          m_checked(checked),
          m_report(report) {
        m_rules.identifyFirst = true;
    }

    ~Station() { Reap(true); }

    // Serves trackers until Ctrl+C, a record that cannot be written, or (simulated trackers)
    // nothing more to come; then waits for the trackers being written.
    void Serve() {
        m_env.catchInterrupt();
        Say("Waiting for trackers to write " + m_profilePath +
            " into: plug them in, one or several at a time. Ctrl+C ends.\n");
        std::unique_ptr<TrackerSide::TimeShare> share = m_side.TakePart();
        for (;;) {
            if (m_env.interrupted() || m_recordFailed.load()) {
                break;
            }
            Reap(false);
            const std::vector<std::string> present = FindTrackerPaths(m_side.Backend());
            // A tracker that was unplugged is new when it comes back.
            std::erase_if(m_served, [&](const std::string& p) {
                return std::find(present.begin(), present.end(), p) == present.end();
            });
            for (const std::string& p : present) {
                if (m_writing.count(p) == 0 && m_served.count(p) == 0) {
                    Start(p);
                }
            }
            const bool allServed = std::all_of(present.begin(), present.end(),
                                               [&](auto& p) { return m_served.count(p) != 0; });
            if (!m_side.MorePlugEvents() && m_writing.empty() && allServed) {
                break;  // simulated trackers that will never change again
            }
            m_side.Pause(kLookEveryMs);
        }
        share.reset();
        if (!m_writing.empty()) {
            Say("Finishing the trackers being written.\n");
        }
        Reap(true);
    }

    // The summary and the status.
    int End() {
        std::lock_guard lock(m_mutex);
        if (m_results.empty()) {
            m_env.out << "No tracker was written.\n";
        } else {
            PrintSummary(m_env.out, m_results);
        }
        m_env.out << std::flush;
        if (m_recordFailed.load()) {
            return Report(m_env, {ExitStatus::FileError,
                                  m_recordError + "; the station stopped, as it cannot keep its "
                                                  "record"});
        }
        const auto failed = std::count_if(m_results.begin(), m_results.end(),
                                          [](const TrackerOutcome& o) { return o.status != 0; });
        if (failed > 0) {
            return Report(m_env, {ExitStatus::SomeFailed, std::to_string(failed) + " of " +
                                                              std::to_string(m_results.size()) +
                                                              " trackers failed"});
        }
        return 0;
    }

private:
    struct Writing {
        std::thread worker;
        std::atomic<bool> done{false};
    };

    void Say(const std::string& text) {
        std::lock_guard lock(m_mutex);
        m_env.err << text << std::flush;
    }

    void Start(const std::string& path) {
        auto writing = std::make_unique<Writing>();
        Writing* w = writing.get();
        // Taken here, before the worker starts, so simulated time waits for it.
        std::unique_ptr<TrackerSide::TimeShare> share = m_side.TakePart();
        const TrackerJob job = [this](DeviceRun& run, CliEnvironment& env) {
            return WriteProfile(run, env, m_profilePath, m_checked);
        };
        w->worker = std::thread([this, path, w, job, share = std::move(share)]() mutable {
            TrackerOutcome outcome = RunOne(m_side, path, m_rules, job, m_env, nullptr, 0);
            Finished(std::move(outcome));
            // Done before its time share goes: once it has gone, simulated time may run on
            // at once, and the station must then see this tracker as written.
            w->done.store(true);
            share.reset();
        });
        m_writing.emplace(path, std::move(writing));
    }

    // Joins the workers that are done (all of them with `all`); the trackers they wrote
    // wait to be unplugged.
    void Reap(bool all) {
        for (auto at = m_writing.begin(); at != m_writing.end();) {
            if (!all && !at->second->done.load()) {
                ++at;
                continue;
            }
            at->second->worker.join();
            m_served.insert(at->first);
            at = m_writing.erase(at);
        }
    }

    // One tracker's line, its details and the bell; its row of the record.
    void Finished(TrackerOutcome outcome) {
        std::lock_guard lock(m_mutex);
        const TrackerIdentity identity = outcome.identity.value_or(TrackerIdentity{});
        const std::string who =
            identity.imei.empty() ? "unknown IMEI at " + outcome.path : identity.imei;
        std::istringstream details(outcome.err);
        for (std::string line; std::getline(details, line);) {
            m_env.err << who << ": " << line << "\n";
        }
        m_env.err << std::flush;
        m_env.out << who << "  " << ResultText(outcome) << "\n" << std::flush;
        if (m_env.errIsTerminal) {
            m_env.err << '\a' << std::flush;
        }
        if (m_report != nullptr && !m_recordFailed.load()) {
            std::string error;
            if (!m_report->Append({m_env.now(), identity.imei, identity.firmware, m_profilePath,
                                   m_checked.checksum, ResultText(outcome)},
                                  error)) {
                m_recordError = error;
                m_recordFailed.store(true);
            }
        }
        m_results.push_back(std::move(outcome));
    }

    CliEnvironment& m_env;
    TrackerSide& m_side;
    const std::string& m_profilePath;
    const CheckedProfile& m_checked;
    ProvisioningReport* m_report;
    JobRules m_rules;

    std::map<std::string, std::unique_ptr<Writing>> m_writing;  // by path; main thread only
    std::set<std::string> m_served;  // written, waiting to be unplugged; main thread only

    std::mutex m_mutex;  // the output, the results and the record
    std::vector<TrackerOutcome> m_results;
    std::atomic<bool> m_recordFailed{false};
    std::string m_recordError;
};

}  // namespace

int RunStation(const CommandLine& line, CliEnvironment& env, const std::string& path,
               const CheckedProfile& checked) {
    std::unique_ptr<ProvisioningReport> report;
    std::string error;
    if (line.report) {
        report = std::make_unique<ProvisioningReport>();
        if (!report->Open(os::PathFromUtf8(*line.report), error)) {
            return Report(env, {ExitStatus::FileError, error});
        }
    }
    // Simulated demonstration trackers arrive one after another, as at a real station.
    GlobalOptions global = line.global;
    global.demoInTurn = true;
    std::unique_ptr<TrackerSide> side = env.openTracker(global, error);
    if (!side) {
        return Report(env, {ExitStatus::FileError, error});
    }
    int status = 0;
    {
        Station station(env, *side, path, checked, report.get());
        station.Serve();
        status = station.End();
    }
    if (!side->Finish(error)) {
        const int fileStatus = Report(env, {ExitStatus::FileError, error});
        status = status == 0 ? fileStatus : status;
    }
    return status;
}

}  // namespace quarnel::cli
