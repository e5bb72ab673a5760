// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

namespace quarnel::test {

// A fresh, empty folder of its own for one test, removed with the object.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> serial{0};
        m_path = std::filesystem::temp_directory_path() /
                 ("quarnel-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace quarnel::test
