// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "device/command_areas.h"
#include "device/hid_backend.h"

namespace quarnel::test {

// A command report as the host frames it: report ID 0, sequence, 62, payload.
inline std::vector<uint8_t> CommandReport(uint8_t seq, uint8_t op, uint8_t len, uint8_t group,
                                          uint32_t index, std::initializer_list<uint8_t> body = {},
                                          uint8_t part = 0) {
    std::vector<uint8_t> r(kReportSize, 0);
    r[1] = seq;
    r[2] = 62;
    uint8_t* p = r.data() + 3;
    p[payload::kOp] = op;
    p[payload::kLen] = len;
    p[payload::kGroup] = group;
    p[payload::kPart] = part;
    PutLe32(p + payload::kIndex, index);
    size_t i = payload::kBody;
    for (uint8_t b : body) {
        p[i++] = b;
    }
    return r;
}

// Reply data of a reply report (bytes 3 on, as many as byte 2 says).
inline std::vector<uint8_t> ReplyData(const std::vector<uint8_t>& report) {
    if (report.size() < 3) {
        return {};
    }
    const size_t n = std::min<size_t>(report[2], report.size() - 3);
    return {report.begin() + 3, report.begin() + 3 + static_cast<long>(n)};
}

}  // namespace quarnel::test
