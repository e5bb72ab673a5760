// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <span>
#include <string_view>

namespace quarnel::cli {

// What an option's value is: the help names it, and shell completion offers it.
enum class OptionValue {
    None,    // a switch
    File,    // a file name
    Format,  // one of the log formats
    Device,  // an attached tracker's path, as "quarnelctl list" shows it
    Imei,    // an attached tracker's IMEI
    Count,   // a number of simulated trackers; may be left out
};

// One option of quarnelctl. The help, the checks of a command line against its command,
// the manual page (made from the help) and the shell completion all read this table: an
// option added here is documented and completed everywhere. The parser
// (command_line.cpp) stores its value.
struct OptionSpec {
    std::string_view name;       // "--output"
    std::string_view shortName;  // "-o", or empty
    std::string_view valueName;  // "FILE", "[N]", or empty for a switch
    OptionValue value;
    unsigned commands;  // the CommandOption flag of the commands that take it; 0: global
    std::string_view help;
};

// Every option: the ones that choose the tracker, those of single commands, the global ones.
std::span<const OptionSpec> Options();

// The option called `name` ("--output" or "-o"); nullptr when there is none.
const OptionSpec* FindOption(std::string_view name);

}  // namespace quarnel::cli
