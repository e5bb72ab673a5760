// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/sim_state.h"
#include "support/row_name.h"

namespace quarnel::sim {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

class SimStateFile : public testing::Test {
protected:
    std::filesystem::path Write(const std::string& text) {
        std::ofstream(m_path, std::ios::binary) << text;
        return m_path;
    }
    void TearDown() override { std::filesystem::remove(m_path); }
    std::filesystem::path m_path = std::filesystem::temp_directory_path() /
                                   ("quarnel-sim-state-" + std::to_string(::getpid()) + ".json");
};

TEST_F(SimStateFile, DemoStateSurvivesASaveAndALoad) {
    SimState demo = DemoState();
    demo.log.push_back({});
    demo.log.back().fill(0xFF);  // erased memory is kept as raw bytes
    demo.faults.logNotReadyCount = 3;
    demo.faults.rules.push_back({FaultKind::LateReply, 3, 1, 5, 2, 2500});
    std::string error;
    ASSERT_TRUE(SaveSimState(m_path, demo, error)) << error;
    SimState loaded;
    ASSERT_TRUE(LoadSimState(m_path, loaded, error)) << error;
    EXPECT_EQ(loaded.items, demo.items);
    EXPECT_EQ(loaded.phoneLists, demo.phoneLists);
    EXPECT_EQ(loaded.log, demo.log);
    EXPECT_EQ(loaded.eraseDurationMs, demo.eraseDurationMs);
    EXPECT_EQ(loaded.faults.logNotReadyCount, 3);
    ASSERT_EQ(loaded.faults.rules.size(), 1u);
    EXPECT_EQ(loaded.faults.rules[0].delayMs, 2500u);
    EXPECT_EQ(loaded.faults.rules[0].count, 2u);
}

TEST_F(SimStateFile, KeysThatAreNotGivenKeepTheirFactoryValues) {
    std::string error;
    SimState loaded;
    ASSERT_TRUE(
        LoadSimState(Write(R"({"items": {"apn": "münchen", "address_mode": "3"}})"), loaded, error))
        << error;
    const std::vector<uint8_t> apn{'m', 0xFC, 'n', 'c', 'h', 'e', 'n'};
    EXPECT_EQ((loaded.items[{1, 0}]), apn);
    EXPECT_EQ((loaded.items[{1, 7}]), (std::vector<uint8_t>{0x33, 0, 0, 0}));
    EXPECT_EQ((loaded.items[{0, 1}]), FactoryState().items.at({0, 1}));
}

struct BadFile {
    const char* name;
    const char* json;
};

class SimStateFileRefuses : public SimStateFile, public testing::WithParamInterface<BadFile> {};

TEST_P(SimStateFileRefuses, AndLeavesTheStateAlone) {
    SimState state = DemoState();
    std::string error;
    EXPECT_FALSE(LoadSimState(Write(GetParam().json), state, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(state.items, DemoState().items);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SimStateFileRefuses,
    testing::Values(
        BadFile{"NotJson", "{"}, BadFile{"UnknownTopKey", R"({"itemz": {}})"},
        BadFile{"UnknownItem", R"({"items": {"colour": "red"}})"},
        BadFile{"TextAboveU00FF", R"({"items": {"apn": "網路"}})"},
        BadFile{"WrongWordCount", R"({"items": {"sleep_schedule": [1, 2]}})"},
        BadFile{"ElevenPhoneEntries",
                R"({"phone_lists": {"sos": ["1","2","3","4","5","6","7","8","9","10","11"]}})"},
        BadFile{"ShortRawRecord", R"({"log": [{"raw": "ffff"}]})"},
        BadFile{"BadTime", R"({"log": [{"time": "yesterday"}]})"},
        BadFile{"UnknownFault", R"({"faults": {"rules": [{"kind": "fire"}]}})"},
        BadFile{
            "TextLongerThanAReply",
            R"({"items": {"server": "tracker-gateway.fleet.example.net/a-path-that-runs-past-a-reply"}})"},
        BadFile{
            "PhoneEntryLongerThanAReply",
            R"({"phone_lists": {"sos": ["+886912345678,+886922334455,+886933221100,+886944556677,+886955"]}})"}),
    [](const auto& row) { return row.param.name; });

// A tracker keeps texts set by SMS or the web that are longer than a host can write in
// one command; a state file may hold any text that one reply carries whole.
TEST_F(SimStateFile, TextsUpToWhatOneReplyCarriesAreKept) {
    const std::string server(kMaxStoredText, 's');
    const std::string phone(kMaxStoredText, '9');
    std::string error;
    SimState loaded;
    ASSERT_TRUE(LoadSimState(Write(R"({"items": {"server": ")" + server +
                                   R"("}, "phone_lists": {"sms": [")" + phone + R"("]}})"),
                             loaded, error))
        << error;
    EXPECT_EQ((loaded.items[{1, 3}]), std::vector<uint8_t>(server.begin(), server.end()));
    EXPECT_EQ(loaded.phoneLists[2][0], phone);
}

TEST_F(SimStateFile, MissingFileIsAnError) {
    SimState state;
    std::string error;
    EXPECT_FALSE(LoadSimState("/nonexistent/state.json", state, error));
    EXPECT_NE(error.find("cannot be opened"), std::string::npos);
}

}  // namespace
}  // namespace quarnel::sim
