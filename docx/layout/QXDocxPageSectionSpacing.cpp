// Paragraph spacing of a section: the rounding of written line values is
// carried to the last paragraph, the space between two text paragraphs is
// put on one side, and blank paragraphs after text fold into its space
// after; then, when asked for, paragraphs are merged.
#include "docx/layout/QXDocxPageSection.h"
#include "docx/layout/QXDocxParagraphMerger.h"

#include "docx/layout/QXDocxManager.h"
#include "docx/layout/QXDocxPageSectionLimits.h"

#include <cmath>

namespace rz {

namespace L = sectionlimits;

void QXDocxPageSection::optimizeParagraphs()
{
    if (headBlankParagraphArray_.size() > 1)
        fixErrorSpaceInParagraphs(headBlankParagraphArray_);
    for (const auto& column : paragraphGroupArray_) {
        if (column.size() > 1)
            fixErrorSpaceInParagraphs(column);
    }
    if (!paragraphGroupArray_.empty())
        paragraphGroupArray_ = autoFitParagraphSpacing();
    if (QXDocxManager::sharedInstance().moreOptions().wordOptions().isMergeParagraphs()) {
        for (auto& column : paragraphGroupArray_)
            column = mergeParagraphsIfNeed(column);
    }
}

void QXDocxPageSection::fixErrorSpaceInParagraphs(const QXDocxParagraphArray& paragraphs)
{
    if (paragraphs.empty() || !paragraphs.back())
        return;
    // Line values are written in twentieths of a point: the last paragraph
    // takes what the rounding of all of them gained or lost.
    float measured = 0;
    float written = 0;
    for (const auto& paragraph : paragraphs) {
        if (!paragraph)
            continue;
        const float line = paragraph->pProperty().spacing.line;
        measured += line;
        written += std::round(line * L::kSpacingUnitsPerPoint);
    }
    const auto& last = paragraphs.back();
    last->setSpaceLine(measured - written / L::kSpacingUnitsPerPoint + last->pProperty().spacing.line);
}

void QXDocxPageSection::fixErrorSpaceInParagraphs(const QXDocxWriterObjectArray& objects)
{
    QXDocxParagraphArray paragraphs;
    for (const auto& object : objects) {
        if (auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object))
            paragraphs.push_back(paragraph);
    }
    fixErrorSpaceInParagraphs(paragraphs);
}

std::vector<QXDocxWriterObjectArray> QXDocxPageSection::autoFitParagraphSpacing() const
{
    std::vector<QXDocxWriterObjectArray> result;
    result.reserve(paragraphGroupArray_.size());
    for (const auto& column : paragraphGroupArray_) {
        QXDocxWriterObjectArray out;
        if (!column.empty())
            out.push_back(column.front());
        for (std::size_t i = 1; i < column.size(); ++i) {
            out.push_back(column[i]);
            const auto previous = std::dynamic_pointer_cast<QXDocxParagraph>(column[i - 1]);
            const auto current = std::dynamic_pointer_cast<QXDocxParagraph>(column[i]);
            if (!previous || !current || previous->isParagraphBlankText())
                continue;
            if (!current->isParagraphBlankText()) {
                // Two text paragraphs: the space between them goes after the
                // first.
                const double between = previous->yAfter() + current->yBefore();
                if (between > L::kJoinSpacingMin) {
                    previous->setSpaceLineAfter(between);
                    current->setSpaceLineBefore(0);
                }
                continue;
            }
            // Text, then a blank paragraph.
            const auto firstLine = previous->firstRunLineText();
            const double lineHeight = firstLine ? firstLine->lineFrame().size.height : 0;
            const double after = previous->pProperty().spacing.after;
            if (lineHeight <= after)
                continue;
            const QXDocx_Spacing blank = current->pProperty().spacing;
            if (blank.line - L::kKeepBlankMargin > lineHeight) {
                previous->setSpaceLineAfter(lineHeight);
                current->setBlankParagraphSpaceLine(blank.line - (lineHeight - after));
            } else {
                out.pop_back();
                previous->setSpaceLineAfter(after + blank.before + blank.line + blank.after);
            }
        }
        result.push_back(std::move(out));
    }
    return result;
}

QXDocxWriterObjectArray QXDocxPageSection::mergeParagraphsIfNeed(const QXDocxWriterObjectArray& column) const
{
    return QXDocxParagraphMerger::mergeParagraphsIfNeed(column);
}

} // namespace rz
