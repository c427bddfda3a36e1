// The building blocks of a worksheet: the text of one cell (a string item, with its
// grid position, spans and box on the page), the cell, the sheet row and
// the sheet column, each writing its own element of the worksheet part.
#pragma once

#include "platform/geometry/Geometry.h"
#include "xlsx/sheet/QXExcelNumber.h"
#include "xlsx/sheet/QXExcelRunText.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class XMLFileWriter;

// The box of a string item in display space (points, top-left origin).
struct QXExcelStringItemInfo {
    double displayX = 0;
    double displayY = 0;
    double displayWidth = 0;
    double displayHeight = 0;

    // (round(x), round(y), width, height), rounding half away from zero.
    Rect textBoxRect() const;
};

// The text of one occupied grid position: the runs placed there, in page
// order. Rows and columns are 1-based; the lengths count the further rows
// and columns the text spans.
class QXExcelStringItem {
public:
    size_t rowIndex() const { return rowIndex_; }
    void setRowIndex(size_t v) { rowIndex_ = v; }
    size_t columnIndex() const { return columnIndex_; }
    void setColumnIndex(size_t v) { columnIndex_ = v; }
    size_t rowLength() const { return rowLength_; }
    void setRowLength(size_t v) { rowLength_ = v; }
    size_t columnLength() const { return columnLength_; }
    void setColumnLength(size_t v) { columnLength_ = v; }
    QXExcelStringItemInfo& itemInfo() { return itemInfo_; }
    const QXExcelStringItemInfo& itemInfo() const { return itemInfo_; }

    std::vector<std::shared_ptr<QXExcelRunText>>& runArray() { return runArray_; }
    const std::vector<std::shared_ptr<QXExcelRunText>>& runArray() const { return runArray_; }

    // The runs' texts, joined with nothing between.
    std::string content() const;
    // The largest font size of the item's runs, at least 12; an item
    // without runs answers the size set on it (12 unless set), at least 12.
    double maxFontSize() const;
    void setMaxFontSize(double size) { maxFontSize_ = size; }
    // The sum of the runs' widths.
    double textWidth() const;
    // The properties of the first run (the defaults for an item without runs).
    QXExcelRunTextProperty runProperty() const;
    // Two or more runs, and some run's properties not equal to the first's
    // (isEqualToRPr): the text needs rich-text runs to keep its fonts.
    bool isAttributeRunText() const;
    // Whether the run sits at the item's grid position (row and column).
    bool containRunText(const QXExcelRunText& run) const;
    // The item's box over its runs (least left and top, greatest right and
    // bottom), and its spans raised to the largest of its runs'.
    void calculatStringItemInfo();

    // The item as a shared string: <si> holding each run's <r>. A text
    // longer than a cell holds is cut at the last whole character that
    // fits (QXExcelUtilities::kMaxCellCharacters); the runs after the cut
    // are left out.
    void writeXMLWith(XMLFileWriter& writer) const;

private:
    size_t rowIndex_ = 0;
    size_t columnIndex_ = 0;
    size_t rowLength_ = 0;
    size_t columnLength_ = 0;
    QXExcelStringItemInfo itemInfo_;
    std::vector<std::shared_ptr<QXExcelRunText>> runArray_;
    double maxFontSize_ = 12;
};

class QXExcelCell {
public:
    explicit QXExcelCell(std::shared_ptr<QXExcelStringItem> item = nullptr) : stringItem_(std::move(item)) {}

    bool isText() const { return isText_; }
    void setIsText(bool v) { isText_ = v; }
    // Index into the style sheet's cell formats; -1 writes no style.
    int32_t styleIndex() const { return styleIndex_; }
    void setStyleIndex(int32_t v) { styleIndex_ = v; }
    const std::shared_ptr<QXExcelStringItem>& stringItem() const { return stringItem_; }
    void setStringItem(std::shared_ptr<QXExcelStringItem> item) { stringItem_ = std::move(item); }
    // "s" (shared string) or "n" (number).
    const std::string& dataType() const { return dataType_; }
    void setDataType(std::string v) { dataType_ = std::move(v); }
    // The shared-string index or the number; "-1" writes no value.
    const std::string& cellValue() const { return cellValue_; }
    void setCellValue(std::string v) { cellValue_ = std::move(v); }

    // The reading of a numeric cell's text, with its number format id once
    // the style registry has given one; none for a text cell.
    const std::optional<QXExcelNumber>& number() const { return number_; }
    std::optional<QXExcelNumber>& number() { return number_; }
    void setNumber(std::optional<QXExcelNumber> number) { number_ = std::move(number); }

    size_t rowIndex() const { return stringItem_ ? stringItem_->rowIndex() : 0; }
    size_t columnIndex() const { return stringItem_ ? stringItem_->columnIndex() : 0; }

    // <c r="B3" s=".." t=".."><v>..</v></c>
    void writeXML(XMLFileWriter& writer) const;

private:
    bool isText_ = false;
    int32_t styleIndex_ = -1;
    std::shared_ptr<QXExcelStringItem> stringItem_;
    std::string dataType_ = "s";
    std::string cellValue_ = "-1";
    std::optional<QXExcelNumber> number_;
};

class QXExcelRow {
public:
    size_t rowIndex() const { return rowIndex_; }
    // Also moves the items of the cells already in the row to this row.
    void setRowIndex(size_t index);
    bool customHeight() const { return customHeight_; }
    void setCustomHeight(bool v) { customHeight_ = v; }
    const std::string& spans() const { return spans_; }
    std::vector<std::shared_ptr<QXExcelCell>>& cells() { return cells_; }
    const std::vector<std::shared_ptr<QXExcelCell>>& cells() const { return cells_; }
    // Origin y: the top of the row; size height: its height in points.
    const Rect& frame() const { return frame_; }
    void setFrame(const Rect& frame) { frame_ = frame; }
    void setHeight(double height) { frame_.size.height = height; }

    // <row r spans ht customHeight> with the cells in column order; ht is
    // "13.5" when the manager asks for the default row height, else the
    // height × 1.1.
    void writeXML(XMLFileWriter& writer) const;

private:
    bool customHeight_ = true;
    std::vector<std::shared_ptr<QXExcelCell>> cells_;
    size_t rowIndex_ = 1;
    std::string spans_ = "1:1";
    Rect frame_;
};

class QXExcelColumn {
public:
    size_t columnIndex() const { return columnIndex_; }
    // Also moves the items of the cells already in the column to it.
    void setColumnIndex(size_t index);
    bool customWidth() const { return customWidth_; }
    void setCustomWidth(bool v) { customWidth_ = v; }
    std::vector<std::shared_ptr<QXExcelCell>>& cells() { return cells_; }
    const std::vector<std::shared_ptr<QXExcelCell>>& cells() const { return cells_; }
    // Origin x: the left edge; size width: the width in points.
    const Rect& frame() const { return frame_; }
    void setFrame(const Rect& frame) { frame_ = frame; }
    void setWidth(double width) { frame_.size.width = width; }

    // <col min max width customWidth>, the width in character units
    // (points ÷ 3 × 1.1).
    void writeXML(XMLFileWriter& writer) const;

private:
    bool customWidth_ = true;
    size_t columnIndex_ = 0;
    std::vector<std::shared_ptr<QXExcelCell>> cells_;
    Rect frame_;
};

} // namespace rz
