// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gadget/usb_tracker_options.h"

namespace quarnel::gadget {

std::optional<UsbTrackerOptions> ParseUsbTrackerOptions(const std::vector<std::string>& args,
                                                        std::string& error) {
    UsbTrackerOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            continue;
        }
        std::string* value = arg == "--udc"          ? &options.udc
                             : arg == "--state"      ? &options.statePath
                             : arg == "--transcript" ? &options.transcriptPath
                             : arg == "--save-state" ? &options.saveStatePath
                                                     : nullptr;
        if (value == nullptr) {
            error = "unknown option " + arg;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        *value = args[++i];
    }
    return options;
}

std::string UsbTrackerHelp() {
    return "Usage: quarnel-usb-tracker [--udc NAME] [--state FILE] [--transcript FILE] "
           "[--save-state FILE]\n"
           "\n"
           "Serves the simulated GPS tracker as a real USB HID device (051a:511b) through the\n"
           "Linux USB gadget framework, until Ctrl+C or SIGTERM. Needs root, configfs,\n"
           "libcomposite, usb_f_hid and a USB device controller.\n"
           "\n"
           "  --udc NAME         the device controller to use (a name in /sys/class/udc);\n"
           "                     default: the only one there is\n"
           "  --state FILE       start from this state file (configuration, log, faults)\n"
           "                     instead of the demonstration tracker\n"
           "  --transcript FILE  append every report exchanged to FILE, one line each\n"
           "  --save-state FILE  save the tracker's state to FILE when it stops\n"
           "  -h, --help         this help\n"
           "\n"
           "Exit status: 0 stopped by a signal, 1 the gadget failed while serving,\n"
           "2 usage error, 3 no gadget support or no device controller, 4 a file cannot be\n"
           "read or written.\n";
}

}  // namespace quarnel::gadget
