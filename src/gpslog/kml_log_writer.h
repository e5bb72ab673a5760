// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <utility>
#include <vector>

#include "gpslog/log_writer.h"

namespace quarnel {

// KML 2.2: a document with one placemark holding a gx:Track, the time-stamped track that
// map tools animate along a time line: one <when> (UTC, see LogWriterOptions) and one
// <gx:coord> "longitude latitude altitude" per record, plus the speed (km/h) and course
// as gx:SimpleArrayData arrays declared in the document's Schema, one value per point.
// Coordinates are signed decimal degrees with six decimals, the altitude in metres with
// one decimal; the track keeps KML's default altitude mode, so it is drawn on the ground.
//
// The schema wants all <when> elements before all <gx:coord> elements, so the points are
// held in memory (about 32 bytes each) and the track is written by Finish; until then
// Saved() is 0. A record without a position a map can show, or whose altitude is not a
// number (a gx:coord needs all three values), is skipped.
class KmlLogWriter final : public LogWriter {
public:
    KmlLogWriter(CsvFile& file, LogWriterOptions options)
        : m_file(file), m_options(std::move(options)) {}

    bool Begin() override;
    AddResult Add(uint32_t index, const LogRecord& record, int64_t time) override;
    bool Finish() override;
    uint32_t Saved() const override { return m_saved; }
    std::error_code Error() const override { return m_file.Error(); }

private:
    struct Point {
        int64_t utc;
        float latitude, longitude, altitude, speed, course;
    };

    // Writes `text` once enough has gathered (or when `flush`), in pieces of some
    // kilobytes rather than one write per element.
    bool Put(const std::string& text, bool flush = false);

    CsvFile& m_file;
    LogWriterOptions m_options;
    std::vector<Point> m_points;
    std::string m_pending;
    uint32_t m_pendingPoints = 0;  // points whose gx:coord is in m_pending
    uint32_t m_saved = 0;
};

}  // namespace quarnel
