// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>

namespace quarnel {

// The download's percentage on the Get GPS Log button while record `current` of `total`
// (total > 0) is fetched: current / total * 100 in double precision, division first,
// truncated. So 57 of 100 gives 56: the double quotient lies just below 0.57, and an
// integer formula giving 57 would be wrong here.
inline int DownloadPercent(uint32_t current, uint32_t total) {
    return static_cast<int>(static_cast<double>(current) / static_cast<double>(total) * 100.0);
}

// The button caption for a percentage: the number, a blank and a percent sign.
std::u16string PercentCaption(int percent);

// Position of the Log progress bar after record `k` of `count` (count > 0): the floor of
// 100 * k / count. Computed in 64 bits: in 32 bits, 100 * k overflows once k passes
// 42,949,672 and the bar would jump back.
inline int ProgressPosition(uint32_t k, uint32_t count) {
    return static_cast<int>(uint64_t{100} * k / count);
}

}  // namespace quarnel
