// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/map_page_logs.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <numbers>
#include <random>

#include "gpslog/csv_file.h"
#include "sim/sim_state.h"

namespace quarnel::test {

std::vector<LogRecord> DemoDrive() {
    std::vector<LogRecord> records;
    for (const sim::LogRecordBytes& bytes : sim::DemoState().log) {
        records.push_back(ParseLogRecord(bytes.data()));
    }
    return records;
}

std::vector<LogRecord> Months(size_t count) {
    std::mt19937 random(20140207);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<LogRecord> records;
    double lat = 22.6273, lon = 120.3014, course = 35, speed = 0;
    int64_t day = 0;
    while (records.size() < count) {
        for (int drive = 0; drive < 2 && records.size() < count; ++drive) {
            int64_t t = day * 86400 + (drive == 0 ? 7 * 3600 : 17 * 3600) +
                        static_cast<int64_t>(unit(random) * 1800);
            for (int i = 0; i < 540 && records.size() < count; ++i, t += 10) {
                const double target = unit(random) < 0.03 ? 0 : 20 + 90 * unit(random);
                speed = std::max(0.0, speed + (target - speed) * 0.2);
                course = std::fmod(course + (unit(random) - 0.5) * 40 + 360, 360);
                const double metres = speed / 3.6 * 10;
                lat += metres * std::cos(course * std::numbers::pi / 180) / 111195.0;
                lon += metres * std::sin(course * std::numbers::pi / 180) /
                       (111195.0 * std::cos(lat * std::numbers::pi / 180));
                // Kept near the city: a drive heading out turns back.
                if (std::fabs(lat - 22.63) > 0.4 || std::fabs(lon - 120.3) > 0.4) {
                    course = std::fmod(course + 180, 360);
                }
                LogRecord r;
                r.tag = static_cast<int32_t>(records.size() + 1);
                const int64_t civil = 1391731200 + t;  // from 2014-02-07 00:00
                std::time_t when = static_cast<std::time_t>(civil);
                std::tm tm{};
                ::gmtime_r(&when, &tm);
                r.year = static_cast<uint8_t>(tm.tm_year - 100);
                r.month = static_cast<uint8_t>(tm.tm_mon + 1);
                r.day = static_cast<uint8_t>(tm.tm_mday);
                r.hour = static_cast<uint8_t>(tm.tm_hour);
                r.minute = static_cast<uint8_t>(tm.tm_min);
                r.second = static_cast<uint8_t>(tm.tm_sec);
                r.latitude = static_cast<float>(lat);
                r.longitude = static_cast<float>(lon);
                r.altitude = static_cast<float>(10 + 30 * unit(random));
                r.course = static_cast<float>(course);
                r.speed = static_cast<float>(speed);
                records.push_back(r);
            }
        }
        ++day;
    }
    return records;
}

double WritePage(const std::vector<LogRecord>& records, const std::filesystem::path& path,
                 const LogWriterOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    CsvFile file;
    file.Create(path);
    std::unique_ptr<LogWriter> writer = MakeLogWriter(LogFormat::Html, file, options);
    writer->Begin();
    int64_t last = 0;
    uint32_t index = 0;
    for (const LogRecord& r : records) {
        int64_t time = 0;
        if (TestRecord(r, last, time) == RecordVerdict::Write) {
            last = time;
            writer->Add(++index, r, time);
        }
    }
    writer->Finish();
    file.Close();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace quarnel::test
