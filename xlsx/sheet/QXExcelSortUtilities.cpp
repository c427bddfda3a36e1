#include "xlsx/sheet/QXExcelSortUtilities.h"

#include "platform/text/Utf.h"
#include "xlsx/sheet/QXExcelGridLimits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace rz {

namespace {

template <typename Key>
QXExcelRunTexts sortedBy(const QXExcelRunTexts& runs, Key key)
{
    QXExcelRunTexts sorted = runs;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const auto& a, const auto& b) { return key(*a) < key(*b); });
    return sorted;
}

// Sweeps a sorted list from its first run: a later run joins while its near
// edge lies strictly before the band's far edge, which grows with it.
template <typename Near, typename Far>
QXExcelRunTexts sweepBand(const QXExcelRunTexts& runs, Near nearEdge, Far farEdge)
{
    QXExcelRunTexts band;
    if (runs.empty())
        return band;
    band.push_back(runs.front());
    double far = farEdge(*runs.front());
    for (size_t i = 1; i < runs.size(); ++i) {
        const QXExcelRunText& run = *runs[i];
        if (nearEdge(run) < far) {
            band.push_back(runs[i]);
            far = std::max(far, farEdge(run));
        }
    }
    return band;
}

bool widthGapJoins(double gap, int32_t option)
{
    using namespace excelgrid;
    switch (option) {
    case 2:
        return std::fabs(gap) < kWidthMergeTightMaxGap;
    case 1:
        return gap < kWidthMergeLooseMaxGap;
    default:
        return gap > -kWidthMergeMaxOverlap && gap < kWidthMergeMaxGap;
    }
}

// Joining a horizontal group: on the first run's baseline, starting within
// the option's gap after the group's right edge, of the first run's size
// and colour. The far edge is the group's right edge.
struct WidthMerge {
    int32_t option;
    static double nearEdge(const QXExcelRunText& r) { return r.ctmInfo().xLeft; }
    static double farEdge(const QXExcelRunText& r) { return r.ctmInfo().xRight; }
    bool joins(const QXExcelRunText& first, const QXExcelRunText& run, double far) const
    {
        return std::fabs(first.ctmInfo().yBase - run.ctmInfo().yBase) < excelgrid::kWidthMergeBaselineTolerance &&
               widthGapJoins(run.ctmInfo().xLeft - far, option) && first.rPr().isSameToRPr(run.rPr());
    }
    // No run starting this far past the far edge, nor any after it in a
    // list sorted by near edge, can join.
    double reach() const
    {
        return option == 1 ? excelgrid::kWidthMergeLooseMaxGap
                           : (option == 2 ? excelgrid::kWidthMergeTightMaxGap : excelgrid::kWidthMergeMaxGap);
    }
};

// Joining a vertical group: overlapping the first run across, starting close
// below the group's bottom, of the first run's size and colour.
struct HeightMerge {
    static double nearEdge(const QXExcelRunText& r) { return r.ctmInfo().yTop; }
    static double farEdge(const QXExcelRunText& r) { return r.ctmInfo().yBottom; }
    bool joins(const QXExcelRunText& first, const QXExcelRunText& run, double far) const
    {
        return first.ctmInfo().xRight - run.ctmInfo().xLeft > excelgrid::kHeightMergeMinOverlap &&
               std::fabs(run.ctmInfo().yTop - far) < excelgrid::kHeightMergeMaxGap &&
               first.rPr().isSameToRPr(run.rPr());
    }
    double reach() const { return excelgrid::kHeightMergeMaxGap; }
};

// The group opened by runs[start] among the runs not yet taken, which it
// takes. With `sorted` (the list ascending by near edge) the walk ends at
// the first run too far past the group's far edge: no later run can join.
template <typename Rule>
QXExcelRunTexts groupFrom(const QXExcelRunTexts& runs, size_t start, std::vector<bool>& taken, const Rule& rule,
                          bool sorted)
{
    const QXExcelRunText& first = *runs[start];
    QXExcelRunTexts group{runs[start]};
    taken[start] = true;
    double far = rule.farEdge(first);
    for (size_t i = start + 1; i < runs.size(); ++i) {
        if (taken[i])
            continue;
        const QXExcelRunText& run = *runs[i];
        if (sorted && rule.nearEdge(run) - far >= rule.reach())
            break;
        if (!rule.joins(first, run, far))
            continue;
        group.push_back(runs[i]);
        taken[i] = true;
        far = std::max(far, rule.farEdge(run));
    }
    return group;
}

// The groups that taking the first remaining run's group, again and again,
// gives, in order.
template <typename Rule>
std::vector<QXExcelRunTexts> groupsOf(const QXExcelRunTexts& runs, const Rule& rule)
{
    const bool sorted = std::is_sorted(runs.begin(), runs.end(), [&](const auto& a, const auto& b) {
        return rule.nearEdge(*a) < rule.nearEdge(*b);
    });
    std::vector<bool> taken(runs.size(), false);
    std::vector<QXExcelRunTexts> groups;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (!taken[i])
            groups.push_back(groupFrom(runs, i, taken, rule, sorted));
    }
    return groups;
}

// The group's union box given to its first run.
void unionGeometry(QXExcelRunText& first, const QXExcelRunTexts& runs)
{
    QXPDF_CTMInfo& info = first.ctmInfo();
    for (const auto& run : runs) {
        const QXPDF_CTMInfo& other = run->ctmInfo();
        info.yTop = std::min(info.yTop, other.yTop);
        info.yBase = std::max(info.yBase, other.yBase);
        info.yBottom = std::max(info.yBottom, other.yBottom);
        info.xLeft = std::min(info.xLeft, other.xLeft);
        info.xRight = std::max(info.xRight, other.xRight);
    }
    first.setTextWidth(info.xRight - info.xLeft);
}

template <typename Index>
std::vector<QXExcelRunTexts> splitBy(const QXExcelRunTexts& runs, Index index)
{
    std::vector<QXExcelRunTexts> groups;
    std::unordered_map<size_t, size_t> slot;
    for (const auto& run : runs) {
        auto [it, added] = slot.emplace(index(*run), groups.size());
        if (added)
            groups.emplace_back();
        groups[it->second].push_back(run);
    }
    return groups;
}

template <typename Value, typename Pick>
double extreme(const QXExcelRunTexts& runs, Value value, Pick pick)
{
    if (runs.empty())
        return 0;
    double result = value(*runs.front());
    for (const auto& run : runs)
        result = pick(result, value(*run));
    return result;
}

constexpr auto minOf = [](double a, double b) { return std::min(a, b); };
constexpr auto maxOf = [](double a, double b) { return std::max(a, b); };

} // namespace

QXExcelRunTexts QXExcelSortUtilities::SortRunTextsByX(const QXExcelRunTexts& runs)
{
    return sortedBy(runs, [](const QXExcelRunText& r) { return r.ctmInfo().xLeft; });
}

QXExcelRunTexts QXExcelSortUtilities::SortRunTextsByY(const QXExcelRunTexts& runs)
{
    return sortedBy(runs, [](const QXExcelRunText& r) { return r.ctmInfo().yTop; });
}

QXExcelRunTexts QXExcelSortUtilities::FindRunTextsCrossedInHeight(const QXExcelRunTexts& runs)
{
    return sweepBand(
        runs, [](const QXExcelRunText& r) { return r.ctmInfo().yTop; },
        [](const QXExcelRunText& r) { return r.ctmInfo().yBase; });
}

QXExcelRunTexts QXExcelSortUtilities::FindRunTextsCrossedInWidth(const QXExcelRunTexts& runs)
{
    return sweepBand(
        runs, [](const QXExcelRunText& r) { return r.ctmInfo().xLeft; },
        [](const QXExcelRunText& r) { return r.ctmInfo().xRight; });
}

QXExcelRunTexts QXExcelSortUtilities::FindRunTextsMergedInWidth(const QXExcelRunTexts& runs, int32_t option)
{
    std::vector<bool> taken(runs.size(), false);
    return runs.empty() ? QXExcelRunTexts() : groupFrom(runs, 0, taken, WidthMerge{option}, false);
}

QXExcelRunTexts QXExcelSortUtilities::FindRunTextsMergedInHeight(const QXExcelRunTexts& runs)
{
    std::vector<bool> taken(runs.size(), false);
    return runs.empty() ? QXExcelRunTexts() : groupFrom(runs, 0, taken, HeightMerge{}, false);
}

std::vector<QXExcelRunTexts> QXExcelSortUtilities::GroupRunTextsMergedInWidth(const QXExcelRunTexts& runs,
                                                                              int32_t option)
{
    return groupsOf(runs, WidthMerge{option});
}

std::vector<QXExcelRunTexts> QXExcelSortUtilities::GroupRunTextsMergedInHeight(const QXExcelRunTexts& runs)
{
    return groupsOf(runs, HeightMerge{});
}

std::shared_ptr<QXExcelRunText> QXExcelSortUtilities::MergeRunTextsInWidth(const QXExcelRunTexts& runs)
{
    if (runs.empty())
        return nullptr;
    QXExcelRunText& first = *runs.front();
    for (size_t i = 1; i < runs.size(); ++i)
        first.text() += runs[i]->text();
    unionGeometry(first, runs);
    return runs.front();
}

std::shared_ptr<QXExcelRunText> QXExcelSortUtilities::MergeRunTextsInHeight(const QXExcelRunTexts& runs)
{
    if (runs.empty())
        return nullptr;
    QXExcelRunText& first = *runs.front();
    for (size_t i = 1; i < runs.size(); ++i) {
        if (!HaveNoneEnglishString(first.text()))
            first.text() += ' ';
        first.text() += runs[i]->text();
    }
    unionGeometry(first, runs);
    return runs.front();
}

bool QXExcelSortUtilities::HaveNoneEnglishString(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const char32_t cp = nextCodePoint(text, i);
        if (cp >= excelgrid::kFirstIdeograph && cp <= excelgrid::kLastIdeograph)
            return true;
    }
    return false;
}

QXExcelRunTexts QXExcelSortUtilities::FindRunTextsInSameColumnIndex(const QXExcelRunTexts& runs)
{
    QXExcelRunTexts same;
    if (runs.empty())
        return same;
    const size_t column = runs.front()->columnIndex();
    std::copy_if(runs.begin(), runs.end(), std::back_inserter(same),
                 [&](const auto& run) { return run->columnIndex() == column; });
    return same;
}

QXExcelRunTexts QXExcelSortUtilities::FindRunTextsInSameRowIndex(const QXExcelRunTexts& runs)
{
    QXExcelRunTexts same;
    if (runs.empty())
        return same;
    const size_t row = runs.front()->rowIndex();
    std::copy_if(runs.begin(), runs.end(), std::back_inserter(same),
                 [&](const auto& run) { return run->rowIndex() == row; });
    return same;
}

double QXExcelSortUtilities::GetMinxRightInRunTexts(const QXExcelRunTexts& runs)
{
    return extreme(runs, [](const QXExcelRunText& r) { return r.ctmInfo().xRight; }, minOf);
}

double QXExcelSortUtilities::GetMinxLeftInRunTexts(const QXExcelRunTexts& runs)
{
    return extreme(runs, [](const QXExcelRunText& r) { return r.ctmInfo().xLeft; }, minOf);
}

double QXExcelSortUtilities::GetMaxxLeftInRunTexts(const QXExcelRunTexts& runs)
{
    return extreme(runs, [](const QXExcelRunText& r) { return r.ctmInfo().xLeft; }, maxOf);
}

double QXExcelSortUtilities::GetMinxTopInRunTexts(const QXExcelRunTexts& runs)
{
    return extreme(runs, [](const QXExcelRunText& r) { return r.ctmInfo().yTop; }, minOf);
}

QXExcelRunTexts QXExcelSortUtilities::RemoveRunTexts(const QXExcelRunTexts& runs, const QXExcelRunTexts& removed)
{
    std::unordered_set<const QXExcelRunText*> gone;
    for (const auto& run : removed)
        gone.insert(run.get());
    QXExcelRunTexts kept;
    kept.reserve(runs.size());
    for (const auto& run : runs) {
        if (!gone.count(run.get()))
            kept.push_back(run);
    }
    return kept;
}

std::vector<QXExcelRunTexts> QXExcelSortUtilities::SplitByColumnIndex(const QXExcelRunTexts& runs)
{
    return splitBy(runs, [](const QXExcelRunText& r) { return r.columnIndex(); });
}

std::vector<QXExcelRunTexts> QXExcelSortUtilities::SplitByRowIndex(const QXExcelRunTexts& runs)
{
    return splitBy(runs, [](const QXExcelRunText& r) { return r.rowIndex(); });
}

} // namespace rz
