// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel::test {

// A program found on PATH, or nothing: tests that need one skip themselves without it.
// The readers are Linux programs: the Windows build, run under Wine, finds none.
inline std::optional<std::filesystem::path> FindProgram(std::string_view name) {
#ifdef _WIN32
    (void)name;
    return std::nullopt;
#else
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (dir.empty()) {
            continue;
        }
        const std::filesystem::path candidate = std::filesystem::path(dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
#endif
}

struct ToolRun {
    int exitCode = -1;   // -1 when it did not end normally
    std::string output;  // its standard output and standard error, interleaved
};

// Runs `program` with `args`, each passed as one word (single-quoted for the shell).
inline ToolRun RunTool(const std::filesystem::path& program, const std::vector<std::string>& args) {
#ifdef _WIN32
    (void)program;
    (void)args;
    return {};
#else
    const auto quote = [](const std::string& word) {
        std::string q = "'";
        for (char c : word) {
            q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return q + "'";
    };
    std::string command = quote(program.string());
    for (const std::string& a : args) {
        command += " " + quote(a);
    }
    command += " 2>&1";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    if (status != -1 && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    return run;
#endif
}

}  // namespace quarnel::test
