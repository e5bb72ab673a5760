// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up of the main form to shown, against a plain QDialog carrying the same controls
// built the same way, both offscreen and each in a fresh process, alternating within
// every iteration so that whatever else the machine does weighs on both alike.
// Counters: time_ratio (goal at most 1.5) and memory_ratio of the peak resident sets
// (goal at most 1.3), form over plain dialog.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

struct Probe {
    double seconds;
    double peakKiB;
};

Probe RunProbe(const char* mode) {
    const std::string command = std::string(QUARNEL_STARTUP_PROBE) + " " + mode;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot start the probe");
    }
    long long ns = 0;
    long kib = 0;
    const int fields = std::fscanf(pipe, "%lld %ld", &ns, &kib);
    const int status = pclose(pipe);
    if (fields != 2 || status != 0) {
        throw std::runtime_error("the probe failed: " + command);
    }
    return {static_cast<double>(ns) / 1e9, static_cast<double>(kib)};
}

void BM_FormStartupRatio(benchmark::State& state) {
    double formSeconds = 0;
    double bareSeconds = 0;
    double formKiB = 0;
    double bareKiB = 0;
    for (auto _ : state) {
        const Probe f = RunProbe("form");
        const Probe b = RunProbe("bare");
        formSeconds += f.seconds;
        bareSeconds += b.seconds;
        formKiB += f.peakKiB;
        bareKiB += b.peakKiB;
        state.SetIterationTime(f.seconds);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["form_ms"] = formSeconds / n * 1e3;
    state.counters["bare_ms"] = bareSeconds / n * 1e3;
    state.counters["time_ratio"] = formSeconds / bareSeconds;
    state.counters["form_peak_KiB"] = formKiB / n;
    state.counters["bare_peak_KiB"] = bareKiB / n;
    state.counters["memory_ratio"] = formKiB / bareKiB;
}
BENCHMARK(BM_FormStartupRatio)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
