// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "i18n/utf16_pieces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/i18n_test_files.h"
#include "support/recording_ui.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

using test::kBom;
using test::Utf16Le;

std::vector<std::u16string> AllPieces(std::string_view bytes) {
    Utf16PieceReader reader(bytes);
    std::vector<std::u16string> pieces;
    std::u16string piece;
    while (reader.Next(piece)) {
        pieces.push_back(piece);
    }
    return pieces;
}

std::u16string Units(size_t count, char16_t unit = u'x') {
    return std::u16string(count, unit);
}

std::u16string Cat(std::initializer_list<std::u16string_view> parts) {
    std::u16string out;
    for (auto part : parts) {
        out += part;
    }
    return out;
}

struct PieceCase {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> pieces;
};

void PrintTo(const PieceCase& c, std::ostream* os) {
    *os << c.name;
}

class Utf16PieceTest : public testing::TestWithParam<PieceCase> {};

TEST_P(Utf16PieceTest, SplitsLikeTheLineReader) {
    const auto pieces = AllPieces(GetParam().bytes);
    ASSERT_EQ(pieces.size(), GetParam().pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i], GetParam().pieces[i])
            << "piece " << i << ": " << test::Narrow(pieces[i]);
    }
}

const PieceCase kPieceCases[] = {
    {"EmptyFile", "", {}},
    {"OnlyByteOrderMark", Utf16Le(kBom), {}},
    {"ByteOrderMarkDroppedFromFirstPiece", Utf16Le(u"\uFEFFab\r\ncd"), {u"ab", u"cd"}},
    {"ByteOrderMarkKeptInLaterPiece", Utf16Le(u"ab\n\uFEFFcd"), {u"ab", u"\uFEFFcd"}},
    {"ByteOrderMarkAfterBlankFirstLineKept", Utf16Le(u"\r\n\uFEFFx"), {u"\uFEFFx"}},
    {"OnlyOneByteOrderMarkDropped", Utf16Le(u"\uFEFF\uFEFFx"), {u"\uFEFFx"}},
    {"LfLineEnds", Utf16Le(u"a\nb\n"), {u"a", u"b"}},
    {"CrLfLineEnds", Utf16Le(u"a\r\nb\r\n"), {u"a", u"b"}},
    {"LastLineWithoutLineEnd", Utf16Le(u"a\nb"), {u"a", u"b"}},
    {"CrOnlyLinesRunTogether", Utf16Le(u"a\rb\rc\r"), {u"abc"}},
    {"CrInsideLineRemoved", Utf16Le(u"a\rb\r\r\n"), {u"ab"}},
    {"BlankLinesSkipped", Utf16Le(u"a\n\n\r\n\r\nb"), {u"a", u"b"}},
    {"SingleSpaceLineKept", Utf16Le(u"a\n \nb"), {u"a", u" ", u"b"}},
    {"SpacesAndTabsKept", Utf16Le(u" a\t \n"), {u" a\t "}},
    {"LineOf254UnitsAndLfIsOnePiece", Utf16Le(Units(254) + u"\n"), {Units(254)}},
    {"LineOf255UnitsLeavesItsLfAsEmptyPiece", Utf16Le(Units(255) + u"\nz"), {Units(255), u"z"}},
    {"LineOf256UnitsIsTwoPieces", Utf16Le(Units(256) + u"\n"), {Units(255), u"x"}},
    {"LongLineInPiecesOf255", Utf16Le(Units(600)), {Units(255), Units(255), Units(90)}},
    {"CrLfSplitByPieceBoundary", Utf16Le(Units(254) + u"\r\ny"), {Units(254), u"y"}},
    {"ByteOrderMarkCountsTowardFirstPiece", Utf16Le(Cat({kBom, Units(255)})), {Units(254), u"x"}},
    {"CrOnlyFileReadIn255UnitPieces",
     Utf16Le(Cat({Units(200), u"\r", Units(100)})),
     {Units(254), Units(46)}},
    {"OddTrailingByteIgnored", Utf16Le(u"ab") + "c", {u"ab"}},
    {"OddTrailingByteAfterLineEndIgnored", Utf16Le(u"ab\n") + "\x0a", {u"ab"}},
    {"SingleByteFile", "\x0a", {}},
    {"NulEndsThePiece", Utf16Le(std::u16string(u"ab\0cd\nef", 8)), {u"ab", u"ef"}},
    {"NulFirstEmptiesThePiece", Utf16Le(std::u16string(u"\0ab\ncd", 6)), {u"cd"}},
    {"SurrogatesPassUntranslated", Utf16Le(u"\xD800x\xDFFF\n"), {u"\xD800x\xDFFF"}},
    {"UnitsAreLittleEndian", std::string("\x00\x5B\x5B\x00", 4), {u"\x5B00\x005B"}},
};

INSTANTIATE_TEST_SUITE_P(Utf16Pieces, Utf16PieceTest, testing::ValuesIn(kPieceCases),
                         test::RowName());

}  // namespace
}  // namespace quarnel
