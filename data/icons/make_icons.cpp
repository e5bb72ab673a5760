// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws the program's icon (a tracker pin on a map tile, with a satellite signal) at the
// four sizes the window uses and writes them as PNGs beside this file, and the same four
// as the Windows programs' icon resource (quarnel.ico, in the resource's order 32, 16, 48, 64):
//   cmake --build --preset default --target quarnel-make-icons
//   build/default/bin/quarnel-make-icons data/icons
// Each size is drawn for its own pixel grid rather than scaled from a large picture, so
// the small ones stay crisp.
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

QImage Draw(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    // The map tile: a rounded square with two roads crossing it.
    const QRectF tile(0.5, 0.5, s - 1.0, s - 1.0);
    QLinearGradient ground(tile.topLeft(), tile.bottomRight());
    ground.setColorAt(0.0, QColor(0x3f, 0x9b, 0x8c));
    ground.setColorAt(1.0, QColor(0x1d, 0x5c, 0x6e));
    p.setPen(QPen(QColor(0x12, 0x3a, 0x45), size >= 32 ? 1.0 : 0.8));
    p.setBrush(ground);
    p.drawRoundedRect(tile, s * 0.18, s * 0.18);

    if (size >= 32) {
        p.save();
        p.setClipRect(tile.adjusted(1, 1, -1, -1));
        p.setPen(QPen(QColor(255, 255, 255, 90), s * 0.07, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(0, s * 0.78), QPointF(s, s * 0.58));
        p.drawLine(QPointF(s * 0.22, s), QPointF(s * 0.36, 0));
        p.restore();
    }

    // The satellite signal: arcs at the upper right.
    if (size >= 32) {
        p.setBrush(Qt::NoBrush);
        const QPointF source(s * 0.80, s * 0.20);
        for (int i = 1; i <= 2; ++i) {
            const double r = s * 0.11 * i;
            p.setPen(QPen(QColor(0xff, 0xf3, 0xc4), s * 0.055, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(source.x() - r, source.y() - r, 2 * r, 2 * r), 190 * 16, 80 * 16);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xf3, 0xc4));
        p.drawEllipse(source, s * 0.035, s * 0.035);
    }

    // The pin: a drop with its point on the crossing, and a round window in its head.
    const bool small = size < 32;
    const double cx = s * (small ? 0.50 : 0.44);
    const double headY = s * (small ? 0.37 : 0.40);
    const double r = s * (small ? 0.26 : 0.24);
    const QPointF tip(cx, s * 0.90);
    QPainterPath pin;
    pin.moveTo(tip);
    pin.cubicTo(QPointF(cx - r * 0.55, headY + r * 1.35), QPointF(cx - r, headY + r * 0.75),
                QPointF(cx - r, headY));
    pin.arcTo(QRectF(cx - r, headY - r, 2 * r, 2 * r), 180, -180);
    pin.cubicTo(QPointF(cx + r, headY + r * 0.75), QPointF(cx + r * 0.55, headY + r * 1.35), tip);
    pin.closeSubpath();

    if (size >= 32) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawEllipse(QPointF(cx, s * 0.90), s * 0.12, s * 0.035);
    }
    QRadialGradient body(QPointF(cx - r * 0.35, headY - r * 0.4), r * 2.2);
    body.setColorAt(0.0, QColor(0xff, 0x8a, 0x5c));
    body.setColorAt(1.0, QColor(0xc7, 0x2c, 0x1c));
    p.setPen(QPen(QColor(0x7a, 0x16, 0x0e), size >= 32 ? s * 0.03 : 0.8));
    p.setBrush(body);
    p.drawPath(pin);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(cx, headY), r * 0.45, r * 0.45);
    if (size >= 48) {
        p.setBrush(QColor(0x1d, 0x5c, 0x6e));
        p.drawEllipse(QPointF(cx, headY), r * 0.18, r * 0.18);
    }
    p.end();
    return image;
}

void PutLittleEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

// An .ico file whose images are the PNG files already written, which every Windows since
// Vista reads, so the program's icon is the window's icon to the byte.
QByteArray IconFile(const QString& dir, const std::vector<int>& sizes) {
    std::vector<QByteArray> images;
    for (const int size : sizes) {
        QFile png(dir + QStringLiteral("/quarnel-%1.png").arg(size));
        if (!png.open(QIODevice::ReadOnly)) return {};
        images.push_back(png.readAll());
    }
    QByteArray out;
    PutLittleEndian(out, 0, 2);  // reserved
    PutLittleEndian(out, 1, 2);  // an icon, not a cursor
    PutLittleEndian(out, static_cast<std::uint32_t>(sizes.size()), 2);
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const auto side = static_cast<std::uint32_t>(sizes[i]);
        PutLittleEndian(out, side, 1);
        PutLittleEndian(out, side, 1);
        PutLittleEndian(out, 0, 1);   // no palette
        PutLittleEndian(out, 0, 1);   // reserved
        PutLittleEndian(out, 1, 2);   // colour planes
        PutLittleEndian(out, 32, 2);  // bits per pixel
        PutLittleEndian(out, static_cast<std::uint32_t>(images[i].size()), 4);
        PutLittleEndian(out, offset, 4);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const QByteArray& image : images) out.append(image);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    for (const int size : {16, 32, 48, 64}) {
        const QString path = dir + QStringLiteral("/quarnel-%1.png").arg(size);
        if (!Draw(size).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    QFile ico(dir + QStringLiteral("/quarnel.ico"));
    const QByteArray icon = IconFile(dir, {32, 16, 48, 64});
    if (icon.isEmpty() || !ico.open(QIODevice::WriteOnly) || ico.write(icon) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ico.fileName()));
        return 1;
    }
    return 0;
}
