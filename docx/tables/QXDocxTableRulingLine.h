// What the table model reads of a ruling line and of a crossing point.
//
// The detector's lines and points are handed to the model through these
// two forms: a ruling line answers its geometry, its source paths and the
// pieces it was merged from; a corner is a crossing point with the lines
// that pass through it. Lines are compared by identity.
#pragma once

#include "docx/graphics/QXDocxRunPath.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace rz {

class QXDocxTableRulingLine;
using QXDocxTableRulingLinePtr = std::shared_ptr<QXDocxTableRulingLine>;
using QXDocxTableRulingLineArray = std::vector<QXDocxTableRulingLinePtr>;

class QXDocxTableRulingLine {
public:
    virtual ~QXDocxTableRulingLine() = default;

    virtual bool isHorizontalLine() const = 0;
    virtual Point startPoint() const = 0;
    virtual Point endPoint() const = 0;
    // Length along the orientation.
    virtual double lineLength() const = 0;
    // The box including the stroke thickness.
    virtual Rect boundingBox() const = 0;
    // The path the line was cut from; null for a merged line.
    virtual QXDocxRunPathPtr initRunPath() const = 0;
    // Every source path (its own or those of all its pieces), each once.
    virtual std::vector<QXDocxRunPathPtr> allRunPathArray() const = 0;
    // The pieces a merged line was built from; empty for a cut line.
    virtual QXDocxTableRulingLineArray subLineArray() const = 0;

    // Extremes of the two end points, in single precision.
    double min_x() const;
    double min_y() const;
    double max_x() const;
    double max_y() const;
    // True when max(2, limit) exceeds the length.
    bool isShortLine(double limit) const;
    // The stroke colour of the first stroked source path.
    std::optional<Color> tableLineColor() const;
    // The border style the line's own paths draw along p1-p2: the paths
    // that draw a border there, parallels at one place dropped, decided as
    // a group.
    std::int32_t borderStyleForLinePoint1(Point p1, Point p2, const QXDocx_Color& backgroundColor) const;
};

// A crossing point of ruling lines: a corner of cells and rows.
struct QXDocxTableCorner {
    Point point;
    std::uint8_t type = 0;
    QXDocxTableRulingLineArray tableLines;
};

// A plain ruling line holding its values, for lines built by hand.
class QXDocxTableRulingLineRecord : public QXDocxTableRulingLine {
public:
    bool isHorizontal = false;
    Point start;
    Point end;
    double length = 0;
    Rect box;
    QXDocxRunPathPtr runPath;
    std::vector<QXDocxRunPathPtr> runPaths;
    QXDocxTableRulingLineArray pieces;

    // A line cut from `path` between p1 and p2: orientation and length as
    // the detector decides them (vertical when the x differ by less than
    // 2), the box from the path's stroke thickness.
    static std::shared_ptr<QXDocxTableRulingLineRecord> LineWithRunPath(const QXDocxRunPathPtr& path, Point p1,
                                                                        Point p2);

    bool isHorizontalLine() const override { return isHorizontal; }
    Point startPoint() const override { return start; }
    Point endPoint() const override { return end; }
    double lineLength() const override { return length; }
    Rect boundingBox() const override { return box; }
    QXDocxRunPathPtr initRunPath() const override { return runPath; }
    std::vector<QXDocxRunPathPtr> allRunPathArray() const override { return runPaths; }
    QXDocxTableRulingLineArray subLineArray() const override { return pieces; }
};

} // namespace rz
