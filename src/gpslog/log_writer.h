// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "gpslog/csv_file.h"
#include "gpslog/log_format.h"
#include "gpslog/log_record.h"

namespace quarnel {

// What became of a record handed to a writer.
enum class AddResult {
    Accepted,  // the record is in the file, or held for it until Finish (KML)
    Skipped,   // the format cannot hold it (no position a map can show); nothing written
    Failed,    // the file refused the data: Error() says why; write nothing more
};

// Writes a downloaded log in one file format into a CsvFile (the log's byte-exact file,
// whatever the format) that the caller has created and will close.
//
// Call order: Begin once; then Add for each record that passed the record test, in the
// order the tracker gave them; then Finish. After any call has failed, call none of
// them again. Finish may follow Begin directly: an empty log is a valid, empty file.
// One thread at a time. A write that fails takes back its own part-written bytes (see
// CsvFile::Write), so the file ends with the last whole line or element.
class LogWriter {
public:
    virtual ~LogWriter() = default;

    // Writes what comes before the records (the CSV header, the XML document's start).
    virtual bool Begin() = 0;
    // `index` is the record's 1-based number among those that passed the record test
    // (the CSV's INDEX); `time` is the time the record test computed for it.
    virtual AddResult Add(uint32_t index, const LogRecord& record, int64_t time) = 0;
    // Writes what comes after the records; for KML also the records themselves.
    virtual bool Finish() = 0;

    // Records whose data is in the file so far.
    virtual uint32_t Saved() const = 0;
    // Why the last call failed (the file's error).
    virtual std::error_code Error() const = 0;
};

// Settings of the GPX, KML and map page writers; the CSV writer has none.
struct LogWriterOptions {
    // The tracker clock's offset from UTC in seconds, east positive (UTC+8 is 28800).
    // Unset: the tracker's time is the host's local standard time, as the record test
    // reads it. See RecordUtcSeconds. The map page shows the tracker's own clock either
    // way, and names the offset when it is set.
    std::optional<int32_t> utcOffsetSeconds;
    // Name of the track (and of the KML document, and the map page's title), UTF-8; escaped
    // as it is written.
    std::string trackName = "GPS log";
    // The tracker's IMEI, when known: the map page's title and heading name it, so that
    // pages saved from many trackers can be told apart. UTF-8; escaped as it is written.
    std::string trackerImei;
};

// A writer for `format` on `file`, which must outlive it.
std::unique_ptr<LogWriter> MakeLogWriter(LogFormat format, CsvFile& file,
                                         const LogWriterOptions& options = {});

}  // namespace quarnel
