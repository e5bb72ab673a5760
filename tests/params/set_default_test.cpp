// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>


#include "form/control_ids.h"
#include "form/messages.h"
#include "params/param_commands.h"
#include "params/param_messages.h"
#include "params/param_test_support.h"
#include "sim/sim_state.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::Request;
using test::SimRig;

const std::u16string kGetFinish(msg::kGetFinish);
const std::u16string kUsbFailure(msg::kUsbConnectFailure);

struct SetDefaultTest : ::testing::Test {
    SetDefaultTest() : rig(sim::DemoState()) { rig.form.AddModeItems(); }

    void Default() {
        CommandContext ctx = rig.Context();
        SetDefault(ctx, state);
    }

    SimRig rig;
    ParamState state;
};

TEST_F(SetDefaultTest, SendsTheFactoryCommandThenReadsTwice) {
    Default();
    const std::vector<int> seq = rig.SentSequenceNumbers();
    const std::vector<Request> requests = test::SentRequests(rig);
    ASSERT_EQ(requests.size(), 1u + 53u + 53u);

    EXPECT_EQ(seq[0], 19);
    EXPECT_EQ(requests[0].op, OP_SET);
    EXPECT_EQ(requests[0].len, 8);
    EXPECT_EQ(requests[0].group, 0);
    EXPECT_EQ(requests[0].part, 0);
    EXPECT_EQ(requests[0].index, 14u);
    for (size_t read = 0; read < 2; ++read) {
        for (size_t i = 0; i < 53; ++i) {
            const size_t at = 1 + 53 * read + i;
            ASSERT_EQ(seq[at], static_cast<int>(19 + i)) << at;  // each read from its own 19
            ASSERT_EQ(requests[at].op, OP_GET) << at;
        }
    }
    EXPECT_EQ(rig.tracker.FactoryResets(), 1u);
    EXPECT_TRUE(rig.tracker.ProtocolNotes().empty());
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kGetFinish});
    EXPECT_EQ(state.finishMessage, 1);

    // The form shows the factory settings, and the Set Default button was never disabled.
    EXPECT_EQ(rig.form.GetText(ctl::SmsIntervalEdit), u"300");
    EXPECT_EQ(rig.form.GetText(ctl::ApnEdit), u"internet");
    EXPECT_EQ(rig.form.GetText(ctl::ScuPhoneEdit), u"");
    EXPECT_TRUE(rig.form.IsChecked(ctl::TcpCheck));
    EXPECT_TRUE(rig.form.Snapshot(ctl::SetDefaultButton).enabledHistory.empty());
    EXPECT_EQ(rig.form.Snapshot(ctl::GetParameterButton).enabledHistory,
              (std::vector<bool>{false, true, false, true}));
}

TEST_F(SetDefaultTest, AMissingFactoryReplyIsNotNoticed) {
    sim::SimFaults faults;
    faults.rules.push_back(sim::FaultRule{sim::FaultKind::NoReply, 0, OP_SET});
    rig.tracker.SetFaults(faults);
    Default();
    EXPECT_EQ(rig.tracker.FactoryResets(), 1u);
    EXPECT_GE(rig.NowMs(), 2000u);  // the factory command waited out its time-out
    EXPECT_EQ(rig.tracker.CommandsTaken(), 107u);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kGetFinish});
    EXPECT_EQ(rig.form.GetText(ctl::SmsIntervalEdit), u"300");
}

TEST_F(SetDefaultTest, WithoutATrackerShowsThreeUsbFailuresAndNoGetFinish) {
    rig.backend.Unplug("sim/tracker0");
    rig.form.SetText(ctl::ApnEdit, u"kept");
    Default();
    EXPECT_EQ(rig.ui.Messages(),
              (std::vector<std::u16string>{kUsbFailure, kUsbFailure, kUsbFailure}));
    EXPECT_EQ(state.finishMessage, 1);
    EXPECT_EQ(rig.form.GetText(ctl::ApnEdit), u"kept");
    EXPECT_TRUE(rig.form.IsEnabled(ctl::GetParameterButton));
}

TEST_F(SetDefaultTest, ALaterGetEndsWithGetFinish) {
    Default();
    rig.tracker.ClearTranscript();
    CommandContext ctx = rig.Context();
    GetParameter(ctx, state);
    EXPECT_EQ(rig.ui.Messages(), (std::vector<std::u16string>{kGetFinish, kGetFinish}));
    EXPECT_EQ(rig.tracker.Transcript().size(), 2u * 53u);
}

TEST_F(SetDefaultTest, RefusesWhileABackgroundTaskHoldsTheTracker) {
    test::WhileATaskHoldsTheTracker(rig.areas, [&] { Default(); });
    EXPECT_EQ(rig.ui.Messages(),
              std::vector<std::u16string>{std::u16string(params_msg::kTrackerBusy)});
    EXPECT_TRUE(rig.tracker.Transcript().empty());
    EXPECT_EQ(rig.tracker.FactoryResets(), 0u);
}

TEST(SetDefaultError, AnErrorInTheQuietReadLeavesTheFinishSwitchOn) {
    SimRig rig(sim::DemoState());
    test::FailingForm form;
    form.failSetTextOf = ctl::ApnEdit;
    ParamState state;
    CommandContext ctx{rig.Link(), form, rig.ui};
    EXPECT_THROW(SetDefault(ctx, state), std::runtime_error);
    EXPECT_EQ(state.finishMessage, 1);
    EXPECT_TRUE(form.IsEnabled(ctl::GetParameterButton));

    form.failSetTextOf = -1;
    GetParameter(ctx, state);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kGetFinish});
}

// The address-mode boxes, after the click has toggled the clicked box.
struct Boxes {
    bool tcp, udp, reply;
    bool operator==(const Boxes&) const = default;
};

struct ClickCase {
    const char* name;
    Boxes before;
    int clicked;
    Boxes after;
};

class AddressModeTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(AddressModeTest, KeepsTcpAndUdpAPairAndReplyWithUdp) {
    test::MemoryForm form;
    const ClickCase& c = GetParam();
    form.SetChecked(ctl::TcpCheck, c.before.tcp);
    form.SetChecked(ctl::UdpCheck, c.before.udp);
    form.SetChecked(ctl::ReplyCheck, c.before.reply);
    // The click toggles the box first, as an automatic check box does.
    if (c.clicked == ctl::TcpCheck || c.clicked == ctl::UdpCheck || c.clicked == ctl::ReplyCheck) {
        form.SetChecked(c.clicked, !form.IsChecked(c.clicked));
    }
    OnAddressModeClicked(form, c.clicked);
    const Boxes now{form.IsChecked(ctl::TcpCheck), form.IsChecked(ctl::UdpCheck),
                    form.IsChecked(ctl::ReplyCheck)};
    EXPECT_EQ(now, c.after) << now.tcp << now.udp << now.reply;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddressModeTest,
    ::testing::Values(
        ClickCase{"TcpFromNothing", {false, false, false}, ctl::TcpCheck, {true, false, false}},
        ClickCase{
            "CheckedTcpStaysChecked", {true, false, false}, ctl::TcpCheck, {true, false, false}},
        ClickCase{"TcpClearsUdpAndReply", {false, true, true}, ctl::TcpCheck, {true, false, false}},
        ClickCase{"UdpClearsTcp", {true, false, false}, ctl::UdpCheck, {false, true, false}},
        ClickCase{
            "CheckedUdpStaysChecked", {false, true, false}, ctl::UdpCheck, {false, true, false}},
        ClickCase{"UdpClearsReply", {false, true, true}, ctl::UdpCheck, {false, true, false}},
        ClickCase{"ReplyWithoutUdpStaysCleared",
                  {true, false, false},
                  ctl::ReplyCheck,
                  {true, false, false}},
        ClickCase{"ReplyWithNothingStaysCleared",
                  {false, false, false},
                  ctl::ReplyCheck,
                  {false, false, false}},
        ClickCase{
            "ReplyWithUdpTurnsOn", {false, true, false}, ctl::ReplyCheck, {false, true, true}},
        ClickCase{
            "ReplyWithUdpTurnsOff", {false, true, true}, ctl::ReplyCheck, {false, true, false}},
        ClickCase{"OtherControlChangesNothing",
                  {true, true, true},
                  ctl::BurglarCheck,
                  {true, true, true}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace quarnel
