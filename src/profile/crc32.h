// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <string_view>

namespace quarnel {

// CRC-32 as zip and PNG use it (IEEE 802.3 polynomial, reflected, initial value and final
// XOR 0xFFFFFFFF): "123456789" gives 0xCBF43926. It catches every change of up to 32
// consecutive bits, which is what a damaged or cut profile needs; it is no protection
// against someone who means to forge one.
uint32_t Crc32(std::string_view bytes);

}  // namespace quarnel
