// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The log erase run on the test's own thread, against the simulated tracker on the
// virtual clock.
#include <gtest/gtest.h>

#include "gpslog/log_tasks.h"
#include "gpslog/log_test_support.h"
#include "gpslog/no_access_form.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

struct Erase {
    explicit Erase(sim::SimState state = sim::FactoryState())
        : rig(std::move(state)), tasks(rig.Link(), window, noWindow, rig.ui, table) {
        g_logEraseDone.store(0);
    }
    void Run() {
        startMs = rig.NowMs();
        tasks.EraseGpsLog();
    }
    uint64_t ElapsedMs() { return rig.NowMs() - startMs; }

    test::SimRig rig;
    test::NoAccessForm window;
    test::NoAccessForm noWindow;
    CLangTable table = test::ButtonTable();
    LogTasks tasks;
    uint64_t startMs = 0;
};

sim::SimState WithLog() {
    sim::SimState state = sim::FactoryState();
    state.log.push_back(sim::EncodeLogRecord(test::Fix(2014, 2, 7, 8, 5, 9)));
    return state;
}

TEST(Erase, SendsEraseThenEraseWaitSettingOnlyTheirFirstFourBytes) {
    Erase e(WithLog());
    e.rig.areas.payload.fill(0xAA);
    e.Run();
    const auto sent = e.rig.SentPayloads();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(std::vector<uint8_t>(sent[0].begin(), sent[0].begin() + 4),
              (std::vector<uint8_t>{2, 3, 4, 0}));
    EXPECT_EQ(std::vector<uint8_t>(sent[1].begin(), sent[1].begin() + 4),
              (std::vector<uint8_t>{1, 3, 4, 0}));
    for (const auto& p : sent) {
        for (size_t b = 4; b < kPayloadOnWire; ++b) {
            EXPECT_EQ(p[b], 0xAA) << "byte " << b;
        }
    }
    EXPECT_TRUE(e.rig.tracker.State().log.empty());
    EXPECT_TRUE(e.rig.ui.Events().empty()) << "a successful erase says nothing";
    EXPECT_LT(e.ElapsedMs(), 1000u);
    EXPECT_EQ(g_logEraseDone.load(), 1);
}

TEST(Erase, ClearsTheReplyAreaBeforeEachReply) {
    sim::SimState state = WithLog();
    // The erase wait goes unanswered: whatever the reply area then holds was cleared.
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 4, .op = 1});
    Erase e(state);
    e.rig.areas.reply.fill(0x55);
    e.Run();
    for (size_t i = 0; i < kAreaSize; ++i) {
        EXPECT_EQ(e.rig.areas.reply[i], 0) << "byte " << i;
    }
}

TEST(Erase, WaitsUntilTheTrackerHasErased) {
    sim::SimState state = WithLog();
    state.eraseDurationMs = 1500;
    Erase e(state);
    e.Run();
    EXPECT_GE(e.ElapsedMs(), 1500u);
    EXPECT_LT(e.ElapsedMs(), 1600u);
    EXPECT_EQ(g_logEraseDone.load(), 1);
}

TEST(Erase, SilentTrackerCostsTwoFullMinuteTimeOutsAndNoMessage) {
    sim::SimState state = WithLog();
    state.faults.rules.push_back({.kind = sim::FaultKind::NoReply, .group = 4});
    Erase e(state);
    e.Run();
    EXPECT_GE(e.ElapsedMs(), 120000u);
    EXPECT_LT(e.ElapsedMs(), 120100u);
    EXPECT_EQ(e.rig.SentPayloads().size(), 2u);
    EXPECT_TRUE(e.rig.ui.Events().empty());
    EXPECT_EQ(g_logEraseDone.load(), 1);
}

TEST(Erase, NoTrackerShowsOneMessageAndRaisesTheFlagOnlyAfterItWasClosed) {
    Erase e;
    e.rig.backend.Unplug("sim/tracker0");
    e.rig.areas.reply.fill(0x55);
    int flagWhileShown = -1;
    e.rig.ui.OnMessage([&](const std::u16string&) { flagWhileShown = g_logEraseDone.load(); });
    e.Run();
    EXPECT_EQ(e.rig.ui.Messages(), (std::vector<std::u16string>{u"USB CONNECT FAILURE"}));
    EXPECT_EQ(flagWhileShown, 0);
    EXPECT_EQ(g_logEraseDone.load(), 1);
    EXPECT_EQ(e.rig.areas.reply[0], 0) << "the reply area is cleared first, tracker or not";
}

TEST(Erase, LeavesTheSharedAreasFreeWhenTheFlagGoesUp) {
    Erase e(WithLog());
    e.Run();
    EXPECT_TRUE(TryLockSequence(e.rig.areas).owns_lock());
}

}  // namespace
}  // namespace quarnel
