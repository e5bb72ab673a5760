// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The whole Update command against the simulated tracker on the real clock, with one
// report per 1 ms USB frame each way. A transaction cannot take less than 2 ms there, so
// 3970 of them (start, 3968 blocks, end) bound the transfer from below at 7.94 s; the
// counter is the time taken as a multiple of that bound (goal: at most 1.02).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/command_areas.h"
#include "firmware/firmware_update.h"
#include "firmware/image_check.h"
#include "form/command_context.h"
#include "sim/sim_backend.h"
#include "sim/sim_tracker.h"
#include "support/memory_form.h"
#include "support/recording_ui.h"

namespace {

constexpr double kBoundSeconds = 3970 * 0.002;

std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void BM_UpdateFirmwareRealTime(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "quarnel_bench_firmware";
    std::filesystem::create_directories(dir);
    std::string image(60000, '\0');
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>(i * 31 + i / 97);
    }
    const auto imagePath = WriteFile(dir / "tracker.bin", image);
    const auto digest =
        quarnel::Md5::Of(reinterpret_cast<const uint8_t*>(image.data()), image.size());
    const auto digestPath = WriteFile(dir / "tracker.md5", quarnel::DigestText(digest));

    quarnel::sim::SimTracker tracker;
    quarnel::sim::SimBackend backend(nullptr, true);
    backend.AddTracker(tracker);
    quarnel::CommandAreas areas;
    quarnel::test::MemoryForm form;
    quarnel::test::RecordingUi ui;
    quarnel::CommandContext ctx{quarnel::DeviceLink{backend, backend.GetClock(), areas}, form, ui};

    double seconds = 0;
    for (auto _ : state) {
        ui.QueueDialogAnswer(imagePath);
        ui.QueueDialogAnswer(digestPath);
        tracker.ClearTranscript();
        const auto t0 = std::chrono::steady_clock::now();
        quarnel::OnUpdateFirmware(ctx);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (tracker.Firmware().result != quarnel::sim::FirmwareStatus::Accepted) {
            state.SkipWithError("the tracker did not accept the image");
            break;
        }
    }
    state.counters["ratio_to_bound"] =
        seconds / (static_cast<double>(state.iterations()) * kBoundSeconds);
    std::filesystem::remove_all(dir);
}

// One run takes about 8 s, so a few make the figure.
BENCHMARK(BM_UpdateFirmwareRealTime)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
