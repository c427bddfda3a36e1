// One table cell: its corners and four edges, the texts, nested tables and
// shading paths that lie in it, its cell properties ("tcPr") and its text
// laid out as nested page sections.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "docx/layout/QXDocxPageSection.h"
#include "docx/layout/QXDocxParagraph.h"
#include "docx/layout/QXDocxRunText.h"
#include "docx/tables/QXDocxTableBorder.h"
#include "docx/tables/QXDocxTableRect.h"

#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxPage;
class QXDocxTable;
class QXDocxTableCell;
class QXDocxTableCellGroup;
class QXDocxTableRow;
using QXDocxTablePtr = std::shared_ptr<QXDocxTable>;
using QXDocxTableCellPtr = std::shared_ptr<QXDocxTableCell>;

class QXDocxTableCell : public QXDocxTableRect {
public:
    // Default cell properties, empty lists, ranges (0, 0), and the four
    // edges; a line found by both the top and the bottom edge stays only
    // with the bottom one, one found by the left and the right edge only
    // with the right one.
    QXDocxTableCell(const QXDocxTableCorner& topLeft, const QXDocxTableCorner& topRight,
                    const QXDocxTableCorner& bottomLeft, const QXDocxTableCorner& bottomRight);

    std::shared_ptr<QXDocxWriterObject> copy() const override;

    QXDocxTableRow* superTableRow() const { return superTableRow_; }
    void setSuperTableRow(QXDocxTableRow* row) { superTableRow_ = row; }
    QXDocxTableCellGroup* superTableCellGroup() const { return superTableCellGroup_; }
    void setSuperTableCellGroup(QXDocxTableCellGroup* group) { superTableCellGroup_ = group; }
    // The table owning the cell's row; null when the cell is not placed.
    QXDocxTable* superTable() const;

    std::vector<QXDocxTablePtr>& allSubTableArray() { return allSubTableArray_; }
    const std::vector<QXDocxTablePtr>& allSubTableArray() const { return allSubTableArray_; }
    const QXDocx_TcPr& tcProperty() const { return tcProperty_; }
    void setTcProperty(const QXDocx_TcPr& value) { tcProperty_ = value; }
    const std::vector<QXDocxRunPathPtr>& tableShadingRunPaths() const { return tableShadingRunPaths_; }
    const QXDocxRunTextArray& allRunTextArray() const { return allRunTextArray_; }
    const std::vector<QXDocxPageSectionPtr>& allPageSectionArray() const { return allPageSectionArray_; }

    QXDocxTableBorder& borderTop() { return borderTop_; }
    QXDocxTableBorder& borderBottom() { return borderBottom_; }
    QXDocxTableBorder& borderLeft() { return borderLeft_; }
    QXDocxTableBorder& borderRight() { return borderRight_; }
    const QXDocxTableBorder& borderTop() const { return borderTop_; }
    const QXDocxTableBorder& borderBottom() const { return borderBottom_; }
    const QXDocxTableBorder& borderLeft() const { return borderLeft_; }
    const QXDocxTableBorder& borderRight() const { return borderRight_; }

    QXDocxRange columnRange() const { return columnRange_; }
    void setColumnRange(QXDocxRange value) { columnRange_ = value; }
    QXDocxRange rowRange() const { return rowRange_; }
    void setRowRange(QXDocxRange value) { rowRange_ = value; }

    // Append unless present; always true.
    bool addRunTextIfNeed(const QXDocxRunTextPtr& text);
    bool addTableShadingRunPathIfNeed(const QXDocxRunPathPtr& path);

    // Finds the lines and styles of the four edges.
    void initProcessBorders();
    // The cell's group when it has one, else the cell.
    QXDocxTableCell* displayTableCell();
    double displayBoarderSizeTop() const;
    double displayBoarderSizeLeft() const;
    double displayBoarderSizeRight() const;
    double displayBoarderSizeBottom() const;
    // Union of the texts' display rectangles; zero without texts.
    Rect allRunTextBounds() const;
    std::string cellText() const;
    // The paths of the four edges, each once.
    std::vector<QXDocxRunPathPtr> allBorderRunPaths() const;

    // Width, edge borders and shading.
    void createXMLProperty() override;
    // The shading the filled paths on and around the cell give it.
    QXDocx_Shading cellShading() const;
    // Lays the texts out as nested sections against the cell box (cells of
    // a group leave it to the group).
    virtual void createParagraphArrayIfNeed();
    QXDocxParagraphPtr sampleParagraph();

    // One "tc" (a grouped cell hands over to its group, or writes nothing).
    void writeWithXMLWriter(XMLFileWriter& writer) override;

protected:
    // The "tc" element with the given properties and the content.
    void writeCellWithProperty(const QXDocx_TcPr& property, XMLFileWriter& writer);
    void writeEmptyParagraph(XMLFileWriter& writer) const;

    QXDocxTableRow* superTableRow_ = nullptr;
    QXDocxTableCellGroup* superTableCellGroup_ = nullptr;
    std::vector<QXDocxTablePtr> allSubTableArray_;
    QXDocx_TcPr tcProperty_;
    std::vector<QXDocxRunPathPtr> tableShadingRunPaths_;
    QXDocxRunTextArray allRunTextArray_;
    std::vector<QXDocxPageSectionPtr> allPageSectionArray_;
    QXDocxTableBorder borderTop_;
    QXDocxTableBorder borderBottom_;
    QXDocxTableBorder borderLeft_;
    QXDocxTableBorder borderRight_;
    QXDocxRange columnRange_;
    QXDocxRange rowRange_;
    QXDocxParagraphPtr sampleParagraph_;
};

} // namespace rz
