#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel::cli {

// The file formats `log` can write.
enum class LogFormat { Csv, Gpx, Kml };

// The format --format names ("csv", "gpx", "kml", any case), else the one the file's
// extension names, else CSV. Nothing, with the reason, for a --format that names none.
std::optional<LogFormat> ChooseLogFormat(const std::optional<std::string>& option,
                                         const std::filesystem::path& file, std::string& error);

std::string_view LogFormatName(LogFormat format);

// Whether this build can write the format. Checked before the tracker is opened.
bool LogFormatAvailable(LogFormat format);

}  // namespace quarnel::cli
