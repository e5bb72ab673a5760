// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quarnel::gadget {

// The character device in `folder` whose name starts with `prefix` and whose number is
// major:minor (the HID function's /dev/hidgN), if it is there now.
std::optional<std::filesystem::path> FindDeviceNode(const std::filesystem::path& folder,
                                                    const std::string& prefix, unsigned major,
                                                    unsigned minor);

}  // namespace quarnel::gadget
