#include "docx/tables/QXDocxTableArea.h"

#include "docx/layout/QXDocxManager.h"
#include "docx/tables/QXDocxTableDetectionLimits.h"
#include "docx/tables/QXDocxTableManager.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace rz {

using namespace tabledetect;

namespace {

void appendPathsOf(const QXDocxTableLine& line, QXDocxRunPathArray& paths)
{
    auto add = [&](const QXDocxRunPathPtr& path) {
        if (path && std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    };
    for (const auto& path : line.allRunPathArray())
        add(path);
    add(line.initRunPath());
    for (const auto& piece : line.subLineArray())
        appendPathsOf(*piece, paths);
}

} // namespace

QXDocxTableAreaPtr QXDocxTableArea::initWithLines(const QXDocxTableLineArray& lines)
{
    auto area = std::make_shared<QXDocxTableArea>();
    area->bounds_ = QXDocxTableLine::BoundsOfTableLines(lines);
    area->tableLines_ = lines;
    for (const auto& line : lines)
        appendPathsOf(*line, area->allRunPathArray_);
    bool first = true;
    for (const auto& path : area->allRunPathArray_) {
        const std::uint64_t lo = path->pdfScanIndex();
        const std::uint64_t hi = path->pdfScanIndex() + path->pdfScanLength();
        area->minPDFScanIndex_ = first ? lo : std::min(area->minPDFScanIndex_, lo);
        area->maxPDFScanIndex_ = first ? hi : std::max(area->maxPDFScanIndex_, hi);
        first = false;
    }
    return area;
}

QXDocxTableAreaPtr QXDocxTableArea::copy() const
{
    auto area = std::make_shared<QXDocxTableArea>(*this);
    area->intersectPointArray_.clear();
    return area;
}

bool QXDocxTableArea::isValidTableLines() const
{
    return tableLines_.size() >= kAreaMinLineCount && bounds_.width() >= kAreaMinSide &&
           bounds_.height() >= kAreaMinSide;
}

void QXDocxTableArea::setAllTableLinesInvalid()
{
    for (const auto& line : tableLines_)
        line->setIsInvalid(true);
    for (const auto& line : tableLines_removed_)
        line->setIsInvalid(true);
    for (const auto& sub : allSubAreaArray_)
        sub->setAllTableLinesInvalid();
}

bool QXDocxTableArea::addRunText(const QXDocxRunTextPtr& text)
{
    if (!text || std::find(allRunTextArray_.begin(), allRunTextArray_.end(), text) != allRunTextArray_.end())
        return true;
    const std::uint64_t lo = text->pdfScanIndex();
    const std::uint64_t hi = text->pdfScanIndex() + text->pdfScanLength();
    if (allRunTextArray_.empty()) {
        minTextPDFScanIndex_ = lo;
        maxTextPDFScanIndex_ = hi;
    } else {
        minTextPDFScanIndex_ = std::min(minTextPDFScanIndex_, lo);
        maxTextPDFScanIndex_ = std::max(maxTextPDFScanIndex_, hi);
    }
    allRunTextArray_.push_back(text);
    return true;
}

QXDocxTableAreaPtr QXDocxTableArea::isIntersectAreas(const QXDocxTableAreaArray& areas, double factor) const
{
    const Rect grown = bounds_.insetBy(-factor, -factor);
    for (const auto& area : areas) {
        if (area.get() != this && area->bounds().intersects(grown))
            return area;
    }
    return nullptr;
}

void QXDocxTableArea::caculateIntersectionPoints()
{
    intersectPointArray_ = QXDocxTableManager::ZVFindIntersectionPoints(tableLines_);
    std::vector<Point> positions;
    positions.reserve(intersectPointArray_.size());
    for (const auto& point : intersectPointArray_)
        positions.push_back(point->point());
    std::vector<QXDocxTableLineArray> through = QXDocxTableManager::FindInterTableLines(tableLines_, positions);
    for (std::size_t i = 0; i < intersectPointArray_.size(); ++i)
        intersectPointArray_[i]->setTableLines(std::move(through[i]));
}

bool QXDocxTableArea::isGraphChart() const
{
    // A plotted curve or shape spread over a large part of the area.
    for (const auto& path : allRunPathArray_excluded_) {
        if (!path->isHaveCurve() && path->runLineType() != QXDocxRunPath::kLineTypeOther)
            continue;
        const Rect box = path->boundingBox();
        if (box.contains(bounds_))
            continue;
        const Rect common = box.intersection(bounds_);
        if (common.isNull())
            continue;
        if (common.width() > kChartCoverShare * bounds_.width() || common.height() > kChartCoverShare * bounds_.height())
            return true;
    }

    // Bars: filled lines starting on one axis, some shorter than the area.
    QXDocxTableLineArray strokedH, strokedV, filledH, filledV;
    for (const auto& line : tableLines_) {
        if (!(line->lineLength() > kChartMinLineLength))
            continue;
        if (line->isStroked())
            (line->isHorizontalLine() ? strokedH : strokedV).push_back(line);
        if (line->isFilled())
            (line->isHorizontalLine() ? filledH : filledV).push_back(line);
    }
    const auto filledExcluded = std::count_if(allRunPathArray_excluded_.begin(), allRunPathArray_excluded_.end(),
                                              [](const auto& p) { return p->pictInfo() && p->pictInfo()->filled(); });
    if (filledExcluded < static_cast<long>(kChartMinFilledPaths))
        return false;
    auto barsOn = [&](const QXDocxTableLineArray& stroked, const QXDocxTableLineArray& filled, double extent) {
        if (static_cast<long>(stroked.size()) - static_cast<long>(filled.size()) > kChartMaxStrokedSurplus)
            return false;
        if (!QXDocxTableLine::IsHaveSameStartLines(filled))
            return false;
        return std::any_of(filled.begin(), filled.end(),
                           [&](const auto& l) { return l->lineLength() < kChartBarShare * extent; });
    };
    return barsOn(strokedH, filledH, bounds_.width()) || barsOn(strokedV, filledV, bounds_.height());
}

bool QXDocxTableArea::isValidTableArea()
{
    // Short lines: too many of them and this is no table; else they go.
    QXDocxTableLineArray shortLines;
    for (const auto& line : tableLines_) {
        if (line->lineLength() < kAreaShortLineLength)
            shortLines.push_back(line);
    }
    if (shortLines.size() > tableLines_.size() / 2)
        return false;
    if (!shortLines.empty()) {
        std::erase_if(tableLines_, [&](const auto& l) {
            return std::find(shortLines.begin(), shortLines.end(), l) != shortLines.end();
        });
        tableLines_removed_.insert(tableLines_removed_.end(), shortLines.begin(), shortLines.end());
    }

    if (isGraphChart())
        return false;

    caculateIntersectionPoints();
    const std::size_t count = intersectPointArray_.size();
    if (count <= kAreaMinPointCount)
        return false;
    if (count <= kAreaTextBoxMaxPoints) {
        for (const auto& path : allRunPathArray_)
            QXDocxManager::sharedInstance().addRunPathAsTextBox(path);
        return false;
    }

    // Rows of crossing points: at least two, all as long as the first, and
    // at least two points each, so every row of the table has a cell.
    tablePoints_ = SortTablePointsGroup(intersectPointArray_);
    if (tablePoints_.size() < kAreaMinPointRows || tablePoints_.front().size() < kAreaMinPointsPerRow)
        return false;
    const std::size_t width = tablePoints_.front().size();
    if (!std::all_of(tablePoints_.begin(), tablePoints_.end(), [&](const auto& row) { return row.size() == width; }))
        return false;

    // Two filled rectangles, one framing the other, are a framed box.
    if (allRunPathArray_.size() == 2) {
        const auto& p = allRunPathArray_[0];
        const auto& q = allRunPathArray_[1];
        if (p->pictInfo() && q->pictInfo() && p->pictInfo()->filled() && q->pictInfo()->filled()) {
            const Rect a = p->boundingBox();
            const Rect b = q->boundingBox();
            const double d =
                std::max({p->pictInfo()->strokeweight(), q->pictInfo()->strokeweight(), kFilledPairMinInset});
            if (!a.intersects(b))
                return false;
            if (a.insetBy(d, d).contains(b) || b.insetBy(d, d).contains(a))
                return false;
        }
    }
    return true;
}

std::string QXDocxTableArea::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<QXDocxTableArea: " + std::string(address) + ":[minPDFScanIndex:" + formatUnsigned(minPDFScanIndex_) +
           ", maxPDFScanIndex:" + formatUnsigned(maxPDFScanIndex_) + "][bounds:{{" + formatShortest(bounds_.origin.x) +
           ", " + formatShortest(bounds_.origin.y) + "}, {" + formatShortest(bounds_.size.width) + ", " +
           formatShortest(bounds_.size.height) + "}}]>";
}

// --- Class operations ---

QXDocxTableAreaArray QXDocxTableArea::FindIntersectTableAreas(const QXDocxTableAreaArray& areas)
{
    if (areas.empty())
        return {};
    QXDocxTableAreaArray joined{areas.front()};
    QXDocxTableAreaArray rest(areas.begin() + 1, areas.end());
    while (true) {
        auto it = std::find_if(rest.begin(), rest.end(),
                               [&](const auto& a) { return a->isIntersectAreas(joined, kAreaJoinDistance) != nullptr; });
        if (it == rest.end())
            break;
        joined.push_back(*it);
        rest.erase(it);
    }
    return joined;
}

std::vector<QXDocxTableAreaArray> QXDocxTableArea::JoinIntersectTableAreas(const QXDocxTableAreaArray& areas)
{
    const std::size_t n = areas.size();
    std::vector<std::size_t> parent(n);
    std::iota(parent.begin(), parent.end(), std::size_t{0});
    auto find = [&](std::size_t i) {
        while (parent[i] != i) {
            parent[i] = parent[parent[i]];
            i = parent[i];
        }
        return i;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const Rect grown = areas[i]->bounds().insetBy(-kAreaJoinDistance, -kAreaJoinDistance);
        for (std::size_t j = 0; j < i; ++j) {
            if (find(i) != find(j) && areas[j]->bounds().intersects(grown)) {
                const std::size_t a = find(i), b = find(j);
                parent[std::max(a, b)] = std::min(a, b);
            }
        }
    }
    std::vector<QXDocxTableAreaArray> sets;
    std::vector<std::size_t> setOfRoot(n, n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t root = find(i);
        if (setOfRoot[root] == n) {
            setOfRoot[root] = sets.size();
            sets.emplace_back();
        }
        sets[setOfRoot[root]].push_back(areas[i]);
    }
    return sets;
}

QXDocxTableAreaArray QXDocxTableArea::FindTable(const QXDocxTableArea& X, const QXDocxTableAreaArray& subTables)
{
    QXDocxTableAreaArray inside;
    for (const auto& area : subTables) {
        if (area.get() != &X && X.bounds().contains(area->bounds()))
            inside.push_back(area);
    }
    return inside;
}

QXDocxTablePointArray QXDocxTableArea::FindSameXYTablePoints(const QXDocxTablePointArray& points, bool compareY)
{
    if (points.size() <= 1)
        return points;
    const Point first = points.front()->point();
    QXDocxTablePointArray same{points.front()};
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Point p = points[i]->point();
        if (std::fabs(compareY ? p.y - first.y : p.x - first.x) < kPointRowTolerance)
            same.push_back(points[i]);
    }
    return same;
}

std::vector<QXDocxTablePointArray> QXDocxTableArea::SortTablePointsGroup(const QXDocxTablePointArray& points)
{
    QXDocxTablePointArray sorted = points;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a->point().y < b->point().y; });
    std::vector<QXDocxTablePointArray> rows;
    // Sorted by y, the points of the topmost remaining point's row are the
    // ones up to 5.1 below it, which follow it directly.
    std::size_t start = 0;
    while (start < sorted.size()) {
        const double top = sorted[start]->point().y;
        std::size_t end = start + 1;
        while (end < sorted.size() && std::fabs(sorted[end]->point().y - top) < kPointRowTolerance)
            ++end;
        QXDocxTablePointArray row(sorted.begin() + static_cast<std::ptrdiff_t>(start),
                                  sorted.begin() + static_cast<std::ptrdiff_t>(end));
        std::stable_sort(row.begin(), row.end(), [](const auto& a, const auto& b) { return a->point().x < b->point().x; });
        rows.push_back(std::move(row));
        start = end;
    }
    return rows;
}

} // namespace rz
