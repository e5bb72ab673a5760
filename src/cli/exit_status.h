// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quarnel::cli {

// quarnelctl's exit statuses: 0 only on success, one status for each kind of failure, so
// that scripts that configure many trackers can tell them apart.
enum class ExitStatus : int {
    Success = 0,
    Unexpected = 1,         // an error nothing else describes
    Usage = 2,              // the command line is wrong
    NoTracker = 3,          // "USB CONNECT FAILURE"
    FileError = 4,          // a file that cannot be read or written
    ProfileRefused = 5,     // the profile has problems; nothing was sent
    StoppedAnswering = 6,   // the tracker stopped answering during the command
    DigestMismatch = 7,     // "FILE CHECK MD5 NG"; nothing was sent
    ReadBackDiffers = 8,    // the profile was written, but the tracker reads back otherwise
    CannotOpenTracker = 9,  // a tracker is attached but this user may not open it
    SomeFailed = 10,        // with several trackers: at least one failed (the summary says why)
    ChooseTracker = 11,     // several trackers are attached and the command does not say which
};

struct ExitStatusInfo {
    ExitStatus status;
    std::string_view meaning;
};

// Every status with its one-line meaning, in numeric order.
std::span<const ExitStatusInfo> ExitStatuses();

// How a command ended when it did not succeed: the status and the one line that says why.
struct Failure {
    ExitStatus status;
    std::string message;
};

}  // namespace quarnel::cli
