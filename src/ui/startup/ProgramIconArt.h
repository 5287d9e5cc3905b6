#pragma once
// The program's icon, a stack of three photo frames, drawn from one description: the
// window icon, the menu entry's PNG files and its SVG file show the same picture. Needs
// Qt GUI only (no QGuiApplication), so the build can export the files.

#include <QByteArray>
#include <QImage>

namespace pictrove {

// The icon as a `size` x `size` picture with a transparent background.
QImage programIconImage(int size);

// The icon as an SVG document.
QByteArray programIconSvg();

}  // namespace pictrove
