// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

#include "cli/cli_environment.h"
#include "cli/device_run.h"
#include "profile/profile_check.h"

namespace quarnel::cli {

// What set does with one tracker, once the profile at `path` has been checked: writes it
// as the window's Set Parameter writes its fields, reads the whole configuration back and
// lists every value that differs. Returns the status, the failure reported.
int WriteProfile(DeviceRun& run, CliEnvironment& env, const std::string& path,
                 const CheckedProfile& checked);

// The provisioning station, set --each: waits for trackers to be plugged in, writes the
// checked profile into each new one and reads it back, prints one line per tracker and
// rings the bell, waits for it to be unplugged, and goes on until Ctrl+C (or, with
// simulated trackers, until nothing more can be plugged in); then the summary. With
// --report, one CSV row per tracker is appended as it ends.
int RunStation(const CommandLine& line, CliEnvironment& env, const std::string& path,
               const CheckedProfile& checked);

}  // namespace quarnel::cli
