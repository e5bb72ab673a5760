// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "gpslog/log_record.h"
#include "gpslog/log_writer.h"

// Logs for the map page's tests and benchmarks in a browser, and the page written from
// them as a download writes it.
namespace quarnel::test {

// The demo tracker's morning drive: 240 fixes.
std::vector<LogRecord> DemoDrive();

// `count` fixes of about three months: two drives a day around a city, a fix every 10
// seconds, speeds from standing at lights to the motorway, parked in between (no fixes).
// The same log for the same count.
std::vector<LogRecord> Months(size_t count);

// Writes `records` as a map page at `path`, as a download would (the record test keeps
// them all: they are in order). Returns the writer's time in milliseconds.
double WritePage(const std::vector<LogRecord>& records, const std::filesystem::path& path,
                 const LogWriterOptions& options = {});

}  // namespace quarnel::test
