// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The window's responsiveness while the log download runs on its worker: a 1 ms precise
// timer on the window's thread records the longest gap between its ticks while 10,000
// records come in from the 1 ms-frame simulated tracker in real time, each moving the
// progress bar through the worker bridge. The same timer on an idle window is the
// baseline. Counters: max_stall_ms during the download (goal: under 50), idle_stall_ms,
// and the download's time as a ratio to its bound (2 ms per record plus the count).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <filesystem>

#include "app/quarnel_dlg.h"
#include "device/command_areas.h"
#include "form/control_ids.h"
#include "gpslog/log_tasks.h"
#include "sim/sim_backend.h"
#include "sim/sim_state.h"
#include "sim/sim_tracker.h"

namespace {

constexpr uint32_t kRecords = 10000;

class SaveToTemp final : public quarnel::UiServices {
public:
    explicit SaveToTemp(std::filesystem::path path) : m_path(std::move(path)) {}
    void ShowMessage(const std::u16string&) override {}
    void ShowErrorBox(const std::u16string&) override {}
    std::optional<quarnel::SaveChoice> SaveFileDialog(const quarnel::FileDialogOptions&) override {
        return quarnel::SaveChoice{m_path, 0};
    }
    std::optional<std::filesystem::path> OpenFileDialog(
        const quarnel::FileDialogOptions&) override {
        return std::nullopt;
    }

private:
    std::filesystem::path m_path;
};

quarnel::sim::SimState LongLog() {
    quarnel::sim::SimState state = quarnel::sim::DemoState();
    const auto seed = state.log;
    state.log.clear();
    while (state.log.size() < kRecords) {
        state.log.push_back(seed[state.log.size() % seed.size()]);
    }
    return state;
}

// Runs the event loop until `done` holds, returning the longest gap between ticks of a
// 1 ms timer, in milliseconds.
template <typename Done>
double LongestStall(Done done) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return static_cast<double>(longest) / 1e6;
}

void BM_WindowDuringDownload(benchmark::State& state) {
    const std::filesystem::path csv = std::filesystem::temp_directory_path() /
                                      ("quarnel-bench-" + std::to_string(getpid()) + ".csv");
    SaveToTemp ui(csv);
    double worst = 0;
    double idleWorst = 0;
    double ratioSum = 0;
    for (auto _ : state) {
        quarnel::sim::SimTracker tracker(LongLog());
        quarnel::sim::SimBackend backend(nullptr, true);
        backend.AddTracker(tracker);
        quarnel::CommandAreas areas;
        const quarnel::DeviceLink link{backend, backend.GetClock(), areas};
        quarnel::CQuarnelDlg dlg(link, ui, {QUARNEL_PROGRAM_DIR, {}});
        dlg.show();

        QElapsedTimer idle;
        idle.start();
        idleWorst = std::max(idleWorst, LongestStall([&] { return idle.elapsed() > 500; }));

        auto* button = qobject_cast<QPushButton*>(dlg.Control(quarnel::ctl::GetGpsLogButton));
        QElapsedTimer took;
        took.start();
        button->click();
        const double stall = LongestStall([&] {
            return quarnel::g_logDownloadDone.load() != 0 && button->isEnabled() &&
                   button->text() != QString();
        });
        const double seconds = static_cast<double>(took.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        worst = std::max(worst, stall);
        ratioSum += seconds / ((kRecords + 1) * 0.002);
        dlg.done(0);
    }
    std::filesystem::remove(csv);
    state.counters["max_stall_ms"] = worst;
    state.counters["idle_stall_ms"] = idleWorst;
    state.counters["time_ratio"] = ratioSum / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WindowDuringDownload)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
