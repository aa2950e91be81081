#include "app/ui/Logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

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

QIcon programIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128}) {
        const QSize size(side, side);
        QPixmap pixmap = blank(size, 1.0);
        QPainter painter(&pixmap);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        QPainterPath rounded;
        const qreal edge = side / 16.0;
        rounded.addRoundedRect(QRectF(edge / 2, edge / 2, side - edge, side - edge), side * 0.18, side * 0.18);
        painter.fillPath(rounded, greyGradient(side));
        painter.setPen(QPen(QColor(64, 64, 64), edge));
        painter.drawPath(rounded);
        painter.setFont(boldFace(side * 0.72));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, QStringLiteral("K"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace krvx
