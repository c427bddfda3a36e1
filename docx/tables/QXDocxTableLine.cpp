#include "docx/tables/QXDocxTableLine.h"

#include "docx/tables/QXDocxTableArea.h"
#include "docx/tables/QXDocxTableDetectionLimits.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <unordered_map>

namespace rz {

using namespace tabledetect;

namespace {

template <class T>
bool containsPtr(const std::vector<std::shared_ptr<T>>& list, const std::shared_ptr<T>& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T>
void appendAbsent(std::vector<std::shared_ptr<T>>& list, const std::vector<std::shared_ptr<T>>& items)
{
    for (const auto& item : items) {
        if (!containsPtr(list, item))
            list.push_back(item);
    }
}

const QXDocxPathInfo* infoOf(const QXDocxRunPathPtr& path)
{
    return path ? path->pictInfo().get() : nullptr;
}

double strokeWeightOf(const QXDocxRunPathPtr& path)
{
    const QXDocxPathInfo* info = infoOf(path);
    return info ? info->strokeweight() : 0.0;
}

// Union-find over indices, for grouping connected lines and areas.
class DisjointSets {
public:
    explicit DisjointSets(std::size_t n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), std::size_t{0}); }
    std::size_t find(std::size_t i)
    {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void unite(std::size_t a, std::size_t b)
    {
        a = find(a);
        b = find(b);
        if (a == b)
            return;
        // The smaller index stays the root, so a set is named by its first member.
        if (b < a)
            std::swap(a, b);
        parent_[b] = a;
    }

private:
    std::vector<std::size_t> parent_;
};

// Cell side of the index used to find lines that may meet.
constexpr double kLineCellSize = 15.0;

std::int64_t lineCell(double v)
{
    return static_cast<std::int64_t>(std::clamp(std::floor(v / kLineCellSize), -1.0e6, 1.0e6));
}

// The components of lines connected by IsIntersect, each listed in input
// order, the components ordered by their first member. Candidate pairs come
// from a grid of 15-point cells over each line's extent grown by the
// meeting tolerance; a long axis-aligned line covers a row of cells only.
std::vector<QXDocxTableLineArray> connectedLines(const QXDocxTableLineArray& lines)
{
    const std::size_t n = lines.size();
    DisjointSets sets(n);
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells;
    const double grow = kLineIntersectTolerance + 0.5;
    for (std::size_t i = 0; i < n; ++i) {
        const QXDocxTableLine& line = *lines[i];
        const double minX = line.min_x(), maxX = line.max_x(), minY = line.min_y(), maxY = line.max_y();
        if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) || !std::isfinite(maxY))
            continue;
        const std::int64_t x0 = lineCell(minX - grow), x1 = lineCell(maxX + grow);
        const std::int64_t y0 = lineCell(minY - grow), y1 = lineCell(maxY + grow);
        // A line that is not axis-aligned could cover a large block of
        // cells; its extent is capped, and it is compared pairwise below.
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > 4096)
            continue;
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                auto& members = cells[(static_cast<std::uint64_t>(cx) << 32) ^ static_cast<std::uint64_t>(cy & 0xffffffff)];
                for (std::size_t j : members) {
                    if (sets.find(i) != sets.find(j) && QXDocxTableLine::IsIntersect(line, *lines[j]))
                        sets.unite(i, j);
                }
                members.push_back(i);
            }
        }
    }
    // Lines left out of the grid (huge or non-finite extents) are compared
    // with every line.
    for (std::size_t i = 0; i < n; ++i) {
        const QXDocxTableLine& line = *lines[i];
        const double minX = line.min_x(), maxX = line.max_x(), minY = line.min_y(), maxY = line.max_y();
        const bool finite = std::isfinite(minX) && std::isfinite(maxX) && std::isfinite(minY) && std::isfinite(maxY);
        const bool gridded = finite && (lineCell(maxX + grow) - lineCell(minX - grow) + 1) *
                                               (lineCell(maxY + grow) - lineCell(minY - grow) + 1) <=
                                           4096;
        if (gridded)
            continue;
        for (std::size_t j = 0; j < n; ++j) {
            if (j != i && sets.find(i) != sets.find(j) && QXDocxTableLine::IsIntersect(line, *lines[j]))
                sets.unite(i, j);
        }
    }
    std::vector<QXDocxTableLineArray> groups;
    std::unordered_map<std::size_t, std::size_t> groupOfRoot;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t root = sets.find(i);
        auto [it, inserted] = groupOfRoot.try_emplace(root, groups.size());
        if (inserted)
            groups.emplace_back();
        groups[it->second].push_back(lines[i]);
    }
    return groups;
}

// Position across and thickness of a line's box, and its stretch along.
double acrossCentre(const QXDocxTableLine& line)
{
    return line.isHorizontalLine() ? line.boundingBox().midY() : line.boundingBox().midX();
}
double acrossThickness(const QXDocxTableLine& line)
{
    return line.isHorizontalLine() ? line.boundingBox().height() : line.boundingBox().width();
}
double alongMin(const QXDocxTableLine& line)
{
    return line.isHorizontalLine() ? line.min_x() : line.min_y();
}
double alongMax(const QXDocxTableLine& line)
{
    return line.isHorizontalLine() ? line.max_x() : line.max_y();
}

// `candidate` may join the merge set `set`: the orientation of its first
// line, long enough, and close across to one member (and, without length
// extension, close along it too).
bool canJoinMergeSet(const QXDocxTableLine& candidate, const QXDocxTableLineArray& set, bool isLengthExtend)
{
    if (set.empty() || candidate.isHorizontalLine() != set.front()->isHorizontalLine() ||
        candidate.lineLength() < kMergeMinPieceLength)
        return false;
    for (const auto& member : set) {
        const double across = std::fabs(acrossCentre(candidate) - acrossCentre(*member)) -
                              (acrossThickness(candidate) + acrossThickness(*member)) / 2;
        if (!(across < kMergeAcrossDistance))
            continue;
        if (!isLengthExtend) {
            const double gap = std::max(alongMin(candidate), alongMin(*member)) -
                               std::min(alongMax(candidate), alongMax(*member));
            if (gap > kMergeMaxGap)
                continue;
        }
        return true;
    }
    return false;
}

// Some text box has its centre between the two parallel lines and within
// their common stretch.
bool textBetween(const QXDocxTableLine& a, const QXDocxTableLine& b, const std::vector<Rect>& textBoxes)
{
    const double low = std::min(acrossCentre(a), acrossCentre(b));
    const double high = std::max(acrossCentre(a), acrossCentre(b));
    const double from = std::max(alongMin(a), alongMin(b));
    const double to = std::min(alongMax(a), alongMax(b));
    const bool horizontal = a.isHorizontalLine();
    return std::any_of(textBoxes.begin(), textBoxes.end(), [&](const Rect& box) {
        const double across = horizontal ? box.midY() : box.midX();
        const double along = horizontal ? box.midX() : box.midY();
        return across > low && across < high && along > from && along < to;
    });
}

// `candidate` and the member it would join are rules of rows: they lie at
// least kRowRuleMinPitch apart with text between them, and another line of
// the list, beside them along their length, goes on at the same spacing
// beyond the candidate or before the member. A dense table's rows (7.5 pt
// apart, say) would otherwise fuse in pairs, as closely drawn double lines
// do; a chart's empty grid still merges as before.
bool spacedAsRows(const QXDocxTableLineArray& list, const QXDocxTableLine& candidate,
                  const QXDocxTableLineArray& set, const std::vector<Rect>& textBoxes)
{
    for (const auto& member : set) {
        const double pitch = acrossCentre(candidate) - acrossCentre(*member);
        const double across = std::fabs(pitch) - (acrossThickness(candidate) + acrossThickness(*member)) / 2;
        if (!(across < kMergeAcrossDistance) || !(std::fabs(pitch) >= kRowRuleMinPitch))
            continue;
        if (!textBetween(candidate, *member, textBoxes))
            continue;
        for (const auto& other : list) {
            if (other.get() == &candidate || other->isHorizontalLine() != candidate.isHorizontalLine() ||
                std::find(set.begin(), set.end(), other) != set.end())
                continue;
            if (alongMin(*other) >= alongMax(candidate) || alongMin(candidate) >= alongMax(*other))
                continue;
            const double beyond = acrossCentre(*other) - acrossCentre(candidate);
            const double before = acrossCentre(*member) - acrossCentre(*other);
            if (std::fabs(beyond - pitch) < kRowRulePitchTolerance || std::fabs(before - pitch) < kRowRulePitchTolerance)
                return true;
        }
    }
    return false;
}

// The merge set that starts with list[first]: the first untaken line after
// it that may join (and is not a row's rule) is added, again and again,
// until none may or the band grows thicker than kMergeMaxBandThickness
// (that line is left out). The set's lines are marked taken.
QXDocxTableLineArray mergeSetFrom(const QXDocxTableLineArray& list, std::vector<char>& taken, std::size_t first,
                                  bool isLengthExtend, const std::vector<Rect>* textBoxes = nullptr)
{
    QXDocxTableLineArray set{list[first]};
    taken[first] = 1;
    if (!list[first]->initRunPath())
        return set;
    const bool horizontal = list[first]->isHorizontalLine();
    while (true) {
        std::size_t next = list.size();
        for (std::size_t i = first + 1; i < list.size(); ++i) {
            if (!taken[i] && canJoinMergeSet(*list[i], set, isLengthExtend) &&
                !(textBoxes && spacedAsRows(list, *list[i], set, *textBoxes))) {
                next = i;
                break;
            }
        }
        if (next == list.size())
            break;
        set.push_back(list[next]);
        const Rect bounds = QXDocxTableLine::BoundsOfTableLines(set);
        if ((horizontal ? bounds.height() : bounds.width()) > kMergeMaxBandThickness) {
            set.pop_back();
            break;
        }
        taken[next] = 1;
    }
    return set;
}

bool endsMatch(Point a, Point b, double tolerance)
{
    return std::fabs(a.x - b.x) < tolerance && std::fabs(a.y - b.y) < tolerance;
}

} // namespace

QXDocxTableLine::QXDocxTableLine(Point start, Point end) : startPoint_(start), endPoint_(end)
{
    updateLineInfo();
}

void QXDocxTableLine::setIsInvalid(bool value)
{
    isInvalid_ = value;
    for (const auto& piece : subLineArray_)
        piece->setIsInvalid(value);
}

void QXDocxTableLine::updateLineInfo()
{
    if (std::fabs(startPoint_.x - endPoint_.x) < kVerticalMaxDx) {
        isHorizontalLine_ = false;
        lineLength_ = std::fabs(startPoint_.y - endPoint_.y);
    } else {
        isHorizontalLine_ = true;
        lineLength_ = std::fabs(startPoint_.x - endPoint_.x);
    }
    if (initRunPath_ || subLineArray_.empty()) {
        double t = 0;
        if (const QXDocxPathInfo* info = infoOf(initRunPath_))
            t = (info->filled() && !info->stroked()) ? kFilledLineThickness : info->strokeweight();
        if (isHorizontalLine_)
            boundingBox_ = Rect(min_x(), min_y() - t / 2, lineLength_, t);
        else
            boundingBox_ = Rect(min_x() - t / 2, min_y(), t, lineLength_);
        return;
    }
    Rect box;
    bool first = true;
    for (const auto& piece : subLineArray_) {
        box = first ? piece->boundingBox() : box.unionWith(piece->boundingBox());
        first = false;
    }
    boundingBox_ = box;
}

void QXDocxTableLine::add2SubLineArray(const QXDocxTableLineArray& lines)
{
    appendAbsent(subLineArray_, lines);
}

void QXDocxTableLine::add2AllRunPathArray(const QXDocxRunPathArray& paths)
{
    appendAbsent(allRunPathArray_, paths);
}

bool QXDocxTableLine::isShortLine(double length)
{
    if (lineLength_ < 0.1)
        updateLineInfo();
    return std::max(kMinShortLineLength, length) > lineLength_;
}

bool QXDocxTableLine::isBorderEqualToInitLine(const QXDocxTableLine& other) const
{
    if (!initRunPath_ || !other.initRunPath_)
        return false;
    return initRunPath_->isBorderEqualToPath(*other.initRunPath_);
}

bool QXDocxTableLine::isStroked() const
{
    if (const QXDocxPathInfo* info = infoOf(initRunPath_); info && info->stroked())
        return true;
    return std::any_of(subLineArray_.begin(), subLineArray_.end(), [](const auto& p) { return p->isStroked(); });
}

bool QXDocxTableLine::isFilled() const
{
    if (const QXDocxPathInfo* info = infoOf(initRunPath_); info && info->filled())
        return true;
    return std::any_of(subLineArray_.begin(), subLineArray_.end(), [](const auto& p) { return p->isFilled(); });
}

std::optional<Color> QXDocxTableLine::tableLineColor() const
{
    for (const auto& path : allRunPathArray_) {
        if (const QXDocxPathInfo* info = infoOf(path); info && info->stroked())
            return info->strokecolor();
    }
    return std::nullopt;
}

float QXDocxTableLine::max_x() const { return static_cast<float>(std::max(startPoint_.x, endPoint_.x)); }
float QXDocxTableLine::min_x() const { return static_cast<float>(std::min(startPoint_.x, endPoint_.x)); }
float QXDocxTableLine::max_y() const { return static_cast<float>(std::max(startPoint_.y, endPoint_.y)); }
float QXDocxTableLine::min_y() const { return static_cast<float>(std::min(startPoint_.y, endPoint_.y)); }

bool QXDocxTableLine::isIntersectLines(const QXDocxTableLineArray& lines) const
{
    return std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return IsIntersect(*this, *l); });
}

std::string QXDocxTableLine::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    auto pointText = [](Point p) { return "{" + formatShortest(p.x) + ", " + formatShortest(p.y) + "}"; };
    return "<QXDocxTableLine: " + std::string(address) + ":[isHorizontalLine:" + std::to_string(isHorizontalLine_) +
           "][isInvalid:" + std::to_string(isInvalid_) + "][initRunPath:" + std::to_string(initRunPath_ != nullptr) +
           "][isStroked:" + std::to_string(isStroked()) + "][isFilled:" + std::to_string(isFilled()) +
           "][pdfScanIndex:" + formatUnsigned(initRunPath_ ? initRunPath_->pdfScanIndex() : 0) +
           "][lineWidth:" + formatFixed(strokeWeightOf(initRunPath_), 0) + "][lineLength:" + formatFixed(lineLength_, 0) +
           "][startPoint:" + pointText(startPoint_) + "][endPoint:" + pointText(endPoint_) + "]>";
}

// --- Class operations ---

Rect QXDocxTableLine::BoundsOfTableLines(const QXDocxTableLineArray& lines)
{
    if (lines.empty())
        return Rect::zero();
    if (lines.size() == 1 && lines.front()->initRunPath())
        return lines.front()->initRunPath()->boundingBox();
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    auto cover = [&](const QXDocxTableLine& l, auto&& self) -> void {
        if (!l.subLineArray().empty()) {
            for (const auto& piece : l.subLineArray())
                self(*piece, self);
            return;
        }
        for (Point p : {l.startPoint(), l.endPoint()}) {
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
    };
    for (const auto& line : lines)
        cover(*line, cover);
    if (!(minX <= maxX) || !(minY <= maxY))
        return Rect::zero();
    return Rect(minX, minY, maxX - minX, maxY - minY);
}

bool QXDocxTableLine::IsIntersect(const QXDocxTableLine& line1, const QXDocxTableLine& line2)
{
    const double t = kLineIntersectTolerance;
    const Point s1 = line1.startPoint(), e1 = line1.endPoint(), s2 = line2.startPoint(), e2 = line2.endPoint();
    // A line with a coordinate that is not a number meets nothing.
    if (!std::isfinite(s1.x + s1.y + e1.x + e1.y + s2.x + s2.y + e2.x + e2.y))
        return false;
    if (endsMatch(s1, s2, t) || endsMatch(e1, e2, t) || endsMatch(e1, s2, t) || endsMatch(s1, e2, t))
        return true;
    if (line1.max_x() < line2.min_x() - t || line2.max_x() < line1.min_x() - t)
        return false;
    if (line1.max_y() < line2.min_y() - t || line2.max_y() < line1.min_y() - t)
        return false;
    return true;
}

std::vector<QXDocxTableLineArray> QXDocxTableLine::FindConnectedLines(const QXDocxTableLineArray& lines)
{
    return connectedLines(lines);
}

QXDocxTableLineArray QXDocxTableLine::FindIntersectLines(const QXDocxTableLineArray& lines)
{
    if (lines.empty())
        return {};
    QXDocxTableLineArray group{lines.front()};
    std::vector<bool> taken(lines.size(), false);
    taken[0] = true;
    // Breadth-first from the first line: each member pulls in the lines it
    // meets, in array order.
    for (std::size_t k = 0; k < group.size(); ++k) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!taken[i] && IsIntersect(*group[k], *lines[i])) {
                taken[i] = true;
                group.push_back(lines[i]);
            }
        }
    }
    return group;
}

std::vector<QXDocxTableLineArray> QXDocxTableLine::FindIntersectLinesGroups(const QXDocxTableLineArray& lines,
                                                                           const std::vector<Rect>* textBoxes)
{
    QXDocxTableLineArray sorted = lines;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a->min_y() < b->min_y(); });

    // Merged groups of three or more lines become provisional areas.
    std::vector<QXDocxTableAreaPtr> areas;
    for (const auto& group : FindConnectedLines(sorted)) {
        QXDocxTableLineArray merged = MergeParallelLinesIfNeed(group, true, textBoxes);
        if (merged.size() <= 2) {
            for (const auto& line : merged)
                line->setIsInvalid(true);
            continue;
        }
        areas.push_back(QXDocxTableArea::initWithLines(merged));
    }

    // Areas whose grown bounds meet are one table.
    std::vector<QXDocxTableLineArray> result;
    for (const auto& joined : QXDocxTableArea::JoinIntersectTableAreas(areas)) {
        QXDocxTableLineArray all;
        for (const auto& area : joined)
            all.insert(all.end(), area->tableLines().begin(), area->tableLines().end());
        if (all.size() >= 2)
            all = MergeParallelLinesIfNeed(all, true, textBoxes);
        result.push_back(std::move(all));
    }
    return result;
}

QXDocxTableLineArray QXDocxTableLine::MergeParallelLinesIfNeed(const QXDocxTableLineArray& lines, bool isLengthExtend,
                                                               const std::vector<Rect>* textBoxes)
{
    QXDocxTableLineArray horizontals;
    QXDocxTableLineArray verticals;
    for (const auto& line : lines) {
        const QXDocxTableLineArray single{line};
        const QXDocxTableLineArray& parts = line->subLineArray().empty() ? single : line->subLineArray();
        for (const auto& part : parts)
            (part->isHorizontalLine() ? horizontals : verticals).push_back(part);
    }
    std::stable_sort(horizontals.begin(), horizontals.end(), [](const auto& a, const auto& b) {
        if (a->lineLength() != b->lineLength())
            return a->lineLength() > b->lineLength();
        return a->startPoint().y < b->startPoint().y;
    });
    std::stable_sort(verticals.begin(), verticals.end(), [](const auto& a, const auto& b) {
        if (a->lineLength() != b->lineLength())
            return a->lineLength() > b->lineLength();
        return a->startPoint().x < b->startPoint().x;
    });

    // Each round takes the first line left with the lines that merge with
    // it (what FindMergeParallelLines answers on the lines left); lines
    // are marked as taken rather than copied out of the list.
    QXDocxTableLineArray result;
    for (const QXDocxTableLineArray* list : {&horizontals, &verticals}) {
        std::vector<char> taken(list->size(), 0);
        for (std::size_t first = 0; first < list->size(); ++first) {
            if (taken[first])
                continue;
            const QXDocxTableLineArray set = mergeSetFrom(*list, taken, first, isLengthExtend, textBoxes);
            result.push_back(set.size() == 1 ? set.front() : MergeParallelLines(set));
        }
    }
    return result;
}

QXDocxTableLineArray QXDocxTableLine::FindMergeParallelLines(const QXDocxTableLineArray& list, bool isLengthExtend)
{
    if (list.empty())
        return {};
    std::vector<char> taken(list.size(), 0);
    return mergeSetFrom(list, taken, 0, isLengthExtend);
}

QXDocxTableLinePtr QXDocxTableLine::ContinuFindMergeParallelLines(const QXDocxTableLineArray& rest,
                                                                  const QXDocxTableLineArray& result,
                                                                  bool isLengthExtend)
{
    for (const auto& candidate : rest) {
        if (canJoinMergeSet(*candidate, result, isLengthExtend))
            return candidate;
    }
    return nullptr;
}

QXDocxTableLinePtr QXDocxTableLine::MergeParallelLines(const QXDocxTableLineArray& pieces)
{
    if (pieces.empty())
        return nullptr;
    QXDocxTableLinePtr longest = pieces.front();
    for (const auto& piece : pieces) {
        if (piece->lineLength() > longest->lineLength())
            longest = piece;
    }
    auto merged = std::make_shared<QXDocxTableLine>();
    Point start = longest->startPoint();
    Point end = longest->endPoint();
    merged->subLineArray_ = pieces;
    if (std::fabs(start.y - end.y) < kMergeAxisTolerance) {
        double y = start.y;
        double lo = std::min(start.x, end.x), hi = std::max(start.x, end.x);
        for (const auto& piece : pieces) {
            if (piece->lineLength() > kMergeMinPieceLength)
                y = std::min<double>(y, piece->min_y());
            lo = std::min<double>(lo, piece->min_x());
            hi = std::max<double>(hi, piece->max_x());
            merged->add2AllRunPathArray(piece->allRunPathArray());
        }
        start = {lo, y};
        end = {hi, y};
    } else if (std::fabs(start.x - end.x) < kMergeAxisTolerance) {
        double x = start.x;
        double lo = std::min(start.y, end.y), hi = std::max(start.y, end.y);
        for (const auto& piece : pieces) {
            if (piece->lineLength() > kMergeMinPieceLength)
                x = std::min<double>(x, piece->min_x());
            lo = std::min<double>(lo, piece->min_y());
            hi = std::max<double>(hi, piece->max_y());
            merged->add2AllRunPathArray(piece->allRunPathArray());
        }
        start = {x, lo};
        end = {x, hi};
    } else {
        for (const auto& piece : pieces)
            merged->add2AllRunPathArray(piece->allRunPathArray());
    }
    merged->startPoint_ = start;
    merged->endPoint_ = end;
    merged->updateLineInfo();
    return merged;
}

// --- Page frame ---

QXDocxTableLineArray QXDocxTableLine::FindRemoveFrameLinesIfNeed(const QXDocxTableLineArray& lines)
{
    if (lines.empty())
        return {};
    const Rect b = BoundsOfTableLines(lines);
    const double minX = b.minX(), minY = b.minY(), maxX = b.maxX(), maxY = b.maxY();
    const QXDocxTableLinePtr top = FindTableLines(lines, {minX, minY}, {maxX, minY}, kFrameTop);
    const QXDocxTableLinePtr left = FindTableLines(lines, {minX, minY}, {minX, maxY}, kFrameLeft);
    const QXDocxTableLinePtr right = FindTableLines(lines, {maxX, minY}, {maxX, maxY}, kFrameRight);
    const QXDocxTableLinePtr bottom = FindTableLines(lines, {minX, maxY}, {maxX, maxY}, kFrameBottom);
    if (!top || !left || !right || !bottom)
        return {};
    if (std::fabs(strokeWeightOf(top->initRunPath()) - strokeWeightOf(left->initRunPath())) >= kFrameWeightTolerance ||
        std::fabs(strokeWeightOf(right->initRunPath()) - strokeWeightOf(bottom->initRunPath())) >=
            kFrameWeightTolerance)
        return {};

    const QXDocxTableLineArray frame{top, left, right, bottom};
    QXDocxTableLineArray rest;
    for (const auto& line : lines) {
        if (!containsPtr(frame, line))
            rest.push_back(line);
    }
    const int types[4] = {kFrameTop, kFrameLeft, kFrameRight, kFrameBottom};
    double distances[4];
    for (int i = 0; i < 4; ++i) {
        const QXDocxTableLineArray nearby = FindNearbyTableLines(rest, *frame[i], types[i]);
        if (!IsClosedNearbyTableLines(nearby, *frame[i], types[i], &distances[i]))
            return {};
    }
    const bool allClose = std::all_of(distances, distances + 4, [](double d) { return d > 0 && d < kFrameNearbyDistance; });
    if (allClose && std::fabs(distances[0] - distances[1]) < kFrameDoubleLineDistanceTolerance &&
        std::fabs(distances[2] - distances[3]) < kFrameDoubleLineDistanceTolerance)
        return {};
    return frame;
}

QXDocxTableLinePtr QXDocxTableLine::FindTableLines(const QXDocxTableLineArray& lines, Point p1, Point p2, int type)
{
    QXDocxTableLinePtr best;
    for (const auto& line : lines) {
        if (!line->initRunPath())
            continue;
        const Point s = line->startPoint(), e = line->endPoint();
        const bool matches = (endsMatch(s, p1, kFrameCornerTolerance) && endsMatch(e, p2, kFrameCornerTolerance)) ||
                             (endsMatch(s, p2, kFrameCornerTolerance) && endsMatch(e, p1, kFrameCornerTolerance));
        if (!matches)
            continue;
        if (!best) {
            best = line;
            continue;
        }
        const Point bs = best->startPoint();
        switch (type) {
        case kFrameTop: if (s.y < bs.y) best = line; break;
        case kFrameLeft: if (s.x < bs.x) best = line; break;
        case kFrameRight: if (s.x > bs.x) best = line; break;
        case kFrameBottom: if (s.y > bs.y) best = line; break;
        default: break;
        }
    }
    return best;
}

namespace {

// How far inside frame side `side` (of `type`) a parallel line lies;
// negative when it lies outside.
double insideDistance(const QXDocxTableLine& side, const QXDocxTableLine& line, int type)
{
    switch (type) {
    case QXDocxTableLine::kFrameTop: return line.min_y() - side.min_y();
    case QXDocxTableLine::kFrameLeft: return line.min_x() - side.min_x();
    case QXDocxTableLine::kFrameRight: return side.max_x() - line.max_x();
    case QXDocxTableLine::kFrameBottom: return side.max_y() - line.max_y();
    default: return -1;
    }
}

double alongOverlap(const QXDocxTableLine& a, const QXDocxTableLine& b)
{
    return std::min(alongMax(a), alongMax(b)) - std::max(alongMin(a), alongMin(b));
}

} // namespace

QXDocxTableLineArray QXDocxTableLine::FindNearbyTableLines(const QXDocxTableLineArray& lines,
                                                           const QXDocxTableLine& line, int type)
{
    QXDocxTableLineArray nearby;
    for (const auto& other : lines) {
        if (!other->isStroked())
            continue;
        if (other->isHorizontalLine() == line.isHorizontalLine()) {
            const double d = insideDistance(line, *other, type);
            if (d >= 0 && d < kFrameNearbyDistance && alongOverlap(line, *other) > 0)
                nearby.push_back(other);
            continue;
        }
        // A line across the side that ends on it (within 8.1 inside or
        // out) and lies along the side's stretch.
        const double at = line.isHorizontalLine() ? other->min_x() : other->min_y();
        if (at < alongMin(line) - kFrameNearbyDistance || at > alongMax(line) + kFrameNearbyDistance)
            continue;
        const double sideAt = line.isHorizontalLine() ? line.min_y() : line.min_x();
        const double nearEnd = (type == kFrameTop || type == kFrameLeft) ? alongMin(*other) : alongMax(*other);
        if (std::fabs(nearEnd - sideAt) < kFrameNearbyDistance)
            nearby.push_back(other);
    }
    return nearby;
}

bool QXDocxTableLine::IsClosedNearbyTableLines(const QXDocxTableLineArray& nearby, const QXDocxTableLine& line,
                                               int type, double* distance)
{
    double best = kFrameNoNearbyDistance;
    const QXDocxTableLine* nearest = nullptr;
    bool touched = false;
    for (const auto& other : nearby) {
        if (other->isHorizontalLine() != line.isHorizontalLine()) {
            touched = true;
            continue;
        }
        const double d = insideDistance(line, *other, type);
        if (d < best) {
            best = d;
            nearest = other.get();
        }
    }
    if (distance)
        *distance = best;
    // Lines ending on the side make it the edge of a drawing or a table,
    // not a frame around the page.
    if (touched)
        return false;
    if (!nearest)
        return true;
    return alongOverlap(line, *nearest) >= kFrameCompanionCoverage * line.lineLength();
}

// --- Shared starts (chart bars) ---

bool QXDocxTableLine::IsHaveSameStartLines(const QXDocxTableLineArray& lines)
{
    QXDocxTableLineArray gathered;
    for (const auto& line : lines) {
        if (!line->subLineArray().empty()) {
            for (const auto& piece : line->subLineArray()) {
                if (piece->isFilled())
                    gathered.push_back(piece);
            }
        } else if (line->isFilled()) {
            gathered.push_back(line);
        }
    }
    if (gathered.empty())
        return false;
    const QXDocxTableLinePtr first = gathered.front();
    std::erase(gathered, first);
    for (double v : {first->startPoint().x, first->startPoint().y, first->endPoint().x, first->endPoint().y}) {
        if (IsHaveSameStartLines(gathered, v))
            return true;
    }
    return false;
}

bool QXDocxTableLine::IsHaveSameStartLines(const QXDocxTableLineArray& lines, double value)
{
    if (lines.empty())
        return false;
    const float v = static_cast<float>(value);
    auto near = [&](double c) { return std::fabs(static_cast<float>(c) - v) < kChartSameStartTolerance; };
    if (std::all_of(lines.begin(), lines.end(),
                    [&](const auto& l) { return near(l->startPoint().x) || near(l->endPoint().x); }))
        return true;
    return std::all_of(lines.begin(), lines.end(),
                       [&](const auto& l) { return near(l->startPoint().y) || near(l->endPoint().y); });
}

} // namespace rz
