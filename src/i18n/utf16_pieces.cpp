// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/utf16_pieces.h"

namespace quarnel {

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

char16_t UnitAt(std::string_view bytes, size_t offset) {
    const auto lo = static_cast<unsigned char>(bytes[offset]);
    const auto hi = static_cast<unsigned char>(bytes[offset + 1]);
    return static_cast<char16_t>(lo | (hi << 8));
}

}  // namespace

bool Utf16PieceReader::Next(std::u16string& piece) {
    // Whole units only: an odd byte left at the end can never complete one.
    while (m_bytes.size() - m_offset >= 2) {
        // The raw piece, as the 256-unit line read would have filled its buffer.
        std::u16string raw;
        while (raw.size() < kMaxPieceUnits && m_bytes.size() - m_offset >= 2) {
            const char16_t unit = UnitAt(m_bytes, m_offset);
            m_offset += 2;
            raw.push_back(unit);
            if (unit == kLf) {
                break;
            }
        }

        size_t start = 0;
        if (m_atFirstPiece && raw.front() == kByteOrderMark) {
            start = 1;
        }
        m_atFirstPiece = false;

        piece.clear();
        for (size_t i = start; i < raw.size() && raw[i] != 0; ++i) {
            if (raw[i] != kCr && raw[i] != kLf) {
                piece.push_back(raw[i]);
            }
        }
        if (!piece.empty()) {
            return true;
        }
    }
    piece.clear();
    return false;
}

}  // namespace quarnel
