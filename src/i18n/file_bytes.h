// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quarnel {

// The whole content of the regular file at `path`, or nullopt when it cannot be read: it
// does not exist, may not be read, is no regular file (a folder, a device, a pipe), or a
// read fails part-way. Never blocks on a pipe and never reads an endless device.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

}  // namespace quarnel
