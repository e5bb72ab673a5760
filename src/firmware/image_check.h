// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "firmware/md5.h"

namespace quarnel {

// The unit of transfer: the image's first bytes, zero-filled to this size whatever the
// image's length. Longer images are cut to it.
inline constexpr size_t kImageAreaSize = 126976;  // 0x1F000
using ImageArea = std::vector<uint8_t>;

// How much of the digest file is read, and how much of that is compared.
inline constexpr size_t kDigestFileReadSize = 256;
inline constexpr size_t kDigestTextLength = 32;

// The digest as 32 lower-case hexadecimal digits, each byte's high nibble first.
std::string DigestText(const Md5Digest& digest);

// Whether the digest file starts with exactly the digest text of `imageDigest`: byte for
// byte, case-sensitive, nothing after the 32nd byte looked at. A file shorter than 32
// bytes never matches.
bool DigestFileMatches(std::span<const uint8_t> digestFile, const Md5Digest& imageDigest);

}  // namespace quarnel
