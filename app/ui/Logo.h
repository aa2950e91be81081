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

// The window icon: the logo's gradient and a "K", at the usual icon sizes.
// Not the installed icon from the desktop's icon theme: looking it up reads
// the theme's index and costs the program almost a megabyte at start-up. The
// menu entry shows the installed icon, and so do desktops that find the
// running program's entry through its desktop file name.
QIcon programIcon();

} // namespace krvx
