// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/dialog_units.h"

#include <QFontMetrics>
#include <QString>
#include <cstdlib>

namespace quarnel {

DialogUnits DialogUnits::Of(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits((letters + 26) / 52, metrics.height());
}

QRect DialogUnits::ToPixels(const DluRect& r) const {
    return QRect(ToPixelsX(r.x), ToPixelsY(r.y), ToPixelsX(r.w), ToPixelsY(r.h));
}

int DialogUnits::MulDivRound(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    const long long q = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return static_cast<int>(q);
}

}  // namespace quarnel
