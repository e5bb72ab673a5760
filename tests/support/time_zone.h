// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <cstdlib>
#include <ctime>

// The C library's time-zone and UTC calls that tests need, under their Linux and Windows
// names.
namespace quarnel::test {

// Sets the process's time zone (TZ) and has the C library read it again.
inline void SetTimeZone(const char* tz) {
#ifdef _WIN32
    _putenv_s("TZ", tz);
    _tzset();
#else
    ::setenv("TZ", tz, 1);
    ::tzset();
#endif
}

// The seconds since 1970 of a calendar time read as UTC (normalised as mktime does:
// February 31 is March 3).
inline int64_t UtcSeconds(std::tm tm) {
#ifdef _WIN32
    return static_cast<int64_t>(_mkgmtime(&tm));
#else
    return static_cast<int64_t>(::timegm(&tm));
#endif
}

}  // namespace quarnel::test
