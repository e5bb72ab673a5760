// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The map page in headless Chromium: its size, and how soon the browser has drawn it, for
// the demo drive (240 points) and for a log of 100,000 points (about three months of
// driving, twice a day, a fix every 10 seconds: as much as a tracker plausibly holds).
//
// Figures, per log:
//   page_MB         the page's size
//   write_ms        the writer's time for the page (host side, no tracker)
//   draw_ms         from the start of loading to the first frame with the map, the track
//                   and the chart drawn (the page's own clock, data-drawn-ms)
//   ratio_to_bound  draw_ms / 2000 ms, the goal's bound: below 1 meets it
//   hover_ms        a hover on the speed chart, until the point is shown on the map (the
//                   mean of five, once the page has settled after its first draw)
//   zoom_ms         a click on the chart, until the map has zoomed there and drawn the
//                   per-point markers
// The benchmark's own time is draw_ms (manual time). Skipped without chromium.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/headless_browser.h"
#include "support/map_page_logs.h"

namespace quarnel {
namespace {

using test::DemoDrive;
using test::HeadlessBrowser;
using test::Months;
using test::WritePage;

// The mean time of five hovers at different places on the chart.
const char* const kHover = R"js((async () => {
    const overlay = document.querySelector('#chart rect.overlay');
    const box = overlay.getBoundingClientRect();
    let total = 0;
    for (const at of [0.13, 0.37, 0.52, 0.71, 0.94]) {
        total += await new Promise(resolve => {
            const start = performance.now();
            overlay.dispatchEvent(new MouseEvent('mousemove',
                {clientX: box.left + box.width * at, clientY: box.top + 20, bubbles: true}));
            requestAnimationFrame(() => setTimeout(() => resolve(performance.now() - start), 0));
        });
    }
    return total / 5;
})())js";

const char* const kZoom = R"js(new Promise(resolve => {
    const overlay = document.querySelector('#chart rect.overlay');
    const box = overlay.getBoundingClientRect();
    const root = document.documentElement;
    const start = performance.now();
    overlay.dispatchEvent(new MouseEvent('click',
        {clientX: box.left + box.width * 0.61, clientY: box.top + 20, bubbles: true}));
    const look = () => {
        if (Number(root.getAttribute('data-point-markers')) > 0) {
            requestAnimationFrame(() => setTimeout(() => resolve(performance.now() - start), 0));
        } else if (performance.now() - start > 20000) {
            resolve(-1);
        } else {
            setTimeout(look, 2);
        }
    };
    look();
}))js";

void BM_MapPage(benchmark::State& state) {
    const auto program = HeadlessBrowser::Find();
    if (!program) {
        state.SkipWithError("chromium is not installed (Debian package chromium)");
        return;
    }
    const size_t points = static_cast<size_t>(state.range(0));
    const std::vector<LogRecord> records = points == 240 ? DemoDrive() : Months(points);
    const auto dir = std::filesystem::temp_directory_path() /
                     ("quarnel-map-page-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto page = dir / "trip.html";
    const double writeMs = WritePage(records, page);
    const double bytes = static_cast<double>(std::filesystem::file_size(page));

    HeadlessBrowser browser;
    HeadlessBrowser::Options options;
    options.profileDir = dir / "profile";
    std::string error;
    if (!browser.Start(*program, options, error)) {
        state.SkipWithError(("chromium did not start: " + error).c_str());
        return;
    }
    double drawn = 0, hover = 0, zoom = 0;
    int runs = 0;
    for (auto _ : state) {
        std::optional<nlohmann::json> ms;
        if (!browser.Open("file://" + page.string(), error) ||
            !browser.WaitFor("document.documentElement.hasAttribute('data-drawn-ms')",
                             std::chrono::seconds(60), error) ||
            !(ms = browser.Evaluate(
                  "Number(document.documentElement.getAttribute('data-drawn-ms'))", error))) {
            state.SkipWithError(error.c_str());
            break;
        }
        // What a user does next comes a moment later, once the first draw has settled.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const std::optional<nlohmann::json> hovered = browser.Evaluate(kHover, error);
        const std::optional<nlohmann::json> zoomed = browser.Evaluate(kZoom, error);
        if (!hovered || !zoomed || zoomed->get<double>() < 0 || !browser.ScriptErrors().empty()) {
            state.SkipWithError(("the page did not respond: " + error).c_str());
            break;
        }
        const double drawMs = ms->get<double>();
        state.SetIterationTime(drawMs / 1000.0);
        drawn += drawMs;
        hover += hovered->get<double>();
        zoom += zoomed->get<double>();
        ++runs;
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    if (runs == 0) {
        return;
    }
    state.counters["points"] = static_cast<double>(points);
    state.counters["page_MB"] = bytes / 1e6;
    state.counters["write_ms"] = writeMs;
    state.counters["draw_ms"] = drawn / runs;
    state.counters["ratio_to_bound"] = drawn / runs / 2000.0;
    state.counters["hover_ms"] = hover / runs;
    state.counters["zoom_ms"] = zoom / runs;
}

BENCHMARK(BM_MapPage)
    ->Arg(240)
    ->Arg(100000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
