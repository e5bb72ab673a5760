// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_time.h"

#include <cstdio>
#include <ctime>

#include "os/files.h"

namespace quarnel {

namespace {

// Days from 1970-01-01 to the first of `month` (1-12) of `year` in the proleptic
// Gregorian calendar. Counts in eras of 400 years, which all have the same length.
int64_t DaysFromCivil(int64_t year, unsigned month) {
    year -= month <= 2;  // the year is taken to start in March, so February comes last
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

}  // namespace

int64_t CivilSeconds(const LogRecord& record) {
    // Counting from the month's first day lets a day past its end run on into the next.
    const int64_t days = DaysFromCivil(2000 + record.year, record.month) + record.day - 1;
    return days * 86400 + record.hour * 3600 + record.minute * 60 + record.second;
}

int64_t RecordUtcSeconds(const LogRecord& record, int64_t recordTime,
                         std::optional<int32_t> utcOffsetSeconds) {
    if (!utcOffsetSeconds) {
        return recordTime;
    }
    return CivilSeconds(record) - *utcOffsetSeconds;
}

std::string XsdDateTime(int64_t utcSeconds) {
    std::tm tm{};
    // xsd:dateTime years have four digits here; outside them there is no honest text.
    if (!os::UtcCalendar(utcSeconds, tm) || tm.tm_year < -1900 || tm.tm_year > 9999 - 1900) {
        return {};
    }
    char text[64];
    const int n =
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900,
                      tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof text) {
        return {};
    }
    return std::string(text, static_cast<size_t>(n));
}

}  // namespace quarnel
