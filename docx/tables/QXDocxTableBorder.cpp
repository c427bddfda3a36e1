#include "docx/tables/QXDocxTableBorder.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/graphics/QXLineUtilites.h"
#include "docx/tables/QXDocxTableBorderStyle.h"
#include "docx/tables/QXDocxTableLimits.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

bool holds(const QXDocxTableRulingLineArray& lines, const QXDocxTableRulingLinePtr& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int darkness(const QXDocx_Color& color)
{
    return color.red + color.green + color.blue + color.alpha;
}

} // namespace

QXDocxTableBorder::QXDocxTableBorder(const QXDocxTableCorner& point1, const QXDocxTableCorner& point2,
                                     bool isHorizontal)
    : isHorizontal_(isHorizontal), borderPoint1_(point1), borderPoint2_(point2)
{
    const Point a = point1.point;
    const Point b = point2.point;
    for (const QXDocxTableRulingLinePtr& line : point1.tableLines) {
        if (!line || line->isHorizontalLine() != isHorizontal || !holds(point2.tableLines, line) ||
            holds(tableLines_, line))
            continue;
        const bool reaches = isHorizontal
                                 ? (line->min_y() > a.y - kQXTableEdgeReach || line->min_y() > b.y - kQXTableEdgeReach)
                                 : (line->min_x() > a.x - kQXTableEdgeReach || line->min_x() > b.x - kQXTableEdgeReach);
        if (reaches)
            tableLines_.push_back(line);
    }

    // A box is taken as it is while the union has no width yet.
    for (const QXDocxTableRulingLinePtr& line : tableLines_) {
        const Rect box = line->boundingBox();
        bounds_ = bounds_.size.width <= 0 ? box : bounds_.unionWith(box);
    }
    if (isHorizontal) {
        borderLength_ = std::fabs(a.x - b.x);
        bounds_.origin.x = std::min(a.x, b.x);
        bounds_.size.width = borderLength_;
    } else {
        borderLength_ = std::fabs(a.y - b.y);
        bounds_.origin.y = std::min(a.y, b.y);
        bounds_.size.height = borderLength_;
    }
}

void QXDocxTableBorder::removeTableLines(const QXDocxTableRulingLineArray& lines)
{
    std::erase_if(tableLines_, [&](const QXDocxTableRulingLinePtr& line) { return holds(lines, line); });
}

void QXDocxTableBorder::initProcessTableLines(const QXDocx_Color& background)
{
    background_ = background;
    const double miniLength =
        std::max(kQXTableEdgeMinOverlap, (borderLength_ - kQXTableEdgeFreeLength) * kQXTableEdgeOverlapFactor);
    const QXDocxTableRulingLineArray children = CreateAllChildTableLines(tableLines_, miniLength, isHorizontal_);
    childLineArray_ = FindTableLines(children, borderPoint1_.point, borderPoint2_.point, miniLength);
    allRunPaths_ = CreateAllRunPathArray(childLineArray_);
    styleLineArray_ = QXDocxTableBorderStyle::CreateStyleLineArray(childLineArray_, borderPoint1_.point,
                                                                   borderPoint2_.point, background_);
}

QXDocx_Border QXDocxTableBorder::borderProperty() const
{
    if (tableLines_.empty()) {
        QXDocx_Border none = QXDocxUtilities::defaultBorder_None();
        none.val = QXDocxBorderNil;
        return none;
    }
    QXDocx_Border border = QXDocxUtilities::defaultBorder_SingleLine();
    border.color = borderColor();
    double gap = 0;
    border.val = QXDocxTableBorderStyle::BorderStyleForTableLines(styleLineArray_, borderPoint1_.point,
                                                                  borderPoint2_.point, background_, &gap);
    const bool largeGap = border.val == QXDocxBorderThickThinLargeGap || border.val == QXDocxBorderThinThickLargeGap ||
                          border.val == QXDocxBorderThinThickThinLargeGap;
    border.sz = static_cast<float>(largeGap && gap > kQXTableMinGapSize ? gap : borderWidth(border.color));
    return border;
}

QXDocx_Color QXDocxTableBorder::borderColor() const
{
    int best = kQXTableLightestColorSum;
    std::optional<QXDocx_Color> found;
    for (const QXDocxTableRulingLinePtr& line : styleLineArray_) {
        if (!line->initRunPath())
            continue;
        const std::optional<Color> stroke = line->tableLineColor();
        if (!stroke)
            continue;
        const QXDocx_Color color = QXDocxUtilities::QXDocxColorFromCGColor(stroke);
        if (darkness(color) < best) {
            best = darkness(color);
            found = color;
        }
    }
    if (found)
        return *found;
    for (const QXDocxTableRulingLinePtr& line : styleLineArray_) {
        const QXDocxRunPathPtr& path = line->initRunPath();
        if (!path || !path->pictInfo() || !path->pictInfo()->filled())
            continue;
        const Rect& box = path->boundingBox();
        if (!(box.size.width < kQXTableThinFill || box.size.height < kQXTableThinFill))
            continue;
        const QXDocx_Color color = QXDocxUtilities::QXDocxColorFromCGColor(path->pictInfo()->fillcolor());
        if (darkness(color) < best) {
            best = darkness(color);
            found = color;
        }
    }
    return found.value_or(QXDocx_Color{0, 0, 0, 1});
}

double QXDocxTableBorder::borderWidth(const QXDocx_Color& color) const
{
    std::vector<QXDocxRunPathPtr> paths;
    for (const QXDocxTableRulingLinePtr& line : styleLineArray_) {
        const QXDocxRunPathPtr& path = line->initRunPath();
        if (path && path->pictInfo() && QXColorIsNearlyEqual(path->pictInfo()->strokeColorQX(), color))
            paths.push_back(path);
    }
    return QXDocxRunPath::MaxBorderWidthForRunPaths(paths);
}

QXDocxTableRulingLineArray QXDocxTableBorder::CreateAllChildTableLines(const QXDocxTableRulingLineArray& lines,
                                                                       double miniLength, bool isHorizontal)
{
    const double limit = std::min(miniLength, kQXTableChildLineMaxLimit);
    QXDocxTableRulingLineArray result;
    const auto take = [&](const QXDocxTableRulingLinePtr& line) {
        if (line && line->isHorizontalLine() == isHorizontal && !line->isShortLine(limit) && !holds(result, line))
            result.push_back(line);
    };
    for (const QXDocxTableRulingLinePtr& line : lines) {
        if (!line)
            continue;
        const QXDocxTableRulingLineArray pieces = line->subLineArray();
        if (pieces.empty()) {
            take(line);
        } else {
            for (const QXDocxTableRulingLinePtr& piece : pieces)
                take(piece);
        }
    }
    return result;
}

std::vector<QXDocxRunPathPtr> QXDocxTableBorder::CreateAllRunPathArray(const QXDocxTableRulingLineArray& lines)
{
    std::vector<QXDocxRunPathPtr> paths;
    for (const QXDocxTableRulingLinePtr& line : lines) {
        for (const QXDocxRunPathPtr& path : line->allRunPathArray()) {
            if (path && std::find(paths.begin(), paths.end(), path) == paths.end())
                paths.push_back(path);
        }
    }
    return paths;
}

QXDocxTableRulingLineArray QXDocxTableBorder::FindTableLines(const QXDocxTableRulingLineArray& lines, Point p1,
                                                             Point p2, double miniLength)
{
    const double minimum = std::max(kQXTableEdgeMinOverlap, miniLength);
    std::vector<std::pair<float, QXDocxTableRulingLinePtr>> found;
    for (const QXDocxTableRulingLinePtr& line : lines) {
        if (!line)
            continue;
        const auto overlap = static_cast<float>(
            QXParallelSegmentOverlap(line->startPoint(), line->endPoint(), p1, p2, kQXTableOverlapTolerance));
        if (overlap > minimum)
            found.emplace_back(overlap, line);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QXDocxTableRulingLineArray result;
    for (auto& entry : found)
        result.push_back(std::move(entry.second));
    return result;
}

} // namespace rz
