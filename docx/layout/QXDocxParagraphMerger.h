// Merging of consecutive one-line paragraphs of a column into the wrapped
// paragraphs they were cut from. A column's text lines first become one
// paragraph each; runs of paragraphs that read as the lines of one
// paragraph of running text (same font, steady line pitch, consistent
// edges, no list marks or leader dots) become one paragraph holding all
// their lines, so that the word processor wraps the text itself.
// Geometry is in display space (points, origin top left, y down); alignment
// values are those of a paragraph's jc: 0 left, 1 right, 2 centre, 3 both,
// 4 distribute.
#pragma once

#include "converter/ooxml/QXDocxWriterObject.h"
#include "docx/layout/QXDocxParagraph.h"

#include <memory>
#include <span>
#include <vector>

namespace rz {

class QXDocxParagraphMerger {
public:
    using ParagraphArray = std::vector<QXDocxParagraphPtr>;
    using WriterObjectArray = std::vector<std::shared_ptr<QXDocxWriterObject>>;

    // The paragraphs of one column, in order, with each merge group found
    // from the front replaced by its merged paragraph; a new list. The
    // paragraphs left alone are the same objects.
    static ParagraphArray mergeParagraphsIfNeed(const ParagraphArray& paragraphs);
    // The same over a column of writer objects: each stretch of consecutive
    // paragraphs is merged on its own; other objects stay in their place.
    static WriterObjectArray mergeParagraphsIfNeed(const WriterObjectArray& objects);

    // The leading paragraphs of `paragraphs` that form one wrapped
    // paragraph; at least the first. The list itself for fewer than two.
    // When two or more are found, the first one's jc becomes the alignment
    // they share.
    static ParagraphArray findMergeParagraphs(const ParagraphArray& paragraphs);

    // One paragraph of the group's lines (the same line objects, line ends
    // joined by a blank where the text needs one), spanning the group's
    // height, with the first member's alignment, column, section and mark
    // properties and indents from the members' left indents and the text's
    // right edge. The only member for a group of one; nullptr for none.
    static QXDocxParagraphPtr mergeParagraphs(const ParagraphArray& group);

private:
    // The search over a view of the remaining paragraphs, so that a column
    // pass does not copy the rest of the column for every group.
    static ParagraphArray findMergeGroup(std::span<const QXDocxParagraphPtr> paragraphs);
};

} // namespace rz
