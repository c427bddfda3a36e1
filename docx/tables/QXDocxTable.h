// One table of a DOCX page: rows of cells with merged blocks, its table
// properties and grid, the texts it holds and where it stands in the
// page's drawing order. The page section that places it chooses how text
// wraps around it (none, around, or inside a floating text box), converts
// it to properties and writes it as "w:tbl".
#pragma once

#include "docx/layout/QXDocxRun.h"
#include "docx/tables/QXDocxTableCellGroup.h"
#include "docx/tables/QXDocxTableRow.h"

namespace rz {

class QXDocxPage;

class QXDocxTable : public QXDocxRun {
public:
    QXDocxTable();

    std::shared_ptr<QXDocxWriterObject> copy() const override;
    Rect displayRect() const override { return bounds_; }

    QXDocxTable* superTable() const { return superTable_; }
    void setSuperTable(QXDocxTable* table) { superTable_ = table; }
    // The page whose size nested cell sections take; may be null.
    QXDocxPage* superPage() const { return superPage_; }
    void setSuperPage(QXDocxPage* page) { superPage_ = page; }
    const Rect& bounds() const { return bounds_; }
    void setBounds(const Rect& value) { bounds_ = value; }
    std::vector<QXDocxTablePtr>& allSubTableArray() { return allSubTableArray_; }
    const QXDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(const QXDocx_SectPr& value) { sectProperty_ = value; }
    const QXDocx_TblPr& tblProperty() const { return tblProperty_; }
    void setTblProperty(const QXDocx_TblPr& value) { tblProperty_ = value; }
    // Column widths (points); as many as the widest row needs, also beyond
    // the fixed grid record.
    const std::vector<float>& gridColArray() const { return gridColArray_; }
    const QXDocx_TblGrid& tblGridProperty() const { return tblGridProperty_; }
    std::vector<QXDocxTableRowPtr>& tableRowArray() { return tableRowArray_; }
    const std::vector<QXDocxTableRowPtr>& tableRowArray() const { return tableRowArray_; }
    const std::vector<QXDocxTableCellGroupPtr>& cellGroupArray() const { return cellGroupArray_; }
    QXDocxRunTextArray& allRunTextArray() { return allRunTextArray_; }
    const QXDocxRunTextArray& allRunTextArray() const { return allRunTextArray_; }

    std::uint64_t minPDFScanIndex() const { return minPDFScanIndex_; }
    std::uint64_t maxPDFScanIndex() const { return maxPDFScanIndex_; }
    std::uint64_t minTextPDFScanIndex() const { return minTextPDFScanIndex_; }
    std::uint64_t maxTextPDFScanIndex() const { return maxTextPDFScanIndex_; }
    void setPDFScanRange(std::uint64_t min, std::uint64_t max) { minPDFScanIndex_ = min, maxPDFScanIndex_ = max; }
    void setTextPDFScanRange(std::uint64_t min, std::uint64_t max)
    {
        minTextPDFScanIndex_ = min, maxTextPDFScanIndex_ = max;
    }

    bool isWrappingToFloatTextBox() const { return isWrappingToFloatTextBox_; }
    // The paragraph a floating table hangs on (not owned: the paragraph
    // holds the table among its pictures).
    QXDocxParagraphPtr textBoxRelativeParagraph() const { return textBoxRelativeParagraph_.lock(); }
    void setTextBoxRelativeParagraph(const QXDocxParagraphPtr& value) { textBoxRelativeParagraph_ = value; }
    double textWrappingToNoneMarginTop() const { return textWrappingToNoneMarginTop_; }
    void setTextWrappingToNoneMarginTop(double value) { textWrappingToNoneMarginTop_ = value; }
    double textWrappingToNoneMarginBottom() const { return textWrappingToNoneMarginBottom_; }
    void setTextWrappingToNoneMarginBottom(double value) { textWrappingToNoneMarginBottom_ = value; }
    bool isPageWhiteBackground() const { return isPageWhiteBackground_; }
    void setIsPageWhiteBackground(bool value) { isPageWhiteBackground_ = value; }

    // The first sample paragraph of the rows, cached.
    QXDocxParagraphPtr defaultParagraph();
    QXDocxTableCell* firstTableCell() const;
    QXDocxTableCell* lastTableCell() const;
    // True when some row has a cell: only such a table writes anything.
    bool hasCells() const;

    void changeXMLPropertyTextWrappingToNone();
    void changeXMLPropertyTextWrappingToAround();
    void changeXMLPropertyTextWrappingToFloatTextBox();

    // Wrapping around, grid, cell and row properties, then merged blocks,
    // cell layout and table borders.
    void convertToXMLProperty();
    void optimizeXMLProperty();
    // Builds the merged blocks and hands each the table texts it holds.
    void createMergeCellsGroup();

    // The "w:tbl" (in a text box when floating); nothing for a table
    // without cells.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    void writeTextBoxStartWithXMLWriter(XMLFileWriter& writer);
    void writeTextBoxEndWithXMLWriter(XMLFileWriter& writer);

private:
    void writeGrid(XMLFileWriter& writer) const;

    QXDocxTable* superTable_ = nullptr;
    QXDocxPage* superPage_ = nullptr;
    Rect bounds_;
    std::vector<QXDocxTablePtr> allSubTableArray_;
    QXDocx_SectPr sectProperty_;
    QXDocx_TblGrid tblGridProperty_;
    std::vector<float> gridColArray_;
    QXDocx_TblPr tblProperty_;
    std::vector<QXDocxTableRowPtr> tableRowArray_;
    std::vector<QXDocxTableCellGroupPtr> cellGroupArray_;
    QXDocxRunTextArray allRunTextArray_;
    std::uint64_t minPDFScanIndex_ = 0;
    std::uint64_t maxPDFScanIndex_ = 0;
    std::uint64_t minTextPDFScanIndex_ = 0;
    std::uint64_t maxTextPDFScanIndex_ = 0;
    bool isWrappingToFloatTextBox_ = false;
    std::weak_ptr<QXDocxParagraph> textBoxRelativeParagraph_;
    double textWrappingToNoneMarginTop_ = 0;
    double textWrappingToNoneMarginBottom_ = 0;
    bool isPageWhiteBackground_ = true;
    QXDocxParagraphPtr defaultParagraph_;
};

} // namespace rz
