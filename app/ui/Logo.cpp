#include "app/ui/Logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace krvx {

namespace {

QLinearGradient greyGradient(qreal height) {
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(250, 250, 250));
    gradient.setColorAt(1, QColor(96, 96, 96));
    return gradient;
}

QFont boldFace(qreal pixels) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(1, qRound(pixels)));
    return font;
}

QPixmap blank(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap drawLogo(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap = blank(size, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    painter.fillRect(QRectF(0, 0, w, h), greyGradient(h));

    // The words run from the bottom up: after this turn x runs up the logo
    // and y across it from its left edge.
    painter.translate(0, h);
    painter.rotate(-90);
    painter.setFont(boldFace(w * 0.34));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, w * 0.06, h, w * 0.46), Qt::AlignCenter, QStringLiteral("KORVAX"));
    painter.setFont(boldFace(w * 0.22));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, w * 0.52, h, w * 0.36), Qt::AlignCenter, QStringLiteral("RECHNER"));
    return pixmap;
}

namespace {

// The installed icon's drawing (packaging/icons/korvax-rechner.svg) on a
// 128-unit square: a ringed planet with a pocket calculator in front.
void drawIcon(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing);
    const QPointF centre(54, 54);
    auto ringHalf = [&](int startDegrees, const QColor& colour) {
        painter.save();
        painter.translate(centre);
        painter.rotate(-22);
        painter.setPen(QPen(colour, 7, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(-54, -15, 108, 30), startDegrees * 16, 180 * 16);
        painter.restore();
    };
    ringHalf(0, QColor(0xe9, 0xa9, 0x3a)); // the far half, behind the planet

    QRadialGradient planet(QPointF(54 - 38 + 0.35 * 76, 54 - 38 + 0.3 * 76), 0.75 * 76);
    planet.setColorAt(0, QColor(0x7c, 0xc6, 0xf2));
    planet.setColorAt(0.55, QColor(0x2f, 0x7f, 0xc1));
    planet.setColorAt(1, QColor(0x16, 0x3d, 0x70));
    painter.setPen(Qt::NoPen);
    painter.setBrush(planet);
    painter.drawEllipse(centre, 38, 38);
    auto band = [&](QPointF from, QPointF via, QPointF to, QColor colour, qreal width) {
        QPainterPath path(from);
        path.quadTo(via, to);
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    };
    band({24, 44}, {54, 36}, {86, 48}, QColor(0xa9, 0xdc, 0xf7, 140), 4);
    band({20, 62}, {52, 56}, {88, 68}, QColor(0x16, 0x3d, 0x70, 115), 3);
    ringHalf(180, QColor(0xf6, 0xc4, 0x53)); // the near half, in front

    QLinearGradient body(0, 62, 0, 124);
    body.setColorAt(0, QColor(0x4a, 0x52, 0x61));
    body.setColorAt(1, QColor(0x26, 0x2b, 0x35));
    painter.setPen(QPen(QColor(0xf4, 0xf6, 0xf8), 3));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(70, 62, 52, 62), 8, 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xb7, 0xe4, 0xa1));
    painter.drawRoundedRect(QRectF(77, 69, 38, 15), 3, 3);
    painter.setBrush(QColor(0x2e, 0x4a, 0x25));
    painter.drawRoundedRect(QRectF(101, 73, 10, 7), 1, 1);
    painter.setBrush(QColor(0xdf, 0xe4, 0xea));
    for (qreal x : {77, 91})
        for (qreal y : {89, 102}) painter.drawRoundedRect(QRectF(x, y, 10, 9), 2, 2);
    painter.setBrush(QColor(0xf0, 0x8a, 0x3c));
    painter.drawRoundedRect(QRectF(105, 89, 10, 22), 2, 2);
}

} // namespace

QIcon programIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap = blank(QSize(side, side), 1.0);
        QPainter painter(&pixmap);
        painter.scale(side / 128.0, side / 128.0);
        drawIcon(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace krvx
