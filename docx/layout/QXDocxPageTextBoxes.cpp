// The page's text boxes and text paths: annotation text turned into text
// boxes before the layout, and the floating drawings (pictures, text boxes,
// text paths) handed to a paragraph of the laid-out sections so that they
// are written with it.
#include "converter/ooxml/QXDocxCounters.h"
#include "docx/graphics/QXDocxRunImage.h"
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/tables/QXDocxTable.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/layout/QXDocxPageSection.h"

#include <unordered_set>

namespace rz {

namespace pagetextboxes {

// A text box is this much wider and taller than the frame of its runs.
constexpr double kTextBoxGrowth = 2.0;
// The border width of an annotation text box, points.
constexpr double kAnnotationBoxStrokeWeight = 1.0;

} // namespace pagetextboxes

namespace PT = pagetextboxes;

QXDocxRunTextBoxPtr QXDocxPage::NewTextBoxWithRunTextArray(QXDocxRunTextArray runs) const
{
    if (runs.empty())
        return nullptr;
    const Rect frame = QXDocxRunText::FrameOfRunTextArray(runs);
    auto info = std::make_shared<QXDocxTextBoxInfo>();
    info->setDisplayX(frame.origin.x);
    info->setDisplayY(frame.origin.y);
    info->setDisplayWidth(frame.size.width + PT::kTextBoxGrowth);
    info->setDisplayHeight(frame.size.height + PT::kTextBoxGrowth);
    info->setStroked(false);
    info->setFilled(false);
    info->setStrokeweight(PT::kAnnotationBoxStrokeWeight);
    info->setRotation(0);

    auto box = std::make_shared<QXDocxRunTextBox>();
    const QXDocxRunTextPtr& first = runs.front();
    box->setIsAnnotion(first->isAnnotion());
    box->setPdfScanIndex(first->pdfScanIndex());
    box->setPdfScanIndex_orignal(first->pdfScanIndex_orignal());

    // The box's content is laid out as a page whose margins leave exactly
    // the frame of the runs; its sections are nested and never break.
    QXDocx_SectPr nested = sectProperty_;
    nested.type = kNestedSectionType;
    nested.shouldWrite = false;
    nested.offsetFrom = 0;
    nested.pgMar.top = static_cast<float>(frame.origin.y);
    nested.pgMar.left = static_cast<float>(frame.origin.x);
    nested.pgMar.right = static_cast<float>(nested.pgSz.w - (frame.origin.x + frame.size.width));
    nested.pgMar.bottom = static_cast<float>(nested.pgSz.h - (frame.origin.y + frame.size.height));
    std::vector<QXDocxPageSectionPtr> sections = QXDocxPageSection::CreatePageSection(runs, nested, false);
    for (const QXDocxPageSectionPtr& section : sections)
        section->setSuperPage(const_cast<QXDocxPage*>(this));

    box->setPictZIndex(QXDocxFrontZIndexCounter++);
    box->setAllPageSectionArray(std::move(sections));
    box->setPictInfo(std::move(info));
    return box;
}

void QXDocxPage::optimizeTextBoxRunPropertyIfNeed(bool replaceFonts)
{
    for (const QXDocxRunTextBoxPtr& box : allRunTextBoxArray_) {
        if (!box->allPageSectionArray().empty())
            continue;
        for (const QXDocxRunTextPtr& run : box->allRunTextArray())
            run->optimizePropertyAtStart(replaceFonts);
    }
}

void QXDocxPage::convertAnnotion2TextBox()
{
    QXDocxRunTextArray annotation;
    for (const QXDocxRunTextPtr& run : allRunTextArray_)
        if (run->isAnnotion())
            annotation.push_back(run);
    if (annotation.empty())
        return;
    std::erase_if(allRunTextArray_, [](const QXDocxRunTextPtr& run) { return run->isAnnotion(); });
    for (QXDocxRunTextArray& group : QXDocxRunText::FindGroupSameAnnotionRunText(annotation)) {
        if (QXDocxRunTextBoxPtr box = NewTextBoxWithRunTextArray(std::move(group)))
            allRunTextBoxArray_.push_back(std::move(box));
    }
}

namespace {

// Whether one of `runs` drawn at or after `scanIndex` meets `rect`
// (overlaps it, holds it or lies in it).
template <class Runs>
bool haveUpperInRect(const Runs& runs, const Rect& rect, std::uint64_t scanIndex)
{
    for (const auto& run : runs) {
        if (!run || run->pdfScanIndex() < scanIndex)
            continue;
        const Rect other = run->displayRect();
        if (other.intersects(rect) || other.contains(rect) || rect.contains(other))
            return true;
    }
    return false;
}

// The z-index that brings a drawing behind the text in front of it.
std::int64_t frontZIndex(std::int64_t z)
{
    constexpr std::int64_t kFront = 251661312;
    return z > 0 ? kFront - z : z + kFront;
}

} // namespace

void QXDocxPage::_insertFloatRunPicts()
{
    QXDocxRunGroup floating;
    // A drawing nothing is drawn over (no later text, text box, picture or
    // path meets it) comes in front of the text; the others stay behind it.
    for (const auto& image : allRunImageArray_) {
        const Rect rect = image->displayRect();
        const std::uint64_t scan = image->pdfScanIndex();
        if (!haveUpperInRect(allRunTextArray_, rect, scan) && !haveUpperInRect(allRunTextBoxArray_, rect, scan) &&
            !haveUpperInRect(allTableArray_, rect, scan) && !haveUpperInRect(allRunPathArray_, rect, scan))
            image->setPictZIndex(frontZIndex(image->pictZIndex()));
        floating.push_back(image);
    }
    for (const auto& path : allRunPathArray_) {
        const Rect rect = path->displayRect();
        const std::uint64_t scan = path->pdfScanIndex();
        if (!haveUpperInRect(allRunTextArray_, rect, scan) && !haveUpperInRect(allRunTextBoxArray_, rect, scan) &&
            !haveUpperInRect(allTableArray_, rect, scan) && !haveUpperInRect(allRunImageArray_, rect, scan))
            path->setPictZIndex(frontZIndex(path->pictZIndex()));
        floating.push_back(path);
    }
    floating.insert(floating.end(), allRunTextBoxArray_.begin(), allRunTextBoxArray_.end());
    floating.insert(floating.end(), allRunTextPathArray_.begin(), allRunTextPathArray_.end());
    insertRunPictArray(floating);
}

} // namespace rz
