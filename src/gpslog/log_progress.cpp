// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_progress.h"

#include <cstdio>

namespace quarnel {

std::u16string PercentCaption(int percent) {
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%d %%", percent);
    std::u16string caption;
    for (int i = 0; i < n && i < static_cast<int>(sizeof text) - 1; ++i) {
        caption.push_back(static_cast<char16_t>(text[i]));
    }
    return caption;
}

}  // namespace quarnel
