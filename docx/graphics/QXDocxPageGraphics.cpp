// The page passes over drawings: soft-mask drawings dropped, paths filtered
// and joined, drawn underlines, strike-through lines and highlight boxes
// turned into run properties, overlapping images merged, and dense groups
// of paths drawn as pictures.
#include "docx/graphics/QXDocxImageInfo.h"
#include "docx/graphics/QXDocxRunImage.h"
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/layout/QXDocxManager.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/layout/QXDocxPathInfo.h"
#include "docx/layout/QXDocxWriter.h"
#include "pdfengine/base/QXRandomString.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <unordered_set>

namespace rz {

namespace {

using PathPtr = std::shared_ptr<QXDocxRunPath>;
using ImagePtr = std::shared_ptr<QXDocxRunImage>;

// A path with more points than this on a page makes the page's drawings
// go to pictures.
constexpr std::int64_t kShapesToImagePoints = 151;
// A page with more paths than this draws its dense groups as pictures ...
constexpr std::size_t kShapesToImagePaths = 30;
// ... and with more than this, all of its paths as one picture.
constexpr std::size_t kAllShapesToImagePaths = 1000;
// Paths this close (points, across and along the text) join one picture.
constexpr double kShapeGroupInsetX = -78;
constexpr double kShapeGroupInsetY = -26;
// Specks smaller than this on both sides leave the page.
constexpr Size kSpeckSize{1, 1};
// Underlines: the thickest line taken (points), how far the probe reaches
// above the line, and the share of a run the line must cover.
constexpr double kUnderlineMaxHeight = 10;
constexpr double kUnderlineProbeLift = 1;
constexpr double kUnderlineMinCover = 0.5;
// How near a vertical rule a horizontal one must end to join it.
constexpr double kGridJoinReach = 2;
// Highlights: the tallest box taken, the margin allowed around its text,
// and how closely its width must match the text's.
constexpr double kHighlightMaxHeight = 100;
constexpr double kHighlightMargin = 2;
constexpr double kHighlightWidthTolerance = 3;

double clampedImageDPI()
{
    return std::clamp<double>(QXDocxManager::sharedInstance().moreOptions().imageDPI(), 72.0, 600.0);
}

// Groups that start with the first remaining element and take every
// remaining element that `joins` the group, looking again from the start
// after each addition.
template <class T, class Joins>
std::vector<std::vector<T>> intersectGroups(std::vector<T> remaining, Joins joins)
{
    std::vector<std::vector<T>> groups;
    while (!remaining.empty()) {
        std::vector<T> group{remaining.front()};
        remaining.erase(remaining.begin());
        bool grown = true;
        while (grown) {
            grown = false;
            for (auto it = remaining.begin(); it != remaining.end(); ++it) {
                if (joins(*it, group)) {
                    group.push_back(*it);
                    remaining.erase(it);
                    grown = true;
                    break;
                }
            }
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

template <class T>
void removeAll(std::vector<T>& from, const std::vector<T>& gone)
{
    if (gone.empty())
        return;
    const std::unordered_set<T> set(gone.begin(), gone.end());
    std::erase_if(from, [&](const T& item) { return set.count(item) != 0; });
}

// The extent of the runs a drawn line or box serves.
struct RunGroup {
    std::vector<QXDocxRunTextPtr> runs;
    double left = 999999;
    double right = 0;
    double top = 999999;
    double bottom = 0;
    double height = 0;

    void add(const QXDocxRunTextPtr& run)
    {
        const QXPDF_CTMInfo& info = run->ctmInfo();
        runs.push_back(run);
        left = std::min(left, info.xLeft);
        right = std::max(right, info.xRight);
        top = std::min(top, info.yTop);
        bottom = std::max(bottom, info.yBottom);
        height = std::max(height, run->displayRect().height());
    }
};

bool sameColor(const QXDocx_Color& a, const QXDocx_Color& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

} // namespace

void QXDocxPage::removeSoftMaskDrawings()
{
    std::erase_if(allRunImageArray_, [](const ImagePtr& image) { return !image || image->isExtGStateSMask(); });
    std::erase_if(allRunPathArray_, [](const PathPtr& path) { return !path || path->isExtGStateSMask(); });
}

void QXDocxPage::filterAllRunPathArray()
{
    if (allRunPathArray_.empty() || allRunPathArray_.size() > kMaxFilteredPaths)
        return;
    removeAll(allRunPathArray_, QXDocxRunPath::FindSmallShapes(allRunPathArray_, kSpeckSize));
    updateAllPDFScanIndex();

    // A rectangle holding the middle of the page is the page's backdrop:
    // what only repaints it is dropped.
    const Size page{sectProperty_.pgSz.w, sectProperty_.pgSz.h};
    const double inset = page.width / 4;
    const Rect centre = Rect(0, 0, page.width, page.height).insetBy(inset, inset);
    PathPtr big = QXDocxRunPath::FindBigRectangeRunPath(allRunPathArray_);
    const ImagePtr bigImage = QXDocxRunImage::FindBigRectRunImage(allRunImageArray_);
    std::vector<PathPtr> comparison = allRunPathArray_;
    if (big && big->boundingBox().contains(centre))
        std::erase(comparison, big);
    else
        big = nullptr;
    if (bigImage && bigImage->displayRect().contains(centre))
        comparison.clear();
    const std::vector<PathPtr> duplicates = QXDocxRunPath::FindDuplicateRunPath(big, comparison);
    if (!duplicates.empty()) {
        removeAll(allRunPathArray_, duplicates);
        if (big && big->pictInfo() && sameColor(big->pictInfo()->fillColorQX(), QXDocx_Color{255, 255, 255, 255}))
            std::erase(allRunPathArray_, big);
    }
    updateAllPDFScanIndex();

    allRunPathArray_ = QXDocxRunPath::MergeOverlapLinesIfNeed(QXDocxRunPath::ConvertRect2LineIfNeed(allRunPathArray_));
    updateAllPDFScanIndex();
    // A merged rectangle must not newly cover a picture drawn between its
    // pieces.
    std::vector<QXDocxRunPath::DrawnBox> drawn;
    for (const ImagePtr& image : allRunImageArray_)
        drawn.push_back({image->displayRect(), image->pdfScanIndex()});
    allRunPathArray_ = QXDocxRunPath::MergeOverlapRectangesIfNeed(allRunPathArray_, drawn);
    updateAllPDFScanIndex();
}

void QXDocxPage::convertPathsForUnderLineIfNeed()
{
    std::vector<PathPtr> underlines;
    std::vector<PathPtr> strikes;
    // A rule that ends on a vertical rule is a table's line, even under a
    // cell's text padded with blanks to the cell's width.
    std::vector<Rect> verticals;
    for (const PathPtr& path : allRunPathArray_) {
        if (path->runLineType() == QXDocxRunPath::kLineTypeVertical)
            verticals.push_back(path->displayRect().insetBy(-kGridJoinReach, -kGridJoinReach));
    }
    const auto endsOnVertical = [&](const Rect& line) {
        return std::any_of(verticals.begin(), verticals.end(), [&](const Rect& v) {
            const bool atEnd = (v.minX() <= line.minX() && line.minX() <= v.maxX()) ||
                               (v.minX() <= line.maxX() && line.maxX() <= v.maxX());
            return atEnd && v.minY() <= line.maxY() && line.minY() <= v.maxY();
        });
    };
    for (const PathPtr& path : allRunPathArray_) {
        const std::shared_ptr<QXDocxPathInfo>& info = path->pictInfo();
        if (!info || path->runLineType() != 1 || !(info->displayHeight() <= kUnderlineMaxHeight))
            continue;
        const Rect probe = path->displayRect().offsetBy(0, -kUnderlineProbeLift);
        const QXDocx_Color& color = info->strokeColorQX();
        const double lineTop = info->displayY();
        RunGroup under;
        RunGroup strike;
        for (const QXDocxRunTextPtr& run : allRunTextArray_) {
            if (!sameColor(run->rProperty().color, color))
                continue;
            const Rect overlap = probe.intersection(run->displayRect());
            if (overlap.isNull() || !(overlap.width() > 0) || !(overlap.height() > 0))
                continue;
            if (!(overlap.width() > kUnderlineMinCover * run->textWidth()))
                continue;
            const QXPDF_CTMInfo& runInfo = run->ctmInfo();
            if (runInfo.yBase > lineTop)
                strike.add(run);
            else if (runInfo.yBottom + 1 > lineTop)
                under.add(run);
        }
        // The line must match the extent of the runs within the height of
        // their tallest run.
        const auto accepted = [&](const RunGroup& group) {
            const double width = group.right - group.left;
            return !group.runs.empty() && width > 1 && group.height > std::fabs(info->displayWidth() - width);
        };
        const bool underAccepted = accepted(under);
        const bool strikeAccepted = accepted(strike);
        // Asked only of a line about to become a decoration.
        if ((underAccepted || strikeAccepted) && endsOnVertical(path->displayRect()))
            continue;
        if (underAccepted) {
            for (const QXDocxRunTextPtr& run : under.runs) {
                QXDocx_RPr property = run->rProperty();
                property.u = 1;
                run->setRProperty(property);
            }
            underlines.push_back(path);
        }
        if (strikeAccepted) {
            for (const QXDocxRunTextPtr& run : strike.runs) {
                QXDocx_RPr property = run->rProperty();
                property.strikethrough = 1;
                run->setRProperty(property);
            }
            strikes.push_back(path);
        }
    }
    removeAll(allRunPathArray_, underlines);
    removeAll(allRunPathArray_, strikes);
}

void QXDocxPage::convertPathsForHighLightIfNeed()
{
    std::vector<PathPtr> highlights;
    for (const PathPtr& path : allRunPathArray_) {
        const std::shared_ptr<QXDocxPathInfo>& info = path->pictInfo();
        if (!info || path->runLineType() != 4 || !info->filled() || info->stroked() ||
            !(info->displayHeight() <= kHighlightMaxHeight))
            continue;
        const Rect probe(info->displayX() - kHighlightMargin, info->displayY() - kHighlightMargin,
                         info->displayWidth() + 2 * kHighlightMargin, info->displayHeight() + 2 * kHighlightMargin);
        RunGroup group;
        for (const QXDocxRunTextPtr& run : allRunTextArray_) {
            const QXPDF_CTMInfo& runInfo = run->ctmInfo();
            const Rect box(runInfo.xLeft, runInfo.yTop, runInfo.xRight - runInfo.xLeft, runInfo.yBottom - runInfo.yTop);
            if (box.minX() >= probe.minX() && box.maxX() <= probe.maxX() && box.minY() >= probe.minY() &&
                box.maxY() <= probe.maxY())
                group.add(run);
        }
        if (group.runs.empty())
            continue;
        const double width = group.right - group.left;
        const double height = group.bottom - group.top;
        if (!(width > 0) || !(height > 0) || !(std::fabs(info->displayWidth() - width) < kHighlightWidthTolerance) ||
            !(std::fabs(info->displayHeight() - height) < 2 * height))
            continue;
        for (const QXDocxRunTextPtr& run : group.runs) {
            QXDocx_RPr property = run->rProperty();
            property.background = true;
            property.backgroundcolor = info->fillColorQX();
            run->setRProperty(property);
        }
        highlights.push_back(path);
    }
    removeAll(allRunPathArray_, highlights);
}

void QXDocxPage::convertImages2ImageIfNeed()
{
    if (allRunImageArray_.empty())
        return;
    updateAllPDFScanIndex();
    const Size page{sectProperty_.pgSz.w, sectProperty_.pgSz.h};
    const auto dpi = static_cast<std::int64_t>(clampedImageDPI());
    QXDocxRunImage::MediaCollector media;
    media.collect = [this](const std::string& path) {
        return docxWriter_ != nullptr ? docxWriter_->collectImageWithPath(path) : std::string();
    };
    media.forget = [this](const std::string& path) {
        if (docxWriter_ != nullptr)
            docxWriter_->removeCollectedImageWithPath(path);
    };

    if (allRunImageArray_.size() > kMaxSeparateImages) {
        const std::vector<ImagePtr> all = allRunImageArray_;
        QXDocxRunImage::ReplaceWithMergedImage(allRunImageArray_, all, page, dpi, media);
        updateAllPDFScanIndex();
        return;
    }
    if (!QXDocxManager::sharedInstance().moreOptions().wordOptions().enableMergeIntersectImages())
        return;
    const auto groups = intersectGroups(allRunImageArray_, [](const ImagePtr& image, const std::vector<ImagePtr>& group) {
        return image->isIntersectImages(group) != nullptr;
    });
    for (const std::vector<ImagePtr>& group : groups) {
        if (group.size() > 1)
            QXDocxRunImage::ReplaceWithMergedImage(allRunImageArray_, group, page, dpi, media);
    }
    updateAllPDFScanIndex();
}

std::shared_ptr<QXDocxRunImage> QXDocxPage::_convertRunPathsToRunImage(const std::vector<PathPtr>& paths,
                                                                       double imageDPI) const
{
    if (paths.empty())
        return nullptr;
    const Size page{sectProperty_.pgSz.w, sectProperty_.pgSz.h};
    Rect drawn(0, 0, page.width, page.height);
    const std::optional<std::string> file =
        QXDocxRunPath::CreateImageFromRunPaths(paths, page, currentPageTransform_, imageDPI, true, &drawn);
    if (!file || !(drawn.width() > 0) || !(drawn.height() > 0))
        return nullptr;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count();
    auto info = std::make_shared<QXDocxImageInfo>();
    info->setImageID("Path-" + formatInteger(seconds) + "-" + QXRandomString::Random4BigLetter());
    info->setImageTitle(std::filesystem::path(*file).filename().string());
    info->setOpacity(1);
    // Recorded as the drawn area's size at 72 dpi, as the picture's own
    // resolution is not what places it.
    info->placeUpright(drawn, static_cast<std::int32_t>(std::lround(drawn.size.width)),
                       static_cast<std::int32_t>(std::lround(drawn.size.height)));
    info->setHorizontalResolution(72);
    info->setVerticalResolution(72);

    const PathPtr& first = paths.front();
    auto image = std::make_shared<QXDocxRunImage>();
    image->setIsAnnotion(first->isAnnotion());
    image->setPdfScanIndex(first->pdfScanIndex());
    image->setPictZIndex(first->pictZIndex());
    image->setRProperty(first->rProperty());
    image->setImagePath(*file);
    image->setRunImageTitle(info->imageTitle());
    image->setPictInfo(info);
    return image;
}

void QXDocxPage::convertShapes2ImageIfNeed()
{
    if (allRunPathArray_.empty())
        return;
    const bool wanted = allRunPathArray_.size() > kShapesToImagePaths ||
                        QXDocxManager::sharedInstance().moreOptions().wordOptions().enableShapToImage() ||
                        QXDocxRunPath::CountOfPoints(allRunPathArray_) >= kShapesToImagePoints;
    if (!wanted)
        return;
    const double dpi = clampedImageDPI();
    std::vector<PathPtr> paths = allRunPathArray_;
    std::stable_sort(paths.begin(), paths.end(),
                     [](const PathPtr& a, const PathPtr& b) { return a->pdfScanIndex() < b->pdfScanIndex(); });
    // Only a picture that was made and packaged replaces its paths: a group
    // that cannot be drawn keeps them.
    const auto collect = [this](const ImagePtr& image) {
        const std::string id = docxWriter_ != nullptr ? docxWriter_->collectImageWithPath(image->imagePath()) : "";
        image->setRunImageID(id);
        if (image->pictInfo())
            image->pictInfo()->setImageID(id);
    };

    if (paths.size() > kAllShapesToImagePaths) {
        if (ImagePtr image = _convertRunPathsToRunImage(paths, dpi)) {
            collect(image);
            allRunImageArray_.push_back(std::move(image));
            allRunPathArray_.clear();
            updateAllPDFScanIndex();
        }
        return;
    }
    const auto groups = intersectGroups(paths, [](const PathPtr& path, const std::vector<PathPtr>& group) {
        return path->isIntersectRunPaths(group, kShapeGroupInsetX, kShapeGroupInsetY);
    });
    std::vector<PathPtr> drawn;
    std::vector<ImagePtr> images;
    for (const std::vector<PathPtr>& group : groups) {
        if (!QXDocxRunPath::IsVaildImageRunPaths(group))
            continue;
        if (ImagePtr image = _convertRunPathsToRunImage(group, dpi)) {
            collect(image);
            images.push_back(std::move(image));
            drawn.insert(drawn.end(), group.begin(), group.end());
        }
    }
    if (images.empty())
        return;
    removeAll(allRunPathArray_, drawn);
    allRunImageArray_.insert(allRunImageArray_.end(), images.begin(), images.end());
    updateAllPDFScanIndex();
}

} // namespace rz
