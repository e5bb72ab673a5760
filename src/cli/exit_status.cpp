// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/exit_status.h"

#include <array>

namespace quarnel::cli {

namespace {

constexpr std::array kStatuses{
    ExitStatusInfo{ExitStatus::Success, "success"},
    ExitStatusInfo{ExitStatus::Unexpected, "unexpected error"},
    ExitStatusInfo{ExitStatus::Usage, "usage error: the command line is wrong"},
    ExitStatusInfo{ExitStatus::NoTracker, "no tracker found (USB CONNECT FAILURE)"},
    ExitStatusInfo{ExitStatus::FileError, "a file cannot be read or written"},
    ExitStatusInfo{ExitStatus::ProfileRefused, "profile refused; nothing was sent"},
    ExitStatusInfo{ExitStatus::StoppedAnswering, "the tracker stopped answering"},
    ExitStatusInfo{ExitStatus::DigestMismatch,
                   "firmware digest mismatch (FILE CHECK MD5 NG); nothing was sent"},
    ExitStatusInfo{ExitStatus::ReadBackDiffers,
                   "profile written, but the tracker reads some values back differently"},
    ExitStatusInfo{ExitStatus::CannotOpenTracker,
                   "a tracker is attached but cannot be opened (permissions)"},
    ExitStatusInfo{ExitStatus::SomeFailed,
                   "several trackers: at least one failed; the summary says which and why"},
    ExitStatusInfo{ExitStatus::ChooseTracker,
                   "several trackers are attached; choose one (--device, --imei) or --all"},
};

}  // namespace

std::span<const ExitStatusInfo> ExitStatuses() {
    return kStatuses;
}

}  // namespace quarnel::cli
