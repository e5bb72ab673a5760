// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/gpx_log_writer.h"

#include <cmath>
#include <string>

#include "gpslog/log_time.h"
#include "gpslog/xml_text.h"

namespace quarnel {

bool GpxLogWriter::Begin() {
    std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"Quarnel\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
        "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
        "<trk>\n";
    head += "<name>" + XmlEscape(m_options.trackName) + "</name>\n";
    head += "<trkseg>\n";
    return m_file.Write(head);
}

AddResult GpxLogWriter::Add(uint32_t /*index*/, const LogRecord& record, int64_t time) {
    if (!IsMapPosition(record.latitude, record.longitude)) {
        return AddResult::Skipped;
    }
    const std::string when =
        XsdDateTime(RecordUtcSeconds(record, time, m_options.utcOffsetSeconds));
    if (when.empty()) {
        return AddResult::Skipped;
    }
    const float longitude = record.longitude == 180.0f ? -180.0f : record.longitude;

    std::string point = "<trkpt lat=\"" + FixedText(record.latitude, 6) + "\" lon=\"" +
                        FixedText(longitude, 6) + "\">";
    if (std::isfinite(record.altitude)) {
        point += "<ele>" + FixedText(record.altitude, 1) + "</ele>";
    }
    point += "<time>" + when + "</time>";
    point += "<desc>speed " + FixedText(record.speed, 1) + " km/h, course " +
             FixedText(record.course, 2) + "</desc>";
    point += "</trkpt>\n";
    if (!m_file.Write(point)) {
        return AddResult::Failed;
    }
    ++m_saved;
    return AddResult::Accepted;
}

bool GpxLogWriter::Finish() {
    return m_file.Write("</trkseg>\n</trk>\n</gpx>\n");
}

}  // namespace quarnel
