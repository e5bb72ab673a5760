// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gadget/device_controllers.h"

#include <algorithm>

namespace quarnel::gadget {

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

}  // namespace

std::vector<std::string> DeviceControllers(ConfigTree& tree, const std::filesystem::path& folder) {
    return tree.List(folder);
}

std::optional<std::string> ChooseController(const std::vector<std::string>& present,
                                            const std::string& requested, std::string& error) {
    if (present.empty()) {
        error =
            "there is no USB device controller: this machine's USB port cannot act as a "
            "device (on a Raspberry Pi, enable dwc2; to test without one, load dummy_hcd)";
        return std::nullopt;
    }
    if (!requested.empty()) {
        if (std::find(present.begin(), present.end(), requested) == present.end()) {
            error = "there is no USB device controller named " + requested + " (there is " +
                    Joined(present) + ")";
            return std::nullopt;
        }
        return requested;
    }
    if (present.size() > 1) {
        error = "there are several USB device controllers (" + Joined(present) +
                "): choose one with --udc NAME";
        return std::nullopt;
    }
    return present.front();
}

}  // namespace quarnel::gadget
