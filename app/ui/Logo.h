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

// The window icon: the installed program's icon from the desktop's icon
// theme, the same as its menu entry's; run from a build folder, where none is
// installed, the logo's gradient and a "K" at the usual icon sizes.
QIcon programIcon();

} // namespace krvx
