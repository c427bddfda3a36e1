// Patterns selected as fill or stroke colour in a Pattern colour space:
// tiling patterns (a cell repeated over the painted area) and shading
// patterns (a shading under a pattern matrix), and the per-stream
// collection the content parser picks them from by name.
//
// A pattern is made once per collection and read only afterwards, except
// for the colour of an uncoloured tiling pattern, which the content parser
// sets on its own copy (copy()) when "scn" gives one. drawInContext() draws
// into a bitmap that the caller has sized, transformed and clipped to the
// painted area.
//
// The cell of a tiling pattern is rendered by the content drawer, which
// lives above this layer: it installs itself with
// QXPDFPatternTiling::setCellRenderer(). Cells are rendered on first
// drawing, once per pattern (copies share the result).
#pragma once

#include "platform/geometry/Geometry.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/image/Image.h"
#include "platform/pdf/PdfObject.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace rz {

class QXPDFShading;
class QXPDFColorSpace;
struct QXPDFColor;

// Largest side of a tiling cell's bitmap in pixels. A cell is rendered at
// one pixel per pattern-space unit; a larger cell is rendered scaled down
// to fit (a cell is seldom more than a few hundred units across).
inline constexpr int kQXPDFMaxTilingCellSide = 2048;

// Most cells drawn to tile one area. Beyond it the cells are smaller than a
// pixel of any useful bitmap, and the area is left unpainted.
inline constexpr long long kQXPDFMaxTilingCells = 1LL << 16;

// Nesting of tiling-cell rendering (a cell whose content draws through
// another pattern's cell). A cell that is already being rendered further up
// is refused, so a pattern that paints with itself ends.
inline constexpr int kQXPDFMaxTilingCellDepth = 4;

// The values of QXPDFPattern::type().
enum QXPDFPatternType : long long {
    QXPDFPatternTypeTiling = 1,
    QXPDFPatternTypeShading = 2,
};

class QXPDFPattern {
public:
    QXPDFPattern();
    virtual ~QXPDFPattern();

    // A new pattern from a stream (its dictionary is read) or a dictionary
    // whose integer PatternType is 1 (tiling, which must be a stream) or 2
    // (shading); nothing for anything else or when the kind's init refuses it.
    static std::shared_ptr<QXPDFPattern> PatternWithObject(const pdf::Object& object,
                                                           const std::string& objectKey);

    // A copy; a tiling copy shares the rendered cell with its original.
    virtual std::shared_ptr<QXPDFPattern> copy() const;
    // Keeps the key; the kinds read their entries. False when unusable.
    virtual bool initWithObject(const pdf::Object& object, const std::string& objectKey);
    // The base fills the context's clip bounding box with opaque black;
    // both kinds override it.
    virtual void drawInContext(BitmapContext& context, const Affine& scaleTransform) const;

    const std::string& objectKey() const { return objectKey_; }
    long long type() const { return type_; }
    void setType(long long type) { type_ = type; }

    // The colour an uncoloured tiling pattern paints in: the components
    // that "scn" gave with the pattern name, in the Pattern space's
    // underlying space. Other patterns ignore it.
    const std::optional<RGBAColor>& uncoloredColor() const { return uncoloredColor_; }
    void setUncoloredColor(std::optional<RGBAColor> color) { uncoloredColor_ = color; }
    // The same from a colour value read through its colour space.
    void setUncoloredColor(const QXPDFColor& color, const QXPDFColorSpace& space);

protected:
    QXPDFPattern(const QXPDFPattern&) = default;
    QXPDFPattern& operator=(const QXPDFPattern&) = default;

private:
    std::string objectKey_;
    long long type_ = 0;
    std::optional<RGBAColor> uncoloredColor_;
};

// Renders the cell of a tiling pattern: the pattern stream (its content and
// dictionary), the resources to draw it with (its own /Resources, else
// those of the stream that draws the pattern; null when neither has any),
// the cell rectangle in pattern space, and the bitmap size onto which that
// rectangle is mapped (its minimum corner at the bitmap's bottom-left). Gives the
// cell's image (with alpha, transparent where nothing was drawn) or nothing.
using QXPDFTilingCellRenderer = std::function<std::optional<Image>(
    const pdf::Object& stream, const pdf::Object& resources, const Rect& cell, int pixelWidth,
    int pixelHeight)>;

// PatternType 1.
class QXPDFPatternTiling : public QXPDFPattern {
public:
    QXPDFPatternTiling();
    std::shared_ptr<QXPDFPattern> copy() const override;
    // The object must be a stream. PaintType, TilingType (integers, default
    // 1), XStep, YStep (default 1), BBox of 4 (default 0 0 1 1), Matrix of 6
    // (default identity), Resources (optional). Nothing is rendered yet.
    bool initWithObject(const pdf::Object& object, const std::string& objectKey) override;
    // Tiles the context's clip bounding box with the cell: pattern space is
    // mapped by the pattern matrix, then scaleTransform, then the context's
    // current transform. A coloured pattern (PaintType 1) draws the cell as
    // rendered; an uncoloured one paints the cell's coverage in
    // uncoloredColor() (RGB 250, 100, 150 when no colour was given).
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;

    // The tiling mode by TilingType: 1 constant spacing, 3 constant spacing
    // with minimal distortion, 2 and any other value no distortion.
    enum class TilingMode { ConstantSpacing, NoDistortion, ConstantSpacingMinimalDistortion };
    TilingMode tilingMode() const;

    // The cell image, rendered on the first call through the installed
    // renderer (nothing without one, for an empty or unusable cell, or for
    // a cell already being rendered further up the call chain): one pixel
    // per pattern unit up to the side cap, and with `deviceSize` no larger
    // than the cell's size in the pixels it is drawn into. The last
    // rendering is kept for calls asking the same size.
    std::optional<Image> contentImage(std::optional<Size> deviceSize = std::nullopt) const;
    // The cell rectangle: the BBox from (llx, lly) with width urx − llx and
    // height ury − lly.
    Rect cellRect() const;

    long long paintType() const { return paintType_; }
    long long tilingType() const { return tilingType_; }
    const std::array<double, 4>& bbox() const { return bbox_; }
    double xStep() const { return xStep_; }
    double yStep() const { return yStep_; }
    // [a b c d tx ty].
    const std::array<double, 6>& matrix() const { return matrix_; }
    Affine matrixTransform() const;
    // Null when the pattern has no resources.
    const pdf::Object& resDict() const { return resDict_; }
    // The resource dictionary of the stream that draws the pattern: the cell
    // is rendered with it when the pattern has no resources of its own.
    const pdf::Object& inheritedResources() const { return inheritedResources_; }
    void setInheritedResources(const pdf::Object& resources) { inheritedResources_ = resources; }
    const pdf::Object& contentStream() const { return contentStream_; }

    // The renderer every tiling pattern uses for its cell (none until the
    // content drawer's layer installs one). Thread-safe.
    static void setCellRenderer(QXPDFTilingCellRenderer renderer);
    static QXPDFTilingCellRenderer cellRenderer();

protected:
    QXPDFPatternTiling(const QXPDFPatternTiling&) = default;

private:
    struct CellCache;

    long long paintType_ = 1;
    long long tilingType_ = 1;
    std::array<double, 4> bbox_{0, 0, 1, 1};
    double xStep_ = 1;
    double yStep_ = 1;
    pdf::Object resDict_;
    pdf::Object inheritedResources_;
    std::array<double, 6> matrix_{1, 0, 0, 1, 0, 0};
    pdf::Object contentStream_;
    // The rendered cell, shared by copies.
    std::shared_ptr<CellCache> cell_;
};

// PatternType 2.
class QXPDFPatternShading : public QXPDFPattern {
public:
    QXPDFPatternShading() = default;
    std::shared_ptr<QXPDFPattern> copy() const override;
    // The object must be a dictionary with a usable "Shading"; Matrix of 6
    // (default identity).
    bool initWithObject(const pdf::Object& object, const std::string& objectKey) override;
    // Concatenates the pattern matrix, then scaleTransform, onto the
    // context's transform and draws the shading with scaleTransform.
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;

    const std::shared_ptr<QXPDFShading>& shading() const { return shading_; }
    const std::array<double, 6>& matrix() const { return matrix_; }
    Affine matrixTransform() const;

protected:
    QXPDFPatternShading(const QXPDFPatternShading&) = default;

private:
    std::shared_ptr<QXPDFShading> shading_;
    std::array<double, 6> matrix_{1, 0, 0, 1, 0, 0};
};

// The patterns of one resource dictionary by name.
class QXPDFPatternCollection {
public:
    QXPDFPatternCollection() = default;
    // Every entry of a /Pattern resource dictionary made into a pattern and
    // stored under its name; entries that give no pattern are left out. A
    // null (or non-dictionary) object gives an empty collection.
    // `drawingResources` is the resource dictionary the /Pattern entry
    // belongs to (that of the stream drawing with these patterns): tiling
    // patterns without resources of their own render their cells with it.
    explicit QXPDFPatternCollection(const pdf::Object& dictionary,
                                    const pdf::Object& drawingResources = pdf::Object());

    void addObjectsFromDictionary(const std::map<std::string, std::shared_ptr<QXPDFPattern>>& objects);
    // The pattern or null.
    std::shared_ptr<QXPDFPattern> objectNamed(const std::string& name) const;
    std::map<std::string, std::shared_ptr<QXPDFPattern>> collectObjectsByName() const { return collectObjects_; }
    const std::map<std::string, std::shared_ptr<QXPDFPattern>>& collectObjects() const { return collectObjects_; }
    void setCollectObjects(std::map<std::string, std::shared_ptr<QXPDFPattern>> objects)
    {
        collectObjects_ = std::move(objects);
    }

private:
    std::map<std::string, std::shared_ptr<QXPDFPattern>> collectObjects_;
};

} // namespace rz
