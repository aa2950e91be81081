#pragma once
// Positions and sizes are given in twips (1/1440 inch); 15 twips make one
// logical pixel, and Qt scales logical pixels on high-DPI screens.

#include <QRect>
#include <QWidget>

namespace krvx {

constexpr int twips(int value) {
    return (value + (value >= 0 ? 7 : -7)) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

inline void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsRect(left, top, width, height));
}

} // namespace krvx
