// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QRect>

#include "form/control_table.h"

namespace quarnel {

// Converts the template's dialog units into pixels of one font, by the platform's rule:
// the base width is the average width of the 52 letters A-Z a-z (rounded), the base
// height is the font's line height; x pixels = x units x base width / 4 and y pixels =
// y units x base height / 8, each rounded to the nearest pixel.
class DialogUnits {
public:
    DialogUnits(int baseWidth, int baseHeight) : m_baseWidth(baseWidth), m_baseHeight(baseHeight) {}

    static DialogUnits Of(const QFont& font);

    int ToPixelsX(int units) const { return MulDivRound(units, m_baseWidth, 4); }
    int ToPixelsY(int units) const { return MulDivRound(units, m_baseHeight, 8); }
    QRect ToPixels(const DluRect& r) const;

    int baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }

private:
    // a x b / c rounded half away from zero, as the platform's MulDiv does.
    static int MulDivRound(int a, int b, int c);

    int m_baseWidth;
    int m_baseHeight;
};

}  // namespace quarnel
