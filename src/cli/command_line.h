// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/tracker_side.h"

namespace quarnel::cli {

// Which tracker a command works on: one chosen by its path or IMEI, every attached one, or
// (none of them given) the only one attached.
struct TrackerChoice {
    std::optional<std::string> device;  // --device PATH
    std::optional<std::string> imei;    // --imei IMEI
    bool all = false;                   // --all
};

// quarnelctl's arguments, parsed but not yet checked against the command they go with.
// Options may come before or after the command; "--" ends the options.
struct CommandLine {
    GlobalOptions global;
    TrackerChoice choice;
    std::string command;  // empty when none was given
    std::vector<std::string> operands;
    bool help = false;     // -h, --help
    bool version = false;  // --version

    // Options of single commands.
    std::optional<std::string> output;  // -o FILE, --output FILE (get)
    bool force = false;                 // --force (set)
    std::optional<std::string> format;  // --format FORMAT (log)
    bool each = false;                  // --each (set: the provisioning station)
    std::optional<std::string> report;  // --report FILE (set --each, set --all)

    // Which command options were given, for the check against the command.
    std::vector<std::string> commandOptions;
};

// Parses `args` (without the program's name). False, with the reason, for an option that
// does not exist, lacks its value or is given twice.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error);

}  // namespace quarnel::cli
