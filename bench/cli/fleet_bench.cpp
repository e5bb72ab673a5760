// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// quarnelctl set --all on several simulated trackers at once, against set on one.
//
// The trackers run on the real-time 1 ms USB frame model, each with its own endpoints, as
// trackers on a hub do: the work is parallel, so writing N trackers should take about as
// long as writing one. Each iteration writes one tracker with `set` and then N trackers
// with `set --all`, so both are measured in the same run and under the same load.
//
// Counters, ratios against that baseline:
//   vs_one_tracker   wall time of set --all on N trackers / wall time of set on one
//   vs_goal          vs_one_tracker / 1.15 (the goal for 8 trackers: at most 1)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/quarnelctl.h"
#include "cli/tracker_side.h"
#include "sim/sim_fleet.h"

namespace quarnel {
namespace {

using SteadyTime = std::chrono::steady_clock;

// quarnelctl on the trackers of `fleet`; its status.
int Run(sim::SimFleet& fleet, const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    cli::CliEnvironment env{out, err};
    env.openTracker = [&fleet](const cli::GlobalOptions&, std::string&) {
        return cli::MakeSimFleetView(fleet);
    };
    return cli::RunQuarnelctl(args, env);
}

void ClearTranscripts(sim::SimFleet& fleet) {
    for (size_t i = 0; i < fleet.Size(); ++i) {
        fleet.Tracker(i).ClearTranscript();
    }
}

void BM_SetAllVsSetOnOne(benchmark::State& state) {
    const auto trackers = static_cast<size_t>(state.range(0));
    sim::SimFleet one(sim::DemoFleet(1, false), true);
    sim::SimFleet many(sim::DemoFleet(trackers, false), true);
    const std::string profile = (std::filesystem::temp_directory_path() /
                                 ("quarnel-fleet-bench-" + std::to_string(::getpid()) + ".ini"))
                                    .string();
    if (Run(one, {"get", "-o", profile}) != 0) {
        state.SkipWithError("cannot read the profile");
        return;
    }
    double single = 0;
    double all = 0;
    for (auto _ : state) {
        const auto a = SteadyTime::now();
        const int singleStatus = Run(one, {"set", profile});
        const auto b = SteadyTime::now();
        const int allStatus = Run(many, {"set", "--all", profile});
        const auto c = SteadyTime::now();
        if (singleStatus != 0 || allStatus != 0) {
            state.SkipWithError("a set failed");
            break;
        }
        single += std::chrono::duration<double>(b - a).count();
        all += std::chrono::duration<double>(c - b).count();
        ClearTranscripts(one);
        ClearTranscripts(many);
    }
    std::filesystem::remove(profile);
    if (single > 0) {
        state.counters["vs_one_tracker"] = all / single;
        state.counters["vs_goal"] = all / single / 1.15;
        state.counters["one_tracker_ms"] = single * 1000 / static_cast<double>(state.iterations());
    }
}
BENCHMARK(BM_SetAllVsSetOnOne)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Iterations(8)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
