// Drawing path runs into a bitmap and saving a group of them as one PNG.
#include "docx/graphics/QXDocxRunPath.h"

#include "converter/text/QXConverterUtilities.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "platform/core/Numbers.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/ImageCodec.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>

namespace rz {

namespace pathimage {

RGBAColor deviceColor(const QXDocx_Color& color)
{
    return {color.red / 255.0, color.green / 255.0, color.blue / 255.0, 1.0};
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace pathimage

void QXDocxRunPath::drawInContext(BitmapContext* context, const Affine& pageTransform, bool needClip) const
{
    if (!context || runCGPath_.isEmpty() || !pictInfo_)
        return;
    const QXDocxPathInfo& info = *pictInfo_;
    context->saveGState();
    if (needClip) {
        for (const auto& clip : clipBezierPaths_) {
            if (!clip)
                continue;
            const auto path = QXPDFCGPathUtilities::CGPathWithNSArray(clip->pathArray());
            if (!path)
                continue;
            context->clipToPath(path->transformed(pageTransform),
                                clip->clipType() == QXPDFClipTypeEvenOdd ? FillRule::EvenOdd : FillRule::NonZero);
        }
    }
    if (info.filled() && info.fillAlpha() > 0) {
        context->setFillColor(pathimage::deviceColor(info.fillColorQX()));
        context->setAlpha(info.fillAlpha());
        context->fillPath(runCGPath_);
    }
    if (info.stroked() && info.strokeAlpha() > 0) {
        context->setStrokeColor(pathimage::deviceColor(info.strokeColorQX()));
        context->setAlpha(info.strokeAlpha());
        context->setLineCap(LineCap::Round);
        context->setLineJoin(LineJoin::Round);
        // A stroke is at least one pixel wide, as a hairline is drawn on
        // screen: thinner strokes would fade to nothing in the picture.
        const Affine ctm = context->ctm();
        const double pixelsPerUnit = std::sqrt(std::fabs(ctm.a * ctm.d - ctm.b * ctm.c));
        const double onePixel = pixelsPerUnit > 0 && std::isfinite(pixelsPerUnit) ? 1 / pixelsPerUnit : 0;
        context->setLineWidth(std::max(info.strokeweight(), onePixel));
        context->strokePath(runCGPath_);
    }
    context->restoreGState();
}

std::optional<std::string> QXDocxRunPath::CreateImageFromRunPaths(const std::vector<QXDocxRunPathPtr>& paths,
                                                                  Size contextSize, const Affine& pageTransform,
                                                                  double imageDPI, bool needClip, Rect* clipRect)
{
    const Rect bounds = BoundsOfRunPaths(paths);
    if (!(bounds.size.width >= 0.01 && bounds.size.height >= 0.01)) {
        std::fputs("Error, Context Size Zero!\n", stderr);
        return std::nullopt;
    }
    const double scale = static_cast<float>(imageDPI / 72);
    const double pixelWidth = std::ceil(contextSize.width * scale);
    const double pixelHeight = std::ceil(contextSize.height * scale);
    if (!(pixelWidth >= 1 && pixelHeight >= 1)) {
        std::fputs("Context Size Zero!\n", stderr);
        return std::nullopt;
    }
    // With the clip only the paths' area of the page is drawn: a bitmap of
    // that area in whole pixels of the page's pixel grid.
    Rect area(0, 0, pixelWidth, pixelHeight);
    if (needClip) {
        area = Rect(bounds.origin.x * scale, bounds.origin.y * scale, bounds.size.width * scale,
                    bounds.size.height * scale)
                   .integral()
                   .intersection(Rect(0, 0, pixelWidth, pixelHeight));
        if (area.isNull() || !(area.size.width >= 1) || !(area.size.height >= 1))
            return std::nullopt;
    }
    auto context = QXPDFUtilities::CreateARGBBitmapContextSize(area.size);
    if (!context) {
        std::fputs("\n", stderr);
        return std::nullopt;
    }
    context->translateCTM(0, context->height());
    context->scaleCTM(1, -1);
    context->translateCTM(-area.origin.x, -area.origin.y);
    context->scaleCTM(scale, scale);
    for (const QXDocxRunPathPtr& path : paths)
        if (path)
            path->drawInContext(context.get(), pageTransform, needClip);

    std::optional<Image> image = context->makeImage();
    if (!image)
        return std::nullopt;
    // The drawn area: the paths' bounds, cut to the page where they leave it.
    if (needClip && clipRect)
        *clipRect = bounds.intersection(Rect(area.origin.x / scale, area.origin.y / scale, area.size.width / scale,
                                             area.size.height / scale));

    const std::string name = "ShapesImage-" + formatInteger(static_cast<long long>(std::time(nullptr))) + "-" +
                             QXConverterUtilities::Random4BigLetter();
    const std::string file = QXPDFPathUtilities::getUUIDPathBy(QXPDFPathUtilities::tempIMG(name, "PNG"));
    ImageProperties properties;
    properties.dpiX = imageDPI;
    properties.dpiY = imageDPI;
    const auto bytes = encodeImage(*image, ImageType::PNG, properties);
    if (!bytes || !pathimage::writeFile(file, *bytes))
        return std::nullopt;
    return file;
}

} // namespace rz
