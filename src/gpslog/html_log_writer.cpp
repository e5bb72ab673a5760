// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/html_log_writer.h"

#include <charconv>
#include <cmath>

#include "gpslog/log_time.h"
#include "gpslog/map_page_assets.h"
#include "gpslog/xml_text.h"

namespace quarnel {

namespace {

constexpr size_t kPieceSize = 64 * 1024;

// The page loads OpenStreetMap's tiles and nothing else; only its own two scripts run.
// Leaflet blanks a tile it takes away with an image in a data: URL, which loads nothing.
std::string SecurityPolicy() {
    return "default-src 'none'; img-src https://tile.openstreetmap.org data:; "
           "style-src 'unsafe-inline'; script-src " +
           std::string(map_page::kScriptSources) + "; base-uri 'none'; form-action 'none'";
}

// A number as the data holds it: the text the other formats write, or null.
std::string DataNumber(float value, int decimals) {
    return std::isfinite(value) ? FixedText(value, decimals) : "null";
}

// The value of a number's text, so the summary works on the figures as written. Locale-free.
double ValueOf(const std::string& text) {
    double value = std::nan("");
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string Figure(const char* id, const std::string& value, const std::string& text) {
    return std::string("<dd id=\"") + id + "\" data-value=\"" + value + "\">" + text + "</dd>\n";
}

std::string Row(const char* label, const char* id, const std::string& value,
                const std::string& text) {
    return std::string("<dt>") + label + "</dt>" + Figure(id, value, text);
}

std::string Speed(double kmh) {
    return FixedText(kmh, 1) + " km/h";
}

std::string OffsetText(int32_t seconds) {
    const char sign = seconds < 0 ? '-' : '+';
    const int64_t magnitude = std::abs(static_cast<int64_t>(seconds));
    const int64_t hours = magnitude / 3600, minutes = magnitude / 60 % 60;
    std::string text = "UTC";
    text += sign;
    text += (hours < 10 ? "0" : "") + std::to_string(hours) + ":";
    text += (minutes < 10 ? "0" : "") + std::to_string(minutes);
    return text;
}

}  // namespace

std::string PageDateTime(int64_t seconds) {
    std::string text = XsdDateTime(seconds);  // "YYYY-MM-DDThh:mm:ssZ"
    if (text.size() != 20) {
        return "?";
    }
    text[10] = ' ';
    text.pop_back();
    return text;
}

std::string PageDuration(int64_t seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    const int64_t hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
    std::string text;
    if (hours > 0) {
        text = std::to_string(hours) + " h ";
    }
    if (hours > 0 || minutes > 0) {
        text += std::to_string(minutes) + " min ";
    }
    return text + std::to_string(rest) + " s";
}

std::string PageDistance(double metres) {
    if (metres < 999.5) {
        return FixedText(metres, 0) + " m";
    }
    return FixedText(metres / 1000.0, 1) + " km";
}

bool HtmlLogWriter::Begin() {
    // Whose trip: the tracker's IMEI here, the day it started added by the script once it
    // has read the data, so that saved pages can be told apart in tabs and history.
    std::string title = m_options.trackName.empty() ? "GPS log" : m_options.trackName;
    if (!m_options.trackerImei.empty()) {
        title += " of tracker " + m_options.trackerImei;
    }
    const std::string name = XmlEscape(title);
    std::string head =
        "<!DOCTYPE html>\n"
        "<html lang=\"en\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    head += "<meta http-equiv=\"Content-Security-Policy\" content=\"" + SecurityPolicy() + "\">\n";
    head += "<meta name=\"generator\" content=\"Quarnel\">\n";
    head += "<title>" + name + "</title>\n";
    head += "<style>\n";
    head += map_page::kLeafletStyle;
    head += "</style>\n<style>\n";
    head += map_page::kPageStyle;
    head += "</style>\n</head>\n<body>\n";
    head += "<header><h1 id=\"name\">" + name + "</h1></header>\n<main>\n";
    head +=
        "<div id=\"map-box\"><div id=\"map\" role=\"region\" aria-label=\"Map of the track\"></div>"
        "<p id=\"offline-note\" class=\"offline-note\" hidden>Map tiles need an internet "
        "connection. The track is drawn without them.</p></div>\n"
        "<figure id=\"chart-box\"><figcaption id=\"chart-caption\">Speed over time, in km/h, from "
        "the first position to the last: hover to see the moment on the map, click to zoom in "
        "there. The same speeds are in a table for screen readers.</figcaption>"
        "<div id=\"chart\"></div></figure>\n"
        "<script type=\"application/json\" id=\"track-data\">[\n";
    return Put(head, /*flush=*/true);
}

AddResult HtmlLogWriter::Add(uint32_t /*index*/, const LogRecord& record, int64_t /*time*/) {
    if (!IsMapPosition(record.latitude, record.longitude)) {
        ++m_leftOut;
        return AddResult::Skipped;
    }
    const int64_t clock = CivilSeconds(record);
    const std::string latitude = FixedText(record.latitude, 6);
    const std::string longitude = FixedText(record.longitude, 6);
    const std::string speed = DataNumber(record.speed, 1);

    const bool first = m_trip.Points() == 0;
    std::string point = first ? "" : ",\n";
    point += std::to_string(first ? clock : clock - m_lastClock) + "," + latitude + "," +
             longitude + "," + DataNumber(record.altitude, 1) + "," + DataNumber(record.course, 2) +
             "," + speed;
    m_trip.Add(clock, ValueOf(latitude), ValueOf(longitude),
               speed == "null" ? std::nan("") : ValueOf(speed));
    m_lastClock = clock;
    ++m_pendingPoints;
    if (!Put(point)) {
        return AddResult::Failed;
    }
    return AddResult::Accepted;
}

bool HtmlLogWriter::Put(std::string_view text, bool flush) {
    m_pending += text;
    if (!flush && m_pending.size() < kPieceSize) {
        return true;
    }
    if (!m_file.Write(m_pending)) {
        return false;
    }
    m_saved += m_pendingPoints;
    m_pendingPoints = 0;
    m_pending.clear();
    return true;
}

std::string HtmlLogWriter::SummaryHtml() const {
    const TripSummary& trip = m_trip;
    const std::string leftOutText =
        m_leftOut == 0 ? std::string("none")
                       : std::to_string(m_leftOut) + (m_leftOut == 1 ? " position" : " positions") +
                             " with coordinates no map can show";
    std::string html =
        "<section id=\"summary\" aria-label=\"Summary of the trip\" tabindex=\"0\">\n<h2>The "
        "trip</h2>\n";
    if (trip.Points() == 0) {
        html += "<p id=\"empty\" class=\"empty\">";
        if (m_leftOut == 0) {
            html += "The tracker's GPS log was empty: there is no trip to show.";
        } else {
            html += "None of the " + std::to_string(m_leftOut) +
                    " positions in this GPS log can be shown on a map (their coordinates are "
                    "not valid), so there is no trip to show.";
        }
        html += "</p>\n<dl>\n";
        html += Row("Points", "points", "0", "0");
        html += Row("Not on the map", "left-out", std::to_string(m_leftOut), leftOutText);
        html += "</dl>\n</section>\n";
        return html;
    }

    html += "<dl>\n";
    html += Row("Start", "first-time", std::to_string(trip.FirstTime()),
                PageDateTime(trip.FirstTime()));
    html += Row("End", "last-time", std::to_string(trip.LastTime()), PageDateTime(trip.LastTime()));
    html +=
        Row("Duration", "duration", std::to_string(trip.Duration()), PageDuration(trip.Duration()));
    html += Row("Distance", "distance", FixedText(trip.DistanceMetres(), 1),
                PageDistance(trip.DistanceMetres()));
    if (const auto top = trip.MaxSpeedKmh()) {
        html += Row("Top speed", "max-speed", FixedText(*top, 1), Speed(*top));
    } else {
        html += Row("Top speed", "max-speed", "", "not recorded");
    }
    if (const auto average = trip.AverageMovingKmh()) {
        html +=
            Row("Average moving speed", "moving-speed", FixedText(*average, 2), Speed(*average));
    } else {
        html += Row("Average moving speed", "moving-speed", "", "did not move");
    }
    html += Row("Time moving", "moving-time", std::to_string(trip.MovingSeconds()),
                PageDuration(trip.MovingSeconds()));
    html += Row("Points", "points", std::to_string(trip.Points()), std::to_string(trip.Points()));
    html += Row("Not on the map", "left-out", std::to_string(m_leftOut), leftOutText);
    html += "</dl>\n";
    html += "<p class=\"note\">";
    html += m_options.utcOffsetSeconds
                ? "Times are " + OffsetText(*m_options.utcOffsetSeconds) + "."
                : std::string("Times are as the tracker's clock recorded them.");
    html += " The average leaves out the stops and the time standing still.</p>\n";

    html += "<h3>Stops longer than five minutes</h3>\n";
    if (trip.Stops().empty()) {
        html += "<p id=\"stops\" class=\"note\">None.</p>\n";
    } else {
        const bool manyDays = PageDateTime(trip.FirstTime()).substr(0, 10) !=
                              PageDateTime(trip.LastTime()).substr(0, 10);
        html += "<ol id=\"stops\">\n";
        for (const TripStop& stop : trip.Stops()) {
            const std::string from = PageDateTime(stop.start), to = PageDateTime(stop.end);
            const auto day = [](const std::string& text) { return text.substr(0, 10); };
            const auto clock = [](const std::string& text) {
                return text.size() > 11 ? text.substr(11) : text;
            };
            html += "<li data-start=\"" + std::to_string(stop.start) + "\" data-end=\"" +
                    std::to_string(stop.end) + "\" data-lat=\"" + FixedText(stop.latitude, 6) +
                    "\" data-lon=\"" + FixedText(stop.longitude, 6) + "\">";
            html += (manyDays ? from : clock(from)) + " \u2013 " +
                    (day(from) == day(to) ? clock(to) : to) + " (" +
                    PageDuration(stop.end - stop.start) + ")</li>\n";
        }
        html += "</ol>\n";
    }
    html +=
        "<h3>Reading the map</h3>\n<ul class=\"note\">\n"
        "<li>The line's colour is the speed (see the legend); it is dashed where the tracker "
        "recorded no position for over five minutes.</li>\n"
        "<li>Green marks the start, red the end, orange the stops.</li>\n"
        "<li>Hover over the speed chart to see that moment on the map; click the chart to zoom "
        "in there.</li>\n"
        "<li>Zoomed in, each recorded position is a dot: hover over it for its time, speed, "
        "course and altitude.</li>\n"
        "</ul>\n</section>\n";
    return html;
}

bool HtmlLogWriter::Finish() {
    m_trip.Finish();
    std::string tail = "\n]</script>\n";
    tail += SummaryHtml();
    tail +=
        "<noscript><p>The map and the chart need JavaScript, which this browser does not run "
        "here; the summary is complete without it.</p></noscript>\n</main>\n";
    if (!Put(tail)) {
        return false;
    }
    // The policy's digests are of the scripts' exact text: nothing may come between the
    // tags and the text, not even a line end.
    std::string scripts = "<script>";
    scripts += map_page::kLeafletScript;
    scripts += "</script>\n<script>";
    scripts += map_page::kPageScript;
    scripts += "</script>\n</body>\n</html>\n";
    return Put(scripts, /*flush=*/true);
}

}  // namespace quarnel
