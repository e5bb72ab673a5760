// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Dialog units to pixels by the platform's rule.
#include "app/dialog_units.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include "app/quarnel_dlg.h"
#include "support/row_name.h"

namespace quarnel {
namespace {

// Rows print as their names wherever a parameter is shown.
using test::PrintTo;

struct UnitsRow {
    const char* name;
    int baseWidth;
    int baseHeight;
    DluRect units;
    QRect pixels;
};

class DialogUnitConversion : public ::testing::TestWithParam<UnitsRow> {};

TEST_P(DialogUnitConversion, RoundsToTheNearestPixel) {
    const UnitsRow& row = GetParam();
    EXPECT_EQ(DialogUnits(row.baseWidth, row.baseHeight).ToPixels(row.units), row.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Form, DialogUnitConversion,
    ::testing::Values(
        // The classic 8-point shell font: 6 x 13.
        UnitsRow{"FormAtSixByThirteen", 6, 13, {0, 0, 578, 294}, QRect(0, 0, 867, 478)},
        // 578 x 7 / 4 = 1011.5 rounds up; 294 x 15 / 8 = 551.25 rounds down.
        UnitsRow{"FormAtSevenByFifteen", 7, 15, {0, 0, 578, 294}, QRect(0, 0, 1012, 551)},
        UnitsRow{"ComboAtSevenByFifteen", 7, 15, {397, 189, 76, 60}, QRect(695, 354, 133, 113)},
        UnitsRow{"CheckBoxAtSixByThirteen", 6, 13, {138, 75, 115, 10}, QRect(207, 122, 173, 16)},
        UnitsRow{"EditAtEightBySixteen", 8, 16, {100, 67, 30, 12}, QRect(200, 134, 60, 24)},
        UnitsRow{"Zero", 7, 15, {0, 0, 0, 0}, QRect(0, 0, 0, 0)}),
    test::RowName());

TEST(DialogUnitsOfAFont, AverageOfTheFiftyTwoLettersAndTheLineHeight) {
    for (const int points : {8, 9, 12, 20}) {
        QFont font(QStringLiteral("DejaVu Sans"), points);
        font.setKerning(false);
        const QFontMetrics metrics(font);
        int letters = 0;
        for (char c = 'A'; c <= 'Z'; ++c) {
            letters += metrics.horizontalAdvance(QChar(c));
            letters += metrics.horizontalAdvance(QChar(c - 'A' + 'a'));
        }
        const DialogUnits units = DialogUnits::Of(font);
        EXPECT_NEAR(units.baseWidth(), letters / 52.0, 0.5 + 1e-9) << points;
        EXPECT_EQ(units.baseHeight(), metrics.height()) << points;
    }
}

TEST(DialogUnitsOfAFont, FollowTheFontSize) {
    const DialogUnits small = DialogUnits::Of(QFont(QStringLiteral("DejaVu Sans"), 8));
    const DialogUnits large = DialogUnits::Of(QFont(QStringLiteral("DejaVu Sans"), 16));
    EXPECT_GT(large.baseWidth(), small.baseWidth());
    EXPECT_GT(large.baseHeight(), small.baseHeight());
}

TEST(FormFont, IsTheDefaultUiFontAtNinePoints) {
    const QFont font = CQuarnelDlg::FormFont();
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_FALSE(font.bold());
    EXPECT_FALSE(font.italic());
}

}  // namespace
}  // namespace quarnel
