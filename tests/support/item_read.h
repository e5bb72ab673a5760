// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "device/command_areas.h"

namespace quarnel::test {

// Places "read item `index` of `group`" in the payload area: the smallest command every
// tracker answers, which the transaction tests and benchmarks send over and over.
inline void PutItemRead(CommandAreas& areas, int index, int group = 0) {
    areas.payload[payload::kOp] = OP_GET;
    areas.payload[payload::kLen] = 8;
    areas.payload[payload::kGroup] = static_cast<uint8_t>(group);
    areas.payload[payload::kPart] = 0;
    PutLe32(areas.payload.data() + payload::kIndex, static_cast<uint32_t>(index));
}

}  // namespace quarnel::test
