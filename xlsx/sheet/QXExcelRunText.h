// The text runs of a spreadsheet page: characters that share a baseline and
// font properties, with their place on the page (display space) and, once the
// page is typeset, their place on the sheet grid. A run writes itself as a
// rich-text run of the shared-strings part.
#pragma once

#include "converter/QXPDF_CTMInfo.h"
#include "platform/geometry/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rz {

class XMLFileWriter;

// The font properties of a run. Plain value: copying copies every field.
struct QXExcelRunTextProperty {
    bool i = false;      // italic
    bool b = false;      // bold
    bool strike = false;
    int32_t charset = 0;
    double sz = 12.0;    // points
    std::string rFont = "Arial Unicode MS";
    std::string rFont_replace = "Arial Unicode MS";
    std::string family = "Arial Unicode MS";
    std::optional<std::string> scheme;
    // Hex digits: six (RGB) as the exporter sets them, or eight (ARGB).
    std::string rgbColor = "FF2f2b20";

    // Equal size (exact), font name, colour and family: runs that may be
    // joined into one while characters are collected.
    bool isEqualToRPr(const QXExcelRunTextProperty& other) const;
    // Equal size (exact) and colour: runs that may be merged on the grid.
    bool isSameToRPr(const QXExcelRunTextProperty& other) const;
};

// The base of the run classes: where the run lies and its place in the
// document's character stream.
class QXExcelRun {
public:
    virtual ~QXExcelRun() = default;

    QXPDF_CTMInfo& ctmInfo() { return ctmInfo_; }
    const QXPDF_CTMInfo& ctmInfo() const { return ctmInfo_; }
    void setCtmInfo(const QXPDF_CTMInfo& info) { ctmInfo_ = info; }
    size_t pdfScanIndex() const { return pdfScanIndex_; }
    void setPdfScanIndex(size_t index) { pdfScanIndex_ = index; }

    // A bare run covers nothing.
    virtual Rect displayRect() const { return Rect(); }

protected:
    QXPDF_CTMInfo ctmInfo_;
    size_t pdfScanIndex_ = 0;
};

class QXExcelRunText : public QXExcelRun {
public:
    std::string& text() { return text_; }
    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    QXExcelRunTextProperty& rPr() { return rPr_; }
    const QXExcelRunTextProperty& rPr() const { return rPr_; }
    void setRPr(const QXExcelRunTextProperty& rPr) { rPr_ = rPr; }
    // Display-space width of the run.
    double textWidth() const { return textWidth_; }
    void setTextWidth(double width) { textWidth_ = width; }

    // The run's place on the sheet grid (1-based once typeset) and how many
    // further rows and columns it spans.
    size_t columnIndex() const { return columnIndex_; }
    void setColumnIndex(size_t v) { columnIndex_ = v; }
    size_t rowIndex() const { return rowIndex_; }
    void setRowIndex(size_t v) { rowIndex_ = v; }
    size_t columnLength() const { return columnLength_; }
    void setColumnLength(size_t v) { columnLength_ = v; }
    size_t rowLength() const { return rowLength_; }
    void setRowLength(size_t v) { rowLength_ = v; }

    // (xLeft, yTop, textWidth, yBottom - yTop).
    Rect frame() const;

    // A new run with this run's scan index, geometry, text and properties;
    // its width and grid fields start at 0.
    std::shared_ptr<QXExcelRunText> copy() const;

    // <r><rPr><sz/><color/><rFont/><b/><i/></rPr><t xml:space="preserve">text</t></r>,
    // the size and font name replaced by the defaults when the manager's
    // format mode asks for them.
    void writeXMLWith(XMLFileWriter& writer) const;
    // The same run holding `text` in place of its own.
    void writeXMLWith(XMLFileWriter& writer, std::string_view text) const;

    // Diagnostics only.
    std::string description() const;
    std::string info() const;

private:
    std::string text_;
    QXExcelRunTextProperty rPr_;
    double textWidth_ = 0;
    size_t columnIndex_ = 0;
    size_t rowIndex_ = 0;
    size_t columnLength_ = 0;
    size_t rowLength_ = 0;
};

} // namespace rz
