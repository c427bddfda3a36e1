#include "docx/graphics/QXDocxRunImage.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/graphics/QXDocxHeldImages.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxVMLShapes.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/ImageCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace rz {

namespace {

// The shape type of a picture frame.
constexpr int kRunImageShapeType = 75;
// VML writes an opacity as a fraction of 65536 (plus one step of 256 so
// that 1 is fully opaque) followed by "f".
constexpr double kRunImageOpacityUnit = 65792;

double runImageArea(const Rect& rect)
{
    if (rect.isNull())
        return 0;
    return rect.width() * rect.height();
}

bool isSmallRunImage(const Rect& rect)
{
    return rect.width() < QXDocxRunImage::kSmallImageSide || rect.height() < QXDocxRunImage::kSmallImageSide;
}

// The area a run covers while the images are drawn together: its display
// rectangle, or the unit square under its transform.
Rect runImageDrawnRect(const QXDocxRunImage& run)
{
    const auto& info = run.pictInfo();
    if (info && !info->pdfTransform().isIdentity())
        return Rect(0, 0, 1, 1).applying(info->pdfTransform());
    return run.displayRect();
}

} // namespace

std::shared_ptr<QXDocxRunPictInfo> QXDocxImageInfo::makeEmpty() const
{
    return std::make_shared<QXDocxImageInfo>();
}

QXDocxRunImage::QXDocxRunImage(const QXDocxRunImage& other)
    : QXDocxRunPict(other),
      runImageID_(other.runImageID_),
      runImageTitle_(other.runImageTitle_),
      imagePath_(other.imagePath_),
      pictInfo_(other.pictInfo_ ? other.pictInfo_->copyImageInfo() : nullptr)
{
}

std::shared_ptr<QXDocxWriterObject> QXDocxRunImage::copy() const
{
    return std::make_shared<QXDocxRunImage>(*this);
}

Rect QXDocxRunImage::displayRect() const
{
    if (!pictInfo_)
        return Rect::zero();
    const QXDocxImageInfo& info = *pictInfo_;
    const Rect placed(info.displayX(), info.displayY(), info.displayWidth(), info.displayHeight());
    if (info.rotation() == 0 && !info.flipY())
        return placed;

    const auto& corners = info.vertices();
    double minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    bool finite = true;
    for (const Point& corner : corners) {
        finite = finite && std::isfinite(corner.x) && std::isfinite(corner.y);
        minX = std::min(minX, corner.x);
        maxX = std::max(maxX, corner.x);
        minY = std::min(minY, corner.y);
        maxY = std::max(maxY, corner.y);
    }
    if (finite && maxX > minX && maxY > minY)
        return Rect(minX, minY, maxX - minX, maxY - minY);

    // No corners recorded: the placement turned about its own centre.
    const Point centre{placed.midX(), placed.midY()};
    const double radians = double(info.rotation()) * std::numbers::pi / 180;
    Affine turn = Affine::makeTranslation(-centre.x, -centre.y);
    turn = concat(turn, Affine::makeRotation(radians));
    turn = concat(turn, Affine::makeTranslation(centre.x, centre.y));
    return placed.applying(turn);
}

QXDocxRunImagePtr QXDocxRunImage::isIntersectImages(const std::vector<QXDocxRunImagePtr>& images) const
{
    const bool continues = std::any_of(images.begin(), images.end(), [this](const QXDocxRunImagePtr& image) {
        return image && image.get() != this && isPDFScanIndexContinue(*image);
    });
    if (!continues)
        return nullptr;
    for (const QXDocxRunImagePtr& image : images) {
        if (image && image.get() != this && IsIntersect(*this, *image))
            return image;
    }
    return nullptr;
}

bool QXDocxRunImage::IsIntersect(const QXDocxRunImage& image1, const QXDocxRunImage& image2)
{
    const Rect a = image1.displayRect().standardized();
    const Rect b = image2.displayRect().standardized();
    const double common = runImageArea(a.intersection(b));
    if (common > runImageArea(a.unionWith(b)) / 2 || common > runImageArea(a) / 2 || common > runImageArea(b) / 2)
        return true;
    if (!isSmallRunImage(a) || !isSmallRunImage(b))
        return false;
    return a.contains(b) || b.contains(a) || a.intersects(b)
        || a.insetBy(-kSmallImageMargin, -kSmallImageMargin).intersects(b);
}

QXDocxRunImagePtr QXDocxRunImage::FindBigRectRunImage(const std::vector<QXDocxRunImagePtr>& images)
{
    QXDocxRunImagePtr biggest;
    double biggestArea = -1;
    for (const QXDocxRunImagePtr& image : images) {
        if (!image)
            continue;
        const double imageArea = runImageArea(image->displayRect());
        if (imageArea > biggestArea) {
            biggest = image;
            biggestArea = imageArea;
        }
    }
    return biggest;
}

bool QXDocxRunImage::drawInContext(BitmapContext* context, const Affine& /*pageTransform*/, bool /*needClip*/) const
{
    if (!context)
        return false;
    return drawOnPage(*context, context->clipBoundingBox().size.height);
}

bool QXDocxRunImage::drawOnPage(BitmapContext& context, double pageHeight) const
{
    const std::optional<Image> image = QXDocxHeldImages::read(imagePath_);
    if (!image)
        return false;
    context.saveGState();
    if (image->width() == 0) {
        std::fprintf(stderr, "runImage.imagePath: image with path is null:%s!\n", imagePath_.c_str());
        context.restoreGState();
        return false;
    }
    const Affine transform = pictInfo_ ? pictInfo_->pdfTransform() : Affine::identity();
    if (transform.isIdentity()) {
        const Rect rect = displayRect();
        context.drawImage(*image, Rect(rect.minX(), pageHeight - rect.minY() - rect.height(), rect.width(),
                                       rect.height()));
    } else {
        context.translateCTM(0, pageHeight);
        context.scaleCTM(1, -1);
        context.concatCTM(transform);
        context.drawImage(*image, Rect(0, 0, 1, 1));
    }
    context.restoreGState();
    return true;
}

std::optional<Image> QXDocxRunImage::MergeRunImage(const std::vector<QXDocxRunImagePtr>& images, Size contextSize,
                                                   const Affine& scaleTransform, Rect& clipRect)
{
    // The page in points, bottom-left origin, and what the images cover of
    // it in display space.
    const double pageHeight = std::ceil(contextSize.height);
    const Rect page(0, 0, contextSize.width, contextSize.height);
    Rect united = Rect::null();
    for (const QXDocxRunImagePtr& run : images) {
        if (!run)
            continue;
        const Rect rect = runImageDrawnRect(*run).standardized();
        united = united.isNull() ? rect : united.unionWith(rect);
    }
    const Rect covered = united.isNull() ? Rect::null() : united.intersection(page);

    // Only the covered part is drawn: a bitmap of its whole pixels under the
    // scale, placed on the page's pixel grid.
    Rect pixels = Rect::null();
    if (!covered.isNull() && covered.width() > 0 && covered.height() > 0)
        pixels = Rect(covered.minX(), pageHeight - covered.maxY(), covered.width(), covered.height())
                     .applying(scaleTransform)
                     .integral();
    if (pixels.isNull() || !std::isfinite(pixels.width()) || !std::isfinite(pixels.height()) || pixels.width() < 1
        || pixels.height() < 1) {
        std::fputs("Context Size Zero!\n", stderr);
        return std::nullopt;
    }
    std::unique_ptr<BitmapContext> context =
        QXPDFUtilities::CreateARGBBitmapContextSize(Size{pixels.width(), pixels.height()});
    if (!context)
        return std::nullopt;
    context->translateCTM(-pixels.minX(), -pixels.minY());
    context->concatCTM(scaleTransform);
    // An image that cannot be drawn would vanish from the page with the
    // merge: the group stays as it is.
    for (const QXDocxRunImagePtr& run : images) {
        if (run && !run->drawOnPage(*context, pageHeight))
            return std::nullopt;
    }

    // The picture's own area back in display space, kept on the page.
    const Rect drawn = pixels.applying(invert(scaleTransform));
    clipRect = Rect(drawn.minX(), pageHeight - drawn.maxY(), drawn.width(), drawn.height()).intersection(page);
    if (clipRect.isNull() || !(clipRect.width() > 0) || !(clipRect.height() > 0))
        return std::nullopt;
    return context->makeImage();
}

QXDocxRunImagePtr QXDocxRunImage::MergeRunImageArray(const std::vector<QXDocxRunImagePtr>& images, Size contextSize,
                                                     std::int64_t imageDPI)
{
    if (images.size() < 2 || !images.front() || !images.front()->pictInfo())
        return nullptr;
    const QXDocxRunImagePtr& model = images.front();
    const double dpi = double(std::clamp(imageDPI, kMinMergeDPI, kMaxMergeDPI));
    const double scale = dpi / 72;

    Rect clipRect(0, 0, contextSize.width, contextSize.height);
    std::optional<Image> picture = MergeRunImage(images, contextSize, Affine::makeScale(scale, scale), clipRect);
    if (!picture || picture->isEmpty())
        return nullptr;
    // A picture that covers no area cannot say its resolution.
    if (!(clipRect.width() > 0) || !(clipRect.height() > 0))
        return nullptr;

    const std::string path =
        QXPDFPathUtilities::tempIMG(std::to_string(images.size()) + "Images_Merged", "PNG");
    if (!QXWriteImageToURL(picture, path, "public.png", dpi, dpi, 1.0f))
        return nullptr;

    std::shared_ptr<QXDocxImageInfo> info = model->pictInfo()->copyImageInfo();
    info->setDisplayX(clipRect.minX());
    info->setDisplayY(clipRect.minY());
    info->setDisplayWidth(clipRect.width());
    info->setDisplayHeight(clipRect.height());
    info->setPixelWidth(picture->width());
    info->setPixelHeight(picture->height());
    info->setHorizontalResolution(std::round(picture->width() * 72.0 / clipRect.width()));
    info->setVerticalResolution(std::round(picture->height() * 72.0 / clipRect.height()));
    info->setFlipX(false);
    info->setFlipY(false);
    info->setRotation(0);
    // The picture is drawn upright over its own rectangle.
    info->setPdfTransform(Affine::identity());
    const Rect& r = clipRect;
    info->setVertices({Point{r.minX(), r.minY()}, Point{r.maxX(), r.minY()}, Point{r.maxX(), r.maxY()},
                       Point{r.minX(), r.maxY()}});
    info->setCenter(Point{r.midX(), r.midY()});

    auto merged = std::make_shared<QXDocxRunImage>();
    merged->setIsAnnotion(model->isAnnotion());
    merged->setPdfAnnotionIndex(model->pdfAnnotionIndex());
    merged->setPdfScanIndex(model->pdfScanIndex());
    merged->setPdfScanLength(images.size());
    merged->setPictZIndex(model->pictZIndex());
    merged->setRunImageTitle(info->imageTitle());
    merged->setImagePath(path);
    merged->setPictInfo(info);
    merged->setRProperty(model->rProperty());

    model->setPdfScanIndex(model->pdfScanIndex() + 1);
    model->setPictZIndex(model->pictZIndex() + 1);
    return merged;
}

bool QXDocxRunImage::ReplaceWithMergedImage(std::vector<QXDocxRunImagePtr>& pageImages,
                                            const std::vector<QXDocxRunImagePtr>& group, Size pageSize,
                                            std::int64_t imageDPI, const MediaCollector& media)
{
    const auto inGroup = [&group](const QXDocxRunImagePtr& image) {
        return std::find(group.begin(), group.end(), image) != group.end();
    };
    const auto first = std::find_if(pageImages.begin(), pageImages.end(), inGroup);
    if (first == pageImages.end())
        return false;
    const std::size_t place = std::size_t(first - pageImages.begin());

    QXDocxRunImagePtr merged = MergeRunImageArray(group, pageSize, imageDPI);
    if (!merged)
        return false;
    if (media.collect)
        merged->setRunImageID(media.collect(merged->imagePath()));
    if (merged->pictInfo())
        merged->pictInfo()->setImageID(merged->runImageID());

    std::vector<QXDocxRunImagePtr> kept;
    kept.reserve(pageImages.size());
    for (std::size_t i = 0; i < pageImages.size(); ++i) {
        if (i == place)
            kept.push_back(merged);
        if (!inGroup(pageImages[i]))
            kept.push_back(pageImages[i]);
    }
    // A file the group shares with an image that stays remains packaged.
    if (media.forget) {
        std::vector<std::string> forgotten;
        for (const QXDocxRunImagePtr& image : group) {
            if (!image || image->imagePath().empty())
                continue;
            const std::string& path = image->imagePath();
            const bool stillShown = std::any_of(kept.begin(), kept.end(), [&](const QXDocxRunImagePtr& other) {
                return other && other->imagePath() == path;
            });
            if (stillShown || std::find(forgotten.begin(), forgotten.end(), path) != forgotten.end())
                continue;
            media.forget(path);
            forgotten.push_back(path);
        }
    }
    pageImages = std::move(kept);
    return true;
}

bool QXDocxRunImage::TrimTransparentEdges(Image& image, Rect& box)
{
    if (image.format() != PixelFormat::RGBA8 || image.isEmpty())
        return false;
    const int width = image.width();
    const int height = image.height();
    int left = width, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = image.row(y);
        int first = -1, last = -1;
        for (int x = 0; x < width; ++x) {
            if (row[4 * x + 3] != 0) {
                first = x;
                break;
            }
        }
        if (first < 0)
            continue;
        for (int x = width - 1; x >= first; --x) {
            if (row[4 * x + 3] != 0) {
                last = x;
                break;
            }
        }
        if (top < 0)
            top = y;
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0 || (left == 0 && top == 0 && right == width - 1 && bottom == height - 1))
        return false;
    const Rect kept(left, top, right - left + 1, bottom - top + 1);
    std::optional<Image> cut = image.cropped(kept);
    if (!cut || cut->isEmpty())
        return false;
    const double sx = box.size.width / width;
    const double sy = box.size.height / height;
    box = Rect(box.origin.x + left * sx, box.origin.y + top * sy, kept.size.width * sx, kept.size.height * sy);
    image = std::move(*cut);
    return true;
}

std::optional<std::string> QXDocxRunImage::PackageableImagePath(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    std::string head(16, '\0');
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return std::nullopt;
        in.read(head.data(), std::streamsize(head.size()));
        head.resize(std::size_t(in.gcount()));
    }
    if (const auto type = detectImageType(head); type == ImageType::PNG || type == ImageType::JPEG)
        return path;

    std::optional<Image> image = readImageFile(path);
    if (!image || image->isEmpty())
        return std::nullopt;
    if (image->format() == PixelFormat::CMYK8)
        image = image->converted(PixelFormat::RGB8);
    const std::string stem = std::filesystem::path(path).stem().string();
    const std::string converted = QXPDFPathUtilities::tempIMG(stem.empty() ? "Converted" : stem, "PNG");
    if (!QXWriteImageToURL(image, converted, "public.png", 0, 0, 1.0f))
        return std::nullopt;
    return converted;
}

std::string QXDocxRunImage::shapeStyle() const
{
    const QXDocxImageInfo info = pictInfo_ ? *pictInfo_ : QXDocxImageInfo();
    std::string style = "position:absolute;";
    style += "margin-left:" + QXDocxVMLShapes::number(info.displayX(), 2) + "pt;";
    style += "margin-top:" + QXDocxVMLShapes::number(info.displayY(), 2) + "pt;";
    style += "width:" + QXDocxVMLShapes::number(info.displayWidth(), 2) + "pt;";
    style += "height:" + QXDocxVMLShapes::number(info.displayHeight(), 2) + "pt;";
    if (info.rotation() != 0)
        style += "rotation:" + QXDocxVMLShapes::number(info.rotation(), 0) + ";";
    style += QXDocxVMLShapes::flipStyle(info.flipX(), info.flipY());
    style += "z-index:" + std::to_string(pictZIndex()) + ";";
    style += "mso-position-horizontal-relative:page;";
    style += "mso-position-vertical-relative:page";
    return style;
}

void QXDocxRunImage::writeWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "r");
    QXDocxUtilities::WriteRProperty(rProperty(), writer);
    // The document is always written in the 2006 markup.
    _writeImage2006(writer);
    writer.writeEndElement();
}

void QXDocxRunImage::_writeImage2006(XMLFileWriter& writer)
{
    namespace names = QXDocxPackageNames;
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "pict");
    writer.writeStartElementWithNamespace(names::kVML, "shape");
    writer.writeAttributeWithNamespace(names::kOffice, "spid", QXDocxVMLShapes::nextShapeId());
    writer.writeAttribute("type", QXDocxVMLShapes::shapeTypeReference(kRunImageShapeType));
    writer.writeAttribute("style", shapeStyle());
    // The picture shape type is not declared (see QXDocxVMLShapes), so the
    // shape says itself that it has no outline: readers otherwise frame the
    // picture with the default black stroke.
    writer.writeAttribute("stroked", "f");

    writer.writeStartElementWithNamespace(names::kVML, "imagedata");
    writer.writeAttributeWithNamespace(QXOpenXMLNameSpace::nameSpace_r(), "id", runImageID_);
    writer.writeAttributeWithNamespace(names::kOffice, "title", runImageTitle_.empty() ? "Untitled" : runImageTitle_);
    writer.writeEndElement();

    const float opacity = pictInfo_ ? pictInfo_->opacity() : 1.0f;
    if (opacity < 1) {
        writer.writeStartElementWithNamespace(names::kVML, "fill");
        const double fraction = std::max(0.0, double(opacity) * kRunImageOpacityUnit);
        writer.writeAttribute("opacity", QXDocxVMLShapes::number(fraction, 0) + "f");
        writer.writeEndElement();
    }
    if (pictInfo_ && pictInfo_->wrapType() == 1) {
        writer.writeStartElementWithNamespace(names::kWord10, "wrap");
        writer.writeAttribute("type", "topAndBottom");
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
}

} // namespace rz
