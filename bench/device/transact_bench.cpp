// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Host cost of one transaction on the simulated tracker.
//
// Counters are ratios against a goal or a baseline measured in the same run:
//   vs_2us_goal      host overhead of one Transact against a zero-latency tracker, / 2 us
//   vs_tracker_only  the same, / the tracker's own share (SimTracker::Take alone)
//   vs_2ms_bound     one transaction on the 1 ms USB frame model in real time, / 2 ms
#include <benchmark/benchmark.h>

#include <chrono>

#include "device/hid_cmd.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"
#include "support/item_read.h"

namespace quarnel {
namespace {

using SteadyTime = std::chrono::steady_clock;

double Seconds(SteadyTime::duration d) {
    return std::chrono::duration<double>(d).count();
}

using test::PutItemRead;

// The transcript grows with every report; trimming it now and then keeps memory flat at a
// cost spread thinly over the iterations.
constexpr int64_t kTrimEvery = 4096;

void BM_TransactZeroLatency(benchmark::State& state) {
    sim::VirtualClock clock;
    sim::SimTracker tracker;
    sim::SimBackend backend(&clock, false);
    backend.AddTracker(tracker);
    CommandAreas areas;
    CHidCmd cmd(DeviceLink{backend, clock, areas});
    if (cmd.m_io.Open() != 1) {
        state.SkipWithError("no tracker");
        return;
    }
    PutItemRead(areas, 8);

    int64_t n = 0;
    const auto start = SteadyTime::now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Transact(cmd, kReadPolicy));
        if (++n % kTrimEvery == 0) {
            tracker.ClearTranscript();
        }
    }
    const double transact = Seconds(SteadyTime::now() - start) / static_cast<double>(n);

    // Baseline: what the simulated tracker itself spends on the same command.
    uint8_t report[kReportSize] = {0, 19, 62};
    std::copy_n(areas.payload.begin(), kPayloadOnWire, report + 3);
    const auto baselineStart = SteadyTime::now();
    for (int64_t i = 0; i < n; ++i) {
        report[1] = static_cast<uint8_t>(i & 0x7F);
        benchmark::DoNotOptimize(tracker.Take(report, kReportSize, 0));
        if ((i + 1) % kTrimEvery == 0) {
            tracker.ClearTranscript();
        }
    }
    const double trackerOnly = Seconds(SteadyTime::now() - baselineStart) / static_cast<double>(n);

    state.counters["vs_2us_goal"] = transact / 2e-6;
    state.counters["vs_tracker_only"] = transact / trackerOnly;
    state.counters["host_ns"] = (transact - trackerOnly) * 1e9;
}
BENCHMARK(BM_TransactZeroLatency);

void BM_TransactOnUsbFramesRealTime(benchmark::State& state) {
    sim::SimTracker tracker;
    sim::SimBackend backend(nullptr, true);
    backend.AddTracker(tracker);
    CommandAreas areas;
    CHidCmd cmd(DeviceLink{backend, backend.GetClock(), areas});
    if (cmd.m_io.Open() != 1) {
        state.SkipWithError("no tracker");
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
    const double each = Seconds(SteadyTime::now() - start) / static_cast<double>(n);
    state.counters["vs_2ms_bound"] = each / 2e-3;
    state.counters["missed_replies"] = static_cast<double>(missed);
}
BENCHMARK(BM_TransactOnUsbFramesRealTime)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
