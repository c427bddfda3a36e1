#include "app/model/QXFilePreview.h"

#include "pdfengine/base/QXCPDFUtilities.h"
#include "platform/render/PageRenderer.h"

#include <algorithm>
#include <cmath>

namespace rz::app {

QImage imageWithPreviewOfFileAtPath(const QString& path, const QSize& size, const std::string& password)
{
    if (path.isEmpty() || size.isEmpty())
        return {};
    const std::string file = path.toStdString();
    const auto document = QXCPDFUtilities::initPDFDocumentAtPath(file, password);
    if (!document || !document->isUnlocked() || document->pageCount() < 1)
        return {};
    const pdf::Page page = document->page(1);
    const Rect box = page.boxRect(pdf::Box::Crop);
    double width = box.size.width;
    double height = box.size.height;
    if (!(width > 0) || !(height > 0))
        return {};
    if (page.rotationAngle() % 180 != 0)
        std::swap(width, height);
    const double scale = std::min(size.width() / width, size.height() / height);
    const int pixelsWide = std::max(1, int(std::lround(width * scale)));
    const int pixelsHigh = std::max(1, int(std::lround(height * scale)));
    const auto renderer = PageRenderer::open(file, password);
    if (!renderer)
        return {};
    const auto image = renderer->render(1, 72.0 * scale, 72.0 * scale, pixelsWide, pixelsHigh);
    if (!image || image->format() != PixelFormat::RGB8)
        return {};
    QImage preview(image->width(), image->height(), QImage::Format_RGB888);
    for (int y = 0; y < image->height(); ++y)
        std::copy_n(image->row(y), size_t(image->width()) * 3, preview.scanLine(y));
    return preview;
}

} // namespace rz::app
