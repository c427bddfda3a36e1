#include "pdfengine/drawing/QXPDFConentDrawer.h"

#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/images/QXPDFImageCache.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFXObject.h"

#include <cmath>
#include <mutex>

namespace rz {

namespace {

double distance(Point a, Point b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

} // namespace

QXPDFConentDrawer::QXPDFConentDrawer(const pdf::Object& contentDictionary,
                                     std::shared_ptr<const pdf::ContentStream> contentStream, const Rect& mediaBox)
    : QXPDFConentParser(contentDictionary, std::move(contentStream))
{
    const double pixels = std::floor(mediaBox.size.width) * std::floor(mediaBox.size.height);
    if (std::isfinite(pixels) && pixels <= static_cast<double>(kQXPDFMaxDrawerPixels))
        bitmapContext_ = QXPDFUtilities::CreateARGBBitmapContextSize(mediaBox.size);
    imageCache_ = std::make_shared<QXPDFImageCache>();
    setImageCache(imageCache_);
    setDelegate(this);
    setIsParserAnnots(0);
}

QXPDFConentDrawer::~QXPDFConentDrawer()
{
    // The parser's collections may hold images of the cache: drop them first.
    cleanResourcesCollection();
    setImageCache(nullptr);
}

std::optional<Image> QXPDFConentDrawer::CGImage() const
{
    if (!bitmapContext_)
        return std::nullopt;
    return bitmapContext_->makeImage();
}

void QXPDFConentDrawer::setBaseTransform(const Affine& transform)
{
    baseTransform_ = transform;
    auto stack = std::make_shared<QXPDFRenderStateStack>();
    stack->topRenderingState().setCtm(transform);
    setRenderingStateStack(std::move(stack));
}

void QXPDFConentDrawer::QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& parser,
                                                              const std::shared_ptr<QXPDFImageXObject>& image)
{
    if (!bitmapContext_ || !image || image->cachedImagePath().empty())
        return;
    // A soft-mask group's image shapes a mask; it is not drawn as content.
    if (parser.currentRenderingState().isParseringExtGState())
        return;
    const auto picture = QXPDFUtilities::CGImageWithContentsOfFile(image->cachedImagePath());
    if (!picture)
        return;
    const Affine m = parser.currentRenderingState().ctm();
    const Point p00{m.tx, m.ty};
    const Point p10{m.a + m.tx, m.b + m.ty};
    const Point p11{m.a + m.c + m.tx, m.b + m.d + m.ty};
    const double width = distance(p00, p10);
    const double height = distance(p10, p11);
    if (!std::isfinite(width) || !std::isfinite(height) || !(width > 0) || !(height > 0))
        return;
    const Point centre{(p00.x + p11.x) / 2, (p00.y + p11.y) / 2};
    bitmapContext_->drawImage(*picture, Rect(centre.x - width / 2, centre.y - height / 2, width, height));
}

std::optional<Image> QXPDFConentDrawer::DrawStream(const pdf::Object& stream, const pdf::Object& /*streamResources*/,
                                                   const Rect& mediaBox, const pdf::ContentStream* /*parent*/)
{
    if (!stream.isStream())
        return std::nullopt;
    const pdf::Object dict = stream.dictionary();
    const pdf::Object resources = dict.get("Resources");
    auto content = std::make_shared<const pdf::ContentStream>(
        stream, resources.isDictionary() ? resources : pdf::Object(), nullptr);
    QXPDFConentDrawer drawer(dict, std::move(content), mediaBox);
    if (!drawer.bitmapContext())
        return std::nullopt;
    drawer.startParser();
    return drawer.CGImage();
}

std::optional<Image> QXPDFConentDrawer::DrawStream(const pdf::Object& stream, const pdf::Object& resources,
                                                   const Rect& cell, int pixelWidth, int pixelHeight)
{
    const Rect box = cell.standardized();
    if (!stream.isStream() || pixelWidth < 1 || pixelHeight < 1 || !(box.size.width > 0) ||
        !(box.size.height > 0) || !std::isfinite(box.size.width) || !std::isfinite(box.size.height))
        return std::nullopt;
    const pdf::Object dict = stream.dictionary();
    // The cell's own resources, else the ones it was given (those of the
    // stream that draws the pattern).
    const pdf::Object own = dict.get("Resources");
    const pdf::Object effective =
        own.isDictionary() ? own : (resources.isDictionary() ? resources : pdf::Object());
    auto content = std::make_shared<const pdf::ContentStream>(stream, effective, nullptr);
    QXPDFConentDrawer drawer(dict, std::move(content), Rect(0, 0, pixelWidth, pixelHeight));
    if (!drawer.bitmapContext())
        return std::nullopt;
    drawer.setInheritedResources(effective);
    // The cell's minimum corner to the bitmap's origin, its size to the bitmap's.
    drawer.setBaseTransform(concat(Affine::makeTranslation(-box.minX(), -box.minY()),
                                   Affine::makeScale(pixelWidth / box.size.width, pixelHeight / box.size.height)));
    drawer.startParser();
    return drawer.CGImage();
}

void QXPDFConentDrawer::installTilingCellRenderer()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QXPDFPatternTiling::setCellRenderer([](const pdf::Object& stream, const pdf::Object& resources,
                                               const Rect& cell, int pixelWidth, int pixelHeight) {
            return DrawStream(stream, resources, cell, pixelWidth, pixelHeight);
        });
    });
}

} // namespace rz
