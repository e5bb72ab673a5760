// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#else
#include <process.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "i18n/lang_table.h"
#include "sim/sim_state.h"

namespace quarnel::test {

// A fix for the log, by its date and time; the other fields as given.
inline sim::LogFix Fix(int year, int month, int day, int hour, int minute, int second,
                       float latitude = 22.63f, float longitude = 120.3f) {
    sim::LogFix f;
    f.year = year;
    f.month = month;
    f.day = day;
    f.hour = hour;
    f.minute = minute;
    f.second = second;
    f.latitude = latitude;
    f.longitude = longitude;
    f.altitude = 12.5f;
    f.course = 90;
    f.speed = 3.2f;
    return f;
}

inline sim::LogRecordBytes Bytes(const sim::LogFix& fix) {
    return sim::EncodeLogRecord(fix);
}

inline sim::LogRecordBytes WithByte(const sim::LogFix& fix, size_t at, uint8_t value) {
    sim::LogRecordBytes b = sim::EncodeLogRecord(fix);
    b[at] = value;
    return b;
}

// A record whose longitude is erased log memory (bytes 16-19 all 0xFF).
inline sim::LogRecordBytes WithErasedLongitude(const sim::LogFix& fix) {
    sim::LogRecordBytes b = sim::EncodeLogRecord(fix);
    std::fill(b.begin() + 16, b.begin() + 20, uint8_t{0xFF});
    return b;
}

// A fix at the given longitude, moved by the smallest steps until the longitude's first
// stored byte is 0xFF: a real position that merely ends in that byte.
inline sim::LogFix WithLongitudeEndingInFF(sim::LogFix fix) {
    for (int i = 0; i < 256 && sim::EncodeLogRecord(fix)[16] != 0xFF; ++i) {
        fix.longitude = std::nextafter(fix.longitude, 180.0f);
    }
    return fix;
}

// A file-size limit for the process stands in for a disk that fills up part way: writes
// past it fail with EFBIG instead of raising SIGXFSZ. Windows has no such limit: a test
// that needs one skips itself there, naming kNoFileSizeLimit.
inline constexpr const char* kNoFileSizeLimit =
    "Windows has no per-process file-size limit to stand in for a full disk";
#ifndef _WIN32
inline constexpr bool kHaveFileSizeLimit = true;
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};
#else
inline constexpr bool kHaveFileSizeLimit = false;
class FileSizeLimit {
public:
    explicit FileSizeLimit(uint64_t) {}
};
#endif

// The "[BUTTON]" list of the English language file, up to the two log captions.
inline CLangTable ButtonTable(size_t entries = 4) {
    static const char16_t* const kButtons[] = {u"Get Parameter", u"Set Parameter", u"Get GPS Log",
                                               u"Erase GPS Log"};
    CLangTable table;
    for (size_t i = 0; i < entries && i < 4; ++i) {
        table.Append(LangSection::Button, kButtons[i]);
    }
    return table;
}

// A fresh file name in a folder of its own, removed with the object.
class TempDir {
public:
    TempDir() {
        static std::atomic<int> serial{0};
        m_path =
            std::filesystem::temp_directory_path() / ("quarnel-gpslog-" + std::to_string(getpid()) +
                                                      "-" + std::to_string(serial.fetch_add(1)));
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::filesystem::path File(const std::string& name) const { return m_path / name; }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Waits, on the real clock, until `flag` is up; false after `limit`.
inline bool WaitForFlag(const std::atomic<int>& flag,
                        std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (flag.load() == 0) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace quarnel::test
