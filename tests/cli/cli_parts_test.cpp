// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The parts quarnelctl is made of: the command line, the log format choice, the progress
// display, the headless window, the file dialogs' answers and the answer watch.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/answer_watch.h"
#include "cli/cli_rig.h"
#include "cli/cli_ui.h"
#include "cli/command_line.h"
#include "cli/headless_form.h"
#include "cli/log_format.h"
#include "cli/progress_display.h"
#include "device/hid_cmd.h"
#include "form/control_ids.h"
#include "params/param_commands.h"
#include "support/memory_form.h"
#include "support/row_name.h"
#include "support/sim_fixture.h"

namespace quarnel::cli {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

// --- command line ---

TEST(ParseCommandLine, TakesOptionsBeforeAndAfterTheCommand) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--demo", "get", "-o", "p.ini", "--state=s.json"}, line, error))
        << error;
    EXPECT_TRUE(line.global.demo);
    EXPECT_EQ(line.global.stateFile, std::filesystem::path("s.json"));
    EXPECT_EQ(line.command, "get");
    EXPECT_TRUE(line.operands.empty());
    EXPECT_EQ(line.output, "p.ini");
    EXPECT_EQ(line.commandOptions, std::vector<std::string>{"--output"});
}

TEST(ParseCommandLine, EndsOptionsAtTwoDashesAndTakesADashAsAnOperand) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"set", "--", "--force", "-"}, line, error)) << error;
    EXPECT_FALSE(line.force);
    EXPECT_EQ(line.operands, (std::vector<std::string>{"--force", "-"}));
    ASSERT_TRUE(
        ParseCommandLine({"log", "--format", "GPX", "x", "--save-state", "t"}, line, error));
    EXPECT_EQ(line.format, "GPX");
    EXPECT_EQ(line.global.saveStateFile, std::filesystem::path("t"));
}

TEST(ParseCommandLine, TakesTheNumberOfDemoTrackersAndTheTrackerChoice) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(
        ParseCommandLine({"--demo", "4", "set", "--all", "--report=r.csv", "p.ini"}, line, error))
        << error;
    EXPECT_TRUE(line.global.demo);
    EXPECT_EQ(line.global.demoTrackers, 4u);
    EXPECT_TRUE(line.choice.all);
    EXPECT_EQ(line.report, "r.csv");
    EXPECT_EQ(line.operands, std::vector<std::string>{"p.ini"});
    ASSERT_TRUE(ParseCommandLine({"--demo", "list"}, line, error)) << error;
    EXPECT_EQ(line.global.demoTrackers, 1u);
    EXPECT_EQ(line.command, "list");
    ASSERT_TRUE(
        ParseCommandLine({"info", "--demo=12", "--imei", "35", "--device=/dev/x"}, line, error))
        << error;
    EXPECT_EQ(line.global.demoTrackers, 12u);
    EXPECT_EQ(line.choice.imei, "35");
    EXPECT_EQ(line.choice.device, "/dev/x");
    EXPECT_EQ(line.commandOptions, (std::vector<std::string>{"--imei", "--device"}));
    ASSERT_TRUE(ParseCommandLine({"set", "--each", "p.ini"}, line, error)) << error;
    EXPECT_TRUE(line.each);
}

struct BadLine {
    const char* name;
    std::vector<std::string> args;
    const char* says;
};

class ParseCommandLineRefuses : public testing::TestWithParam<BadLine> {};

TEST_P(ParseCommandLineRefuses, WithTheReason) {
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(GetParam().args, line, error));
    EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseCommandLineRefuses,
    testing::Values(BadLine{"UnknownOption", {"get", "--verbose"}, "unknown option --verbose"},
                    BadLine{"OutputWithoutValue", {"get", "-o"}, "-o needs a value"},
                    BadLine{"StateWithoutValue", {"--state"}, "--state needs a value"},
                    BadLine{"OutputTwice", {"get", "-o", "a", "--output=b"}, "given twice"},
                    BadLine{"StateTwice", {"--state=a", "--state", "b", "info"}, "given twice"},
                    BadLine{"NoDemoTrackers", {"--demo=0", "list"}, "--demo takes 1 to 64"},
                    BadLine{
                        "TooManyDemoTrackers", {"--demo", "65", "list"}, "--demo takes 1 to 64"},
                    BadLine{"DemoOfWords", {"--demo=some", "list"}, "not \"some\""},
                    BadLine{"DemoTwice", {"--demo", "--demo", "2"}, "--demo is given twice"},
                    BadLine{"DeviceWithoutValue", {"info", "--device"}, "--device needs a value"},
                    BadLine{"ImeiTwice", {"info", "--imei=1", "--imei=2"}, "given twice"}),
    [](const testing::TestParamInfo<BadLine>& p) { return std::string(p.param.name); });

// --- log format ---

struct FormatChoice {
    const char* name;
    std::optional<std::string> option;
    const char* file;
    std::optional<LogFormat> format;
};

class ChooseLogFormatGives : public testing::TestWithParam<FormatChoice> {};

TEST_P(ChooseLogFormatGives, TheOptionFirstThenTheExtensionThenCsv) {
    std::string error;
    EXPECT_EQ(ChooseLogFormat(GetParam().option, GetParam().file, error), GetParam().format);
    EXPECT_EQ(error.empty(), GetParam().format.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ChooseLogFormatGives,
    testing::Values(FormatChoice{"CsvExtension", std::nullopt, "trip.csv", LogFormat::Csv},
                    FormatChoice{"GpxExtension", std::nullopt, "trip.gpx", LogFormat::Gpx},
                    FormatChoice{"KmlInCapitals", std::nullopt, "TRIP.KML", LogFormat::Kml},
                    FormatChoice{"OtherExtension", std::nullopt, "trip.txt", LogFormat::Csv},
                    FormatChoice{"NoExtension", std::nullopt, "trip", LogFormat::Csv},
                    FormatChoice{"OptionBeatsExtension", "csv", "trip.gpx", LogFormat::Csv},
                    FormatChoice{"OptionInCapitals", "KML", "trip.csv", LogFormat::Kml},
                    FormatChoice{"UnknownOption", "xml", "trip.csv", std::nullopt}),
    [](const testing::TestParamInfo<FormatChoice>& p) { return std::string(p.param.name); });

// --- progress ---

TEST(ProgressDisplay, WritesALineAtEveryTenthWhenNotOnATerminal) {
    std::ostringstream err;
    {
        ProgressDisplay progress(err, false, "Log");
        for (int p : {0, 0, 3, 9, 10, 10, 15, 57, 99, 100, 0}) {
            progress.Show(p);
        }
    }
    EXPECT_EQ(err.str(), "Log: 10 %\nLog: 50 %\nLog: 90 %\nLog: 100 %\n");
}

TEST(ProgressDisplay, RedrawsOneBarInPlaceOnATerminalAndEndsItsLine) {
    std::ostringstream err;
    ProgressDisplay progress(err, true, "Fw");
    progress.Show(0);
    EXPECT_EQ(err.str(), "");
    progress.Show(50);
    progress.Show(50);
    progress.Show(100);
    progress.Show(0);
    progress.Finish();
    EXPECT_EQ(err.str(),
              "\rFw [###############---------------]  50 %"
              "\rFw [##############################] 100 %\n");
}

TEST(ProgressDisplay, SaysNothingWhenNothingMoved) {
    std::ostringstream err;
    {
        ProgressDisplay progress(err, true, "Fw");
        progress.Show(0);
    }
    EXPECT_EQ(err.str(), "");
}

// --- headless window ---

TEST(HeadlessForm, HoldsTheFourModeEntriesAndSelectsOnlyWithinThem) {
    HeadlessForm form;
    EXPECT_EQ(form.ItemCount(ctl::ModeCombo), 4);
    EXPECT_EQ(form.GetSelection(ctl::ModeCombo), -1);
    form.SetSelection(ctl::ModeCombo, 3);
    EXPECT_EQ(form.GetSelection(ctl::ModeCombo), 3);
    EXPECT_EQ(form.GetText(ctl::ModeCombo), u"Scheduled");
    form.SetSelection(ctl::ModeCombo, 4);
    EXPECT_EQ(form.GetSelection(ctl::ModeCombo), -1);
}

TEST(HeadlessForm, ReportsEveryProgressPosition) {
    HeadlessForm form;
    std::vector<std::pair<int, int>> seen;
    form.OnProgress([&](int id, int position) { seen.emplace_back(id, position); });
    form.SetProgress(ctl::LogProgress, 7);
    form.SetProgress(ctl::UpdateProgress, 0);
    EXPECT_EQ(seen,
              (std::vector<std::pair<int, int>>{{ctl::LogProgress, 7}, {ctl::UpdateProgress, 0}}));
    EXPECT_EQ(form.GetProgress(ctl::LogProgress), 7);
}

// The window's Get Parameter gives the same fields on the headless form as on the test
// form, Mode selection included.
TEST(HeadlessForm, HoldsWhatGetParameterPutsThere) {
    test::SimRig rig(sim::DemoState());
    HeadlessForm form;
    CommandContext ctx{rig.Link(), form, rig.ui};
    ParamState state;
    GetParameter(ctx, state);
    EXPECT_EQ(form.GetSelection(ctl::ModeCombo), 2);
    EXPECT_EQ(form.GetText(ctl::ApnEdit), u"internet.emome.net");
    EXPECT_TRUE(form.IsChecked(ctl::UdpCheck));
}

// --- file dialogs ---

TEST(CliUi, AnswersTheDialogsInOrderAndThenCancels) {
    test::Scratch dir;
    const std::string image = dir.Write("a.bin", "x");
    const std::string digest = dir.Write("a.md5", "y");
    CliUi ui;
    ui.AnswerDialogsWith({image, digest});
    EXPECT_EQ(ui.OpenFileDialog({}), std::filesystem::path(image));
    EXPECT_EQ(ui.OpenFileDialog({}), std::filesystem::path(digest));
    EXPECT_EQ(ui.OpenFileDialog({}), std::nullopt);
    EXPECT_EQ(ui.DialogsAsked(), 3u);
    EXPECT_FALSE(ui.Trouble().has_value());
}

TEST(CliUi, CancelsADialogWhoseFileCannotBeUsedAndKeepsTheReason) {
    test::Scratch dir;
    CliUi ui;
    ui.AnswerDialogsWith({dir.File("missing.bin"), dir.File("x.md5")});
    EXPECT_EQ(ui.OpenFileDialog({}), std::nullopt);
    ASSERT_TRUE(ui.Trouble().has_value());
    EXPECT_EQ(ui.Trouble()->path, std::filesystem::path(dir.File("missing.bin")));
    EXPECT_EQ(ui.Trouble()->error, std::errc::no_such_file_or_directory);
    // After a file that failed, no later dialog is answered.
    EXPECT_EQ(ui.OpenFileDialog({}), std::nullopt);

    CliUi save;
    save.AnswerDialogsWith({dir.File("no/such/folder/log.csv")});
    EXPECT_EQ(save.SaveFileDialog({}), std::nullopt);
    ASSERT_TRUE(save.Trouble().has_value());
}

TEST(CliUi, CreatesTheSaveDialogsFileWithoutEmptyingOne) {
    test::Scratch dir;
    const std::string kept = dir.Write("kept.csv", "old");
    CliUi ui;
    ui.AnswerDialogsWith({kept, dir.File("new.csv")});
    EXPECT_EQ(ui.SaveFileDialog({}), (SaveChoice{kept, 0}));
    EXPECT_EQ(test::ReadFile(kept), "old");
    EXPECT_EQ(ui.SaveFileDialog({}), (SaveChoice{dir.File("new.csv"), 0}));
    EXPECT_TRUE(std::filesystem::exists(dir.File("new.csv")));
}

TEST(CliUi, KeepsEveryMessage) {
    CliUi ui;
    ui.ShowMessage(u"GET FINISH");
    ui.ShowMessage(u"The tracker stopped answering at record 3 of 9.");
    ui.ShowErrorBox(u"oops");
    EXPECT_TRUE(ui.Said(u"GET FINISH"));
    EXPECT_FALSE(ui.Said(u"GET"));
    ASSERT_NE(ui.SaidStartingWith(u"The tracker stopped"), nullptr);
    EXPECT_EQ(ui.SaidStartingWith(u"SET"), nullptr);
    EXPECT_EQ(ui.ErrorBoxes(), std::vector<std::u16string>{u"oops"});
}

// --- the answer watch ---

struct WatchCase {
    const char* name;
    std::vector<sim::FaultRule> rules;
    AnswerWatch::Trouble trouble;
    const char* says;
};

class AnswerWatchSees : public testing::TestWithParam<WatchCase> {};

TEST_P(AnswerWatchSees, WhetherTheTrackerKeptAnswering) {
    sim::SimState state = sim::DemoState();
    state.faults.rules = GetParam().rules;
    test::SimRig rig(state);
    AnswerWatch watch(rig.backend);
    CommandAreas areas;
    DeviceLink link{watch, rig.clock, areas};
    test::MemoryForm form;
    CommandContext ctx{link, form, rig.ui};
    ParamState params;
    GetParameter(ctx, params);
    EXPECT_EQ(watch.Check(), GetParam().trouble);
    EXPECT_NE(watch.Description().find(GetParam().says), std::string::npos) << watch.Description();
    if (GetParam().trouble == AnswerWatch::Trouble::None) {
        EXPECT_EQ(watch.CommandsWritten(), 53u);
        EXPECT_EQ(form.GetText(ctl::ApnEdit), u"internet.emome.net");
    }
}

sim::FaultRule Rule(sim::FaultKind kind, int group, uint64_t from, uint32_t delayMs = 0) {
    sim::FaultRule r;
    r.kind = kind;
    r.group = group;
    r.op = 1;
    r.from = from;
    r.count = 1;
    r.delayMs = delayMs;
    r.reports = 3;
    return r;
}

using K = sim::FaultKind;
using T = AnswerWatch::Trouble;

INSTANTIATE_TEST_SUITE_P(
    Faults, AnswerWatchSees,
    testing::Values(WatchCase{"EveryReply", {}, T::None, ""},
                    WatchCase{"StaleRepliesFirst", {Rule(K::StaleReplies, 1, 2)}, T::None, ""},
                    WatchCase{"GarbageFirst", {Rule(K::Garbage, 0, 4)}, T::None, ""},
                    WatchCase{
                        "LateWithinTheTimeOut", {Rule(K::LateReply, 1, 1, 1500)}, T::None, ""},
                    WatchCase{"NoReply",
                              {Rule(K::NoReply, 0, 3)},
                              T::NotAnswering,
                              "no reply to the reading of GPRS Interval"},
                    WatchCase{"NoReplyToAPhoneEntry",
                              {Rule(K::NoReply, 2, 6)},
                              T::NotAnswering,
                              "no reply to the reading of SCU Phone number 4"},
                    WatchCase{"TooLate",
                              {Rule(K::LateReply, 1, 1, 2500)},
                              T::NotAnswering,
                              "no reply to the reading of APN"},
                    WatchCase{"WrongSequence",
                              {Rule(K::WrongSequence, 1, 3)},
                              T::NotAnswering,
                              "no reply to the reading of GPRS Pass"},
                    WatchCase{"ShortReport",
                              {Rule(K::ShortReport, 1, 1)},
                              T::NotAnswering,
                              "no reply to the reading of APN"},
                    WatchCase{"WriteNotTaken",
                              {Rule(K::WriteNotAccepted, 0, 2)},
                              T::NotAnswering,
                              "the tracker did not take the reading of SMS Interval"}),
    [](const testing::TestParamInfo<WatchCase>& p) { return std::string(p.param.name); });

TEST(AnswerWatch, EndsTheCommandQuicklyOnceTheTrackerStoppedAnswering) {
    sim::SimState state = sim::DemoState();
    state.faults.rules = {Rule(K::NoReply, 0, 3)};
    state.faults.rules[0].count = 1000;
    test::SimRig rig(state);
    AnswerWatch watch(rig.backend);
    CommandAreas areas;
    DeviceLink link{watch, rig.clock, areas};
    CommandContext ctx{link, rig.form, rig.ui};
    ParamState params;
    GetParameter(ctx, params);
    EXPECT_EQ(watch.Check(), AnswerWatch::Trouble::NotAnswering);
    // One time-out, not one for each of the 51 items left.
    EXPECT_LT(rig.NowMs(), 2100u);
    EXPECT_EQ(rig.SentPayloads().size(), 3u);
}

TEST(AnswerWatch, SeesATrackerThatCannotBeOpened) {
    for (HidAccess access : {HidAccess::Read, HidAccess::Write}) {
        test::SimRig rig(sim::DemoState());
        rig.backend.FailOpen("sim/tracker0", access);
        AnswerWatch watch(rig.backend);
        CommandAreas areas;
        CommandContext ctx{DeviceLink{watch, rig.clock, areas}, rig.form, rig.ui};
        ParamState params;
        GetParameter(ctx, params);
        EXPECT_EQ(watch.Check(), AnswerWatch::Trouble::CannotOpen);
        EXPECT_EQ(watch.Description(),
                  std::string("the tracker at sim/tracker0 cannot be opened for ") +
                      (access == HidAccess::Read ? "reading" : "writing"));
        EXPECT_EQ(watch.Path(), "sim/tracker0");
    }
}

TEST(AnswerWatch, CountsSearchesAndOpens) {
    test::SimRig rig(sim::DemoState());
    rig.backend.AddForeignDevice("sim/mouse", 0x046D, 0xC077);
    AnswerWatch watch(rig.backend);
    EXPECT_EQ(watch.EnumerateInterfaces().size(), 2u);
    EXPECT_NE(watch.Open("sim/tracker0", HidAccess::None), nullptr);
    EXPECT_EQ(watch.Enumerations(), 1u);
    EXPECT_EQ(watch.Opens(), 1u);
    EXPECT_EQ(watch.Check(), AnswerWatch::Trouble::None);
}

struct Described {
    const char* name;
    std::vector<uint8_t> payload;
    const char* text;
};

class DescribeCommandSays : public testing::TestWithParam<Described> {};

TEST_P(DescribeCommandSays, WhatTheCommandDoes) {
    std::vector<uint8_t> p = GetParam().payload;
    p.resize(62, 0);
    EXPECT_EQ(DescribeCommand(p.data()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DescribeCommandSays,
    testing::Values(
        Described{"ReadItem", {1, 8, 1, 0, 3, 0, 0, 0}, "the reading of IP / Domain Name"},
        Described{"WriteEntry",
                  {2, 14, 2, 0, 4, 0, 0, 0, 9, 0, 0, 0},
                  "the writing of SMS Phone number 10"},
        Described{"ClosingWrite", {2, 8, 0, 0, 0, 0, 0, 0}, "the closing write"},
        Described{"FactoryDefault", {2, 8, 0, 0, 14, 0, 0, 0}, "the factory-default command"},
        Described{"UnknownItem", {1, 8, 1, 0, 9, 0, 0, 0}, "the reading of item 9 of group 1"},
        Described{"LogCount", {2, 12, 3, 0}, "the GPS log count"},
        Described{"LogRecord", {1, 3, 3, 0}, "a GPS log record"},
        Described{"Erase", {2, 3, 4, 0}, "the log erase"},
        Described{"EraseWait", {1, 3, 4, 0}, "the wait for the log erase"},
        Described{"FirmwareStart", {2, 3, 5, 0}, "the start of the firmware update"},
        Described{"FirmwareBlock", {2, 3, 6, 1, 9, 0, 0, 0}, "firmware block 10"},
        Described{"FirmwareEnd", {2, 3, 7, 0}, "the end of the firmware update"}),
    [](const testing::TestParamInfo<Described>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quarnel::cli
