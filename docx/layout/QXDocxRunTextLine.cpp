#include "docx/layout/QXDocxRunTextLine.h"

#include "converter/text/QXConverterUtilities.h"
#include "docx/layout/QXDocxLayoutLimits.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <type_traits>

namespace rz {

namespace {

// The larger of two values compared and kept in single precision; a NaN
// operand is ignored.
double lineLargerFloat(double current, double candidate)
{
    return static_cast<double>(std::fmax(static_cast<float>(current), static_cast<float>(candidate)));
}

// The element with the smallest (or, with `largest`, the largest) key; the
// earliest of equal ones; a candidate replaces the one found only when it
// is strictly better.
template <class Ptr, class Key>
Ptr lineFindBest(const std::vector<Ptr>& items, Key key, bool largest)
{
    if (items.empty())
        return nullptr;
    Ptr found = items.front();
    auto best = key(*found);
    for (std::size_t i = 1; i < items.size(); ++i) {
        const auto value = key(*items[i]);
        if (largest ? value > best : value < best) {
            found = items[i];
            best = value;
        }
    }
    return found;
}

// A stable ascending sort by a coordinate; NaN keys go last.
template <class Ptr, class Key>
std::vector<Ptr> lineSortedBy(const std::vector<Ptr>& items, Key key)
{
    std::vector<Ptr> sorted = items;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Ptr& a, const Ptr& b) {
        const auto ka = key(*a);
        const auto kb = key(*b);
        if constexpr (std::is_floating_point_v<decltype(ka)>) {
            if (std::isnan(ka))
                return false;
            if (std::isnan(kb))
                return true;
        }
        return ka < kb;
    });
    return sorted;
}

double lineFrameBottom(const Rect& frame)
{
    return frame.origin.y + frame.size.height;
}

// How many leading runs (at least one when there are runs) form one stretch
// of text drawn left to right; see FindLeft2RightMergeRunTextArray.
std::size_t lineStretchLength(std::span<const QXDocxRunTextPtr> runs)
{
    if (runs.empty())
        return 0;
    const QXDocxRunText& first = *runs.front();
    double previousRight = first.drawnXRight();
    std::size_t i = 1;
    for (; i < runs.size(); ++i) {
        const QXDocxRunText& run = *runs[i];
        const QXPDF_CTMInfo& info = run.ctmInfo();
        const bool sameBase =
            std::fabs(info.yBase - first.ctmInfo().yBase) < docxlimits::kLineJoinBaseLineTolerance;
        const bool nextInOrder = run.pdfScanIndex() == first.pdfScanIndex() + i;
        const bool sameFormat = QXRPropertyIsEqual(run.rProperty(), first.rProperty());
        const bool close = info.xLeft - previousRight < docxlimits::kLineJoinMaxGap;
        const bool rightOfFirst = info.xLeft > first.ctmInfo().xLeft;
        if (!(sameBase && nextInOrder && sameFormat && close && rightOfFirst))
            break;
        previousRight = run.drawnXRight();
    }
    return i;
}

} // namespace

QXDocxRunTextLine::QXDocxRunTextLine()
    : runTextArray_(std::make_shared<QXDocxRunTextArray>()),
      spaceRowArray_(std::make_shared<QXDocxRunTextLineSpaceArray>())
{
}

QXDocxRunTextLine::QXDocxRunTextLine(QXDocxRunTextArray runs) : QXDocxRunTextLine()
{
    *runTextArray_ = std::move(runs);
    processRunTextArray();
}

void QXDocxRunTextLine::setRunTextArray(QXDocxRunTextArray runs)
{
    *runTextArray_ = std::move(runs);
    updateLineInfo(*runTextArray_);
}

void QXDocxRunTextLine::addRunTextArray(const QXDocxRunTextArray& runs)
{
    runTextArray_->insert(runTextArray_->end(), runs.begin(), runs.end());
    updateLineInfo(*runTextArray_);
}

void QXDocxRunTextLine::processRunTextArray()
{
    if (runTextArray_->empty())
        return;
    // Drawing order, then each stretch drawn left to right joined into one run.
    QXDocxRunTextArray remaining = SortRunTextArrayByIndex(*runTextArray_);
    QXDocxRunTextArray joined;
    std::size_t start = 0;
    while (start < remaining.size()) {
        const std::size_t length =
            lineStretchLength(std::span<const QXDocxRunTextPtr>(remaining).subspan(start));
        const QXDocxRunTextArray stretch(remaining.begin() + static_cast<std::ptrdiff_t>(start),
                                         remaining.begin() + static_cast<std::ptrdiff_t>(start + length));
        joined.push_back(MergeLeft2RightRunTextArray(stretch));
        start += length;
    }
    // Reading order.
    *runTextArray_ = SortRunTextFromXLeftToRight(joined);
    updateLineInfo(*runTextArray_);
    *spaceRowArray_ = findRowSpace(*runTextArray_, lineText_);
}

void QXDocxRunTextLine::updateLineInfo(const QXDocxRunTextArray& runs)
{
    if (runs.empty())
        return;
    const QXDocxRunText& first = *runs.front();
    lineFrame_ = first.ctmInfo().frame;
    yBaseLine_ = first.ctmInfo().yBase;
    minPDFScanIndex_ = first.pdfScanIndex();
    maxPDFScanIndex_ = first.pdfScanIndex() + first.pdfScanLength();
    wordSingleLineHeight_ = first.wordSingleLineHeight();
    wordSingleLineBlankTop_ = first.wordSingleLineBlankTop();
    bool unmeasured = first.wordSingleLineHeight() < docxlimits::kLineMinSingleLineHeight;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        const QXDocxRunText& run = *runs[i];
        lineFrame_ = lineFrame_.unionWith(run.ctmInfo().frame);
        yBaseLine_ = lineLargerFloat(yBaseLine_, run.ctmInfo().yBase);
        wordSingleLineHeight_ = lineLargerFloat(wordSingleLineHeight_, run.wordSingleLineHeight());
        wordSingleLineBlankTop_ = lineLargerFloat(wordSingleLineBlankTop_, run.wordSingleLineBlankTop());
        minPDFScanIndex_ = std::min(minPDFScanIndex_, run.pdfScanIndex());
        maxPDFScanIndex_ = std::max(maxPDFScanIndex_, run.pdfScanIndex() + run.pdfScanLength());
        unmeasured = unmeasured || run.wordSingleLineHeight() < docxlimits::kLineMinSingleLineHeight;
    }
    if (unmeasured)
        wordSingleLineHeight_ = 0;
}

QXDocxRunTextLineSpaceArray QXDocxRunTextLine::findRowSpace(const QXDocxRunTextArray& runs, std::string& text)
{
    QXDocxRunTextLineSpaceArray spaces;
    if (runs.empty())
        return spaces;
    text = runs.front()->runText();
    spaces.push_back(QXDocxRunTextLineSpace::RunTextLineSpaceWithLeftRunText(nullptr, runs.front()));
    for (std::size_t i = 1; i < runs.size(); ++i) {
        const QXDocxRunTextPtr& previous = runs[i - 1];
        const QXDocxRunTextPtr& next = runs[i];
        const double gap = next->ctmInfo().xLeft - previous->drawnXRight();
        if (previous->textScanIndex() + previous->textScanLength() == next->textScanIndex()) {
            if (gap < docxlimits::kLineTextJoinGap) {
                text += next->runText();
            } else if (previous->pdfScanIndex_ShowText() == next->pdfScanIndex_ShowText() &&
                       gap >= docxlimits::kLineTextTabGap) {
                text += "\t" + next->runText();
            } else if (text.ends_with(' ') || next->runText().starts_with(' ')) {
                // The blank is in the text already.
                text += next->runText();
            } else {
                text += " " + next->runText();
            }
        } else {
            text += " | " + next->runText();
            spaces.push_back(QXDocxRunTextLineSpace::RunTextLineSpaceWithLeftRunText(previous, next));
        }
    }
    spaces.push_back(QXDocxRunTextLineSpace::RunTextLineSpaceWithLeftRunText(runs.back(), nullptr));
    return spaces;
}

double QXDocxRunTextLine::getTextWidth(std::string_view text) const
{
    if (runTextArray_->empty())
        return 0;
    const QXDocx_RPr& property = runTextArray_->front()->rProperty();
    return QXConverterUtilities::TextWidth(text, QXDocxText(property.rFonts.ascii), property.sz,
                                           docxlimits::kLineTextWidthMaxHeight);
}

bool QXDocxRunTextLine::isPDFScanIndexContinuous() const
{
    const QXDocxRunTextArray& runs = *runTextArray_;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        if (runs[i - 1]->pdfScanIndex() + runs[i - 1]->pdfScanLength() != runs[i]->pdfScanIndex())
            return false;
    }
    return true;
}

void QXDocxRunTextLine::addBlankSpaceTextBehind()
{
    if (runTextArray_->empty())
        return;
    runTextArray_->back()->addBlankSpaceTextBehind();
    updateLineInfo(*runTextArray_);
    std::string text;
    findRowSpace(*runTextArray_, text);
    lineText_ = std::move(text);
}

void QXDocxRunTextLine::softenHyphenBehind()
{
    if (runTextArray_->empty())
        return;
    QXDocxRunText& run = *runTextArray_->back();
    std::string text(run.runText());
    std::size_t hyphen = std::string::npos;
    if (!text.empty() && text.back() == '-')
        hyphen = text.size() - 1;
    else if (text.size() >= 3 && text.compare(text.size() - 3, 3, "\u2010") == 0)
        hyphen = text.size() - 3;
    if (hyphen == std::string::npos)
        return;
    text.replace(hyphen, std::string::npos, "\u00AD");
    run.setRunText(text);
    std::string line;
    findRowSpace(*runTextArray_, line);
    lineText_ = std::move(line);
}

double QXDocxRunTextLine::behindTextSpaceWidth() const
{
    return runTextArray_->empty() ? 0 : runTextArray_->back()->spaceWidth();
}

QXDocxRunTextPtr QXDocxRunTextLine::FindNewScanRunText(const QXDocxRunTextArray& runs)
{
    return lineFindBest(runs, [](const QXDocxRunText& r) { return r.pdfScanIndex(); }, false);
}

QXDocxRunTextPtr QXDocxRunTextLine::FindMinIndexRunText(const QXDocxRunTextArray& runs)
{
    return FindNewScanRunText(runs);
}

QXDocxRunTextPtr QXDocxRunTextLine::FindXLeftRunText(const QXDocxRunTextArray& runs)
{
    return lineFindBest(runs, [](const QXDocxRunText& r) { return r.ctmInfo().xLeft; }, false);
}

QXDocxRunTextLinePtr QXDocxRunTextLine::FindMinIndexRunTextLine(const QXDocxRunTextLineArray& lines)
{
    return lineFindBest(lines, [](const QXDocxRunTextLine& l) { return l.minPDFScanIndex_; }, false);
}

QXDocxRunTextLinePtr QXDocxRunTextLine::FindTopYRunTextLine(const QXDocxRunTextLineArray& lines)
{
    return lineFindBest(lines, [](const QXDocxRunTextLine& l) { return l.lineFrame_.origin.y; }, false);
}

QXDocxRunTextLinePtr QXDocxRunTextLine::FindBaseYRunTextLine(const QXDocxRunTextLineArray& lines)
{
    return lineFindBest(lines, [](const QXDocxRunTextLine& l) { return l.yBaseLine_; }, false);
}

QXDocxRunTextLinePtr QXDocxRunTextLine::FindMaxHeightRunTextLine(const QXDocxRunTextLineArray& lines)
{
    return lineFindBest(lines, [](const QXDocxRunTextLine& l) { return l.lineFrame_.size.height; }, true);
}

QXDocxRunTextLinePtr QXDocxRunTextLine::FindBottomRunTextLine(const QXDocxRunTextLineArray& lines)
{
    return lineFindBest(lines, [](const QXDocxRunTextLine& l) { return lineFrameBottom(l.lineFrame_); }, true);
}

QXDocxRunTextArray QXDocxRunTextLine::SortRunTextArrayByIndex(const QXDocxRunTextArray& runs)
{
    return lineSortedBy(runs, [](const QXDocxRunText& r) { return r.pdfScanIndex(); });
}

QXDocxRunTextArray QXDocxRunTextLine::SortRunTextFromXLeftToRight(const QXDocxRunTextArray& runs)
{
    return lineSortedBy(runs, [](const QXDocxRunText& r) { return r.ctmInfo().xLeft; });
}

QXDocxRunTextLineArray QXDocxRunTextLine::SortRunTextLineArrayByIndex(const QXDocxRunTextLineArray& lines)
{
    return lineSortedBy(lines, [](const QXDocxRunTextLine& l) { return l.minPDFScanIndex_; });
}

QXDocxRunTextLineArray QXDocxRunTextLine::SortRunTextLineArrayByTopY(const QXDocxRunTextLineArray& lines)
{
    return lineSortedBy(lines, [](const QXDocxRunTextLine& l) { return l.lineFrame_.origin.y; });
}

QXDocxRunTextLineArray QXDocxRunTextLine::SortRunTextLineArrayByBaseY(const QXDocxRunTextLineArray& lines)
{
    return lineSortedBy(lines, [](const QXDocxRunTextLine& l) { return l.yBaseLine_; });
}

Rect QXDocxRunTextLine::FrameOfLineArray(const QXDocxRunTextLineArray& lines)
{
    if (lines.empty())
        return Rect::zero();
    Rect frame = lines.front()->lineFrame_;
    for (std::size_t i = 1; i < lines.size(); ++i)
        frame = frame.unionWith(lines[i]->lineFrame_);
    return frame;
}

Rect QXDocxRunTextLine::GetRunTextLineFrame(const QXDocxRunTextLineArray& lines)
{
    return FrameOfLineArray(lines);
}

QXDocxRunTextArray QXDocxRunTextLine::FindBankSpaceRunTextArray(const QXDocxRunTextArray& runs)
{
    QXDocxRunTextArray blanks;
    for (const QXDocxRunTextPtr& run : runs) {
        if (run->isBankSpaceRunText())
            blanks.push_back(run);
    }
    return blanks;
}

QXDocxRunTextArray QXDocxRunTextLine::TrimBankSpaceRunTextArray(QXDocxRunTextArray& runs)
{
    // Widths measured in the written font can close the gap a dropped blank
    // leaves, so the break is kept in the text itself, with the blank's
    // width, so that the spacing made of the widths stays right.
    QXDocxRunTextArray drawn = runs;
    std::stable_sort(drawn.begin(), drawn.end(), [](const QXDocxRunTextPtr& a, const QXDocxRunTextPtr& b) {
        return a->pdfScanIndex() < b->pdfScanIndex();
    });
    for (std::size_t i = 1; i + 1 < drawn.size(); ++i) {
        const QXDocxRunText& blank = *drawn[i];
        QXDocxRunText& before = *drawn[i - 1];
        const QXDocxRunText& after = *drawn[i + 1];
        if (blank.isBankSpaceRunText() && !before.isBankSpaceRunText() && !after.isBankSpaceRunText() &&
            before.pdfScanIndex() + 1 == blank.pdfScanIndex() && blank.pdfScanIndex() + 1 == after.pdfScanIndex() &&
            after.ctmInfo().xLeft > before.ctmInfo().xLeft && !before.isSpaceLast())
            before.absorbBlankRunText(blank);
    }
    QXDocxRunTextArray blanks = FindBankSpaceRunTextArray(runs);
    std::erase_if(runs, [](const QXDocxRunTextPtr& run) { return run->isBankSpaceRunText(); });
    return blanks;
}

bool QXDocxRunTextLine::IsBankSpaceRunTextArray(const QXDocxRunTextArray& runs)
{
    return std::all_of(runs.begin(), runs.end(), [](const QXDocxRunTextPtr& run) { return run->isBankSpaceRunText(); });
}

QXDocxRunTextArray QXDocxRunTextLine::FindDuplicateRunTexts(const QXDocxRunTextArray& runs)
{
    QXDocxRunTextArray found;
    if (runs.empty())
        return found;
    found.push_back(runs.front());
    for (std::size_t i = 1; i < runs.size(); ++i) {
        if (runs.front()->isDuplicateRunText(*runs[i]))
            found.push_back(runs[i]);
    }
    return found;
}

QXDocxRunTextArray QXDocxRunTextLine::FindLeft2RightMergeRunTextArray(const QXDocxRunTextArray& runs)
{
    const std::size_t length = lineStretchLength(runs);
    return QXDocxRunTextArray(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(length));
}

QXDocxRunTextPtr QXDocxRunTextLine::MergeLeft2RightRunTextArray(const QXDocxRunTextArray& runs)
{
    if (runs.empty())
        return nullptr;
    const QXDocxRunTextPtr& first = runs.front();
    if (runs.size() == 1)
        return first;

    std::string text = first->runText();
    double width = first->textWidth();
    Rect frame = first->ctmInfo().frame;
    std::uint64_t scanIndex = first->pdfScanIndex();
    std::uint64_t scanLength = first->pdfScanLength();
    std::uint64_t textIndex = first->textScanIndex();
    std::uint64_t textLength = first->textScanLength();
    double drawnRight = first->drawnXRight();
    for (std::size_t i = 1; i < runs.size(); ++i) {
        const QXDocxRunText& run = *runs[i];
        drawnRight = std::max(drawnRight, run.drawnXRight());
        text += run.runText();
        width += run.textWidth() + run.insideSpacing();
        frame = frame.unionWith(run.ctmInfo().frame);
        scanIndex = std::min(scanIndex, run.pdfScanIndex());
        scanLength += run.pdfScanLength();
        textIndex = std::min(textIndex, run.textScanIndex());
        textLength += run.textScanLength();
    }

    first->setRunText(text);
    first->setPdfScanIndex(scanIndex);
    first->setPdfScanLength(scanLength);
    first->setTextScanIndex(textIndex);
    first->setTextScanLength(textLength);

    QXPDF_CTMInfo info = first->ctmInfo();
    info.frame = frame;
    info.xLeft = frame.origin.x;
    info.xRight = frame.origin.x + frame.size.width;
    info.yTop = info.yAscent = frame.origin.y;
    info.yDescent = info.yBottom = frame.origin.y + frame.size.height;
    info.topLeft = {frame.origin.x, frame.origin.y};
    info.bottomLeft = {frame.origin.x, frame.origin.y + frame.size.height};
    first->setCtmInfo(info);
    first->setDrawnXRight(drawnRight);

    first->setTextWidth(width);
    first->setInsideSpacing(frame.size.width - width);
    QXDocx_RPr property = first->rProperty();
    property.spacing = static_cast<float>(first->insideSpacing());
    first->setRProperty(property);
    return first;
}

} // namespace rz
