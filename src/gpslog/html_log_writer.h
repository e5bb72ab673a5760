// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <utility>

#include "gpslog/log_writer.h"
#include "gpslog/trip_summary.h"

namespace quarnel {

// The map page: one self-contained HTML file that shows the log in any browser, offline
// too. Leaflet's script and style are inline (map_page_assets.h), the points are data in
// the page, and a content security policy lets the page load nothing but OpenStreetMap's
// tiles and run no script but its own two.
//
// The file, in the order it is written:
// - Begin: the head (policy, title, styles), the map and chart boxes, and the start of the
//   track data, a JSON array in a <script type="application/json" id="track-data">
//   element: six numbers per point, flat: time, latitude and longitude (signed degrees, six
//   decimals, as the CSV), altitude (metres, one decimal), course (two decimals), speed
//   (km/h, one decimal); null for an altitude, course or speed that is not a number. The
//   first point's time is the tracker's clock as seconds since 1970 read as UTC (see
//   CivilSeconds); every later point's is the seconds since the point before, which keeps
//   a long log's page smaller.
// - Add: each point, as the records come, gathered in pieces of some kilobytes; nothing
//   else is kept per point (TripSummary is constant memory but for its list of stops).
// - Finish: the end of the data, the summary (figures of TripSummary, computed from the
//   values as written, so the page agrees with its own data and with the CSV), and the two
//   scripts. An empty log gives a page that says so.
//
// Texts from outside (the track name) are escaped (XmlEscape) and only ever put into text
// content; the data holds numbers only. A record without a position a map can show is
// skipped and counted in the summary ("not on the map"). Saved() counts the points whose
// data is in the file.
class HtmlLogWriter final : public LogWriter {
public:
    HtmlLogWriter(CsvFile& file, LogWriterOptions options)
        : m_file(file), m_options(std::move(options)) {}

    bool Begin() override;
    AddResult Add(uint32_t index, const LogRecord& record, int64_t time) override;
    bool Finish() override;
    uint32_t Saved() const override { return m_saved; }
    std::error_code Error() const override { return m_file.Error(); }

private:
    // Writes `text` once enough has gathered (or when `flush`).
    bool Put(std::string_view text, bool flush = false);
    std::string SummaryHtml() const;

    CsvFile& m_file;
    LogWriterOptions m_options;
    TripSummary m_trip;
    int64_t m_lastClock = 0;  // the time of the point written before
    uint32_t m_leftOut = 0;   // records without a position a map can show
    std::string m_pending;
    uint32_t m_pendingPoints = 0;  // points whose data is in m_pending
    uint32_t m_saved = 0;
};

// The page's texts for figures, as the summary writes them.
// "2014-02-07 08:05:09" for seconds on the tracker's clock read as UTC.
std::string PageDateTime(int64_t seconds);
// "1 h 19 min 40 s", "12 min 5 s", "40 s", "0 s".
std::string PageDuration(int64_t seconds);
// "850 m" under a kilometre, else "37.1 km".
std::string PageDistance(double metres);

}  // namespace quarnel
