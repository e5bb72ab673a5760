// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "gpslog/log_download.h"
#include "gpslog/log_format.h"
#include "gpslog/log_writer.h"
#include "sim/sim_state.h"

namespace quarnel {

// A log format as GoogleTest shows a parameter: its file extension ("gpx").
void PrintTo(LogFormat format, std::ostream* os);

}  // namespace quarnel

namespace quarnel::test {

// One fix as a log file gives it back, every value as the text the file holds, so the
// formats can be compared digit for digit. Coordinates signed; time as xsd:dateTime UTC.
struct FilePoint {
    std::string latitude, longitude, altitude, time, speed, course;
    bool operator==(const FilePoint&) const = default;
};
void PrintTo(const FilePoint& p, std::ostream* os);

// Reads a file back; `error` is set (and the points may be short) when it is not what
// the writer should have made.
struct FileRead {
    std::vector<FilePoint> points;
    std::string error;
};

// The CSV lines after the header. The tracker's date and time become UTC as the host's
// standard time (UTC in these tests) less `utcOffsetSeconds`, computed with timegm, which
// carries days past a month's end as the record test does.
FileRead ReadCsv(const std::string& text, int32_t utcOffsetSeconds = 0);
// A GPX 1.1 document of one track with one segment.
FileRead ReadGpx(const std::string& text);
// A KML 2.2 document with one placemark holding one gx:Track and its speed and course arrays.
FileRead ReadKml(const std::string& text);
// The map page's track data (a whole page holding one track-data array of six numbers per
// point); times are the tracker's clock read as UTC, like ReadCsv with no offset.
FileRead ReadHtml(const std::string& text);
FileRead ReadLogFile(LogFormat format, const std::string& text);
// The text inside the page's one track-data element; nothing when there is not exactly one.
std::optional<std::string> HtmlTrackData(const std::string& page);

// The CSV points a map format can hold (a position IsMapPosition accepts), in order.
std::vector<FilePoint> MapPoints(const std::vector<FilePoint>& csvPoints);

// One DownloadLogToFile on a fresh simulated tracker holding `log`, into `path`.
struct FileDownload {
    LogDownloadResult result;
    std::string text;           // the file afterwards
    size_t logCommands = 0;     // log commands (group 3) the tracker received
    std::vector<int> progress;  // positions the bar was given
};
FileDownload DownloadToFile(const std::vector<sim::LogRecordBytes>& log,
                            const std::filesystem::path& path, LogFormat format,
                            const LogWriterOptions& options = {},
                            const sim::SimFaults& faults = {});

}  // namespace quarnel::test
