// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

#include "cli/cli_environment.h"

namespace quarnel::cli {

// Runs quarnelctl with `args` (without the program's name) and returns its exit status.
// Never throws: an unexpected error ends the run with status 1 and its one line.
int RunQuarnelctl(const std::vector<std::string>& args, CliEnvironment& env);

}  // namespace quarnel::cli
