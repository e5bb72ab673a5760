// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "gpslog/log_writer.h"

namespace quarnel {

// The log's own CSV: the header line, then one FormatLogLine line per record, byte for
// byte, CR LF. Every record is accepted; the tracker's date and time are written as they
// are, in the tracker's own time.
class CsvLogWriter final : public LogWriter {
public:
    explicit CsvLogWriter(CsvFile& file) : m_file(file) {}

    bool Begin() override;
    AddResult Add(uint32_t index, const LogRecord& record, int64_t time) override;
    bool Finish() override { return true; }  // nothing follows the last line
    uint32_t Saved() const override { return m_saved; }
    std::error_code Error() const override { return m_file.Error(); }

private:
    CsvFile& m_file;
    uint32_t m_saved = 0;
};

}  // namespace quarnel
