#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/quarnelctl.h"

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
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    quarnel::cli::CliEnvironment env{std::cout, std::cerr};
    env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    env.catchInterrupt = [] { std::signal(SIGINT, OnInterrupt); };
    env.interrupted = [] { return g_interrupted != 0; };
    return quarnel::cli::RunQuarnelctl(args, env);
}
