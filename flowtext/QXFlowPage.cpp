#include "flowtext/QXFlowPage.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/QXFlowLayoutLimits.h"
#include "flowtext/QXFlowOutputLine.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

bool isSpaceUnit(char16_t u)
{
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == 0x00A0 || u == 0x3000;
}

// Appends the runs of `row` to `into`, the last run of `into` getting one
// separating space unless a space already separates the two.
void mergeRowInto(QXFlowParagraph& into, const QXFlowParagraph& row)
{
    auto last = into.lastRunText();
    auto first = row.firstRunText();
    if (last && first && !last->runText().empty() && !first->runText().empty() &&
        !isSpaceUnit(last->runText().back()) && !isSpaceUnit(first->runText().front()))
        last->runText().push_back(u' ');
    into.runArray().insert(into.runArray().end(), row.runArray().begin(), row.runArray().end());
}

std::vector<QXFlowRunRef> toRuns(QXFlowRunList&& runs)
{
    return std::vector<QXFlowRunRef>(std::make_move_iterator(runs.begin()), std::make_move_iterator(runs.end()));
}

} // namespace

QXFlowPage::QXFlowPage() : sectProperty_(QXDocxUtilities::defaultSectPropertyHiden()) {}

void QXFlowPage::initWithXMLWriter(std::shared_ptr<QXFlowFileWriter> writer, Size pageSize, bool lastPage)
{
    documentWriter_ = std::move(writer);
    isLastPage_ = lastPage;
    sectProperty_.shouldWrite = true;
    sectProperty_.type = lastPage ? 0 : 1;
    sectProperty_.pgSz.w = static_cast<float>(pageSize.width);
    sectProperty_.pgSz.h = static_cast<float>(pageSize.height);
}

void QXFlowPage::begainWritePage(std::int64_t)
{
    paragraphArray_.clear();
}

void QXFlowPage::endWritePage(std::int64_t)
{
    _creatParagraphs();
    if (documentWriter_)
        _writeParagraphs(*documentWriter_);
}

bool QXFlowPage::isOnOneLine(const QXFlowRunText* previous, const QXFlowRunText* next)
{
    if (previous == nullptr || next == nullptr)
        return false;
    return std::fabs(previous->runBottom() - next->runBottom()) <= flowlimits::kSameLineTolerance;
}

void QXFlowPage::_creatParagraphs()
{
    // Lines of runs, top-down, each left to right. Each pass hands its
    // lists on to the next.
    QXFlowRunList topOrdered = QXFlowLayout::orderByTop(allRunTextArray_);
    if (topOrdered.empty())
        return;
    layoutFoundTextTop(topOrdered.front()->runTop());

    std::vector<QXFlowRunList> lines = QXFlowLayout::collectLines(std::move(topOrdered));
    float marginLeft = static_cast<float>(flowlimits::kTextMarginLeftStart);
    std::vector<QXFlowLineSection> sections;
    sections.reserve(lines.size());
    for (QXFlowRunList& line : lines) {
        line = QXFlowLayout::orderByX(std::move(line));
        marginLeft = std::min(marginLeft, static_cast<float>(line.front()->runX()));
        sections.push_back(QXFlowLayout::collectLineParts(std::move(line)));
    }
    layoutFoundTextLeft(marginLeft);

    QXDocx_PPr referenceP = QXDocxUtilities::defaultPProperty();
    QXDocx_RPr referenceR = QXDocxUtilities::defaultRProperty();
    std::vector<QXFlowParagraphRef> result;
    double previousBottom = 0;
    bool firstDiv = true;
    const auto make = [this] { return newParagraph(); };

    for (std::vector<QXFlowLineSection>& div : QXFlowLayout::collectDivs(std::move(sections))) {
        QXFlowPartList parts;
        for (QXFlowLineSection& section : div)
            parts.insert(parts.end(), std::make_move_iterator(section.begin()), std::make_move_iterator(section.end()));
        std::vector<QXFlowPartList> columns = QXFlowLayout::collectColumns(std::move(parts));

        // The gap above the div; the first div's is measured from the top margin.
        double top = QXFlowLayout::divTop(columns);
        double gap = 0;
        if (firstDiv) {
            gap = top > flowlimits::kTopMarginMax ? top - flowlimits::kTopMarginMax : 0;
            sectProperty_.pgMar = QXDocx_PgMar{};
            sectProperty_.pgMar.top = static_cast<float>(std::min(top, flowlimits::kTopMarginMax));
            firstDiv = false;
        } else {
            gap = top - previousBottom;
        }
        previousBottom = QXFlowLayout::divBottom(columns);

        QXDocx_SectPr divSection = QXDocxUtilities::defaultSectPropertyHiden();
        divSection.shouldWrite = false;
        divSection.type = 1;
        divSection.pgSz = sectProperty_.pgSz;
        divSection.pgMar = sectProperty_.pgMar;

        const double line = referenceP.spacing.line;
        if (gap > line) {
            auto blanks = QXFlowParagraph::BlankParagraph(make, gap, line, referenceP.ind.left, referenceR,
                                                          divSection);
            result.insert(result.end(), blanks.begin(), blanks.end());
        } else if (gap > 0) {
            top -= gap;
        }

        // A multi-column div ends the section before it.
        if (!result.empty() && columns.size() > 1) {
            if (result.back()->runArray().empty()) {
                QXFlowParagraphRef carrier = newParagraph();
                carrier->setRProperty(result.back()->rProperty());
                carrier->setPProperty(result.back()->pProperty());
                carrier->setSectProperty(result.back()->sectProperty());
                result.push_back(std::move(carrier));
            }
            result.back()->sectProperty().shouldWrite = true;
            result.back()->sectProperty().type = 1;
        }

        const size_t n = columns.size();
        if (n >= 2) {
            divSection.cols.num = n;
            divSection.cols.sep = false;
            divSection.cols.space = 0;
            divSection.cols.equalWidth = 0;
            divSection.cols.col.assign(n, QXDocx_Col{});
            for (size_t k = 0; k < n; ++k) {
                const double from = k == 0 ? 0 : QXFlowLayout::columnLeft(columns[k]);
                const double to = k + 1 < n ? QXFlowLayout::columnLeft(columns[k + 1]) : divSection.pgSz.w;
                divSection.cols.col[k].w = static_cast<float>(to - from);
                divSection.cols.col[k].space = 0;
            }
        } else {
            divSection.cols = QXDocxUtilities::defaultColsProperty();
            divSection.cols.num = 1;
        }

        for (size_t k = 0; k < n; ++k)
            placeColumnRows(QXFlowLayout::collectRows(std::move(columns[k])), k, top, divSection, referenceP,
                            referenceR, result);

        if (result.size() > 1) {
            result.back()->sectProperty().shouldWrite = true;
            result.back()->sectProperty().type = 1;
        }
    }
    paragraphArray_.insert(paragraphArray_.end(), result.begin(), result.end());
}

void QXFlowPage::placeColumnRows(std::vector<QXFlowPartList> rows, size_t columnIndex, double divTop,
                                 const QXDocx_SectPr& divSection, QXDocx_PPr& referenceP,
                                 QXDocx_RPr& referenceR, std::vector<QXFlowParagraphRef>& result) const
{
    const double columnX = columnIndex == 0 ? 0 : QXFlowLayout::columnLeftOfRows(rows);
    const auto make = [this] { return newParagraph(); };
    std::vector<QXFlowParagraphRef> list;
    double runningBottom = divTop;

    for (QXFlowPartList& row : rows) {
        if (row.empty())
            continue;
        const double bottom = QXFlowLayout::partBottom(row.front());
        const double height = bottom - runningBottom;
        runningBottom = bottom;

        // The right edge of the part before, taken before its runs move on.
        double previousRight = QXFlowLayout::partRight(row.front());
        QXFlowParagraphRef paragraph = newParagraph();
        paragraph->initWithRunArray(toRuns(std::move(row.front())));
        paragraph->setSectProperty(divSection);
        paragraph->setXColumnPosition(columnX);
        paragraph->resolveXColumnProperty();
        referenceP = paragraph->pProperty();
        referenceR = paragraph->rProperty();

        // The row's further parts, a space before each one that stands apart.
        for (size_t i = 1; i < row.size(); ++i) {
            const double gap = QXFlowLayout::partLeft(row[i]) - previousRight;
            previousRight = QXFlowLayout::partRight(row[i]);
            if (auto last = paragraph->lastRunText();
                last && gap > last->runFontWidth() / flowlimits::kWordGapDivisor) {
                last->runText().push_back(u' ');
                last->setTextWidth(last->textWidth() + gap);
            }
            std::vector<QXFlowRunRef>& runs = paragraph->runArray();
            runs.insert(runs.end(), std::make_move_iterator(row[i].begin()), std::make_move_iterator(row[i].end()));
        }

        const double line = paragraph->pProperty().spacing.line;
        const double shortfall = height - line;
        if (shortfall > line) {
            auto blanks = QXFlowParagraph::BlankParagraph(make, shortfall, line, paragraph->pProperty().ind.left,
                                                          paragraph->rProperty(), divSection);
            list.insert(list.end(), blanks.begin(), blanks.end());
            list.push_back(std::move(paragraph));
        } else if (shortfall > -flowlimits::kLineShrinkLimit) {
            paragraph->pProperty().spacing.line = static_cast<float>(shortfall + line);
            referenceP.spacing.line = paragraph->pProperty().spacing.line;
            list.push_back(std::move(paragraph));
        } else if (shortfall >= -line && !list.empty()) {
            mergeRowInto(*list.back(), *paragraph);
        } else {
            // A row that rises above the one before it by more than a line
            // still keeps its text, as a paragraph of its own.
            list.push_back(std::move(paragraph));
        }
    }
    if (list.empty())
        return;
    if (columnIndex > 0)
        list.front()->setBreakColumn(true);
    result.insert(result.end(), list.begin(), list.end());
}

QXFlowStyledPage::QXFlowStyledPage() : textMargin_(sectProperty().pgMar) {}

void QXFlowStyledPage::layoutFoundTextTop(double top)
{
    textMargin_.top = static_cast<float>(top);
}

void QXFlowStyledPage::layoutFoundTextLeft(double left)
{
    textMargin_.left = static_cast<float>(left);
}

int QXFlowStyledPage::gapSpaceCount(double gap, double spaceWidth)
{
    if (!(gap > 0))
        return 0;
    if (!std::isfinite(spaceWidth) || spaceWidth < flowlimits::kMinMeasuringSpaceWidth)
        return 1;
    const float count = std::ceil(static_cast<float>(gap) / static_cast<float>(spaceWidth));
    if (!(count >= 1))
        return 1;
    if (count >= static_cast<float>(flowlimits::kMaxGapSpaces))
        return flowlimits::kMaxGapSpaces;
    return static_cast<int>(count);
}

void QXFlowStyledPage::_writeParagraphs(QXFlowFileWriter& writer)
{
    const std::vector<QXFlowParagraphRef>& paragraphs = paragraphArray();
    if (paragraphs.empty())
        return;

    auto styled = [](const QXFlowParagraphRef& p) { return static_cast<QXFlowStyledParagraph*>(p.get()); };
    QXFlowStyledParagraph* first = styled(paragraphs.front());
    first->setTextMargin(textMargin_);
    first->writeNewLineWithXMLWriter(writer);
    QXFlowOutputLine line;
    line.addParagraph(paragraphs.front());
    QXFlowRunTextRef previousLast = first->lastRunText();
    int withoutText = 0;

    for (size_t i = 1; i < paragraphs.size(); ++i) {
        QXFlowStyledParagraph* paragraph = styled(paragraphs[i]);
        const bool hasText = paragraph->haveText();
        if (!hasText && withoutText > 1) {
            ++withoutText;
            continue;
        }
        withoutText = hasText ? 0 : withoutText + 1;

        paragraph->setTextMargin(textMargin_);
        QXFlowRunTextRef last = paragraph->lastRunText();
        if (!isOnOneLine(previousLast.get(), last.get())) {
            ++withoutText;
            line.write(writer);
            paragraph->writeNewLineWithXMLWriter(writer);
        } else {
            auto firstRun = paragraph->firstRunText();
            const double gap = (firstRun ? firstRun->runX() : 0) - previousLast->runEnd();
            if (gap > 0)
                line.addSpaces(gapSpaceCount(gap, last->spaceWidth()));
            else
                line.addIndentation();
            withoutText = 0;
        }
        if (last)
            previousLast = last;
        line.addParagraph(paragraphs[i]);
    }
    line.write(writer);
    didWriteParagraphs(writer);
}

} // namespace rz
