#include "app/widgets/QXImages.h"

#include <QPainter>
#include <QSvgRenderer>

// The images live in this library's resources, which a static library
// has to load by name.
static void loadResources()
{
    Q_INIT_RESOURCE(rzconverter);
}

namespace rz::app {

void qx_loadResources()
{
    static const bool loaded = (loadResources(), true);
    (void)loaded;
}

namespace {

QString resourceOf(const QString& name)
{
    qx_loadResources();
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

} // namespace

QPixmap qx_imageNamed(const QString& name, const QSize& size, qreal pixelRatio)
{
    QSvgRenderer renderer(resourceOf(name));
    if (!renderer.isValid() || size.isEmpty())
        return {};
    QPixmap image(size * pixelRatio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

QSize qx_imageSize(const QString& name)
{
    QSvgRenderer renderer(resourceOf(name));
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QIcon qx_iconNamed(const QString& name)
{
    const QSize size = qx_imageSize(name);
    if (size.isEmpty())
        return {};
    return QIcon(qx_imageNamed(name, size));
}

} // namespace rz::app
