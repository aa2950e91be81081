#pragma once
// The desktop's style, with the pictures it would read at start-up kept from
// loading every image plugin on the system (half a megabyte of memory, for
// pictures that Qt reads itself): Qt finds the format of a picture read
// without one by asking each plugin. The arrow of the menu bar's overflow
// button (which the menu never shows) and Fusion's group box frame (the
// splash screen's frame) are drawn, and so are the frames of group boxes and
// boxes on a screen scaled by a fraction (125 %), whose bottom and right
// edges the native Windows style cuts off there. The program itself reads no image files.

#include <QProxyStyle>

namespace krvx {

class ProgramStyle : public QProxyStyle {
public:
    explicit ProgramStyle(QStyle* desktopStyle);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

// Puts the program's style around the application's style in force.
void useProgramStyle();

} // namespace krvx
