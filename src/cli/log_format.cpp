// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/log_format.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace quarnel::cli {

namespace {

constexpr std::array<std::pair<std::string_view, LogFormat>, 4> kFormats{{
    {"csv", LogFormat::Csv},
    {"gpx", LogFormat::Gpx},
    {"kml", LogFormat::Kml},
    {"html", LogFormat::Html},
}};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::optional<LogFormat> Named(const std::string& name) {
    for (const auto& [n, format] : kFormats) {
        if (n == Lower(name)) {
            return format;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<LogFormat> ChooseLogFormat(const std::optional<std::string>& option,
                                         const std::filesystem::path& file, std::string& error) {
    if (option) {
        if (auto format = Named(*option)) {
            return format;
        }
        error = "unknown log format \"" + *option + "\" (csv, gpx, kml or html)";
        return std::nullopt;
    }
    return LogFormatForExtension(file).value_or(LogFormat::Csv);
}

std::string_view LogFormatName(LogFormat format) {
    for (const auto& [n, f] : kFormats) {
        if (f == format) {
            return n;
        }
    }
    return "csv";
}

}  // namespace quarnel::cli
