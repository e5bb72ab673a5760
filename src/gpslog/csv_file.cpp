// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/csv_file.h"

#include <cerrno>

#include "os/files.h"

namespace quarnel {

CsvFile::~CsvFile() {
    Close();
}

bool CsvFile::Create(const std::filesystem::path& path) {
    Close();
    // There are no share modes here; another program may open the file meanwhile.
    m_fd = os::Open(path, os::Access::ReadWriteEmpty);
    if (m_fd < 0) {
        m_error = std::error_code(errno, std::generic_category());
        return false;
    }
    m_error.clear();
    m_size = 0;
    return true;
}

bool CsvFile::Write(std::string_view bytes) {
    if (m_fd < 0) {
        m_error = std::make_error_code(std::errc::bad_file_descriptor);
        return false;
    }
    const uint64_t before = m_size;
    while (!bytes.empty()) {
        const int64_t n = os::WriteSome(m_fd, bytes.data(), bytes.size());
        if (n > 0) {
            m_size += static_cast<uint64_t>(n);
            bytes.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        // A write that takes nothing and names no error would loop for ever.
        m_error = n < 0 ? std::error_code(errno, std::generic_category())
                        : std::make_error_code(std::errc::io_error);
        // A full disk can take part of a line; drop that part, so the file ends with the
        // last whole line. Shrinking needs no space. Devices cannot be cut; no matter.
        if (m_size != before && os::Truncate(m_fd, before)) {
            m_size = before;
        }
        return false;
    }
    return true;
}

bool CsvFile::Close() {
    if (m_fd < 0) {
        return true;
    }
    const bool closed = os::Close(m_fd);
    m_fd = -1;
    if (!closed) {
        m_error = std::error_code(errno, std::generic_category());
        return false;
    }
    return true;
}

}  // namespace quarnel
