// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarnel {

// A log-record reply holds one fix in its first 32 bytes.
inline constexpr size_t kLogRecordSize = 32;

// The first line of every log file.
inline constexpr std::string_view kCsvHeader =
    "INDEX,RCR,DATE,TIME,LATITUDE,N/S,LONGITUDE,E/W,ALTITUDE,COURSE,SPEED\r\n";

// One fix of the tracker's log, as its log-record reply carries it (little-endian
// integers, IEEE 754 single-precision floats). Erased log memory reads as 0xFF bytes; the
// two marker bytes are kept so the record test can recognise it.
struct LogRecord {
    int32_t tag = 0;   // bytes 0-3: a written fix has a positive tag
    uint8_t year = 0;  // byte 6: years since 2000
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;   // byte 11
    float latitude = 0;   // byte 12: negative is south
    float longitude = 0;  // byte 16: negative is west
    float altitude = 0;   // metres
    float course = 0;
    float speed = 0;                 // byte 28: km/h
    uint8_t longitudeFirstByte = 0;  // byte 16
    uint8_t speedLastByte = 0;       // byte 31
};

// Reads a record from the first kLogRecordSize bytes of `reply`.
LogRecord ParseLogRecord(const uint8_t* reply);

// Why a record is or is not written; the checks run in this order and stop at the first
// that fails.
enum class RecordVerdict {
    Write,
    NoTag,            // tag is not greater than 0
    ErasedSpeed,      // byte 31 is 0xFF
    ErasedLongitude,  // byte 16 is 0xFF and the longitude is no number (erased memory)
    FieldOutOfRange,  // month, day, hour, minute or second outside its range
    OlderThanLast,    // earlier than the newest record already written
};

// The record's time in seconds since 1970, as the C library's mktime gives it for the
// fields taken as local standard time (no daylight saving). Days past a month's end carry
// into the next month, so February 31 orders as early March. Depends on the process's
// time zone; only the order of the values matters to the log.
int64_t RecordTime(const LogRecord& record);

// The record test. `lastWritten` is the time of the newest record written so far, or a
// value <= 0 when none was. When the verdict is Write, `time` receives the record's time,
// which becomes the new `lastWritten`; equal times pass.
RecordVerdict TestRecord(const LogRecord& record, int64_t lastWritten, int64_t& time);

// The CSV line of a written record, CR LF included: INDEX, RCR, date, time, latitude and
// N/S, longitude and E/W, altitude, course, speed. A coordinate that is not >= 0 (NaN
// included) takes S or W and is written negated; each coordinate's text is cut to 15
// characters.
std::string FormatLogLine(uint32_t index, const LogRecord& record);

}  // namespace quarnel
