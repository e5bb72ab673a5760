// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gadget/device_node.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <system_error>

namespace quarnel::gadget {

std::optional<std::filesystem::path> FindDeviceNode(const std::filesystem::path& folder,
                                                    const std::string& prefix, unsigned major,
                                                    unsigned minor) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) == 0 && S_ISCHR(info.st_mode) &&
            ::major(info.st_rdev) == major && ::minor(info.st_rdev) == minor) {
            return entry.path();
        }
    }
    return std::nullopt;
}

}  // namespace quarnel::gadget
