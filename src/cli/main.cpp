#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/quarnelctl.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    quarnel::cli::CliEnvironment env{std::cout, std::cerr};
    env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    return quarnel::cli::RunQuarnelctl(args, env);
}
