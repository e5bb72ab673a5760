// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// ParseWideLong against the C library's strtoll, clamped to 32 bits. Each input byte is one
// code unit; units outside ASCII end a number just like any other non-digit, so they are
// handed to strtoll as 'z'.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "form/wide_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string wide;
    std::string narrow;
    for (size_t i = 0; i < size; ++i) {
        wide.push_back(static_cast<char16_t>(data[i]));
        // A NUL ends strtoll's string and stops ParseWideLong as a non-digit alike.
        narrow.push_back(data[i] < 0x80 ? static_cast<char>(data[i]) : 'z');
    }

    errno = 0;
    long long reference = std::strtoll(narrow.c_str(), nullptr, 10);
    if (reference > std::numeric_limits<int32_t>::max()) {
        reference = std::numeric_limits<int32_t>::max();
    } else if (reference < std::numeric_limits<int32_t>::min()) {
        reference = std::numeric_limits<int32_t>::min();
    }
    if (quarnel::ParseWideLong(wide) != reference) {
        std::abort();
    }
    return 0;
}
