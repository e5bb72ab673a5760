// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/provisioning_report.h"

#include "cli/device_run.h"
#include "cli/file_io.h"
#include "profile/profile_write.h"

namespace quarnel::cli {

namespace {

constexpr std::string_view kHeader =
    "time_utc,imei,firmware_version,profile,profile_checksum,result\r\n";

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

bool ProvisioningReport::Open(const std::filesystem::path& file, std::string& error) {
    std::lock_guard lock(m_mutex);
    m_file = file;
    uint64_t size = 0;
    if (!AppendToFile(file, "", error, &size)) {
        return false;
    }
    return size > 0 || AppendToFile(file, kHeader, error);
}

bool ProvisioningReport::Append(const Row& row, std::string& error) {
    const std::string line = CsvField(Utf8(UtcTimeText(row.when))) + "," + CsvField(row.imei) +
                             "," + CsvField(row.firmware) + "," + CsvField(row.profile) + "," +
                             CsvField(row.checksum) + "," + CsvField(row.result) + "\r\n";
    std::lock_guard lock(m_mutex);
    return AppendToFile(m_file, line, error);
}

}  // namespace quarnel::cli
