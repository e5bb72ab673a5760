// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_record.h"

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "device/command_areas.h"

namespace quarnel {

namespace {

float GetFloat(const uint8_t* at) {
    return std::bit_cast<float>(GetLe32(at));
}

// printf's fixed-point text of `v` with `decimals` places, cut to the buffer. Not-a-number
// is written as the GNU C library writes it ("nan", "-nan" with the sign bit set), which
// the Windows C library would write without its sign: the same file on every system.
template <size_t N>
void Fixed(double v, int decimals, char (&text)[N]) {
    if (std::isnan(v)) {
        std::snprintf(text, N, "%s", std::signbit(v) ? "-nan" : "nan");
    } else {
        std::snprintf(text, N, "%.*f", decimals, v);
    }
}

// "%f" of the coordinate's absolute value, at most 15 characters; the sign becomes the
// hemisphere letter. NaN is not >= 0, so it takes the southern or western letter.
char Coordinate(float value, char positive, char negative, char (&text)[16]) {
    const double v = value;
    const bool nonNegative = v >= 0;
    Fixed(nonNegative ? v : -v, 6, text);
    return nonNegative ? positive : negative;
}

}  // namespace

LogRecord ParseLogRecord(const uint8_t* reply) {
    LogRecord r;
    r.tag = static_cast<int32_t>(GetLe32(reply));
    r.year = reply[6];
    r.month = reply[7];
    r.day = reply[8];
    r.hour = reply[9];
    r.minute = reply[10];
    r.second = reply[11];
    r.latitude = GetFloat(reply + 12);
    r.longitude = GetFloat(reply + 16);
    r.altitude = GetFloat(reply + 20);
    r.course = GetFloat(reply + 24);
    r.speed = GetFloat(reply + 28);
    r.longitudeFirstByte = reply[16];
    r.speedLastByte = reply[31];
    return r;
}

int64_t RecordTime(const LogRecord& record) {
    std::tm tm{};
    tm.tm_year = 100 + record.year;  // years since 1900
    tm.tm_mon = record.month - 1;
    tm.tm_mday = record.day;
    tm.tm_hour = record.hour;
    tm.tm_min = record.minute;
    tm.tm_sec = record.second;
    tm.tm_isdst = 0;
    return static_cast<int64_t>(std::mktime(&tm));
}

RecordVerdict TestRecord(const LogRecord& record, int64_t lastWritten, int64_t& time) {
    if (record.tag <= 0) {
        return RecordVerdict::NoTag;
    }
    if (record.speedLastByte == 0xFF) {
        return RecordVerdict::ErasedSpeed;
    }
    // Erased memory reads 0xFF in every byte, which makes the longitude no number. A real
    // longitude stores 0xFF in its first byte once in 256 fixes; that alone must not cost
    // the fix.
    if (record.longitudeFirstByte == 0xFF && !std::isfinite(record.longitude)) {
        return RecordVerdict::ErasedLongitude;
    }
    if (record.month < 1 || record.month > 12 || record.day < 1 || record.day > 31 ||
        record.hour > 23 || record.minute > 59 || record.second > 59) {
        return RecordVerdict::FieldOutOfRange;
    }
    const int64_t t = RecordTime(record);
    if (lastWritten > 0 && t < lastWritten) {
        return RecordVerdict::OlderThanLast;
    }
    time = t;
    return RecordVerdict::Write;
}

std::string FormatLogLine(uint32_t index, const LogRecord& record) {
    char latitude[16];
    char longitude[16];
    const char ns = Coordinate(record.latitude, 'N', 'S', latitude);
    const char ew = Coordinate(record.longitude, 'E', 'W', longitude);

    // The longest possible line (every float at its largest magnitude) is about 210
    // characters, so nothing is ever cut here.
    char altitude[64];
    char course[64];
    char speed[64];
    Fixed(record.altitude, 1, altitude);
    Fixed(record.course, 2, course);
    Fixed(record.speed, 1, speed);
    char line[256];
    const int n = std::snprintf(
        line, sizeof line,
        "%" PRIu32 ",T,%04d/%02d/%02d,%02d:%02d:%02d,%s,%c,%s,%c,%sm,%s,%skm/h\r\n", index,
        2000 + record.year, record.month, record.day, record.hour, record.minute, record.second,
        latitude, ns, longitude, ew, altitude, course, speed);
    if (n < 0) {
        return {};
    }
    return std::string(
        line, static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1);
}

}  // namespace quarnel
