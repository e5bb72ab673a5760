// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// The shell completion's answers, read from the command and option tables, and the tables
// against the parser and the help that the manual page is made from.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_help.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/completion.h"
#include "cli/option_table.h"
#include "cli_rig.h"
#include "support/row_name.h"

namespace quarnel::test {
namespace {

using Kind = cli::Completion::Kind;
using test::PrintTo;

struct CompletionCase {
    const char* name;
    std::vector<std::string> words;  // the last one is being completed
    Kind kind;
    std::vector<std::string> expected;  // words, or the list arguments
    std::string prefix = "";
};

class ShellCompletion : public testing::TestWithParam<CompletionCase> {};

TEST_P(ShellCompletion, OffersWhatTheCommandLineTakesThere) {
    const CompletionCase& c = GetParam();
    const cli::Completion got = cli::Complete(c.words);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.kind == Kind::Words ? got.words : got.listArgs, c.expected);
    EXPECT_EQ(got.prefix, c.prefix);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShellCompletion,
    testing::Values(
        CompletionCase{
            "EveryCommandAtTheStart",
            {""},
            Kind::Words,
            {"list", "info", "get", "set", "default", "log", "erase", "update", "seal", "help"}},
        CompletionCase{"CommandsByTheirStart", {"s"}, Kind::Words, {"set", "seal"}},
        CompletionCase{
            "CommandAfterTheDemoCount", {"--demo", "4", "l"}, Kind::Words, {"list", "log"}},
        CompletionCase{
            "OptionsBeforeTheCommandOfAnyCommand", {"--d"}, Kind::Words, {"--device", "--demo"}},
        CompletionCase{"OptionsOfTheCommandOnlyAndEachOnce",
                       {"--demo", "4", "set", "--"},
                       Kind::Words,
                       {"--device", "--imei", "--all", "--force", "--each", "--report", "--state",
                        "--save-state", "--help", "--version"}},
        CompletionCase{"NoTrackerOptionsForSeal",
                       {"seal", "--"},
                       Kind::Words,
                       {"--demo", "--state", "--save-state", "--help", "--version"}},
        CompletionCase{"ShortOptionCountsAsGiven", {"get", "-o", "x.ini", "--o"}, Kind::Words, {}},
        CompletionCase{"ProfileIsAFile", {"set", "--force", ""}, Kind::Files, {}},
        CompletionCase{"UpdateTakesTwoFiles", {"update", "fw.bin", ""}, Kind::Files, {}},
        CompletionCase{"OptionsOnceTheOperandsAreThere",
                       {"seal", "fleet.ini", "--h"},
                       Kind::Words,
                       {"--help"}},
        CompletionCase{"NothingAfterTheLastOperand",
                       {"seal", "fleet.ini", ""},
                       Kind::Words,
                       {"--demo", "--state", "--save-state", "--help", "--version"}},
        CompletionCase{
            "NothingAfterTheEndOfOptions", {"seal", "--", "fleet.ini", ""}, Kind::Words, {}},
        CompletionCase{"OutputIsAFile", {"get", "-o", ""}, Kind::Files, {}},
        CompletionCase{"StateIsAFile", {"--state", "tr"}, Kind::Files, {}},
        CompletionCase{
            "FormatNames", {"log", "--format", ""}, Kind::Words, {"csv", "gpx", "kml", "html"}},
        CompletionCase{
            "FormatAfterEquals", {"log", "--format=k"}, Kind::Words, {"kml"}, "--format="},
        CompletionCase{"DevicesOfTheRealTrackers", {"info", "--device", ""}, Kind::Devices, {}},
        CompletionCase{"DevicesOfTheDemoFleet",
                       {"--demo", "3", "set", "--device", ""},
                       Kind::Devices,
                       {"--demo", "3"}},
        CompletionCase{"ImeisOfTheStateFileAfterEquals",
                       {"--state=fleet.json", "info", "--imei="},
                       Kind::Imeis,
                       {"--state", "fleet.json"},
                       "--imei="},
        CompletionCase{"HelpTakesACommand", {"help", "u"}, Kind::Words, {"update"}},
        CompletionCase{"UnknownCommandGetsNothing", {"reboot", ""}, Kind::Words, {}},
        CompletionCase{"SwitchTakesNoValue", {"--all="}, Kind::Words, {}}),
    RowName());

TEST(ShellCompletion, AnswersThroughTheHiddenCommandInTheFormTheScriptsRead) {
    CliRig rig(sim::DemoState());
    EXPECT_EQ(rig.Run({"__complete", "--demo", "2", "info", "--imei", ""}).out,
              "imeis\n\n--demo\n2\n");
    EXPECT_EQ(rig.Run({"__complete", "log", "--format=g"}).out, "words\n--format=\ngpx\n");
    EXPECT_EQ(rig.trackerSidesOpened, 0);
}

// Every option of the table is one the parser takes, and goes with exactly the commands
// the table names: the completion never offers an option the command refuses.
TEST(OptionTable, EveryOptionIsParsedAndFitsTheCommandsThatTakeIt) {
    // Files in a folder that does not exist: a command that is let through fails there
    // and writes nothing.
    const std::string nowhere =
        (std::filesystem::temp_directory_path() / "quarnel-no-such-folder" / "").string();
    ASSERT_FALSE(std::filesystem::exists(nowhere));
    for (const cli::CommandSpec& command : cli::Commands()) {
        for (const cli::OptionSpec& option : cli::Options()) {
            if (option.name == "--help" || option.name == "--version") {
                continue;
            }
            std::vector<std::string> args{std::string(command.name)};
            args.emplace_back(option.name);
            if (option.value == cli::OptionValue::Count) {
                args.emplace_back("2");
            } else if (option.value != cli::OptionValue::None) {
                args.emplace_back(nowhere + "x");
            }
            for (size_t i = 0; i < command.minOperands; ++i) {
                args.emplace_back(nowhere + "operand" + std::to_string(i));
            }
            cli::CommandLine line;
            std::string error;
            ASSERT_TRUE(cli::ParseCommandLine(args, line, error)) << option.name << ": " << error;
            CliRig rig(sim::DemoState());
            const CliRig::Result r = rig.Run(args);
            const bool refused =
                r.err.find("does not go with " + std::string(command.name)) != std::string::npos;
            const bool takes = option.commands == 0 || (command.options & option.commands) != 0;
            EXPECT_EQ(refused, !takes) << command.name << " " << option.name << ": " << r.err;
        }
    }
}

// The manual page is made from the overall help: it must name every command, every option
// and every exit status.
TEST(OptionTable, OverallHelpNamesEveryCommandAndOption) {
    std::ostringstream help;
    cli::PrintOverallHelp(help);
    for (const cli::CommandSpec& c : cli::Commands()) {
        EXPECT_NE(help.str().find("\n  " + std::string(c.usage)), std::string::npos) << c.name;
    }
    for (const cli::OptionSpec& o : cli::Options()) {
        std::string shown(o.shortName.empty() ? "" : std::string(o.shortName) + ", ");
        shown.append(o.name);
        if (!o.valueName.empty()) {
            shown.append(" ").append(o.valueName);
        }
        EXPECT_NE(help.str().find("\n  " + shown + " "), std::string::npos) << shown;
    }
}

}  // namespace
}  // namespace quarnel::test
