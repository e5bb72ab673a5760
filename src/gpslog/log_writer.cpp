// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_writer.h"

#include "gpslog/csv_log_writer.h"
#include "gpslog/gpx_log_writer.h"
#include "gpslog/html_log_writer.h"
#include "gpslog/kml_log_writer.h"

namespace quarnel {

std::unique_ptr<LogWriter> MakeLogWriter(LogFormat format, CsvFile& file,
                                         const LogWriterOptions& options) {
    switch (format) {
        case LogFormat::Csv:
            return std::make_unique<CsvLogWriter>(file);
        case LogFormat::Gpx:
            return std::make_unique<GpxLogWriter>(file, options);
        case LogFormat::Kml:
            return std::make_unique<KmlLogWriter>(file, options);
        case LogFormat::Html:
            return std::make_unique<HtmlLogWriter>(file, options);
    }
    return nullptr;
}

}  // namespace quarnel
