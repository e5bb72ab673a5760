// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "gpslog/log_record.h"

namespace quarnel {

// The tracker stamps its records with its own clock's date and time and no zone. GPX and
// KML want UTC, so the writers need to know how far that clock is from UTC.

// Seconds from 1970-01-01 00:00:00 to the record's date and time read as UTC, with days
// past a month's end carrying into the next month as in RecordTime (February 31 is early
// March). For records that pass the record test (year 2000 + 0..255, fields in range).
int64_t CivilSeconds(const LogRecord& record);

// The record's time in UTC, in seconds since 1970.
// `utcOffsetSeconds` is the tracker clock's offset from UTC, east positive (UTC+8 is
// 28800, UTC-5 is -18000): UTC = the record's date and time - the offset. Without it the
// tracker's time is taken as the host's local standard time (daylight saving ignored),
// which is how the record test reads it: `recordTime` is then that test's time and is
// returned as it is, so the times written and the order the test keeps always agree.
int64_t RecordUtcSeconds(const LogRecord& record, int64_t recordTime,
                         std::optional<int32_t> utcOffsetSeconds);

// An xsd:dateTime in UTC, "YYYY-MM-DDThh:mm:ssZ", broken down by gmtime. Empty outside
// the years 0000-9999 (far from any year a record can give).
std::string XsdDateTime(int64_t utcSeconds);

}  // namespace quarnel
