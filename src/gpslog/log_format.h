// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace quarnel {

// The file formats a downloaded log can be written in.
enum class LogFormat {
    Csv,   // the log's own CSV: header, one line per record, CR LF
    Gpx,   // GPX 1.1: one track of one segment
    Kml,   // KML 2.2: one placemark with a time-stamped track (gx:Track)
    Html,  // a map page: one self-contained HTML file showing the track, a chart and a summary
};

// Every format, in the order the window's save dialog offers them (CSV first).
inline constexpr LogFormat kLogFormats[] = {LogFormat::Csv, LogFormat::Gpx, LogFormat::Kml,
                                            LogFormat::Html};

// The format a file name asks for by its extension: .csv, .gpx, .kml, .html or .htm in any
// letter case. Nothing for any other extension or none (a name such as ".gpx" has none: it
// is all stem).
std::optional<LogFormat> LogFormatForExtension(const std::filesystem::path& path);

// The format's usual extension without the dot, in lower case: "csv", "gpx", "kml", "html".
std::string_view LogFormatExtension(LogFormat format);

}  // namespace quarnel
