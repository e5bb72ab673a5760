#include "gpslog/log_format.h"

#include <string>

namespace quarnel {

std::optional<LogFormat> LogFormatForExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        // ASCII only: a locale-dependent tolower could fold other bytes of a UTF-8 name.
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    for (LogFormat format : {LogFormat::Csv, LogFormat::Gpx, LogFormat::Kml}) {
        if (extension.size() == 4 && extension[0] == '.' &&
            std::string_view(extension).substr(1) == LogFormatExtension(format)) {
            return format;
        }
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
    }
    return {};
}

}  // namespace quarnel
