// The clean-up of a page's path runs: bounds and density of groups, small,
// lone, annotation and background paths, thin shapes to lines, and the
// merging of line pieces and of overlapping rectangles.
#include "docx/graphics/QXDocxRunPath.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace rz {

namespace pathcleanup {

constexpr double f(float value) { return static_cast<double>(value); }

const double kSmallSide = f(8.1f);
const double kSmallHalf = f(4.05f);
const double kMediumSide = f(15.1f);
const double kThinRect = f(5.01f);
const double kThinRectLength = f(10.02f);
const double kThinShape = f(1.01f);
const double kThinShapeLength = f(2.02f);
const double kSameBox = f(0.1f);
const double kThicknessGrowth = f(0.2f);
constexpr double kLoneMargin = 1.1;
// How much of a merged rectangle's union its members may leave uncovered.
const double kUncoveredArea = f(8.1f);

bool meetsByMoreThanOne(const Rect& a, const Rect& b)
{
    const Rect common = a.standardized().intersection(b.standardized());
    return !common.isNull() && common.size.width > 1 && common.size.height > 1;
}

double area(const Rect& r)
{
    return r.isNull() ? 0 : std::fabs(r.size.width * r.size.height);
}

// The area the union of the rectangles covers (each point counted once).
double unionArea(const std::vector<Rect>& rects)
{
    std::vector<double> xs;
    for (const Rect& r : rects) {
        xs.push_back(r.minX());
        xs.push_back(r.maxX());
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    double total = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        const double x0 = xs[i], x1 = xs[i + 1];
        std::vector<std::pair<double, double>> spans;
        for (const Rect& r : rects)
            if (r.minX() <= x0 && r.maxX() >= x1)
                spans.emplace_back(r.minY(), r.maxY());
        std::sort(spans.begin(), spans.end());
        double covered = 0, top = -INFINITY;
        for (const auto& [y0, y1] : spans) {
            const double from = std::max(y0, top);
            if (y1 > from)
                covered += y1 - from;
            top = std::max(top, y1);
        }
        total += covered * (x1 - x0);
    }
    return total;
}

const QXDocxPathInfo& infoOf(const QXDocxRunPath& path)
{
    static const QXDocxPathInfo empty;
    return path.pictInfo() ? *path.pictInfo() : empty;
}

// The colour a path is seen in: its stroke when stroked, else its fill.
const QXDocx_Color& paintColor(const QXDocxRunPath& path)
{
    const QXDocxPathInfo& info = infoOf(path);
    return info.stroked() ? info.strokeColorQX() : info.fillColorQX();
}

void sortByDrawingOrder(std::vector<QXDocxRunPathPtr>& paths)
{
    std::stable_sort(paths.begin(), paths.end(), [](const QXDocxRunPathPtr& a, const QXDocxRunPathPtr& b) {
        return a->pdfScanIndex() < b->pdfScanIndex();
    });
}

bool isLineType(std::int32_t type)
{
    return type == QXDocxRunPath::kLineTypeHorizontal || type == QXDocxRunPath::kLineTypeVertical;
}

} // namespace pathcleanup

namespace PC = pathcleanup;

Rect QXDocxRunPath::BoundsOfRunPaths(const std::vector<QXDocxRunPathPtr>& paths)
{
    Rect bounds = Rect::null();
    for (const QXDocxRunPathPtr& path : paths)
        if (path)
            bounds = bounds.unionWith(path->boundingBox());
    return bounds.isNull() ? Rect::zero() : bounds;
}

std::int64_t QXDocxRunPath::CountOfPoints(const std::vector<QXDocxRunPathPtr>& paths)
{
    std::int64_t count = 0;
    for (const QXDocxRunPathPtr& path : paths)
        if (path)
            count += path->pathPointCount();
    return count;
}

bool QXDocxRunPath::IsVaildImageRunPaths(const std::vector<QXDocxRunPathPtr>& paths)
{
    const Rect bounds = BoundsOfRunPaths(paths);
    return static_cast<double>(CountOfPoints(paths)) >
           std::max(bounds.size.width, bounds.size.height) / PC::kSmallSide + 6;
}

bool QXDocxRunPath::isIntersectRunPaths(const std::vector<QXDocxRunPathPtr>& paths, double dx, double dy) const
{
    if (PC::meetsByMoreThanOne(boundingBox(), BoundsOfRunPaths(paths)))
        return true;
    const Rect grown = boundingBox().insetBy(dx, dy);
    return std::any_of(paths.begin(), paths.end(), [&](const QXDocxRunPathPtr& path) {
        return path && PC::meetsByMoreThanOne(grown, path->boundingBox());
    });
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::FindAnnotionlPaths(const std::vector<QXDocxRunPathPtr>& paths)
{
    std::vector<QXDocxRunPathPtr> found;
    for (const QXDocxRunPathPtr& path : paths)
        if (path && path->isAnnotion())
            found.push_back(path);
    return found;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::FindSmallShapes(const std::vector<QXDocxRunPathPtr>& paths, Size maxSize)
{
    const double maxWidth = std::max(maxSize.width, 0.01);
    const double maxHeight = std::max(maxSize.height, 0.01);
    std::vector<QXDocxRunPathPtr> found;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path)
            continue;
        const Rect r = path->displayRect();
        const bool small = r.size.width < maxWidth && r.size.height < maxHeight;
        const bool sliver = r.size.width < 0.0001 || r.size.height < 0.0001;
        if (small || sliver)
            found.push_back(path);
    }
    return found;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::FindSmallRects(const std::vector<QXDocxRunPathPtr>& paths)
{
    std::vector<QXDocxRunPathPtr> found;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path)
            continue;
        const Rect r = path->displayRect();
        const double larger = std::max(r.size.width, r.size.height);
        const double smaller = std::min(r.size.width, r.size.height);
        if ((larger < PC::kSmallSide && smaller > PC::kSmallHalf) ||
            (larger < PC::kMediumSide && smaller > PC::kSmallSide))
            found.push_back(path);
    }
    return found;
}

bool QXDocxRunPath::isAloneRectWithRunPaths(const std::vector<QXDocxRunPathPtr>& others) const
{
    if (!PC::infoOf(*this).stroked() || runLineType() != kLineTypeRect)
        return false;
    const Rect box = boundingBox().standardized();
    const Rect grown = box.insetBy(-PC::kLoneMargin, -PC::kLoneMargin);
    for (const QXDocxRunPathPtr& other : others) {
        if (!other || other.get() == this)
            continue;
        const Rect o = other->boundingBox().standardized();
        if (o.contains(box) && o.contains(grown))
            continue;
        if (o.intersects(box) || o.intersects(grown))
            return false;
    }
    return true;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::FindAloneRects(const std::vector<QXDocxRunPathPtr>& paths)
{
    std::vector<QXDocxRunPathPtr> alone;
    std::set<const QXDocxRunPath*> found;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path)
            continue;
        std::vector<QXDocxRunPathPtr> others;
        for (const QXDocxRunPathPtr& other : paths)
            if (other && other != path && !found.count(other.get()))
                others.push_back(other);
        if (path->isAloneRectWithRunPaths(others)) {
            alone.push_back(path);
            found.insert(path.get());
        }
    }
    return alone;
}

QXDocxRunPathPtr QXDocxRunPath::FindBigRectangeRunPath(const std::vector<QXDocxRunPathPtr>& paths)
{
    if (paths.size() < 2)
        return nullptr;
    QXDocxRunPathPtr big;
    double bigArea = 0;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path || path->runLineType() != kLineTypeRect)
            continue;
        const QXDocxPathInfo& info = PC::infoOf(*path);
        if (!info.filled())
            continue;
        if (info.stroked() && !QXColorIsNearlyEqual(info.strokeColorQX(), info.fillColorQX()))
            continue;
        const double a = PC::area(path->boundingBox());
        if (!big || a > bigArea) {
            big = path;
            bigArea = a;
        }
    }
    return big;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::FindDuplicateRunPath(const QXDocxRunPathPtr& big,
                                                                  const std::vector<QXDocxRunPathPtr>& paths)
{
    const QXDocx_Color white{255, 255, 255, 255};
    QXDocx_Color background = white;
    bool coloured = false;
    if (big) {
        if (big->runLineType() != kLineTypeSmallRect && big->runLineType() != kLineTypeRect)
            return {};
        const QXDocxPathInfo& info = PC::infoOf(*big);
        if (info.filled() && !QXColorIsNearlyEqual(info.fillColorQX(), white)) {
            background = info.fillColorQX();
            coloured = true;
        }
    }
    std::vector<QXDocxRunPathPtr> candidates, rest;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path)
            continue;
        bool candidate = path->IsEqualColor(background);
        if (candidate && coloured)
            candidate = path->pdfScanIndex() >= big->pdfScanIndex() &&
                        big->boundingBox().standardized().contains(path->boundingBox().standardized());
        (candidate ? candidates : rest).push_back(path);
    }
    std::vector<QXDocxRunPathPtr> found;
    for (const QXDocxRunPathPtr& candidate : candidates) {
        std::vector<QXDocxRunPathPtr> before;
        for (const QXDocxRunPathPtr& other : rest)
            if (other->pdfScanIndex() < candidate->pdfScanIndex())
                before.push_back(other);
        if (!candidate->hideRunPaths(before))
            found.push_back(candidate);
    }
    return found;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::ConvertRect2LineIfNeed(const std::vector<QXDocxRunPathPtr>& paths)
{
    std::vector<QXDocxRunPathPtr> result;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path || PC::isLineType(path->runLineType())) {
            result.push_back(path);
            continue;
        }
        const bool rect = path->runLineType() == kLineTypeSmallRect || path->runLineType() == kLineTypeRect;
        const double thin = rect ? PC::kThinRect : PC::kThinShape;
        const double longer = rect ? PC::kThinRectLength : PC::kThinShapeLength;
        const Rect box = path->boundingBox().standardized();
        const bool vertical = box.size.width < thin && box.size.height > longer;
        const bool horizontal = !vertical && box.size.height < thin && box.size.width > longer;
        result.push_back(vertical || horizontal ? CreateWithOverlapLines({path}) : path);
    }
    return result;
}

QXDocxRunPathPtr QXDocxRunPath::CreateWithOverlapLines(const std::vector<QXDocxRunPathPtr>& group)
{
    if (group.empty())
        return nullptr;
    QXDocxRunPathPtr carrier = group.back();
    for (const QXDocxRunPathPtr& member : group)
        if (member->runLineType() != kLineTypeSmallRect) {
            carrier = member;
            break;
        }
    const Rect box = BoundsOfRunPaths(group);
    if (!carrier->pictInfo())
        carrier->setPictInfo(std::make_shared<QXDocxPathInfo>());
    QXDocxPathInfo& info = *carrier->pictInfo();
    if (info.filled() && !info.stroked()) {
        info.setStrokeAlpha(info.fillAlpha());
        info.setStrokecolor(info.fillcolor());
        info.setStrokeColorQX(info.fillColorQX());
    }
    info.setStroked(true);
    info.setFilled(false);
    info.setDisplayX(box.origin.x);
    info.setDisplayY(box.origin.y);
    info.setDisplayWidth(box.size.width);
    info.setDisplayHeight(box.size.height);

    Path line;
    std::int32_t type;
    if (box.size.width > box.size.height) {
        line.moveTo({box.minX(), box.midY()});
        line.lineTo({box.maxX(), box.midY()});
        info.setStrokeweight(box.size.height);
        type = kLineTypeHorizontal;
    } else {
        line.moveTo({box.midX(), box.minY()});
        line.lineTo({box.midX(), box.maxY()});
        info.setStrokeweight(box.size.width);
        type = kLineTypeVertical;
    }
    carrier->setRunCGPath(line);
    carrier->setBoundingBox(box);
    carrier->setRunLineType(type);
    return carrier;
}

bool QXDocxRunPath::isLineExtentsRunPath(const QXDocxRunPath& other) const
{
    if (runCGPath().isEmpty() || other.runCGPath().isEmpty())
        return false;
    if (!QXColorIsNearlyEqual(PC::paintColor(*this), PC::paintColor(other)))
        return false;
    const Rect a = boundingBox().standardized();
    const Rect b = other.boundingBox().standardized();
    const Rect both = a.unionWith(b);
    auto sameBox = [](const Rect& x, const Rect& y) {
        return std::fabs(x.minX() - y.minX()) <= PC::kSameBox && std::fabs(x.minY() - y.minY()) <= PC::kSameBox &&
               std::fabs(x.maxX() - y.maxX()) <= PC::kSameBox && std::fabs(x.maxY() - y.maxY()) <= PC::kSameBox;
    };
    if (sameBox(both, a) || sameBox(both, b))
        return true;
    const std::int32_t type = PC::isLineType(runLineType()) ? runLineType() : other.runLineType();
    if (!PC::isLineType(type))
        return false;
    const bool horizontal = type == kLineTypeHorizontal;
    const double thicknessA = horizontal ? a.size.height : a.size.width;
    const double thicknessB = horizontal ? b.size.height : b.size.width;
    if (std::fabs(thicknessA - thicknessB) > 0.25)
        return false;
    const Rect grown = horizontal ? a.insetBy(-1, 0) : a.insetBy(0, -1);
    if (grown.intersection(b).isNull())
        return false;
    const double thickness = horizontal ? both.size.height : both.size.width;
    return thickness <= std::max(thicknessA, thicknessB) + PC::kThicknessGrowth;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::MergeOverlapLinesIfNeed(const std::vector<QXDocxRunPathPtr>& paths)
{
    std::vector<QXDocxRunPathPtr> sorted;
    for (const QXDocxRunPathPtr& path : paths)
        if (path)
            sorted.push_back(path);
    PC::sortByDrawingOrder(sorted);
    std::vector<QXDocxRunPathPtr> result, candidates;
    for (const QXDocxRunPathPtr& path : sorted) {
        const std::int32_t type = path->runLineType();
        (PC::isLineType(type) || type == kLineTypeSmallRect ? candidates : result).push_back(path);
    }
    auto compatible = [](std::int32_t a, std::int32_t b) {
        return a == b || (a == kLineTypeSmallRect && PC::isLineType(b)) ||
               (PC::isLineType(a) && b == kLineTypeSmallRect);
    };
    while (!candidates.empty()) {
        std::vector<QXDocxRunPathPtr> group{candidates.front()};
        for (std::size_t i = 1; i < candidates.size(); ++i) {
            const QXDocxRunPathPtr& c = candidates[i];
            if (!compatible(group.front()->runLineType(), c->runLineType()))
                continue;
            if (std::any_of(group.begin(), group.end(),
                            [&](const QXDocxRunPathPtr& m) { return m->isLineExtentsRunPath(*c); }))
                group.push_back(c);
        }
        if (group.size() == 1) {
            result.push_back(group.front());
            candidates.erase(candidates.begin());
            continue;
        }
        const QXDocxRunPathPtr merged = CreateWithOverlapLines(group);
        std::vector<QXDocxRunPathPtr> remaining{merged};
        for (const QXDocxRunPathPtr& c : candidates)
            if (std::find(group.begin(), group.end(), c) == group.end())
                remaining.push_back(c);
        candidates = std::move(remaining);
    }
    PC::sortByDrawingOrder(result);
    return result;
}

bool QXDocxRunPath::isRectOverlapRunPath(const QXDocxRunPath& other, bool* isExtend) const
{
    if (isExtend)
        *isExtend = false;
    const QXDocxPathInfo& mine = PC::infoOf(*this);
    const QXDocxPathInfo& theirs = PC::infoOf(other);
    if (!QXColorIsNearlyEqual(PC::paintColor(*this), PC::paintColor(other)))
        return false;
    double tolerance = 0.75;
    if (mine.filled() && theirs.filled())
        tolerance = 1;
    else if (mine.strokeweight() < 0.5 && theirs.strokeweight() < 0.5)
        tolerance = 0.375;
    else if (mine.strokeweight() < 1 && theirs.strokeweight() < 1)
        tolerance = 0.5;
    const Rect a = boundingBox().standardized();
    const Rect b = other.boundingBox().standardized();
    if (a.insetBy(-tolerance, -tolerance).contains(b) || b.insetBy(-tolerance, -tolerance).contains(a))
        return true;
    const double missing = PC::area(a.unionWith(b)) - PC::unionArea({a, b});
    if (missing < PC::kUncoveredArea) {
        if (isExtend)
            *isExtend = true;
        return true;
    }
    return false;
}

QXDocxRunPathPtr QXDocxRunPath::CreateWithOverlapRects(const std::vector<QXDocxRunPathPtr>& group)
{
    if (group.empty())
        return nullptr;
    const QXDocxRunPathPtr carrier = group.back();
    const Rect box = BoundsOfRunPaths(group);
    if (!carrier->pictInfo())
        carrier->setPictInfo(std::make_shared<QXDocxPathInfo>());
    QXDocxPathInfo& info = *carrier->pictInfo();
    info.setDisplayX(box.origin.x);
    info.setDisplayY(box.origin.y);
    info.setDisplayWidth(box.size.width);
    info.setDisplayHeight(box.size.height);
    if (info.stroked() && !info.filled()) {
        info.setFillAlpha(info.strokeAlpha());
        info.setFillcolor(info.strokecolor());
        info.setFillColorQX(info.strokeColorQX());
    }
    info.setStrokeweight(0);
    info.setStroked(false);
    info.setFilled(true);
    Path rect;
    rect.moveTo({box.minX(), box.minY()});
    rect.lineTo({box.maxX(), box.minY()});
    rect.lineTo({box.maxX(), box.maxY()});
    rect.lineTo({box.minX(), box.maxY()});
    rect.closeSubpath();
    carrier->setRunCGPath(rect);
    carrier->setBoundingBox(box);
    carrier->setRunLineType(kLineTypeRect);
    return carrier;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::MergeOverlapRectangesIfNeed(const std::vector<QXDocxRunPathPtr>& paths,
                                                                         const std::vector<DrawnBox>& others)
{
    std::vector<QXDocxRunPathPtr> result, candidates;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path)
            continue;
        const QXDocxPathInfo& info = PC::infoOf(*path);
        const bool rect = path->runLineType() == kLineTypeSmallRect || path->runLineType() == kLineTypeRect;
        const bool oneColour = !info.stroked() || QXColorIsNearlyEqual(info.strokeColorQX(), info.fillColorQX());
        (rect && info.filled() && oneColour ? candidates : result).push_back(path);
    }
    if (candidates.size() < 2) {
        result.insert(result.end(), candidates.begin(), candidates.end());
        PC::sortByDrawingOrder(result);
        return result;
    }

    // Whether a group may become one rectangle: its members cover the
    // union, and nothing else drawn between its first and last member
    // meets the union (the merged rectangle, drawn last, would hide it).
    auto mergeable = [&](const std::vector<QXDocxRunPathPtr>& group) {
        std::vector<Rect> boxes;
        std::uint64_t first = group.front()->pdfScanIndex(), last = first;
        for (const QXDocxRunPathPtr& m : group) {
            boxes.push_back(m->boundingBox().standardized());
            first = std::min(first, m->pdfScanIndex());
            last = std::max(last, m->pdfScanIndex());
        }
        const Rect bounds = BoundsOfRunPaths(group);
        if (PC::area(bounds) - PC::unionArea(boxes) >= PC::kUncoveredArea)
            return false;
        auto between = [&](std::uint64_t index) { return index > first && index < last; };
        for (const QXDocxRunPathPtr& p : paths)
            if (p && std::find(group.begin(), group.end(), p) == group.end() && between(p->pdfScanIndex()) &&
                PC::meetsByMoreThanOne(p->boundingBox(), bounds))
                return false;
        for (const DrawnBox& d : others)
            if (between(d.pdfScanIndex) && PC::meetsByMoreThanOne(d.box, bounds))
                return false;
        return true;
    };

    while (!candidates.empty()) {
        std::vector<QXDocxRunPathPtr> group{candidates.front()};
        for (std::size_t i = 1; i < candidates.size(); ++i) {
            const QXDocxRunPathPtr& c = candidates[i];
            const bool touches = std::any_of(group.begin(), group.end(), [&](const QXDocxRunPathPtr& m) {
                bool extend = false;
                return m->isRectOverlapRunPath(*c, &extend);
            });
            if (!touches)
                continue;
            group.push_back(c);
            if (!mergeable(group))
                group.pop_back();
        }
        if (group.size() == 1) {
            result.push_back(group.front());
            candidates.erase(candidates.begin());
            continue;
        }
        PC::sortByDrawingOrder(group);
        const QXDocxRunPathPtr merged = CreateWithOverlapRects(group);
        std::vector<QXDocxRunPathPtr> remaining;
        for (const QXDocxRunPathPtr& c : candidates)
            if (c == merged || std::find(group.begin(), group.end(), c) == group.end())
                remaining.push_back(c);
        candidates = std::move(remaining);
    }
    PC::sortByDrawingOrder(result);
    return result;
}

} // namespace rz
