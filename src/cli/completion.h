// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quarnel::cli {

// What the shell should offer for the word being completed. The completion scripts for
// bash, zsh and fish (packaging/completion/) ask "quarnelctl __complete WORD..." and act on
// the answer, so every shell completes from the command and option tables.
struct Completion {
    enum class Kind {
        Words,    // `words`, already narrowed to those that start with the word typed
        Files,    // file names (the shell's own file completion)
        Devices,  // the paths of the attached trackers ("quarnelctl ARGS list", column 1)
        Imeis,    // their IMEIs (column 2)
    };
    Kind kind = Kind::Words;
    // Typed before the value proper, as "--state=" of "--state=tr": what a shell that
    // completes the whole word puts back in front of each candidate.
    std::string prefix;
    std::vector<std::string> words;
    // Devices and Imeis: the options that choose the simulated trackers on the command
    // line (--demo N, --state FILE), to be given to "quarnelctl list".
    std::vector<std::string> listArgs;
};

// `words`: the command line after the program's name up to the cursor, the last one being
// the word completed (empty at the start of a new word).
Completion Complete(const std::vector<std::string>& words);

// The answer as the completion scripts read it: the kind ("words", "files", "devices",
// "imeis"), the prefix, then one candidate or list argument per line.
void PrintCompletion(std::ostream& out, const Completion& completion);

}  // namespace quarnel::cli
