// The page's table step: the ruling lines of the page's paths become table
// areas, the areas that pass the validity test take the texts lying in them
// and become tables, and what went into a table leaves the page's own
// drawings and text. Also the white-page test a table's shading asks, and
// the placing of the tables into the page's sections.
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/layout/QXDocxPageSection.h"
#include "docx/layout/QXDocxPathInfo.h"
#include "docx/tables/QXDocxTable.h"
#include "docx/tables/QXDocxTableArea.h"
#include "docx/tables/QXDocxTableManager.h"
#include "docx/tables/QXDocxTableAreaSource.h"

#include <algorithm>
#include <unordered_set>

namespace rz {

namespace {

// Pages with more paths than this get no tables.
constexpr std::size_t kMaxTablePagePaths = 3000;
// A path over a table region is the region's own drawing when it meets the
// region's box (grown by kRegionGrowth) by more than this on a side.
constexpr double kRegionGrowth = 1.0;
constexpr double kExcludedOverlap = static_cast<double>(5.1f);
// A filled path painted before a region covers it past this share of its
// area when it decides the page colour behind it.
constexpr double kBackgroundCover = 0.75;

template <class T>
void removeAll(std::vector<T>& from, const std::vector<T>& gone)
{
    if (gone.empty())
        return;
    const std::unordered_set<T> set(gone.begin(), gone.end());
    std::erase_if(from, [&](const T& item) { return set.count(item) != 0; });
}

double area(const Rect& rect)
{
    return rect.isNull() ? 0 : rect.width() * rect.height();
}

// A filled path, not white, covering most of the region: the table's lines
// may be drawn over it in white.
bool hasColouredFill(const QXDocxTableArea& region, const std::vector<QXDocxRunPathPtr>& paths)
{
    const Rect bounds = region.bounds();
    return std::any_of(paths.begin(), paths.end(), [&](const QXDocxRunPathPtr& path) {
        if (!path || !path->pictInfo() || !path->pictInfo()->filled() ||
            QXColorIsNearlyEqual(path->pictInfo()->fillColorQX(), QXDocx_Color{255, 255, 255, 255}))
            return false;
        const Rect meet = path->boundingBox().intersection(bounds);
        return area(meet) > kBackgroundCover * bounds.width() * bounds.height();
    });
}

} // namespace

bool QXDocxPage::isPageWhiteBackground(const QXDocxTableArea& region) const
{
    const Rect bounds = region.bounds();
    const std::unordered_set<QXDocxRunPathPtr> own(region.allRunPathArray().begin(), region.allRunPathArray().end());
    std::vector<QXDocxRunPathPtr> counted;
    for (const QXDocxRunPathPtr& path : allRunPathArray_) {
        if (!path || own.count(path) != 0 || path->pdfScanIndex() >= region.minPDFScanIndex() || !path->pictInfo() ||
            !path->pictInfo()->filled())
            continue;
        const Rect meet = path->boundingBox().intersection(bounds);
        const double cover = !meet.isNull() && meet.width() > 1 && meet.height() > 1 ? area(meet) : 0;
        if (cover > kBackgroundCover * bounds.width() * bounds.height())
            counted.push_back(path);
    }
    if (counted.empty())
        return true;
    const auto last = std::max_element(counted.begin(), counted.end(), [](const auto& a, const auto& b) {
        return a->pdfScanIndex() < b->pdfScanIndex();
    });
    return QXColorIsNearlyEqual((*last)->pictInfo()->fillColorQX(), QXDocx_Color{255, 255, 255, 255});
}

void QXDocxPage::convertPath2TableIfNeed()
{
    if (allRunPathArray_.empty()) {
        allTableArray_.clear();
        return;
    }
    if (allRunPathArray_.size() > kMaxTablePagePaths)
        return;

    QXDocxTableManager& manager = QXDocxTableManager::sharedInstance();
    manager.setSuperPage(this);
    manager.setPageSize(sectProperty_.pgSz);

    std::vector<QXDocxRunPathPtr> candidates = allRunPathArray_;
    removeAll(candidates, QXDocxRunPath::FindAloneRects(candidates));
    removeAll(candidates, QXDocxRunPath::FindSmallRects(candidates));
    removeAll(candidates, QXDocxRunPath::FindAnnotionlPaths(candidates));
    manager.begainPage();
    for (const QXDocxRunPathPtr& path : candidates)
        manager.addRunPathIfNeed(path);
    QXDocxTableAreaArray regions = manager.createAllTableAreas();

    // The other drawings lying over a region belong to it (each to the
    // first region it meets).
    std::vector<QXDocxRunPathPtr> others = allRunPathArray_;
    for (const QXDocxTableAreaPtr& region : regions)
        removeAll(others, region->allRunPathArray());
    for (const QXDocxTableAreaPtr& region : regions) {
        const Rect grown = region->bounds().insetBy(-kRegionGrowth, -kRegionGrowth);
        std::vector<QXDocxRunPathPtr> excluded = region->allRunPathArray_excluded();
        std::vector<QXDocxRunPathPtr> taken;
        for (const QXDocxRunPathPtr& path : others) {
            if (path->isAnnotion())
                continue;
            const Rect meet = path->boundingBox().intersection(grown);
            if (!meet.isNull() && (meet.width() > kExcludedOverlap || meet.height() > kExcludedOverlap))
                taken.push_back(path);
        }
        excluded.insert(excluded.end(), taken.begin(), taken.end());
        region->setAllRunPathArray_excluded(std::move(excluded));
        removeAll(others, taken);
    }

    QXDocxTableAreaArray kept;
    for (const QXDocxTableAreaPtr& region : regions) {
        if (region->isValidTableArea())
            kept.push_back(region);
        else
            region->setAllTableLinesInvalid();
    }

    // A text more than half inside a region goes to it, or to the first of
    // its nested regions it lies more than half inside.
    QXDocxRunTextArray texts = allRunTextArray_;
    for (const QXDocxTableAreaPtr& region : kept) {
        for (const QXDocxRunTextPtr& run : texts) {
            const Rect box = run->displayRect();
            const double half = box.width() * box.height() * 0.5;
            if (!(area(region->bounds().intersection(box)) > half))
                continue;
            bool nested = false;
            for (const QXDocxTableAreaPtr& sub : region->allSubAreaArray()) {
                if (area(sub->bounds().intersection(box)) > half) {
                    sub->addRunText(run);
                    nested = true;
                    break;
                }
            }
            if (!nested)
                region->addRunText(run);
        }
        removeAll(texts, region->allRunTextArray());
        for (const QXDocxTableAreaPtr& sub : region->allSubAreaArray())
            removeAll(texts, sub->allRunTextArray());
    }

    std::vector<std::shared_ptr<QXDocxTable>> tables;
    for (const QXDocxTableAreaPtr& region : kept) {
        const bool white = isPageWhiteBackground(*region);
        const bool whiteLinesHidden =
            white && !hasColouredFill(*region, region->allRunPathArray()) && !hasColouredFill(*region, allRunPathArray_);
        std::shared_ptr<QXDocxTable> table = QXDocxTableCreateTable(*region, whiteLinesHidden);
        if (!table)
            continue;
        table->setIsPageWhiteBackground(white);
        tables.push_back(std::move(table));
    }

    // Paths of rejected lines stay drawings; the rejected pieces of a path
    // that also drew a table come back as paths of their own.
    const std::vector<QXDocxRunPathPtr> returned = manager.clearTableLineInvalidRunPaths();
    allRunPathArray_.insert(allRunPathArray_.end(), returned.begin(), returned.end());
    if (manager.pgBorders_offsetFrom() != 0) {
        pgBorders_offsetFrom_ = manager.pgBorders_offsetFrom();
        pgBorders_ = manager.pgBorders();
    }
    manager.endPage();
    allTableArray_ = std::move(tables);

    std::vector<QXDocxRunPathPtr> drawings;
    for (const QXDocxRunPathPtr& path : allRunPathArray_)
        if (!path->isTableLine())
            drawings.push_back(path);
    std::stable_sort(drawings.begin(), drawings.end(),
                     [](const auto& a, const auto& b) { return a->pdfScanIndex() < b->pdfScanIndex(); });
    allRunPathArray_ = std::move(drawings);

    // Only the texts a table's cells took leave the page's text.
    for (const auto& table : allTableArray_) {
        removeAll(allRunTextArray_, table->allRunTextArray());
        for (const auto& sub : table->allSubTableArray())
            removeAll(allRunTextArray_, sub->allRunTextArray());
    }
    updateAllPDFScanIndex();
}

void QXDocxPage::placeTablesInSections()
{
    if (allPageSectionArray_.empty())
        return;
    std::vector<std::vector<QXDocxPageSection::PlacedTable>> placed(allPageSectionArray_.size());
    for (const auto& table : allTableArray_) {
        const Rect bounds = table->bounds();
        std::size_t target = 0;
        for (std::size_t i = 0; i < allPageSectionArray_.size(); ++i) {
            const Rect frame = allPageSectionArray_[i]->sectionFrame();
            if (frame.contains(bounds) || bounds.contains(frame) || frame.intersects(bounds)) {
                target = i;
                break;
            }
        }
        placed[target].push_back({table, bounds});
    }
    for (std::size_t i = 0; i < allPageSectionArray_.size(); ++i) {
        std::vector<QXDocxPageSection::PlacedTable> tables = allPageSectionArray_[i]->allTableArray();
        tables.insert(tables.end(), placed[i].begin(), placed[i].end());
        allPageSectionArray_[i]->setAllTableArray(std::move(tables));
    }
}

} // namespace rz
