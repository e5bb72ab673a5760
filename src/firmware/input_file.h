// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace quarnel {

// A file the user chose, open for reading until Close() or destruction. Used by one thread.
class InputFile {
public:
    InputFile() = default;
    ~InputFile() { Close(); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False when the file cannot be opened for reading.
    bool Open(const std::filesystem::path& path);

    // Reads up to `size` bytes into `dest`, fewer only where the file ends. `got` receives
    // the count read. False when the file could not be read (a directory, an I/O error):
    // then the bytes in `dest` must not be trusted.
    bool Read(uint8_t* dest, size_t size, size_t& got);

    void Close();

private:
    int m_fd = -1;
    bool m_folder = false;  // a folder was chosen: it "opens" and fails to read
};

}  // namespace quarnel
