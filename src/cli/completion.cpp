// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/completion.h"

#include <algorithm>
#include <string_view>

#include "cli/commands.h"
#include "cli/log_format.h"
#include "cli/option_table.h"

namespace quarnel::cli {

namespace {

bool Digits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

bool StartsWith(std::string_view s, std::string_view start) {
    return s.substr(0, start.size()) == start;
}

// The command line before the word completed, read as the parser reads it.
struct Seen {
    const CommandSpec* command = nullptr;
    bool help = false;  // the "help" command
    size_t operands = 0;
    bool optionsEnded = false;
    std::vector<const OptionSpec*> options;
    std::vector<std::string> listArgs;
    const OptionSpec* awaitingValue = nullptr;  // the word completed is this option's value
    bool unknownCommand = false;
};

Seen Read(const std::vector<std::string>& done) {
    Seen seen;
    for (size_t i = 0; i < done.size(); ++i) {
        const std::string& word = done[i];
        const bool last = i + 1 == done.size();
        if (!seen.optionsEnded && word == "--") {
            seen.optionsEnded = true;
            continue;
        }
        if (!seen.optionsEnded && word.size() > 1 && word[0] == '-') {
            const size_t equals = word.find('=');
            const OptionSpec* option = FindOption(word.substr(0, equals));
            if (option == nullptr) {
                continue;
            }
            seen.options.push_back(option);
            std::string value;
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
            } else if (option->value == OptionValue::Count) {
                if (!last && Digits(done[i + 1])) {
                    value = done[++i];
                }
            } else if (option->value != OptionValue::None) {
                if (last) {
                    seen.awaitingValue = option;
                    break;
                }
                value = done[++i];
            }
            if (option->name == "--demo" || option->name == "--state") {
                seen.listArgs.emplace_back(option->name);
                if (!value.empty()) {
                    seen.listArgs.push_back(value);
                }
            }
            continue;
        }
        if (seen.command == nullptr && !seen.help && !seen.unknownCommand) {
            seen.help = word == "help";
            seen.command = FindCommand(word);
            seen.unknownCommand = !seen.help && seen.command == nullptr;
        } else {
            ++seen.operands;
        }
    }
    return seen;
}

void AddMatching(Completion& c, std::string_view typed, std::string_view word) {
    if (StartsWith(word, typed)) {
        c.words.emplace_back(word);
    }
}

Completion Value(const OptionSpec& option, std::string_view typed, const Seen& seen) {
    Completion c;
    switch (option.value) {
        case OptionValue::File:
            c.kind = Completion::Kind::Files;
            break;
        case OptionValue::Device:
            c.kind = Completion::Kind::Devices;
            c.listArgs = seen.listArgs;
            break;
        case OptionValue::Imei:
            c.kind = Completion::Kind::Imeis;
            c.listArgs = seen.listArgs;
            break;
        case OptionValue::Format:
            for (LogFormat format : kLogFormats) {
                AddMatching(c, typed, LogFormatName(format));
            }
            break;
        case OptionValue::None:
        case OptionValue::Count:
            break;
    }
    return c;
}

// The options that may still come: global ones, and those of the command (before the
// command, those of any command), each once.
Completion OptionNames(std::string_view typed, const Seen& seen) {
    Completion c;
    for (const OptionSpec& option : Options()) {
        const bool fits = option.commands == 0 || seen.command == nullptr ||
                          (seen.command->options & option.commands) != 0;
        const bool given =
            std::find(seen.options.begin(), seen.options.end(), &option) != seen.options.end();
        if (fits && !given) {
            AddMatching(c, typed, option.name);
        }
    }
    return c;
}

}  // namespace

Completion Complete(const std::vector<std::string>& words) {
    const std::string typed = words.empty() ? std::string() : words.back();
    const std::vector<std::string> done(words.begin(), words.end() - (words.empty() ? 0 : 1));
    const Seen seen = Read(done);
    if (seen.awaitingValue != nullptr) {
        return Value(*seen.awaitingValue, typed, seen);
    }
    if (!seen.optionsEnded && StartsWith(typed, "-")) {
        const size_t equals = typed.find('=');
        if (equals != std::string::npos) {
            const OptionSpec* option = FindOption(typed.substr(0, equals));
            if (option == nullptr || option->value == OptionValue::None) {
                return {};
            }
            Completion c = Value(*option, typed.substr(equals + 1), seen);
            c.prefix = typed.substr(0, equals + 1);
            return c;
        }
        return OptionNames(typed, seen);
    }
    Completion c;
    if (seen.unknownCommand) {
        return c;
    }
    if (seen.command == nullptr && !seen.help) {
        for (const CommandSpec& command : Commands()) {
            AddMatching(c, typed, command.name);
        }
        AddMatching(c, typed, "help");
        return c;
    }
    if (seen.help) {
        if (seen.operands == 0) {
            for (const CommandSpec& command : Commands()) {
                AddMatching(c, typed, command.name);
            }
        }
        return c;
    }
    // Every operand of a command is a file: a profile, a log file, an image, a digest.
    if (seen.operands < seen.command->maxOperands) {
        c.kind = Completion::Kind::Files;
        return c;
    }
    return seen.optionsEnded ? c : OptionNames(typed, seen);
}

void PrintCompletion(std::ostream& out, const Completion& completion) {
    static constexpr std::string_view kKinds[] = {"words", "files", "devices", "imeis"};
    out << kKinds[static_cast<int>(completion.kind)] << "\n" << completion.prefix << "\n";
    const auto& lines =
        completion.kind == Completion::Kind::Words ? completion.words : completion.listArgs;
    for (const std::string& line : lines) {
        out << line << "\n";
    }
}

}  // namespace quarnel::cli
