#include "docx/tables/QXDocxTableCell.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "converter/text/QXConverterUtilities.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/tables/QXDocxTable.h"
#include "docx/tables/QXDocxTableCellGroup.h"
#include "docx/tables/QXDocxTableLimits.h"
#include "docx/tables/QXDocxTableRow.h"

#include <algorithm>

namespace rz {

namespace {

template <class T>
bool appendOnce(std::vector<T>& list, const T& item)
{
    if (item && std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
    return true;
}

} // namespace

QXDocxTableCell::QXDocxTableCell(const QXDocxTableCorner& topLeft, const QXDocxTableCorner& topRight,
                                 const QXDocxTableCorner& bottomLeft, const QXDocxTableCorner& bottomRight)
    : QXDocxTableRect(topLeft, topRight, bottomLeft, bottomRight),
      tcProperty_(QXDocxUtilities::defaultTcProperty()),
      borderTop_(topLeft, topRight, true),
      borderBottom_(bottomLeft, bottomRight, true),
      borderLeft_(topLeft, bottomLeft, false),
      borderRight_(topRight, bottomRight, false)
{
    // A line is never two edges of one cell: it stays the bottom (right)
    // edge.
    borderTop_.removeTableLines(borderBottom_.tableLines());
    borderLeft_.removeTableLines(borderRight_.tableLines());
}

std::shared_ptr<QXDocxWriterObject> QXDocxTableCell::copy() const
{
    return std::make_shared<QXDocxTableCell>(*this);
}

QXDocxTable* QXDocxTableCell::superTable() const
{
    return superTableRow_ != nullptr ? superTableRow_->superTable() : nullptr;
}

bool QXDocxTableCell::addRunTextIfNeed(const QXDocxRunTextPtr& text)
{
    return appendOnce(allRunTextArray_, text);
}

bool QXDocxTableCell::addTableShadingRunPathIfNeed(const QXDocxRunPathPtr& path)
{
    return appendOnce(tableShadingRunPaths_, path);
}

void QXDocxTableCell::initProcessBorders()
{
    // White lines are no borders on a white page, but they are on a
    // coloured one (white rules between shaded cells).
    const QXDocxTable* table = superTable();
    const QXDocx_Color background =
        table == nullptr || table->isPageWhiteBackground() ? kQXTableOpaqueWhite : kQXTableNoBackground;
    borderTop_.initProcessTableLines(background);
    borderLeft_.initProcessTableLines(background);
    borderBottom_.initProcessTableLines(background);
    borderRight_.initProcessTableLines(background);
}

QXDocxTableCell* QXDocxTableCell::displayTableCell()
{
    return superTableCellGroup_ != nullptr ? static_cast<QXDocxTableCell*>(superTableCellGroup_) : this;
}

double QXDocxTableCell::displayBoarderSizeTop() const
{
    return QXBorderDisplaySize(tcProperty_.tcBorders.top);
}

double QXDocxTableCell::displayBoarderSizeLeft() const
{
    return QXBorderDisplaySize(tcProperty_.tcBorders.left);
}

double QXDocxTableCell::displayBoarderSizeRight() const
{
    return QXBorderDisplaySize(tcProperty_.tcBorders.right);
}

double QXDocxTableCell::displayBoarderSizeBottom() const
{
    return QXBorderDisplaySize(tcProperty_.tcBorders.bottom);
}

Rect QXDocxTableCell::allRunTextBounds() const
{
    Rect bounds;
    bool first = true;
    for (const QXDocxRunTextPtr& text : allRunTextArray_) {
        bounds = first ? text->displayRect() : bounds.unionWith(text->displayRect());
        first = false;
    }
    return bounds;
}

std::string QXDocxTableCell::cellText() const
{
    std::string text;
    for (const QXDocxRunTextPtr& run : allRunTextArray_)
        text += run->runText();
    return text;
}

std::vector<QXDocxRunPathPtr> QXDocxTableCell::allBorderRunPaths() const
{
    std::vector<QXDocxRunPathPtr> paths;
    for (const QXDocxTableBorder* border : {&borderTop_, &borderLeft_, &borderBottom_, &borderRight_}) {
        for (const QXDocxRunPathPtr& path : border->allRunPaths())
            appendOnce(paths, path);
    }
    return paths;
}

void QXDocxTableCell::createXMLProperty()
{
    tcProperty_.tcW = {static_cast<float>(bounds().size.width), QXDocxWidthDxa};
    tcProperty_.shd = cellShading();
    // On a shaded cell white lines show: they are its borders.
    if (tcProperty_.shd.val == QXDocxShadingClear && !QXColorIsNearlyEqual(tcProperty_.shd.fill, kQXTableOpaqueWhite)) {
        borderTop_.initProcessTableLines(kQXTableNoBackground);
        borderLeft_.initProcessTableLines(kQXTableNoBackground);
        borderBottom_.initProcessTableLines(kQXTableNoBackground);
        borderRight_.initProcessTableLines(kQXTableNoBackground);
    }
    tcProperty_.tcBorders.top = borderTop_.borderProperty();
    tcProperty_.tcBorders.left = borderLeft_.borderProperty();
    tcProperty_.tcBorders.bottom = borderBottom_.borderProperty();
    tcProperty_.tcBorders.right = borderRight_.borderProperty();
    tcProperty_.gridSpan = 0;
}

QXDocx_Shading QXDocxTableCell::cellShading() const
{
    const QXDocx_Shading none = QXDocxUtilities::defaultShading();
    std::vector<QXDocxRunPathPtr> candidates = allBorderRunPaths();
    for (const QXDocxRunPathPtr& path : tableShadingRunPaths_)
        appendOnce(candidates, path);

    const Rect cell = bounds();
    std::vector<QXDocxRunPathPtr> kept;
    for (const QXDocxRunPathPtr& path : candidates) {
        const auto& info = path->pictInfo();
        if (!info || !info->filled())
            continue;
        const bool keep = !info->stroked() || QXColorIsNearlyEqual(info->fillColorQX(), info->strokeColorQX()) ||
                          (path->runLineType() == QXDocxRunPath::kLineTypeRect &&
                           QXConverterUtilities::PecentAreaOfIntersectRect(cell, path->boundingBox()) >
                               kQXTableShadingCover);
        if (keep)
            appendOnce(kept, path);
    }
    if (kept.empty())
        return none;

    QXDocxRunPathPtr winner;
    bool anyStroked = false;
    const double half = cell.size.width * cell.size.height * 0.5;
    for (const QXDocxRunPathPtr& path : kept) {
        anyStroked = anyStroked || path->pictInfo()->stroked();
        if (path->areaIntersectionRect(cell) > half && (!winner || path->pdfScanIndex() > winner->pdfScanIndex()))
            winner = path;
    }
    // A fill of several boxes (a shaded band of cells painted as one path)
    // shades the cell it wholly covers.
    const bool coversCell = winner && winner->areaIntersectionRect(cell) > kQXTableFillCover * 2 * half;
    if (!winner || (!anyStroked && winner->runLineType() != QXDocxRunPath::kLineTypeRect && !coversCell))
        return none;

    const QXDocx_Color fill = winner->pictInfo()->fillColorQX();
    QXDocx_Shading shading = none;
    shading.fill = fill;
    shading.val = QXDocxShadingClear;

    const bool colouredCandidate =
        std::any_of(candidates.begin(), candidates.end(), [](const QXDocxRunPathPtr& path) {
            return path->pictInfo() && path->pictInfo()->filled() &&
                   !QXColorIsNearlyEqual(path->pictInfo()->fillColorQX(), kQXTableOpaqueWhite);
        });
    if (!tableShadingRunPaths_.empty() && colouredCandidate)
        return shading;
    const QXDocxTable* table = superTable();
    const bool whitePage = table == nullptr || table->isPageWhiteBackground();
    if (whitePage && QXColorIsNearlyEqual(fill, kQXTableOpaqueWhite))
        return none;
    return shading;
}

void QXDocxTableCell::createParagraphArrayIfNeed()
{
    if (superTableCellGroup_ != nullptr)
        return;
    allPageSectionArray_.clear();
    if (allRunTextArray_.empty())
        return;

    QXDocxTable* table = superTable();
    QXDocxPage* page = table != nullptr ? table->superPage() : nullptr;
    QXDocx_SectPr sectProperty = QXDocxUtilities::defaultSectPropertyHiden();
    sectProperty.pgSz = page != nullptr ? page->sectProperty().pgSz : QXDocx_PgSz{};

    const Rect box = bounds();
    const double left = displayBoarderSizeLeft();
    const double top = displayBoarderSizeTop();
    const Rect content(box.origin.x + left, box.origin.y + top, box.size.width - left - displayBoarderSizeRight(),
                       box.size.height - top - displayBoarderSizeBottom());
    QXDocx_PgMar margins = QXDocxUtilities::defaultPageMarginProperty();
    margins.top = static_cast<float>(content.minY());
    margins.left = static_cast<float>(content.minX());
    margins.right = static_cast<float>(sectProperty.pgSz.w - content.maxX());
    margins.bottom = static_cast<float>(sectProperty.pgSz.h - content.maxY() - 1);
    sectProperty.pgMar = margins;
    sectProperty.type = QXDocxPage::kNestedSectionType;

    std::vector<QXDocxPageSectionPtr> sections =
        QXDocxPageSection::CreatePageSection(allRunTextArray_, sectProperty, false);
    // A cell always ends in a paragraph: sections that make none are
    // replaced by the empty paragraph.
    const bool anyParagraph = std::any_of(sections.begin(), sections.end(), [](const QXDocxPageSectionPtr& s) {
        return s && s->firstParagraph() != nullptr;
    });
    if (!anyParagraph)
        return;
    tcProperty_.vAlign = sections.front()->sectProperty().vAlign;
    for (const QXDocxPageSectionPtr& section : sections)
        section->setSuperPage(page);
    allPageSectionArray_ = std::move(sections);
    const double overflow = allRunTextBounds().maxY() - content.maxY();
    if (overflow > 0)
        allPageSectionArray_.front()->moveUpParagraphIfNeed(overflow);
}

QXDocxParagraphPtr QXDocxTableCell::sampleParagraph()
{
    if (sampleParagraph_)
        return sampleParagraph_;
    if (superTableCellGroup_ != nullptr)
        return static_cast<QXDocxTableCell*>(superTableCellGroup_)->sampleParagraph();
    for (const QXDocxPageSectionPtr& section : allPageSectionArray_) {
        if (QXDocxParagraphPtr paragraph = section->firstParagraph()) {
            sampleParagraph_ = paragraph;
            break;
        }
    }
    return sampleParagraph_;
}

void QXDocxTableCell::writeWithXMLWriter(XMLFileWriter& writer)
{
    if (superTableCellGroup_ != nullptr) {
        QXDocxTableCellGroup* group = superTableCellGroup_;
        if (columnRange_.location != group->columnRange().location)
            return;
        if (rowRange_.location == group->rowRange().location)
            group->writeWithXMLWriter(writer);
        else
            group->writeRowMergeEndWithXMLWriter(writer);
        return;
    }
    QXDocx_TcPr property = tcProperty_;
    if (allPageSectionArray_.empty() && superTableRow_ != nullptr) {
        if (QXDocxTableCell* sample = superTableRow_->sampleDisplayTableCell(this))
            property.vAlign = sample->tcProperty().vAlign;
    }
    writeCellWithProperty(property, writer);
}

void QXDocxTableCell::writeCellWithProperty(const QXDocx_TcPr& property, XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    QXDocxTable* table = superTable();
    const QXDocx_TblPr tblProperty = table != nullptr ? table->tblProperty() : QXDocxUtilities::defaultTblProperty();
    writer.writeStartElementWithNamespace(w, "tc");
    QXDocxUtilities::WriteTcProperty(property, columnRange_, rowRange_, tblProperty, writer);

    for (const QXDocxTablePtr& subTable : allSubTableArray_) {
        if (!subTable)
            continue;
        QXDocx_SectPr sect = table != nullptr ? table->sectProperty() : QXDocxUtilities::defaultSectPropertyHiden();
        const Rect box = bounds();
        sect.pgMar.top = static_cast<float>(box.minY());
        sect.pgMar.left = static_cast<float>(box.minX());
        sect.pgMar.right = static_cast<float>(sect.pgSz.w - box.maxX());
        sect.pgMar.bottom = static_cast<float>(sect.pgSz.h - box.maxY());
        subTable->setSectProperty(sect);
        if (table != nullptr && subTable->superPage() == nullptr)
            subTable->setSuperPage(table->superPage());
        subTable->convertToXMLProperty();
        subTable->writeWithXMLWriter(writer);
    }

    if (allPageSectionArray_.empty()) {
        writeEmptyParagraph(writer);
    } else {
        for (const QXDocxPageSectionPtr& section : allPageSectionArray_)
            section->writeWithXMLWriter(writer);
    }
    writer.writeEndElementWithNamespace(w, "tc");
}

void QXDocxTableCell::writeEmptyParagraph(XMLFileWriter& writer) const
{
    QXDocx_PPr pProperty = QXDocxUtilities::defaultPProperty();
    QXDocx_RPr rProperty = QXDocxUtilities::defaultRProperty();
    QXDocxParagraphPtr paragraph = superTableRow_ != nullptr ? superTableRow_->defaultParagraph() : nullptr;
    if (!paragraph && superTable() != nullptr)
        paragraph = superTable()->defaultParagraph();
    if (paragraph) {
        pProperty = paragraph->pProperty();
        rProperty = paragraph->rProperty();
    }
    if (pProperty.jc == QXDocxJustificationCenter)
        pProperty.ind = {};
    rProperty.spacing = 0;
    rProperty.u = 0;
    rProperty.strikethrough = 0;
    const double rowHeight = superTableRow_ != nullptr ? superTableRow_->trProperty().trHeight.val : 0;
    const QXDocx_Spacing& spacing = pProperty.spacing;
    if (rowHeight < spacing.line + spacing.before + spacing.after) {
        // Never a line or font size below one point, whatever the row.
        const auto fitted = static_cast<float>(std::max(rowHeight - 1, kQXTableMinEmptyLine));
        pProperty.spacing.line = fitted;
        rProperty.sz = fitted;
        rProperty.szCs = fitted;
    }
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "p");
    QXDocxUtilities::WritePProperty(pProperty, rProperty, QXDocxUtilities::defaultSectPropertyHiden(),
                                    QXDocxUtilities::defaultTabsProperty(), writer);
    writer.writeEndElementWithNamespace(w, "p");
}

} // namespace rz
