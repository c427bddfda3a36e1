// Hand-made strokes, ruling lines and corner grids for the table tests.
#pragma once

#include "docx/tables/QXDocxTableSource.h"
#include "tests/docx/layout/DocxTestRuns.h"

#include <cmath>
#include <optional>
#include <memory>
#include <utility>
#include <vector>

namespace rz::test {

// A stroked path from p1 to p2 of `weight`, in `color`, drawn at `scan`;
// classified as a horizontal or vertical line.
inline QXDocxRunPathPtr strokePath(Point p1, Point p2, double weight, std::uint64_t scan = 1,
                                   Color color = Color::rgb(0, 0, 0, 1),
                                   std::optional<std::vector<double>> dashes = std::nullopt)
{
    auto info = std::make_shared<QXDocxPathInfo>();
    info->setStroked(true);
    info->setStrokeweight(weight);
    info->setStrokecolor(color);
    info->setStrokeDashPattern(dashes);
    const Rect box(std::min(p1.x, p2.x), std::min(p1.y, p2.y), std::fabs(p1.x - p2.x), std::fabs(p1.y - p2.y));
    info->setDisplayX(box.origin.x);
    info->setDisplayY(box.origin.y);
    info->setDisplayWidth(box.size.width);
    info->setDisplayHeight(box.size.height);
    auto run = std::make_shared<QXDocxRunPath>();
    run->setPdfScanIndex(scan);
    run->setPictInfo(info);
    Path path;
    path.moveTo(p1);
    path.lineTo(p2);
    run->setRunCGPath(path);
    run->setRunLinePointArray(std::vector<Point>{p1, p2});
    return run;
}

// A filled rectangle drawn at `scan`.
inline QXDocxRunPathPtr fillPath(Rect r, Color color, std::uint64_t scan = 0)
{
    auto info = std::make_shared<QXDocxPathInfo>();
    info->setFilled(true);
    info->setFillcolor(color);
    info->setDisplayX(r.origin.x);
    info->setDisplayY(r.origin.y);
    info->setDisplayWidth(r.size.width);
    info->setDisplayHeight(r.size.height);
    auto run = std::make_shared<QXDocxRunPath>();
    run->setPdfScanIndex(scan);
    run->setPictInfo(info);
    Path path;
    path.moveTo({r.minX(), r.minY()});
    path.lineTo({r.maxX(), r.minY()});
    path.lineTo({r.maxX(), r.maxY()});
    path.lineTo({r.minX(), r.maxY()});
    path.closeSubpath();
    run->setRunCGPath(path);
    run->setRunLinePointArray(
        std::vector<Point>{{r.minX(), r.minY()}, {r.maxX(), r.minY()}, {r.maxX(), r.maxY()}, {r.minX(), r.maxY()}, {r.minX(), r.minY()}});
    return run;
}

// A 12-point text run of `text` whose frame is `r`, drawn at `scan`.
inline QXDocxRunTextPtr textAt(const std::string& text, Rect r, std::uint64_t scan = 1)
{
    return makeTestRun({text, r.minX(), r.maxX(), r.minY(), r.size.height, r.maxY() - 2, scan, scan});
}

// A ruling line cut from a 1-point stroke from p1 to p2.
inline QXDocxTableRulingLinePtr rulingLine(Point p1, Point p2, double weight = 1, std::uint64_t scan = 1)
{
    return QXDocxTableRulingLineRecord::LineWithRunPath(strokePath(p1, p2, weight, scan), p1, p2);
}

// A ruled grid: corners at every (x, y) of the two lists; a line is drawn
// along every horizontal y from the first x to the last and every vertical
// x from the first y to the last, unless `skip` says otherwise. Each
// corner lists the lines through it (within 1 point).
struct TestGrid {
    std::vector<double> xs;
    std::vector<double> ys;
    QXDocxTableRulingLineArray lines;

    void addHorizontal(double y, double x0, double x1) { lines.push_back(rulingLine({x0, y}, {x1, y})); }
    void addVertical(double x, double y0, double y1) { lines.push_back(rulingLine({x, y0}, {x, y1})); }

    std::vector<std::vector<QXDocxTableCorner>> corners() const
    {
        std::vector<std::vector<QXDocxTableCorner>> rows;
        for (double y : ys) {
            std::vector<QXDocxTableCorner> row;
            for (double x : xs) {
                QXDocxTableCorner corner;
                corner.point = {x, y};
                for (const auto& line : lines) {
                    const bool through = line->min_x() - 1 <= x && x <= line->max_x() + 1 && line->min_y() - 1 <= y &&
                                         y <= line->max_y() + 1;
                    if (through)
                        corner.tableLines.push_back(line);
                }
                row.push_back(corner);
            }
            rows.push_back(row);
        }
        return rows;
    }

    QXDocxTableSource source() const
    {
        QXDocxTableSource area;
        area.tablePoints = corners();
        area.bounds = Rect(xs.front(), ys.front(), xs.back() - xs.front(), ys.back() - ys.front());
        for (const auto& line : lines) {
            for (const auto& path : line->allRunPathArray())
                area.allRunPathArray.push_back(path);
        }
        return area;
    }
};

// A full grid: every horizontal and vertical line drawn whole.
inline TestGrid fullGrid(std::vector<double> xs, std::vector<double> ys)
{
    TestGrid grid{std::move(xs), std::move(ys), {}};
    for (double y : grid.ys)
        grid.addHorizontal(y, grid.xs.front(), grid.xs.back());
    for (double x : grid.xs)
        grid.addVertical(x, grid.ys.front(), grid.ys.back());
    return grid;
}

} // namespace rz::test
