// The tables of a section when it is written: each takes the section's
// properties, tables in the blank room between paragraphs are written in the
// flow between blank paragraphs of exact heights (borrowing room from the
// paragraphs above or below where a table needs more), and tables left over
// float in text boxes anchored to a paragraph.
#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxPageSection.h"
#include "docx/layout/QXDocxParagraph.h"
#include "docx/tables/QXDocxTable.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

// Gaps at most this high are left as table margins, not blank paragraphs.
constexpr double kMinBlankGap = 3.1;
// A shortage smaller than this is no shortage; a borrowed gap counts as it.
constexpr double kGapTolerance = 0.1;
// Tables skipped leave room filled when more than this remains.
constexpr double kSkippedRoom = 5.0;

QXDocxTable* tableOf(const QXDocxPageSection::PlacedTable& placed)
{
    return dynamic_cast<QXDocxTable*>(placed.table.get());
}

// Ascending by position: a table wholly above another, or wholly to its
// left, comes first; otherwise by top (within a point).
bool tableBefore(const QXDocxPageSection::PlacedTable& a, const QXDocxPageSection::PlacedTable& b)
{
    const Rect& ra = a.bounds;
    const Rect& rb = b.bounds;
    if (rb.minY() > ra.maxY())
        return true;
    if (ra.minY() > rb.maxY())
        return false;
    if (rb.minX() > ra.maxX())
        return true;
    if (ra.minX() > rb.maxX())
        return false;
    if (rb.minY() - 1 > ra.minY())
        return true;
    return false;
}

// Gives a shortage (`amount` < 0) of room from the paragraph's spacing;
// with `save` the change is made. True when the paragraph can give it.
bool borrowParagraph(QXDocxParagraph& paragraph, double amount, bool afterFirst, bool save)
{
    const double need = -amount + kGapTolerance;
    QXDocx_PPr p = paragraph.pProperty();
    const double before = p.spacing.before;
    const double after = p.spacing.after;
    const double line = p.spacing.line;
    const double primary = afterFirst ? after : before;
    if (primary >= need) {
        if (afterFirst)
            p.spacing.after = static_cast<float>(after - need);
        else
            p.spacing.before = static_cast<float>(before - need);
    } else if (before + after >= need) {
        if (afterFirst) {
            p.spacing.before = static_cast<float>(before + after - need);
            p.spacing.after = 0;
        } else {
            p.spacing.after = static_cast<float>(before + after - need);
            p.spacing.before = 0;
        }
    } else if (paragraph.paragraphText().empty() && line >= need) {
        p.spacing.line = static_cast<float>(line - need);
    } else {
        const double lines = static_cast<double>(paragraph.lineArray().size());
        if (!(lines > 0) || !((before + line + after - 0.9 * paragraph.rProperty().sz) * lines >= need))
            return false;
        p.spacing.before = 0;
        p.spacing.after = 0;
        p.spacing.line = static_cast<float>(line - (need - before - after) / lines);
    }
    if (save)
        paragraph.setPProperty(p);
    return true;
}

bool borrowColumn(const QXDocxWriterObjectArray& column, double amount, bool afterFirst, bool save)
{
    const auto tryOne = [&](const std::shared_ptr<QXDocxWriterObject>& object) {
        auto* paragraph = dynamic_cast<QXDocxParagraph*>(object.get());
        return paragraph != nullptr && borrowParagraph(*paragraph, amount, afterFirst, save);
    };
    if (afterFirst)
        return std::any_of(column.rbegin(), column.rend(), tryOne);
    return std::any_of(column.begin(), column.end(), tryOne);
}

// Every column gives the shortage, or none changes.
bool borrowColumns(const std::vector<QXDocxWriterObjectArray>& columns, double amount, bool afterFirst)
{
    if (columns.empty())
        return false;
    for (const auto& column : columns)
        if (!borrowColumn(column, amount, afterFirst, false))
            return false;
    for (const auto& column : columns)
        borrowColumn(column, amount, afterFirst, true);
    return true;
}

// Adds room to the first paragraph's space before (or the last one's space
// after) of every column; true when one took it.
bool giveSpace(double amount, bool beforeLine, const std::vector<QXDocxWriterObjectArray>& columns)
{
    if (amount < 0)
        return false;
    bool taken = false;
    for (const auto& column : columns) {
        QXDocxParagraphPtr paragraph;
        if (beforeLine) {
            paragraph = QXDocxParagraph::FirstParagraph(column);
        } else {
            for (auto it = column.rbegin(); it != column.rend() && !paragraph; ++it)
                paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(*it);
        }
        if (!paragraph)
            continue;
        QXDocx_PPr p = paragraph->pProperty();
        if (beforeLine)
            p.spacing.before = static_cast<float>(p.spacing.before + amount);
        else
            p.spacing.after = static_cast<float>(p.spacing.after + amount);
        paragraph->setPProperty(p);
        taken = true;
    }
    return taken;
}

} // namespace

void QXDocxPageSection::prepareTableForWriting(const PlacedTable& placed) const
{
    if (QXDocxTable* table = tableOf(placed)) {
        table->setSectProperty(sectProperty_);
        table->convertToXMLProperty();
    }
}

void QXDocxPageSection::anchorFloatingTable(const PlacedTable& placed, const QXDocxParagraphPtr& paragraph) const
{
    QXDocxTable* table = tableOf(placed);
    if (!table || !paragraph)
        return;
    table->changeXMLPropertyTextWrappingToFloatTextBox();
    table->setTextBoxRelativeParagraph(paragraph);
    if (auto run = std::dynamic_pointer_cast<QXDocxRun>(placed.table))
        paragraph->insertRunPictArray({run});
}

QXDocxWriterObjectArray QXDocxPageSection::CreateParagraphsAndTables(std::vector<PlacedTable>& tables,
                                                                     const Rect& blankFrame,
                                                                     const QXDocxParagraphPtr& example,
                                                                     const std::vector<QXDocxWriterObjectArray>& above,
                                                                     const std::vector<QXDocxWriterObjectArray>& below)
{
    std::stable_sort(tables.begin(), tables.end(), tableBefore);
    QXDocx_SectPr blankSection = example ? example->sectProperty() : QXDocx_SectPr{};
    blankSection.shouldWrite = false;
    blankSection.type = 1;
    blankSection.cols = QXDocxUtilities::defaultColsProperty();
    const QXDocx_PPr pProperty = example ? example->pProperty() : QXDocx_PPr{};
    const QXDocx_RPr rProperty = example ? example->rProperty() : QXDocx_RPr{};
    const Rect columnFrame = example ? example->columnFrame() : Rect{};
    const double runSize = example ? rProperty.sz : 0;
    const auto blanks = [&](double height, double originY) {
        return QXDocxParagraph::BlankParagraph(height, pProperty.spacing.line, pProperty.ind.left, pProperty.ind.right,
                                               pProperty.jc, rProperty, blankSection, originY, columnFrame);
    };

    QXDocxWriterObjectArray objects;
    std::vector<PlacedTable> skipped;
    const double roomTop = blankFrame.minY();
    const double roomBottom = blankFrame.maxY();
    double top = roomTop;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const PlacedTable& placed = tables[i];
        QXDocxTable* table = tableOf(placed);
        const bool last = i + 1 == tables.size();
        double gapAbove = placed.bounds.minY() - top;
        double gapBelow = (last ? roomBottom : tables[i + 1].bounds.minY()) - placed.bounds.maxY();

        // Room a table lacks is borrowed from the paragraphs above or below
        // it; a table that still lacks room is placed only when it stands
        // to the left of its neighbour.
        bool shortAbove = gapAbove < -kGapTolerance;
        bool shortBelow = gapBelow < -kGapTolerance;
        if (shortAbove && borrowColumns(above, gapAbove, true)) {
            gapAbove = kGapTolerance;
            shortAbove = false;
        }
        if (shortBelow && borrowColumns(below, gapBelow, false)) {
            gapBelow = kGapTolerance;
            shortBelow = false;
        }
        if (shortAbove != shortBelow) {
            const double shortage = std::min(gapAbove, 0.0) + std::min(gapBelow, 0.0);
            if (shortAbove ? borrowColumns(below, shortage, false) : borrowColumns(above, shortage, true)) {
                gapAbove = std::max(gapAbove, kGapTolerance);
                gapBelow = std::max(gapBelow, kGapTolerance);
                shortAbove = shortBelow = false;
            }
        }
        if (!table || shortAbove || shortBelow) {
            bool placeAnyway = false;
            if (table) {
                const bool towardsPrevious = gapAbove < kGapTolerance || gapBelow >= kGapTolerance;
                const PlacedTable* neighbour = nullptr;
                if (towardsPrevious && i > 0)
                    neighbour = &tables[i - 1];
                else if (!towardsPrevious && !last)
                    neighbour = &tables[i + 1];
                placeAnyway = neighbour != nullptr && neighbour->bounds.minX() > placed.bounds.minX();
            }
            if (!placeAnyway) {
                skipped.push_back(placed);
                continue;
            }
        }

        if (gapAbove > kMinBlankGap) {
            bool used = false;
            if (top == roomTop && gapAbove < runSize)
                used = giveSpace(gapAbove, false, above);
            if (!used) {
                for (auto& blank : blanks(gapAbove, roomTop))
                    objects.push_back(blank);
            }
            gapAbove = 0;
        }
        objects.push_back(placed.table);
        table->changeXMLPropertyTextWrappingToNone();
        double marginBottom = 0;
        if (!last) {
            top = std::max(top, placed.bounds.maxY());
        } else {
            const double left = roomBottom - placed.bounds.maxY();
            if (left > kMinBlankGap) {
                bool used = false;
                if (left < runSize)
                    used = giveSpace(left, true, below);
                if (!used) {
                    for (auto& blank : blanks(left, placed.bounds.maxY()))
                        objects.push_back(blank);
                }
            } else if (left > 0) {
                marginBottom = left;
            }
            top = roomBottom;
        }
        if (gapAbove > 0)
            table->setTextWrappingToNoneMarginTop(gapAbove);
        if (marginBottom > 0)
            table->setTextWrappingToNoneMarginBottom(marginBottom);
    }
    if (!skipped.empty() && roomBottom - top > kSkippedRoom) {
        for (auto& blank : blanks(roomBottom - top, top))
            objects.push_back(blank);
    }
    std::erase_if(tables, [&](const PlacedTable& table) {
        return std::any_of(skipped.begin(), skipped.end(),
                           [&](const PlacedTable& other) { return other.table == table.table; });
    });

    // Tables placed beside the text come first.
    QXDocxWriterObjectArray ordered;
    for (const auto& object : objects) {
        auto* table = dynamic_cast<QXDocxTable*>(object.get());
        if (table && table->tblProperty().tblpPr.horzAnchor != 0)
            ordered.push_back(object);
    }
    for (const auto& object : objects) {
        auto* table = dynamic_cast<QXDocxTable*>(object.get());
        if (!(table && table->tblProperty().tblpPr.horzAnchor != 0))
            ordered.push_back(object);
    }
    return ordered;
}

} // namespace rz
