// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quarnel {

using Md5Digest = std::array<uint8_t, 16>;

// The MD5 message digest of RFC 1321: start a context, add runs of bytes, finish.
class Md5 {
public:
    Md5() { Start(); }
    void Start();
    void Add(const uint8_t* data, size_t length);
    Md5Digest Finish();  // the context must be started again before further use

    static Md5Digest Of(const uint8_t* data, size_t length);

private:
    uint32_t m_state[4];
    uint64_t m_bitCount;
    uint8_t m_buffer[64];
};

}  // namespace quarnel
