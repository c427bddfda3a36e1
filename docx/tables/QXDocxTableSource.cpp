#include "docx/tables/QXDocxTableSource.h"

#include "docx/tables/QXDocxTableLimits.h"

#include <algorithm>

namespace rz {

namespace {

double areaOf(const Rect& rect)
{
    if (rect.isNull() || rect.size.width <= 0 || rect.size.height <= 0)
        return 0;
    return rect.size.width * rect.size.height;
}

// The platform's point-in-rectangle test: left and top edges inside,
// right and bottom edges outside.
bool holdsPoint(const Rect& rect, Point p)
{
    return p.x >= rect.minX() && p.x < rect.maxX() && p.y >= rect.minY() && p.y < rect.maxY();
}

} // namespace

QXDocxTablePtr QXDocxTableSource::createTable() const
{
    auto table = std::make_shared<QXDocxTable>();
    table->setPdfScanIndex(minPDFScanIndex);
    table->setPdfScanIndex_orignal(minPDFScanIndex);
    table->setPdfScanLength(1);
    table->setBounds(bounds);
    table->setSuperPage(superPage);
    table->setIsPageWhiteBackground(isPageWhiteBackground);
    table->setPDFScanRange(minPDFScanIndex, maxPDFScanIndex);
    table->setTextPDFScanRange(minTextPDFScanIndex, maxTextPDFScanIndex);

    std::vector<QXDocxTableCellPtr> cells;
    const std::vector<std::vector<QXDocxTableCorner>>& points = tablePoints;
    for (std::size_t r = 0; r + 1 < points.size(); ++r) {
        const std::vector<QXDocxTableCorner>& upper = points[r];
        const std::vector<QXDocxTableCorner>& lower = points[r + 1];
        if (upper.empty() || lower.empty())
            continue;
        const std::size_t k = upper.size() - 1;
        // The lower row's corner under the upper row's point; a lower row
        // with fewer points lends its last one.
        const auto below = [&](std::size_t c) -> const QXDocxTableCorner& { return lower[std::min(c, lower.size() - 1)]; };
        auto row = std::make_shared<QXDocxTableRow>(upper[0], upper[k], below(0), below(k));
        row->setRowIndex(static_cast<std::int64_t>(table->tableRowArray().size()));
        const std::uint64_t rowNumber = table->tableRowArray().size();
        for (std::size_t c = 0; c + 1 < upper.size() && c + 1 < lower.size(); ++c) {
            auto cell = std::make_shared<QXDocxTableCell>(upper[c], upper[c + 1], lower[c], lower[c + 1]);
            cell->setSuperTableRow(row.get());
            cell->setRowRange({rowNumber, 1});
            cell->setColumnRange({row->tableCellArray().size(), 1});
            row->tableCellArray().push_back(cell);
            cells.push_back(cell);
        }
        row->setSuperTable(table.get());
        table->tableRowArray().push_back(row);
    }

    // An edge shared by neighbours belongs to the right (lower) cell.
    for (const QXDocxTableRowPtr& row : table->tableRowArray()) {
        const auto& rowCells = row->tableCellArray();
        for (std::size_t i = 0; i + 1 < rowCells.size(); ++i)
            rowCells[i]->borderRight().removeTableLines(rowCells[i + 1]->borderRight().tableLines());
    }
    const auto& rows = table->tableRowArray();
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        const auto& upper = rows[r]->tableCellArray();
        const auto& lower = rows[r + 1]->tableCellArray();
        for (std::size_t i = 0; i < upper.size() && i < lower.size(); ++i)
            upper[i]->borderBottom().removeTableLines(lower[i]->borderBottom().tableLines());
    }
    for (const QXDocxTableCellPtr& cell : cells)
        cell->initProcessBorders();

    // Each row's cells with the union of their boxes, so that a text or a
    // path is compared only with the cells of the rows it meets.
    struct Band {
        Rect box;
        const std::vector<QXDocxTableCellPtr>* cells = nullptr;
    };
    std::vector<Band> bands;
    for (const QXDocxTableRowPtr& row : table->tableRowArray()) {
        Band band{Rect::null(), &row->tableCellArray()};
        for (const QXDocxTableCellPtr& cell : row->tableCellArray())
            band.box = band.box.unionWith(cell->bounds().standardized());
        bands.push_back(band);
    }

    // A nested region that makes no cells is no table: its texts are
    // placed in this table's cells instead.
    QXDocxRunTextArray texts = allRunTextArray;
    std::vector<QXDocxTablePtr> nested;
    for (const QXDocxTableSource& sub : allSubAreaArray) {
        QXDocxTablePtr subTable = sub.createTable();
        if (subTable->superPage() == nullptr)
            subTable->setSuperPage(superPage);
        if (!subTable->hasCells()) {
            texts.insert(texts.end(), sub.allRunTextArray.begin(), sub.allRunTextArray.end());
            continue;
        }
        subTable->setSuperTable(table.get());
        nested.push_back(subTable);
    }
    if (!nested.empty()) {
        table->allSubTableArray() = nested;
        for (const QXDocxTablePtr& subTable : nested) {
            const Point probe{subTable->bounds().origin.x + kQXTableNestedProbe,
                              subTable->bounds().origin.y + kQXTableNestedProbe};
            for (const QXDocxTableCellPtr& cell : cells) {
                if (holdsPoint(cell->bounds(), probe))
                    cell->allSubTableArray().push_back(subTable);
            }
        }
    }

    QXDocxRunTextArray placedTexts;
    for (const QXDocxRunTextPtr& text : texts) {
        if (!text)
            continue;
        const Rect rect = text->displayRect();
        const double half = rect.size.width * rect.size.height * 0.5;
        bool placed = false;
        QXDocxTableCellPtr most;
        double mostArea = 0;
        for (const Band& band : bands) {
            if (areaOf(band.box.intersection(rect)) <= 0)
                continue;
            for (const QXDocxTableCellPtr& cell : *band.cells) {
                const double area = areaOf(cell->bounds().intersection(rect));
                if (area > half) {
                    cell->addRunTextIfNeed(text);
                    placed = true;
                }
                if (area > mostArea) {
                    mostArea = area;
                    most = cell;
                }
            }
        }
        // A text mostly inside the table but in no cell by more than half
        // goes to the cell it overlaps most, so that it is written.
        if (!placed && most && areaOf(bounds.intersection(rect)) > half) {
            most->addRunTextIfNeed(text);
            placed = true;
        }
        if (placed)
            placedTexts.push_back(text);
    }
    // The table lists the texts its cells hold; any other stays with the
    // page.
    table->allRunTextArray() = placedTexts;

    for (const QXDocxRunPathPtr& path : allRunPathArray) {
        if (!path || !path->pictInfo() || !path->pictInfo()->filled())
            continue;
        const Rect box = path->boundingBox();
        if (!(box.size.width > kQXTableShadingMinSide && box.size.height > kQXTableShadingMinSide))
            continue;
        for (const Band& band : bands) {
            if (!band.box.intersects(box))
                continue;
            for (const QXDocxTableCellPtr& cell : *band.cells) {
                const Rect b = cell->bounds();
                const Rect middle = b.insetBy(b.size.width / 4, b.size.height / 4);
                if (box.contains(middle))
                    cell->addTableShadingRunPathIfNeed(path);
            }
        }
    }
    return table;
}

} // namespace rz
