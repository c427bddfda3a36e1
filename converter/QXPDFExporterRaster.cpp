// Raster helpers of the exporters: shadings, patterns and images drawn
// through clips into ARGB bitmaps, and the clip measurements that need no
// bitmap at all.
#include "converter/QXPDFExporter.h"

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/color/QXPDFShading.h"
#include "pdfengine/drawing/QXPDFConentDrawer.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/graphics/BitmapContext.h"

#include <cmath>
#include <cstdio>

namespace rz {

namespace {

void printError(const char* message)
{
    std::fputs(message, stderr);
    std::fflush(stderr);
}

// A side rounded up; nothing when it is not finite or below one pixel.
std::optional<double> roundedSide(double side)
{
    if (!std::isfinite(side))
        return std::nullopt;
    const double up = std::ceil(side);
    if (up < 1)
        return std::nullopt;
    return up;
}

// The bitmap size of an operation: the given size with each side rounded
// up, optionally mapped through `scale` as a vector and rounded up again.
// Prints "Context Size Zero!\n" when a side is below one pixel.
std::optional<Size> bitmapSize(Size size, const Affine* scale)
{
    std::optional<double> w = roundedSide(size.width);
    std::optional<double> h = roundedSide(size.height);
    if (w && h && scale) {
        const double sw = *w * scale->a + *h * scale->c;
        const double sh = *w * scale->b + *h * scale->d;
        w = roundedSide(sw);
        h = roundedSide(sh);
    }
    if (!w || !h) {
        printError("Context Size Zero!\n");
        return std::nullopt;
    }
    return Size{*w, *h};
}

// A flipped ARGB bitmap covering `area` (whole pixels, top-left origin) of
// a bitmap of `size`, with `transform` concatenated: drawing into it lands
// where it would in the whole bitmap, and only the area is kept. Prints
// "Context not created!\n" when it cannot be had or is beyond the cap.
struct Canvas {
    std::unique_ptr<BitmapContext> context;
    Rect area;
};

Canvas makeCanvas(Size size, const Affine& transform, const Rect& area)
{
    Canvas canvas;
    canvas.area = area;
    if (size.width <= kMaxBitmapSide && size.height <= kMaxBitmapSide &&
        size.width * size.height <= static_cast<double>(kQXPDFExporterMaxRasterPixels))
        canvas.context = QXPDFUtilities::CreateARGBBitmapContextSize(area.size);
    if (!canvas.context) {
        printError("Context not created!\n");
        return canvas;
    }
    canvas.context->translateCTM(0, canvas.context->height());
    canvas.context->scaleCTM(1, -1);
    canvas.context->translateCTM(-area.origin.x, -area.origin.y);
    canvas.context->concatCTM(transform);
    return canvas;
}

// The part of a bitmap of `size` that the boxes of `paths` (in its
// top-left pixel space) cover together, in whole pixels; the whole bitmap
// when there are no paths or they cover nothing, as drawing then keeps
// the whole bitmap.
Rect coveredArea(Size size, const std::vector<Path>& paths)
{
    const Rect whole(0, 0, size.width, size.height);
    Rect area = whole;
    for (const Path& path : paths) {
        const Rect box = path.pathBoundingBox();
        if (box.isNull())
            return whole;
        area = area.intersection(box);
        if (area.isNull() || area.isEmpty())
            return whole;
    }
    area = area.integral().intersection(whole);
    if (area.isNull() || !(area.size.width >= 1) || !(area.size.height >= 1))
        return whole;
    return area;
}

// The clip paths mapped by `pathTransform` and then `scale` into the
// bitmap's top-left pixel space.
std::vector<Path> clipPathsInPixels(const QXPDFExporter::ClipPathList& clips, const Affine& pathTransform,
                                    const Affine& scale)
{
    std::vector<Path> paths;
    const Affine toPixels = concat(pathTransform, scale);
    for (const auto& clip : clips)
        if (clip)
            paths.push_back(clip->path().transformed(toPixels));
    return paths;
}

FillRule ruleOf(const QXPDFClipPath& clip)
{
    return clip.clipType() == QXPDFClipTypeEvenOdd ? FillRule::EvenOdd : FillRule::NonZero;
}

// Clips the context to every clip path, each mapped by `pathTransform`.
void applyClips(BitmapContext& context, const QXPDFExporter::ClipPathList& clips, const Affine& pathTransform)
{
    for (const auto& clip : clips) {
        if (!clip)
            continue;
        const Path path = clip->path().transformed(pathTransform);
        context.clipToPath(path, ruleOf(*clip));
    }
}

// The image of the canvas, cropped to the clip box mapped through
// scaleTransform unless that box is empty or the whole bitmap.
std::optional<Image> croppedImage(const Canvas& canvas, const Rect& clipBox, const Affine& scaleTransform)
{
    auto image = canvas.context->makeImage();
    if (!image || clipBox.isNull())
        return image;
    const Rect box = clipBox.applying(scaleTransform).offsetBy(-canvas.area.origin.x, -canvas.area.origin.y);
    const Rect whole(0, 0, canvas.context->width(), canvas.context->height());
    if (box.size.width > 0 && !(box == whole)) {
        if (auto cropped = image->cropped(box))
            return cropped;
    }
    return image;
}

// The clip box of the clip paths in the space they are given in, as a
// bitmap of `size` with the flip and `transform` would report it: the
// intersection of the paths' bounding boxes and the bitmap in bitmap space,
// made pixel-aligned, mapped back. Null when the clip is empty.
Rect geometricClipBox(Size size, const Affine& transform, const QXPDFExporter::ClipPathList& clips)
{
    const Affine flip{1, 0, 0, -1, 0, size.height};
    const Affine ctm = concat(transform, flip);
    const double det = ctm.a * ctm.d - ctm.b * ctm.c;
    if (!std::isfinite(det) || det == 0)
        return Rect::null();
    Rect device(0, 0, size.width, size.height);
    for (const auto& clip : clips) {
        if (!clip)
            continue;
        const Path path = clip->path();
        if (path.isEmpty())
            return Rect::null();
        const Rect box = path.transformed(ctm).pathBoundingBox();
        if (box.isNull())
            return Rect::null();
        device = device.intersection(box);
        if (device.isNull() || device.isEmpty())
            return Rect::null();
    }
    device = device.integral();
    return device.applying(invert(ctm));
}

} // namespace

std::optional<Image> QXPDFExporter::DrawShadingInContextSize(Size size, const Affine& transform,
                                                             const Affine& scaleTransform, const Affine& pageTransform,
                                                             const ClipPathList& clipBezierPaths, Rect* clipRect,
                                                             const std::shared_ptr<QXPDFShading>& shading)
{
    const auto pixels = bitmapSize(size, &scaleTransform);
    if (!pixels)
        return std::nullopt;
    const Canvas canvas = makeCanvas(*pixels, scaleTransform,
                                     coveredArea(*pixels, clipPathsInPixels(clipBezierPaths, pageTransform, scaleTransform)));
    BitmapContext* context = canvas.context.get();
    if (!context)
        return std::nullopt;
    if (clipBezierPaths.empty()) {
        Path whole;
        whole.addRect(Rect(0, 0, pixels->width, pixels->height));
        context->clipToPath(whole);
    } else {
        applyClips(*context, clipBezierPaths, pageTransform);
    }
    const Rect clipBox = context->clipBoundingBox();
    if (clipRect)
        *clipRect = clipBox;
    context->concatCTM(transform);
    if (shading)
        shading->drawInContext(*context, Affine::identity());
    return croppedImage(canvas, clipBox, scaleTransform);
}

std::optional<Image> QXPDFExporter::DrawPatternInContextSize(Size size, const Affine& transform,
                                                             const Affine& scaleTransform, const Affine& pageTransform,
                                                             const ClipPathList& /*clipBezierPaths*/, Rect* clipRect,
                                                             const Path& cgPath,
                                                             const std::shared_ptr<QXPDFPattern>& fillPattern,
                                                             const std::shared_ptr<QXPDFPattern>& strokePattern,
                                                             bool stroke, bool fill, bool /*isText*/)
{
    const auto pixels = bitmapSize(size, &scaleTransform);
    if (!pixels)
        return std::nullopt;
    const Canvas canvas = makeCanvas(*pixels, scaleTransform,
                                     coveredArea(*pixels, {cgPath.transformed(concat(pageTransform, scaleTransform))}));
    BitmapContext* context = canvas.context.get();
    if (!context)
        return std::nullopt;
    // Tiling cells are rendered by the content drawer.
    QXPDFConentDrawer::installTilingCellRenderer();
    context->clipToPath(cgPath.transformed(pageTransform), FillRule::NonZero);
    const Rect clipBox = context->clipBoundingBox();
    if (clipRect)
        *clipRect = clipBox;
    context->concatCTM(transform);
    if (fill && fillPattern)
        fillPattern->drawInContext(*context, scaleTransform);
    if (stroke && strokePattern)
        strokePattern->drawInContext(*context, scaleTransform);
    return croppedImage(canvas, clipBox, scaleTransform);
}

std::optional<Image> QXPDFExporter::ClipImageInContextSize(Size size, const Image& imageRef,
                                                           const Affine& scaleTransform, const Affine& pageTransform,
                                                           const Affine& imageTransform, const Rect& imageRect,
                                                           const ClipPathList& clipBezierPaths, Rect* clipRect)
{
    const auto pixels = bitmapSize(size, &scaleTransform);
    if (!pixels)
        return std::nullopt;
    const Canvas canvas = makeCanvas(*pixels, scaleTransform,
                                     coveredArea(*pixels, clipPathsInPixels(clipBezierPaths, pageTransform, scaleTransform)));
    BitmapContext* context = canvas.context.get();
    if (!context)
        return std::nullopt;
    applyClips(*context, clipBezierPaths, pageTransform);
    Rect clipBox = context->clipBoundingBox();
    if (!clipBox.isNull()) {
        const double x = std::round(clipBox.origin.x), y = std::round(clipBox.origin.y);
        clipBox = Rect(x, y, std::ceil(clipBox.size.width), std::ceil(clipBox.size.height));
    }
    if (clipRect)
        *clipRect = clipBox;
    if (!clipBox.isNull() && clipBox.contains(imageRect))
        return std::nullopt; // the image lies inside the clip: nothing to cut
    context->concatCTM(imageTransform);
    if (!imageRef.isEmpty())
        context->drawImage(imageRef, Rect(0, 0, 1, 1));
    return croppedImage(canvas, clipBox, scaleTransform);
}

std::optional<Image> QXPDFExporter::ClipImageInContextSize(Size size, const Image& imageRef,
                                                           const Affine& pageTransform, const Affine& imageTransform,
                                                           const Rect& imageRect, const ClipPathList& clipBezierPaths,
                                                           Rect* clipRect)
{
    return ClipImageInContextSize(size, imageRef, Affine::identity(), pageTransform, imageTransform, imageRect,
                                  clipBezierPaths, clipRect);
}

Rect QXPDFExporter::ClipRectInContextSize(Size size, const Affine& transform, const ClipPathList& clipBezierPaths)
{
    const auto pixels = bitmapSize(size, nullptr);
    if (!pixels)
        return Rect::zero();
    return geometricClipBox(*pixels, transform, clipBezierPaths);
}

std::optional<Path> QXPDFExporter::ClipPathInContextSize(Size size, const Path& cgPath, double lineWidth,
                                                         const Affine& transform, const ClipPathList& clipBezierPaths,
                                                         Rect* clipBound)
{
    const auto pixels = bitmapSize(size, nullptr);
    if (!pixels)
        return std::nullopt;
    const Rect clipBox = geometricClipBox(*pixels, transform, clipBezierPaths);
    if (clipBound)
        *clipBound = clipBox;
    if (clipBox.isNull())
        return std::nullopt;
    Rect box = cgPath.boundingBox();
    if (box.isNull())
        return std::nullopt;
    box = box.standardized();
    if (std::isfinite(lineWidth)) {
        box.size.width = std::max(box.size.width, lineWidth);
        box.size.height = std::max(box.size.height, lineWidth);
    }
    if (clipBox.contains(box) || clipBox.intersects(box))
        return cgPath;
    return std::nullopt;
}

std::optional<std::string> QXPDFExporter::SaveTempCGImage(const std::optional<Image>& image)
{
    if (!image || image->isEmpty())
        return std::nullopt;
    QXPDFPathUtilities::createFolderIfNeed(QXPDFPathUtilities::homeTmpFolder());
    const std::string path = QXPDFPathUtilities::getUUIDPathBy(QXPDFPathUtilities::tempIMG("SaveCGImage", "PNG"));
    if (!QXWriteImageToURL(image, path, "public.png", 72, 72, 1.0f))
        return std::nullopt;
    return path;
}

} // namespace rz
