// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gpslog/log_commands.h"

#include <cstring>

namespace quarnel {

namespace {

void PutHeader(CommandAreas& areas, uint8_t op, uint8_t len, uint8_t group) {
    areas.payload[payload::kOp] = op;
    areas.payload[payload::kLen] = len;
    areas.payload[payload::kGroup] = group;
}

}  // namespace

void PutLogCountCommand(CommandAreas& areas) {
    PutHeader(areas, OP_SET, 12, kLogGroup);
    areas.payload[payload::kPart] = 0;
    std::memcpy(areas.payload.data() + payload::kIndex, "0000", 4);
    std::memcpy(areas.payload.data() + payload::kBody, "0000", 4);
}

void PutLogRecordCommand(CommandAreas& areas) {
    PutHeader(areas, OP_GET, 3, kLogGroup);
}

void PutImeiReadCommand(CommandAreas& areas) {
    PutHeader(areas, OP_GET, 8, 0);
    areas.payload[payload::kPart] = 0;
    PutLe32(areas.payload.data() + payload::kIndex, 0);
}

std::string ReplyImei(const CommandAreas& areas) {
    std::string imei;
    for (const uint8_t c : areas.reply) {
        if (c == 0) {
            break;
        }
        // Printable ASCII only: whatever else a reply holds is no IMEI to show.
        if (c < 0x20 || c > 0x7E) {
            return {};
        }
        imei += static_cast<char>(c);
    }
    return imei;
}

void PutEraseCommand(CommandAreas& areas) {
    PutHeader(areas, OP_SET, 3, kEraseGroup);
    areas.payload[payload::kPart] = 0;
}

void PutEraseWaitCommand(CommandAreas& areas) {
    PutHeader(areas, OP_GET, 3, kEraseGroup);
    areas.payload[payload::kPart] = 0;
}

}  // namespace quarnel
