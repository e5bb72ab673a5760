// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/profile_input.h"

#include "cli/device_run.h"
#include "cli/file_io.h"
#include "os/files.h"

namespace quarnel::cli {

std::optional<CheckedProfile> ReadProfileFile(const std::string& path, ChecksumRule rule,
                                              CliEnvironment& env, int& status,
                                              std::string* bytesOut) {
    std::string bytes;
    std::string error;
    // One byte past the limit is enough to know that a file is too large to be a profile.
    if (!ReadWholeFile(os::PathFromUtf8(path), kMaxProfileBytes + 1, bytes, error)) {
        status = Report(env, {ExitStatus::FileError, error});
        return std::nullopt;
    }
    status = 0;
    CheckedProfile checked = CheckProfile(bytes, rule);
    if (bytesOut != nullptr) {
        *bytesOut = std::move(bytes);
    }
    return checked;
}

void ListProblems(CliEnvironment& env, const std::string& path, const CheckedProfile& checked) {
    for (const ProfileProblem& p : checked.problems) {
        env.err << path;
        if (p.line > 0) {
            env.err << ":" << p.line;
        }
        env.err << ": " << p.text << "\n";
    }
    env.err << std::flush;
}

std::string ProblemCount(size_t n) {
    return std::to_string(n) + (n == 1 ? " problem" : " problems");
}

}  // namespace quarnel::cli
