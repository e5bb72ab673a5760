// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "params/param_convert.h"

#include <algorithm>
#include <cstring>

#include "form/wide_number.h"
#include "params/param_catalogue.h"

namespace quarnel {

namespace {

bool AllSingleByte(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

}  // namespace

const std::u16string& ReplyToText(ParamState& state, std::span<const uint8_t> data) {
    const auto end = std::find(data.begin(), data.end(), uint8_t{0});
    state.replyText.assign(data.begin(), end);
    return state.replyText;
}

std::string ToDeviceBytes(std::u16string_view text) {
    if (!AllSingleByte(text)) {
        return {};
    }
    std::string bytes(text.size(), '\0');
    std::transform(text.begin(), text.end(), bytes.begin(),
                   [](char16_t c) { return static_cast<char>(static_cast<uint8_t>(c)); });
    return bytes;
}

size_t DeviceTextLength(std::u16string_view text) {
    return AllSingleByte(text) ? text.size() : 0;
}

std::optional<size_t> TextToSendBuffer(ParamState& state, std::u16string_view text) {
    const std::string bytes = ToDeviceBytes(text);
    if (bytes.size() > kSendBufferTextBytes) {
        state.sendBuffer[0] = 0;
        return std::nullopt;
    }
    std::memcpy(state.sendBuffer, bytes.data(), bytes.size());
    state.sendBuffer[bytes.size()] = 0;
    return bytes.size();
}

std::u16string DecimalText(int32_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

int32_t AtoiRule(std::u16string_view text) {
    return ParseWideLong(text);
}

TransportBoxes DecodeTransport(uint32_t code) {
    if (code == '0') {
        return {true, false, false};
    }
    return {false, true, code == '3'};
}

uint8_t EncodeTransport(bool udp, bool reply) {
    return static_cast<uint8_t>('0' + (udp ? 1 : 0) + (reply ? 2 : 0));
}

}  // namespace quarnel
