// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>

#include "device/command_areas.h"

namespace quarnel {

// The log commands, built in the shared payload area. Each sets only the bytes listed;
// every other byte keeps what earlier commands left there, and travels with it.

// Log count: op 2, len 12, group 3, part 0, index and body bytes 0-3 the characters "0000".
// The reply's first four bytes are the signed record count, -1 while the log is not ready.
void PutLogCountCommand(CommandAreas& areas);

// Log record: op 1, len 3, group 3. It carries no record number: each one returns the next
// record after the last log count, so part, index and body stay as the count left them.
void PutLogRecordCommand(CommandAreas& areas);

// Read of the tracker's IMEI (item 0 of group 0, as Get Parameter reads it): op 1, len 8,
// group 0, part 0, index 0. The map page names the tracker its log came from.
void PutImeiReadCommand(CommandAreas& areas);
// The IMEI in the reply area: its text up to the first zero byte; empty when that holds
// anything but printable ASCII.
std::string ReplyImei(const CommandAreas& areas);

// Erase and erase wait: op 2 resp. 1, len 3, group 4, part 0; nothing else is set.
void PutEraseCommand(CommandAreas& areas);
void PutEraseWaitCommand(CommandAreas& areas);

inline constexpr uint8_t kLogGroup = 3;
inline constexpr uint8_t kEraseGroup = 4;

}  // namespace quarnel
