// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string>

#include "cli/cli_environment.h"
#include "profile/profile_check.h"

namespace quarnel::cli {

// Reads the profile at `path` and checks it whole; `bytes` (when given) receives the file.
// Nothing when the file cannot be read; the file error is then reported and its status
// left in `status`.
std::optional<CheckedProfile> ReadProfileFile(const std::string& path, ChecksumRule rule,
                                              CliEnvironment& env, int& status,
                                              std::string* bytes = nullptr);

// Lists every problem on standard error, one line each, as "PATH:LINE: problem" (or
// "PATH: problem" for the file as a whole), so that editors can jump to them.
void ListProblems(CliEnvironment& env, const std::string& path, const CheckedProfile& checked);

// The problems, or "1 problem".
std::string ProblemCount(size_t n);

}  // namespace quarnel::cli
