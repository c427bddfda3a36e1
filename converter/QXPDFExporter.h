// The base of every output-format exporter: the conversion lifecycle the
// converter drives, and the per-file conversion properties.
#pragma once

#include "converter/QXPDFOptions.h"
#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"
#include "platform/image/Image.h"
#include "platform/pdf/PdfDocument.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXPDFExporter;
class QXPDFClipPath;
class QXPDFPattern;
class QXPDFShading;

// Largest bitmap (in pixels) the raster helpers draw into: four bytes a
// pixel, so 2^25 pixels are 128 MiB, a full A3 page at 600 dpi. A larger
// request fails like a context that cannot be made.
inline constexpr long long kQXPDFExporterMaxRasterPixels = 1LL << 25;

class QXPDFExporterDelegate {
public:
    virtual ~QXPDFExporterDelegate() = default;
    virtual void QXPDFExporter_pageIndex_progress(QXPDFExporter& /*exporter*/, uint64_t /*pageIndex*/,
                                                  uint64_t /*progress*/)
    {
    }
};

// Lifecycle, in the order the converter sends it: begainConvertPDF, then per
// page setPageIndex and convertPDFPage, then endConvertPDF (or
// cleanConvertPDF after a stop, or when no page converted; it removes what
// the exporter wrote). endConvertPDF raises when the output could not be
// written. Exporters run on the conversion queue.
class QXPDFExporter {
public:
    QXPDFExporter() = default;
    virtual ~QXPDFExporter() = default;
    QXPDFExporter(const QXPDFExporter&) = delete;
    QXPDFExporter& operator=(const QXPDFExporter&) = delete;

    virtual void begainConvertPDF(const std::string& destPath,
                                  const std::shared_ptr<pdf::Document>& document);
    virtual void setPageIndex(uint64_t pageIndex) { pageIndex_ = pageIndex; }
    // True when the page was converted.
    virtual bool convertPDFPage(const pdf::Page& page);
    virtual void endConvertPDF(const std::shared_ptr<pdf::Document>& document);
    virtual void cleanConvertPDF();
    virtual void cancelConvertPDF();

    const std::shared_ptr<QXPDFOptions>& moreOptions() const { return moreOptions_; }
    void setMoreOptions(std::shared_ptr<QXPDFOptions> v) { moreOptions_ = std::move(v); }
    const std::string& destDocType() const { return destDocType_; }
    void setDestDocType(std::string v) { destDocType_ = std::move(v); }
    const std::string& destDocPath() const { return destDocPath_; }
    void setDestDocPath(std::string v) { destDocPath_ = std::move(v); }
    bool isShouldCancel() const { return isShouldCancel_; }
    void setIsShouldCancel(bool v) { isShouldCancel_ = v; }
    uint64_t pageIndex() const { return pageIndex_; }
    uint64_t numberOfPagesToConvert() const { return numberOfPagesToConvert_; }
    void setNumberOfPagesToConvert(uint64_t v) { numberOfPagesToConvert_ = v; }
    QXPDFExporterDelegate* delegate() const { return delegate_; }
    // Not owned: the converter outlives the exporters it makes.
    void setDelegate(QXPDFExporterDelegate* v) { delegate_ = v; }

    // Maps `from` onto `to`: translate by minus from's origin, scale by the
    // size ratios, translate by to's origin.
    static Affine CGAffineTransformFromRect(const Rect& from, const Rect& to);

    // Raster helpers (QXPDFExporterRaster.cpp). Clip paths are the render
    // state's clip entries, applied in order (clip type 2 even-odd, any
    // other nonzero). Bitmaps are ARGB, flipped to a top-left origin, of the
    // given size with each side rounded up (the drawing operations map it
    // through scaleTransform first). A size below one pixel (or not finite)
    // prints "Context Size Zero!\n" and a bitmap that cannot be made (or is
    // larger than kQXPDFExporterMaxRasterPixels) "Context not created!\n";
    // both give nothing (the zero rect for ClipRectInContextSize). Out rects
    // receive the clip box in the bitmap's user space.
    using ClipPathList = std::vector<std::shared_ptr<const QXPDFClipPath>>;

    // The shading drawn under `transform` through the clip paths (each
    // mapped by pageTransform; the whole bitmap without any), cropped to the
    // clip box mapped through scaleTransform when that is not the whole bitmap.
    static std::optional<Image> DrawShadingInContextSize(Size size, const Affine& transform,
                                                         const Affine& scaleTransform, const Affine& pageTransform,
                                                         const ClipPathList& clipBezierPaths, Rect* clipRect,
                                                         const std::shared_ptr<QXPDFShading>& shading);
    // The patterns drawn under `transform` inside `cgPath` (mapped by
    // pageTransform, nonzero): the fill pattern when `fill`, then the stroke
    // pattern when `stroke`; cropped as for shadings. The clip paths and
    // `isText` are not used.
    static std::optional<Image> DrawPatternInContextSize(Size size, const Affine& transform,
                                                         const Affine& scaleTransform, const Affine& pageTransform,
                                                         const ClipPathList& clipBezierPaths, Rect* clipRect,
                                                         const Path& cgPath,
                                                         const std::shared_ptr<QXPDFPattern>& fillPattern,
                                                         const std::shared_ptr<QXPDFPattern>& strokePattern,
                                                         bool stroke, bool fill, bool isText);
    // The image (drawn into the unit square under imageTransform) cut by the
    // clip paths (mapped by pageTransform) and cropped as for shadings;
    // nothing when the clip box (origin rounded, size rounded up; written
    // to clipRect) holds the whole imageRect, as no clipping is needed.
    static std::optional<Image> ClipImageInContextSize(Size size, const Image& imageRef,
                                                       const Affine& scaleTransform, const Affine& pageTransform,
                                                       const Affine& imageTransform, const Rect& imageRect,
                                                       const ClipPathList& clipBezierPaths, Rect* clipRect);
    // The same with the identity as scaleTransform.
    static std::optional<Image> ClipImageInContextSize(Size size, const Image& imageRef, const Affine& pageTransform,
                                                       const Affine& imageTransform, const Rect& imageRect,
                                                       const ClipPathList& clipBezierPaths, Rect* clipRect);
    // The bounding box of the clip paths' intersection with the bitmap, in
    // the space the paths are given in (before `transform`), pixel-aligned
    // in the bitmap; the null rect when the clip is empty. Computed from the
    // paths' bounding boxes: no bitmap is made.
    static Rect ClipRectInContextSize(Size size, const Affine& transform, const ClipPathList& clipBezierPaths);
    // The path when its bounding box (width and height raised to at least
    // the line width) meets the clip box, which is written to clipBound;
    // nothing when they are disjoint. No bitmap is made.
    static std::optional<Path> ClipPathInContextSize(Size size, const Path& cgPath, double lineWidth,
                                                     const Affine& transform, const ClipPathList& clipBezierPaths,
                                                     Rect* clipBound);
    // Writes the image as a PNG file (72 dpi) under a unique temporary name
    // made from "SaveCGImage" and "PNG"; its path, or nothing.
    static std::optional<std::string> SaveTempCGImage(const std::optional<Image>& image);

protected:
    std::shared_ptr<QXPDFOptions> moreOptions_;
    std::string destDocType_;
    bool isShouldCancel_ = false;
    uint64_t pageIndex_ = 0;
    uint64_t numberOfPagesToConvert_ = 0;
    std::string destDocPath_;
    QXPDFExporterDelegate* delegate_ = nullptr;
};

} // namespace rz
