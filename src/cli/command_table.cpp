// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <array>

#include "cli/commands.h"

namespace quarnel::cli {

namespace {

using S = ExitStatus;

constexpr std::array kListStatuses{S::Success,   S::Unexpected, S::Usage,
                                   S::NoTracker, S::FileError,  S::SomeFailed};
constexpr std::array kTrackerStatuses{S::Success,           S::Unexpected, S::Usage,
                                      S::NoTracker,         S::FileError,  S::StoppedAnswering,
                                      S::CannotOpenTracker, S::SomeFailed, S::ChooseTracker};
constexpr std::array kSetStatuses{S::Success,          S::Unexpected,      S::Usage,
                                  S::NoTracker,        S::FileError,       S::ProfileRefused,
                                  S::StoppedAnswering, S::ReadBackDiffers, S::CannotOpenTracker,
                                  S::SomeFailed,       S::ChooseTracker};
constexpr std::array kUpdateStatuses{S::Success,        S::Unexpected,        S::Usage,
                                     S::NoTracker,      S::FileError,         S::StoppedAnswering,
                                     S::DigestMismatch, S::CannotOpenTracker, S::SomeFailed,
                                     S::ChooseTracker};

// The options that choose the tracker go with every command that talks to one.
constexpr unsigned kChoose = kOptionChoose | kOptionAll;
constexpr std::array kSealStatuses{S::Success, S::Unexpected, S::Usage, S::FileError,
                                   S::ProfileRefused};

constexpr std::array kCommands{
    CommandSpec{
        "list", "list", "list every attached tracker: path, IMEI, firmware version",
        "Prints one line for every attached tracker: its device path, IMEI and firmware\n"
        "version, read as info reads them (all trackers at once). A tracker that cannot be\n"
        "opened (permissions) or read gets a line that says why instead. The path or the\n"
        "IMEI chooses a tracker for any other command (--device, --imei).\n",
        0, 0, 0, kListStatuses, RunList},
    CommandSpec{
        "info", "info", "show the tracker's IMEI and firmware version",
        "Reads the tracker's configuration as the window's Get Parameter does and prints its\n"
        "IMEI and firmware version, one per line.\n",
        0, 0, kChoose, kTrackerStatuses, RunInfo},
    CommandSpec{
        "get", "get [-o FILE]", "read the whole configuration as a profile",
        "Reads every configuration item as the window's Get Parameter does and writes it as a\n"
        "profile (docs/profile-format.md): to FILE, or to standard output without -o or with\n"
        "-o -. The header records when (UTC) and from which tracker the profile was read, and\n"
        "a checksum of its values.\n"
        "\n"
        "A value that the window's field could not take from the keyboard (one the tracker\n"
        "holds from elsewhere) is written as it is, with a warning: set refuses the profile\n"
        "until it is changed.\n"
        "\n"
        "With --all, -o names each tracker's file: {imei} stands for its IMEI, as in\n"
        "-o 'profiles/{imei}.ini'.\n"
        "\n"
        "Options:\n"
        "  -o, --output FILE   write the profile to FILE (\"-\": standard output)\n",
        0, 0, kOptionOutput | kChoose, kTrackerStatuses, RunGet},
    CommandSpec{
        "set", "set [--force] [--each] [--report FILE] PROFILE",
        "write a profile into the tracker and read it back",
        "Writes PROFILE into the tracker as the window's Set Parameter writes its fields, then\n"
        "reads the whole configuration back and reports every value that differs.\n"
        "\n"
        "The whole profile is checked before the tracker is opened: its syntax, unknown,\n"
        "repeated and missing sections and keys, values the window's fields could not hold\n"
        "(digits only, the fields' lengths), values that cannot travel to the tracker\n"
        "(characters above U+00FF, texts too long for one report, phone numbers the window\n"
        "would drop) and the checksum. If anything is wrong, every problem is listed with its\n"
        "line number and nothing at all is sent.\n"
        "\n"
        "With --each it is a provisioning station: it waits for trackers to be plugged in,\n"
        "writes PROFILE into each new one and reads it back, prints one line per tracker\n"
        "(IMEI, OK or what failed) and rings the bell, waits for that tracker to be\n"
        "unplugged, and goes on until Ctrl+C; then it prints a summary. The profile is\n"
        "checked once, before the first tracker.\n"
        "\n"
        "Options:\n"
        "  --force         write a profile whose checksum is missing or does not match\n"
        "                  (after a hand edit, prefer \"quarnelctl seal PROFILE\"); every\n"
        "                  other check still applies\n"
        "  --each          the provisioning station (see above)\n"
        "  --report FILE   with --each or --all: append one CSV row per tracker to FILE\n"
        "                  (UTC time, IMEI, firmware version, profile and its checksum,\n"
        "                  result)\n",
        1, 1, kOptionForce | kOptionEach | kOptionReport | kChoose, kSetStatuses, RunSet},
    CommandSpec{
        "default", "default", "restore the factory settings",
        "Sends the factory-default command and reads the configuration back, as the window's\n"
        "Set Default does.\n",
        0, 0, kChoose, kTrackerStatuses, RunDefault},
    CommandSpec{"log", "log [--format csv|gpx|kml|html] FILE", "download the GPS log into a file",
                "Downloads the tracker's GPS log into FILE. CSV is written exactly as the window\n"
                "writes it; html is a map page that opens in any browser. The format is the one\n"
                "--format names, else the one FILE's extension names (.csv, .gpx, .kml, .html or\n"
                ".htm), else CSV. {imei} in FILE stands for the tracker's IMEI; with --all it is\n"
                "needed, as in 'logs/{imei}.gpx'.\n"
                "\n"
                "Options:\n"
                "  --format FORMAT   csv, gpx, kml or html\n",
                1, 1, kOptionFormat | kChoose, kTrackerStatuses, RunLog},
    CommandSpec{"erase", "erase", "erase the GPS log",
                "Erases the tracker's GPS log as the window's Erase GPS Log does, waiting up to a\n"
                "minute for each of its two steps.\n",
                0, 0, kChoose, kTrackerStatuses, RunErase},
    CommandSpec{
        "update", "update IMAGE DIGEST", "check a firmware image and send it to the tracker",
        "Checks the firmware IMAGE (.bin) against the MD5 digest at the start of the DIGEST\n"
        "file (.md5) and, when they match, sends it to the tracker as the window's Update\n"
        "does. Nothing is sent when they do not match. Afterwards the tracker must be\n"
        "unplugged and restarted.\n",
        2, 2, kChoose, kUpdateStatuses, RunUpdate},
    CommandSpec{
        "seal", "seal PROFILE", "seal a hand-edited profile with a fresh checksum",
        "Checks PROFILE as set does, apart from its checksum, and when it has no problems\n"
        "writes the checksum of its values into its header, leaving every other line as it\n"
        "is. Run it after editing a profile by hand. No tracker is needed.\n",
        1, 1, 0, kSealStatuses, RunSeal},
};

}  // namespace

std::span<const CommandSpec> Commands() {
    return kCommands;
}

const CommandSpec* FindCommand(std::string_view name) {
    for (const CommandSpec& c : kCommands) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

}  // namespace quarnel::cli
