// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace quarnel {

// The log's CSV file: created empty, written byte for byte (no line-end translation, no
// buffering, so whatever Write accepted is in the file even if the download then stops),
// closed on every way out. Every failure of the operating system is reported and kept in
// Error(). Used by one thread.
class CsvFile {
public:
    CsvFile() = default;
    ~CsvFile();  // closes, ignoring errors: call Close() to learn of them
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    // Creates `path` for reading and writing, emptying a file that exists. False when it
    // cannot be created.
    bool Create(const std::filesystem::path& path);

    // Writes all of `bytes`; false when the system refused part of them (a full disk, a
    // file-size limit, an I/O error) or no file is open. A failed write takes back what
    // it wrote, so the file holds whole lines only.
    bool Write(std::string_view bytes);

    // Closes the file. False when closing reported an error (data that did not reach
    // the disk); true when nothing was open.
    bool Close();

    bool IsOpen() const { return m_fd >= 0; }
    std::error_code Error() const { return m_error; }

private:
    int m_fd = -1;
    uint64_t m_size = 0;  // bytes written since Create (64 bits everywhere: a log can pass 2 GiB)
    std::error_code m_error;
};

}  // namespace quarnel
