#include "common/ui/ProgramStyle.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QWidget>

namespace krvx {

ProgramStyle::ProgramStyle(QStyle* desktopStyle)
    : QProxyStyle(desktopStyle) {}

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

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
    if (element != PE_FrameGroupBox || baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Fusion's frame: a faint rounded outline over a slightly lighter face.
    const QRectF frame = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QColor outline = option->palette.window().color().darker(130);
    QColor face = option->palette.window().color().lighter(104);
    face.setAlpha(120);
    painter->setPen(outline);
    painter->setBrush(face);
    painter->drawRoundedRect(frame, 2, 2);
    painter->restore();
}

void useProgramStyle() {
    QApplication::setStyle(new ProgramStyle(QApplication::style()));
}

} // namespace krvx
