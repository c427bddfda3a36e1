// Section lines to paragraphs: the lines of each column are cleaned, the
// column record and text frame fixed, and every line, or every set of
// vertically overlapping lines, becomes one paragraph with the space
// before it, its height and the space after it; large gaps become blank
// paragraphs.
#include "docx/layout/QXDocxPageSection.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxPageSectionLimits.h"

#include <algorithm>

namespace rz {

namespace L = sectionlimits;

namespace {

double paragraphBottomOf(const Rect& r)
{
    return r.origin.y + r.size.height;
}

// The written height of a paragraph: space before, line value, space after.
double writtenHeight(const QXDocxParagraph& paragraph)
{
    const QXDocx_Spacing& s = paragraph.pProperty().spacing;
    return static_cast<double>(s.before) + s.line + s.after;
}

// The baseline's place in the line as a fraction of its height; 0 for a
// line without height.
double baseLineRatio(const QXDocxRunTextLine& line)
{
    const Rect& f = line.lineFrame();
    return f.size.height > 0 ? (line.yBaseLine() - f.origin.y) / f.size.height : 0;
}

} // namespace

std::vector<QXDocxRunTextLineArray> QXDocxPageSection::MergeRunTextLineWithColumGroupArray(
    const std::vector<QXDocxRunTextLineArray>& columns)
{
    std::vector<QXDocxRunTextLineArray> merged;
    merged.reserve(columns.size());
    for (const auto& column : columns) {
        QXDocxRunTextLineArray out;
        std::size_t j = 0;
        while (j < column.size()) {
            if (column.size() - j >= 2) {
                const QXDocxRunTextLineArray rest(column.begin() + static_cast<std::ptrdiff_t>(j), column.end());
                const auto asOne = QXDocxRunTextLine::FindRunTextLineArrayAs1Line(rest);
                if (asOne.size() >= 2) {
                    if (auto line = QXDocxRunTextLine::MergeRunTextLineArray(asOne))
                        out.push_back(line);
                    j += asOne.size();
                    continue;
                }
            }
            out.push_back(column[j]);
            ++j;
        }
        merged.push_back(std::move(out));
    }
    return merged;
}

void QXDocxPageSection::RemoveScriptIfNeed(const std::vector<QXDocxRunTextLineArray>& columns)
{
    for (const auto& column : columns)
        for (const auto& line : column)
            if (line && QXDocxRunTextLine::IsScriptLine(line))
                line->removeScript();
}

void QXDocxPageSection::setColumGroupArray(const std::vector<QXDocxRunTextLineArray>& columns)
{
    std::vector<QXDocxRunTextLineArray> cleaned;
    if (!columns.empty()) {
        cleaned = MergeRunTextLineWithColumGroupArray(columns);
        RemoveScriptIfNeed(cleaned);
    }
    columGroupArray_ = std::move(cleaned);
    if (columGroupArray_.empty())
        return;

    updateColumGroupFrame();
    createSectProperty_Cols();

    // Text close below the band top starts at the top.
    double topGap = columGroupFrame_.origin.y - sectionFrame_.origin.y;
    if (topGap <= L::kTopSnapDistance) {
        columGroupFrame_.origin.y = sectionFrame_.origin.y;
        columGroupFrame_.size.height += topGap;
        topGap = 0;
    }
    const double bottomGap = paragraphBottomOf(sectionFrame_) - paragraphBottomOf(columGroupFrame_);

    const bool multiColumn = columGroupArray_.size() > 1;
    const QXDocx_PgMar& mar = sectProperty_.pgMar;
    double x = mar.left;
    for (std::size_t i = 0; i < columGroupArray_.size(); ++i) {
        const auto& lines = columGroupArray_[i];
        const Rect content = QXDocxRunTextLine::FrameOfLineArray(lines);
        const bool hasCol = sectProperty_.cols.num >= 2 && i < sectProperty_.cols.col.size();
        const double width = hasCol ? sectProperty_.cols.col[i].w : sectProperty_.pgSz.w - mar.left - mar.right;
        const Rect columnFrame(x, columGroupFrame_.origin.y, width, columGroupFrame_.size.height);
        const std::int32_t trend = RecognizeTextAlignTrend(lines, content, columnFrame);

        QXDocxParagraphArray paragraphs;
        if (lines.empty()) {
            paragraphs = QXDocxParagraph::BlankParagraph(
                L::kEmptyColumnBlankHeight, L::kEmptyColumnBlankHeight, 0, 0, trend,
                QXDocxUtilities::defaultRProperty(), paragraphSectProperty(), sectionFrame_.origin.y, columnFrame);
        } else {
            paragraphs = buildColumnParagraphs(lines, columnFrame, trend, multiColumn ? content : columnFrame);
        }
        if (i > 0 && !paragraphs.empty())
            paragraphs.front()->setBreakColumn(true);
        if (hasCol)
            x += sectProperty_.cols.col[i].w + sectProperty_.cols.col[i].space;
        paragraphGroupArray_.emplace_back(paragraphs.begin(), paragraphs.end());
    }

    if (topGap > 0) {
        const auto sample = firstParagraph();
        const auto blanks = QXDocxParagraph::BlankParagraph(
            topGap, sample ? sample->pProperty().spacing.line : 0, columGroupFrame_.origin.x - sectionFrame_.origin.x,
            0, 0, sample ? sample->rProperty() : QXDocx_RPr{}, paragraphSectProperty(), sectionFrame_.origin.y,
            sectionFrame_);
        headBlankParagraphArray_.insert(headBlankParagraphArray_.end(), blanks.begin(), blanks.end());
    }
    if (bottomGap > 0)
        footBlankHeight_ = bottomGap;
}

QXDocxParagraphArray QXDocxPageSection::buildColumnParagraphs(const QXDocxRunTextLineArray& lines,
                                                              const Rect& columnFrame, std::int32_t trend,
                                                              const Rect& contentFrame) const
{
    QXDocxParagraphArray paragraphs;
    const QXDocx_SectPr record = paragraphSectProperty();
    const bool multiColumn = columGroupArray_.size() > 1;
    const double frameTop = columGroupFrame_.origin.y;
    const double frameBottom = paragraphBottomOf(columGroupFrame_);
    const std::size_t n = lines.size();

    std::size_t j = 0;
    while (j < n) {
        const auto& line = lines[j];
        const QXDocxRunTextLinePtr previous = j > 0 ? lines[j - 1] : nullptr;
        const QXDocxRunTextLinePtr next = j + 1 < n ? lines[j + 1] : nullptr;
        const std::int32_t align = RecognizeTextAlign(line, previous, 0, trend, contentFrame, columnFrame);

        QXDocxRunTextLineArray overlap;
        if (n - j >= 2) {
            const QXDocxRunTextLineArray rest(lines.begin() + static_cast<std::ptrdiff_t>(j), lines.end());
            overlap = QXDocxRunTextLine::FindOverlapRunTextLineY(rest);
        }

        if (overlap.size() < 2) {
            // One line: the space above it, its height, the gap below it up
            // to two line heights (plus a margin); the rest of a larger gap
            // becomes blank paragraphs.
            const Rect f = line->lineFrame();
            const double h = f.size.height;
            const double before = j == 0 ? f.origin.y - frameTop : 0;
            double gap = 0;
            if (j + 1 == n)
                gap = frameBottom - paragraphBottomOf(f);
            else if (next)
                gap = next->lineFrame().origin.y - paragraphBottomOf(f);
            double after = gap;
            double extra = 0;
            if (gap - L::kLineGapMargin > L::kLineGapHeights * h) {
                after = L::kLineGapHeights * h;
                extra = gap - after;
            }
            auto paragraph = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{line}, before, h, after,
                                                               columnFrame, align, record);
            paragraphs.push_back(paragraph);
            if (extra > 0 && (!multiColumn || next)) {
                const auto blanks = QXDocxParagraph::BlankParagraph(
                    extra, h, paragraph->pProperty().ind.left,
                    (columnFrame.origin.x + columnFrame.size.width) - (f.origin.x + f.size.width), trend,
                    paragraph->rProperty(), record, before + f.origin.y + h + after, columnFrame);
                paragraphs.insert(paragraphs.end(), blanks.begin(), blanks.end());
            }
            ++j;
            continue;
        }

        // Lines drawn over each other: the first takes its share of the
        // joint height, the others the rest by their baselines.
        const std::size_t k = std::min(overlap.size(), n - j);
        const std::size_t z = j + k - 1;
        const Rect zf = lines[z]->lineFrame();
        double after = 0;
        if (z + 1 == n)
            after = frameBottom - paragraphBottomOf(zf);
        else
            after = lines[z + 1]->lineFrame().origin.y - paragraphBottomOf(zf);

        const Rect a = lines[j]->lineFrame();
        const Rect b = lines[j + 1]->lineFrame();
        const double before0 = j == 0 ? a.origin.y - frameTop : 0;
        const double span = paragraphBottomOf(b) - a.origin.y;
        const double heights = a.size.height + b.size.height;
        const double share = heights > 0 ? span * a.size.height / heights : 0;
        const double lift = (a.size.height - share) * baseLineRatio(*lines[j]);
        const double heightA = share - lift;
        auto first = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{lines[j]}, before0 + lift, heightA,
                                                       0, columnFrame, align, record);
        paragraphs.push_back(first);
        double position = a.origin.y + writtenHeight(*first);
        for (std::size_t m = 1; m < k; ++m) {
            const auto& c = lines[j + m];
            const auto& d = lines[j + m - 1];
            const double height =
                (c->yBaseLine() - position) * (L::kOverlapHeightScale - baseLineRatio(*c));
            const std::int32_t alignC = RecognizeTextAlign(c, d, 0, trend, contentFrame, columnFrame);
            auto paragraph = std::make_shared<QXDocxParagraph>(QXDocxRunTextLineArray{c}, 0, height,
                                                               m + 1 == k ? after : 0, columnFrame, alignC, record);
            paragraphs.push_back(paragraph);
            position += writtenHeight(*paragraph);
        }
        j += k;
    }
    return paragraphs;
}

} // namespace rz
