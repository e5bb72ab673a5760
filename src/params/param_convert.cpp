#include "params/param_convert.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "params/param_catalogue.h"

namespace quarnel {

namespace {

bool AllSingleByte(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c <= 0xFF; });
}

// White space as the C locale's isspace has it.
bool IsSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
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
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Past 2^31 the result is one of the range's ends whatever digits follow, so the
    // magnitude stops growing there and cannot overflow however long the text is.
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (magnitude <= kMax) {
            magnitude = magnitude * 10 + (text[i] - u'0');
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(std::clamp(value, kMin, kMax));
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
