// The operations of QXDocxRunTextLine on several lines: vertical bands,
// splitting and chaining by text order, superscript and subscript lines,
// merging lines into one, and the script kind of a line's runs.
#include "docx/layout/QXDocxRunTextLine.h"

#include "docx/layout/QXDocxLayoutLimits.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace rz {

namespace {

double groupFrameBottom(const Rect& frame)
{
    return frame.origin.y + frame.size.height;
}

double groupFrameMiddle(const Rect& frame)
{
    return frame.origin.y + frame.size.height / 2;
}

// True when `y` lies strictly between the frame's top and bottom.
bool groupStrictlyInside(double y, const Rect& frame)
{
    return frame.origin.y < y && y < groupFrameBottom(frame);
}

// All runs of all lines, in list order.
QXDocxRunTextArray groupAllRuns(const QXDocxRunTextLineArray& lines)
{
    QXDocxRunTextArray runs;
    for (const QXDocxRunTextLinePtr& line : lines)
        runs.insert(runs.end(), line->runTextArray().begin(), line->runTextArray().end());
    return runs;
}

bool groupTextFollows(const QXDocxRunText& previous, const QXDocxRunText& next)
{
    return previous.textScanIndex() + previous.textScanLength() == next.textScanIndex();
}

} // namespace

void QXDocxRunTextLine::removeScript()
{
    for (const QXDocxRunTextPtr& run : *runTextArray_) {
        const float height = static_cast<float>(run->ctmInfo().fontSize.height);
        const float size = std::floor(2.0F * height) / 2.0F;
        QXDocx_RPr property = run->rProperty();
        property.sz = property.szCs = size;
        property.scrpit = 0;
        run->setRProperty(property);
        QXPDF_CTMInfo info = run->ctmInfo();
        info.yBase = info.yBottom;
        run->setCtmInfo(info);
    }
}

QXDocxRunTextLineArray QXDocxRunTextLine::FindMergeRunTextLineArrayY(const QXDocxRunTextLineArray& lines)
{
    if (lines.size() <= 1)
        return lines;
    const QXDocxRunTextLineArray sorted = SortRunTextLineArrayByTopY(lines);
    const std::size_t length = MergeRunTextLineBandLength(sorted, 0);
    return SortRunTextLineArrayByBaseY(
        QXDocxRunTextLineArray(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(length)));
}

std::size_t QXDocxRunTextLine::MergeRunTextLineBandLength(const QXDocxRunTextLineArray& byTop, std::size_t start)
{
    if (start >= byTop.size())
        return 0;
    Rect reference = byTop[start]->lineFrame_;
    std::size_t i = start + 1;
    for (; i < byTop.size(); ++i) {
        const Rect& frame = byTop[i]->lineFrame_;
        bool joins = false;
        if (reference.size.height > frame.size.height) {
            joins = groupStrictlyInside(groupFrameMiddle(frame), reference);
        } else {
            joins = groupStrictlyInside(groupFrameMiddle(reference), frame);
            reference = frame;
        }
        if (!joins)
            break;
    }
    return i - start;
}

QXDocxRunTextLineArray QXDocxRunTextLine::SplitRunTextLineForContinuous(const QXDocxRunTextLinePtr& line)
{
    QXDocxRunTextLineArray result;
    if (!line || line->runTextArray().empty())
        return result;
    if (line->runTextArray().size() == 1) {
        result.push_back(std::make_shared<QXDocxRunTextLine>(line->runTextArray()));
        return result;
    }
    const QXDocxRunTextArray ordered = SortRunTextArrayByIndex(line->runTextArray());
    // The runs are in drawing order, so a tried run always sorts last in
    // its group (the sort is stable): it joins exactly when its text
    // follows the group's last run. The group therefore takes, again and
    // again, the earliest remaining run after its last one whose text index
    // is the one expected next; the remaining runs are indexed by text
    // index to find it.
    std::map<std::uint64_t, std::set<std::size_t>> remainingByText;
    for (std::size_t i = 0; i < ordered.size(); ++i)
        remainingByText[ordered[i]->textScanIndex()].insert(i);
    std::vector<bool> taken(ordered.size(), false);
    std::size_t firstRemaining = 0;
    while (firstRemaining < ordered.size()) {
        QXDocxRunTextArray group;
        std::size_t position = firstRemaining;
        while (true) {
            const QXDocxRunText& run = *ordered[position];
            group.push_back(ordered[position]);
            taken[position] = true;
            remainingByText[run.textScanIndex()].erase(position);
            const auto next = remainingByText.find(run.textScanIndex() + run.textScanLength());
            if (next == remainingByText.end())
                break;
            const auto after = next->second.upper_bound(position);
            if (after == next->second.end())
                break;
            position = *after;
        }
        result.push_back(std::make_shared<QXDocxRunTextLine>(std::move(group)));
        while (firstRemaining < ordered.size() && taken[firstRemaining])
            ++firstRemaining;
    }
    return SortRunTextLineArrayByBaseY(result);
}

QXDocxRunTextLineArray QXDocxRunTextLine::SplitRunTextLineArrayContinuous(const QXDocxRunTextLineArray& lines)
{
    if (lines.size() <= 1)
        return lines;
    QXDocxRunTextLineArray result;
    for (const QXDocxRunTextLinePtr& line : lines) {
        QXDocxRunTextLineArray parts = SplitRunTextLineForContinuous(line);
        result.insert(result.end(), parts.begin(), parts.end());
    }
    return SortRunTextLineArrayByBaseY(result);
}

QXDocxRunTextLineArray QXDocxRunTextLine::FindRunTextLineArrayContinuous(const QXDocxRunTextLineArray& lines)
{
    if (lines.size() <= 1)
        return lines;
    const QXDocxRunTextLineArray sorted = SortRunTextLineArrayByIndex(lines);
    QXDocxRunTextLineArray chain{sorted.front()};
    // The chain's runs in drawing order (stable: the chain's list order
    // among equal indices) and how many neighbours there do not follow one
    // another in text order. A tried line's runs are merged in after the
    // chain's runs of equal index, which is where the stable sort of all
    // the runs would put them; only the neighbour pairs around the
    // inserted runs change, so a try costs the size of the tried line.
    QXDocxRunTextArray chainRuns = SortRunTextArrayByIndex(sorted.front()->runTextArray());
    std::size_t broken = 0;
    for (std::size_t i = 1; i < chainRuns.size(); ++i)
        broken += groupTextFollows(*chainRuns[i - 1], *chainRuns[i]) ? 0 : 1;
    const auto byIndex = [](std::uint64_t index, const QXDocxRunTextPtr& run) { return index < run->pdfScanIndex(); };
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const QXDocxRunTextArray tried = SortRunTextArrayByIndex(sorted[i]->runTextArray());
        if (chainRuns.empty() && tried.empty())
            continue;
        // Insertion place in chainRuns of each tried run (non-decreasing).
        std::vector<std::size_t> places(tried.size());
        for (std::size_t k = 0; k < tried.size(); ++k) {
            places[k] = static_cast<std::size_t>(
                std::upper_bound(chainRuns.begin(), chainRuns.end(), tried[k]->pdfScanIndex(), byIndex) -
                chainRuns.begin());
        }
        std::size_t newBroken = broken;
        for (std::size_t k = 0; k < tried.size();) {
            std::size_t end = k;
            while (end < tried.size() && places[end] == places[k])
                ++end;
            const std::size_t place = places[k];
            const QXDocxRunTextPtr before = place > 0 ? chainRuns[place - 1] : nullptr;
            const QXDocxRunTextPtr after = place < chainRuns.size() ? chainRuns[place] : nullptr;
            if (before && after && !groupTextFollows(*before, *after))
                --newBroken;
            if (before && !groupTextFollows(*before, *tried[k]))
                ++newBroken;
            for (std::size_t j = k + 1; j < end; ++j)
                newBroken += groupTextFollows(*tried[j - 1], *tried[j]) ? 0 : 1;
            if (after && !groupTextFollows(*tried[end - 1], *after))
                ++newBroken;
            k = end;
        }
        if (newBroken != 0)
            continue;
        chain.push_back(sorted[i]);
        for (std::size_t k = tried.size(); k-- > 0;)
            chainRuns.insert(chainRuns.begin() + static_cast<std::ptrdiff_t>(places[k]), tried[k]);
        broken = 0;
    }
    return SortRunTextLineArrayByBaseY(chain);
}

bool QXDocxRunTextLine::IsRunTextArrayPDFTextIndexContinuous(QXDocxRunTextArray& runs)
{
    if (runs.empty())
        return false;
    runs = SortRunTextArrayByIndex(runs);
    for (std::size_t i = 1; i < runs.size(); ++i) {
        if (!groupTextFollows(*runs[i - 1], *runs[i]))
            return false;
    }
    return true;
}

bool QXDocxRunTextLine::IsRunLineArrayPDFTextIndexContinuous(const QXDocxRunTextLineArray& lines)
{
    if (lines.empty())
        return false;
    QXDocxRunTextArray runs = groupAllRuns(lines);
    return IsRunTextArrayPDFTextIndexContinuous(runs);
}

bool QXDocxRunTextLine::HaveXOverlapRunTextArray(const QXDocxRunTextArray& runs)
{
    if (runs.size() < 2)
        return false;
    const QXDocxRunTextArray sorted = SortRunTextFromXLeftToRight(runs);
    float deepest = 0;
    double width = sorted.front()->ctmInfo().fontSize.width;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        const QXPDF_CTMInfo& previous = sorted[i - 1]->ctmInfo();
        const QXPDF_CTMInfo& next = sorted[i]->ctmInfo();
        const double gap = next.xLeft - previous.xRight;
        if (gap < deepest) {
            deepest = static_cast<float>(gap);
            width = std::min(previous.fontSize.width, next.fontSize.width);
        }
    }
    return -docxlimits::kLineXOverlapCharFraction * width > deepest;
}

bool QXDocxRunTextLine::IsScriptRunTextLineArray(const QXDocxRunTextLineArray& lines)
{
    if (lines.size() < 2)
        return false;
    const QXDocxRunTextLinePtr tallest = FindMaxHeightRunTextLine(lines);
    Rect band = tallest->lineFrame_;
    band.origin.x = 0;
    band.size.width = docxlimits::kScriptBandWidth;
    for (const QXDocxRunTextLinePtr& line : lines) {
        if (line == tallest)
            continue;
        const Rect inside = line->lineFrame_.intersection(band);
        const double insideHeight = inside.isNull() ? 0 : inside.size.height;
        if (!(insideHeight > docxlimits::kScriptBandMinInside * line->lineFrame_.size.height))
            return false;
    }
    return !HaveXOverlapRunTextArray(groupAllRuns(lines));
}

void QXDocxRunTextLine::SetupScriptRunTextLineArray(const QXDocxRunTextLineArray& lines)
{
    if (lines.size() < 2)
        return;
    const QXDocxRunTextLinePtr tallest = FindMaxHeightRunTextLine(lines);
    if (tallest->runTextArray().empty())
        return;
    const float mainSize = tallest->runTextArray().front()->rProperty().sz;
    const double mainHeight = tallest->lineFrame_.size.height;
    for (const QXDocxRunTextLinePtr& line : lines) {
        if (line == tallest)
            continue;
        const double height = line->lineFrame_.size.height;
        if (!(height - mainHeight < -docxlimits::kScriptMinHeightDifference))
            continue;
        float size = mainSize;
        if (mainHeight / static_cast<double>(docxlimits::kScriptScaleHeightRatio) > height)
            size = std::ceil(static_cast<float>(2.0 * mainSize * height / mainHeight));
        const std::int32_t kind = line->yBaseLine_ > tallest->yBaseLine_ ? 2 : 1;
        for (const QXDocxRunTextPtr& run : line->runTextArray()) {
            QXDocx_RPr property = run->rProperty();
            property.sz = property.szCs = size;
            property.scrpit = kind;
            run->setRProperty(property);
            QXPDF_CTMInfo info = run->ctmInfo();
            info.yBase = tallest->yBaseLine_;
            run->setCtmInfo(info);
        }
    }
}

QXDocxRunTextLinePtr QXDocxRunTextLine::MergeRunTextLineArray(const QXDocxRunTextLineArray& lines)
{
    if (lines.empty())
        return nullptr;
    if (lines.size() == 1)
        return lines.front();
    return std::make_shared<QXDocxRunTextLine>(groupAllRuns(lines));
}

QXDocxRunTextLineArray QXDocxRunTextLine::FindRunTextLineArrayAs1Line(const QXDocxRunTextLineArray& lines)
{
    if (lines.size() <= 1)
        return lines;
    QXDocxRunTextLineArray members{lines.front()};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!groupStrictlyInside(members.back()->yBaseLine_, lines[i]->lineFrame_))
            break;
        members.push_back(lines[i]);
    }
    const double tallest = FindMaxHeightRunTextLine(members)->lineFrame_.size.height;
    const double joint = FrameOfLineArray(members).size.height;
    if (static_cast<double>(static_cast<float>(tallest * docxlimits::kOneLineHeightFactor)) > joint)
        return members;
    if (!HaveXOverlapRunTextArray(groupAllRuns(members)))
        return members;
    return {lines.front()};
}

QXDocxRunTextLineArray QXDocxRunTextLine::FindOverlapRunTextLineY(const QXDocxRunTextLineArray& lines)
{
    if (lines.size() < 2)
        return {};
    QXDocxRunTextLineArray members{lines.front()};
    double bottom = groupFrameBottom(lines.front()->lineFrame_);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!(lines[i]->lineFrame_.origin.y - bottom < -docxlimits::kLineMinVerticalOverlap))
            break;
        members.push_back(lines[i]);
        bottom = groupFrameBottom(lines[i]->lineFrame_);
    }
    if (members.size() < 2)
        return {};
    return members;
}

bool QXDocxRunTextLine::IsAllScriptRunTextArray(const QXDocxRunTextArray& runs)
{
    if (runs.empty())
        return false;
    const std::int32_t kind = runs.front()->rProperty().scrpit;
    if (kind == 0)
        return false;
    return std::all_of(runs.begin() + 1, runs.end(),
                       [kind](const QXDocxRunTextPtr& run) { return run->rProperty().scrpit == kind; });
}

bool QXDocxRunTextLine::IsScriptLine(const QXDocxRunTextLinePtr& line)
{
    return line && IsAllScriptRunTextArray(line->runTextArray());
}

} // namespace rz
