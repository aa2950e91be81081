#pragma once
// The program's pictures, drawn when they are needed at the size and pixel
// density of the screen they go to, so they are sharp at every scale: the tall
// logo of the splash screen and the square icon of the windows.

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace krvx {

// The splash logo: a grey gradient with "KORVAX" and "RECHNER" running up it.
// size is in logical pixels; the pixmap holds size * devicePixelRatio pixels.
QPixmap drawLogo(QSize size, qreal devicePixelRatio);

// The window icon at the usual icon sizes: the installed icon's ringed planet
// and calculator, drawn here rather than looked up in the desktop's icon
// theme (reading the theme's index costs the program almost a megabyte at
// start-up), so the running window and its menu entry show the same picture.
QIcon programIcon();

} // namespace krvx
