// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form/wide_number.h"

#include <limits>

namespace quarnel {

namespace {

bool IsSpace(char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

}  // namespace

int32_t ParseWideLong(std::u16string_view text) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();

    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // The magnitude saturates just past the range, so any run of digits fits in 64 bits.
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - u'0');
        if (magnitude > kMax + 1) {
            magnitude = kMax + 1;
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > kMax) {
        return static_cast<int32_t>(kMax);
    }
    if (value < kMin) {
        return static_cast<int32_t>(kMin);
    }
    return static_cast<int32_t>(value);
}

}  // namespace quarnel
