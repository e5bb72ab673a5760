// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Several simulated trackers at once: the virtual clock shared by their workers, the
// plugging and unplugging on it, and the state file of a fleet. Threads: this runs under
// the thread sanitiser.
#include "sim/sim_fleet.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/hid_cmd.h"
#include "device/tracker_paths.h"
#include "sim/virtual_clock.h"
#include "support/row_name.h"

namespace quarnel::sim {
namespace {

using test::PrintTo;

// --- the virtual clock alone ---

TEST(VirtualClockAlone, AWaitJumpsToItsEnd) {
    VirtualClock clock;
    clock.WaitUntil(2'000'000);
    EXPECT_EQ(clock.NowUs(), 2'000'000u);
    clock.WaitUntil(1'000'000);  // never backward
    EXPECT_EQ(clock.NowUs(), 2'000'000u);
}

TEST(VirtualClockAlone, AWaitStopsAtATimerAndRunsIt) {
    VirtualClock clock;
    std::vector<uint64_t> ran;
    clock.At(1500, [&] { ran.push_back(clock.NowUs()); });
    clock.At(500, [&] { ran.push_back(clock.NowUs()); });
    clock.WaitUntil(3000);
    EXPECT_EQ(clock.NowUs(), 500u);
    EXPECT_EQ(ran, (std::vector<uint64_t>{500}));
    EXPECT_TRUE(clock.TimersPending());
    clock.AdvanceTo(3000);  // runs each timer on the way, at its own time
    EXPECT_EQ(ran, (std::vector<uint64_t>{500, 1500}));
    EXPECT_EQ(clock.NowUs(), 3000u);
    EXPECT_FALSE(clock.TimersPending());
    clock.At(100, [&] { ran.push_back(clock.NowUs()); });  // already past: at once
    EXPECT_EQ(ran.back(), 3000u);
}

// --- a shared timeline ---

// Two workers that each wait for their own moments: time moves only when both wait, to
// the earlier of the two, so each sees exactly its own moments; a worker that computes for
// a (real) while holds time still.
TEST(VirtualClockShared, MovesOnlyWhenEveryParticipantWaits) {
    VirtualClock clock;
    std::mutex mutex;
    std::vector<std::string> seen;
    auto note = [&](const std::string& what) {
        std::lock_guard lock(mutex);
        seen.push_back(what + "@" + std::to_string(clock.NowUs()));
    };
    VirtualClock::Participation a = clock.Participate();
    VirtualClock::Participation b = clock.Participate();
    std::thread first([&, part = std::move(a)]() mutable {
        for (uint64_t t : {1000u, 2000u, 3000u}) {
            while (clock.NowUs() < t) {
                clock.WaitUntil(t);
            }
            note("a");
        }
        part = VirtualClock::Participation();  // leaves
    });
    std::thread second([&, part = std::move(b)]() mutable {
        // Busy in real time while time stands: nobody else may move it meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        note("b-start");
        while (clock.NowUs() < 2500) {
            clock.WaitUntil(2500);
        }
        note("b");
        while (clock.NowUs() < 10'000) {
            clock.WaitUntil(10'000);  // alone once the first has left
        }
        note("b-end");
    });
    first.join();
    second.join();
    std::sort(seen.begin(), seen.end(), [](const std::string& x, const std::string& y) {
        return std::stoull(x.substr(x.find('@') + 1)) < std::stoull(y.substr(y.find('@') + 1));
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"b-start@0", "a@1000", "a@2000", "b@2500", "a@3000",
                                              "b-end@10000"}));
}

TEST(VirtualClockShared, RunsATimerAtItsMomentBetweenTheWaits) {
    VirtualClock clock;
    std::atomic<uint64_t> ranAt{0};
    clock.At(700, [&] { ranAt = clock.NowUs(); });
    VirtualClock::Participation part = clock.Participate();
    std::thread worker([&, p = std::move(part)]() mutable {
        clock.WaitUntil(5000);  // returns at the timer; the caller looks again
        EXPECT_EQ(clock.NowUs(), 700u);
        while (clock.NowUs() < 5000) {
            clock.WaitUntil(5000);
        }
    });
    worker.join();
    EXPECT_EQ(ranAt.load(), 700u);
    EXPECT_EQ(clock.NowUs(), 5000u);
}

// --- fleets ---

TEST(SimFleet, PlugsAndUnplugsEachTrackerOnTheClock) {
    FleetSetup setup;
    setup.trackers = {FleetTracker{"a", FactoryState(), {PlugSpan{0, 1000}, PlugSpan{3000, {}}}},
                      FleetTracker{"b", FactoryState(), {PlugSpan{2000, 4000}}},
                      FleetTracker{"c", FactoryState(), {}}};
    SimFleet fleet(setup);
    VirtualClock& clock = *fleet.Virtual();
    auto present = [&] { return FindTrackerPaths(fleet.Backend()); };
    using Paths = std::vector<std::string>;
    EXPECT_EQ(present(), (Paths{"a", "c"}));
    clock.AdvanceTo(1'500'000);
    EXPECT_EQ(present(), (Paths{"c"}));
    clock.AdvanceTo(2'500'000);
    EXPECT_EQ(present(), (Paths{"b", "c"}));
    EXPECT_TRUE(fleet.PlugEventsPending());
    clock.AdvanceTo(5'000'000);
    EXPECT_EQ(present(), (Paths{"a", "c"}));
    EXPECT_FALSE(fleet.PlugEventsPending());
}

// A tracker pulled out while its command waits for the reply: the read fails at that
// moment, not at the end of its time-out.
TEST(SimFleet, AnUnplugEndsAWaitingReadAtItsMoment) {
    FleetSetup setup;
    SimState silent = FactoryState();
    silent.faults.rules.push_back(FaultRule{});  // no reply to anything
    setup.trackers = {FleetTracker{"a", silent, {PlugSpan{0, 700}}}};
    SimFleet fleet(setup);
    CommandAreas areas;
    CHidCmd cmd(DeviceLink{fleet.Backend(), fleet.GetClock(), areas});
    ASSERT_EQ(cmd.m_io.Open(), 1);
    EXPECT_FALSE(Transact(cmd, kReadPolicy));
    EXPECT_EQ(fleet.Virtual()->NowUs(), 700'000u);
}

TEST(SimFleet, DemoTrackersHaveImeisOfTheirOwnWithTheirCheckDigit) {
    const FleetSetup demo = DemoFleet(3, false);
    ASSERT_EQ(demo.trackers.size(), 3u);
    EXPECT_EQ(DemoImei(0), "356938035643809");  // the demonstration tracker's own
    EXPECT_EQ(DemoImei(1), "356938035643817");
    EXPECT_EQ(DemoImei(2), "356938035643825");
    EXPECT_EQ(demo.trackers[2].path, "sim/tracker2");
    const std::vector<uint8_t> imei = demo.trackers[1].state.items.at({0, 0});
    EXPECT_EQ(std::string(imei.begin(), imei.end()), DemoImei(1));
    EXPECT_TRUE(demo.trackers[0].plugged.empty());
    const FleetSetup inTurn = DemoFleet(2, true);
    EXPECT_EQ(inTurn.trackers[1].plugged, (std::vector<PlugSpan>{PlugSpan{3000, 6000}}));
}

class FleetFile : public testing::Test {
protected:
    std::filesystem::path Write(const std::string& text) {
        std::ofstream(m_path, std::ios::binary) << text;
        return m_path;
    }
    void TearDown() override { std::filesystem::remove(m_path); }
    std::filesystem::path m_path = std::filesystem::temp_directory_path() /
                                   ("quarnel-fleet-" + std::to_string(::getpid()) + ".json");
};

TEST_F(FleetFile, SurvivesASaveAndALoad) {
    FleetSetup fleet = DemoFleet(2, true);
    fleet.trackers[1].path = "hub/2";
    fleet.trackers[1].state.faults.unplugAfter = 40;
    std::string error;
    ASSERT_TRUE(SaveSimFleet(m_path, fleet, error)) << error;
    FleetSetup loaded;
    ASSERT_TRUE(LoadSimFleet(m_path, loaded, error)) << error;
    ASSERT_EQ(loaded.trackers.size(), 2u);
    EXPECT_FALSE(loaded.singleTracker);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded.trackers[i].path, fleet.trackers[i].path);
        EXPECT_EQ(loaded.trackers[i].plugged, fleet.trackers[i].plugged);
        EXPECT_EQ(loaded.trackers[i].state.items, fleet.trackers[i].state.items);
        EXPECT_EQ(loaded.trackers[i].state.log, fleet.trackers[i].state.log);
    }
    EXPECT_EQ(loaded.trackers[1].state.faults.unplugAfter, 40);
}

TEST_F(FleetFile, ReadsAOneTrackerStateFileAsAFleetOfOneAndSavesItSo) {
    std::string error;
    FleetSetup loaded;
    ASSERT_TRUE(LoadSimFleet(Write(R"({"items": {"apn": "x"}})"), loaded, error)) << error;
    ASSERT_EQ(loaded.trackers.size(), 1u);
    EXPECT_TRUE(loaded.singleTracker);
    EXPECT_EQ(loaded.trackers[0].path, "sim/tracker0");
    ASSERT_TRUE(SaveSimFleet(m_path, loaded, error));
    SimState state;
    ASSERT_TRUE(LoadSimState(m_path, state, error)) << error;
    EXPECT_EQ((state.items[{1, 0}]), (std::vector<uint8_t>{'x'}));
}

struct BadFleet {
    const char* name;
    const char* json;
    const char* says;
};

class FleetFileRefuses : public FleetFile, public testing::WithParamInterface<BadFleet> {};

TEST_P(FleetFileRefuses, WithTheReasonAndLeavesTheFleetAlone) {
    FleetSetup fleet = DemoFleet(1, false);
    std::string error;
    EXPECT_FALSE(LoadSimFleet(Write(GetParam().json), fleet, error));
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
    EXPECT_EQ(fleet.trackers.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FleetFileRefuses,
    testing::Values(BadFleet{"EmptyList", R"({"trackers": []})", "a list of 1 to 64 trackers"},
                    BadFleet{"OtherKeys", R"({"trackers": [{}], "volume": 1})",
                             "unknown key \"volume\""},
                    BadFleet{"SamePathTwice", R"({"trackers": [{"path": "p"}, {"path": "p"}]})",
                             "trackers[1].path: \"p\" is taken twice"},
                    BadFleet{"DefaultPathTaken", R"({"trackers": [{"path": "sim/tracker1"}, {}]})",
                             "is taken twice"},
                    BadFleet{"BadState", R"({"trackers": [{}, {"items": {"volume": "3"}}]})",
                             "trackers[1]: items.volume: no such item"},
                    BadFleet{"SpanEndsBeforeItBegins",
                             R"({"trackers": [{"plugged": [{"at_ms": 500, "until_ms": 400}]}]})",
                             "until_ms must come after at_ms"},
                    BadFleet{"SpansOverlap",
                             R"({"trackers": [{"plugged": [{"at_ms": 0, "until_ms": 400},
                                                {"at_ms": 300}]}]})",
                             "trackers[0].plugged[1]: begins before the span before it ends"},
                    BadFleet{"SpanAfterForever",
                             R"({"trackers": [{"plugged": [{"at_ms": 0}, {"at_ms": 300}]}]})",
                             "begins before the span before it ends"}),
    test::RowName());

}  // namespace
}  // namespace quarnel::sim
