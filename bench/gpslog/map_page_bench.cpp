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
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "gpslog/csv_file.h"
#include "gpslog/log_record.h"
#include "gpslog/log_writer.h"
#include "sim/sim_state.h"
#include "support/headless_browser.h"

namespace quarnel {
namespace {

using test::HeadlessBrowser;

std::vector<LogRecord> DemoDrive() {
    std::vector<LogRecord> records;
    for (const sim::LogRecordBytes& bytes : sim::DemoState().log) {
        records.push_back(ParseLogRecord(bytes.data()));
    }
    return records;
}

// Two drives a day around a city, a fix every 10 seconds, speeds from standing at lights
// to the motorway, parked in between (no fixes).
std::vector<LogRecord> Months(size_t count) {
    std::mt19937 random(20140207);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<LogRecord> records;
    double lat = 22.6273, lon = 120.3014, course = 35, speed = 0;
    int64_t day = 0;
    while (records.size() < count) {
        for (int drive = 0; drive < 2 && records.size() < count; ++drive) {
            int64_t t = day * 86400 + (drive == 0 ? 7 * 3600 : 17 * 3600) +
                        static_cast<int64_t>(unit(random) * 1800);
            for (int i = 0; i < 540 && records.size() < count; ++i, t += 10) {
                const double target = unit(random) < 0.03 ? 0 : 20 + 90 * unit(random);
                speed = std::max(0.0, speed + (target - speed) * 0.2);
                course = std::fmod(course + (unit(random) - 0.5) * 40 + 360, 360);
                const double metres = speed / 3.6 * 10;
                lat += metres * std::cos(course * std::numbers::pi / 180) / 111195.0;
                lon += metres * std::sin(course * std::numbers::pi / 180) /
                       (111195.0 * std::cos(lat * std::numbers::pi / 180));
                // Kept near the city: a drive heading out turns back.
                if (std::fabs(lat - 22.63) > 0.4 || std::fabs(lon - 120.3) > 0.4) {
                    course = std::fmod(course + 180, 360);
                }
                LogRecord r;
                r.tag = static_cast<int32_t>(records.size() + 1);
                const int64_t civil = 1391731200 + t;  // from 2014-02-07 00:00
                std::time_t when = static_cast<std::time_t>(civil);
                std::tm tm{};
                ::gmtime_r(&when, &tm);
                r.year = static_cast<uint8_t>(tm.tm_year - 100);
                r.month = static_cast<uint8_t>(tm.tm_mon + 1);
                r.day = static_cast<uint8_t>(tm.tm_mday);
                r.hour = static_cast<uint8_t>(tm.tm_hour);
                r.minute = static_cast<uint8_t>(tm.tm_min);
                r.second = static_cast<uint8_t>(tm.tm_sec);
                r.latitude = static_cast<float>(lat);
                r.longitude = static_cast<float>(lon);
                r.altitude = static_cast<float>(10 + 30 * unit(random));
                r.course = static_cast<float>(course);
                r.speed = static_cast<float>(speed);
                records.push_back(r);
            }
        }
        ++day;
    }
    return records;
}

// Writes the page as a download would (the record test keeps them all: they are in order).
double WritePage(const std::vector<LogRecord>& records, const std::filesystem::path& path) {
    const auto start = std::chrono::steady_clock::now();
    CsvFile file;
    file.Create(path);
    std::unique_ptr<LogWriter> writer = MakeLogWriter(LogFormat::Html, file);
    writer->Begin();
    int64_t last = 0;
    uint32_t index = 0;
    for (const LogRecord& r : records) {
        int64_t time = 0;
        if (TestRecord(r, last, time) == RecordVerdict::Write) {
            last = time;
            writer->Add(++index, r, time);
        }
    }
    writer->Finish();
    file.Close();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

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
