// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "cli/cli_environment.h"
#include "cli/command_line.h"
#include "cli/exit_status.h"

namespace quarnel::cli {

// The options a command takes besides the global ones.
enum CommandOption : unsigned {
    kOptionOutput = 1u << 0,  // -o, --output
    kOptionForce = 1u << 1,   // --force
    kOptionFormat = 1u << 2,  // --format
    kOptionChoose = 1u << 3,  // --device, --imei
    kOptionAll = 1u << 4,     // --all
    kOptionEach = 1u << 5,    // --each
    kOptionReport = 1u << 6,  // --report
};

// One command of quarnelctl: its help and the function that runs it. A run function
// gets a command line whose operands and options have been checked against the entry,
// prints what it has to say, and returns the exit status.
struct CommandSpec {
    std::string_view name;
    std::string_view usage;    // "get [-o FILE]"
    std::string_view summary;  // one line for the overall help
    std::string_view help;     // what it does, its options; shown by "COMMAND --help"
    size_t minOperands;
    size_t maxOperands;
    unsigned options;
    std::span<const ExitStatus> statuses;  // the statuses it can end with
    int (*run)(const CommandLine&, CliEnvironment&);
};

std::span<const CommandSpec> Commands();
const CommandSpec* FindCommand(std::string_view name);

// The commands, one file each (command_*.cpp).
int RunList(const CommandLine& line, CliEnvironment& env);
int RunInfo(const CommandLine& line, CliEnvironment& env);
int RunGet(const CommandLine& line, CliEnvironment& env);
int RunSet(const CommandLine& line, CliEnvironment& env);
int RunDefault(const CommandLine& line, CliEnvironment& env);
int RunLog(const CommandLine& line, CliEnvironment& env);
int RunErase(const CommandLine& line, CliEnvironment& env);
int RunUpdate(const CommandLine& line, CliEnvironment& env);
int RunSeal(const CommandLine& line, CliEnvironment& env);

}  // namespace quarnel::cli
