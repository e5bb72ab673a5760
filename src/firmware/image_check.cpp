// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "firmware/image_check.h"

#include <algorithm>

namespace quarnel {

std::string DigestText(const Md5Digest& digest) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(kDigestTextLength);
    for (uint8_t byte : digest) {
        text.push_back(kHexDigits[byte >> 4]);
        text.push_back(kHexDigits[byte & 0x0F]);
    }
    return text;
}

bool DigestFileMatches(std::span<const uint8_t> digestFile, const Md5Digest& imageDigest) {
    if (digestFile.size() < kDigestTextLength) {
        return false;
    }
    const std::string text = DigestText(imageDigest);
    return std::equal(text.begin(), text.end(), digestFile.begin(),
                      [](char digit, uint8_t byte) { return static_cast<uint8_t>(digit) == byte; });
}

}  // namespace quarnel
