// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/cli_help.h"

#include <algorithm>
#include <string>

#include "cli/option_table.h"

namespace quarnel::cli {

namespace {

constexpr size_t kHelpColumn = 22;
constexpr size_t kLineWidth = 80;

// "  -o, --output FILE   " followed by `text`, wrapped under the help column.
void PrintOption(std::ostream& out, const OptionSpec& option, std::string_view text) {
    std::string names = "  ";
    if (!option.shortName.empty()) {
        names.append(option.shortName).append(", ");
    }
    names.append(option.name);
    if (!option.valueName.empty()) {
        names.append(" ").append(option.valueName);
    }
    out << names;
    size_t column = names.size();
    if (column + 2 > kHelpColumn) {
        out << "\n";
        column = 0;
    }
    out << std::string(kHelpColumn - column, ' ');
    column = kHelpColumn;
    bool first = true;
    while (!text.empty()) {
        const size_t end = text.find(' ');
        const std::string_view word = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!first && column + 1 + word.size() > kLineWidth) {
            out << "\n" << std::string(kHelpColumn, ' ');
            column = kHelpColumn;
        } else if (!first) {
            out << ' ';
            ++column;
        }
        out << word;
        column += word.size();
        first = false;
    }
    out << "\n";
}

// The options whose flag is among `flags` (0: the global ones), each with its help and,
// for an option of single commands, the commands that take it.
void PrintOptions(std::ostream& out, unsigned flags, bool withCommands) {
    for (const OptionSpec& option : Options()) {
        if ((flags == 0) != (option.commands == 0) || (flags != 0 && !(option.commands & flags))) {
            continue;
        }
        std::string text;
        if (withCommands) {
            for (const CommandSpec& c : Commands()) {
                if (c.options & option.commands) {
                    text.append(text.empty() ? "(" : ", ").append(c.name);
                }
            }
            text.append(text.empty() ? "" : ") ");
        }
        PrintOption(out, option, text.append(option.help));
    }
}

constexpr unsigned kChooseFlags = kOptionChoose | kOptionAll;

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
    out << "\nChoosing the tracker (every command that talks to one):\n";
    PrintOptions(out, kChooseFlags, false);
    out << "  Without them a command takes the tracker attached; with several attached, set,\n"
           "  default, erase and update refuse and list them.\n"
           "\nOptions of single commands:\n";
    PrintOptions(out, ~kChooseFlags, true);
    out << "\nGlobal options (with any command):\n";
    PrintOptions(out, 0, false);
    out << "  Options may come before or after the command; -- ends the options.\n"
           "\nExit status:\n";
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
