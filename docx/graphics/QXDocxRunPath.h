// One painted vector path of a page: its geometry in display space, its
// stroke and fill record, its sub-paths, and what it looks like to the
// layout (a horizontal or vertical line, a small or ordinary axis-aligned
// rectangle, or anything else). Underline and highlight recognition, the
// path clean-up and the table detector read the classification; the run
// writes itself as a VML shape (a shape type holding the geometry and a
// shape placing it on the page).
#pragma once

#include "docx/layout/QXDocxPathInfo.h"
#include "docx/layout/QXDocxRunPict.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class BitmapContext;
class QXDocxRunPath;
using QXDocxRunPathPtr = std::shared_ptr<QXDocxRunPath>;

class QXDocxRunPath : public QXDocxRunPict {
public:
    // runLineType values.
    static constexpr std::int32_t kLineTypeOther = 0;
    static constexpr std::int32_t kLineTypeHorizontal = 1;
    static constexpr std::int32_t kLineTypeVertical = 2;
    static constexpr std::int32_t kLineTypeSmallRect = 3;
    static constexpr std::int32_t kLineTypeRect = 4;
    // A rectangle whose larger side is below this (points) is small.
    static constexpr double kSmallRectMaxSide = static_cast<double>(8.1f);

    QXDocxRunPath() = default;
    // A deep copy: the paint record is copied, not shared.
    QXDocxRunPath(const QXDocxRunPath& other);
    QXDocxRunPath& operator=(const QXDocxRunPath&) = delete;

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    // The paint record; setting it updates the bounding box.
    const std::shared_ptr<QXDocxPathInfo>& pictInfo() const { return pictInfo_; }
    void setPictInfo(std::shared_ptr<QXDocxPathInfo> info);

    // The geometry in display space. Setting it stores a copy, updates the
    // box and splits it into sub-paths at every move-to and close; an open
    // sub-path left at the end of the path is listed too.
    const Path& runCGPath() const { return runCGPath_; }
    void setRunCGPath(const Path& path);
    const std::vector<Path>& subCGPaths() const { return subCGPaths_; }
    bool isHaveCurve() const { return isHaveCurve_; }
    // Move-to, line-to and curve elements (closes not counted).
    std::int64_t pathPointCount() const { return pathPointCount_; }

    // Box of the path; a stroked path thinner than 0.01 on a side is
    // widened by half its stroke weight on each side of that direction.
    const Rect& boundingBox() const { return boundingBox_; }
    void updateBoundingBox();

    // The path's points as the exporter lists them; setting the list
    // classifies the path (runLineType).
    const std::optional<std::vector<Point>>& runLinePointArray() const { return runLinePointArray_; }
    void setRunLinePointArray(std::optional<std::vector<Point>> points);
    void setRunLineType(std::int32_t value) { runLineType_ = value; }
    void setBoundingBox(const Rect& box) { boundingBox_ = box; }
    std::int32_t runLineType() const { return runLineType_; }
    // The classification of a point list: 2 or 3 points a horizontal (1)
    // or vertical (2) line; 4 to 6 points making an axis-aligned rectangle
    // a small (3) or ordinary (4) rectangle; anything else 0.
    static std::int32_t LineTypeForPoints(const std::vector<Point>& points);

    // Clip paths of the render state (device space), for drawing the path
    // into a picture.
    const std::vector<std::shared_ptr<const QXPDFClipPath>>& clipBezierPaths() const { return clipBezierPaths_; }
    void setClipBezierPaths(std::vector<std::shared_ptr<const QXPDFClipPath>> clips) { clipBezierPaths_ = std::move(clips); }

    // Set by the table detector when the path is taken as a ruling line.
    bool isTableLine() const { return isTableLine_; }
    void setIsTableLine(bool value) { isTableLine_ = value; }
    // The last border style computed for this path.
    std::int32_t borderStyle() const { return borderStyle_; }

    // The stroke weight of a path stroked with `width` under `transform`
    // (a turned stroke keeps its width); written into the paint record.
    void setStrokeweightApplyingTransform(double width, const Affine& transform);

    // The record's display rectangle; zero without a record.
    Rect displayRect() const override;

    // Same filled and stroked flags and, when stroked, the same weight and
    // nearly the same stroke colour.
    bool isBorderEqualToPath(const QXDocxRunPath& other) const;
    // The fill colour (when filled) and the stroke colour (when stroked)
    // are both nearly `color`.
    bool IsEqualColor(const QXDocx_Color& color) const;
    // Sum over the sub-paths (the whole path when it has none) of the area
    // their boxes share with `rect`, counting only overlaps wider and
    // higher than 1.
    double areaIntersectionRect(const Rect& rect) const;
    // The first path of `paths` drawn before this one whose box meets this
    // path's box in a rectangle wider and higher than 1; null if none.
    QXDocxRunPathPtr hideRunPaths(const std::vector<QXDocxRunPathPtr>& paths) const;

    // The table border style this single path draws along the ruling line
    // p1-p2 (see QXDocxPathInfo::BorderStyleForPathInfo); a path of several
    // thin bars, not of the background colour, one of which runs along the
    // line for more than 12 points on its centre line, is "single".
    // Remembered in borderStyle().
    std::int32_t borderStyleForLinePoint1(Point p1, Point p2, const QXDocx_Color& backgroundColor);
    // Two drawn lines `distance` apart, the thicker `maxWeight` wide: 2
    // "single" when closer than 0.2, 17 "thickThinLargeGap" (the distance
    // stored in `gapDistance`), 18 "thickThinMediumGap" or 19
    // "thickThinSmallGap".
    static std::int32_t BorderStyleFor2TableLineDistance(double distance, double maxWeight, double* gapDistance);
    // The paths whose own border style along the line is above "nil", with
    // parallels at the same place dropped (the first kept).
    static std::vector<QXDocxRunPathPtr> FindBorderRunPathArray(const std::vector<QXDocxRunPathPtr>& paths, Point p1,
                                                                Point p2, const QXDocx_Color& backgroundColor);
    // The largest positive stroke weight, starting from the first path's;
    // 0 for none.
    static double MaxBorderWidthForRunPaths(const std::vector<QXDocxRunPathPtr>& paths);

    // --- Clean-up of a page's paths (each returns a new array) ---

    // Union of the boxes; zero for none.
    static Rect BoundsOfRunPaths(const std::vector<QXDocxRunPathPtr>& paths);
    static std::int64_t CountOfPoints(const std::vector<QXDocxRunPathPtr>& paths);
    // A group dense enough to be drawn as one picture: more points than its
    // larger side / 8.1 + 6.
    static bool IsVaildImageRunPaths(const std::vector<QXDocxRunPathPtr>& paths);
    // This box meets the group's bounds by more than 1 x 1, or this box
    // inset by (dx, dy) (negative values grow it) meets one path's box so.
    bool isIntersectRunPaths(const std::vector<QXDocxRunPathPtr>& paths, double dx, double dy) const;
    static std::vector<QXDocxRunPathPtr> FindAnnotionlPaths(const std::vector<QXDocxRunPathPtr>& paths);
    // Both display sides below `maxSize` (each at least 0.01), or one side
    // below 0.0001.
    static std::vector<QXDocxRunPathPtr> FindSmallShapes(const std::vector<QXDocxRunPathPtr>& paths, Size maxSize);
    // Display rectangles of about 4 to 8 or 8 to 15 points a side.
    static std::vector<QXDocxRunPathPtr> FindSmallRects(const std::vector<QXDocxRunPathPtr>& paths);
    // A stroked rectangle no other box touches within 1.1 (boxes that hold
    // it and its grown box are ignored).
    bool isAloneRectWithRunPaths(const std::vector<QXDocxRunPathPtr>& others) const;
    static std::vector<QXDocxRunPathPtr> FindAloneRects(const std::vector<QXDocxRunPathPtr>& paths);
    // The largest filled rectangle painted in one colour; null for fewer
    // than two paths.
    static QXDocxRunPathPtr FindBigRectangeRunPath(const std::vector<QXDocxRunPathPtr>& paths);
    // The paths that only repaint the background (of `big`, or white)
    // without covering anything drawn before them.
    static std::vector<QXDocxRunPathPtr> FindDuplicateRunPath(const QXDocxRunPathPtr& big,
                                                              const std::vector<QXDocxRunPathPtr>& paths);

    // Thin rectangles (and thin shapes of any kind) become centre lines as
    // wide as they are thick; the others pass as they are, in order.
    static std::vector<QXDocxRunPathPtr> ConvertRect2LineIfNeed(const std::vector<QXDocxRunPathPtr>& paths);
    // Collinear pieces of one colour joined into single lines; sorted by
    // drawing order.
    static std::vector<QXDocxRunPathPtr> MergeOverlapLinesIfNeed(const std::vector<QXDocxRunPathPtr>& paths);
    static QXDocxRunPathPtr CreateWithOverlapLines(const std::vector<QXDocxRunPathPtr>& group);
    bool isLineExtentsRunPath(const QXDocxRunPath& other) const;

    // Something else drawn on the page (an image), which a merged rectangle
    // must not newly cover.
    struct DrawnBox {
        Rect box;
        std::uint64_t pdfScanIndex = 0;
    };
    // Overlapping filled rectangles of one colour merged into one, carried
    // by the member drawn last. A group is merged only when its members
    // cover their union (within 8.1 square points) and nothing drawn
    // between its first and last member meets the union.
    static std::vector<QXDocxRunPathPtr> MergeOverlapRectangesIfNeed(const std::vector<QXDocxRunPathPtr>& paths,
                                                                     const std::vector<DrawnBox>& others = {});
    static QXDocxRunPathPtr CreateWithOverlapRects(const std::vector<QXDocxRunPathPtr>& group);
    // Same colour and one box within tolerance of holding the other (the
    // extend flag clear), or the two boxes filling their union (set).
    bool isRectOverlapRunPath(const QXDocxRunPath& other, bool* isExtend) const;

    // --- Drawing paths into a picture ---

    // Draws the path into a context whose user space is display space:
    // clipped by its clip paths (through `pageTransform`) when asked,
    // filled, then stroked with round caps and joins (without dashes).
    void drawInContext(BitmapContext* context, const Affine& pageTransform, bool needClip) const;
    // A PNG file in the temporary folder holding the paths drawn on a page
    // of `contextSize` points at `imageDPI`; with `needClip` cut to the
    // paths' bounds, which are stored in `clipRect`. Nothing (and a message
    // on standard error) when the paths have no size or no bitmap can be
    // made or saved.
    static std::optional<std::string> CreateImageFromRunPaths(const std::vector<QXDocxRunPathPtr>& paths,
                                                              Size contextSize, const Affine& pageTransform,
                                                              double imageDPI, bool needClip, Rect* clipRect);

    // w:r with the run properties and a w:pict holding the VML drawing.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    // The v:shapetype, v:shape and w10:wrap of the path. A filled path
    // thinner than 1 point is written as a stroked line of that width;
    // the record keeps that change and the stroke-widened size.
    void _writePath2006(XMLFileWriter& writer);
    // The VML path text of a path in display space: "m", "l", "c" and "x"
    // commands in twentieths of a point, ending in "e".
    static std::string VMLPathString(const Path& path);
    // The "style" attribute of the shape for the current record.
    std::string shapeStyle() const;

    std::string description() const;

private:
    std::shared_ptr<QXDocxPathInfo> pictInfo_;
    Rect boundingBox_;
    Path runCGPath_;
    std::vector<std::shared_ptr<const QXPDFClipPath>> clipBezierPaths_;
    bool isHaveCurve_ = false;
    std::int64_t pathPointCount_ = 0;
    std::int32_t runLineType_ = kLineTypeOther;
    std::optional<std::vector<Point>> runLinePointArray_;
    std::vector<Path> subCGPaths_;
    bool isTableLine_ = false;
    std::int32_t borderStyle_ = 0;
};

} // namespace rz
