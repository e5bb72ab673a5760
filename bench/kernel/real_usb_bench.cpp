// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// One transaction and Get Parameter through the real kernel's USB stack (the simulated
// tracker as a USB gadget on dummy_hcd, reached through usbhid and hidraw by the
// production hidapi backend), against the same work on the same tracker model in-process,
// measured in the same run. Software emulation makes the real stack's times noisy: run
// with repetitions and read the median and the spread.
//
//   vs_in_process    real stack / in-process, real clock, replies at once
//   vs_frame_model   real stack / in-process on the 1 ms USB frame model
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "device/hid_cmd.h"
#include "device/hidapi_backend.h"
#include "form/command_context.h"
#include "kernel/gadget_host.h"
#include "params/param_catalogue.h"
#include "params/param_commands.h"
#include "sim/sim_backend.h"
#include "sim/sim_state.h"
#include "sim/sim_tracker.h"
#include "support/item_read.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace quarnel {
namespace {

using SteadyTime = std::chrono::steady_clock;

double SecondsSince(SteadyTime::time_point start) {
    return std::chrono::duration<double>(SteadyTime::now() - start).count();
}

using test::PutItemRead;

// The transcript would grow with every report; the benchmarks do not read it.
constexpr int64_t kTrimEvery = 1024;

// One gadget tracker for the whole run: each bind costs the host a second or two.
struct Gadget {
    sim::SimTracker tracker{sim::DemoState()};
    test::GadgetHost host{tracker};
    std::string error;
    bool plugged = false;

    static Gadget* Get(benchmark::State& state) {
        if (const char* why = test::GadgetHost::SkipReason()) {
            state.SkipWithError(why);
            return nullptr;
        }
        static Gadget gadget;
        if (!gadget.plugged && gadget.error.empty()) {
            gadget.plugged = gadget.host.Plug(gadget.error);
        }
        if (!gadget.plugged) {
            state.SkipWithError(gadget.error.c_str());
            return nullptr;
        }
        return &gadget;
    }
};

// Seconds per transaction for `n` item reads over `link`; -1 when one failed.
double TimeTransactions(DeviceLink link, sim::SimTracker& tracker, int64_t n) {
    CHidCmd cmd(link);
    if (cmd.m_io.Open() != 1) {
        return -1;
    }
    PutItemRead(link.areas, 8);
    const auto start = SteadyTime::now();
    for (int64_t i = 0; i < n; ++i) {
        if (!Transact(cmd, kReadPolicy)) {
            return -1;
        }
        if ((i + 1) % kTrimEvery == 0) {
            tracker.ClearTranscript();
        }
    }
    return SecondsSince(start) / static_cast<double>(n);
}

// What `timed` measures (a time in seconds) for the same model in-process, replies at once
// or on 1 ms frames.
template <typename Timed>
double InProcess(bool usbFrames, Timed timed) {
    sim::SimTracker tracker{sim::DemoState()};
    sim::SimBackend backend(nullptr, usbFrames);
    backend.AddTracker(tracker);
    CommandAreas areas;
    return timed(DeviceLink{backend, backend.GetClock(), areas}, tracker);
}

void BM_TransactionOnRealUsb(benchmark::State& state) {
    Gadget* gadget = Gadget::Get(state);
    if (gadget == nullptr) {
        return;
    }
    auto backend = MakeHidapiBackend();
    SteadyClock clock;
    CommandAreas areas;
    CHidCmd cmd(DeviceLink{*backend, clock, areas});
    if (cmd.m_io.Open() != 1) {
        state.SkipWithError("the gadget tracker's hidraw node did not open");
        return;
    }
    PutItemRead(areas, 8);
    int64_t n = 0;
    const auto start = SteadyTime::now();
    for (auto _ : state) {
        if (!Transact(cmd, kReadPolicy)) {
            state.SkipWithError("a transaction on the real stack failed");
            return;
        }
        if (++n % kTrimEvery == 0) {
            gadget->tracker.ClearTranscript();
        }
    }
    const double real = SecondsSince(start) / static_cast<double>(n);
    const double inProcess = InProcess(false, [n](DeviceLink link, sim::SimTracker& tracker) {
        return TimeTransactions(link, tracker, n);
    });
    const double frames = InProcess(true, [n](DeviceLink link, sim::SimTracker& tracker) {
        return TimeTransactions(link, tracker, std::min<int64_t>(n, 500));
    });
    state.counters["real_us"] = real * 1e6;
    state.counters["vs_in_process"] = inProcess > 0 ? real / inProcess : 0;
    state.counters["vs_frame_model"] = frames > 0 ? real / frames : 0;
}
BENCHMARK(BM_TransactionOnRealUsb)->UseRealTime()->MinTime(1.0)->Repetitions(5);

struct CommandRig {
    explicit CommandRig(DeviceLink deviceLink) : link(deviceLink) { form.AddModeItems(); }
    CommandContext Context() { return {link, form, ui}; }

    DeviceLink link;
    test::MemoryForm form;
    test::RecordingUi ui;
    ParamState params;
};

// Seconds for one Get Parameter over `link`; -1 when it did not run every read.
double TimeGetParameter(DeviceLink link, sim::SimTracker& tracker) {
    CommandRig rig(link);
    CommandContext ctx = rig.Context();
    const uint64_t before = tracker.CommandsTaken();
    const auto start = SteadyTime::now();
    GetParameter(ctx, rig.params);
    const double took = SecondsSince(start);
    tracker.ClearTranscript();
    return tracker.CommandsTaken() - before == ReadTransactionCount() ? took : -1;
}

void BM_GetParameterOnRealUsb(benchmark::State& state) {
    Gadget* gadget = Gadget::Get(state);
    if (gadget == nullptr) {
        return;
    }
    auto backend = MakeHidapiBackend();
    SteadyClock clock;
    CommandAreas areas;
    double real = 0;
    double inProcess = 0;
    double frames = 0;
    for (auto _ : state) {
        const double took = TimeGetParameter(DeviceLink{*backend, clock, areas}, gadget->tracker);
        if (took < 0) {
            state.SkipWithError("Get Parameter on the real stack did not run every read");
            return;
        }
        state.SetIterationTime(took);
        real += took;
        inProcess += InProcess(false, TimeGetParameter);
        frames += InProcess(true, TimeGetParameter);
    }
    state.counters["vs_in_process"] = inProcess > 0 ? real / inProcess : 0;
    state.counters["vs_frame_model"] = frames > 0 ? real / frames : 0;
}
BENCHMARK(BM_GetParameterOnRealUsb)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(5);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
