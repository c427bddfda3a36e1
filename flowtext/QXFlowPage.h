// One page of a flow-text document: the exporter appends the page's run
// texts; at the end of the page the page groups them into lines, parts,
// divs, columns and rows (QXFlowLayout), turns each row into a paragraph
// with blank paragraphs or line spacing for the vertical gaps, and writes
// the paragraphs into its format's file writer.
//
// QXTextPage derives from QXFlowPage; QXHTMLPage and QXRTFPage from
// QXFlowStyledPage, which keeps the page's text margins and writes
// horizontal gaps between paragraphs on one line as spaces. Each output
// line is written through QXFlowOutputLine, which puts right-to-left text
// into reading order.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "flowtext/QXFlowLayout.h"
#include "flowtext/QXFlowParagraph.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rz {

class QXFlowFileWriter;

class QXFlowPage {
public:
    // No writer, not the last page, empty lists, the default hidden section.
    QXFlowPage();
    virtual ~QXFlowPage() = default;
    QXFlowPage(const QXFlowPage&) = delete;
    QXFlowPage& operator=(const QXFlowPage&) = delete;

    // Keeps the writer and the flag; the section is written (shouldWrite),
    // continuous unless the page is the last, and as large as the page.
    void initWithXMLWriter(std::shared_ptr<QXFlowFileWriter> writer, Size pageSize, bool lastPage);

    // Empties the paragraph list.
    void begainWritePage(std::int64_t pageIndex);
    // Lays the runs out, then writes the paragraphs into the writer.
    void endWritePage(std::int64_t pageIndex);
    // Appends the page's paragraphs, laid out from allRunTextArray.
    void _creatParagraphs();
    // Writes paragraphArray.
    virtual void _writeParagraphs(QXFlowFileWriter& writer) = 0;
    // A new, empty paragraph of the page's format.
    virtual QXFlowParagraphRef newParagraph() const = 0;

    // Breaks change nothing in these formats.
    void insertPageBreak() {}
    void insertSectionPageBreak() {}
    void insertSectionContinuesBreak() {}
    void insertSectionColumnBreak() {}

    // True when the last runs of two paragraphs sit on one output line: both
    // exist and their bottoms differ by at most kSameLineTolerance.
    static bool isOnOneLine(const QXFlowRunText* previous, const QXFlowRunText* next);

    const std::shared_ptr<QXFlowFileWriter>& documentWriter() const { return documentWriter_; }
    bool isLastPage() const { return isLastPage_; }
    const QXDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(const QXDocx_SectPr& v) { sectProperty_ = v; }
    const std::vector<QXFlowParagraphRef>& paragraphArray() const { return paragraphArray_; }
    std::vector<QXFlowParagraphRef>& paragraphArray() { return paragraphArray_; }
    const QXFlowRunList& allRunTextArray() const { return allRunTextArray_; }
    QXFlowRunList& allRunTextArray() { return allRunTextArray_; }

protected:
    // The layout found the top of the page's first run and the least x of
    // the lines' first runs (the styled pages keep them as text margins).
    virtual void layoutFoundTextTop(double /*top*/) {}
    virtual void layoutFoundTextLeft(double /*left*/) {}

private:
    // The paragraphs of one column of a div (rows top-down), appended to
    // `result`. `reference` holds the properties that blank gaps take.
    void placeColumnRows(std::vector<QXFlowPartList> rows, size_t columnIndex, double divTop,
                         const QXDocx_SectPr& divSection, QXDocx_PPr& referenceP, QXDocx_RPr& referenceR,
                         std::vector<QXFlowParagraphRef>& result) const;

    std::shared_ptr<QXFlowFileWriter> documentWriter_;
    bool isLastPage_ = false;
    QXDocx_SectPr sectProperty_;
    std::vector<QXFlowParagraphRef> paragraphArray_;
    QXFlowRunList allRunTextArray_;
};

// The HTML and RTF pages.
class QXFlowStyledPage : public QXFlowPage {
public:
    QXFlowStyledPage();

    // Every paragraph opens a new output paragraph unless it continues the
    // previous one's line (then the gap is written as spaces); of a
    // sequence of later paragraphs without text only the first is written.
    void _writeParagraphs(QXFlowFileWriter& writer) override;

    // The number of spaces that fill a horizontal gap between two
    // paragraphs on one line: ceil(gap / spaceWidth), at most kMaxGapSpaces;
    // 1 when the space width cannot measure the gap; 0 when there is no gap.
    static int gapSpaceCount(double gap, double spaceWidth);

    const QXDocx_PgMar& textMargin() const { return textMargin_; }
    void setTextMargin(const QXDocx_PgMar& v) { textMargin_ = v; }

protected:
    void layoutFoundTextTop(double top) override;
    void layoutFoundTextLeft(double left) override;
    // After the last paragraph (the HTML page closes its open tags).
    virtual void didWriteParagraphs(QXFlowFileWriter& /*writer*/) {}

private:
    QXDocx_PgMar textMargin_;
};

} // namespace rz
