#include "docx/tables/QXDocxTableBorderStyle.h"

#include "docx/tables/QXDocxTableLimits.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

// The first style above "nil", else "nil".
std::int32_t firstStrongStyle(std::initializer_list<std::int32_t> styles)
{
    for (std::int32_t style : styles) {
        if (style > QXDocxBorderNil)
            return style;
    }
    return QXDocxBorderNil;
}

double weightOf(const QXDocxRunPathPtr& path)
{
    return path && path->pictInfo() ? path->pictInfo()->strokeweight() : 0.0;
}

QXDocx_Color strokeColorOf(const QXDocxRunPathPtr& path)
{
    return path && path->pictInfo() ? path->pictInfo()->strokeColorQX() : QXDocx_Color{};
}

bool isDashed(const QXDocxRunPathPtr& path)
{
    if (!path || !path->pictInfo())
        return false;
    const auto& dashes = path->pictInfo()->strokeDashPattern();
    return dashes.has_value() && !dashes->empty();
}

std::int32_t ownStyle(const QXDocxRunPathPtr& path, Point p1, Point p2, const QXDocx_Color& background)
{
    return path ? path->borderStyleForLinePoint1(p1, p2, background) : QXDocxBorderNil;
}

void writeGap(double* gap, double value)
{
    if (gap != nullptr)
        *gap = value;
}

double acrossDistance(const QXDocxTableRulingLine& a, const QXDocxTableRulingLine& b)
{
    return a.isHorizontalLine() ? std::fabs(a.startPoint().y - b.startPoint().y)
                                : std::fabs(a.startPoint().x - b.startPoint().x);
}

} // namespace

double QXDocxTableBorderStyle::ClearGap(const QXDocxRunPath& a, const QXDocxRunPath& b)
{
    const Rect& boxA = a.boundingBox();
    const Rect& boxB = b.boundingBox();
    if (a.runLineType() == QXDocxRunPath::kLineTypeVertical)
        return std::fabs(boxA.midX() - boxB.midX()) - (boxA.size.width + boxB.size.width) * 0.5;
    return std::fabs(boxA.midY() - boxB.midY()) - (boxA.size.height + boxB.size.height) * 0.5;
}

std::int32_t QXDocxTableBorderStyle::BorderStyleForRunPaths(const std::vector<QXDocxRunPathPtr>& paths, Point p1,
                                                            Point p2, const QXDocx_Color& backgroundColor,
                                                            double* grapDistance)
{
    switch (paths.size()) {
    case 0:
        return QXDocxBorderNil;
    case 1:
        return ownStyle(paths[0], p1, p2, backgroundColor);
    case 2:
        return BorderStyleFor2RunPaths(paths, p1, p2, backgroundColor, grapDistance, 0);
    case 3:
        return BorderStyleFor3RunPaths(paths, p1, p2, backgroundColor, grapDistance);
    default:
        return QXDocxBorderTriple;
    }
}

std::int32_t QXDocxTableBorderStyle::BorderStyleFor2RunPaths(const std::vector<QXDocxRunPathPtr>& paths, Point p1,
                                                             Point p2, const QXDocx_Color& backgroundColor,
                                                             double* grapDistance, double tableLineDistance)
{
    if (paths.size() != 2 || !paths[0] || !paths[1])
        return QXDocxBorderNil;
    const QXDocxRunPathPtr& p = paths[0];
    const QXDocxRunPathPtr& q = paths[1];
    const double wmin = std::min(weightOf(p), weightOf(q));
    const double wmax = std::max(weightOf(p), weightOf(q));
    const bool equalWeights = std::fabs(wmin - wmax) * 0.5 < kQXTableStyleSmall;

    const std::int32_t provisional =
        equalWeights ? QXDocxBorderDouble
                     : QXDocxRunPath::BorderStyleFor2TableLineDistance(tableLineDistance, wmax, grapDistance);

    const std::int32_t type = p->runLineType();
    if (type != q->runLineType() || type == QXDocxRunPath::kLineTypeOther ||
        type == QXDocxRunPath::kLineTypeSmallRect || type == QXDocxRunPath::kLineTypeRect) {
        if ((wmin + wmax) * 0.5 + kQXTableStyleOnEachOther > tableLineDistance) {
            writeGap(grapDistance, 0);
            return QXDocxBorderSingle;
        }
        return provisional;
    }

    const std::int32_t sP = ownStyle(p, p1, p2, backgroundColor);
    const std::int32_t sQ = ownStyle(q, p1, p2, backgroundColor);
    if (sP < QXDocxBorderSingle || sQ < QXDocxBorderSingle)
        return firstStrongStyle({sP, sQ});

    // A stroke drawn over an earlier one that it covers is all one sees.
    const bool qIsLater = p->pdfScanIndex() < q->pdfScanIndex();
    const QXDocxRunPathPtr& later = qIsLater ? q : p;
    const QXDocxRunPathPtr& earlier = qIsLater ? p : q;
    const Rect grown = type == QXDocxRunPath::kLineTypeHorizontal
                           ? later->boundingBox().insetBy(-kQXTableCoverAlong, -kQXTableCoverAcross)
                           : later->boundingBox().insetBy(-kQXTableCoverAcross, -kQXTableCoverAlong);
    if (grown.contains(earlier->boundingBox()))
        return qIsLater ? sQ : sP;

    if (!QXColorIsNearlyEqual(strokeColorOf(p), strokeColorOf(q)))
        return sP;
    if (isDashed(p) || isDashed(q))
        return QXDocxBorderDoubleWave;

    const double gap = ClearGap(*p, *q);
    if (gap < kQXTableStyleSmall)
        return QXDocxBorderSingle;
    if (equalWeights)
        return QXDocxBorderDouble;
    if (gap > wmax - kQXTableStyleSmall) {
        writeGap(grapDistance, gap);
        return QXDocxBorderThickThinLargeGap;
    }
    if (gap > wmax * 0.5 - kQXTableStyleSmall)
        return QXDocxBorderThickThinMediumGap;
    return QXDocxBorderThickThinSmallGap;
}

std::int32_t QXDocxTableBorderStyle::BorderStyleFor3RunPaths(const std::vector<QXDocxRunPathPtr>& paths, Point p1,
                                                             Point p2, const QXDocx_Color& backgroundColor,
                                                             double* grapDistance)
{
    if (paths.size() != 3 || !paths[0] || !paths[1] || !paths[2])
        return QXDocxBorderNil;
    const QXDocxRunPathPtr& p = paths[0];
    const QXDocxRunPathPtr& q = paths[1];
    const QXDocxRunPathPtr& r = paths[2];
    const std::int32_t type = p->runLineType();
    if (type != q->runLineType() || type != r->runLineType() || type == QXDocxRunPath::kLineTypeOther ||
        type == QXDocxRunPath::kLineTypeRect)
        return QXDocxBorderTriple;

    const std::int32_t sP = ownStyle(p, p1, p2, backgroundColor);
    const std::int32_t sQ = ownStyle(q, p1, p2, backgroundColor);
    const std::int32_t sR = ownStyle(r, p1, p2, backgroundColor);
    const bool allStrong = sP >= QXDocxBorderSingle && sQ >= QXDocxBorderSingle && sR >= QXDocxBorderSingle;

    if (allStrong && QXColorIsNearlyEqual(strokeColorOf(q), strokeColorOf(p)) &&
        QXColorIsNearlyEqual(strokeColorOf(r), strokeColorOf(p))) {
        const bool small = type == QXDocxRunPath::kLineTypeSmallRect;
        const double gPQ = small ? 0 : ClearGap(*p, *q);
        const double gPR = small ? 0 : ClearGap(*p, *r);
        const double gQR = small ? 0 : ClearGap(*q, *r);
        const double gmax = std::max({gPQ, gPR, gQR});
        const double gmin = std::min({gPQ, gPR, gQR});
        if (gmax < kQXTableStyleSmall)
            return QXDocxBorderSingle;
        if (gmin < kQXTableStyleSmall)
            return QXDocxBorderDouble;
        const double wmin = std::min({weightOf(p), weightOf(q), weightOf(r)});
        const double wmax = std::max({weightOf(p), weightOf(q), weightOf(r)});
        if (std::fabs(wmin - wmax) * 0.5 < kQXTableStyleSmall)
            return QXDocxBorderTriple;
        if (gmin > wmax - kQXTableStyleSmall) {
            writeGap(grapDistance, gmin);
            return QXDocxBorderThinThickThinLargeGap;
        }
        if (gmin > wmax * 0.5 - kQXTableStyleSmall)
            return QXDocxBorderThinThickThinMediumGap;
        return QXDocxBorderThinThickThinSmallGap;
    }

    const std::pair<std::size_t, std::size_t> pairs[] = {{0, 1}, {0, 2}, {1, 2}};
    const std::int32_t styles[] = {sP, sQ, sR};
    for (const auto& [a, b] : pairs) {
        if (styles[a] < QXDocxBorderSingle || styles[b] < QXDocxBorderSingle)
            continue;
        const std::int32_t style =
            BorderStyleFor2RunPaths({paths[a], paths[b]}, p1, p2, backgroundColor, grapDistance, 0);
        if (style >= QXDocxBorderDouble)
            return style;
    }
    return firstStrongStyle({sP, sQ, sR});
}

QXDocxTableRulingLineArray QXDocxTableBorderStyle::CreateStyleLineArray(const QXDocxTableRulingLineArray& lines,
                                                                        Point p1, Point p2,
                                                                        const QXDocx_Color& backgroundColor)
{
    return FilterParalleStylelLines(FilterStrokeStyleLines(lines, p1, p2, backgroundColor));
}

QXDocxTableRulingLineArray QXDocxTableBorderStyle::FilterStrokeStyleLines(const QXDocxTableRulingLineArray& lines,
                                                                          Point p1, Point p2,
                                                                          const QXDocx_Color& backgroundColor)
{
    QXDocxTableRulingLineArray result;
    for (const QXDocxTableRulingLinePtr& line : lines) {
        if (!line)
            continue;
        double scratch = 0;
        if (BorderStyleForRunPaths(line->allRunPathArray(), p1, p2, backgroundColor, &scratch) >= QXDocxBorderSingle)
            result.push_back(line);
    }
    return result;
}

QXDocxTableRulingLinePtr QXDocxTableBorderStyle::FindSameParallelStyleLine(const QXDocxTableRulingLinePtr& line,
                                                                           const QXDocxTableRulingLineArray& lines)
{
    if (!line || lines.empty())
        return nullptr;
    const auto f = [](double value) { return static_cast<double>(static_cast<float>(value)); };
    const Point s = line->startPoint();
    const Point e = line->endPoint();
    const bool horizontal = std::fabs(f(s.y) - f(e.y)) < kQXTableSameParallelPlace;
    const bool vertical = !horizontal && std::fabs(f(s.x) - f(e.x)) < kQXTableSameParallelPlace;
    if (!horizontal && !vertical)
        return nullptr;
    for (const QXDocxTableRulingLinePtr& other : lines) {
        if (!other)
            continue;
        const Point o = other->startPoint();
        const double across = horizontal ? std::fabs(f(o.y) - f(s.y)) : std::fabs(f(o.x) - f(s.x));
        if (across < kQXTableSameParallelPlace)
            return other;
    }
    return nullptr;
}

QXDocxTableRulingLineArray QXDocxTableBorderStyle::FilterParalleStylelLines(const QXDocxTableRulingLineArray& lines)
{
    if (lines.empty())
        return {};
    QXDocxTableRulingLineArray result{lines.front()};
    if (lines.size() == 1)
        return result;
    for (const QXDocxTableRulingLinePtr& line : lines) {
        const QXDocxTableRulingLinePtr same = FindSameParallelStyleLine(line, result);
        if (!same) {
            result.push_back(line);
            continue;
        }
        if (same == line || !line->initRunPath() || !same->initRunPath())
            continue;
        if (weightOf(line->initRunPath()) > weightOf(same->initRunPath())) {
            result.erase(std::find(result.begin(), result.end(), same));
            result.push_back(line);
        }
    }
    return result;
}

std::int32_t QXDocxTableBorderStyle::BorderStyleForTableLines(const QXDocxTableRulingLineArray& lines, Point p1,
                                                              Point p2, const QXDocx_Color& backgroundColor,
                                                              double* grapDistance)
{
    if (lines.empty())
        return QXDocxBorderNil;
    for (const QXDocxTableRulingLinePtr& line : lines) {
        if (!line)
            return QXDocxBorderNil;
    }
    if (lines.size() == 1)
        return lines[0]->borderStyleForLinePoint1(p1, p2, backgroundColor);

    if (lines.size() == 2) {
        const QXDocxTableRulingLine& a = *lines[0];
        const QXDocxTableRulingLine& b = *lines[1];
        const std::int32_t sA = a.borderStyleForLinePoint1(p1, p2, backgroundColor);
        const std::int32_t sB = b.borderStyleForLinePoint1(p1, p2, backgroundColor);
        if (sA < QXDocxBorderSingle || sB < QXDocxBorderSingle)
            return firstStrongStyle({sA, sB});
        if (!a.initRunPath() || !b.initRunPath())
            return QXDocxBorderDouble;
        if (a.isHorizontalLine() != b.isHorizontalLine())
            return QXDocxBorderSingle;
        return BorderStyleFor2RunPaths({a.initRunPath(), b.initRunPath()}, p1, p2, backgroundColor, grapDistance,
                                       acrossDistance(a, b));
    }

    if (lines.size() == 3) {
        std::int32_t styles[3];
        for (std::size_t i = 0; i < 3; ++i)
            styles[i] = lines[i]->borderStyleForLinePoint1(p1, p2, backgroundColor);
        const bool allStrong = std::all_of(std::begin(styles), std::end(styles),
                                           [](std::int32_t s) { return s >= QXDocxBorderSingle; });
        if (allStrong) {
            for (const QXDocxTableRulingLinePtr& line : lines) {
                if (!line->initRunPath())
                    return QXDocxBorderDouble;
            }
            return BorderStyleFor3RunPaths({lines[0]->initRunPath(), lines[1]->initRunPath(), lines[2]->initRunPath()},
                                           p1, p2, backgroundColor, grapDistance);
        }
        const std::pair<std::size_t, std::size_t> pairs[] = {{0, 1}, {0, 2}, {1, 2}};
        for (const auto& [i, j] : pairs) {
            if (styles[i] < QXDocxBorderSingle || styles[j] < QXDocxBorderSingle)
                continue;
            const QXDocxTableRulingLine& a = *lines[i];
            const QXDocxTableRulingLine& b = *lines[j];
            if (!a.initRunPath() || !b.initRunPath())
                return QXDocxBorderDouble;
            return BorderStyleFor2RunPaths({a.initRunPath(), b.initRunPath()}, p1, p2, backgroundColor, grapDistance,
                                           acrossDistance(a, b));
        }
        return firstStrongStyle({styles[0], styles[1], styles[2]});
    }

    return QXDocxBorderTriple;
}

} // namespace rz
