// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/option_table.h"

#include <array>

#include "cli/commands.h"

namespace quarnel::cli {

namespace {

using V = OptionValue;

constexpr std::array kOptions{
    OptionSpec{"--device", "", "PATH", V::Device, kOptionChoose,
               "the tracker at PATH (see quarnelctl list)"},
    OptionSpec{"--imei", "", "IMEI", V::Imei, kOptionChoose, "the tracker whose IMEI is IMEI"},
    OptionSpec{"--all", "", "", V::None, kOptionAll,
               "every attached tracker at once, then a summary table"},
    OptionSpec{"--output", "-o", "FILE", V::File, kOptionOutput,
               "write the profile to FILE (\"-\": standard output)"},
    OptionSpec{"--force", "", "", V::None, kOptionForce,
               "write a profile whose checksum is missing or does not match"},
    OptionSpec{"--each", "", "", V::None, kOptionEach,
               "the provisioning station: write each tracker plugged in"},
    OptionSpec{"--report", "", "FILE", V::File, kOptionReport,
               "with --each or --all: append one CSV row per tracker to FILE"},
    OptionSpec{"--format", "", "FORMAT", V::Format, kOptionFormat, "csv, gpx, kml or html"},
    OptionSpec{"--demo", "", "[N]", V::Count, 0,
               "use N simulated trackers (1 without N) with the demonstration configuration "
               "and GPS log instead of trackers on USB"},
    OptionSpec{"--state", "", "FILE", V::File, 0,
               "use the simulated tracker(s) started from a state file"},
    OptionSpec{"--save-state", "", "FILE", V::File, 0,
               "after the command, save the simulated tracker's state to FILE"},
    OptionSpec{"--help", "-h", "", V::None, 0,
               "show this help; after a command, that command's help"},
    OptionSpec{"--version", "", "", V::None, 0, "show the version"},
};

}  // namespace

std::span<const OptionSpec> Options() {
    return kOptions;
}

const OptionSpec* FindOption(std::string_view name) {
    for (const OptionSpec& o : kOptions) {
        if (o.name == name || (!o.shortName.empty() && o.shortName == name)) {
            return &o;
        }
    }
    return nullptr;
}

}  // namespace quarnel::cli
