// One "w:p" of the output: text lines of a column turned into a paragraph
// with its spacing, line pitch, indents, alignment, outline level and the
// runs it writes, one group of runs per line.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "converter/ooxml/QXDocxWriterObject.h"
#include "docx/layout/QXDocxParagraphLayout.h"
#include "docx/layout/QXDocxRunText.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxRun;
class QXDocxRunTextLine;
class QXDocxParagraph;
using QXDocxParagraphPtr = std::shared_ptr<QXDocxParagraph>;
using QXDocxRunGroup = std::vector<std::shared_ptr<QXDocxRun>>;

class QXDocxParagraph : public QXDocxWriterObject {
public:
    // Default paragraph, mark and hidden section properties, no lines.
    QXDocxParagraph();
    QXDocxParagraph(const QXDocxParagraph&) = default;
    QXDocxParagraph& operator=(const QXDocxParagraph&) = default;
    // A paragraph of `lines` (kept, not copied) with the free space above,
    // the height of the text block and the free space below it, in the
    // column `columnFrame`: default paragraph and mark properties, the
    // section properties without their section break, the alignment; the
    // run groups are built from the lines, then the spacing, line pitch and
    // indent are resolved and the content frame and first word found.
    QXDocxParagraph(std::vector<std::shared_ptr<QXDocxRunTextLine>> lines, double yBefore, double yHeight,
                    double yAfter, const Rect& columnFrame, std::int32_t textAlign,
                    const QXDocx_SectPr& sectProperty);
    // The same with no space around, a zero column frame, left alignment
    // and hidden section properties.
    explicit QXDocxParagraph(std::vector<std::shared_ptr<QXDocxRunTextLine>> lines);

    // Empty paragraphs that fill `height` from `originY` down: exact lines
    // of the larger of `spaceLine` and the mark size rounded up, the last
    // one taking what is left; one paragraph of the whole height when the
    // height is within a line and a margin or there is nothing to measure by.
    static std::vector<QXDocxParagraphPtr> BlankParagraph(double height, double spaceLine, double indLeft,
                                                          double indRight, std::int32_t textAlign,
                                                          const QXDocx_RPr& rProperty,
                                                          const QXDocx_SectPr& sectProperty, double originY,
                                                          const Rect& columnFrame);
    // The first paragraph among `objects`, or nullptr.
    static QXDocxParagraphPtr FirstParagraph(const std::vector<std::shared_ptr<QXDocxWriterObject>>& objects);

    // A copy shares the lines, the run groups, the text and the first word.
    std::shared_ptr<QXDocxWriterObject> copy() const override;

    // --- Fields ---
    const QXDocx_PPr& pProperty() const { return pProperty_; }
    void setPProperty(const QXDocx_PPr& value) { pProperty_ = value; }
    const QXDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(const QXDocx_RPr& value) { rProperty_ = value; }
    const QXDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(const QXDocx_SectPr& value) { sectProperty_ = value; }
    const std::vector<std::shared_ptr<QXDocxRunTextLine>>& lineArray() const { return *lineArray_; }
    double resolvedHeight() const { return resolvedHeight_; }
    void setResolvedHeight(double value) { resolvedHeight_ = value; }
    bool breakColumn() const { return breakColumn_; }
    void setBreakColumn(bool value) { breakColumn_ = value; }
    const Rect& columnFrame() const { return columnFrame_; }
    void setColumnFrame(const Rect& value) { columnFrame_ = value; }
    const Rect& contentFrame() const { return contentFrame_; }
    void setContentFrame(const Rect& value) { contentFrame_ = value; }
    const std::string& paragraphText() const { return *paragraphText_; }
    double yBefore() const { return yBefore_; }
    void setYBefore(double value) { yBefore_ = value; }
    double yHeight() const { return yHeight_; }
    void setYHeight(double value) { yHeight_ = value; }
    double yAfter() const { return yAfter_; }
    void setYAfter(double value) { yAfter_ = value; }
    double firstWordWidth() const { return firstWordWidth_; }
    const std::vector<QXDocxRunGroup>& writeRunGroupArray() const { return *writeRunGroupArray_; }
    const std::string& firstWord() const { return *firstWord_; }

    // --- Queries ---
    // Every run of every line, in line order.
    QXDocxRunTextArray allRunTextArray() const;
    // The first line, or nullptr.
    std::shared_ptr<QXDocxRunTextLine> firstRunLineText() const;
    // The sum of the text widths of the first line's runs; 0 without lines.
    double firstLineTextWidth() const;
    // True without lines, or when the first line's text holds nothing but
    // white space, line breaks and control characters.
    bool isParagraphBlankText() const;

    // --- Changes used by the section ---
    // Appends the runs to the first line, or makes a line of them when
    // there is none.
    void addRunTextArray(const QXDocxRunTextArray& runs);
    // One group holding every run of every line, in order, replaces the
    // groups (paragraphs of text boxes).
    void convertToWriteRunArrayFloatRunPict();
    // The run groups and text from the lines: every run's outside spacing
    // restarts at 0, gaps become spacing, tabs or blanks, and runs drawn
    // over most of the run before them in the same formatting merge.
    void convertToWriteRunArray();
    // What the spacing pass reads of the lines and the measured heights.
    QXDocxParagraphBlock paragraphBlock() const;
    // resolvePProperty with the measures of the paragraph's own lines.
    void resolvePProperty();
    // The content frame (union of the frames of the lines' runs that have
    // a width), the first word of the first line and its width with its
    // share of the first run's inside spacing.
    void updateContentFrame();
    void setSpaceLineBefore(double value);
    void setSpaceLine(double value);
    void setSpaceLineAfter(double value);
    // Line value x; the mark shrinks to x when larger; the content frame's
    // size becomes (2, x).
    void setBlankParagraphSpaceLine(double value);
    void setupOutline(std::int32_t level);
    // True when the paragraph is the heading of an outline entry titled
    // `title` (QXDocxParagraphLayout::matchesOutline of its line texts).
    bool compareOutLine(std::string_view title, bool likeDetect) const;
    // Puts the pictures at the front of the first group, in their order.
    void insertRunPictArray(const QXDocxRunGroup& pictures);

    // Takes the run groups and the text built from the paragraph's lines.
    void setWriteRunGroups(std::vector<QXDocxRunGroup> groups, std::string paragraphText);
    // Spacing, line pitch and, for one line, the left indent (the line's
    // left edge `firstLineX` from the column's) from the measures of its
    // lines; the mark takes the run properties of the first group's last
    // text run. Nothing changes without groups, nor for one line whose
    // group is empty. resolvedHeight is the change of the line value.
    void resolvePProperty(const QXDocxParagraphBlock& block, double firstLineX);

    // The last text run of the first group, or nullptr.
    std::shared_ptr<QXDocxRunText> lastRunText() const;

    // --- Writing ---
    // Leader repair: runs drawn over leader characters ("__", "..", "._",
    // "==") take the leader as their underline, and the leader runs they
    // cover become blanks whose width the covering run absorbs.
    void fixOutsideSpacingError();
    // True when a group holds a tab run.
    bool haveRunTab() const;
    // One tab stop per tab run of all groups, in order.
    QXDocx_Tabs tabsPropertyInParagraph() const;
    // Leader repair, then one "p": the properties adapted to what the word
    // processor can show (alignment, indents, line value, mark size) with
    // the tab stops, an optional column break, and every run of every group,
    // text runs taller than an exact line set at its value.
    void writeWithXMLWriter(XMLFileWriter& writer) override;

private:
    QXDocx_PPr pProperty_;
    QXDocx_RPr rProperty_;
    QXDocx_SectPr sectProperty_;
    std::shared_ptr<std::vector<std::shared_ptr<QXDocxRunTextLine>>> lineArray_;
    double resolvedHeight_ = 0;
    bool breakColumn_ = false;
    Rect columnFrame_;
    Rect contentFrame_;
    std::shared_ptr<std::string> paragraphText_;
    double yBefore_ = 0;
    double yHeight_ = 0;
    double yAfter_ = 0;
    double firstWordWidth_ = 0;
    std::shared_ptr<std::vector<QXDocxRunGroup>> writeRunGroupArray_;
    std::shared_ptr<std::string> firstWord_;
};

} // namespace rz
