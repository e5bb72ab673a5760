// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <ctime>
#include <span>
#include <string>
#include <string_view>

#include "profile/profile.h"

namespace quarnel {

// One entry of the canonical body.
struct CanonicalEntry {
    std::string_view section;
    std::string_view key;
    std::u16string_view value;
};

// The canonical body the checksum covers: for each entry in the given order, a line
// "[section]" where a new section starts, then "key = value" as FormatEntry writes it;
// every line ended by LF, UTF-8. Comments, blank lines, the layout of the file and the
// checksum line itself are not part of it.
std::string CanonicalText(std::span<const CanonicalEntry> entries);

// The header's keys (without the checksum) and then every key of the body, in order.
std::string CanonicalBody(const Profile& profile);

// "crc32:" and the CRC-32 of a canonical body as 8 lower-case hexadecimal digits.
std::string ChecksumOf(std::string_view canonicalBody);
std::string ProfileChecksum(const Profile& profile);

// The whole profile file as `get` writes it: a comment that says what the file is, the
// header with its checksum, then the sections, each after a blank line.
std::string FormatProfile(const Profile& profile);

// A time as the header's read_at records it: "2025-06-01T12:00:00Z" (UTC).
std::u16string UtcTimeText(std::time_t time);

}  // namespace quarnel
