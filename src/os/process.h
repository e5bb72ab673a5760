// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <vector>

// What a command-line program needs from its system before it starts, the same on Linux
// and Windows.
namespace quarnel::os {

// The program's arguments, without its own name, as UTF-8. Windows hands main() its
// arguments in the ANSI code page, which has no room for most of the world's letters: there
// they are taken from the wide command line instead.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Sets up the process's text and time: on Windows, the console shows UTF-8 output, and a TZ
// that names an Olson zone ("Europe/Berlin", as MSYS shells set it), which the C library
// would misread as UTC, is dropped so that the system's own time zone applies.
void PrepareProcess();

}  // namespace quarnel::os
