// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/command_line.h"

#include <algorithm>

#include "os/files.h"

namespace quarnel::cli {

namespace {

class Parser {
public:
    Parser(const std::vector<std::string>& args, CommandLine& out) : m_args(args), m_out(out) {}

    bool Run(std::string& error) {
        bool optionsEnded = false;
        while (m_next < m_args.size()) {
            const std::string& arg = m_args[m_next++];
            if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
                Operand(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else if (!Option(arg, error)) {
                return false;
            }
        }
        return true;
    }

private:
    void Operand(const std::string& arg) {
        if (m_out.command.empty()) {
            m_out.command = arg;
        } else {
            m_out.operands.push_back(arg);
        }
    }

    // "--name VALUE" or "--name=VALUE" (and "-o VALUE").
    bool Value(const std::string& name, const std::string& arg, std::string& value,
               std::string& error) {
        if (arg.size() > name.size() && arg[name.size()] == '=') {
            value = arg.substr(name.size() + 1);
            return true;
        }
        if (m_next >= m_args.size()) {
            error = "option " + name + " needs a value";
            return false;
        }
        value = m_args[m_next++];
        return true;
    }

    template <typename T>
    bool Once(std::optional<T>& slot, const std::string& name, T value, std::string& error) {
        if (slot) {
            error = "option " + name + " is given twice";
            return false;
        }
        slot = std::move(value);
        return true;
    }

    static bool Named(const std::string& arg, const std::string& name) {
        return arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                               arg[name.size()] == '=');
    }

    bool Option(const std::string& arg, std::string& error) {
        std::string value;
        if (arg == "-h" || arg == "--help") {
            m_out.help = true;
        } else if (arg == "--version") {
            m_out.version = true;
        } else if (Named(arg, "--demo")) {
            return Demo(arg, error);
        } else if (Named(arg, "--device")) {
            m_out.commandOptions.push_back("--device");
            return Value("--device", arg, value, error) &&
                   Once(m_out.choice.device, "--device", value, error);
        } else if (Named(arg, "--imei")) {
            m_out.commandOptions.push_back("--imei");
            return Value("--imei", arg, value, error) &&
                   Once(m_out.choice.imei, "--imei", value, error);
        } else if (arg == "--all") {
            m_out.commandOptions.push_back("--all");
            m_out.choice.all = true;
        } else if (arg == "--each") {
            m_out.commandOptions.push_back("--each");
            m_out.each = true;
        } else if (Named(arg, "--report")) {
            m_out.commandOptions.push_back("--report");
            return Value("--report", arg, value, error) &&
                   Once(m_out.report, "--report", value, error);
        } else if (Named(arg, "--state")) {
            return Value("--state", arg, value, error) &&
                   Once(m_out.global.stateFile, "--state", os::PathFromUtf8(value), error);
        } else if (Named(arg, "--save-state")) {
            return Value("--save-state", arg, value, error) &&
                   Once(m_out.global.saveStateFile, "--save-state", os::PathFromUtf8(value), error);
        } else if (arg == "-o" || Named(arg, "--output")) {
            m_out.commandOptions.push_back("--output");
            return Value(arg == "-o" ? "-o" : "--output", arg, value, error) &&
                   Once(m_out.output, "--output", value, error);
        } else if (arg == "--force") {
            m_out.commandOptions.push_back("--force");
            m_out.force = true;
        } else if (Named(arg, "--format")) {
            m_out.commandOptions.push_back("--format");
            return Value("--format", arg, value, error) &&
                   Once(m_out.format, "--format", value, error);
        } else {
            error = "unknown option " + arg;
            return false;
        }
        return true;
    }

    static bool Digits(const std::string& s) {
        return !s.empty() && s.size() <= 4 &&
               s.find_first_not_of("0123456789") == std::string::npos;
    }

    // "--demo", "--demo N" or "--demo=N": N simulated trackers. A command or file is never
    // a plain number, so a number after --demo is its count.
    bool Demo(const std::string& arg, std::string& error) {
        std::string count;
        if (arg.size() > 6) {
            count = arg.substr(7);
            if (!Digits(count)) {
                error = "--demo takes a number of trackers, not \"" + count + "\"";
                return false;
            }
        } else if (m_next < m_args.size() && Digits(m_args[m_next])) {
            count = m_args[m_next++];
        }
        if (m_out.global.demo) {
            error = "option --demo is given twice";
            return false;
        }
        m_out.global.demo = true;
        if (!count.empty()) {
            const unsigned long n = std::stoul(count);
            if (n < 1 || n > kMaxDemoTrackers) {
                error = "--demo takes 1 to " + std::to_string(kMaxDemoTrackers) + " trackers";
                return false;
            }
            m_out.global.demoTrackers = n;
        }
        return true;
    }

    const std::vector<std::string>& m_args;
    CommandLine& m_out;
    size_t m_next = 0;
};

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
    out = CommandLine{};
    return Parser(args, out).Run(error);
}

}  // namespace quarnel::cli
