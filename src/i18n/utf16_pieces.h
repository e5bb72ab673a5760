// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarnel {

// Splits the bytes of a UTF-16 little-endian text file into the pieces that Player.ini and
// the language files are made of. The files were written for a reader that took a line at a
// time into a 256-unit buffer, so a piece is:
//   - the code units up to and including the next LF, but at most 255 of them (a longer line
//     arrives as several pieces, each handled like a line of its own);
//   - without a leading U+FEFF, on the file's very first piece only;
//   - cut at its first U+0000 (the line buffer was a C string);
//   - with every CR and LF removed, wherever they stand.
// Pieces that end up empty are skipped. A lone byte at the end of the file is no code unit
// and is ignored. Units are taken untranslated: surrogates and non-characters pass through.
//
// The reader does not own the bytes; they must outlive it.
class Utf16PieceReader {
public:
    static constexpr size_t kBufferUnits = 256;  // the line buffer, terminator included
    static constexpr size_t kMaxPieceUnits = kBufferUnits - 1;  // units read per piece at most

    explicit Utf16PieceReader(std::string_view bytes) : m_bytes(bytes) {}

    // Puts the next non-empty piece into `piece`; false when the bytes are used up.
    bool Next(std::u16string& piece);

private:
    std::string_view m_bytes;
    size_t m_offset = 0;
    bool m_atFirstPiece = true;
};

}  // namespace quarnel
