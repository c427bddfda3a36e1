// Small hand-made ruling lines for the table detection tests: stroked
// path runs for single segments, rectangles and grids.
#pragma once

#include "docx/graphics/QXDocxRunPath.h"
#include "docx/tables/QXDocxTableLine.h"

#include <memory>
#include <vector>

namespace rz::tabletest {

inline std::shared_ptr<QXDocxPathInfo> strokePaint(double weight = 1, bool filled = false)
{
    auto info = std::make_shared<QXDocxPathInfo>();
    info->setStroked(true);
    info->setFilled(filled);
    info->setStrokeweight(weight);
    info->setStrokecolor(Color::rgb(0, 0, 0, 1));
    if (filled)
        info->setFillcolor(Color::rgb(0, 0, 0, 1));
    return info;
}

inline QXDocxRunPathPtr pathRun(const Path& path, std::shared_ptr<QXDocxPathInfo> info = strokePaint())
{
    auto run = std::make_shared<QXDocxRunPath>();
    run->setPictInfo(std::move(info));
    run->setRunCGPath(path);
    return run;
}

inline QXDocxRunPathPtr segmentRun(Point a, Point b, double weight = 1)
{
    Path path;
    path.moveTo(a);
    path.lineTo(b);
    return pathRun(path, strokePaint(weight));
}

// Move, three line-tos and a close.
inline QXDocxRunPathPtr rectRun(Rect r, double weight = 1)
{
    Path path;
    path.moveTo({r.minX(), r.minY()});
    path.lineTo({r.maxX(), r.minY()});
    path.lineTo({r.maxX(), r.maxY()});
    path.lineTo({r.minX(), r.maxY()});
    path.closeSubpath();
    return pathRun(path, strokePaint(weight));
}

// (rows + 1) horizontal and (columns + 1) vertical segments, one path each,
// over the rectangle at `origin` with cells of `cell` points.
inline std::vector<QXDocxRunPathPtr> gridRuns(Point origin, int rows, int columns, double cell)
{
    std::vector<QXDocxRunPathPtr> runs;
    const double w = columns * cell, h = rows * cell;
    for (int r = 0; r <= rows; ++r)
        runs.push_back(segmentRun({origin.x, origin.y + r * cell}, {origin.x + w, origin.y + r * cell}));
    for (int c = 0; c <= columns; ++c)
        runs.push_back(segmentRun({origin.x + c * cell, origin.y}, {origin.x + c * cell, origin.y + h}));
    return runs;
}

// A table line cut from its own one-segment path.
inline QXDocxTableLinePtr pathLine(Point a, Point b, double weight = 1)
{
    auto line = std::make_shared<QXDocxTableLine>(a, b);
    auto run = segmentRun(a, b, weight);
    line->setInitRunPath(run);
    line->setAllRunPathArray({run});
    line->updateLineInfo();
    return line;
}

} // namespace rz::tabletest
