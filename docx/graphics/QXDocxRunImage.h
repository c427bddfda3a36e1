// An image on a DOCX page: a drawing run naming an image file on disk, its
// relationship id in the package and its placement. Images that overlap or
// touch and were drawn one right after the other are merged into one PNG
// picture; each image writes itself as a VML picture shape inside a
// w:pict. The same runs draw themselves into bitmaps when drawings are
// rasterised together.
#pragma once

#include "docx/graphics/QXDocxImageInfo.h"
#include "docx/layout/QXDocxRunPict.h"
#include "platform/geometry/Geometry.h"
#include "platform/image/Image.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class BitmapContext;
class XMLFileWriter;

class QXDocxRunImage;
using QXDocxRunImagePtr = std::shared_ptr<QXDocxRunImage>;

class QXDocxRunImage : public QXDocxRunPict {
public:
    // Images smaller than this (points, either side) are paired with
    // neighbours that come near without overlapping.
    static constexpr double kSmallImageSide = 64;
    // How near (points) two small images must come to be paired.
    static constexpr double kSmallImageMargin = 20;
    // The merged picture's resolution is kept within these dots per inch.
    static constexpr std::int64_t kMinMergeDPI = 72;
    static constexpr std::int64_t kMaxMergeDPI = 600;

    QXDocxRunImage() = default;
    // Copies the base run and a copy of the placement record.
    QXDocxRunImage(const QXDocxRunImage& other);
    QXDocxRunImage& operator=(const QXDocxRunImage&) = delete;

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    // Relationship id written as r:id.
    const std::string& runImageID() const { return runImageID_; }
    void setRunImageID(std::string value) { runImageID_ = std::move(value); }
    // Title written as o:title ("Untitled" when empty).
    const std::string& runImageTitle() const { return runImageTitle_; }
    void setRunImageTitle(std::string value) { runImageTitle_ = std::move(value); }
    const std::string& imagePath() const { return imagePath_; }
    void setImagePath(std::string value) { imagePath_ = std::move(value); }
    const std::shared_ptr<QXDocxImageInfo>& pictInfo() const { return pictInfo_; }
    void setPictInfo(std::shared_ptr<QXDocxImageInfo> info) { pictInfo_ = std::move(info); }

    // The area the image covers on the page, display space: the placement
    // rectangle of an upright image; for a turned or mirrored one the
    // bounding box of its four corners (of the placement rectangle turned
    // about its centre when the corners were never set). Zero without a
    // record.
    Rect displayRect() const override;

    // The first image of the array (other than this one) that belongs with
    // this one, provided some image of the array continues this one's
    // drawing order; nothing otherwise.
    QXDocxRunImagePtr isIntersectImages(const std::vector<QXDocxRunImagePtr>& images) const;
    // True when the two images belong together: they overlap by more than
    // half of either one (or of their bounding union), or both are small
    // and one contains, meets or comes within kSmallImageMargin of the other.
    static bool IsIntersect(const QXDocxRunImage& image1, const QXDocxRunImage& image2);
    // The image whose displayRect has the largest area, the first of equal
    // ones; nothing for an empty array.
    static QXDocxRunImagePtr FindBigRectRunImage(const std::vector<QXDocxRunImagePtr>& images);

    // Draws the image file into a context whose user space is the page in
    // points with a bottom-left origin (the page height is the height of the
    // context's clip). The transform and flag are not used. False when
    // there is no context or the file does not load.
    bool drawInContext(BitmapContext* context, const Affine& pageTransform, bool needClip) const;

    // One new image run showing the images of the array drawn together, as
    // a PNG file at `imageDPI` (kept within 72..600); nothing for fewer than
    // two images or when the picture cannot be made or written. The first
    // image is the model: the new run takes its place in the drawing order
    // and its run properties, and only on success is the model moved one
    // step up. The relationship id is left empty for the package writer.
    static QXDocxRunImagePtr MergeRunImageArray(const std::vector<QXDocxRunImagePtr>& images, Size contextSize,
                                                std::int64_t imageDPI);
    // The images drawn together under the scale into a bitmap that covers
    // the union of their areas clipped to the page, in whole pixels of the
    // page's pixel grid; that area comes back in `clipRect` (display
    // space). Nothing when the bitmap cannot be made, an image cannot be
    // drawn, or nothing of the union lies on the page.
    static std::optional<Image> MergeRunImage(const std::vector<QXDocxRunImagePtr>& images, Size contextSize,
                                              const Affine& scaleTransform, Rect& clipRect);

    // What the page needs to add and drop media while it merges images.
    struct MediaCollector {
        // Packages a file; returns its relationship id.
        std::function<std::string(const std::string&)> collect;
        // Drops a file from the package.
        std::function<void(const std::string&)> forget;
    };
    // Replaces the images of `group` in `pageImages` by their merged image,
    // at the place of the first of them: the merged file is collected, and
    // the files of the group that no remaining image shows are forgotten.
    // When the merge fails nothing changes (the originals and their media
    // stay) and the answer is false.
    static bool ReplaceWithMergedImage(std::vector<QXDocxRunImagePtr>& pageImages,
                                       const std::vector<QXDocxRunImagePtr>& group, Size pageSize,
                                       std::int64_t imageDPI, const MediaCollector& media);

    // The file to package for an image file: the file itself when its bytes
    // are PNG or JPEG, else a PNG copy made in the temporary folder; nothing
    // when the file cannot be read or converted.
    static std::optional<std::string> PackageableImagePath(const std::string& path);
    // Cuts the fully transparent rows and columns off the edges of an RGBA
    // picture drawn over `box` (display space, its first row at the top)
    // and shrinks `box` to what stays, so that the picture shows the same
    // in less room. False, with nothing changed, for another format, when
    // no edge is transparent or when the whole picture is.
    static bool TrimTransparentEdges(Image& image, Rect& box);

    // w:r with the run properties and a w:pict holding the picture shape.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    // The v:shape of the picture: placement, image data, opacity, wrapping.
    void _writeImage2006(XMLFileWriter& writer);
    // The shape's style: absolute placement on the page in points, turn,
    // mirroring and stacking order.
    std::string shapeStyle() const;

private:
    // Draws the image on a page `pageHeight` points high whose user space
    // has a bottom-left origin.
    bool drawOnPage(BitmapContext& context, double pageHeight) const;

    std::string runImageID_;
    std::string runImageTitle_;
    std::string imagePath_;
    std::shared_ptr<QXDocxImageInfo> pictInfo_;
};

} // namespace rz
