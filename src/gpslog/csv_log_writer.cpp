// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/csv_log_writer.h"

namespace quarnel {

bool CsvLogWriter::Begin() {
    return m_file.Write(kCsvHeader);
}

AddResult CsvLogWriter::Add(uint32_t index, const LogRecord& record, int64_t /*time*/) {
    if (!m_file.Write(FormatLogLine(index, record))) {
        return AddResult::Failed;
    }
    ++m_saved;
    return AddResult::Accepted;
}

}  // namespace quarnel
