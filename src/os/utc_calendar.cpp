// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include <limits>

#include "os/files.h"

namespace quarnel::os {

bool UtcCalendar(int64_t time, std::tm& out) {
    constexpr int64_t kDay = 86400;
    int64_t days = time / kDay;
    int64_t seconds = time % kDay;
    if (seconds < 0) {
        seconds += kDay;
        --days;
    }
    // Days since 1970-01-01 to a proleptic Gregorian date, counted in 400-year eras from
    // 0000-03-01 so that the leap day ends each year.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    if (year - 1900 < std::numeric_limits<int>::min() ||
        year - 1900 > std::numeric_limits<int>::max()) {
        return false;
    }
    out = std::tm{};
    out.tm_year = static_cast<int>(year - 1900);
    out.tm_mon = static_cast<int>(month - 1);
    out.tm_mday = static_cast<int>(day);
    out.tm_hour = static_cast<int>(seconds / 3600);
    out.tm_min = static_cast<int>(seconds / 60 % 60);
    out.tm_sec = static_cast<int>(seconds % 60);
    const int64_t weekday = (days % 7 + 11) % 7;  // 1970-01-01 was a Thursday
    out.tm_wday = static_cast<int>(weekday);
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    static constexpr int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    out.tm_yday = kDaysBefore[month - 1] + static_cast<int>(day) - 1 + (leap && month > 2 ? 1 : 0);
    return true;
}

}  // namespace quarnel::os
