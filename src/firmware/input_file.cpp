// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/input_file.h"

#include "os/files.h"

namespace quarnel {

bool InputFile::Open(const std::filesystem::path& path) {
    Close();
    m_fd = os::Open(path, os::Access::Read);
    // Linux opens a folder and fails only when it is read; Windows refuses to open it. Both
    // end as a file that cannot be read, so the user is told so the same way everywhere.
    os::FileInfo info;
    m_folder = m_fd < 0 && os::Stat(path, info) && info.folder;
    return m_fd >= 0 || m_folder;
}

bool InputFile::Read(uint8_t* dest, size_t size, size_t& got) {
    got = 0;
    if (m_fd < 0) {
        return false;
    }
    // Reads until `size` bytes are in, the file ends or an error occurs, so a short count
    // is an error only when the system says so.
    while (got < size) {
        const int64_t n = os::ReadSome(m_fd, dest + got, size - got);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    return true;
}

void InputFile::Close() {
    if (m_fd >= 0) {
        os::Close(m_fd);
        m_fd = -1;
    }
    m_folder = false;
}

}  // namespace quarnel
