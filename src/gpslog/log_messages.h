// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace quarnel::msg {

// What the log download tells the user when it cannot finish. English, like the system's
// other fixed messages.

// The log count got no reply: there is no count to go by.
inline constexpr std::u16string_view kLogCountMissing = u"The tracker did not report its log.";

// The log count stayed "not ready" for kLogNotReadyLimitMs.
inline constexpr std::u16string_view kLogNotReady =
    u"The tracker's log did not become ready within 30 seconds.";
inline constexpr uint32_t kLogNotReadyLimitMs = 30000;

// Record `record` of `total` got no reply; `saved` lines are in the file.
std::u16string LogStoppedAnswering(uint32_t record, uint32_t total, uint32_t saved);

// Writing or closing the log file failed with `error`; `saved` records were written before.
std::u16string LogFileWriteFailed(const std::error_code& error, uint32_t saved);

// The log file could not be created (only a caller without a save dialog says so: the
// window's download ends quietly then).
std::u16string LogFileNotCreated(const std::error_code& error);

}  // namespace quarnel::msg
