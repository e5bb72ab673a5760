// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>

#include "device/hid_cmd.h"
#include "firmware/image_check.h"
#include "firmware/md5.h"
#include "form/form_access.h"

namespace quarnel {

// The image area goes to the tracker as 3968 blocks of 32 bytes between a start command
// and an end command that carries the MD5 digest of the whole area.
inline constexpr uint32_t kFirmwareBlockSize = 32;
inline constexpr uint32_t kFirmwareBlockCount = kImageAreaSize / kFirmwareBlockSize;  // 3968

inline constexpr uint8_t kFirmwareLen = 3;
inline constexpr uint8_t kGroupFirmwareStart = 5;
inline constexpr uint8_t kGroupFirmwareBlock = 6;
inline constexpr uint8_t kGroupFirmwareEnd = 7;

// Each builder sets only the payload bytes its command owns; the rest of the payload area
// keeps what earlier commands left there, and travels with it.
void PutFirmwareStart(uint8_t* payload);
void PutFirmwareBlock(uint8_t* payload, const ImageArea& area, uint32_t block);
void PutFirmwareEnd(uint8_t* payload, const Md5Digest& areaDigest);

// The Update progress bar's position once `block` has been sent: the share of the area
// sent so far, in whole percent rounded down.
int ProgressAfterBlock(uint32_t block);

// The first command of a transfer that the tracker did not answer.
struct UnansweredCommand {
    enum Kind { Start, Block, End };
    Kind kind;
    uint32_t block = 0;  // the block number (0-3967) when kind is Block
};

// Sends `area` (kImageAreaSize bytes) over the open `cmd`, moving the Update progress bar
// after every block. Stops at the first command whose reply does not come within its
// time-out: the tracker is then gone or stuck, and nothing that follows could succeed, so
// no end command is sent after a block it did not take. Returns that command, or nothing
// when every command was answered. Runs on the window's thread with the sequence lock
// held; keeps the window painting while it runs.
std::optional<UnansweredCommand> SendImage(CHidCmd& cmd, const ImageArea& area, FormAccess& form);

}  // namespace quarnel
