// The page section: its fields, copies, the column record it writes, the
// bookkeeping of its text frame and blank space, the small paragraph
// queries, and the building of sections from loose runs and from blocks.
#include "docx/layout/QXDocxPageSection.h"

#include "docx/layout/QXDocxPage.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/layout/QXDocxManager.h"
#include "docx/layout/QXDocxPageSectionLimits.h"
#include "docx/layout/QXDocxRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace rz {

namespace L = sectionlimits;

namespace {

std::string rectText(const Rect& r)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "{{" << r.origin.x << ", " << r.origin.y << "}, {" << r.size.width << ", " << r.size.height << "}}";
    return out.str();
}

double bottomOf(const Rect& r)
{
    return r.origin.y + r.size.height;
}

// The paragraphs among the objects of a column, in order.
template <class Visit>
void forEachParagraph(const QXDocxWriterObjectArray& objects, Visit visit)
{
    for (const auto& object : objects) {
        if (auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object))
            visit(paragraph);
    }
}

// Removes from `runs` every run of `drop` (by identity), keeping the order.
void removeRuns(QXDocxRunTextArray& runs, const QXDocxRunTextArray& drop)
{
    if (drop.empty())
        return;
    runs.erase(std::remove_if(runs.begin(), runs.end(),
                              [&](const QXDocxRunTextPtr& run) {
                                  return std::find(drop.begin(), drop.end(), run) != drop.end();
                              }),
               runs.end());
}

} // namespace

QXDocxPageSection::QXDocxPageSection() : sectProperty_(QXDocxUtilities::defaultSectPropertyHiden()) {}

QXDocxPageSection::QXDocxPageSection(const QXDocx_SectPr& sectProperty) : QXDocxPageSection()
{
    sectProperty_ = sectProperty;
}

std::shared_ptr<QXDocxWriterObject> QXDocxPageSection::copy() const
{
    auto section = std::make_shared<QXDocxPageSection>();
    section->superPage_ = superPage_;
    section->sectProperty_ = sectProperty_;
    section->sectionType_ = sectionType_;
    section->isDocumentFirstPage_ = isDocumentFirstPage_;
    section->isDocumentLastPage_ = isDocumentLastPage_;
    section->isPageHeadSection_ = isPageHeadSection_;
    section->isPageFootSection_ = isPageFootSection_;
    section->previousPageSection_ = previousPageSection_;
    section->sectionFrame_ = sectionFrame_;
    section->columGroupFrame_ = columGroupFrame_;
    // The copy builds its own paragraphs from the columns, then takes this
    // section's lists (the paragraphs themselves shared).
    section->setColumGroupArray(columGroupArray_);
    section->paragraphGroupArray_ = paragraphGroupArray_;
    section->headBlankParagraphArray_ = headBlankParagraphArray_;
    section->footBlankParagraphArray_ = footBlankParagraphArray_;
    section->footBlankHeight_ = footBlankHeight_;
    section->allTableArray_ = allTableArray_;
    section->allWriteXMLObjects_ = allWriteXMLObjects_;
    return section;
}

std::string QXDocxPageSection::description() const
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "<QXDocxPageSection: %p:[columCount:%zu][headBlankParagraphArray:%zu][footBlankHeight:",
                  static_cast<const void*>(this), columGroupArray_.size(), headBlankParagraphArray_.size());
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.setf(std::ios::fixed);
    out.precision(2);
    out << buffer << footBlankHeight_ << "][isDocumentFirstPage:" << isDocumentFirstPage_
        << ", isDocumentLastPage:" << isDocumentLastPage_ << ", isPageHeadSection:" << isPageHeadSection_
        << ", isPageFootSection:" << isPageFootSection_ << "][tableCount:" << allTableArray_->size()
        << "][sectionFrame:" << rectText(sectionFrame_) << "][columGroupFrame:" << rectText(columGroupFrame_) << "]>";
    return out.str();
}

QXDocx_SectPr QXDocxPageSection::paragraphSectProperty() const
{
    QXDocx_SectPr record = sectProperty_;
    record.shouldWrite = false;
    return record;
}

// --- Line edges ---

double QXDocxPageSection::_minLeftXOfLineArrayA(const QXDocxRunTextLineArray& lines)
{
    bool any = false;
    float least = 0;
    for (const auto& line : lines) {
        if (!line)
            continue;
        const float x = static_cast<float>(line->lineFrame().origin.x);
        least = any ? std::min(least, x) : x;
        any = true;
    }
    return least;
}

double QXDocxPageSection::_maxRightXOfLineArrayA(const QXDocxRunTextLineArray& lines)
{
    bool any = false;
    float most = 0;
    for (const auto& line : lines) {
        if (!line)
            continue;
        const Rect& f = line->lineFrame();
        const float right = static_cast<float>(f.origin.x + f.size.width);
        most = any ? std::max(most, right) : right;
        any = true;
    }
    return most;
}

double QXDocxPageSection::_maxRightXOfLineArrayA_SpaceBehind(const QXDocxRunTextLineArray& lines)
{
    if (lines.empty() || !lines.front())
        return lines.empty() ? 0 : _maxRightXOfLineArrayA(lines);
    // The first line's trailing blank stands for the column's.
    const float behind = static_cast<float>(lines.front()->behindTextSpaceWidth());
    bool any = false;
    float most = 0;
    for (const auto& line : lines) {
        if (!line)
            continue;
        const Rect& f = line->lineFrame();
        const float right = static_cast<float>(f.origin.x + f.size.width) + behind;
        most = any ? std::max(most, right) : right;
        any = true;
    }
    return most;
}

// --- Column geometry ---

double QXDocxPageSection::minSeparatedColumSpace() const
{
    const std::size_t n = columGroupArray_.size();
    if (n < 2)
        return L::kMinColumnSpace;
    float gap = 0;
    bool any = false;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const float g = static_cast<float>(_minLeftXOfLineArrayA(columGroupArray_[i + 1])) -
                        static_cast<float>(_maxRightXOfLineArrayA_SpaceBehind(columGroupArray_[i]));
        if (g > 0) {
            gap = any ? std::min(gap, g) : g;
            any = true;
        }
    }
    const float v = gap - L::kColumnSpaceReserve;
    const float space = v > L::kMaxColumnSpace ? L::kMaxColumnSpace : std::floor(v);
    return std::max(space, L::kMinColumnSpace);
}

bool QXDocxPageSection::IsPageSectionEquallySeparatedColums(double& space) const
{
    const std::size_t n = columGroupArray_.size();
    if (n < 2)
        return true;
    const QXDocx_PgMar& mar = sectProperty_.pgMar;
    const double incoming = space;
    const double count = static_cast<double>(n);
    const double width = ((sectProperty_.pgSz.w - mar.left - mar.right) - (count - 1) * incoming) / count;
    float s = static_cast<float>(incoming);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double boundary = static_cast<double>(i + 1) * width + mar.left + incoming / 2;
        const double right = _maxRightXOfLineArrayA_SpaceBehind(columGroupArray_[i]);
        const double left = _minLeftXOfLineArrayA(columGroupArray_[i + 1]);
        if (boundary <= right || left <= boundary)
            return false;
        s = std::min({s, static_cast<float>(boundary - right), static_cast<float>(left - boundary)});
        if (s < L::kMinColumnSpace)
            return false;
    }
    space = s > L::kEqualSpaceFloorAbove ? std::floor(s) : s;
    return true;
}

void QXDocxPageSection::createSectProperty_Cols()
{
    const std::size_t n = columGroupArray_.size();
    if (n < 2)
        return;
    QXDocx_Cols cols = QXDocxUtilities::defaultColsProperty();
    cols.sep = true;
    cols.space = 0;
    cols.equalWidth = 0;
    cols.num = n;
    cols.col.assign(n, QXDocx_Col{});

    double space = minSeparatedColumSpace();
    const bool equal = IsPageSectionEquallySeparatedColums(space);
    const QXDocx_PgMar& mar = sectProperty_.pgMar;
    if (equal) {
        const double count = static_cast<double>(n);
        const double width = ((sectProperty_.pgSz.w - mar.left - mar.right) - (count - 1) * space) / count;
        for (auto& col : cols.col) {
            col.w = static_cast<float>(width);
            col.space = static_cast<float>(space);
        }
        cols.space = static_cast<float>(space);
        cols.equalWidth = static_cast<float>(width);
    } else {
        double x = mar.left;
        for (std::size_t i = 0; i < n; ++i) {
            QXDocx_Col& col = cols.col[i];
            if (i + 1 < n) {
                const double right = _maxRightXOfLineArrayA_SpaceBehind(columGroupArray_[i]);
                const double left = _minLeftXOfLineArrayA(columGroupArray_[i + 1]);
                float gap = static_cast<float>(left - right);
                if (gap >= L::kMaxColumnSpace)
                    gap = L::kMaxColumnSpace;
                else if (gap < L::kMinColumnSpace)
                    gap = L::kMinColumnSpace;
                col.space = gap;
                col.w = std::ceil(static_cast<float>(left - gap - x));
            } else {
                col.w = static_cast<float>((sectProperty_.pgSz.w - mar.right) - x);
                col.space = 0;
            }
            x += col.w + col.space;
        }
    }
    sectProperty_.cols = std::move(cols);
}

void QXDocxPageSection::updateColumGroupFrame()
{
    const Rect remembered = columGroupFrame_;
    const double freeSpace = bottomOf(sectionFrame_) - bottomOf(columGroupFrame_);
    if (!(freeSpace > 0))
        return;
    QXDocxRunTextLineArray all;
    for (const auto& column : columGroupArray_)
        for (const auto& line : column)
            if (line)
                all.push_back(line);

    auto grow = [&](double d) {
        if (sectProperty_.vAlign != 0) {
            columGroupFrame_.origin.y -= d;
            d *= 2;
        }
        columGroupFrame_.size.height += d;
    };

    if (all.size() == 1) {
        // A lone line reaches down to its font's single line.
        const double height = all.front()->lineFrame().size.height;
        const double single = all.front()->wordSingleLineHeight();
        if (single > height) {
            const double d = single - height;
            if (d < freeSpace)
                grow(d);
        }
    } else if (all.size() > 1) {
        // The last line keeps the gap above it below it too.
        const auto bottom = QXDocxRunTextLine::FindBottomRunTextLine(all);
        QXDocxRunTextLinePtr previous;
        for (const auto& column : columGroupArray_) {
            const auto it = std::find(column.begin(), column.end(), bottom);
            if (it != column.end()) {
                if (it != column.begin())
                    previous = *(it - 1);
                break;
            }
        }
        if (bottom && previous) {
            const Rect& b = bottom->lineFrame();
            const Rect& p = previous->lineFrame();
            if (std::fabs(b.size.height - p.size.height) < L::kBottomLineSameHeight) {
                const double d = b.origin.y - bottomOf(p);
                if (d > 0 && d - L::kBottomLineGapSlack < freeSpace)
                    grow(d);
            }
        }
    }

    for (const auto& table : *allTableArray_) {
        if (table.bounds.intersects(columGroupFrame_)) {
            columGroupFrame_ = remembered;
            break;
        }
    }
}

// --- Blank space and paragraphs ---

void QXDocxPageSection::createFootBlankParagraphArray()
{
    if (!(footBlankHeight_ > L::kFootBlankMinHeight))
        return;
    const auto sample = firstParagraph();
    const auto blanks = QXDocxParagraph::BlankParagraph(
        footBlankHeight_, sample ? sample->pProperty().spacing.line : 0,
        columGroupFrame_.origin.x - sectionFrame_.origin.x, 0, 0, sample ? sample->rProperty() : QXDocx_RPr{},
        paragraphSectProperty(), bottomOf(sectionFrame_) - footBlankHeight_, sectionFrame_);
    footBlankParagraphArray_.insert(footBlankParagraphArray_.end(), blanks.begin(), blanks.end());
}

double QXDocxPageSection::moveUpParagraphIfNeed(double amount)
{
    if (amount < 0)
        return 0;
    double rest = amount;
    for (const auto& column : paragraphGroupArray_) {
        rest = amount;
        QXDocxParagraphPtr first;
        for (const auto& object : column) {
            if ((first = std::dynamic_pointer_cast<QXDocxParagraph>(object)))
                break;
        }
        if (first) {
            QXDocx_PPr p = first->pProperty();
            const double before = p.spacing.before;
            if (before > 0) {
                p.spacing.before = static_cast<float>(std::max(before - rest, 0.0));
                rest = std::max(rest - before, 0.0);
                first->setPProperty(p);
            }
        }
        if (rest > 0) {
            QXDocxParagraphPtr last;
            for (auto it = column.rbegin(); it != column.rend(); ++it) {
                if ((last = std::dynamic_pointer_cast<QXDocxParagraph>(*it)))
                    break;
            }
            if (last) {
                QXDocx_PPr p = last->pProperty();
                const double after = p.spacing.after;
                if (after > 0) {
                    p.spacing.after = static_cast<float>(std::max(after - rest, 0.0));
                    rest = std::max(rest - after, 0.0);
                    last->setPProperty(p);
                }
            }
        }
    }
    return rest;
}

QXDocxParagraphPtr QXDocxPageSection::insertParagraph(const Point& point) const
{
    QXDocxParagraphPtr answer;
    for (const auto& column : paragraphGroupArray_) {
        Rect frame = sectionFrame_;
        if (paragraphGroupArray_.size() > 1) {
            if (const auto first = QXDocxParagraph::FirstParagraph(column))
                frame = first->columnFrame();
        }
        if (!frame.contains(point))
            continue;
        forEachParagraph(column, [&](const QXDocxParagraphPtr& paragraph) {
            if (paragraph->sectProperty().shouldWrite || paragraph->paragraphText().empty())
                return;
            const Rect& content = paragraph->contentFrame();
            const double d = point.y - (content.origin.y + content.size.height * 0.5);
            if (d > L::kInsertMinDistance && d < L::kInsertMaxDistance)
                answer = paragraph;
        });
    }
    return answer;
}

QXDocxParagraphPtr QXDocxPageSection::firstParagraph() const
{
    for (const auto& column : paragraphGroupArray_) {
        for (const auto& object : column) {
            auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object);
            if (paragraph && !paragraph->sectProperty().shouldWrite)
                return paragraph;
        }
    }
    return nullptr;
}

QXDocxParagraphPtr QXDocxPageSection::firstTextParagraph() const
{
    for (const auto& column : paragraphGroupArray_) {
        for (const auto& object : column) {
            auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object);
            if (paragraph && !paragraph->sectProperty().shouldWrite && !paragraph->paragraphText().empty())
                return paragraph;
        }
    }
    return nullptr;
}

QXDocxParagraphPtr QXDocxPageSection::anchorParagraph()
{
    if (auto paragraph = firstTextParagraph())
        return paragraph;
    if (auto paragraph = firstParagraph())
        return paragraph;
    auto paragraph = QXDocxParagraph::BlankParagraph(1, 1, 0, 0, 0, QXDocxUtilities::defaultRProperty(),
                                                     paragraphSectProperty(),
                                                     sectionFrame_.origin.y, sectionFrame_)
                         .front();
    if (paragraphGroupArray_.empty())
        paragraphGroupArray_.emplace_back();
    paragraphGroupArray_.front().insert(paragraphGroupArray_.front().begin(), paragraph);
    return paragraph;
}

QXDocxParagraphPtr QXDocxPageSection::lastParagraph() const
{
    if (paragraphGroupArray_.empty())
        return nullptr;
    const auto& column = paragraphGroupArray_.back();
    for (auto it = column.rbegin(); it != column.rend(); ++it) {
        auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(*it);
        if (paragraph && !paragraph->sectProperty().shouldWrite)
            return paragraph;
    }
    return nullptr;
}

QXDocxRunTextArray QXDocxPageSection::allRunTextArray() const
{
    QXDocxRunTextArray runs;
    for (const auto& column : columGroupArray_)
        for (const auto& line : column)
            if (line)
                runs.insert(runs.end(), line->runTextArray().begin(), line->runTextArray().end());
    return runs;
}

// --- Construction ---

QXDocxPageSectionPtr QXDocxPageSection::BankPageSectionWithSectProperty(const QXDocx_SectPr& sectProperty)
{
    auto section = std::make_shared<QXDocxPageSection>(sectProperty);
    auto paragraph = std::make_shared<QXDocxParagraph>();
    paragraph->setPProperty(QXDocxUtilities::defaultPProperty());
    paragraph->setRProperty(QXDocxUtilities::defaultRProperty());
    QXDocx_SectPr record = sectProperty;
    record.shouldWrite = false;
    record.type = 1;  // continuous
    record.cols = QXDocxUtilities::defaultColsProperty();
    paragraph->setSectProperty(record);
    const double line = paragraph->pProperty().spacing.line;
    const QXDocx_PgMar& mar = sectProperty.pgMar;
    paragraph->setContentFrame(Rect(mar.left, mar.top, 1, line));
    paragraph->setYHeight(line);

    section->paragraphGroupArray_.push_back({paragraph});
    // One column without lines stands for the paragraph's column.
    section->columGroupArray_.emplace_back();
    section->sectionFrame_ = Rect(mar.left, mar.top, sectProperty.pgSz.w - (mar.left + mar.right),
                                  sectProperty.pgSz.h - (mar.top + mar.bottom));
    section->columGroupFrame_ = paragraph->contentFrame();
    section->footBlankHeight_ = section->sectionFrame_.size.height - line;
    return section;
}

std::vector<QXDocxPageSectionPtr> QXDocxPageSection::CreatePageSection(QXDocxRunTextArray& runs,
                                                                       QXDocx_SectPr& sectProperty, bool isColumnMode)
{
    // Runs drawn twice: the first drawing stays.
    {
        QXDocxRunTextArray working = runs;
        QXDocxRunTextArray duplicates;
        while (!working.empty()) {
            const auto set = QXDocxRunTextLine::FindDuplicateRunTexts(working);
            if (set.empty())
                break;
            duplicates.insert(duplicates.end(), set.begin() + 1, set.end());
            const std::size_t before = working.size();
            removeRuns(working, set);
            if (working.size() == before)
                break;
        }
        removeRuns(runs, duplicates);
        QXDocxRun::UpdateRunArrayPDFScanIndex(runs);
    }

    // Baseline order.
    QXDocxRunTextArray ordered;
    {
        QXDocxRunTextArray rest = runs;
        while (!rest.empty()) {
            const auto top = QXDocxRunText::FindMinBaseLineRunText(rest);
            const auto it = top ? std::find(rest.begin(), rest.end(), top) : rest.end();
            if (it == rest.end())
                break;
            ordered.push_back(top);
            rest.erase(it);
        }
    }

    // Lines of runs sharing a baseline; blank runs dropped.
    const bool trimBlanks =
        QXDocxManager::sharedInstance().moreOptions().wordOptions().isTrimmingBlankSpaceCharacters();
    QXDocxRunTextLineArray lines;
    QXDocxRunTextArray dropped;
    while (!ordered.empty()) {
        QXDocxRunTextArray same = QXDocxRunText::CollectSameBaseLineRunTexts(ordered);
        if (same.empty())
            break;
        removeRuns(ordered, same);
        if (QXDocxRunTextLine::IsBankSpaceRunTextArray(same)) {
            dropped.insert(dropped.end(), same.begin(), same.end());
            continue;
        }
        if (trimBlanks) {
            const auto blanks = QXDocxRunTextLine::TrimBankSpaceRunTextArray(same);
            dropped.insert(dropped.end(), blanks.begin(), blanks.end());
        }
        if (same.empty())
            continue;
        auto line = std::make_shared<QXDocxRunTextLine>();
        line->addRunTextArray(same);
        lines.push_back(line);
    }
    removeRuns(runs, dropped);
    QXDocxRun::UpdateRunArrayPDFScanIndex(runs);
    for (const auto& line : lines)
        line->processRunTextArray();

    return CreatePageSectionsWithBlocks(CreateColumBlocks(lines, isColumnMode), sectProperty, isColumnMode);
}

std::vector<QXDocxColumBlockValues> QXDocxPageSection::CreateColumBlocks(const QXDocxRunTextLineArray& lines,
                                                                        bool isColumnMode)
{
    // The page's chain: bands, one block per band, blocks joined and
    // merged, their columns cut and tidied.
    std::vector<QXDocxColumBlockValues> values;
    if (lines.empty())
        return values;
    for (const QXDocxRunTextColumPtr& block :
         QXDocxPage::CreateRunTextColumArray(QXDocxPage::CreateRunTextLineBands(lines), isColumnMode)) {
        QXDocxColumBlockValues value;
        value.columGroupFrame = block->columGroupFrame();
        value.bottomNeedSpace = block->bottomNeedSpace();
        value.columGroupArray = block->columGroupArray();
        values.push_back(std::move(value));
    }
    return values;
}

std::vector<QXDocxPageSectionPtr> QXDocxPageSection::CreatePageSectionsWithBlocks(
    const std::vector<QXDocxColumBlockValues>& blocks, QXDocx_SectPr& sectProperty, bool isColumnMode)
{
    std::vector<QXDocxPageSectionPtr> sections;
    if (blocks.empty())
        return sections;
    const QXDocx_PgMar& mar = sectProperty.pgMar;
    const double pageBottom = sectProperty.pgSz.h - mar.bottom;

    // Vertical alignment of the text between the margins.
    std::int32_t alignment = 0;
    if (!isColumnMode) {
        Rect u = Rect::null();
        for (const auto& block : blocks)
            u = u.unionWith(block.columGroupFrame);
        if (u.isNull())
            u = Rect();
        const double top = u.origin.y - mar.top;
        const double bottom = pageBottom - bottomOf(u);
        const double m = std::min(top, bottom);
        const double tolerance =
            m > L::kVAlignMinMargin ? L::kVAlignToleranceFraction * m + L::kVAlignToleranceOffset : 0;
        if (tolerance > std::fabs(top - bottom))
            alignment = top >= L::kVAlignCentreFraction * m + L::kVAlignCentreOffset ? 1 : 0;
        else
            alignment = top > bottom + L::kVAlignBottomMargin ? 2 : 0;
        sectProperty.vAlign = alignment;
    }

    // The part of the space a block needs below it that its section keeps,
    // never more than `room`.
    auto reserve = [](const QXDocxColumBlockValues& block, double room) {
        return std::max(0.0, std::min({room, block.bottomNeedSpace * L::kSectionTopReserveFraction,
                                       L::kSectionTopReserveMax}));
    };

    QXDocxPageSectionPtr previous;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const auto& block = blocks[i];
        auto section = std::make_shared<QXDocxPageSection>(sectProperty);
        double top;
        if (!previous) {
            const double frameTop = block.columGroupFrame.origin.y;
            top = alignment == 0 ? mar.top : frameTop - reserve(block, frameTop - mar.top);
        } else {
            top = bottomOf(previous->sectionFrame());
        }
        double bottom;
        if (i + 1 == blocks.size()) {
            bottom = pageBottom;
        } else {
            const double nextTop = blocks[i + 1].columGroupFrame.origin.y;
            bottom = nextTop - reserve(block, nextTop - bottomOf(block.columGroupFrame));
        }
        section->setSectionFrame(Rect(mar.left, top, sectProperty.pgSz.w - mar.left - mar.right, bottom - top));
        section->setColumGroupFrame(block.columGroupFrame);
        section->setPreviousPageSection(previous);
        section->setIsPageHeadSection(i == 0);
        section->setIsPageFootSection(i + 1 == blocks.size());
        section->setIsDocumentFirstPage(true);
        section->setIsDocumentLastPage(true);
        section->setColumGroupArray(block.columGroupArray);
        section->optimizeParagraphs();
        sections.push_back(section);
        previous = section;
    }
    return sections;
}

} // namespace rz
