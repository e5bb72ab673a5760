#include <array>

#include "cli/commands.h"

namespace quarnel::cli {

namespace {

using S = ExitStatus;

constexpr std::array kTrackerStatuses{S::Success,          S::Unexpected, S::Usage,
                                      S::NoTracker,        S::FileError,  S::StoppedAnswering,
                                      S::CannotOpenTracker};
constexpr std::array kSetStatuses{S::Success,          S::Unexpected,      S::Usage,
                                  S::NoTracker,        S::FileError,       S::ProfileRefused,
                                  S::StoppedAnswering, S::ReadBackDiffers, S::CannotOpenTracker};
constexpr std::array kUpdateStatuses{S::Success,        S::Unexpected,       S::Usage,
                                     S::NoTracker,      S::FileError,        S::StoppedAnswering,
                                     S::DigestMismatch, S::CannotOpenTracker};
constexpr std::array kSealStatuses{S::Success, S::Unexpected, S::Usage, S::FileError,
                                   S::ProfileRefused};

constexpr std::array kCommands{
    CommandSpec{
        "info", "info", "show the tracker's IMEI and firmware version",
        "Reads the tracker's configuration as the window's Get Parameter does and prints its\n"
        "IMEI and firmware version, one per line.\n",
        0, 0, 0, kTrackerStatuses, RunInfo},
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
        "Options:\n"
        "  -o, --output FILE   write the profile to FILE (\"-\": standard output)\n",
        0, 0, kOptionOutput, kTrackerStatuses, RunGet},
    CommandSpec{
        "set", "set [--force] PROFILE", "write a profile into the tracker and read it back",
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
        "Options:\n"
        "  --force   write a profile whose checksum is missing or does not match (after a\n"
        "            hand edit, prefer \"quarnelctl seal PROFILE\"); every other check\n"
        "            still applies\n",
        1, 1, kOptionForce, kSetStatuses, RunSet},
    CommandSpec{
        "default", "default", "restore the factory settings",
        "Sends the factory-default command and reads the configuration back, as the window's\n"
        "Set Default does.\n",
        0, 0, 0, kTrackerStatuses, RunDefault},
    CommandSpec{"log", "log [--format csv|gpx|kml|html] FILE", "download the GPS log into a file",
                "Downloads the tracker's GPS log into FILE. CSV is written exactly as the window\n"
                "writes it; html is a map page that opens in any browser. The format is the one\n"
                "--format names, else the one FILE's extension names (.csv, .gpx, .kml, .html or\n"
                ".htm), else CSV.\n"
                "\n"
                "Options:\n"
                "  --format FORMAT   csv, gpx, kml or html\n",
                1, 1, kOptionFormat, kTrackerStatuses, RunLog},
    CommandSpec{"erase", "erase", "erase the GPS log",
                "Erases the tracker's GPS log as the window's Erase GPS Log does, waiting up to a\n"
                "minute for each of its two steps.\n",
                0, 0, 0, kTrackerStatuses, RunErase},
    CommandSpec{
        "update", "update IMAGE DIGEST", "check a firmware image and send it to the tracker",
        "Checks the firmware IMAGE (.bin) against the MD5 digest at the start of the DIGEST\n"
        "file (.md5) and, when they match, sends it to the tracker as the window's Update\n"
        "does. Nothing is sent when they do not match. Afterwards the tracker must be\n"
        "unplugged and restarted.\n",
        2, 2, 0, kUpdateStatuses, RunUpdate},
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
