// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// One round trip through the production hidapi backend on a umockdev hidraw node, against
// the same round trip through the in-process simulated backend (real clock, no USB frame
// model) measured in the same run. Runs under umockdev-wrapper (the target
// bench_device_hidraw does that).
//
//   vs_in_process   hidapi round trip / in-process round trip
#include <benchmark/benchmark.h>
#include <umockdev.h>

#include <chrono>

#include "device/hid_cmd.h"
#include "device/hidapi_backend.h"
#include "device/hidraw_bed.h"
#include "device/hidraw_tracker.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "support/item_read.h"

namespace quarnel {
namespace {

using SteadyTime = std::chrono::steady_clock;

double Seconds(SteadyTime::duration d) {
    return std::chrono::duration<double>(d).count();
}

using test::PutItemRead;

constexpr int64_t kTrimEvery = 4096;

// Runs `n` transactions on a fresh object and returns the seconds per transaction.
template <typename Keep>
double TimeRoundTrips(DeviceLink link, sim::SimTracker& tracker, int64_t n, Keep keep) {
    CHidCmd cmd(link);
    if (cmd.m_io.Open() != 1) {
        return 0;
    }
    PutItemRead(link.areas, 8);
    const auto start = SteadyTime::now();
    for (int64_t i = 0; i < n; ++i) {
        keep(Transact(cmd, kReadPolicy));
        if ((i + 1) % kTrimEvery == 0) {
            tracker.ClearTranscript();
        }
    }
    return Seconds(SteadyTime::now() - start) / static_cast<double>(n);
}

void BM_RoundTripHidapiOnUmockdev(benchmark::State& state) {
    sim::SimTracker tracker;
    test::HidrawBed bed;
    if (!bed.InMockEnvironment()) {
        state.SkipWithError("run under umockdev-wrapper");
        return;
    }
    test::ServeTracker(bed, tracker);
    auto backend = MakeHidapiBackend();
    SteadyClock clock;
    CommandAreas areas;
    CHidCmd cmd(DeviceLink{*backend, clock, areas});
    if (cmd.m_io.Open() != 1) {
        state.SkipWithError("the tracker's node was not found");
        return;
    }
    PutItemRead(areas, 8);

    int64_t n = 0;
    int64_t missed = 0;
    const auto start = SteadyTime::now();
    for (auto _ : state) {
        missed += Transact(cmd, kReadPolicy) ? 0 : 1;
        if (++n % kTrimEvery == 0) {
            tracker.ClearTranscript();
        }
    }
    const double hidapi = Seconds(SteadyTime::now() - start) / static_cast<double>(n);

    sim::SimTracker inProcessTracker;
    sim::SimBackend inProcess(nullptr, false);
    inProcess.AddTracker(inProcessTracker);
    CommandAreas inProcessAreas;
    const double baseline =
        TimeRoundTrips(DeviceLink{inProcess, inProcess.GetClock(), inProcessAreas},
                       inProcessTracker, n, [](bool ok) { benchmark::DoNotOptimize(ok); });

    state.counters["vs_in_process"] = baseline > 0 ? hidapi / baseline : 0;
    state.counters["hidapi_us"] = hidapi * 1e6;
    state.counters["in_process_us"] = baseline * 1e6;
    state.counters["missed_replies"] = static_cast<double>(missed);
}
BENCHMARK(BM_RoundTripHidapiOnUmockdev)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
