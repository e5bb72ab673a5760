// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "params/param_state.h"

namespace quarnel {

// Conversions between the tracker's values and the controls' texts. The tracker speaks
// single-byte text in which each byte is the character of the same code (U+0000-U+00FF).

// Reply text to control text: the bytes of `data` up to its first zero (all of them when
// there is none), each byte becoming the character of the same code. The result is left
// in state.replyText and returned.
const std::u16string& ReplyToText(ParamState& state, std::span<const uint8_t> data);

// Control text to device bytes, all or nothing: a text holding any character above U+00FF
// becomes empty text. Not bounded: the phone lists are split after this.
std::string ToDeviceBytes(std::u16string_view text);

// The number of bytes ToDeviceBytes gives, without building them.
size_t DeviceTextLength(std::u16string_view text);

// Control text to device text in state.sendBuffer: the bytes and a terminating zero.
// Returns the number of bytes, the zero not counted; nullopt (and an empty buffer) when
// they do not fit its 255 bytes of text.
std::optional<size_t> TextToSendBuffer(ParamState& state, std::u16string_view text);

// An integer as plain decimal text: a minus sign for negatives, no leading zeros.
std::u16string DecimalText(int32_t value);

// The `atoi` rule (strtol, base 10): leading white space skipped, an optional sign, the
// decimal digits up to the first other character; no digits give 0, and a value beyond the
// 32-bit range becomes the nearer end of the range.
int32_t AtoiRule(std::u16string_view text);

// The transport code: the first 4 bytes of a reply as an unsigned 32-bit value.
struct TransportBoxes {
    bool tcp;
    bool udp;
    bool reply;
};
TransportBoxes DecodeTransport(uint32_t code);
// One character, '0' plus 1 for UDP plus 2 for Reply; the TCP box is not looked at.
uint8_t EncodeTransport(bool udp, bool reply);

}  // namespace quarnel
