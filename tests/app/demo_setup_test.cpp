// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// quarnel-demo's options and the tracker they set up.
#include "app/demo_setup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "device/hid_cmd.h"
#include "support/row_name.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

struct OptionsCase {
    const char* name;
    std::vector<std::string> args;
    bool valid;
    std::string state;
    std::string transcript;
    bool help = false;
};

class DemoOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(DemoOptionsTest, AreReadOrRefused) {
    const OptionsCase& c = GetParam();
    const std::optional<DemoOptions> options = ParseDemoOptions(c.args);
    ASSERT_EQ(options.has_value(), c.valid);
    if (options) {
        EXPECT_EQ(options->statePath, c.state);
        EXPECT_EQ(options->transcriptPath, c.transcript);
        EXPECT_EQ(options->help, c.help);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, DemoOptionsTest,
    testing::Values(
        OptionsCase{"None", {}, true, "", ""},
        OptionsCase{
            "Both", {"--state", "s.json", "--transcript", "t.txt"}, true, "s.json", "t.txt"},
        OptionsCase{"StateWithoutFile", {"--state"}, false, "", ""},
        OptionsCase{"UnknownOption", {"--verbose"}, false, "", ""},
        OptionsCase{"Help", {"--help"}, true, "", "", true},
        OptionsCase{"ShortHelpAmongOthers", {"--state", "s.json", "-h"}, true, "s.json", "", true},
        OptionsCase{"StrayArgument", {"s.json"}, false, "", ""}),
    [](const testing::TestParamInfo<OptionsCase>& row) { return std::string(row.param.name); });

class DemoTrackerTest : public testing::Test {
protected:
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string File(const std::string& name) {
        std::filesystem::create_directories(m_dir);
        return (m_dir / name).string();
    }
    std::filesystem::path m_dir =
        std::filesystem::temp_directory_path() / ("quarnel-demo-" + std::to_string(::getpid()));
};

TEST_F(DemoTrackerTest, StartsFromTheStateFile) {
    const std::string state = File("state.json");
    std::ofstream(state) << R"({"items": {"apn": "demo.apn"}})";
    DemoTracker demo;
    std::string error;
    ASSERT_TRUE(demo.SetUp({state, ""}, error)) << error;
    EXPECT_EQ((demo.tracker.State().items.at({1, 0})),
              (std::vector<uint8_t>{'d', 'e', 'm', 'o', '.', 'a', 'p', 'n'}));
}

TEST_F(DemoTrackerTest, RefusesAStateFileItCannotUse) {
    const std::string state = File("bad.json");
    std::ofstream(state) << R"({"colour": "red"})";
    DemoTracker demo;
    std::string error;
    EXPECT_FALSE(demo.SetUp({state, ""}, error));
    EXPECT_NE(error.find("unknown key"), std::string::npos) << error;
    EXPECT_EQ(demo.tracker.State().items, sim::DemoState().items);
}

TEST_F(DemoTrackerTest, AppendsEveryReportToTheTranscriptFile) {
    const std::string transcript = File("transcript.txt");
    std::ofstream(transcript) << "earlier line\n";
    {
        DemoTracker demo;
        std::string error;
        ASSERT_TRUE(demo.SetUp({"", transcript}, error)) << error;
        sim::VirtualClock clock;
        sim::SimBackend backend(&clock, false);
        backend.AddTracker(demo.tracker);
        CommandAreas areas;
        CHidCmd cmd(DeviceLink{backend, clock, areas});
        ASSERT_EQ(cmd.m_io.Open(), 1);
        areas.payload[payload::kOp] = OP_GET;
        areas.payload[payload::kLen] = 8;
        areas.payload[payload::kIndex] = 6;  // the ring counter, "3" on the demo tracker
        ASSERT_TRUE(Transact(cmd, kReadPolicy));
    }
    std::ifstream in(transcript);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "earlier line");
    EXPECT_EQ(lines[1], "> 00133e010800000600000000" + std::string(2 * (65 - 12), '0'));
    EXPECT_EQ(lines[2].substr(0, 12), "< 0013023300");
    EXPECT_EQ(lines[2].size(), 2 + 2 * 65u);
}

TEST_F(DemoTrackerTest, RefusesATranscriptFileItCannotOpen) {
    DemoTracker demo;
    std::string error;
    EXPECT_FALSE(demo.SetUp({"", File("") + "/no/such/folder/t.txt"}, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace quarnel
