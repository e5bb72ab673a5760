// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/quarnelctl.h"

#include <exception>

#include "cli/cli_help.h"
#include "cli/commands.h"
#include "cli/completion.h"
#include "cli/device_run.h"
#include "cli/option_table.h"

namespace quarnel::cli {

namespace {

constexpr std::string_view kCompleteCommand = "__complete";
constexpr std::string_view kHint = " (see quarnelctl --help)";

int UsageError(CliEnvironment& env, const std::string& message) {
    return Report(env, {ExitStatus::Usage, message + std::string(kHint)});
}

// The options that choose trackers, against each other.
std::optional<std::string> ChoiceMisfit(const CommandLine& line) {
    const TrackerChoice& c = line.choice;
    if (c.device && c.imei) {
        return "choose the tracker with --device or with --imei, not both";
    }
    if (c.all && (c.device || c.imei)) {
        return "--all works on every tracker; it does not go with --device or --imei";
    }
    if (line.each && (c.all || c.device || c.imei)) {
        return "--each waits for trackers to be plugged in; it does not go with --all, --device "
               "or --imei";
    }
    if (line.report && !line.each && !c.all) {
        return "--report records a run on several trackers: it goes with --each or --all";
    }
    return std::nullopt;
}

// The command line against the command: operands, options, global options.
std::optional<std::string> Misfit(const CommandLine& line, const CommandSpec& command) {
    const size_t n = line.operands.size();
    if (n < command.minOperands || n > command.maxOperands) {
        return "wrong number of arguments for " + std::string(command.name) +
               " (usage: quarnelctl " + std::string(command.usage) + ")";
    }
    for (const std::string& given : line.commandOptions) {
        const OptionSpec* option = FindOption(given);
        if (option == nullptr || (command.options & option->commands) == 0) {
            return "option " + given + " does not go with " + std::string(command.name);
        }
    }
    if (line.global.saveStateFile && !line.global.Simulated()) {
        return "--save-state needs --demo or --state";
    }
    return ChoiceMisfit(line);
}

int Dispatch(const std::vector<std::string>& args, CliEnvironment& env) {
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(args, line, error)) {
        return UsageError(env, error);
    }
    if (line.version) {
        env.out << "quarnelctl " << QUARNEL_VERSION << "\n";
        return 0;
    }
    if (line.command == "help") {
        if (line.operands.empty()) {
            PrintOverallHelp(env.out);
            return 0;
        }
        const CommandSpec* command = FindCommand(line.operands.front());
        if (command == nullptr || line.operands.size() > 1) {
            return UsageError(env, "no such command: " + line.operands.front());
        }
        PrintCommandHelp(env.out, *command);
        return 0;
    }
    if (line.command.empty()) {
        if (line.help) {
            PrintOverallHelp(env.out);
            return 0;
        }
        return UsageError(env, "no command given");
    }
    const CommandSpec* command = FindCommand(line.command);
    if (command == nullptr) {
        return UsageError(env, "no such command: " + line.command);
    }
    if (line.help) {
        PrintCommandHelp(env.out, *command);
        return 0;
    }
    if (auto misfit = Misfit(line, *command)) {
        return UsageError(env, *misfit);
    }
    return command->run(line, env);
}

}  // namespace

int RunQuarnelctl(const std::vector<std::string>& args, CliEnvironment& env) {
    try {
        // The shell completion's question (packaging/completion/): not a command of its own,
        // so no help lists it.
        if (!args.empty() && args.front() == kCompleteCommand) {
            PrintCompletion(env.out, Complete({args.begin() + 1, args.end()}));
            return 0;
        }
        return Dispatch(args, env);
    } catch (const std::exception& e) {
        return Report(env, {ExitStatus::Unexpected, std::string("unexpected error: ") + e.what()});
    } catch (...) {
        return Report(env, {ExitStatus::Unexpected, "unexpected error"});
    }
}

}  // namespace quarnel::cli
