// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Profiles and the window's fields: filling a form, reading one, and what the tracker
// holds after the window's Set Parameter has written a filled form.
#include "profile/profile_form.h"

#include <gtest/gtest.h>

#include <string>

#include "form/control_ids.h"
#include "params/param_commands.h"
#include "profile/profile_samples.h"
#include "support/memory_form.h"
#include "support/row_name.h"
#include "support/sim_fixture.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::Get;
using test::Put;
using test::SampleProfile;

// The window's fields as the test form holds them, with the Mode entries the window has.
struct WindowForm : test::MemoryForm {
    WindowForm() { AddModeItems(); }
};

TEST(FillForm, PutsEachValueWhereTheWindowHoldsIt) {
    test::MemoryForm form;
    form.AddModeItems();
    FillForm(SampleProfile(), form);
    EXPECT_EQ(form.GetText(ctl::SmsIntervalEdit), u"600");
    EXPECT_EQ(form.GetText(ctl::HiddenUserEdit), u"fleet");
    EXPECT_EQ(form.GetText(ctl::SleepHourEdit), u"23");
    EXPECT_EQ(form.GetText(ctl::SmsPhoneEdit), u"+886912345678,0917654321,+886955667788,");
    EXPECT_TRUE(form.IsChecked(ctl::BurglarCheck));
    EXPECT_FALSE(form.IsChecked(ctl::SecurityGeoFenceCheck));
    EXPECT_TRUE(form.IsChecked(ctl::ButtonPressedCheck));
    EXPECT_EQ(form.GetSelection(ctl::ModeCombo), 2);
    EXPECT_FALSE(form.IsChecked(ctl::TcpCheck));
    EXPECT_TRUE(form.IsChecked(ctl::UdpCheck));
    EXPECT_FALSE(form.IsChecked(ctl::ReplyCheck));
    // IMEI and version are never written, so the window's fields for them stay as they were.
    EXPECT_EQ(form.GetText(ctl::ImeiDisplay), u"");
    EXPECT_EQ(form.GetText(ctl::VersionEdit), u"");
}

struct Choice {
    const char* name;
    const char* key;
    const char16_t* value;
    int selection;  // Mode
    bool tcp, udp, reply;
};

class FillFormChoice : public testing::TestWithParam<Choice> {};

TEST_P(FillFormChoice, SetsTheBoxesAndSelectionAsAReadWould) {
    Profile p = SampleProfile();
    const Choice& c = GetParam();
    Put(p, std::string(c.key) == "mode" ? "sleep" : "server", c.key, c.value);
    WindowForm form;
    form.SetSelection(ctl::ModeCombo, 1);
    FillForm(p, form);
    if (std::string(c.key) == "mode") {
        EXPECT_EQ(form.GetSelection(ctl::ModeCombo), c.selection);
    } else {
        EXPECT_EQ(form.IsChecked(ctl::TcpCheck), c.tcp);
        EXPECT_EQ(form.IsChecked(ctl::UdpCheck), c.udp);
        EXPECT_EQ(form.IsChecked(ctl::ReplyCheck), c.reply);
    }
    EXPECT_EQ(ProfileFromForm(form).values, p.values);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FillFormChoice,
    testing::Values(Choice{"ModeOff", "mode", u"off", 0, {}, {}, {}},
                    Choice{"ModeLightSleep", "mode", u"light_sleep", 1, {}, {}, {}},
                    Choice{"ModeScheduled", "mode", u"scheduled", 3, {}, {}, {}},
                    Choice{"ModeNone", "mode", u"none", -1, {}, {}, {}},
                    Choice{"Tcp", "transport", u"tcp", 0, true, false, false},
                    Choice{"Udp", "transport", u"udp", 0, false, true, false},
                    Choice{"UdpWithReply", "transport", u"udp+reply", 0, false, true, true}),
    [](const testing::TestParamInfo<Choice>& p) { return std::string(p.param.name); });

TEST(ProfileFromForm, TakesTheIdentityFromTheImeiAndVersionFields) {
    WindowForm form;
    form.SetText(ctl::ImeiDisplay, u"123");
    form.SetText(ctl::VersionEdit, u"V2");
    const Profile p = ProfileFromForm(form);
    EXPECT_EQ(p.imei, u"123");
    EXPECT_EQ(p.firmware, u"V2");
    EXPECT_EQ(p.readAt, u"");
    EXPECT_EQ(p.format, u"1");
    // A window that was never read: no boxes, no selection. Set Parameter would send
    // transport "0" and mode -1, and that is what the profile says.
    EXPECT_EQ(Get(p, "server", "transport"), u"tcp");
    EXPECT_EQ(Get(p, "sleep", "mode"), u"none");
    EXPECT_EQ(Get(p, "buzzer", "sms_send"), u"off");
}

struct ReadBack {
    const char* name;
    const char* section;
    const char* key;
    const char16_t* written;
    const char16_t* readBack;
};

class ValueAfterReadBackIs : public testing::TestWithParam<ReadBack> {};

TEST_P(ValueAfterReadBackIs, WhatGetParameterShows) {
    const ReadBack& r = GetParam();
    EXPECT_EQ(ValueAfterReadBack(ProfileKeys()[FindProfileKey(r.section, r.key)], r.written),
              r.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueAfterReadBackIs,
    testing::Values(ReadBack{"TextAsItIs", "gprs", "apn", u" a ", u" a "},
                    ReadBack{"DigitsTextKeepsItsZeros", "system", "sms_interval", u"0600", u"0600"},
                    ReadBack{"IntegerLosesLeadingZeros", "sleep", "sleep_min", u"05", u"5"},
                    ReadBack{"MinusZero", "sleep", "sleep_min", u"-0", u"0"},
                    ReadBack{"PhonesGainAFinalComma", "phones", "sos", u"12", u"12,"},
                    ReadBack{"EmptyPhoneEntriesLeaveNoTrace", "phones", "sos", u"1,,2,", u"1,2,"},
                    ReadBack{"JustACommaIsNoNumber", "phones", "sos", u",", u""},
                    ReadBack{"Latin1Number", "phones", "sos", u"\u00E9,", u"\u00E9,"},
                    ReadBack{"ModeAsItIs", "sleep", "mode", u"none", u"none"}),
    [](const testing::TestParamInfo<ReadBack>& p) { return std::string(p.param.name); });

TEST(CompareAfterWrite, NamesEachValueThatReadsBackOtherwise) {
    Profile written = SampleProfile();
    Put(written, "sleep", "sleep_min", u"05");
    Profile back = SampleProfile();
    Put(back, "sleep", "sleep_min", u"5");
    EXPECT_TRUE(CompareAfterWrite(written, back).empty());

    Put(back, "gprs", "apn", u"other");
    Put(back, "buzzer", "usb_set", u"on");
    const std::vector<ValueDifference> d = CompareAfterWrite(written, back);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(ProfileKeys()[d[0].key].key, "usb_set");
    EXPECT_EQ(d[0].expected, u"off");
    EXPECT_EQ(d[0].actual, u"on");
    EXPECT_EQ(ProfileKeys()[d[1].key].key, "apn");
    EXPECT_EQ(d[1].expected, u"internet.emome.net");
}

// The window's own Set Parameter on a filled form, and its own Get Parameter after it:
// the tracker ends up holding the profile.
TEST(FillForm, LetsSetParameterWriteTheProfileIntoTheTracker) {
    test::SimRig rig(sim::FactoryState());
    rig.form.AddModeItems();
    Profile p = SampleProfile();
    Put(p, "sleep", "mode", u"none");
    Put(p, "server", "transport", u"udp+reply");
    Put(p, "gprs", "apn", u"Z\u00FCrich");
    FillForm(p, rig.form);
    CommandContext ctx = rig.Context();
    ParamState state;
    SetParameter(ctx, state);
    ASSERT_EQ(rig.ui.Messages(), std::vector<std::u16string>{u"SET FINISH"});

    const sim::SimState held = rig.tracker.State();
    EXPECT_EQ(held.items.at({1, 0}), (std::vector<uint8_t>{'Z', 0xFC, 'r', 'i', 'c', 'h'}));
    EXPECT_EQ(held.items.at({1, 7}).at(0), '3');
    EXPECT_EQ(held.phoneLists[1][0], "+886933221100");

    WindowForm back;
    CommandContext readCtx{rig.Link(), back, rig.ui};
    GetParameter(readCtx, state);
    Profile read = ProfileFromForm(back);
    EXPECT_TRUE(CompareAfterWrite(p, read).empty());
    EXPECT_EQ(read.imei, u"356938035643809");
}

}  // namespace
}  // namespace quarnel
