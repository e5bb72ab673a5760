// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/kml_log_writer.h"

#include <cmath>
#include <string>

#include "gpslog/log_time.h"
#include "gpslog/xml_text.h"

namespace quarnel {

namespace {

constexpr size_t kPieceSize = 64 * 1024;

}  // namespace

bool KmlLogWriter::Begin() {
    const std::string name = XmlEscape(m_options.trackName);
    std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
        "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
        "<Document>\n";
    head += "<name>" + name + "</name>\n";
    head +=
        "<Schema id=\"fix\">\n"
        "<gx:SimpleArrayField name=\"speed\" type=\"float\">"
        "<displayName>Speed (km/h)</displayName></gx:SimpleArrayField>\n"
        "<gx:SimpleArrayField name=\"course\" type=\"float\">"
        "<displayName>Course</displayName></gx:SimpleArrayField>\n"
        "</Schema>\n"
        "<Placemark>\n";
    head += "<name>" + name + "</name>\n";
    head += "<gx:Track>\n";
    return m_file.Write(head);
}

AddResult KmlLogWriter::Add(uint32_t /*index*/, const LogRecord& record, int64_t time) {
    if (!IsMapPosition(record.latitude, record.longitude) || !std::isfinite(record.altitude)) {
        return AddResult::Skipped;
    }
    const int64_t utc = RecordUtcSeconds(record, time, m_options.utcOffsetSeconds);
    if (XsdDateTime(utc).empty()) {
        return AddResult::Skipped;
    }
    m_points.push_back(
        {utc, record.latitude, record.longitude, record.altitude, record.speed, record.course});
    return AddResult::Accepted;
}

bool KmlLogWriter::Put(const std::string& text, bool flush) {
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

bool KmlLogWriter::Finish() {
    for (const Point& p : m_points) {
        if (!Put("<when>" + XsdDateTime(p.utc) + "</when>\n")) {
            return false;
        }
    }
    // A point counts as saved once its coordinates are in the file.
    for (const Point& p : m_points) {
        ++m_pendingPoints;
        if (!Put("<gx:coord>" + FixedText(p.longitude, 6) + " " + FixedText(p.latitude, 6) + " " +
                 FixedText(p.altitude, 1) + "</gx:coord>\n")) {
            return false;
        }
    }
    if (!m_points.empty()) {
        if (!Put("<ExtendedData>\n<SchemaData schemaUrl=\"#fix\">\n"
                 "<gx:SimpleArrayData name=\"speed\">\n")) {
            return false;
        }
        for (const Point& p : m_points) {
            if (!Put("<gx:value>" + FixedText(p.speed, 1) + "</gx:value>\n")) {
                return false;
            }
        }
        if (!Put("</gx:SimpleArrayData>\n<gx:SimpleArrayData name=\"course\">\n")) {
            return false;
        }
        for (const Point& p : m_points) {
            if (!Put("<gx:value>" + FixedText(p.course, 2) + "</gx:value>\n")) {
                return false;
            }
        }
        if (!Put("</gx:SimpleArrayData>\n</SchemaData>\n</ExtendedData>\n")) {
            return false;
        }
    }
    if (!Put("</gx:Track>\n</Placemark>\n</Document>\n</kml>\n", /*flush=*/true)) {
        return false;
    }
    m_points.clear();
    m_points.shrink_to_fit();
    return true;
}

}  // namespace quarnel
