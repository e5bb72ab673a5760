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

void PutEraseCommand(CommandAreas& areas) {
    PutHeader(areas, OP_SET, 3, kEraseGroup);
    areas.payload[payload::kPart] = 0;
}

void PutEraseWaitCommand(CommandAreas& areas) {
    PutHeader(areas, OP_GET, 3, kEraseGroup);
    areas.payload[payload::kPart] = 0;
}

}  // namespace quarnel
