#include "docx/tables/QXDocxTableRow.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/tables/QXDocxTableLimits.h"

#include <algorithm>

namespace rz {

QXDocxTableRow::QXDocxTableRow(const QXDocxTableCorner& topLeft, const QXDocxTableCorner& topRight,
                               const QXDocxTableCorner& bottomLeft, const QXDocxTableCorner& bottomRight)
    : QXDocxTableRect(topLeft, topRight, bottomLeft, bottomRight), trProperty_(QXDocxUtilities::defaultTrProperty())
{
}

std::shared_ptr<QXDocxWriterObject> QXDocxTableRow::copy() const
{
    return std::make_shared<QXDocxTableRow>(*this);
}

Rect QXDocxTableRow::allRunTextBounds() const
{
    Rect bounds;
    bool first = true;
    for (const QXDocxTableCellPtr& cell : tableCellArray_) {
        if (cell->allRunTextArray().empty())
            continue;
        const Rect cellBounds = cell->allRunTextBounds();
        bounds = first ? cellBounds : bounds.unionWith(cellBounds);
        first = false;
    }
    return bounds;
}

QXDocxParagraphPtr QXDocxTableRow::defaultParagraph()
{
    if (defaultParagraph_)
        return defaultParagraph_;
    for (const QXDocxTableCellPtr& cell : tableCellArray_) {
        if (QXDocxParagraphPtr paragraph = cell->sampleParagraph()) {
            defaultParagraph_ = paragraph;
            break;
        }
    }
    return defaultParagraph_;
}

QXDocxTableCell* QXDocxTableRow::sampleDisplayTableCell(const QXDocxTableCell* cell)
{
    std::vector<QXDocxTableCell*> candidates;
    const auto at = std::find_if(tableCellArray_.begin(), tableCellArray_.end(),
                                 [&](const QXDocxTableCellPtr& c) { return c.get() == cell; });
    if (at == tableCellArray_.end()) {
        for (const QXDocxTableCellPtr& c : tableCellArray_)
            candidates.push_back(c.get());
    } else {
        for (auto it = at; it != tableCellArray_.begin();)
            candidates.push_back((--it)->get());
        for (auto it = at + 1; it != tableCellArray_.end(); ++it)
            candidates.push_back(it->get());
    }
    for (QXDocxTableCell* candidate : candidates) {
        QXDocxTableCell* display = candidate->displayTableCell();
        if (!display->allPageSectionArray().empty())
            return display;
    }
    return nullptr;
}

void QXDocxTableRow::createXMLProperty()
{
    if (!tableCellArray_.empty()) {
        const QXDocx_Borders& first = tableCellArray_.front()->tcProperty().tcBorders;
        trProperty_.top = first.top;
        trProperty_.bottom = first.bottom;
        for (std::size_t i = 1; i < tableCellArray_.size(); ++i) {
            const QXDocx_Borders& borders = tableCellArray_[i]->tcProperty().tcBorders;
            if (borders.top.val >= QXDocxBorderSingle && borders.top.sz > trProperty_.top.sz)
                trProperty_.top = borders.top;
            if (borders.bottom.val >= QXDocxBorderSingle && borders.bottom.sz > trProperty_.bottom.sz)
                trProperty_.bottom = borders.bottom;
        }
        trProperty_.left = first.left;
        trProperty_.right = tableCellArray_.back()->tcProperty().tcBorders.right;
    }
    const Rect box = bounds();
    trProperty_.trHeight.val = static_cast<float>(box.size.height);
    Rect text = allRunTextBounds();
    text.size.height += kQXTableRowTextGrowth;
    const double top = QXBorderDisplaySize(trProperty_.top);
    const double bottom = QXBorderDisplaySize(trProperty_.bottom);
    const Rect test(box.origin.x - kQXTableRowSideSpill, box.origin.y + top, box.size.width + 2 * kQXTableRowSideSpill,
                    box.size.height - top - bottom);
    trProperty_.trHeight.hRule = test.contains(text) ? QXDocxHeightRuleAtLeast : QXDocxHeightRuleExact;
    trProperty_.cantSplit = false;
    trProperty_.hidden = false;
}

void QXDocxTableRow::writeWithXMLWriter(XMLFileWriter& writer)
{
    if (tableCellArray_.empty())
        return;
    QXDocx_TrPr property = trProperty_;
    if (property.trHeight.hRule == QXDocxHeightRuleAtLeast) {
        const double top = QXBorderDisplaySize(trProperty_.top);
        property.trHeight.val = property.trHeight.val - kQXTableMinRowHeight > top
                                    ? static_cast<float>(property.trHeight.val - top)
                                    : static_cast<float>(kQXTableMinRowHeight);
    }
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "tr");
    QXDocxUtilities::WriteTrProperty(property, writer);
    for (const QXDocxTableCellPtr& cell : tableCellArray_)
        cell->writeWithXMLWriter(writer);
    writer.writeEndElementWithNamespace(w, "tr");
}

} // namespace rz
