#include "docx/tables/QXDocxTableManager.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/graphics/QXLineUtilites.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/layout/QXDocxRunText.h"
#include "docx/tables/QXDocxTableDetectionLimits.h"
#include "docx/tables/ZVScanLine.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <utility>

namespace rz {

using namespace tabledetect;

namespace {

std::unique_ptr<QXDocxTableManager>& managerSlot()
{
    static std::unique_ptr<QXDocxTableManager> slot;
    return slot;
}

template <class T>
bool managerHolds(const std::vector<std::shared_ptr<T>>& list, const std::shared_ptr<T>& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// What a subpath drawing an axis-aligned rectangle (move, three or four
// line-tos, maybe a close) stands for among ruling lines: a thin bar (one
// side no wider than a ruling stroke, the other more than twice as long)
// is a rule painted as a filled rectangle, and stands for its centre line;
// a small block (both sides that narrow) is the joint where such rules
// meet, and stands for no line. Cut side by side, their short sides would
// count as short lines and sink the table. Anything else is cut as drawn.
enum class SubpathKind { AsDrawn, Bar, Joint };

SubpathKind rectangleSubpathKind(const std::vector<PathElement>& subpath, std::pair<Point, Point>* centre)
{
    std::vector<Point> points;
    for (const PathElement& e : subpath) {
        if (e.type == PathElementType::MoveToPoint || e.type == PathElementType::AddLineToPoint)
            points.push_back(e.points[0]);
        else if (e.type != PathElementType::CloseSubpath)
            return SubpathKind::AsDrawn;
    }
    if (points.size() == 5 && points[4] == points[0])
        points.pop_back();
    if (points.size() != 4)
        return SubpathKind::AsDrawn;
    if (!QXLineUtilites::IsHorizontalRectange(points))
        return SubpathKind::AsDrawn;
    double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (Point p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double w = maxX - minX, h = maxY - minY;
    if (w <= kMaxRulingStrokeWeight && h <= kMaxRulingStrokeWeight)
        return SubpathKind::Joint;
    if (h <= kMaxRulingStrokeWeight && w > 2 * h) {
        *centre = {Point{minX, (minY + maxY) / 2}, Point{maxX, (minY + maxY) / 2}};
        return SubpathKind::Bar;
    }
    if (w <= kMaxRulingStrokeWeight && h > 2 * w) {
        *centre = {Point{(minX + maxX) / 2, minY}, Point{(minX + maxX) / 2, maxY}};
        return SubpathKind::Bar;
    }
    return SubpathKind::AsDrawn;
}

// Cuts the straight pieces of one subpath (from its move-to) into lines:
// every piece longer than 1 of an open subpath, and the closing side of a
// closed one.
void cutSubpath(const std::vector<PathElement>& subpath, QXDocxTableLineArray& lines)
{
    std::pair<Point, Point> centre;
    switch (rectangleSubpathKind(subpath, &centre)) {
    case SubpathKind::Bar:
        lines.push_back(std::make_shared<QXDocxTableLine>(centre.first, centre.second));
        return;
    case SubpathKind::Joint:
        return;
    case SubpathKind::AsDrawn:
        break;
    }
    bool open = false;
    Point start{};
    Point last{};
    for (const PathElement& e : subpath) {
        switch (e.type) {
        case PathElementType::MoveToPoint:
            open = true;
            start = last = e.points[0];
            break;
        case PathElementType::AddLineToPoint: {
            const Point p = e.points[0];
            if (open && QXPointDistance(last, p) > kMinCutSegmentLength)
                lines.push_back(std::make_shared<QXDocxTableLine>(last, p));
            last = p;
            break;
        }
        case PathElementType::CloseSubpath:
            if (open && QXPointDistance(last, start) > kMinCutSegmentLength)
                lines.push_back(std::make_shared<QXDocxTableLine>(last, start));
            open = false;
            start = last = Point{};
            break;
        case PathElementType::AddQuadCurveToPoint:
        case PathElementType::AddCurveToPoint:
            open = false;
            start = last = Point{};
            break;
        }
    }
}

// Cuts one path into table lines, subpath by subpath (a subpath runs from
// a move-to up to the next move-to; a close ends its straight pieces).
QXDocxTableLineArray cutPath(const QXDocxRunPathPtr& path)
{
    QXDocxTableLineArray lines;
    std::vector<PathElement> subpath;
    for (const PathElement& e : path->runCGPath().elements()) {
        if (e.type == PathElementType::MoveToPoint && !subpath.empty()) {
            cutSubpath(subpath, lines);
            subpath.clear();
        }
        subpath.push_back(e);
    }
    if (!subpath.empty())
        cutSubpath(subpath, lines);
    return lines;
}

std::int64_t indexCell(double v, double size)
{
    return static_cast<std::int64_t>(std::clamp(std::floor(v / size), -1.0e6, 1.0e6));
}

std::uint64_t indexKey(std::int64_t cx, std::int64_t cy)
{
    return (static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint64_t>(cy & 0xffffffff);
}

} // namespace

QXDocxTableManager& QXDocxTableManager::sharedInstance()
{
    auto& slot = managerSlot();
    if (!slot)
        slot = std::make_unique<QXDocxTableManager>();
    return *slot;
}

void QXDocxTableManager::destory()
{
    managerSlot().reset();
}

QXDocxTableManager::QXDocxTableManager() : pgBorders_(QXDocxUtilities::defaultPageBordersNone()) {}

void QXDocxTableManager::begainPage()
{
    pgBorders_offsetFrom_ = 0;
    pgBorders_ = QXDocxUtilities::defaultPageBordersNone();
    allSampleRunPaths_ = {};
    allTableLines_ = {};
}

void QXDocxTableManager::endPage()
{
    begainPage();
}

bool QXDocxTableManager::addRunPathIfNeed(const QXDocxRunPathPtr& path)
{
    if (!path || path->isHaveCurve())
        return false;
    if (path->pictInfo() && path->pictInfo()->strokeweight() > kMaxRulingStrokeWeight)
        return false;
    path->setIsTableLine(true);
    bool moved = false;
    Point last{};
    for (const PathElement& e : path->runCGPath().elements()) {
        switch (e.type) {
        case PathElementType::MoveToPoint:
            moved = true;
            last = e.points[0];
            break;
        case PathElementType::AddLineToPoint:
            if (!moved || !QXIsAxisAlignedSegment(last, e.points[0]))
                path->setIsTableLine(false);
            else
                last = e.points[0];
            break;
        case PathElementType::AddQuadCurveToPoint:
        case PathElementType::AddCurveToPoint:
            path->setIsTableLine(false);
            break;
        case PathElementType::CloseSubpath:
            moved = false;
            last = Point{};
            break;
        }
        if (!path->isTableLine())
            break;
    }
    if (path->isTableLine() && !managerHolds(allSampleRunPaths_, path))
        allSampleRunPaths_.push_back(path);
    return true;
}

QXDocxTableLineArray QXDocxTableManager::creatTableLines()
{
    QXDocxTableLineArray result;
    for (const auto& path : allSampleRunPaths_) {
        QXDocxTableLineArray lines = cutPath(path);
        if (lines.empty()) {
            path->setIsTableLine(false);
            continue;
        }
        for (const auto& line : lines) {
            line->setInitRunPath(path);
            line->setAllRunPathArray({path});
            line->updateLineInfo();
            result.push_back(line);
        }
    }
    return result;
}

bool QXDocxTableManager::detectPageFrame(QXDocxTableLineArray& lines)
{
    const QXDocxTableLineArray frame = QXDocxTableLine::FindRemoveFrameLinesIfNeed(lines);
    if (frame.empty())
        return false;
    pgBorders_offsetFrom_ = 0;
    const bool strokeOnly = std::all_of(frame.begin(), frame.end(), [](const auto& l) {
        const auto& path = l->initRunPath();
        return path && path->pictInfo() && path->pictInfo()->stroked() && !path->pictInfo()->filled();
    });
    const Rect b = QXDocxTableLine::BoundsOfTableLines(frame);
    const float frameArea = static_cast<float>(b.width() * b.height());
    const float pageArea = pageSize_.w * pageSize_.h;
    auto removeFrame = [&] { std::erase_if(lines, [&](const auto& l) { return managerHolds(frame, l); }); };

    if (strokeOnly && pageSize_.w > kFrameMinPageSide && pageSize_.h > kFrameMinPageSide &&
        frameArea > kFrameBorderMinAreaShare * pageArea && frameArea < kFrameBorderMaxAreaShare * pageArea) {
        const QXDocxTableLine& top = *frame[0];
        const QXDocxTableLine& left = *frame[1];
        const QXDocxTableLine& right = *frame[2];
        const QXDocxTableLine& bottom = *frame[3];
        QXDocx_Border border = QXDocxUtilities::defaultBorder_SingleLine();
        border.sz = static_cast<float>(top.initRunPath()->pictInfo()->strokeweight());
        border.color = top.initRunPath()->pictInfo()->strokeColorQX();
        pgBorders_offsetFrom_ = 2;
        // Each side's space is measured from its own page edge.
        pgBorders_.top = border;
        pgBorders_.top.space = top.min_y();
        pgBorders_.left = border;
        pgBorders_.left.space = left.min_x();
        pgBorders_.bottom = border;
        pgBorders_.bottom.space = std::max(0.0f, pageSize_.h - bottom.max_y());
        pgBorders_.right = border;
        pgBorders_.right.space = std::max(0.0f, pageSize_.w - right.max_x());
        removeFrame();
        for (const auto& line : frame)
            line->setIsInvalid(false);
        return true;
    }
    if (frameArea > kFrameDropAreaShare * pageArea) {
        removeFrame();
        return true;
    }
    return false;
}

QXDocxTableAreaArray QXDocxTableManager::createAllTableAreas()
{
    allTableLines_ = creatTableLines();
    QXDocxTableLineArray lines = allTableLines_;

    // The crossing grid of a page grows with the square of its lines: a
    // page drawn with very many segments is not searched.
    if (lines.size() > kMaxTableLinesPerPage) {
        for (const auto& line : lines)
            line->setIsInvalid(true);
        return {};
    }

    if (lines.size() > kFrameMinLineCount)
        detectPageFrame(lines);

    if (lines.size() <= 2) {
        for (const auto& line : lines)
            line->setIsInvalid(true);
        return {};
    }

    // The page's text tells the rules of rows from double lines.
    std::vector<Rect> textBoxes;
    if (superPage_) {
        for (const QXDocxRunTextPtr& run : superPage_->allRunTextArray())
            if (run && !run->isBankSpaceRunText())
                textBoxes.push_back(run->displayRect());
    }
    QXDocxTableAreaArray accepted;
    for (const auto& group : QXDocxTableLine::FindIntersectLinesGroups(lines, &textBoxes)) {
        QXDocxTableAreaPtr area =
            QXDocxTableArea::initWithLines(QXDocxTableLine::MergeParallelLinesIfNeed(group, true, &textBoxes));
        if (area->isValidTableLines())
            accepted.push_back(area);
        else
            area->setAllTableLinesInvalid();
    }

    // Nesting: the largest area takes the areas inside it.
    auto areaOf = [](const QXDocxTableAreaPtr& a) { return a->bounds().width() * a->bounds().height(); };
    std::stable_sort(accepted.begin(), accepted.end(), [&](const auto& a, const auto& b) { return areaOf(a) > areaOf(b); });
    QXDocxTableAreaArray result;
    while (!accepted.empty()) {
        QXDocxTableAreaPtr outer = accepted.front();
        accepted.erase(accepted.begin());
        QXDocxTableAreaArray inner = QXDocxTableArea::FindTable(*outer, accepted);
        if (!inner.empty()) {
            std::erase_if(accepted, [&](const auto& a) { return managerHolds(inner, a); });
            outer->setAllSubAreaArray(std::move(inner));
        }
        result.push_back(outer);
    }
    if (result.size() >= 2)
        std::stable_sort(result.begin(), result.end(), [&](const auto& a, const auto& b) { return areaOf(a) < areaOf(b); });
    return result;
}

QXDocxRunPathArray QXDocxTableManager::clearTableLineInvalidRunPaths()
{
    QXDocxRunPathArray valid;
    QXDocxRunPathArray invalid;
    for (const auto& line : allTableLines_) {
        QXDocxRunPathArray& target = line->isInvalid() ? invalid : valid;
        for (const auto& path : line->allRunPathArray()) {
            if (!managerHolds(target, path))
                target.push_back(path);
        }
    }
    QXDocxRunPathArray returned;
    for (const auto& path : invalid) {
        if (!managerHolds(valid, path)) {
            path->setIsTableLine(false);
            continue;
        }
        // Part of this path is a table border: its other segments would be
        // lost with it, so they come back as a path of their own.
        Path segments;
        std::vector<Point> points;
        for (const auto& line : allTableLines_) {
            if (!line->isInvalid() || line->initRunPath() != path)
                continue;
            segments.moveTo(line->startPoint());
            segments.lineTo(line->endPoint());
            points = {line->startPoint(), line->endPoint()};
        }
        if (segments.isEmpty())
            continue;
        auto rest = std::make_shared<QXDocxRunPath>(*path);
        rest->setRunCGPath(segments);
        rest->setIsTableLine(false);
        if (segments.elements().size() == 2)
            rest->setRunLinePointArray(points);
        else
            rest->setRunLinePointArray(std::nullopt);
        returned.push_back(rest);
    }
    return returned;
}

// --- Line questions ---

std::vector<QXDocxTablePointPtr> QXDocxTableManager::ZVFindIntersectionPoints(const QXDocxTableLineArray& lines)
{
    if (lines.empty())
        return {};
    std::vector<ZVScanLine::Segment> segments;
    segments.reserve(lines.size());
    for (const auto& line : lines) {
        ZVScanLine::Segment s;
        s.startFlag = ZVScanLine::kTypeShow;
        s.x1 = static_cast<float>(line->startPoint().x);
        s.y1 = static_cast<float>(line->startPoint().y);
        s.endFlag = ZVScanLine::kTypeShow;
        s.x2 = static_cast<float>(line->endPoint().x);
        s.y2 = static_cast<float>(line->endPoint().y);
        segments.push_back(s);
    }
    ZVScanLine scan(std::move(segments), kCrossingTolerance, kMaxCrossingsPerArea);
    scan.sweep();
    std::vector<QXDocxTablePointPtr> points;
    points.reserve(scan.results().size());
    for (const auto& r : scan.results())
        points.push_back(std::make_shared<QXDocxTablePoint>(r.type, Point{r.x, r.y}));
    return points;
}

QXDocxTableLineArray QXDocxTableManager::FindInterTableLines(const QXDocxTableLineArray& lines, Point point)
{
    QXDocxTableLineArray through;
    for (const auto& line : lines) {
        if (QXIsPointOnSegment(point, line->startPoint(), line->endPoint(), kPointOnLineTolerance))
            through.push_back(line);
    }
    return through;
}

std::vector<QXDocxTableLineArray> QXDocxTableManager::FindInterTableLines(const QXDocxTableLineArray& lines,
                                                                          const std::vector<Point>& points)
{
    // A point can be on a line only within the line's box grown by the
    // larger of the tolerance and the half-width of the ellipse the
    // on-segment test allows (distances to both ends summing to within 1
    // of the length).
    constexpr double kCell = 30.0;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells;
    std::vector<std::size_t> everywhere;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QXDocxTableLine& line = *lines[i];
        const double length = QXPointDistance(line.startPoint(), line.endPoint());
        const double margin = std::max(kPointOnLineTolerance, std::sqrt((2 * length + 1) / 4)) + 1;
        const double minX = std::min(line.startPoint().x, line.endPoint().x) - margin;
        const double maxX = std::max(line.startPoint().x, line.endPoint().x) + margin;
        const double minY = std::min(line.startPoint().y, line.endPoint().y) - margin;
        const double maxY = std::max(line.startPoint().y, line.endPoint().y) + margin;
        if (!std::isfinite(minX + maxX + minY + maxY)) {
            everywhere.push_back(i);
            continue;
        }
        const std::int64_t x0 = indexCell(minX, kCell), x1 = indexCell(maxX, kCell);
        const std::int64_t y0 = indexCell(minY, kCell), y1 = indexCell(maxY, kCell);
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4096) {
            everywhere.push_back(i);
            continue;
        }
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy)
                cells[indexKey(cx, cy)].push_back(i);
        }
    }
    std::vector<QXDocxTableLineArray> result(points.size());
    std::vector<std::size_t> candidates;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const Point p = points[k];
        candidates = everywhere;
        if (std::isfinite(p.x) && std::isfinite(p.y)) {
            const auto it = cells.find(indexKey(indexCell(p.x, kCell), indexCell(p.y, kCell)));
            if (it != cells.end())
                candidates.insert(candidates.end(), it->second.begin(), it->second.end());
        }
        std::sort(candidates.begin(), candidates.end());
        for (std::size_t i : candidates) {
            const QXDocxTableLine& line = *lines[i];
            if (QXIsPointOnSegment(p, line.startPoint(), line.endPoint(), kPointOnLineTolerance))
                result[k].push_back(lines[i]);
        }
    }
    return result;
}

float QXDocxTableManager::LineStartPoint(Point startPoint, Point endPoint, Point point1, Point point2)
{
    return static_cast<float>(QXParallelSegmentOverlap(startPoint, endPoint, point1, point2, kPointOnLineTolerance));
}

QXDocxTableLineArray QXDocxTableManager::FindTableLines(const QXDocxTableLineArray& lines,
                                                        const QXDocxTablePoint& point1,
                                                        const QXDocxTablePoint& point2, double miniLength)
{
    const double minimum = std::max(miniLength, kMinOverlapLength);
    std::vector<std::pair<float, QXDocxTableLinePtr>> found;
    for (const auto& line : lines) {
        const float overlap = LineStartPoint(line->startPoint(), line->endPoint(), point1.point(), point2.point());
        if (overlap > minimum)
            found.emplace_back(overlap, line);
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QXDocxTableLineArray result;
    for (auto& f : found)
        result.push_back(std::move(f.second));
    return result;
}

} // namespace rz
