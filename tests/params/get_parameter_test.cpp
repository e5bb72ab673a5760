// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <tuple>

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

using test::Narrow;
using test::SimRig;
using test::TextBytes;
using test::Words;

const std::u16string kGetFinish(msg::kGetFinish);
const std::u16string kUsbFailure(msg::kUsbConnectFailure);

struct GetParameterTest : ::testing::Test {
    GetParameterTest() : rig(sim::DemoState()) { rig.form.AddModeItems(); }

    void Get() {
        CommandContext ctx = rig.Context();
        GetParameter(ctx, state);
    }
    void SetItem(int group, int index, std::vector<uint8_t> value) {
        sim::SimState s = rig.tracker.State();
        s.items[{group, index}] = std::move(value);
        rig.tracker.SetState(std::move(s));
    }

    SimRig rig;
    ParamState state;
};

// (group, index, entry or -1) of every read, in the order the tracker must see them.
std::vector<std::tuple<int, uint32_t, int>> ExpectedReads() {
    std::vector<std::tuple<int, uint32_t, int>> out;
    for (uint32_t i = 0; i <= 12; ++i)
        out.emplace_back(0, i, -1);
    for (uint32_t i = 0; i <= 7; ++i)
        out.emplace_back(1, i, -1);
    out.emplace_back(2, 0, -1);
    out.emplace_back(2, 1, -1);
    for (uint32_t list = 2; list <= 4; ++list) {
        for (int entry = 0; entry < 10; ++entry)
            out.emplace_back(2, list, entry);
    }
    return out;
}

TEST_F(GetParameterTest, ReadsEveryItemInCatalogueOrderWithSequenceNumbers19To71) {
    Get();
    const auto requests = test::SentRequests(rig);
    const auto expected = ExpectedReads();
    ASSERT_EQ(requests.size(), 53u);
    for (size_t i = 0; i < requests.size(); ++i) {
        const auto& [group, index, entry] = expected[i];
        SCOPED_TRACE("read " + std::to_string(i));
        EXPECT_EQ(requests[i].op, OP_GET);
        EXPECT_EQ(requests[i].group, group);
        EXPECT_EQ(requests[i].index, index);
        EXPECT_EQ(requests[i].part, 0);
        EXPECT_EQ(requests[i].len, entry < 0 ? 8 : 12);
        if (entry >= 0) {
            EXPECT_EQ(requests[i].Word(0), static_cast<uint32_t>(entry));
        }
    }
    std::vector<int> sequence;
    for (int s = 19; s <= 71; ++s)
        sequence.push_back(s);
    EXPECT_EQ(rig.SentSequenceNumbers(), sequence);
    EXPECT_TRUE(rig.tracker.ProtocolNotes().empty());
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kGetFinish});
    EXPECT_EQ(rig.form.Snapshot(ctl::GetParameterButton).enabledHistory,
              (std::vector<bool>{false, true}));
}

TEST_F(GetParameterTest, LeavesEveryPayloadByteItDoesNotNeed) {
    rig.areas.payload.fill(0xA5);
    Get();
    const auto payloads = rig.SentPayloads();
    ASSERT_EQ(payloads.size(), 53u);
    for (size_t b = payload::kBody; b < kPayloadOnWire; ++b) {
        EXPECT_EQ(payloads[0][b], 0xA5) << b;  // a plain read sets only the header
    }
    const std::vector<uint8_t>& firstEntry = payloads[23];
    for (size_t b = payload::kBody + 4; b < kPayloadOnWire; ++b) {
        EXPECT_EQ(firstEntry[b], 0xA5) << b;  // an entry read adds only its number
    }
}

TEST_F(GetParameterTest, FillsTheFormFromTheTracker) {
    Get();
    test::MemoryForm& f = rig.form;
    std::vector<std::pair<int, std::u16string>> texts = test::DemoFormTexts();
    texts.emplace_back(ctl::ImeiDisplay, u"356938035643809");
    texts.emplace_back(ctl::VersionEdit, u"TRV-G12 V1.40207");
    for (const auto& [id, text] : texts) {
        EXPECT_EQ(Narrow(f.GetText(id)), Narrow(text)) << id;
    }
    EXPECT_EQ(f.GetSelection(ctl::ModeCombo), 2);
    // Security SMS 0x8B: burglar, SOS, power cut, over speed.
    const std::vector<std::pair<int, bool>> boxes{
        {ctl::BurglarCheck, true},
        {ctl::SosCheck, true},
        {ctl::SecurityGeoFenceCheck, false},
        {ctl::PowerCutCheck, true},
        {ctl::LowBatteryCheck, false},
        {ctl::VibrationAlarmCheck, false},
        {ctl::GpsFixAlarmCheck, false},
        {ctl::OverSpeedAlarmCheck, true},
        // Buzzer 0x87: bit 0 has no box; SMS send, GPRS send, button pressed.
        {ctl::SmsSendCheck, true},
        {ctl::GprsSendCheck, true},
        {ctl::BuzzerGeoFenceCheck, false},
        {ctl::UsbSetCheck, false},
        {ctl::WebSetCheck, false},
        {ctl::SmsSetCheck, false},
        {ctl::ButtonPressedCheck, true},
        // Address mode "1".
        {ctl::TcpCheck, false},
        {ctl::UdpCheck, true},
        {ctl::ReplyCheck, false},
    };
    for (const auto& [id, checked] : boxes) {
        EXPECT_EQ(f.IsChecked(id), checked) << id;
    }
}

TEST_F(GetParameterTest, EveryReplyByteBecomesTheCharacterOfTheSameCode) {
    SetItem(1, 0, {0xE9, 'A', 0xFF, 0x01, 0x7F, 0x80});
    Get();
    EXPECT_EQ(rig.form.GetText(ctl::ApnEdit), u"\u00e9A\u00ff\u0001\u007f\u0080");
    EXPECT_EQ(state.replyText, u"");  // the last reply text was SMS list entry 9: empty
}

TEST_F(GetParameterTest, AReplyOf62BytesWithoutAZeroStillEnds) {
    SetItem(1, 3, std::vector<uint8_t>(70, 'w'));  // the tracker can send 62 of them
    Get();
    EXPECT_EQ(rig.form.GetText(ctl::IpDomainEdit), std::u16string(62, u'w'));
}

TEST_F(GetParameterTest, NegativeIntegersShowWithAMinusSign) {
    SetItem(0, 11, Words({0xFFFFFFFB, 0x80000000, 0, 0, 0xFFFFFFFF, 7, 0}));
    SetItem(0, 12, Words({0xFFFFFF85, 0x7FFFFFFF, 0}));
    Get();
    EXPECT_EQ(rig.form.GetText(ctl::SleepHourEdit), u"-5");
    EXPECT_EQ(rig.form.GetText(ctl::SleepMinEdit), u"-2147483648");
    EXPECT_EQ(rig.form.GetText(ctl::WakeupHourEdit), u"-1");
    EXPECT_EQ(rig.form.GetText(ctl::SensorActiveEdit), u"-123");
    EXPECT_EQ(rig.form.GetText(ctl::HiddenEdit1045), u"2147483647");
}

struct ModeCase {
    const char* name;
    uint32_t value;
    int selection;
};

class GetParameterModeTest : public GetParameterTest,
                             public ::testing::WithParamInterface<ModeCase> {};

TEST_P(GetParameterModeTest, SelectsEntryKOrNothing) {
    SetItem(0, 11, Words({0, 0, 0, GetParam().value, 0, 0, 0}));
    rig.form.SetSelection(ctl::ModeCombo, 1);  // a selection from before the read
    Get();
    EXPECT_EQ(rig.form.GetSelection(ctl::ModeCombo), GetParam().selection);
}

INSTANTIATE_TEST_SUITE_P(Cases, GetParameterModeTest,
                         ::testing::Values(ModeCase{"First", 0, 0}, ModeCase{"Last", 3, 3},
                                           ModeCase{"PastTheFourItems", 4, -1},
                                           ModeCase{"Five", 5, -1},
                                           ModeCase{"MinusOne", 0xFFFFFFFF, -1},
                                           ModeCase{"Huge", 0x80000000, -1}),
                         [](const auto& param) { return std::string(param.param.name); });

struct MaskCase {
    const char* name;
    uint32_t security;
    uint32_t buzzer;
    std::vector<bool> securityBoxes;  // 1051-1058
    std::vector<bool> buzzerBoxes;    // 1059-1064, 1066
};

class GetParameterMaskTest : public GetParameterTest,
                             public ::testing::WithParamInterface<MaskCase> {};

TEST_P(GetParameterMaskTest, ChecksTheBoxOfEverySetBit) {
    SetItem(0, 9, Words({GetParam().security}));
    SetItem(0, 10, Words({GetParam().buzzer}));
    Get();
    const int securityIds[] = {1051, 1052, 1053, 1054, 1055, 1056, 1057, 1058};
    const int buzzerIds[] = {1059, 1060, 1061, 1062, 1063, 1064, 1066};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(rig.form.IsChecked(securityIds[i]), GetParam().securityBoxes[i])
            << securityIds[i];
    }
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(rig.form.IsChecked(buzzerIds[i]), GetParam().buzzerBoxes[i]) << buzzerIds[i];
    }
}

const std::vector<bool> kAll8(8, true), kNone8(8, false), kAll7(7, true), kNone7(7, false);

INSTANTIATE_TEST_SUITE_P(
    Cases, GetParameterMaskTest,
    ::testing::Values(
        MaskCase{"AllOnesChecksEveryBox", 0xFFFFFFFF, 0xFFFFFFFF, kAll8, kAll7},
        MaskCase{"HighBitsAreIgnored", 0xFFFFFF00, 0xFFFFFF00, kNone8, kNone7},
        MaskCase{"BuzzerBitZeroHasNoBox", 0x00000000, 0x00000001, kNone8, kNone7},
        MaskCase{
            "SingleBits", 0x00000041, 0x00000082, {1, 0, 0, 0, 0, 0, 1, 0}, {1, 0, 0, 0, 0, 0, 1}}),
    [](const auto& param) { return std::string(param.param.name); });

struct TransportCase {
    const char* name;
    uint32_t code;
    bool tcp, udp, reply;
};

class GetParameterTransportTest : public GetParameterTest,
                                  public ::testing::WithParamInterface<TransportCase> {};

TEST_P(GetParameterTransportTest, SetsTcpUdpAndReply) {
    SetItem(1, 7, Words({GetParam().code}));
    // Start from the opposite of what the read must show.
    rig.form.SetChecked(ctl::TcpCheck, !GetParam().tcp);
    rig.form.SetChecked(ctl::UdpCheck, !GetParam().udp);
    rig.form.SetChecked(ctl::ReplyCheck, !GetParam().reply);
    Get();
    EXPECT_EQ(rig.form.IsChecked(ctl::TcpCheck), GetParam().tcp);
    EXPECT_EQ(rig.form.IsChecked(ctl::UdpCheck), GetParam().udp);
    EXPECT_EQ(rig.form.IsChecked(ctl::ReplyCheck), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Cases, GetParameterTransportTest,
                         ::testing::Values(TransportCase{"Zero", '0', true, false, false},
                                           TransportCase{"One", '1', false, true, false},
                                           TransportCase{"Two", '2', false, true, false},
                                           TransportCase{"Three", '3', false, true, true},
                                           TransportCase{"AllZero", 0, false, true, false}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(GetParameterTest, PhoneListShowsNonEmptyEntriesEachFollowedByAComma) {
    sim::SimState s = rig.tracker.State();
    s.phoneLists[0] = {"A", "", "B"};
    s.phoneLists[1] = {};
    s.phoneLists[2] = {"", "", "", "", "", "", "", "", "", "Z"};
    rig.tracker.SetState(s);
    rig.form.SetText(ctl::SosPhoneEdit, u"old text");
    Get();
    EXPECT_EQ(rig.form.GetText(ctl::ScuPhoneEdit), u"A,B,");
    EXPECT_EQ(rig.form.GetText(ctl::SosPhoneEdit), u"");
    EXPECT_EQ(rig.form.GetText(ctl::SmsPhoneEdit), u"Z,");
}

TEST_F(GetParameterTest, TenLongEntriesAreShownWhole) {
    sim::SimState s = rig.tracker.State();
    for (size_t j = 0; j < 10; ++j) {
        s.phoneLists[0][j] = std::string(61, static_cast<char>('a' + j));
    }
    rig.tracker.SetState(s);
    Get();
    std::u16string expected;
    for (size_t j = 0; j < 10; ++j) {
        expected += std::u16string(61, static_cast<char16_t>(u'a' + j)) + u",";
    }
    EXPECT_EQ(rig.form.GetText(ctl::ScuPhoneEdit), expected);
}

TEST_F(GetParameterTest, SilentTrackerShowsEmptyZeroAndUdpOnlyAndStillFinishes) {
    sim::SimFaults faults;
    faults.rules.push_back(sim::FaultRule{sim::FaultKind::NoReply});
    rig.tracker.SetFaults(faults);
    // Values from an earlier read, all of which a silent tracker replaces.
    rig.form.SetText(ctl::ApnEdit, u"apn");
    rig.form.SetText(ctl::SleepHourEdit, u"23");
    rig.form.SetText(ctl::ScuPhoneEdit, u"1,2,");
    rig.form.SetChecked(ctl::BurglarCheck, true);
    rig.form.SetChecked(ctl::ButtonPressedCheck, true);
    rig.form.SetChecked(ctl::TcpCheck, true);
    rig.form.SetChecked(ctl::ReplyCheck, true);
    rig.form.SetSelection(ctl::ModeCombo, 3);
    Get();
    EXPECT_EQ(rig.tracker.CommandsTaken(), 53u);
    EXPECT_GE(rig.NowMs(), 53u * 2000u);  // every read waited out its time-out
    EXPECT_EQ(rig.form.GetText(ctl::ImeiDisplay), u"");
    EXPECT_EQ(rig.form.GetText(ctl::ApnEdit), u"");
    EXPECT_EQ(rig.form.GetText(ctl::SleepHourEdit), u"0");
    EXPECT_EQ(rig.form.GetText(ctl::SensorActiveEdit), u"0");
    EXPECT_EQ(rig.form.GetText(ctl::ScuPhoneEdit), u"");
    EXPECT_FALSE(rig.form.IsChecked(ctl::BurglarCheck));
    EXPECT_FALSE(rig.form.IsChecked(ctl::ButtonPressedCheck));
    EXPECT_EQ(rig.form.GetSelection(ctl::ModeCombo), 0);
    EXPECT_FALSE(rig.form.IsChecked(ctl::TcpCheck));
    EXPECT_TRUE(rig.form.IsChecked(ctl::UdpCheck));
    EXPECT_FALSE(rig.form.IsChecked(ctl::ReplyCheck));
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kGetFinish});
}

TEST_F(GetParameterTest, NoTrackerShowsOneUsbFailureAndEnablesTheButtonAgain) {
    rig.backend.Unplug("sim/tracker0");
    rig.form.SetText(ctl::ApnEdit, u"kept");
    Get();
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kUsbFailure});
    EXPECT_TRUE(rig.form.IsEnabled(ctl::GetParameterButton));
    EXPECT_EQ(rig.form.Snapshot(ctl::GetParameterButton).enabledHistory,
              (std::vector<bool>{false, true}));
    EXPECT_EQ(rig.form.GetText(ctl::ApnEdit), u"kept");
    EXPECT_TRUE(rig.tracker.Transcript().empty());
}

TEST_F(GetParameterTest, WithTheFinishSwitchOffEndsWithoutAnyMessage) {
    state.finishMessage = 0;
    Get();
    EXPECT_EQ(rig.tracker.CommandsTaken(), 53u);
    EXPECT_TRUE(rig.ui.Events().empty());
    EXPECT_EQ(rig.form.GetText(ctl::SmsIntervalEdit), u"600");
}

TEST_F(GetParameterTest, RefusesWhileABackgroundTaskHoldsTheTracker) {
    test::WhileATaskHoldsTheTracker(rig.areas, [&] { Get(); });
    EXPECT_EQ(rig.ui.Messages(),
              std::vector<std::u16string>{std::u16string(params_msg::kTrackerBusy)});
    EXPECT_TRUE(rig.tracker.Transcript().empty());
    EXPECT_TRUE(rig.form.IsEnabled(ctl::GetParameterButton));
}

TEST(GetParameterError, AnErrorPartWayEnablesTheButtonAgainAndFreesTheTracker) {
    SimRig rig(sim::DemoState());
    test::FailingForm form;
    form.failSetTextOf = ctl::IpDomainEdit;
    ParamState state;
    CommandContext ctx{rig.Link(), form, rig.ui};
    EXPECT_THROW(GetParameter(ctx, state), std::runtime_error);
    EXPECT_TRUE(form.IsEnabled(ctl::GetParameterButton));
    EXPECT_EQ(rig.tracker.CommandsTaken(), 17u);  // up to the server address
    EXPECT_TRUE(rig.ui.Messages().empty());

    // Nothing is left held: the next read runs from a fresh connection.
    form.failSetTextOf = -1;
    rig.tracker.ClearTranscript();
    GetParameter(ctx, state);
    EXPECT_EQ(rig.SentSequenceNumbers().front(), 19);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kGetFinish});
    EXPECT_EQ(form.GetText(ctl::IpDomainEdit), u"track.example.net");
}

}  // namespace
}  // namespace quarnel
