// Writing a page section: the list of objects that make its part of the
// document body (head blank paragraphs, the columns with their tables and
// column breaks, foot blank paragraphs and the paragraphs carrying the
// section breaks) is built first, then every object is written in order.
#include "docx/layout/QXDocxPageSection.h"

#include "converter/ooxml/QXDocxProperty.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxRunPict.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

namespace rz {

// Named, not anonymous: the layout sources are compiled together, and
// these names stay apart from the other files' helpers.
namespace sectionwriting {

// A foot space below this many points is taken by the last paragraph of a
// column instead of blank paragraphs.
constexpr double kColumnBottomMaxSpace = 8.0;
// Foot blank paragraphs and bottom tables need more than this much space.
constexpr double kFootBlankMinSpace = 1.0;
// A paragraph no wider or taller than this does not count for the frame of
// blank paragraphs.
constexpr double kBlankFrameMinSide = 0.5;
// How far a table may reach beyond the text of the columns, and beyond one
// column, and still be placed among its paragraphs.
constexpr double kColumnsTableMargin = 20.0;
constexpr double kColumnTableMargin = 5.0;
// A paragraph is covered by a table when it lies within the table's bounds
// grown by these amounts.
constexpr double kCoveredGrowX = 1000.0;
constexpr double kCoveredGrowY = 5.0;
// A table's box is shrunk by the first of these steps that leaves it wider
// and taller than kShrunkMinSide before it is tested against blank space.
constexpr double kTableShrinkFirst = 20.0;
constexpr double kTableShrinkLast = 2.0;
constexpr double kTableShrinkStep = 2.0;
constexpr double kShrunkMinSide = 1.0;
// The band of single-column blank space reaches this far left of the page
// and as far right.
constexpr double kBlankBandOutside = 10.0;

// Section break types.
constexpr std::int32_t kBreakNewPage = 0;
constexpr std::int32_t kBreakContinuous = 1;
constexpr std::int32_t kBreakNever = 6;

// Right alignment of a paragraph.
constexpr std::int32_t kJustifyRight = 1;
constexpr std::int32_t kVAlignBottom = 2;

double rightOf(const Rect& r)
{
    return r.origin.x + r.size.width;
}

// The last paragraph among a column's objects.
QXDocxParagraphPtr lastParagraphOf(const QXDocxWriterObjectArray& column)
{
    for (auto it = column.rbegin(); it != column.rend(); ++it) {
        if (auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(*it))
            return paragraph;
    }
    return nullptr;
}

// The union of the paragraphs' content frames, skipping frames no wider or
// taller than half a point; with `isMaxWidth` the first counted frame spans
// its column's width. The zero rectangle when none counts.
Rect FrameOfParagraphArray(const QXDocxParagraphArray& paragraphs, bool isMaxWidth)
{
    Rect frame;
    bool found = false;
    for (const auto& paragraph : paragraphs) {
        if (!paragraph)
            continue;
        const Rect& content = paragraph->contentFrame();
        if (content.size.width <= kBlankFrameMinSide || content.size.height <= kBlankFrameMinSide)
            continue;
        if (!found) {
            frame = content;
            if (isMaxWidth) {
                frame.origin.x = paragraph->columnFrame().origin.x;
                frame.size.width = paragraph->columnFrame().size.width;
            }
            found = true;
        } else {
            frame = frame.unionWith(content);
        }
    }
    return frame;
}

// The tables whose box, shrunk by the largest step that leaves it a real
// area, lies within `frame`.
std::vector<QXDocxPageSection::PlacedTable> FindBlankParagraphArray(
    const std::vector<QXDocxPageSection::PlacedTable>& tables, const Rect& frame)
{
    std::vector<QXDocxPageSection::PlacedTable> inside;
    for (const auto& table : tables) {
        Rect box = table.bounds;
        for (double step = kTableShrinkFirst; step >= kTableShrinkLast; step -= kTableShrinkStep) {
            const Rect shrunk = table.bounds.insetBy(step, step);
            if (shrunk.size.width > kShrunkMinSide && shrunk.size.height > kShrunkMinSide) {
                box = shrunk;
                break;
            }
        }
        if (frame.contains(box))
            inside.push_back(table);
    }
    return inside;
}

// Drops from `tables` every table of `drop` (by identity).
void removeTables(std::vector<QXDocxPageSection::PlacedTable>& tables,
                  const std::vector<QXDocxPageSection::PlacedTable>& drop)
{
    tables.erase(std::remove_if(tables.begin(), tables.end(),
                                [&](const QXDocxPageSection::PlacedTable& table) {
                                    return std::any_of(drop.begin(), drop.end(), [&](const auto& other) {
                                        return other.table == table.table;
                                    });
                                }),
                 tables.end());
}

// A paragraph that writes nothing visible: no line pitch above a point, no
// section break, no runs in its lines and no pictures among its groups.
bool isCanIgnore(const QXDocxParagraph& paragraph)
{
    if (paragraph.pProperty().spacing.line > 1 || paragraph.sectProperty().shouldWrite)
        return false;
    for (const auto& line : paragraph.lineArray()) {
        if (line && !line->runTextArray().empty())
            return false;
    }
    for (const auto& group : paragraph.writeRunGroupArray()) {
        for (const auto& run : group) {
            if (std::dynamic_pointer_cast<QXDocxRunPict>(run))
                return false;
        }
    }
    return true;
}

void appendParagraphs(QXDocxWriterObjectArray& objects, const QXDocxParagraphArray& paragraphs)
{
    objects.insert(objects.end(), paragraphs.begin(), paragraphs.end());
}

} // namespace sectionwriting

namespace SW = sectionwriting;

std::size_t QXDocxPageSection::writingColumnCount() const
{
    return paragraphGroupArray_.size();
}

void QXDocxPageSection::alignBlankParagraphs(const QXDocxParagraphArray& blanks,
                                             const QXDocxParagraphPtr& sample) const
{
    double left = 0;
    double right = 0;
    std::int32_t jc = 0;
    if (writingColumnCount() >= 2) {
        left = columGroupFrame_.origin.x - sectionFrame_.origin.x;
    } else if (sample) {
        jc = sample->pProperty().jc;
        left = sample->pProperty().ind.left;
        if (jc == SW::kJustifyRight)
            right = std::floor(SW::rightOf(sample->columnFrame()) - SW::rightOf(sample->contentFrame())) - 1;
    }
    for (const auto& blank : blanks) {
        if (!blank)
            continue;
        QXDocx_PPr property = blank->pProperty();
        property.jc = jc;
        property.ind.left = static_cast<float>(left);
        property.ind.right = static_cast<float>(right);
        blank->setPProperty(property);
    }
}

std::shared_ptr<QXDocxWriterObject> QXDocxPageSection::sectionBreakParagraph(const QXDocxParagraphPtr& paragraph,
                                                                              std::int32_t type,
                                                                              bool singleColumn) const
{
    QXDocx_SectPr record = paragraph ? paragraph->sectProperty() : sectProperty_;
    // Sections inside table cells and text boxes never break: a section
    // property there is not allowed.
    record.shouldWrite = sectProperty_.type != SW::kBreakNever;
    record.type = type;
    if (singleColumn)
        record.cols.num = 1;
    return QXDocxProperty::NewWrite1BlankParagraphWithProperty(
        paragraph ? paragraph->pProperty() : QXDocxUtilities::defaultPProperty(),
        paragraph ? paragraph->rProperty() : QXDocxUtilities::defaultRProperty(), record);
}

QXDocxWriterObjectArray QXDocxPageSection::InsertTables(std::vector<PlacedTable>& tables,
                                                        const QXDocxParagraphArray& blanks,
                                                        const std::vector<QXDocxWriterObjectArray>& above,
                                                        const std::vector<QXDocxWriterObjectArray>& below)
{
    const Rect frame = SW::FrameOfParagraphArray(blanks, true);
    QXDocxWriterObjectArray objects =
        CreateParagraphsAndTables(tables, frame, blanks.empty() ? nullptr : blanks.front(), above, below);
    // When no table found a place the paragraphs stay as they were: they
    // may hold text.
    if (objects.empty() || tables.empty()) {
        objects.clear();
        SW::appendParagraphs(objects, blanks);
    }
    return objects;
}

void QXDocxPageSection::writeWithXMLWriter(XMLFileWriter& writer)
{
    // 1. A new list; the tables take the section's properties.
    allWriteXMLObjects_ = std::make_shared<QXDocxWriterObjectArray>();
    QXDocxWriterObjectArray& objects = *allWriteXMLObjects_;
    std::vector<PlacedTable> tables = *allTableArray_;
    for (const auto& table : tables)
        prepareTableForWriting(table);

    const bool multiColumn = writingColumnCount() >= 2;
    const bool continuesPage = isPageHeadSection_ && !isDocumentFirstPage_;
    bool footBreak = false;
    bool headBreakPending = true;

    // 2. Head blank paragraphs, with the tables standing in them.
    if (!headBlankParagraphArray_.empty()) {
        alignBlankParagraphs(headBlankParagraphArray_, firstParagraph());
        std::vector<PlacedTable> inside;
        if (!tables.empty())
            inside = SW::FindBlankParagraphArray(tables, SW::FrameOfParagraphArray(headBlankParagraphArray_, true));
        if (inside.empty()) {
            SW::appendParagraphs(objects, headBlankParagraphArray_);
        } else {
            // Only the tables that found a place leave the list; the
            // others float.
            const auto placed = InsertTables(inside, headBlankParagraphArray_, {}, paragraphGroupArray_);
            objects.insert(objects.end(), placed.begin(), placed.end());
            SW::removeTables(tables, inside);
        }
    }

    // 3. The single-column content above the columns ends in a break.
    if (multiColumn) {
        if (!headBlankParagraphArray_.empty()) {
            objects.push_back(sectionBreakParagraph(headBlankParagraphArray_.back(),
                                                    continuesPage ? SW::kBreakNewPage : SW::kBreakContinuous, true));
        } else if (const auto& previous = previousPageSection_) {
            const bool previousSingle =
                previous->columGroupArray().size() == 1 || !previous->footBlankParagraphArray().empty();
            const bool previousStartsPage = previous->isPageHeadSection() && !previous->isDocumentFirstPage();
            if (previousSingle && !previousStartsPage) {
                if (const auto last = previous->lastParagraph())
                    objects.push_back(sectionBreakParagraph(last, SW::kBreakContinuous, true));
            }
        }
    }

    // 4. The columns end level: the last paragraph with the least space
    // after takes the foot space when it is small, the others none.
    if (multiColumn) {
        QXDocxParagraphPtr least;
        for (const auto& column : paragraphGroupArray_) {
            const auto last = SW::lastParagraphOf(column);
            if (last && (!least || last->pProperty().spacing.after < least->pProperty().spacing.after))
                least = last;
        }
        if (least)
            footBlankHeight_ += least->pProperty().spacing.after;
        for (const auto& column : paragraphGroupArray_) {
            const auto last = SW::lastParagraphOf(column);
            if (!last)
                continue;
            QXDocx_PPr property = last->pProperty();
            property.spacing.after =
                static_cast<float>(footBlankHeight_ < SW::kColumnBottomMaxSpace && last == least ? footBlankHeight_ : 0);
            last->setPProperty(property);
        }
        if (footBlankHeight_ < SW::kColumnBottomMaxSpace)
            footBlankHeight_ = 0;
    }

    // 5. The columns.
    writeContentWithXMLWriter(writer, tables);

    // 6. Foot blank paragraphs, with the tables standing in them.
    const bool makesFoot = footBlankHeight_ > SW::kFootBlankMinSpace &&
                           (!isPageFootSection_ || sectProperty_.vAlign == SW::kVAlignBottom);
    if (makesFoot) {
        createFootBlankParagraphArray();
        const auto last = lastParagraph();
        if (multiColumn) {
            const bool newPage = continuesPage && headBlankParagraphArray_.empty();
            objects.push_back(sectionBreakParagraph(last, newPage ? SW::kBreakNewPage : SW::kBreakContinuous, false));
            headBreakPending = false;
        }
        alignBlankParagraphs(footBlankParagraphArray_, last);
        if (tables.empty())
            SW::appendParagraphs(objects, footBlankParagraphArray_);
        footBreak = true;
        if (!tables.empty()) {
            Rect frame = SW::FrameOfParagraphArray(footBlankParagraphArray_, true);
            if (!multiColumn)
                frame = Rect(-SW::kBlankBandOutside, sectionFrame_.origin.y,
                             2 * sectionFrame_.origin.x + sectionFrame_.size.width + 2 * SW::kBlankBandOutside,
                             sectionFrame_.size.height);
            auto inside = SW::FindBlankParagraphArray(tables, frame);
            if (inside.empty()) {
                SW::appendParagraphs(objects, footBlankParagraphArray_);
            } else {
                const auto placed = InsertTables(inside, footBlankParagraphArray_, paragraphGroupArray_, {});
                objects.insert(objects.end(), placed.begin(), placed.end());
                SW::removeTables(tables, inside);
            }
        }
    }

    // 7. Tables at the bottom of a page's last section.
    if (!makesFoot && footBlankHeight_ > SW::kFootBlankMinSpace && !tables.empty()) {
        const auto last = lastParagraph();
        if (multiColumn) {
            objects.push_back(sectionBreakParagraph(last, continuesPage ? SW::kBreakNewPage : SW::kBreakContinuous, false));
            footBreak = true;
        }
        Rect frame(sectionFrame_.origin.x, sectionFrame_.origin.y + sectionFrame_.size.height - footBlankHeight_,
                   sectionFrame_.size.width, footBlankHeight_);
        if (!multiColumn) {
            frame.origin.x = -SW::kBlankBandOutside;
            frame.size.width = 2 * sectionFrame_.origin.x + sectionFrame_.size.width + 2 * SW::kBlankBandOutside;
        }
        auto inside = SW::FindBlankParagraphArray(tables, frame);
        if (!inside.empty()) {
            const auto placed = CreateParagraphsAndTables(inside, frame, last, paragraphGroupArray_, {});
            SW::removeTables(tables, inside);
            // Objects after the last table are not written.
            for (const auto& object : placed) {
                if (inside.empty())
                    break;
                objects.push_back(object);
                inside.erase(std::remove_if(inside.begin(), inside.end(),
                                            [&](const PlacedTable& table) { return table.table == object; }),
                             inside.end());
            }
        }
    }

    // 8. The break that closes the section.
    const auto last = lastParagraph();
    if (sectProperty_.type == SW::kBreakNever) {
        // Sections in table cells and text boxes never break.
    } else if (isDocumentLastPage_ && isPageFootSection_) {
        QXDocx_SectPr record = sectProperty_;
        record.shouldWrite = true;
        record.type = !footBreak && continuesPage ? SW::kBreakNewPage : SW::kBreakContinuous;
        objects.push_back(QXDocxProperty::NewWriteSectProperty(record));
    } else if (!footBreak && multiColumn) {
        const bool newPage = continuesPage && headBlankParagraphArray_.empty();
        objects.push_back(sectionBreakParagraph(last, newPage ? SW::kBreakNewPage : SW::kBreakContinuous, false));
    } else if (isDocumentFirstPage_) {
        if (isPageFootSection_)
            objects.push_back(sectionBreakParagraph(last, SW::kBreakContinuous, false));
    } else if (isPageHeadSection_) {
        if (isPageFootSection_ || headBreakPending)
            objects.push_back(sectionBreakParagraph(last, SW::kBreakNewPage, false));
    } else if (isPageFootSection_) {
        objects.push_back(sectionBreakParagraph(last, SW::kBreakContinuous, false));
    }

    // 9. Tables not placed float, anchored to the paragraph above them.
    for (const auto& table : tables) {
        auto anchor = insertParagraph(table.bounds.origin);
        if (!anchor) {
            // A section without paragraphs gets one for the table to hang on.
            const bool made = !firstParagraph();
            anchor = anchorParagraph();
            if (made)
                objects.insert(objects.begin(), anchor);
        }
        anchorFloatingTable(table, anchor);
    }

    // 10. Everything in order; empty plain paragraphs are left out.
    for (const auto& object : objects) {
        if (!object)
            continue;
        const QXDocxWriterObject& written = *object;
        if (typeid(written) == typeid(QXDocxParagraph) && SW::isCanIgnore(static_cast<const QXDocxParagraph&>(written)))
            continue;
        object->writeWithXMLWriter(writer);
    }
}

void QXDocxPageSection::writeContentWithXMLWriter(XMLFileWriter& writer, std::vector<PlacedTable>& tables)
{
    const bool multiColumn = writingColumnCount() >= 2;

    // Tables standing in a column go among its paragraphs.
    if (!paragraphGroupArray_.empty() && !tables.empty()) {
        const Rect area = columGroupFrame_.insetBy(-SW::kColumnsTableMargin, -SW::kColumnsTableMargin);
        const QXDocx_Cols& cols = sectProperty_.cols;
        std::vector<PlacedTable> placed;
        for (const auto& table : tables) {
            if (!area.contains(table.bounds))
                continue;
            double x = sectProperty_.pgMar.left;
            for (std::size_t index = 0; index < paragraphGroupArray_.size(); ++index) {
                const QXDocx_Col col = index < cols.col.size() ? cols.col[index] : QXDocx_Col{};
                const double width =
                    cols.num < 2 ? sectProperty_.pgSz.w - sectProperty_.pgMar.left - sectProperty_.pgMar.right : col.w;
                const Rect columnRect = Rect(x, columGroupFrame_.origin.y, width, columGroupFrame_.size.height)
                                            .insetBy(-SW::kColumnTableMargin, -SW::kColumnTableMargin);
                if (cols.num >= 2)
                    x += col.w + col.space;
                if (!columnRect.contains(table.bounds))
                    continue;
                QXDocxWriterObjectArray& column = paragraphGroupArray_[index];
                const Rect reach = table.bounds.insetBy(-SW::kCoveredGrowX, -SW::kCoveredGrowY);
                QXDocxParagraphArray covered;
                std::size_t first = column.size();
                std::size_t lastCovered = 0;
                for (std::size_t i = 0; i < column.size(); ++i) {
                    const auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(column[i]);
                    if (!paragraph || !reach.contains(paragraph->contentFrame()))
                        continue;
                    covered.push_back(paragraph);
                    first = std::min(first, i);
                    lastCovered = i;
                }
                if (covered.empty())
                    continue;
                const QXDocxWriterObjectArray above(column.begin(), column.begin() + static_cast<std::ptrdiff_t>(first));
                const QXDocxWriterObjectArray below(column.begin() + static_cast<std::ptrdiff_t>(lastCovered) + 1,
                                                    column.end());
                std::vector<QXDocxWriterObjectArray> aboveList;
                std::vector<QXDocxWriterObjectArray> belowList;
                if (!above.empty())
                    aboveList.push_back(above);
                if (!below.empty())
                    belowList.push_back(below);
                std::vector<PlacedTable> one{table};
                const auto inserted = InsertTables(one, covered, aboveList, belowList);
                column = above;
                column.insert(column.end(), inserted.begin(), inserted.end());
                column.insert(column.end(), below.begin(), below.end());
                if (!one.empty())
                    placed.push_back(table);
                break;
            }
        }
        SW::removeTables(tables, placed);
    }

    // Every column's objects; a column's first paragraph keeps its space
    // before as blank paragraphs that carry its column break.
    for (const auto& column : paragraphGroupArray_) {
        for (std::size_t i = 0; i < column.size(); ++i) {
            const auto& object = column[i];
            if (i == 0 && multiColumn) {
                if (auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object);
                    paragraph && paragraph->pProperty().spacing.before > paragraph->rProperty().sz) {
                    writeBeforeBlankParagraphs(paragraph, writer);
                    QXDocx_PPr property = paragraph->pProperty();
                    property.spacing.before = 0;
                    paragraph->setPProperty(property);
                    paragraph->setBreakColumn(false);
                }
            }
            allWriteXMLObjects_->push_back(object);
        }
    }
}

void QXDocxPageSection::writeBeforeBlankParagraphs(const QXDocxParagraphPtr& paragraph, XMLFileWriter& /*writer*/)
{
    const QXDocx_PPr& property = paragraph->pProperty();
    QXDocx_SectPr record = paragraph->sectProperty();
    record.shouldWrite = false;
    const auto blanks = QXDocxParagraph::BlankParagraph(
        property.spacing.before, property.spacing.line, property.ind.left, property.ind.right, property.jc,
        paragraph->rProperty(), record, paragraph->contentFrame().origin.y - property.spacing.before,
        paragraph->columnFrame());
    if (!blanks.empty() && paragraph->breakColumn())
        blanks.front()->setBreakColumn(true);
    SW::appendParagraphs(*allWriteXMLObjects_, blanks);
}

} // namespace rz
