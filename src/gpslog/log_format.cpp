// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_format.h"

#include <string>

#include "os/files.h"

namespace quarnel {

std::optional<LogFormat> LogFormatForExtension(const std::filesystem::path& path) {
    std::string extension = os::Utf8FromPath(path.extension());
    for (char& c : extension) {
        // ASCII only: a locale-dependent tolower could fold other bytes of a UTF-8 name.
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (extension.size() < 2 || extension[0] != '.') {
        return std::nullopt;
    }
    const std::string_view name = std::string_view(extension).substr(1);
    for (LogFormat format : kLogFormats) {
        if (name == LogFormatExtension(format)) {
            return format;
        }
    }
    // The short spelling of the page's extension, from systems that kept three letters.
    if (name == "htm") {
        return LogFormat::Html;
    }
    return std::nullopt;
}

std::string_view LogFormatExtension(LogFormat format) {
    switch (format) {
        case LogFormat::Csv:
            return "csv";
        case LogFormat::Gpx:
            return "gpx";
        case LogFormat::Kml:
            return "kml";
        case LogFormat::Html:
            return "html";
    }
    return {};
}

}  // namespace quarnel
