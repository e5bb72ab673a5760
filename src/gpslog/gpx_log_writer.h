// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <utility>

#include "gpslog/log_writer.h"

namespace quarnel {

// GPX 1.1: one <trk> holding one <trkseg>, one <trkpt lat lon> per record, written as the
// records come, so the file holds every point up to a failure.
//
// A point carries <ele> (the altitude in metres, one decimal; left out when it is not a
// number), <time> (UTC, see LogWriterOptions) and <desc> with the speed and course, which
// GPX 1.1 has no elements for: "speed 3.2 km/h, course 90.00", the same figures as the
// CSV. Coordinates are signed decimal degrees with six decimals. A record without a
// position a map can show (not a number, or out of range) is skipped. GPX longitudes
// stop short of 180, so 180 is written as the same meridian, -180.
class GpxLogWriter final : public LogWriter {
public:
    GpxLogWriter(CsvFile& file, LogWriterOptions options)
        : m_file(file), m_options(std::move(options)) {}

    bool Begin() override;
    AddResult Add(uint32_t index, const LogRecord& record, int64_t time) override;
    bool Finish() override;
    uint32_t Saved() const override { return m_saved; }
    std::error_code Error() const override { return m_file.Error(); }

private:
    CsvFile& m_file;
    LogWriterOptions m_options;
    uint32_t m_saved = 0;
};

}  // namespace quarnel
