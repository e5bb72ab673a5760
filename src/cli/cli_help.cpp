// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli_help.h"

#include <algorithm>
#include <string>

namespace quarnel::cli {

namespace {

constexpr std::string_view kGlobalOptions =
    "Choosing the tracker (every command that talks to one):\n"
    "  --device PATH       the tracker at PATH (see quarnelctl list)\n"
    "  --imei IMEI         the tracker whose IMEI is IMEI\n"
    "  --all               every attached tracker at once, then a summary table\n"
    "  Without them a command takes the tracker attached; with several attached, set,\n"
    "  default, erase and update refuse and list them.\n"
    "\n"
    "Global options:\n"
    "  --demo [N]          use N simulated trackers (1 without N) with the demonstration\n"
    "                      configuration and GPS log instead of trackers on USB\n"
    "  --state FILE        use the simulated tracker(s) started from a state file\n"
    "                      (docs/simulated-tracker.md)\n"
    "  --save-state FILE   after the command, save the simulated tracker's state to FILE\n"
    "  -h, --help          show this help; after a command, that command's help\n"
    "  --version           show the version\n";

void PrintStatus(std::ostream& out, const ExitStatusInfo& info) {
    out << "  " << static_cast<int>(info.status) << "  " << info.meaning << "\n";
}

}  // namespace

void PrintOverallHelp(std::ostream& out) {
    out << "Usage: quarnelctl [GLOBAL OPTIONS] COMMAND [ARGUMENTS]\n"
           "\n"
           "Configures a GPS tracker attached by USB with the same commands, and the same\n"
           "exchange with the tracker, as the Quarnel window.\n"
           "\n"
           "Commands:\n";
    size_t width = 0;
    for (const CommandSpec& c : Commands()) {
        width = std::max(width, c.usage.size());
    }
    for (const CommandSpec& c : Commands()) {
        out << "  " << c.usage << std::string(width - c.usage.size() + 2, ' ') << c.summary << "\n";
    }
    out << "  help [COMMAND]" << std::string(width > 14 ? width - 14 + 2 : 2, ' ')
        << "show this help, or a command's\n";
    out << "\n" << kGlobalOptions << "\nExit status:\n";
    for (const ExitStatusInfo& info : ExitStatuses()) {
        PrintStatus(out, info);
    }
    out << "\nEvery failure ends with one line on standard error that says what went wrong.\n"
           "See docs/quarnelctl.md, and docs/profile-format.md for profiles.\n";
}

void PrintCommandHelp(std::ostream& out, const CommandSpec& command) {
    out << "Usage: quarnelctl [GLOBAL OPTIONS] " << command.usage << "\n\n"
        << command.help << "\nExit status:\n";
    for (const ExitStatusInfo& info : ExitStatuses()) {
        if (std::find(command.statuses.begin(), command.statuses.end(), info.status) !=
            command.statuses.end()) {
            PrintStatus(out, info);
        }
    }
    out << "\nGlobal options: see quarnelctl --help.\n";
}

}  // namespace quarnel::cli
