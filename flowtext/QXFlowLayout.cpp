#include "flowtext/QXFlowLayout.h"

#include "flowtext/QXFlowLayoutLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace rz {

namespace {

// Sort key that puts values that are not numbers last, so every ordering is
// a strict weak order whatever the input.
double key(double v)
{
    return std::isnan(v) ? std::numeric_limits<double>::infinity() : v;
}

// The items ordered by their keys, each key computed once; equal keys keep
// the incoming order.
template <class List, class Key>
List stableOrder(List items, Key keyOf)
{
    std::vector<std::pair<double, size_t>> keys;
    keys.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        keys.emplace_back(key(keyOf(items[i])), i);
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    List ordered;
    ordered.reserve(items.size());
    for (const auto& k : keys)
        ordered.push_back(std::move(items[k.second]));
    return ordered;
}

} // namespace

QXFlowRunList QXFlowLayout::orderByTop(QXFlowRunList runs)
{
    return stableOrder(std::move(runs), [](const QXFlowRunTextRef& r) { return r->runTop(); });
}

QXFlowRunList QXFlowLayout::orderByX(QXFlowRunList runs)
{
    return stableOrder(std::move(runs), [](const QXFlowRunTextRef& r) { return r->runX(); });
}

QXFlowPartList QXFlowLayout::orderPartsByTop(QXFlowPartList parts)
{
    return stableOrder(std::move(parts), [](const QXFlowRunList& p) { return partTop(p); });
}

QXFlowPartList QXFlowLayout::orderPartsByLeft(QXFlowPartList parts)
{
    return stableOrder(std::move(parts), [](const QXFlowRunList& p) { return partLeft(p); });
}

std::vector<QXFlowRunList> QXFlowLayout::collectLines(QXFlowRunList topOrdered)
{
    // A line's runs are found among the runs ordered by bottom instead of
    // by walking every later run (a page has thousands of runs, one per
    // character). Only finite bottoms can be within the tolerance of another.
    const size_t n = topOrdered.size();
    std::vector<double> bottoms(n);
    std::vector<std::pair<double, size_t>> byBottom;
    byBottom.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        bottoms[i] = topOrdered[i]->runBottom();
        if (std::isfinite(bottoms[i]))
            byBottom.emplace_back(bottoms[i], i);
    }
    std::sort(byBottom.begin(), byBottom.end());
    std::vector<size_t> position(n, 0);
    for (size_t p = 0; p < byBottom.size(); ++p)
        position[byBottom[p].second] = p;
    // The first place at or after p in byBottom whose run is not yet on a
    // line (places already taken point past themselves).
    std::vector<size_t> next(byBottom.size() + 1);
    for (size_t p = 0; p < next.size(); ++p)
        next[p] = p;
    const auto firstFree = [&next](size_t p) {
        size_t root = p;
        while (next[root] != root)
            root = next[root];
        while (next[p] != root) {
            const size_t up = next[p];
            next[p] = root;
            p = up;
        }
        return root;
    };

    std::vector<char> taken(n, 0);
    std::vector<QXFlowRunList> lines;
    std::vector<size_t> members;
    for (size_t i = 0; i < n; ++i) {
        if (taken[i])
            continue;
        taken[i] = 1;
        const double bottom = bottoms[i];
        QXFlowRunList line;
        line.push_back(std::move(topOrdered[i]));
        if (std::isfinite(bottom)) {
            next[position[i]] = position[i] + 1;
            // Every later run within the tolerance, in incoming order. The
            // window is a little wider than the tolerance; the test decides.
            const double reach = flowlimits::kSameBaselineTolerance * (1 + 1e-9) + std::fabs(bottom) * 1e-12;
            members.clear();
            size_t p = firstFree(size_t(std::lower_bound(byBottom.begin(), byBottom.end(),
                                                         std::make_pair(bottom - reach, size_t(0))) -
                                        byBottom.begin()));
            for (; p < byBottom.size() && byBottom[p].first <= bottom + reach; p = firstFree(p + 1)) {
                if (std::fabs(byBottom[p].first - bottom) < flowlimits::kSameBaselineTolerance) {
                    members.push_back(byBottom[p].second);
                    next[p] = p + 1;
                }
            }
            std::sort(members.begin(), members.end());
            line.reserve(1 + members.size());
            for (const size_t j : members) {
                taken[j] = 1;
                line.push_back(std::move(topOrdered[j]));
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

QXFlowLineSection QXFlowLayout::collectLineParts(QXFlowRunList line)
{
    QXFlowLineSection parts;
    double expected = 0;
    for (QXFlowRunTextRef& run : line) {
        if (parts.empty() || !(std::fabs(run->runX() - expected) < flowlimits::kLinePartJoinTolerance))
            parts.emplace_back();
        expected = run->runX() + run->textWidth();
        parts.back().push_back(std::move(run));
    }
    return parts;
}

std::vector<std::vector<QXFlowLineSection>> QXFlowLayout::collectDivs(std::vector<QXFlowLineSection> sections)
{
    std::vector<std::vector<QXFlowLineSection>> divs;
    double bottom = 0;
    for (QXFlowLineSection& section : sections) {
        const double top = sectionTop(section);
        const double sectionBottomEdge = sectionBottom(section);
        const double height = sectionBottomEdge - top;
        const double allowance = height > 0 ? height * flowlimits::kDivLineGapFactor : 0;
        if (!divs.empty() && top <= bottom + allowance) {
            divs.back().push_back(std::move(section));
            bottom = std::max(bottom, sectionBottomEdge);
            continue;
        }
        divs.emplace_back();
        divs.back().push_back(std::move(section));
        bottom = sectionBottomEdge;
    }
    return divs;
}

std::vector<QXFlowPartList> QXFlowLayout::collectColumns(QXFlowPartList parts)
{
    std::vector<QXFlowPartList> columns;
    double right = 0;
    for (QXFlowRunList& part : orderPartsByLeft(std::move(parts))) {
        const double partRightEdge = partRight(part);
        if (!columns.empty() && partLeft(part) <= right + flowlimits::kColumnJoinGap) {
            right = std::max(right, partRightEdge);
            columns.back().push_back(std::move(part));
            continue;
        }
        right = partRightEdge;
        columns.emplace_back();
        columns.back().push_back(std::move(part));
    }
    for (QXFlowPartList& column : columns)
        column = orderPartsByTop(std::move(column));
    return columns;
}

std::vector<QXFlowPartList> QXFlowLayout::collectRows(QXFlowPartList column)
{
    std::vector<QXFlowPartList> rows;
    double bottom = 0;
    for (QXFlowRunList& part : column) {
        const double partBottomEdge = partBottom(part);
        if (!rows.empty() && std::fabs(partBottomEdge - bottom) < flowlimits::kRowBottomTolerance) {
            rows.back().push_back(std::move(part));
            continue;
        }
        rows.emplace_back();
        rows.back().push_back(std::move(part));
        bottom = partBottomEdge;
    }
    for (QXFlowPartList& row : rows)
        row = orderPartsByLeft(std::move(row));
    return rows;
}

double QXFlowLayout::partTop(const QXFlowRunList& part)
{
    if (part.empty())
        return 0;
    float top = static_cast<float>(part.front()->runTop());
    for (const QXFlowRunTextRef& run : part)
        top = std::min(top, static_cast<float>(run->runTop()));
    return top;
}

double QXFlowLayout::partBottom(const QXFlowRunList& part)
{
    if (part.empty())
        return 0;
    float bottom = static_cast<float>(part.front()->runBottom());
    for (const QXFlowRunTextRef& run : part)
        bottom = std::max(bottom, static_cast<float>(run->runBottom()));
    return bottom;
}

double QXFlowLayout::partLeft(const QXFlowRunList& part)
{
    return part.empty() ? 0 : part.front()->runLeft();
}

double QXFlowLayout::partRight(const QXFlowRunList& part)
{
    return part.empty() ? 0 : part.back()->runEnd();
}

double QXFlowLayout::sectionTop(const QXFlowLineSection& section)
{
    float top = static_cast<float>(flowlimits::kLineSectionTopStart);
    for (const QXFlowRunList& part : section)
        for (const QXFlowRunTextRef& run : part)
            top = std::min(top, static_cast<float>(run->runTop()));
    return top;
}

double QXFlowLayout::sectionBottom(const QXFlowLineSection& section)
{
    float bottom = 0;
    for (const QXFlowRunList& part : section)
        for (const QXFlowRunTextRef& run : part)
            bottom = std::max(bottom, static_cast<float>(run->runBottom()));
    return bottom;
}

double QXFlowLayout::columnTop(const QXFlowPartList& column)
{
    return column.empty() ? 0 : partTop(column.front());
}

double QXFlowLayout::columnBottom(const QXFlowPartList& column)
{
    return column.empty() ? 0 : partBottom(column.back());
}

double QXFlowLayout::divTop(const std::vector<QXFlowPartList>& columns)
{
    if (columns.empty())
        return 0;
    float top = static_cast<float>(columnTop(columns.front()));
    for (const QXFlowPartList& column : columns)
        top = std::min(top, static_cast<float>(columnTop(column)));
    return top;
}

double QXFlowLayout::divBottom(const std::vector<QXFlowPartList>& columns)
{
    if (columns.empty())
        return 0;
    float bottom = static_cast<float>(columnBottom(columns.front()));
    for (const QXFlowPartList& column : columns)
        bottom = std::max(bottom, static_cast<float>(columnBottom(column)));
    return bottom;
}

double QXFlowLayout::columnLeft(const QXFlowPartList& column)
{
    if (column.empty())
        return 0;
    float left = static_cast<float>(partLeft(column.front()));
    for (const QXFlowRunList& part : column)
        left = std::min(left, static_cast<float>(partLeft(part)));
    return left;
}

double QXFlowLayout::columnLeftOfRows(const std::vector<QXFlowPartList>& rows)
{
    float left = 0;
    bool first = true;
    for (const QXFlowPartList& row : rows) {
        if (row.empty())
            continue;
        const float l = static_cast<float>(partLeft(row.front()));
        left = first ? l : std::min(left, l);
        first = false;
    }
    return left;
}

} // namespace rz
