// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quarnel::gadget {

// quarnel-usb-tracker [--udc NAME] [--state FILE] [--transcript FILE] [--save-state FILE]
struct UsbTrackerOptions {
    std::string udc;             // empty: the only controller there is
    std::string statePath;       // empty: the demonstration tracker
    std::string transcriptPath;  // empty: no transcript
    std::string saveStatePath;   // empty: the state is not saved
    bool help = false;
};

// The options; nothing, with the reason in `error`, for a command line it does not take.
std::optional<UsbTrackerOptions> ParseUsbTrackerOptions(const std::vector<std::string>& args,
                                                        std::string& error);

// The help text, starting with the usage line.
std::string UsbTrackerHelp();

}  // namespace quarnel::gadget
