// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The log download against the simulated tracker's real-time model (one report per 1 ms
// USB frame each way), writing its CSV to a temporary file. The tracker alone needs 2 ms
// per transaction, so the bound is 2 ms for the count plus 2 ms per record; the ratio to
// it shows what the host adds (goal: at most 1.02).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "device/command_areas.h"
#include "gpslog/log_tasks.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "sim/virtual_clock.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace quarnel {
namespace {

sim::SimState LogOf(int records) {
    sim::SimState state = sim::FactoryState();
    for (int i = 0; i < records; ++i) {
        sim::LogFix fix;
        fix.year = 2014;
        fix.month = 2;
        fix.day = 7 + i / 86400;
        fix.hour = i / 3600 % 24;
        fix.minute = i / 60 % 60;
        fix.second = i % 60;
        fix.latitude = 22.63f + static_cast<float>(i) * 1e-5f;
        fix.longitude = 120.3f;
        fix.altitude = 12.5f;
        fix.course = 90;
        fix.speed = 3.2f;
        state.log.push_back(sim::EncodeLogRecord(fix));
    }
    return state;
}

void BM_DownloadGpsLog(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const auto file = std::filesystem::temp_directory_path() /
                      ("quarnel-bench-log-" + std::to_string(::getpid()) + ".csv");
    const double boundSeconds = 0.002 * (records + 1);
    double seconds = 0;
    int runs = 0;

    for (auto _ : state) {
        state.PauseTiming();
        sim::SimTracker tracker(LogOf(records));
        sim::SimBackend backend(nullptr, /*usbFrames=*/true);
        backend.AddTracker(tracker);
        CommandAreas areas;
        test::MemoryForm form;
        test::RecordingUi ui;
        CLangTable table;
        LogTasks tasks(DeviceLink{backend, backend.GetClock(), areas}, form, form, ui, table);
        ui.QueueDialogAnswer(file);
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        tasks.DownloadGpsLog();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;

        if (!ui.Messages().empty() || tracker.CommandsTaken() != uint64_t(records) + 1) {
            state.SkipWithError("the download did not fetch the whole log");
        }
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    state.counters["bound_s"] = boundSeconds;
    state.counters["ratio_to_bound"] = seconds / runs / boundSeconds;
    state.counters["records"] = records;
}

// The same download with the tracker answering at once on a virtual clock: what the host
// and the model cost per record, without any USB frames to wait for.
void BM_DownloadGpsLogWithoutFrames(benchmark::State& state) {
    const int records = static_cast<int>(state.range(0));
    const auto file = std::filesystem::temp_directory_path() /
                      ("quarnel-bench-log-" + std::to_string(::getpid()) + ".csv");
    const sim::SimState log = LogOf(records);
    for (auto _ : state) {
        state.PauseTiming();
        sim::VirtualClock clock;
        sim::SimTracker tracker(log);
        sim::SimBackend backend(&clock, /*usbFrames=*/false);
        backend.AddTracker(tracker);
        CommandAreas areas;
        test::MemoryForm form;
        test::RecordingUi ui;
        CLangTable table;
        LogTasks tasks(DeviceLink{backend, clock, areas}, form, form, ui, table);
        ui.QueueDialogAnswer(file);
        state.ResumeTiming();
        tasks.DownloadGpsLog();
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    state.SetItemsProcessed(state.iterations() * records);
}

BENCHMARK(BM_DownloadGpsLogWithoutFrames)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownloadGpsLog)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
