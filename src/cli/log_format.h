// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "gpslog/log_format.h"

namespace quarnel::cli {

using quarnel::LogFormat;

// The format --format names ("csv", "gpx", "kml", "html", any case), else the one the file's
// extension names, else CSV. Nothing, with the reason, for a --format that names none.
std::optional<LogFormat> ChooseLogFormat(const std::optional<std::string>& option,
                                         const std::filesystem::path& file, std::string& error);

std::string_view LogFormatName(LogFormat format);

}  // namespace quarnel::cli
