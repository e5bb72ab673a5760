// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// POSIX only: the tests that start built programs as processes.
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

extern char** environ;

namespace quarnel::test {

// Starts `args` (args[0] is the program's path) with standard input from /dev/null and its
// standard output and error into the files named; its process, or 0 when it could not be
// started. Whatever the test runner does with signals, the program starts as from a shell:
// nothing blocked, Ctrl+C at its default.
inline pid_t SpawnProgram(std::vector<std::string> args, const std::string& outFile,
                          const std::string& errFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &interrupt);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ) != 0) {
        pid = 0;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace quarnel::test
