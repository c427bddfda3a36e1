// Soft masks baked into pictures: a path or an image drawn through a
// rendered mask becomes a PNG whose alpha is the mask's grey, placed where
// the two meet.
#include "docx/layout/QXDocxPDFExporter.h"

#include "docx/graphics/QXDocxHeldImages.h"
#include "docx/graphics/QXDocxImageInfo.h"
#include "docx/graphics/QXDocxRunImage.h"
#include "docx/graphics/QXDocxRunPath.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/ImageCodec.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

Rect displayBox(const QXDocxRunPictInfo& info)
{
    return Rect(info.displayX(), info.displayY(), info.displayWidth(), info.displayHeight());
}

// Multiplies the alpha of each pixel of `picture` (RGBA, covering `area` of
// display space) by the grey of `mask` (covering `maskArea`) at the same
// place; outside the mask nothing is left.
void applyMask(Image& picture, const Rect& area, const Image& mask, const Rect& maskArea)
{
    const double sx = area.size.width / picture.width();
    const double sy = area.size.height / picture.height();
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.mutableRow(y);
        const double dy = area.origin.y + (y + 0.5) * sy;
        const double my = (dy - maskArea.origin.y) / maskArea.size.height * mask.height();
        for (int x = 0; x < picture.width(); ++x) {
            const double dx = area.origin.x + (x + 0.5) * sx;
            const double mx = (dx - maskArea.origin.x) / maskArea.size.width * mask.width();
            std::uint8_t grey = 0;
            if (mx >= 0 && my >= 0 && mx < mask.width() && my < mask.height())
                grey = mask.row(static_cast<int>(my))[static_cast<int>(mx)];
            std::uint8_t& alpha = row[4 * x + 3];
            alpha = static_cast<std::uint8_t>((alpha * grey + 127) / 255);
        }
    }
}

std::optional<std::string> writeMaskedPNG(const Image& image, const std::string& name)
{
    QXPDFPathUtilities::createFolderIfNeed(QXPDFPathUtilities::homeTmpFolder());
    const std::string path = QXPDFPathUtilities::getUUIDPathBy(QXPDFPathUtilities::homeTmpFolder() + "/" + name);
    if (!QXWriteImageToURL(image, path, "public.png", 72, 72, 1.0f))
        return std::nullopt;
    return path;
}

// The mask image as grey, and its display box with the size rounded to
// whole points.
std::optional<std::pair<Image, Rect>> loadMask(const QXDocxRunImage& mask)
{
    if (!mask.pictInfo())
        return std::nullopt;
    if (!QXDocxHeldImages::writeOut(mask.imagePath()))
        return std::nullopt;
    std::optional<Image> grey = QXPDFUtilities::CGImageWithContentsOfFile_DeviceGray(mask.imagePath());
    if (!grey || grey->isEmpty() || grey->format() != PixelFormat::Gray8)
        return std::nullopt;
    Rect area = displayBox(*mask.pictInfo());
    area.size.width = std::round(area.size.width);
    area.size.height = std::round(area.size.height);
    if (!(area.size.width > 0) || !(area.size.height > 0))
        return std::nullopt;
    return std::make_pair(std::move(*grey), area);
}

} // namespace

std::optional<std::string> QXDocxPDFExporter::RunPathSmaskWithRunImage(const QXDocxRunPath& path, QXDocxRunImage& mask,
                                                                       const Affine&, bool applyRunImage)
{
    const auto loaded = loadMask(mask);
    if (!loaded || !path.pictInfo())
        return std::nullopt;
    const auto& [grey, maskArea] = *loaded;
    const Rect maskBox = displayBox(*mask.pictInfo());
    const Rect meet = path.displayRect().intersection(maskBox);
    if (meet.isNull() || !(meet.size.width >= 0.1) || !(meet.size.height >= 0.1))
        return std::nullopt;
    const double sx = grey.width() / maskBox.size.width;
    const double sy = grey.height() / maskBox.size.height;
    auto context = BitmapContext::create(std::round(meet.size.width * sx), std::round(meet.size.height * sy));
    if (!context)
        return std::nullopt;
    // Display space (y down) onto the bitmap, the meeting box filling it.
    context->translateCTM(0, context->height());
    context->scaleCTM(1, -1);
    context->scaleCTM(context->width() / meet.size.width, context->height() / meet.size.height);
    context->translateCTM(-meet.origin.x, -meet.origin.y);
    path.drawInContext(context.get(), Affine{}, false);
    std::optional<Image> picture = context->makeImage();
    if (!picture || picture->format() != PixelFormat::RGBA8)
        return std::nullopt;
    applyMask(*picture, meet, grey, maskArea);
    const std::optional<std::string> file = writeMaskedPNG(*picture, "IMG_PathSmaskImage_" + mask.runImageID() + ".png");
    if (file && applyRunImage) {
        QXDocxImageInfo& info = *mask.pictInfo();
        info.placeUpright(meet, picture->width(), picture->height());
        info.setPdfTransform(Affine{});
    }
    return file;
}

std::optional<std::string> QXDocxPDFExporter::RunImageSmaskWithRunImage(const QXDocxRunImage& image,
                                                                        const QXDocxRunImage& mask, const Affine&)
{
    if (!image.pictInfo())
        return std::nullopt;
    std::optional<Image> picture = QXDocxHeldImages::read(image.imagePath());
    const auto loaded = loadMask(mask);
    if (!picture || picture->isEmpty() || !loaded)
        return std::nullopt;
    Image rgba = picture->format() == PixelFormat::RGBA8 ? std::move(*picture) : picture->converted(PixelFormat::RGBA8);
    if (rgba.format() != PixelFormat::RGBA8)
        return std::nullopt;
    Rect area = displayBox(*image.pictInfo());
    area.size.width = std::round(area.size.width);
    area.size.height = std::round(area.size.height);
    if (!(area.size.width > 0) || !(area.size.height > 0))
        return std::nullopt;
    applyMask(rgba, area, loaded->first, loaded->second);
    return writeMaskedPNG(rgba, "IMG_ImageSmaskImage_" + image.runImageID() + ".png");
}

} // namespace rz
