// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <gtest/gtest.h>

#include <limits>
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
using test::Request;
using test::SimRig;
using test::Wide;

const std::u16string kSetFinish(msg::kSetFinish);
const std::u16string kUsbFailure(msg::kUsbConnectFailure);

// The form as a read of the demo tracker leaves it.
void FillDemoForm(test::MemoryForm& f) {
    for (const auto& [id, text] : test::DemoFormTexts()) {
        f.SetText(id, text);
    }
    for (int id : {ctl::BurglarCheck, ctl::SosCheck, ctl::PowerCutCheck, ctl::OverSpeedAlarmCheck,
                   ctl::SmsSendCheck, ctl::GprsSendCheck, ctl::ButtonPressedCheck, ctl::UdpCheck}) {
        f.SetChecked(id, true);
    }
    f.SetSelection(ctl::ModeCombo, 2);
}

struct SetParameterTest : ::testing::Test {
    SetParameterTest() {
        rig.form.AddModeItems();
        FillDemoForm(rig.form);
    }

    void Set() {
        CommandContext ctx = rig.Context();
        SetParameter(ctx, state);
    }
    Request Only(int group, uint32_t index) {
        const auto requests = test::RequestsFor(rig, group, index);
        EXPECT_EQ(requests.size(), 1u) << group << "/" << index;
        return requests.empty() ? Request{} : requests.front();
    }

    SimRig rig;  // a tracker on factory settings, so every written value shows
    ParamState state;
};

TEST_F(SetParameterTest, WritesEveryWritableItemThenTheClosingWrite) {
    Set();
    // (group, index, len) of every write, in the order the tracker must see them.
    std::vector<std::tuple<int, uint32_t, int>> expected{
        {0, 1, 11}, {0, 2, 10},  {0, 3, 10},  {0, 4, 11},  {0, 5, 11}, {0, 6, 9},  {0, 7, 11},
        {0, 9, 12}, {0, 10, 12}, {0, 11, 36}, {0, 12, 20}, {1, 0, 26}, {1, 1, 13}, {1, 2, 15},
        {1, 3, 25}, {1, 4, 12},  {1, 5, 12},  {1, 6, 12},  {1, 7, 9},  {2, 0, 13}, {2, 1, 12}};
    auto list = [&](uint32_t index, std::vector<int> lens) {
        lens.resize(10, 13);
        for (int len : lens)
            expected.emplace_back(2, index, len);
    };
    list(2, {25, 25});
    list(3, {25});
    list(4, {25, 22, 25});
    expected.emplace_back(0, 0, 8);

    const auto requests = test::SentRequests(rig);
    ASSERT_EQ(requests.size(), expected.size());
    ASSERT_EQ(requests.size(), 52u);
    for (size_t i = 0; i < requests.size(); ++i) {
        SCOPED_TRACE("write " + std::to_string(i));
        EXPECT_EQ(requests[i].op, OP_SET);
        EXPECT_EQ(requests[i].part, 0);
        EXPECT_EQ(std::make_tuple(int{requests[i].group}, requests[i].index, int{requests[i].len}),
                  expected[i]);
    }
    std::vector<int> sequence;
    for (int s = 19; s <= 70; ++s)
        sequence.push_back(s);
    EXPECT_EQ(rig.SentSequenceNumbers(), sequence);
    EXPECT_TRUE(rig.tracker.ProtocolNotes().empty());
    EXPECT_EQ(rig.tracker.ClosingWrites(), 1u);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kSetFinish});
    EXPECT_EQ(rig.form.Snapshot(ctl::SetParameterButton).enabledHistory,
              (std::vector<bool>{false, true}));

    const sim::SimState demo = sim::DemoState();
    const sim::SimState now = rig.tracker.State();
    EXPECT_EQ(now.items, demo.items);
    EXPECT_EQ(now.phoneLists, demo.phoneLists);
}

TEST_F(SetParameterTest, MasksIntegersAndTransportOnTheWire) {
    Set();
    EXPECT_EQ(Only(0, 9).Word(0), 0x8Bu);
    EXPECT_EQ(Only(0, 10).Word(0), 0x87u);
    const Request sleep = Only(0, 11);
    const uint32_t words[] = {23, 30, 0, 2, 6, 15, 0};
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(sleep.Word(i), words[i]) << i;
    }
    const Request sensor = Only(0, 12);
    EXPECT_EQ(sensor.Word(0), 5u);
    EXPECT_EQ(sensor.Word(1), 0u);
    EXPECT_EQ(sensor.Word(2), 0u);
    const Request transport = Only(1, 7);
    EXPECT_EQ(std::vector<uint8_t>(transport.body.begin(), transport.body.begin() + 4),
              (std::vector<uint8_t>{'1', 0, 0, 0}));
}

TEST_F(SetParameterTest, TextIsNotClearedPastItsZero) {
    rig.areas.payload.fill(0xA5);
    Set();
    const Request sms = Only(0, 1);
    EXPECT_EQ(sms.TextAt(0), "600");
    EXPECT_EQ(sms.body[3], 0);
    for (size_t b = 4; b < sms.body.size(); ++b) {
        ASSERT_EQ(sms.body[b], 0xA5) << b;
    }
    // The APN follows the sensor settings; past its zero lie the sleep schedule's last
    // words (the sensor settings were shorter), and past those the bytes from before.
    const Request sleep = Only(0, 11);
    const Request apn = Only(1, 0);
    EXPECT_EQ(apn.TextAt(0), "internet.emome.net");
    EXPECT_EQ(apn.body[18], 0);
    for (size_t b = 19; b < 28; ++b) {
        EXPECT_EQ(apn.body[b], sleep.body[b]) << b;
    }
    for (size_t b = 28; b < apn.body.size(); ++b) {
        ASSERT_EQ(apn.body[b], 0xA5) << b;
    }
    // The closing write carries what the last clearing write left: entry 9 and zeros.
    const Request closing = test::SentRequests(rig).back();
    EXPECT_EQ(closing.Word(0), 9u);
    for (size_t b = 4; b < closing.body.size(); ++b) {
        ASSERT_EQ(closing.body[b], 0) << b;
    }
}

struct TextCase {
    const char* name;
    std::u16string text;
    int len;
    std::vector<uint8_t> bytes;
};

class SetParameterTextTest : public SetParameterTest,
                             public ::testing::WithParamInterface<TextCase> {};

TEST_P(SetParameterTextTest, SendsTheBytesAndAZero) {
    rig.form.SetText(ctl::ApnEdit, GetParam().text);
    Set();
    const Request apn = Only(1, 0);
    EXPECT_EQ(apn.len, GetParam().len);
    EXPECT_EQ(std::vector<uint8_t>(apn.body.begin(), apn.body.begin() + GetParam().bytes.size()),
              GetParam().bytes);
    EXPECT_EQ(apn.body[GetParam().bytes.size()], 0);
    EXPECT_TRUE(rig.tracker.ProtocolNotes().empty());
    EXPECT_EQ(rig.tracker.State().items.at({1, 0}), GetParam().bytes);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kSetFinish});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetParameterTextTest,
    ::testing::Values(
        TextCase{"Empty", u"", 8, {}}, TextCase{"Latin1", u"caf\u00e9", 12, {'c', 'a', 'f', 0xE9}},
        TextCase{"AboveU00FFGoesEmpty", u"caf\u00e9\u4e2d", 8, {}},
        TextCase{"LongerThanTheKeyboardLimit", std::u16string(40, u'a'), 48,
                 std::vector<uint8_t>(40, 'a')},
        TextCase{"FiftyThreeFitExactly", std::u16string(53, u'b'), 61,
                 std::vector<uint8_t>(53, 'b')},
        TextCase{"TooLongButAboveU00FFGoesEmpty", std::u16string(60, u'c') + u"\u0100", 8, {}}),
    [](const auto& param) { return std::string(param.param.name); });

struct AtoiCase {
    const char* name;
    std::u16string text;
    int32_t value;
};

class SetParameterAtoiTest : public SetParameterTest,
                             public ::testing::WithParamInterface<AtoiCase> {};

TEST_P(SetParameterAtoiTest, NumberFieldsGoByTheAtoiRule) {
    rig.form.SetText(ctl::SleepHourEdit, GetParam().text);
    rig.form.SetText(ctl::SensorActiveEdit, GetParam().text);
    Set();
    EXPECT_EQ(static_cast<int32_t>(Only(0, 11).Word(0)), GetParam().value);
    EXPECT_EQ(static_cast<int32_t>(Only(0, 12).Word(0)), GetParam().value);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kSetFinish});
}

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Cases, SetParameterAtoiTest,
    ::testing::Values(AtoiCase{"DigitsThenLetters", u"12ab", 12}, AtoiCase{"Empty", u"", 0},
                      AtoiCase{"LeadingLetter", u"a12", 0}, AtoiCase{"LeadingSpaces", u"  42", 42},
                      AtoiCase{"Minus", u"-7", -7}, AtoiCase{"OverflowUp", u"2147483648", kMax},
                      AtoiCase{"OverflowDown", u"-2147483649", kMin},
                      AtoiCase{"LongerThan255", std::u16string(300, u' ') + u"-12", -12}),
    [](const auto& param) { return std::string(param.param.name); });

struct MaskCase {
    const char* name;
    bool checked;
    uint32_t security;
    uint32_t buzzer;
};

class SetParameterMaskTest : public SetParameterTest,
                             public ::testing::WithParamInterface<MaskCase> {};

TEST_P(SetParameterMaskTest, OneBitPerBoxAndBuzzerBitZeroAlwaysSet) {
    for (int id = ctl::BurglarCheck; id <= ctl::SmsSetCheck; ++id) {
        rig.form.SetChecked(id, GetParam().checked);
    }
    rig.form.SetChecked(ctl::ButtonPressedCheck, GetParam().checked);
    Set();
    EXPECT_EQ(Only(0, 9).Word(0), GetParam().security);
    EXPECT_EQ(Only(0, 10).Word(0), GetParam().buzzer);
    EXPECT_EQ(Only(0, 10).len, 12);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetParameterMaskTest,
                         ::testing::Values(MaskCase{"AllCleared", false, 0x00, 0x01},
                                           MaskCase{"AllChecked", true, 0xFF, 0xFF}),
                         [](const auto& param) { return std::string(param.param.name); });

struct TransportCase {
    const char* name;
    bool tcp, udp, reply;
    uint8_t code;
};

class SetParameterTransportTest : public SetParameterTest,
                                  public ::testing::WithParamInterface<TransportCase> {};

TEST_P(SetParameterTransportTest, SendsOneCharacterAndThreeZeros) {
    rig.form.SetChecked(ctl::TcpCheck, GetParam().tcp);
    rig.form.SetChecked(ctl::UdpCheck, GetParam().udp);
    rig.form.SetChecked(ctl::ReplyCheck, GetParam().reply);
    Set();
    const Request r = Only(1, 7);
    EXPECT_EQ(r.len, 9);
    EXPECT_EQ(std::vector<uint8_t>(r.body.begin(), r.body.begin() + 4),
              (std::vector<uint8_t>{GetParam().code, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Cases, SetParameterTransportTest,
                         ::testing::Values(TransportCase{"NoneChecked", false, false, false, '0'},
                                           TransportCase{"Tcp", true, false, false, '0'},
                                           TransportCase{"Udp", false, true, false, '1'},
                                           TransportCase{"ReplyAlone", false, false, true, '2'},
                                           TransportCase{"UdpAndReply", false, true, true, '3'},
                                           TransportCase{"TcpIsNotLookedAt", true, true, true,
                                                         '3'}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(SetParameterTest, ModeSelectionOrMinusOne) {
    rig.form.SetSelection(ctl::ModeCombo, 3);
    Set();
    EXPECT_EQ(Only(0, 11).Word(3), 3u);

    rig.tracker.ClearTranscript();
    rig.form.SetSelection(ctl::ModeCombo, -1);
    rig.form.SetText(ctl::SleepHourEdit, u"");
    Set();
    EXPECT_EQ(static_cast<int32_t>(Only(0, 11).Word(3)), -1);
    EXPECT_EQ(Only(0, 11).Word(0), 0u);
}

// One expected entry write: its entry number and text, or a clearing write.
struct Entry {
    uint32_t entry;
    std::string text;
    bool clearing = false;
};

std::vector<Entry> WithClears(std::vector<Entry> entries) {
    for (uint32_t j = static_cast<uint32_t>(entries.size()); j < 10; ++j) {
        entries.push_back({j, "", true});
    }
    return entries;
}

struct ListCase {
    const char* name;
    std::string text;
    std::vector<Entry> writes;
};

class SetParameterPhoneListTest : public SetParameterTest,
                                  public ::testing::WithParamInterface<ListCase> {};

TEST_P(SetParameterPhoneListTest, WritesEachEntryInAClearedPayload) {
    sim::SimState s = rig.tracker.State();
    s.phoneLists[0] = {"old0", "old1", "old2"};
    rig.tracker.SetState(s);
    rig.form.SetText(ctl::ScuPhoneEdit, Wide(GetParam().text));
    Set();

    const std::vector<Request> sent = test::RequestsFor(rig, 2, 2);
    const std::vector<Entry>& expected = GetParam().writes;
    ASSERT_EQ(sent.size(), expected.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE("entry write " + std::to_string(i));
        const Entry& e = expected[i];
        EXPECT_EQ(sent[i].Word(0), e.entry);
        EXPECT_EQ(sent[i].len, e.clearing ? 13 : 12 + e.text.size());
        EXPECT_EQ(sent[i].TextAt(4), e.text);
        for (size_t b = 4 + e.text.size(); b < sent[i].body.size(); ++b) {
            ASSERT_EQ(sent[i].body[b], 0) << b;
        }
    }
    EXPECT_TRUE(rig.tracker.ProtocolNotes().empty());
    EXPECT_EQ(rig.tracker.CommandsTaken(), 42u + sent.size());
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kSetFinish});

    // The tracker keeps what was never written.
    std::array<std::string, 10> list{"old0", "old1", "old2"};
    for (const Entry& e : expected) {
        list[e.entry] = e.text;
    }
    EXPECT_EQ(rig.tracker.State().phoneLists[0], list);
}

const std::string k32(32, '3');
const std::string k33(33, '4');
const std::string k50(50, '5');

std::string TwelveEntries() {
    std::string out;
    for (int i = 0; i < 12; ++i)
        out += "55" + std::to_string(i) + ",";
    return out;
}

std::string LongerThanTheSendBuffer() {
    std::string out;
    for (int i = 0; i < 9; ++i)
        out += std::string(32, static_cast<char>('a' + i)) + ",";
    return out + std::string(40, 'z');
}

std::vector<Entry> LongerThanTheSendBufferWrites() {
    std::vector<Entry> out;
    for (uint32_t i = 0; i < 9; ++i)
        out.push_back({i, std::string(32, static_cast<char>('a' + i))});
    out.push_back({9, std::string(40, 'z')});
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetParameterPhoneListTest,
    ::testing::Values(
        ListCase{"EmptySendsTenClears", "", WithClears({})},
        ListCase{"NumberWithComma", "1234567,", WithClears({{0, "1234567"}})},
        ListCase{"NumberWithoutComma", "1234567", WithClears({{0, "1234567"}})},
        ListCase{"ThirtyThreeBeforeACommaSendsNothing", k33 + ",", {}},
        ListCase{"ThirtyTwoBeforeACommaIsSent", k32 + ",", WithClears({{0, k32}})},
        ListCase{"AbandonedAfterTheFirstEntry", "1," + k33 + ",2,", {{0, "1"}}},
        ListCase{"AbandonedBeforeAnOverlongLastEntry", k33 + "," + std::string(70, '6'), {}},
        ListCase{"TwelveEntriesSendTheFirstTen",
                 TwelveEntries(),
                 {{0, "550"},
                  {1, "551"},
                  {2, "552"},
                  {3, "553"},
                  {4, "554"},
                  {5, "555"},
                  {6, "556"},
                  {7, "557"},
                  {8, "558"},
                  {9, "559"}}},
        ListCase{"TwoCommasInARowGiveAnEmptyEntry", "A,,B",
                 WithClears({{0, "A"}, {1, ""}, {2, "B"}})},
        ListCase{"LastEntryOfFifty", "1," + k50, WithClears({{0, "1"}, {1, k50}})},
        ListCase{"LongerThanTheSendBuffer", LongerThanTheSendBuffer(),
                 LongerThanTheSendBufferWrites()}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SetParameterTest, AListWithACharacterAboveU00FFIsClearedWhole) {
    rig.form.SetText(ctl::SosPhoneEdit, u"123,\u4e2d456,");
    Set();
    const auto sent = test::RequestsFor(rig, 2, 3);
    ASSERT_EQ(sent.size(), 10u);
    for (const Request& r : sent) {
        EXPECT_EQ(r.len, 13);
    }
}

// The mended faults: a value that cannot travel in one report is refused before the
// tracker is even looked for, with a message that names the field.
struct RefusalCase {
    const char* name;
    int control;
    std::u16string text;
    std::u16string message;
};

class SetParameterRefusalTest : public SetParameterTest,
                                public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SetParameterRefusalTest, SendsNothingAndNamesTheField) {
    rig.form.SetText(GetParam().control, GetParam().text);
    test::CountingBackend counting(rig.backend);
    CommandContext ctx{DeviceLink{counting, rig.clock, rig.areas}, rig.form, rig.ui};
    SetParameter(ctx, state);
    EXPECT_EQ(counting.enumerations, 0);
    EXPECT_EQ(counting.opens, 0);
    EXPECT_TRUE(rig.tracker.Transcript().empty());
    EXPECT_EQ(Narrow(rig.ui.Messages().at(0)), Narrow(GetParam().message));
    EXPECT_EQ(rig.ui.Messages().size(), 1u);
    EXPECT_EQ(rig.form.Snapshot(ctl::SetParameterButton).enabledHistory,
              (std::vector<bool>{false, true}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetParameterRefusalTest,
    ::testing::Values(
        RefusalCase{"Apn54", ctl::ApnEdit, std::u16string(54, u'a'),
                    u"The APN field is too long to send (at most 53 characters)."},
        RefusalCase{"ServerFromARead", ctl::IpDomainEdit, std::u16string(62, u'w'),
                    u"The IP / Domain Name field is too long to send (at most 53 characters)."},
        RefusalCase{"SmsIntervalOver255", ctl::SmsIntervalEdit, std::u16string(300, u'1'),
                    u"The SMS Interval field is too long to send (at most 53 characters)."},
        RefusalCase{"Passwd", ctl::PasswdEdit, std::u16string(60, u'p'),
                    u"The Passwd field is too long to send (at most 53 characters)."},
        RefusalCase{"HiddenUser", ctl::HiddenUserEdit, std::u16string(54, u'u'),
                    u"The User field is too long to send (at most 53 characters)."},
        RefusalCase{"LastPhoneOf51", ctl::ScuPhoneEdit, u"123," + std::u16string(51, u'9'),
                    u"The last number in the SCU Phone field is too long to send (at most 50 "
                    u"characters)."},
        RefusalCase{"OnlyPhoneOf300", ctl::SmsPhoneEdit, std::u16string(300, u'9'),
                    u"The last number in the SMS Phone field is too long to send (at most 50 "
                    u"characters)."}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SetParameterTest, EveryFieldThatDoesNotFitIsNamedInOneMessage) {
    rig.form.SetText(ctl::GprsUserEdit, std::u16string(54, u'u'));
    rig.form.SetText(ctl::SosPhoneEdit, std::u16string(51, u'1'));
    Set();
    EXPECT_TRUE(rig.tracker.Transcript().empty());
    EXPECT_EQ(rig.ui.Messages(),
              std::vector<std::u16string>{params_msg::TextTooLong(u"GPRS User") + u"\n" +
                                          params_msg::LastNumberTooLong(u"SOS Phone")});
}

TEST_F(SetParameterTest, NoTrackerShowsOneUsbFailureAndSendsNothing) {
    rig.backend.Unplug("sim/tracker0");
    Set();
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kUsbFailure});
    EXPECT_TRUE(rig.tracker.Transcript().empty());
    EXPECT_TRUE(rig.form.IsEnabled(ctl::SetParameterButton));
}

TEST_F(SetParameterTest, SilentTrackerStillEndsWithSetFinish) {
    sim::SimFaults faults;
    faults.rules.push_back(sim::FaultRule{sim::FaultKind::NoReply});
    rig.tracker.SetFaults(faults);
    Set();
    EXPECT_EQ(rig.tracker.CommandsTaken(), 52u);
    EXPECT_GE(rig.NowMs(), 52u * 2000u);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kSetFinish});
}

TEST_F(SetParameterTest, RefusesWhileABackgroundTaskHoldsTheTracker) {
    test::WhileATaskHoldsTheTracker(rig.areas, [&] { Set(); });
    EXPECT_EQ(rig.ui.Messages(),
              std::vector<std::u16string>{std::u16string(params_msg::kTrackerBusy)});
    EXPECT_TRUE(rig.tracker.Transcript().empty());
    EXPECT_TRUE(rig.form.IsEnabled(ctl::SetParameterButton));
}

TEST(SetParameterError, AnErrorPartWayEnablesTheButtonAgainAndFreesTheTracker) {
    SimRig rig;
    test::FailingForm form;
    form.failIsCheckedOf = ctl::UdpCheck;
    ParamState state;
    CommandContext ctx{rig.Link(), form, rig.ui};
    EXPECT_THROW(SetParameter(ctx, state), std::runtime_error);
    EXPECT_TRUE(form.IsEnabled(ctl::SetParameterButton));
    EXPECT_EQ(rig.tracker.CommandsTaken(), 18u);  // everything before the transport code
    EXPECT_TRUE(rig.ui.Messages().empty());

    form.failIsCheckedOf = -1;
    rig.tracker.ClearTranscript();
    SetParameter(ctx, state);
    EXPECT_EQ(rig.SentSequenceNumbers().front(), 19);
    EXPECT_EQ(rig.SentSequenceNumbers().size(), 52u);
    EXPECT_EQ(rig.ui.Messages(), std::vector<std::u16string>{kSetFinish});
}

TEST(ParamRoundTrip, GetThenSetWritesBackTheSameValues) {
    SimRig rig(sim::DemoState());
    rig.form.AddModeItems();
    ParamState state;
    CommandContext ctx = rig.Context();
    GetParameter(ctx, state);
    rig.tracker.SetState(sim::FactoryState());
    SetParameter(ctx, state);
    const sim::SimState demo = sim::DemoState();
    const sim::SimState now = rig.tracker.State();
    EXPECT_EQ(now.items, demo.items);
    EXPECT_EQ(now.phoneLists, demo.phoneLists);
    EXPECT_TRUE(rig.tracker.ProtocolNotes().empty());
    EXPECT_EQ(rig.ui.Messages(), (std::vector<std::u16string>{u"GET FINISH", u"SET FINISH"}));
}

}  // namespace
}  // namespace quarnel
