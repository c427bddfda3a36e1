// The content drawer: a content parser that is its own delegate and paints
// the images a content stream draws into an offscreen bitmap. Text, paths
// and shadings are left out. Tiling patterns render their cells with it
// (DrawStream), once installTilingCellRenderer() has handed it to them.
#pragma once

#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"
#include "platform/geometry/Geometry.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/Image.h"
#include "platform/pdf/ContentScanner.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>

namespace rz {

class QXPDFImageCache;

// Largest bitmap of a drawer, in pixels (64 MiB as ARGB). Tiling cells stay
// far below it (kQXPDFMaxTilingCellSide); a larger box gives no bitmap.
inline constexpr long long kQXPDFMaxDrawerPixels = 1LL << 24;

class QXPDFConentDrawer : public QXPDFConentParser, public QXPDFConentParserDelegate {
public:
    // A drawer over a content stream whose resources belong to
    // `contentDictionary`, into an ARGB bitmap of the box's width and
    // height (its origin is not used): the stream's user space maps onto the
    // bitmap's pixels, origin bottom-left. The drawer is its own delegate,
    // interprets no annotations, and extracts its images into a cache of
    // its own that goes with it.
    QXPDFConentDrawer(const pdf::Object& contentDictionary, std::shared_ptr<const pdf::ContentStream> contentStream,
                      const Rect& mediaBox);
    ~QXPDFConentDrawer() override;

    // The bitmap; null when it could not be made (a box below one pixel,
    // beyond kQXPDFMaxDrawerPixels or the bitmap caps, or not finite).
    BitmapContext* bitmapContext() const { return bitmapContext_.get(); }
    // The bitmap's present contents; nothing without a bitmap.
    std::optional<Image> CGImage() const;
    // Maps the stream's user space before it reaches the bitmap (the
    // identity unless set); set before startParser.
    void setBaseTransform(const Affine& transform);

    // Draws the image upright into the rectangle the CTM gives the unit
    // square: as wide as the image of its bottom edge and as high as the
    // image of its right edge, centred on the image of its centre. An image
    // without a file, or one of a soft-mask group, draws nothing.
    void QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& parser,
                                               const std::shared_ptr<QXPDFImageXObject>& image) override;

    // The image of a stream over a box: the stream (with its own
    // /Resources; without them it renders with none) drawn by a new drawer
    // over `mediaBox`. `streamResources` and `parent` are not used: a
    // pattern's content takes its resources from its own dictionary.
    static std::optional<Image> DrawStream(const pdf::Object& stream, const pdf::Object& streamResources,
                                           const Rect& mediaBox, const pdf::ContentStream* parent);
    // The image of a tiling pattern's cell: the stream's `cell` rectangle
    // mapped onto a bitmap of pixelWidth × pixelHeight, the cell's minimum
    // corner at the bottom-left. The stream draws with its own /Resources,
    // else with `resources` (those of the stream that draws the pattern;
    // null for none).
    static std::optional<Image> DrawStream(const pdf::Object& stream, const pdf::Object& resources,
                                           const Rect& cell, int pixelWidth, int pixelHeight);
    // Makes the drawer the cell renderer of every tiling pattern
    // (QXPDFPatternTiling::setCellRenderer). Safe to call more than once.
    static void installTilingCellRenderer();

private:
    std::unique_ptr<BitmapContext> bitmapContext_;
    std::shared_ptr<QXPDFImageCache> imageCache_;
    Affine baseTransform_;
};

} // namespace rz
