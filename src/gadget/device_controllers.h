// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gadget/config_tree.h"

namespace quarnel::gadget {

inline constexpr const char* kControllerFolder = "/sys/class/udc";

// The USB device controllers the kernel has (the names in /sys/class/udc), sorted.
std::vector<std::string> DeviceControllers(ConfigTree& tree,
                                           const std::filesystem::path& folder = kControllerFolder);

// The controller to bind to: `requested` when there is one of that name, else the only one
// there is. Nothing, with a sentence for the user in `error`, when there is none, when
// `requested` is not among them, or when there are several and none was requested.
std::optional<std::string> ChooseController(const std::vector<std::string>& present,
                                            const std::string& requested, std::string& error);

}  // namespace quarnel::gadget
