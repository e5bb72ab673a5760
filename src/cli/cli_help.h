// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ostream>

#include "cli/commands.h"

namespace quarnel::cli {

// "quarnelctl --help": the commands, the global options and every exit status.
void PrintOverallHelp(std::ostream& out);

// "quarnelctl COMMAND --help": the command's usage, what it does, its options and the exit
// statuses it can end with.
void PrintCommandHelp(std::ostream& out, const CommandSpec& command);

}  // namespace quarnel::cli
