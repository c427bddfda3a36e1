// The shapes of a slide, written in order into its shape tree: text boxes
// (p:sp with a text body), freeforms (p:sp with custom geometry) and
// pictures (p:pic), with the records of their geometry and style. Lengths
// are display points (origin at the slide's top left); the writers turn
// them into EMU. Every shape gets its id from the slide, unique on it.
#pragma once

#include "platform/geometry/Color.h"
#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"
#include "pptx/slide/QXPPTXParagraph.h"
#include "pptx/slide/QXPPTXRecords.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class XMLFileWriter;

struct QXPPTXTextBoxInfo {
    bool filled = false;
    bool stroked = false;
    std::optional<Color> fillcolor;
    std::optional<Color> strokecolor;
    double strokeweight = 1;
    std::vector<double> strokeDashPattern;
    std::int64_t strokeDashPhase = 0;
    double displayWidth = 0;
    double displayHeight = 0;
    double displayX = 0;
    double displayY = 0;
    QXPPTXEdgeInsets textBoxMargin;
    double rotation = 0; // degrees

    Rect textBoxRect() const { return Rect(displayX, displayY, displayWidth, displayHeight); }
};

struct QXPPTXFreeformInfo {
    bool filled = false;
    bool stroked = false;
    std::optional<Color> fillcolor;
    std::optional<Color> strokecolor;
    float fillAlpha_ = 1;
    float strokeAlpha_ = 1;
    double strokeweight = 1;
    std::vector<double> strokeDashPattern;
    std::int64_t strokeDashPhase = 0;
    std::int32_t lineCap = 0;
    double displayWidth = 0;
    double displayHeight = 0;
    double displayX = 0;
    double displayY = 0;

    Point displayOrigin() const { return {displayX, displayY}; }
    // 0 when not filled (not stroked).
    float fillAlpha() const { return filled ? fillAlpha_ : 0.0f; }
    float strokeAlpha() const { return stroked ? strokeAlpha_ : 0.0f; }
    // Six hex digits; white when not filled (not stroked).
    std::string fillcolorString() const;
    std::string strokecolorString() const;
    // "flat", "rnd", "sq"; nothing for another cap.
    std::optional<std::string> lineCapString() const;
    // "solid" without a pattern; by pairs: 1 "dash", 2 "dashDot", 3
    // "lgDashDotDot", else "solid".
    std::string prstDashString() const;
};

struct QXPPTXImageInfo {
    std::string imageID;
    std::string imageTitle;
    std::int32_t pixelWidth = 0;
    std::int32_t pixelHeight = 0;
    float opacity = 1;
    float rotation = 0; // degrees
    bool flipX = false;
    bool flipY = false;
    Point center;
    double displayWidth = 0;
    double displayHeight = 0;
    double horizontalResolution = 72;
    double verticalResolution = 72;
    double displayX = 0;
    double displayY = 0;
    std::array<Point, 4> vertices{};

    // The geometry of the unit square mapped by `t` (image space to display
    // space): size, centred box, turn, mirror; `opacity` as given.
    static QXPPTXImageInfo initWithTransform(const Affine& t, double opacity);
    Rect displayRect() const { return Rect(displayX, displayY, displayWidth, displayHeight); }
};

// One element of a freeform's outline, as the path gives it.
struct QXPPTXPathElement {
    std::int32_t type = 0; // 0 move, 1 line, 2 quad, 3 cubic, 4 close
    std::int64_t numberOfPoints = 0;
    std::vector<Point> points;

    static QXPPTXPathElement initWithCGPathElement(const PathElement& element);
};

class QXPPTXShape {
public:
    explicit QXPPTXShape(std::uint64_t spType);
    virtual ~QXPPTXShape() = default;
    QXPPTXShape(const QXPPTXShape&) = delete;
    QXPPTXShape& operator=(const QXPPTXShape&) = delete;

    std::uint64_t spType() const { return spType_; }
    std::vector<std::shared_ptr<QXPPTXParagraph>> paragraphs;
    QXPPTX_TxBodyPr bodyPr;

    // Writes the shape with the slide-unique id `shapeId`.
    virtual void writeShapeWith(XMLFileWriter& writer, std::uint64_t shapeId) const;

protected:
    virtual void write_nvSpPr(XMLFileWriter&, std::uint64_t) const {}
    virtual void write_spPr(XMLFileWriter&) const {}
    virtual void write_style(XMLFileWriter&) const {}
    virtual void write_txBody(XMLFileWriter&) const {}

private:
    std::uint64_t spType_;
};

class QXPPTXTextbox : public QXPPTXShape {
public:
    QXPPTXTextbox() : QXPPTXShape(0) {}
    QXPPTXTextBoxInfo spInfo;

protected:
    void write_nvSpPr(XMLFileWriter& writer, std::uint64_t shapeId) const override;
    void write_spPr(XMLFileWriter& writer) const override;
    void write_txBody(XMLFileWriter& writer) const override;
};

class QXPPTXFreeform : public QXPPTXShape {
public:
    QXPPTXFreeform() : QXPPTXShape(1) {}
    Path runCGPath; // display space
    QXPPTXFreeformInfo spInfo;

    static std::vector<QXPPTXPathElement> pointsWithCGPath(const Path& path);
    // The dash of the line: a preset, or custom dashes as percentages of
    // the line width.
    void writeDash(XMLFileWriter& writer) const;

protected:
    void write_nvSpPr(XMLFileWriter& writer, std::uint64_t shapeId) const override;
    void write_spPr(XMLFileWriter& writer) const override;
    void write_style(XMLFileWriter& writer) const override;
    void write_txBody(XMLFileWriter& writer) const override;
    void write_SpPr_custGeom(XMLFileWriter& writer) const;
};

class QXPPTXPicture : public QXPPTXShape {
public:
    QXPPTXPicture() : QXPPTXShape(2) {}
    std::string runImageID;
    QXPPTXImageInfo pictInfo;

    void writeShapeWith(XMLFileWriter& writer, std::uint64_t shapeId) const override;

private:
    void write_nvPicPr(XMLFileWriter& writer, std::uint64_t shapeId) const;
    void write_blipFill(XMLFileWriter& writer) const;
    void writePictureSpPr(XMLFileWriter& writer) const;
};

} // namespace rz
