#include "common/ui/ProgramStyle.h"

#include <cmath>

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QWidget>

namespace krvx {

ProgramStyle::ProgramStyle(QStyle* desktopStyle) : QProxyStyle(desktopStyle) {}

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
    if (icon != SP_ToolBarHorizontalExtensionButton && icon != SP_ToolBarVerticalExtensionButton) {
        return QProxyStyle::standardIcon(icon, option, widget);
    }
    // A double arrow pointing right (or down), in the text colour.
    QPixmap arrow(16, 16);
    arrow.fill(Qt::transparent);
    QPainter painter(&arrow);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen((widget ? widget->palette() : QApplication::palette()).color(QPalette::ButtonText), 1.5);
    painter.setPen(pen);
    if (icon == SP_ToolBarVerticalExtensionButton) {
        painter.translate(16, 0);
        painter.rotate(90);
    }
    for (int left : {4, 8}) {
        painter.drawPolyline(QPolygonF({QPointF(left, 4), QPointF(left + 4, 8), QPointF(left, 12)}));
    }
    painter.end();
    return QIcon(arrow);
}

namespace {

// Whether the screen's scaling is a fraction (125 %): the native Windows
// style then cuts off the bottom and right edges of its frames.
bool fractionalScale(const QPainter* painter) {
    const qreal ratio = painter->device()->devicePixelRatioF();
    return ratio != std::floor(ratio);
}

// A frame's outline, drawn inside its rectangle at any scaling, with face
// (when not transparent) below it.
void drawOutline(QPainter* painter, const QRect& rect, const QColor& outline, const QColor& face, qreal radius) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(outline);
    painter->setBrush(face);
    painter->drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter->restore();
}

} // namespace

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    const bool fusion = baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
    const QColor window = option->palette.window().color();
    if (element == PE_FrameGroupBox && fusion) {
        // Fusion's frame: a faint rounded outline over a slightly lighter face.
        QColor face = window.lighter(104);
        face.setAlpha(120);
        drawOutline(painter, option->rect, window.darker(130), face, 2);
    } else if (element == PE_FrameGroupBox && fractionalScale(painter)) {
        drawOutline(painter, option->rect, window.darker(125), Qt::transparent, 3);
    } else if (element == PE_FrameLineEdit && !fusion && fractionalScale(painter)) {
        drawOutline(painter, option->rect, option->palette.color(QPalette::Mid), Qt::transparent, 0);
    } else {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void useProgramStyle() {
    QApplication::setStyle(new ProgramStyle(QApplication::style()));
}

} // namespace krvx
