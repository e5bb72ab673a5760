// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/quarnelctl.h"
#include "os/files.h"
#include "os/process.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl+C asks the provisioning station to stop after the trackers being written;
// a second one ends the program at once.
extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv) {
    quarnel::os::PrepareProcess();
    const std::vector<std::string> args = quarnel::os::Utf8Arguments(argc, argv);
    quarnel::cli::CliEnvironment env{std::cout, std::cerr};
    env.errIsTerminal = quarnel::os::IsTerminal(2);
    env.catchInterrupt = [] { std::signal(SIGINT, OnInterrupt); };
    env.interrupted = [] { return g_interrupted != 0; };
    return quarnel::cli::RunQuarnelctl(args, env);
}
