// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The map page audited for accessibility: headless Chromium opens the page offline, axe-core
// (pinned by tests/gpslog/axe, installed by scripts/axe-core.sh) checks it against every
// rule it has, and any violation, of any impact, fails the case with the rule and the
// elements. Then what axe cannot judge by itself: the summary is reached and scrolled by
// the keyboard, the speed chart has a caption and a table of its data for screen readers,
// and the page's title says whose trip it is. Skipped, never passed, without chromium or
// axe-core.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gpslog/log_test_support.h"
#include "gpslog/log_writer.h"
#include "support/headless_browser.h"
#include "support/map_page_logs.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

using nlohmann::json;
using test::HeadlessBrowser;

constexpr auto kDrawLimit = std::chrono::seconds(60);

struct PageCase {
    const char* name;
    size_t points;  // 0: an empty log; 240: the demo drive; else Months(points)
};

const PageCase kPages[] = {
    {"DemoDrive", 240},
    {"EmptyLog", 0},
    {"HundredThousandPoints", 100000},
};

using test::PrintTo;

class MapPageAudit : public testing::TestWithParam<PageCase> {
protected:
    static void SetUpTestSuite() {
        const auto program = HeadlessBrowser::Find();
        s_axe = test::ReadBytes(QUARNEL_AXE_CORE_JS);
        if (!program || s_axe.empty()) {
            return;
        }
        s_dir = std::make_unique<test::TempDir>();
        s_browser = std::make_unique<HeadlessBrowser>();
        HeadlessBrowser::Options options;
        options.profileDir = s_dir->File("profile");
        if (!s_browser->Start(*program, options, s_startError)) {
            s_browser.reset();
        }
    }
    static void TearDownTestSuite() {
        s_browser.reset();
        s_dir.reset();
    }

    void SetUp() override {
        if (!HeadlessBrowser::Find()) {
            GTEST_SKIP() << "chromium is not installed (Debian package chromium)";
        }
        if (s_axe.empty()) {
            GTEST_SKIP() << "axe-core is not installed (scripts/axe-core.sh)";
        }
        ASSERT_NE(s_browser, nullptr) << "chromium did not start: " << s_startError;
    }

    // Writes the case's page, as the tracker 356612020123456 would have it saved, and opens
    // it. Each page is opened once and checked in every way, as a 100,000-point page takes
    // seconds to open.
    void Open() {
        m_records = Records(GetParam().points);
        const auto page = s_dir->File(std::string(GetParam().name) + ".html");
        LogWriterOptions options;
        options.trackerImei = "356612020123456";
        test::WritePage(m_records, page, options);
        std::string error;
        ASSERT_TRUE(s_browser->Open("file://" + page.string(), error, true)) << error;
        ASSERT_TRUE(s_browser->WaitFor("document.documentElement.hasAttribute('data-drawn-ms')",
                                       kDrawLimit, error))
            << error;
    }

    json Eval(const std::string& expression) {
        std::string error;
        const std::optional<json> value = s_browser->Evaluate(expression, error);
        EXPECT_TRUE(value.has_value()) << error.substr(0, 2000);
        return value.value_or(json());
    }

    static std::vector<LogRecord> Records(size_t points) {
        if (points == 0) {
            return {};
        }
        return points == 240 ? test::DemoDrive() : test::Months(points);
    }

    static std::unique_ptr<test::TempDir> s_dir;
    static std::unique_ptr<HeadlessBrowser> s_browser;
    static std::string s_startError;
    static std::string s_axe;
    void CheckAxeFindsNoViolation();
    void CheckTheSummaryIsReachedAndScrolledByTheKeyboard();
    void CheckTheTitleAndHeadingSayWhoseTripItIs();
    void CheckTheChartHasACaptionAndATableOfItsData();
    void CheckTheSpeedColoursStayApartInColourBlindnessAndTheLegendNamesThem();

    std::vector<LogRecord> m_records;
};

std::unique_ptr<test::TempDir> MapPageAudit::s_dir;
std::unique_ptr<HeadlessBrowser> MapPageAudit::s_browser;
std::string MapPageAudit::s_startError;
std::string MapPageAudit::s_axe;

void MapPageAudit::CheckAxeFindsNoViolation() {
    // The audit's script goes in through the debugger, which the page's policy does not bind.
    Eval(s_axe + "\n;true");
    const json violations = Eval(R"js(axe.run(document, {resultTypes: ['violations']}).then(
        r => r.violations.map(v => ({rule: v.id, impact: v.impact, help: v.help,
                                     elements: v.nodes.map(n => n.target.join(' '))}))))js");
    ASSERT_TRUE(violations.is_array()) << violations.dump();
    for (const json& v : violations) {
        ADD_FAILURE() << GetParam().name << ": " << v["rule"].get<std::string>() << " ("
                      << v["impact"].dump() << ", " << v["help"].get<std::string>()
                      << "): " << v["elements"].dump();
    }
}

void MapPageAudit::CheckTheSummaryIsReachedAndScrolledByTheKeyboard() {
    // Tab from the page's start reaches the summary; it shows the focus.
    const json reached = Eval(R"js((() => {
        const summary = document.getElementById('summary');
        const focusable = Array.from(document.querySelectorAll('[tabindex], a[href], button'))
            .filter(e => e.tabIndex >= 0 && e.offsetParent !== null);
        return {tabbable: focusable.includes(summary), index: summary.tabIndex};
    })())js");
    EXPECT_EQ(reached["tabbable"], true) << reached.dump();
    Eval("document.getElementById('summary').focus({focusVisible: true}), true");
    EXPECT_EQ(Eval("document.activeElement.id"), "summary");
    EXPECT_NE(Eval("getComputedStyle(document.getElementById('summary')).outlineStyle"), "none");
}

void MapPageAudit::CheckTheTitleAndHeadingSayWhoseTripItIs() {
    const std::vector<LogRecord>& records = m_records;
    std::string expected = "GPS log of tracker 356612020123456";
    if (!records.empty()) {
        char day[16];
        std::snprintf(day, sizeof day, ", 20%02d-%02d-%02d", records[0].year % 100,
                      records[0].month % 100, records[0].day % 100);
        expected += day;
    }
    EXPECT_EQ(Eval("document.title"), expected);
    EXPECT_EQ(Eval("document.querySelector('h1').textContent"), expected);
}

void MapPageAudit::CheckTheChartHasACaptionAndATableOfItsData() {
    const std::vector<LogRecord>& records = m_records;
    if (records.empty()) {
        EXPECT_EQ(Eval("document.getElementById('speed-table')"), json()) << "no chart, no table";
        return;
    }
    EXPECT_EQ(Eval("document.querySelector('#chart svg').getAttribute('aria-describedby')"),
              "chart-caption");
    const json table = Eval(R"js((() => {
        const t = document.getElementById('speed-table');
        const box = t.parentElement.getBoundingClientRect();
        return {caption: t.caption.textContent, heads: t.tHead.rows[0].cells.length,
                rows: Array.from(t.tBodies[0].rows, r => Array.from(r.cells, c => c.textContent)),
                drawn: box.width > 1 || box.height > 1};
    })())js");
    ASSERT_TRUE(table.is_object()) << table.dump();
    EXPECT_NE(table["caption"].get<std::string>().find("Speed over time"), std::string::npos);
    EXPECT_EQ(table["heads"], 4);
    EXPECT_EQ(table["drawn"], false) << "for screen readers only";
    const json& rows = table["rows"];
    ASSERT_EQ(rows.size(), std::min<size_t>(48, records.size()));
    // The table's top speeds agree with the log's.
    double top = 0, tableTop = 0;
    for (const LogRecord& r : records) {
        top = std::max(top, static_cast<double>(r.speed));
    }
    for (const json& row : rows) {
        if (row[3] != "\u2013") {
            tableTop = std::max(tableTop, std::stod(row[3].get<std::string>()));
        }
    }
    EXPECT_NEAR(tableTop, top, 0.051);
}

// ---- the speed colours, as people with colour blindness see them ----

struct Rgb {
    double r, g, b;
};

double Linear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// CIE L*a*b* of a linear sRGB colour (D65).
std::array<double, 3> Lab(const Rgb& c) {
    const double x = (0.4124 * c.r + 0.3576 * c.g + 0.1805 * c.b) / 0.95047;
    const double y = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    const double z = (0.0193 * c.r + 0.1192 * c.g + 0.9505 * c.b) / 1.08883;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// Machado, Oliveira and Fernandes (2009), full severity, on linear RGB.
using Matrix = std::array<std::array<double, 3>, 3>;
struct Vision {
    const char* name;
    Matrix m;
};
const Vision kVisions[] = {
    {"normal", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
    {"protanopia",
     {{{0.152286, 1.052583, -0.204868},
       {0.114503, 0.786281, 0.099216},
       {-0.003882, -0.048116, 1.051998}}}},
    {"deuteranopia",
     {{{0.367322, 0.860646, -0.227968},
       {0.280085, 0.672501, 0.047413},
       {-0.011820, 0.042940, 0.968881}}}},
    {"tritanopia",
     {{{1.255528, -0.076749, -0.178779},
       {-0.078411, 0.930809, 0.147602},
       {0.004733, 0.691367, 0.303900}}}},
};

Rgb Seen(const Vision& v, const Rgb& c) {
    const auto row = [&](int i) {
        return std::clamp(v.m[i][0] * c.r + v.m[i][1] * c.g + v.m[i][2] * c.b, 0.0, 1.0);
    };
    return {row(0), row(1), row(2)};
}

// Every two speed bands of the legend differ by at least this much (CIE76 delta E) in each
// vision: about twice a difference that is just noticed side by side on a map.
constexpr double kApart = 10;

void MapPageAudit::CheckTheSpeedColoursStayApartInColourBlindnessAndTheLegendNamesThem() {
    const std::vector<LogRecord>& records = m_records;
    if (records.empty()) {
        return;  // no track, no legend
    }
    const json legend = Eval(R"js(Array.from(document.querySelectorAll('.legend-row'),
        row => [getComputedStyle(row.querySelector('.swatch')).backgroundColor,
                row.textContent]))js");
    ASSERT_TRUE(legend.is_array() && legend.size() >= 2) << legend.dump();
    std::vector<Rgb> colours;
    for (const json& row : legend) {
        EXPECT_FALSE(row[1].get<std::string>().empty()) << "a band without a name";
        int r = 0, g = 0, b = 0;
        if (std::sscanf(row[0].get<std::string>().c_str(), "rgb(%d, %d, %d)", &r, &g, &b) != 3) {
            continue;  // the dashed gap row draws a border, not a fill
        }
        colours.push_back({Linear(r / 255.0), Linear(g / 255.0), Linear(b / 255.0)});
    }
    for (const Vision& v : kVisions) {
        for (size_t i = 0; i < colours.size(); ++i) {
            for (size_t j = i + 1; j < colours.size(); ++j) {
                const auto a = Lab(Seen(v, colours[i])), b = Lab(Seen(v, colours[j]));
                const double apart = std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
                EXPECT_GE(apart, kApart) << v.name << ": legend rows " << i << " and " << j << " ("
                                         << legend[i].dump() << ", " << legend[j].dump() << ")";
            }
        }
    }
}

TEST_P(MapPageAudit, PassesTheAuditAndServesTheKeyboardAndScreenReaders) {
    ASSERT_NO_FATAL_FAILURE(Open());
    {
        SCOPED_TRACE("axe-core's audit");
        CheckAxeFindsNoViolation();
    }
    {
        SCOPED_TRACE("the summary by keyboard");
        CheckTheSummaryIsReachedAndScrolledByTheKeyboard();
    }
    {
        SCOPED_TRACE("the title and heading");
        CheckTheTitleAndHeadingSayWhoseTripItIs();
    }
    {
        SCOPED_TRACE("the chart's text alternative");
        CheckTheChartHasACaptionAndATableOfItsData();
    }
    {
        SCOPED_TRACE("the speed colours");
        CheckTheSpeedColoursStayApartInColourBlindnessAndTheLegendNamesThem();
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, MapPageAudit, testing::ValuesIn(kPages), test::RowName());

}  // namespace
}  // namespace quarnel
