#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace quarnel {

// The file formats a downloaded log can be written in.
enum class LogFormat {
    Csv,  // the log's own CSV: header, one line per record, CR LF
    Gpx,  // GPX 1.1: one track of one segment
    Kml,  // KML 2.2: one placemark with a time-stamped track (gx:Track)
};

// The format a file name asks for by its extension: .csv, .gpx or .kml in any letter case.
// Nothing for any other extension or none (a name such as ".gpx" has none: it is all stem).
std::optional<LogFormat> LogFormatForExtension(const std::filesystem::path& path);

// The format's usual extension without the dot, in lower case: "csv", "gpx", "kml".
std::string_view LogFormatExtension(LogFormat format);

}  // namespace quarnel
