// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Get Parameter and Set Parameter against the simulated tracker on full-speed USB timing
// (one report per 1 ms frame each way), in real time. A transaction cannot take less than
// the frame it is written in plus the frame its reply comes back in, so each command's
// bound is its transaction count x 2 ms; the "ratio" counter is the measured time over
// that bound, and "worst" the slowest run's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "device/command_areas.h"
#include "form/command_context.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"
#include "sim/sim_backend.h"
#include "sim/sim_state.h"
#include "sim/sim_tracker.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace quarnel {
namespace {

constexpr double kTransactionBoundSeconds = 0.002;

struct RealTimeRig {
    RealTimeRig() : tracker(sim::DemoState()), backend(nullptr, true) {
        backend.AddTracker(tracker);
        form.AddModeItems();
    }
    CommandContext Context() { return {DeviceLink{backend, backend.GetClock(), areas}, form, ui}; }

    sim::SimTracker tracker;
    sim::SimBackend backend;
    CommandAreas areas;
    test::MemoryForm form;
    test::RecordingUi ui;
    ParamState state;
};

using Command = void (*)(CommandContext&, ParamState&);

void RunCommand(benchmark::State& st, Command command, size_t transactions) {
    RealTimeRig rig;
    CommandContext ctx = rig.Context();
    GetParameter(ctx, rig.state);  // fills the form, so Set writes real values
    const double bound = static_cast<double>(transactions) * kTransactionBoundSeconds;
    double total = 0;
    double worst = 0;
    for (auto _ : st) {
        const uint64_t before = rig.tracker.CommandsTaken();
        const auto start = std::chrono::steady_clock::now();
        command(ctx, rig.state);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        st.SetIterationTime(took.count());
        total += took.count();
        worst = std::max(worst, took.count());
        if (rig.tracker.CommandsTaken() - before != transactions) {
            st.SkipWithError("the command did not run its full transaction sequence");
            break;
        }
        rig.tracker.ClearTranscript();
    }
    st.counters["ratio"] = total / (static_cast<double>(st.iterations()) * bound);
    st.counters["worst"] = worst / bound;
    st.counters["bound_ms"] = bound * 1000;
}

void BM_GetParameter(benchmark::State& st) {
    RunCommand(st, GetParameter, ReadTransactionCount());
}
void BM_SetParameter(benchmark::State& st) {
    RunCommand(st, SetParameter, WriteTransactionCount());
}

BENCHMARK(BM_GetParameter)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_SetParameter)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
