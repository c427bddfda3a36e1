// The program's images: SVG files in its resources, drawn at the size asked
// for and the screen's pixel ratio.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace rz::app {

// Makes the program's resources (images, texts) readable; done by the
// functions below, safe to call more than once.
void qx_loadResources();

// The image named `name` (":/icons/<name>.svg") at `size` points; a null
// pixmap for an unknown name.
QPixmap qx_imageNamed(const QString& name, const QSize& size, qreal pixelRatio = 2.0);
// The image's natural size in points; empty for an unknown name.
QSize qx_imageSize(const QString& name);
QIcon qx_iconNamed(const QString& name);

} // namespace rz::app
