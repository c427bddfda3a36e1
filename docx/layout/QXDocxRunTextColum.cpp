#include "docx/layout/QXDocxRunTextColum.h"

#include "docx/layout/QXDocxLayoutLimits.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <span>

namespace rz {

namespace {

// A gutter spans the block's whole height.
Rect columSpaceRect(const Rect& space, const Rect& frame)
{
    return Rect(space.minX(), frame.minY(), space.width(), frame.height());
}

// Removes the entries at the marked positions, keeping the order.
void columRemoveMarked(std::vector<Rect>& spaces, const std::vector<bool>& marked)
{
    std::vector<Rect> kept;
    kept.reserve(spaces.size());
    for (std::size_t i = 0; i < spaces.size(); ++i) {
        if (!marked[i])
            kept.push_back(spaces[i]);
    }
    spaces = std::move(kept);
}

bool columGroupIsBlank(const QXDocxRunTextLineArray& group)
{
    return std::all_of(group.begin(), group.end(), [](const QXDocxRunTextLinePtr& line) {
        return QXDocxRunTextLine::IsBankSpaceRunTextArray(line->runTextArray());
    });
}

bool columGroupIsNarrow(const QXDocxRunTextLineArray& group)
{
    return QXDocxRunTextLine::FrameOfLineArray(group).width() < docxlimits::kColumnMinWidth;
}

QXDocxRunTextLineArray columJoinedLines(const QXDocxRunTextLineArray& a, const QXDocxRunTextLineArray& b)
{
    QXDocxRunTextLineArray lines;
    lines.reserve(a.size() + b.size());
    lines.insert(lines.end(), a.begin(), a.end());
    lines.insert(lines.end(), b.begin(), b.end());
    return lines;
}

// The height of the lower of the facing lines of two blocks, the upper one's
// last line and the lower one's first (0 when either block has no lines).
double columFacingLineHeight(const QXDocxRunTextColum& upper, const QXDocxRunTextColum& lower)
{
    if (upper.lineArray().empty() || lower.lineArray().empty())
        return 0;
    return std::min(upper.lineArray().back()->lineFrame().height(),
                    lower.lineArray().front()->lineFrame().height());
}

double columGap(const QXDocxRunTextColum& upper, const QXDocxRunTextColum& lower)
{
    return lower.columGroupFrame().minY() - upper.columGroupFrame().maxY();
}

// The leading blocks of `columns` that merge with the first one.
QXDocxRunTextColumArray columFindMergeRun(std::span<const QXDocxRunTextColumPtr> columns)
{
    QXDocxRunTextColumArray result;
    if (columns.empty())
        return result;
    result.push_back(columns.front());
    QXDocxRunTextColumPtr r = columns.front();
    for (std::size_t i = 1; i < columns.size(); ++i) {
        const QXDocxRunTextColumPtr& s = columns[i];
        const double gap = columGap(*r, *s);
        const float limit = std::max(docxlimits::kColumnMergeGapLineHeights *
                                         static_cast<float>(columFacingLineHeight(*r, *s)),
                                     docxlimits::kColumnMergeMinGap);
        if (gap > static_cast<double>(limit))
            break;
        QXDocxRunTextColumPtr t =
            QXDocxRunTextColum::CreateRunTextColum(columJoinedLines(r->lineArray(), s->lineArray()), r->isColumnMode());
        const std::size_t larger = std::max(r->spaceColumArray().size(), s->spaceColumArray().size());
        const bool sameGutters = t->spaceColumArray().size() == larger;
        const bool interleaved =
            r->minPDFScanIndex() < s->maxPDFScanIndex() && s->minPDFScanIndex() < r->maxPDFScanIndex();
        if (interleaved) {
            if (!sameGutters && !t->isPDFScanIndexContinuousRunTextInEveryColum())
                break;
        } else if (!sameGutters) {
            break;
        }
        result.push_back(s);
        r = std::move(t);
    }
    return result;
}

// Whether the block's runs, cut into the column groups createColumGroup
// would make, follow one another in drawing order in every group. The same
// answer as building the groups and asking isPDFScanIndexContinuous-
// RunTextInEveryColum (the page's lines have their runs joined already, so
// a group's cut lines join nothing more), without making the cut lines.
bool columContinuousInEveryGroup(const QXDocxRunTextColum& column)
{
    const std::vector<Rect>& spaces = column.spaceColumArray();
    const Rect& frame = column.columGroupFrame();
    const auto continuous = [](QXDocxRunTextArray& runs) {
        runs = QXDocxRunTextLine::SortRunTextArrayByIndex(runs);
        for (std::size_t i = 1; i < runs.size(); ++i) {
            if (runs[i - 1]->pdfScanIndex() + runs[i - 1]->pdfScanLength() != runs[i]->pdfScanIndex())
                return false;
        }
        return true;
    };
    QXDocxRunTextArray runs;
    if (spaces.size() <= 2) {
        for (const QXDocxRunTextLinePtr& line : column.lineArray())
            runs.insert(runs.end(), line->runTextArray().begin(), line->runTextArray().end());
        return continuous(runs);
    }
    double left = spaces.front().midX();
    for (std::size_t k = 1; k < spaces.size(); ++k) {
        const double middle = spaces[k].midX();
        const Rect box = Rect(left, frame.minY(), middle - left, frame.height())
                             .insetBy(-docxlimits::kColumnGroupBoxOutset, -docxlimits::kColumnGroupBoxOutset);
        runs.clear();
        for (const QXDocxRunTextLinePtr& line : column.lineArray()) {
            for (const QXDocxRunTextPtr& run : line->runTextArray()) {
                if (box.contains(run->displayRect()))
                    runs.push_back(run);
            }
        }
        if (!continuous(runs))
            return false;
        left = middle;
    }
    return true;
}

} // namespace

QXDocxRunTextColum::QXDocxRunTextColum(const QXDocxRunTextColum& other)
    : minPDFScanIndex_(other.minPDFScanIndex_),
      maxPDFScanIndex_(other.maxPDFScanIndex_),
      columGroupFrame_(other.columGroupFrame_),
      isColumnMode_(other.isColumnMode_)
{
    setLineArray(other.lineArray_);
    spaceColumArray_ = other.spaceColumArray_;
    columGroupArray_ = other.columGroupArray_;
}

QXDocxRunTextColumPtr QXDocxRunTextColum::CreateRunTextColum(const QXDocxRunTextLineArray& lines, bool columnMode)
{
    auto column = std::make_shared<QXDocxRunTextColum>();
    column->setIsColumnMode(columnMode);
    column->setLineArray(lines);
    return column;
}

void QXDocxRunTextColum::setLineArray(QXDocxRunTextLineArray lines)
{
    lineArray_ = std::move(lines);
    if (lineArray_.empty())
        return;
    _updateColumInfo(lineArray_);
    spaceColumArray_.clear();
    if (!isColumnMode_)
        return;

    // The gutters are the white spaces every line has at the same place:
    // the first line's spaces, narrowed by each further line's.
    for (const QXDocxRunTextLineSpacePtr& space : lineArray_.front()->spaceRowArray()) {
        if (space && space->spaceRect().width() > 0)
            spaceColumArray_.push_back(columSpaceRect(space->spaceRect(), columGroupFrame_));
    }
    for (std::size_t i = 1; i < lineArray_.size(); ++i) {
        std::vector<Rect> narrowed;
        for (const Rect& column : spaceColumArray_) {
            for (const QXDocxRunTextLineSpacePtr& space : lineArray_[i]->spaceRowArray()) {
                if (!space || !space->spaceRect().intersects(column))
                    continue;
                const Rect common = space->spaceRect().intersection(column);
                if (common.width() > 0)
                    narrowed.push_back(columSpaceRect(common, columGroupFrame_));
            }
        }
        spaceColumArray_ = std::move(narrowed);
    }
}

void QXDocxRunTextColum::_updateColumInfo(const QXDocxRunTextLineArray& lines)
{
    if (lines.empty())
        return;
    columGroupFrame_ = QXDocxRunTextLine::FrameOfLineArray(lines);
    minPDFScanIndex_ = minPDFScanIndex(lines);
    maxPDFScanIndex_ = maxPDFScanIndex(lines);
}

void QXDocxRunTextColum::createColumGroup()
{
    if (!columGroupArray_.empty())
        return;
    columGroupArray_.clear();
    if (spaceColumArray_.size() <= 2) {
        columGroupArray_.push_back(lineArray_);
        return;
    }
    // Each group lies between the middles of two neighbouring gutters; a
    // line that crosses a gutter is cut into the runs on either side.
    double left = spaceColumArray_.front().midX();
    for (std::size_t k = 1; k < spaceColumArray_.size(); ++k) {
        const double middle = spaceColumArray_[k].midX();
        const Rect box = Rect(left, columGroupFrame_.minY(), middle - left, columGroupFrame_.height())
                             .insetBy(-docxlimits::kColumnGroupBoxOutset, -docxlimits::kColumnGroupBoxOutset);
        QXDocxRunTextLineArray group;
        for (const QXDocxRunTextLinePtr& line : lineArray_) {
            QXDocxRunTextArray inside;
            for (const QXDocxRunTextPtr& run : line->runTextArray()) {
                if (box.contains(run->displayRect()))
                    inside.push_back(run);
            }
            if (inside.empty())
                continue;
            if (inside.size() == line->runTextArray().size())
                group.push_back(line);
            else
                group.push_back(std::make_shared<QXDocxRunTextLine>(std::move(inside)));
        }
        columGroupArray_.push_back(std::move(group));
        left = middle;
    }
}

void QXDocxRunTextColum::optimizeColumnSpaces()
{
    const std::size_t count = spaceColumArray_.size();
    if (lineArray_.size() < 2)
        spaceColumArray_.clear();

    // A gutter between groups that have no lines side by side separates
    // nothing.
    if (columGroupArray_.size() > 1) {
        std::vector<bool> marked(spaceColumArray_.size(), false);
        for (std::size_t i = 0; i + 1 < columGroupArray_.size(); ++i) {
            if (!ColumIntersectLineArrayA(columGroupArray_[i], columGroupArray_[i + 1]) && i + 1 < marked.size())
                marked[i + 1] = true;
        }
        columRemoveMarked(spaceColumArray_, marked);
    }
    // Nor does one between a single line and the one line beside it.
    if (columGroupArray_.size() > 1) {
        std::vector<bool> marked(spaceColumArray_.size(), false);
        for (std::size_t i = 0; i + 1 < columGroupArray_.size(); ++i) {
            if (IsSingleColumLineArrayA(columGroupArray_[i], columGroupArray_[i + 1]) && i + 1 < marked.size())
                marked[i + 1] = true;
        }
        columRemoveMarked(spaceColumArray_, marked);
    }
    // A narrow column loses the gutter on its left.
    if (columGroupArray_.size() > 1) {
        std::vector<bool> marked(spaceColumArray_.size(), false);
        for (std::size_t i = 0; i < columGroupArray_.size(); ++i) {
            if (columGroupIsNarrow(columGroupArray_[i]) && i < marked.size())
                marked[i] = true;
        }
        columRemoveMarked(spaceColumArray_, marked);
    }
    if (!spaceColumArray_.empty() && spaceColumArray_.front().minX() > 0) {
        Rect& first = spaceColumArray_.front();
        first = Rect(0, first.minY(), first.maxX(), first.height());
    }
    if (spaceColumArray_.size() != count)
        columGroupArray_.clear();
}

void QXDocxRunTextColum::optimizeColumnGroups()
{
    if (columGroupArray_.size() <= 1)
        return;
    std::vector<QXDocxRunTextLineArray> kept;
    for (QXDocxRunTextLineArray& group : columGroupArray_) {
        if (!columGroupIsBlank(group))
            kept.push_back(std::move(group));
    }
    columGroupArray_ = std::move(kept);
}

std::vector<QXDocxRunTextLineArray> QXDocxRunTextColum::findSmallWidthColumns() const
{
    std::vector<QXDocxRunTextLineArray> found;
    if (columGroupArray_.size() <= 1)
        return found;
    for (const QXDocxRunTextLineArray& group : columGroupArray_) {
        if (columGroupIsNarrow(group))
            found.push_back(group);
    }
    return found;
}

std::vector<QXDocxRunTextLineArray> QXDocxRunTextColum::findBankSpaceColumns() const
{
    std::vector<QXDocxRunTextLineArray> found;
    if (columGroupArray_.size() <= 1)
        return found;
    for (const QXDocxRunTextLineArray& group : columGroupArray_) {
        if (columGroupIsBlank(group))
            found.push_back(group);
    }
    return found;
}

double QXDocxRunTextColum::bottomNeedSpace() const
{
    QXDocxRunTextLineArray lines;
    for (const QXDocxRunTextLineArray& group : columGroupArray_)
        lines.insert(lines.end(), group.begin(), group.end());
    if (lines.empty())
        return 0;
    if (lines.size() == 1) {
        const QXDocxRunTextLine& line = *lines.front();
        const double height = line.lineFrame().height();
        return height < line.wordSingleLineHeight() ? line.wordSingleLineHeight() - height : 0;
    }
    const QXDocxRunTextLinePtr bottom = QXDocxRunTextLine::FindBottomRunTextLine(lines);
    QXDocxRunTextLinePtr above;
    for (const QXDocxRunTextLineArray& group : columGroupArray_) {
        const auto found = std::find(group.begin(), group.end(), bottom);
        if (found != group.end())
            above = found == group.begin() ? nullptr : *(found - 1);
    }
    if (!bottom || !above)
        return 0;
    const Rect& b = bottom->lineFrame();
    const Rect& p = above->lineFrame();
    if (!(std::fabs(b.height() - p.height()) < docxlimits::kColumnBottomSameHeightTolerance))
        return 0;
    return std::max(0.0, b.minY() - (p.minY() + p.height()));
}

bool QXDocxRunTextColum::isPDFScanIndexContinuousRunTextInEveryColum()
{
    if (columGroupArray_.empty())
        createColumGroup();
    for (const QXDocxRunTextLineArray& group : columGroupArray_) {
        QXDocxRunTextArray runs;
        for (const QXDocxRunTextLinePtr& line : group)
            runs.insert(runs.end(), line->runTextArray().begin(), line->runTextArray().end());
        runs = QXDocxRunTextLine::SortRunTextArrayByIndex(runs);
        for (std::size_t i = 1; i < runs.size(); ++i) {
            if (runs[i - 1]->pdfScanIndex() + runs[i - 1]->pdfScanLength() != runs[i]->pdfScanIndex())
                return false;
        }
    }
    return true;
}

std::string QXDocxRunTextColum::description() const
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    const Rect& f = columGroupFrame_;
    std::string spaces;
    for (const Rect& space : spaceColumArray_) {
        if (!spaces.empty())
            spaces += ", ";
        spaces += "(" + formatFixed(space.minX()) + "-" + formatFixed(space.width()) + ")";
    }
    return "<QXDocxRunTextColum: " + std::string(address) + ":[columGroupFrame:{{" + formatShortest(f.minX()) + ", " +
           formatShortest(f.minY()) + "}, {" + formatShortest(f.width()) + ", " + formatShortest(f.height()) +
           "}}][spaceColumArray.count:" + formatUnsigned(spaceColumArray_.size()) +
           "][lineArray.count:" + formatUnsigned(lineArray_.size()) +
           "][lineText0:" + (lineArray_.empty() ? std::string() : lineArray_.front()->lineText()) +
           "][lineTextN:" + (lineArray_.empty() ? std::string() : lineArray_.back()->lineText()) +
           "][pdfScanIndex:" + formatUnsigned(minPDFScanIndex_) + "~" + formatUnsigned(maxPDFScanIndex_) +
           "][spaceRects:" + spaces + "]>";
}

std::uint64_t QXDocxRunTextColum::minPDFScanIndex(const QXDocxRunTextLineArray& lines)
{
    std::uint64_t result = std::numeric_limits<std::uint64_t>::max();
    for (const QXDocxRunTextLinePtr& line : lines)
        result = std::min(result, line->minPDFScanIndex());
    return result;
}

std::uint64_t QXDocxRunTextColum::maxPDFScanIndex(const QXDocxRunTextLineArray& lines)
{
    std::uint64_t result = 0;
    for (const QXDocxRunTextLinePtr& line : lines)
        result = std::max(result, line->maxPDFScanIndex());
    return result;
}

bool QXDocxRunTextColum::ColumIntersectLineArrayA(const QXDocxRunTextLineArray& a, const QXDocxRunTextLineArray& b)
{
    for (const QXDocxRunTextLinePtr& lineA : a) {
        const Rect& fa = lineA->lineFrame();
        for (const QXDocxRunTextLinePtr& lineB : b) {
            const Rect& fb = lineB->lineFrame();
            const double left = std::min(fa.minX(), fb.minX());
            const double right = std::max(fa.maxX(), fb.maxX());
            if (fa.intersects(Rect(left, fb.minY(), right - left, fb.height())))
                return true;
        }
    }
    return false;
}

bool QXDocxRunTextColum::IsSingleColumLineArrayA(const QXDocxRunTextLineArray& a, const QXDocxRunTextLineArray& b)
{
    if (a.size() != 1 && b.size() != 1)
        return false;
    const Rect& reference = (a.size() == 1 ? a.front() : b.front())->lineFrame();
    std::size_t matches = 0;
    for (const QXDocxRunTextLinePtr& line : b) {
        const Rect& frame = line->lineFrame();
        if (frame.intersects(reference) &&
            std::fabs(frame.minY() - reference.minY()) < docxlimits::kColumnSingleLineTolerance &&
            std::fabs(frame.height() - reference.height()) < docxlimits::kColumnSingleLineTolerance)
            ++matches;
    }
    return matches == 1;
}

QXDocxRunTextColumArray QXDocxRunTextColum::FindMergeRunTextColumArray(const QXDocxRunTextColumArray& columns)
{
    return columFindMergeRun(columns);
}

QXDocxRunTextColumArray QXDocxRunTextColum::JoinRunTextColumArray(const QXDocxRunTextColumArray& columns)
{
    // From each start the block grows one band at a time and stops at the
    // first band it refuses, so only the blocks that are looked at are made.
    QXDocxRunTextColumArray result;
    std::size_t start = 0;
    while (start < columns.size()) {
        QXDocxRunTextColumPtr accepted = columns[start];
        std::size_t last = start;
        while (last + 1 < columns.size()) {
            const QXDocxRunTextColum& r = *columns[last];
            const QXDocxRunTextColum& s = *columns[last + 1];
            QXDocxRunTextColumPtr candidate =
                CreateRunTextColum(columJoinedLines(accepted->lineArray(), s.lineArray()), true);
            const std::size_t acceptedGutters = accepted->spaceColumArray().size();
            const std::size_t candidateGutters = candidate->spaceColumArray().size();
            if (candidateGutters < acceptedGutters || candidateGutters < s.spaceColumArray().size())
                break;
            const double gap = columGap(r, s);
            const double threshold = std::max(docxlimits::kColumnJoinGapLineHeights * columFacingLineHeight(r, s),
                                              docxlimits::kColumnJoinMinGap);
            bool joins = false;
            if (candidateGutters == acceptedGutters) {
                joins = gap <= threshold && columContinuousInEveryGroup(*candidate);
            } else if (last + 2 < columns.size()) {
                joins = gap <= threshold && gap <= columGap(s, *columns[last + 2]);
            } else {
                joins = gap <= threshold;
            }
            if (!joins)
                break;
            accepted = std::move(candidate);
            ++last;
        }
        result.push_back(std::move(accepted));
        start = last + 1;
    }
    return result;
}

QXDocxRunTextColumArray QXDocxRunTextColum::MergeRunTextColumArray(const QXDocxRunTextColumArray& columns)
{
    QXDocxRunTextColumArray result;
    std::size_t start = 0;
    while (start < columns.size()) {
        const QXDocxRunTextColumArray run =
            columFindMergeRun(std::span<const QXDocxRunTextColumPtr>(columns).subspan(start));
        if (run.size() > 1) {
            QXDocxRunTextLineArray lines;
            for (const QXDocxRunTextColumPtr& column : run)
                lines.insert(lines.end(), column->lineArray().begin(), column->lineArray().end());
            result.push_back(CreateRunTextColum(lines, true));
        } else {
            result.push_back(run.front());
        }
        start += run.size();
    }
    return result;
}

} // namespace rz
