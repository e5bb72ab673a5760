// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

// UTF-8 for files and terminals, UTF-16 for the window's texts.

// Decodes strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF). Returns
// the byte offset of the first bad sequence, or nothing when all of `bytes` decoded.
std::optional<size_t> DecodeUtf8(std::string_view bytes, std::u16string& out);

// Encodes UTF-16; a surrogate without its partner becomes U+FFFD.
std::string EncodeUtf8(std::u16string_view text);

// The code point at `i` (a surrogate pair counts as one) and how many units it takes.
char32_t CodePointAt(std::u16string_view text, size_t i, size_t& units);

}  // namespace quarnel
