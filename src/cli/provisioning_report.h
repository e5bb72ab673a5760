// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace quarnel::cli {

// The record of which tracker got which configuration (--report FILE): a CSV file (RFC
// 4180, CR LF line ends) with one row per tracker, appended and synced as each tracker
// ends, so that the rows written so far survive an interrupted run. A new or empty file
// first gets the header:
//
//   time_utc,imei,firmware_version,profile,profile_checksum,result
//
// Rows from earlier runs are kept. Append may be called from several threads.
class ProvisioningReport {
public:
    struct Row {
        std::time_t when;  // written as 2024-06-01T12:00:00Z
        std::string imei;  // empty when the tracker could not be read
        std::string firmware;
        std::string profile;   // the profile file as named on the command line
        std::string checksum;  // the checksum of its values
        std::string result;    // "OK", or "failed (6): ..."
    };

    // Checks that `file` can be appended to (creating it), and writes the header into a new
    // or empty one. False, with the reason, when it cannot.
    bool Open(const std::filesystem::path& file, std::string& error);
    bool Append(const Row& row, std::string& error);

private:
    std::mutex m_mutex;
    std::filesystem::path m_file;
};

// One CSV field: as it is, or quoted (quotes doubled) when it holds a comma, a quote or a
// line end.
std::string CsvField(std::string_view text);

}  // namespace quarnel::cli
