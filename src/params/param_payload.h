// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

#include "device/command_areas.h"

namespace quarnel {

// Sets the header of a parameter request in the payload area and nothing else: every
// other byte keeps what earlier commands left there, as the tracker has always seen it.
inline void PutRequestHeader(CommandAreas& areas, uint8_t op, uint8_t len, uint8_t group,
                             uint32_t index) {
    uint8_t* p = areas.payload.data();
    p[payload::kOp] = op;
    p[payload::kLen] = len;
    p[payload::kGroup] = group;
    p[payload::kPart] = 0;
    PutLe32(p + payload::kIndex, index);
}

inline uint8_t* RequestBody(CommandAreas& areas) {
    return areas.payload.data() + payload::kBody;
}

}  // namespace quarnel
