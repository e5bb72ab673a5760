// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The map page in a real browser: headless Chromium opens the page offline and the test
// reads back from the page's DOM what it drew and says, and compares it with figures it
// computes itself from the CSV of the same log (not with the writer's own code). Skipped,
// never passed, where chromium is not installed (Debian package chromium).
//
// With QUARNEL_SCREENSHOT_DIR set, the demo drive's page is also saved there as
// map-page.png (scripts/map-page-screenshot.sh uses this for the documentation).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gpslog/log_files.h"
#include "gpslog/log_test_support.h"
#include "sim/sim_state.h"
#include "support/headless_browser.h"

namespace quarnel {
namespace {

using nlohmann::json;
using sim::LogRecordBytes;
using test::HeadlessBrowser;

constexpr auto kDrawLimit = std::chrono::seconds(20);
constexpr const char* kTiles = "https://tile.openstreetmap.org/";

// ---- the CSV, read on its own ----

struct CsvFix {
    std::string when;  // "2014-02-07 08:05:09"
    int64_t seconds = 0;
    double latitude = 0, longitude = 0, speed = 0;
    std::string speedText;  // "28.3", as written
};

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ',')) {
        fields.push_back(field);
    }
    return fields;
}

std::vector<CsvFix> ReadCsvFixes(const std::string& csv) {
    std::vector<CsvFix> fixes;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::vector<std::string> f = Fields(line);
        if (f.size() != 11) {
            ADD_FAILURE() << "not a CSV line: " << line;
            continue;
        }
        CsvFix fix;
        std::string date = f[2];
        for (char& c : date) {
            c = c == '/' ? '-' : c;
        }
        fix.when = date + " " + f[3];
        std::tm tm{};
        std::sscanf(f[2].c_str(), "%d/%d/%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday);
        std::sscanf(f[3].c_str(), "%d:%d:%d", &tm.tm_hour, &tm.tm_min, &tm.tm_sec);
        tm.tm_year -= 1900;
        tm.tm_mon -= 1;
        fix.seconds = static_cast<int64_t>(::timegm(&tm));
        fix.latitude = std::strtod(f[4].c_str(), nullptr) * (f[5] == "S" ? -1 : 1);
        fix.longitude = std::strtod(f[6].c_str(), nullptr) * (f[7] == "W" ? -1 : 1);
        fix.speedText = f[10].substr(0, f[10].size() - 4);  // less "km/h"
        fix.speed = std::strtod(fix.speedText.c_str(), nullptr);
        fixes.push_back(fix);
    }
    return fixes;
}

// The trip as the page's summary describes it (docs/user-guide.md), worked out here from
// the CSV's fixes, all at once rather than point by point.
struct Expected {
    size_t points = 0, leftOut = 0;
    std::string first, last;
    int64_t duration = 0, movingSeconds = 0;
    double metres = 0, movingMetres = 0, topSpeed = 0;
    std::vector<std::pair<int64_t, int64_t>> stops;
};

double Haversine(const CsvFix& a, const CsvFix& b) {
    const double r = 6371008.8, rad = std::acos(-1.0) / 180;
    const double dLat = (b.latitude - a.latitude) * rad, dLon = (b.longitude - a.longitude) * rad;
    const double h = std::pow(std::sin(dLat / 2), 2) + std::cos(a.latitude * rad) *
                                                           std::cos(b.latitude * rad) *
                                                           std::pow(std::sin(dLon / 2), 2);
    return 2 * r * std::atan2(std::sqrt(h), std::sqrt(1 - h));
}

Expected Work(const std::vector<CsvFix>& all) {
    Expected e;
    std::vector<CsvFix> fixes;
    for (const CsvFix& f : all) {
        if (std::fabs(f.latitude) <= 90 && std::fabs(f.longitude) <= 180) {
            fixes.push_back(f);
        } else {
            ++e.leftOut;
        }
    }
    e.points = fixes.size();
    if (fixes.empty()) {
        return e;
    }
    e.first = fixes.front().when;
    e.last = fixes.back().when;
    e.duration = fixes.back().seconds - fixes.front().seconds;
    std::vector<bool> still;  // per stretch between fix i and i + 1
    for (size_t i = 0; i + 1 < fixes.size(); ++i) {
        const double metres = Haversine(fixes[i], fixes[i + 1]);
        const int64_t seconds = fixes[i + 1].seconds - fixes[i].seconds;
        e.metres += metres;
        const bool slowOnAverage = seconds > 0 && metres * 3.6 / seconds < 3.0;
        const bool bothSlow = fixes[i].speed < 3.0 && fixes[i + 1].speed < 3.0;
        still.push_back(slowOnAverage || bothSlow);
        if (!still.back()) {
            e.movingMetres += metres;
            e.movingSeconds += seconds;
        }
    }
    for (size_t i = 0; i < still.size();) {
        if (!still[i]) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < still.size() && still[j]) {
            ++j;
        }
        // Stretches i .. j-1: from fix i to fix j.
        if (fixes[j].seconds - fixes[i].seconds > 300) {
            e.stops.emplace_back(fixes[i].seconds, fixes[j].seconds);
        }
        i = j;
    }
    for (const CsvFix& f : fixes) {
        e.topSpeed = std::max(e.topSpeed, f.speed);
    }
    return e;
}

// ---- the browser ----

class MapPageInBrowser : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const auto program = HeadlessBrowser::Find();
        if (!program) {
            return;
        }
        s_profile = std::make_unique<test::TempDir>();
        s_browser = std::make_unique<HeadlessBrowser>();
        HeadlessBrowser::Options options;
        options.profileDir = s_profile->File("profile");
        if (!s_browser->Start(*program, options, s_startError)) {
            s_browser.reset();
        }
    }
    static void TearDownTestSuite() {
        s_browser.reset();
        s_profile.reset();
    }

    void SetUp() override {
        if (!HeadlessBrowser::Find()) {
            GTEST_SKIP() << "chromium is not installed (Debian package chromium)";
        }
        ASSERT_NE(s_browser, nullptr) << "chromium did not start: " << s_startError;
    }

    // Writes `log` as CSV and as a page, opens the page and waits for its first draw.
    void OpenLog(const std::vector<LogRecordBytes>& log, const LogWriterOptions& options = {},
                 bool navigatorOffline = false) {
        m_csv = test::DownloadToFile(log, m_dir.File("trip.csv"), LogFormat::Csv).text;
        m_page = m_dir.File("trip.html");
        const test::FileDownload page = test::DownloadToFile(log, m_page, LogFormat::Html, options);
        ASSERT_EQ(page.result.end, LogDownloadEnd::Complete);
        std::string error;
        ASSERT_TRUE(s_browser->Open(Url(), error, navigatorOffline)) << error;
        ASSERT_TRUE(s_browser->WaitFor("document.documentElement.hasAttribute('data-drawn-ms')",
                                       kDrawLimit, error))
            << error << "\n"
            << Errors();
    }

    std::string Url() const { return "file://" + m_page.string(); }

    json Eval(const std::string& expression) {
        std::string error;
        const std::optional<json> value = s_browser->Evaluate(expression, error);
        EXPECT_TRUE(value.has_value()) << error;
        return value.value_or(json());
    }

    std::string Errors() const {
        std::string all;
        for (const std::string& e : s_browser->ScriptErrors()) {
            all += e + "\n";
        }
        return all;
    }

    // The summary's figures: id -> [data-value, text].
    json Summary() {
        return Eval(R"js((() => {
            const out = {};
            document.querySelectorAll('#summary dd[id]').forEach(
                dd => { out[dd.id] = [dd.getAttribute('data-value'), dd.textContent]; });
            return out;
        })())js");
    }

    // Everything the page asked for is the page itself or a map tile (or an image in a
    // data: URL, which holds its bytes itself); it raised no error.
    void ExpectOnlyTilesAndNoErrors() {
        for (const std::string& url : s_browser->Requests()) {
            EXPECT_TRUE(url == Url() || url.starts_with(kTiles) || url.starts_with("data:image/"))
                << url;
        }
        EXPECT_EQ(Errors(), "");
    }

    static std::unique_ptr<test::TempDir> s_profile;
    static std::unique_ptr<HeadlessBrowser> s_browser;
    static std::string s_startError;
    test::TempDir m_dir;
    std::string m_csv;
    std::filesystem::path m_page;
};

std::unique_ptr<test::TempDir> MapPageInBrowser::s_profile;
std::unique_ptr<HeadlessBrowser> MapPageInBrowser::s_browser;
std::string MapPageInBrowser::s_startError;

void ExpectSummaryAgrees(const json& summary, const Expected& e) {
    ASSERT_TRUE(summary.is_object()) << summary.dump();
    EXPECT_EQ(summary["points"][0], std::to_string(e.points));
    EXPECT_EQ(summary["left-out"][0], std::to_string(e.leftOut));
    EXPECT_EQ(summary["first-time"][1], e.first);
    EXPECT_EQ(summary["last-time"][1], e.last);
    EXPECT_EQ(summary["duration"][0], std::to_string(e.duration));
    const double metres = std::stod(summary["distance"][0].get<std::string>());
    EXPECT_NEAR(metres, e.metres, 0.1 + e.metres * 1e-9);
    std::ostringstream km;
    km.setf(std::ios::fixed);
    km.precision(1);
    km << e.metres / 1000 << " km";
    EXPECT_EQ(summary["distance"][1], km.str());
    EXPECT_NEAR(std::stod(summary["max-speed"][0].get<std::string>()), e.topSpeed, 1e-9);
    EXPECT_EQ(summary["moving-time"][0], std::to_string(e.movingSeconds));
    if (e.movingSeconds > 0) {
        EXPECT_NEAR(std::stod(summary["moving-speed"][0].get<std::string>()),
                    e.movingMetres / e.movingSeconds * 3.6, 0.006);
    }
}

TEST_F(MapPageInBrowser, DemoDriveDrawsEveryCsvLineAndItsSummaryAgreesWithTheCsv) {
    OpenLog(sim::DemoState().log);
    const std::vector<CsvFix> fixes = ReadCsvFixes(m_csv);
    ASSERT_EQ(fixes.size(), 240u);
    const Expected e = Work(fixes);

    EXPECT_EQ(Eval("document.documentElement.getAttribute('data-track-points')"),
              std::to_string(fixes.size()));
    ExpectSummaryAgrees(Summary(), e);
    EXPECT_EQ(Eval("document.querySelectorAll('#stops li').length"), e.stops.size());
    // Drawn: the track on its canvas, the chart's line, a scale bar, the legend, the ends.
    EXPECT_EQ(Eval("document.querySelectorAll('#map canvas').length"), 1);
    EXPECT_GT(Eval("document.querySelector('#chart path.speed').getAttribute('d').length"), 100);
    EXPECT_EQ(Eval("!!document.querySelector('.leaflet-control-scale-line')"), true);
    EXPECT_EQ(Eval("document.querySelector('.legend-title').textContent"), "Speed (km/h)");
    EXPECT_EQ(Eval("Array.from(document.querySelectorAll('.end-label')).map(e => e.textContent)"),
              json::array({"Start " + fixes.front().when.substr(11, 5),
                           "End " + fixes.back().when.substr(11, 5)}));

    // Offline, the tiles fail: the page says why there is no map under the track.
    std::string error;
    EXPECT_TRUE(
        s_browser->WaitFor("!document.getElementById('offline-note').hidden", kDrawLimit, error))
        << error;
    EXPECT_EQ(Eval("document.getElementById('offline-note').textContent"),
              "Map tiles need an internet connection. The track is drawn without them.");
    EXPECT_GT(s_browser->Requests().size(), 1u) << "it did try the tiles";
    ExpectOnlyTilesAndNoErrors();

    const std::optional<std::string> png = s_browser->Screenshot(error);
    ASSERT_TRUE(png.has_value()) << error;
    EXPECT_EQ(png->substr(0, 8), "\x89PNG\r\n\x1a\n");
    if (const char* dir = std::getenv("QUARNEL_SCREENSHOT_DIR")) {
        std::ofstream(std::filesystem::path(dir) / "map-page.png", std::ios::binary) << *png;
    }
}

// A day out: a stop with the engine running, a stop with the tracker off (no fixes while
// parked), a tunnel without fixes, and positions no map can show.
std::vector<LogRecordBytes> DayOut() {
    std::vector<LogRecordBytes> log;
    double lat = 25.0330, lon = 121.5654;
    int t = 9 * 3600;
    auto add = [&](double speed, int seconds, double north, double east, float forcedLat = 0) {
        lat += north / 111195.0;
        lon += east / (111195.0 * std::cos(lat * std::acos(-1.0) / 180));
        t += seconds;
        sim::LogFix f = test::Fix(2014, 3, 1, t / 3600, t / 60 % 60, t % 60,
                                  forcedLat != 0 ? forcedLat : static_cast<float>(lat),
                                  static_cast<float>(lon));
        f.speed = static_cast<float>(speed);
        f.course = 45;
        log.push_back(sim::EncodeLogRecord(f));
    };
    for (int i = 0; i < 30; ++i) {
        add(40, 20, 160, 100);
    }
    for (int i = 0; i < 40; ++i) {
        add(i % 3 == 0 ? 1.5 : 0.4, 20, (i % 2 ? 2 : -2), 1);  // 13 min standing, drifting
    }
    for (int i = 0; i < 20; ++i) {
        add(35, 20, 120, -150);
    }
    add(30, 25 * 60, 6, 4);  // 25 min parked with the tracker off
    for (int i = 0; i < 10; ++i) {
        add(50, 20, 200, 200);
    }
    add(60, 9 * 60, 5500, 5500);   // a tunnel: nine minutes without a fix, eight km on
    add(55, 20, 150, 200, 95.0f);  // a position off the map
    add(55, 20, 150, 200, std::numeric_limits<float>::quiet_NaN());
    for (int i = 0; i < 15; ++i) {
        add(45, 20, 200, 0);
    }
    return log;
}

TEST_F(MapPageInBrowser, StopsGapsAndPositionsOffTheMapAgreeWithTheCsv) {
    OpenLog(DayOut());
    const std::vector<CsvFix> fixes = ReadCsvFixes(m_csv);
    const Expected e = Work(fixes);
    ASSERT_EQ(e.leftOut, 2u);
    ASSERT_EQ(e.stops.size(), 2u) << "standing with the engine on, and parked";

    EXPECT_EQ(Eval("document.documentElement.getAttribute('data-track-points')"),
              std::to_string(e.points));
    ExpectSummaryAgrees(Summary(), e);
    const json stops = Eval(
        "Array.from(document.querySelectorAll('#stops li')).map(li => "
        "[Number(li.dataset.start), Number(li.dataset.end)])");
    ASSERT_EQ(stops.size(), e.stops.size()) << stops.dump();
    for (size_t i = 0; i < e.stops.size(); ++i) {
        EXPECT_EQ(stops[i][0], e.stops[i].first);
        EXPECT_EQ(stops[i][1], e.stops[i].second);
    }
    EXPECT_EQ(Eval("document.querySelectorAll('#chart rect.stop').length"), e.stops.size());
    EXPECT_NE(Eval("document.querySelector('.legend').textContent")
                  .get<std::string>()
                  .find("no fix for over 5 min"),
              std::string::npos);
    ExpectOnlyTilesAndNoErrors();
}

TEST_F(MapPageInBrowser, HoveringTheChartShowsThatMomentOnTheMapAndAClickZoomsIn) {
    OpenLog(sim::DemoState().log);
    const std::vector<CsvFix> fixes = ReadCsvFixes(m_csv);
    const size_t k = 150;  // the CSV line hovered, 0-based
    const double fraction = static_cast<double>(fixes[k].seconds - fixes.front().seconds) /
                            static_cast<double>(fixes.back().seconds - fixes.front().seconds);
    const std::string at = R"js((() => {
        const svg = document.querySelector('#chart svg');
        const box = svg.getBoundingClientRect();
        const left = Number(svg.getAttribute('data-plot-left'));
        const width = Number(svg.getAttribute('data-plot-width'));
        return {clientX: box.left + left + width * )js" +
                           std::to_string(fraction) + R"js(, clientY: box.top + 30, bubbles: true};
    })())js";
    Eval(
        "document.querySelector('#chart rect.overlay').dispatchEvent(new MouseEvent('mousemove', " +
        at + "))");
    EXPECT_EQ(Eval("document.getElementById('chart').getAttribute('data-shown-index')"),
              std::to_string(k));
    const std::string label =
        Eval("document.querySelector('.leaflet-tooltip.highlight-label').textContent")
            .get<std::string>();
    EXPECT_NE(label.find(fixes[k].when), std::string::npos) << label;
    EXPECT_NE(label.find("Speed " + fixes[k].speedText + " km/h"), std::string::npos) << label;
    EXPECT_EQ(Eval("document.documentElement.getAttribute('data-point-markers')"), "0")
        << "no per-point markers at the whole trip's zoom";

    Eval("document.querySelector('#chart rect.overlay').dispatchEvent(new MouseEvent('click', " +
         at + "))");
    std::string error;
    EXPECT_TRUE(s_browser->WaitFor(
        "Number(document.documentElement.getAttribute('data-point-markers')) > 0", kDrawLimit,
        error))
        << error;
    ExpectOnlyTilesAndNoErrors();
}

TEST_F(MapPageInBrowser, ANameMadeToInjectAScriptIsShownAsText) {
    LogWriterOptions options;
    options.trackName =
        "Trip </title></script><script>window.injected = 1</script>"
        "<img src=x onerror=\"window.injected = 2\"> & 'more'";
    // The IMEI is the tracker's own text: it is escaped the same way.
    options.trackerImei = "35661202</h1><script>window.injected = 3</script>";
    OpenLog(sim::DemoState().log, options);
    const std::string day = ReadCsvFixes(m_csv).front().when.substr(0, 10);
    const std::string title = options.trackName + " of tracker " + options.trackerImei + ", " + day;
    EXPECT_EQ(Eval("document.title"), title);
    EXPECT_EQ(Eval("document.getElementById('name').textContent"), title);
    EXPECT_EQ(Eval("typeof window.injected"), "undefined");
    EXPECT_EQ(Eval("document.scripts.length"), 3);
    EXPECT_EQ(Eval("document.querySelectorAll('header img, #summary img').length"), 0);
    ExpectOnlyTilesAndNoErrors();
}

TEST_F(MapPageInBrowser, AnEmptyLogSaysSoAndShowsNoMap) {
    OpenLog({});
    EXPECT_EQ(Eval("document.getElementById('empty').textContent"),
              "The tracker's GPS log was empty: there is no trip to show.");
    EXPECT_EQ(Eval("document.documentElement.getAttribute('data-track-points')"), "0");
    EXPECT_EQ(Eval("getComputedStyle(document.getElementById('map-box')).display"), "none");
    EXPECT_EQ(Eval("getComputedStyle(document.getElementById('chart-box')).display"), "none");
    EXPECT_EQ(s_browser->Requests(), std::vector<std::string>{Url()}) << "not even tiles";
    ExpectOnlyTilesAndNoErrors();
}

TEST_F(MapPageInBrowser, ABrowserThatKnowsItIsOfflineAsksForNoTiles) {
    OpenLog(sim::DemoState().log, {}, /*navigatorOffline=*/true);
    EXPECT_EQ(Eval("navigator.onLine"), false);
    EXPECT_EQ(Eval("document.getElementById('offline-note').hidden"), false);
    EXPECT_EQ(Eval("document.documentElement.getAttribute('data-track-points')"), "240");
    EXPECT_EQ(s_browser->Requests(), std::vector<std::string>{Url()});
    EXPECT_EQ(Eval("document.querySelector('.leaflet-control-attribution').textContent"), "Leaflet")
        << "no tiles, so no tile attribution";
    ExpectOnlyTilesAndNoErrors();
}

}  // namespace
}  // namespace quarnel
