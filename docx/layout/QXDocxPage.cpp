#include "docx/layout/QXDocxPage.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxManager.h"

#include <algorithm>

namespace rz {

QXDocxPage::QXDocxPage()
    : sectProperty_(QXDocxUtilities::defaultSectPropertyHiden()), pgBorders_(QXDocxUtilities::defaultPageBordersNone())
{
}

QXDocxPage::QXDocxPage(std::shared_ptr<XMLFileWriter> writer, Size pageSize, bool firstPage, bool lastPage)
    : QXDocxPage()
{
    xmlWriter_ = std::move(writer);
    isDocumentFirstPage_ = firstPage;
    isDocumentLastPage_ = lastPage;
    sectProperty_.shouldWrite = true;
    sectProperty_.type = QXDocxSectionTypeContinuous;
    sectProperty_.pgSz.w = static_cast<float>(pageSize.width);
    sectProperty_.pgSz.h = static_cast<float>(pageSize.height);
}

QXDocxPage::~QXDocxPage() = default;

QXDocxParagraphPtr QXDocxPage::cachedTextBoxNewParagraph()
{
    auto paragraph = std::make_shared<QXDocxParagraph>();
    if (!cachedTextBoxParagraphs_.empty()) {
        const QXDocxParagraphPtr& previous = cachedTextBoxParagraphs_.back();
        previous->resolvePProperty();
        paragraph->setPProperty(previous->pProperty());
        paragraph->setRProperty(previous->rProperty());
    }
    cachedTextBoxParagraphs_.push_back(paragraph);
    return paragraph;
}

QXDocxParagraphPtr QXDocxPage::cachedTextBoxLastParagraph() const
{
    return cachedTextBoxParagraphs_.empty() ? nullptr : cachedTextBoxParagraphs_.back();
}

double QXDocxPage::cachedTextBoxWidthMax() const
{
    float widest = 0;
    for (const QXDocxParagraphPtr& paragraph : cachedTextBoxParagraphs_)
        widest = std::max(widest, static_cast<float>(paragraph->firstLineTextWidth()));
    return widest;
}

double QXDocxPage::cachedTextBoxHeight() const
{
    double height = 0;
    for (const QXDocxParagraphPtr& paragraph : cachedTextBoxParagraphs_)
        height += paragraph->pProperty().spacing.line;
    return height;
}

QXDocxRunTextArray QXDocxPage::allRunTextArrayInTextBoxes() const
{
    QXDocxRunTextArray runs;
    for (const QXDocxRunTextBoxPtr& box : allRunTextBoxArray_) {
        QXDocxRunTextArray own = box->allRunTextArray();
        runs.insert(runs.end(), own.begin(), own.end());
    }
    return runs;
}

std::int64_t QXDocxPage::autoRotationOfPDFPage() const
{
    const std::size_t boxed = allRunTextArrayInTextBoxes().size();
    if (boxed > 2 && allRunTextArray_.size() < boxed)
        return QXDocxRunTextBox::RotationOfRunTextBoxArray(allRunTextBoxArray_);
    return 0;
}

void QXDocxPage::updateAllPDFScanIndex()
{
    std::vector<std::shared_ptr<QXDocxRun>> runs;
    runs.reserve(allRunTextBoxArray_.size() + allRunTextArray_.size() + allRunTextPathArray_.size());
    runs.insert(runs.end(), allRunTextBoxArray_.begin(), allRunTextBoxArray_.end());
    runs.insert(runs.end(), allRunTextArray_.begin(), allRunTextArray_.end());
    runs.insert(runs.end(), allRunTextPathArray_.begin(), allRunTextPathArray_.end());
    QXDocxRun::UpdateRunArrayPDFScanIndex(runs);
    QXDocxRunText::UpdateRunTextArrayPDFScanIndex(allRunTextArray_);
}

void QXDocxPage::begainWritePage(std::int64_t) {}

void QXDocxPage::endWritePage(std::int64_t)
{
    updateAllPDFScanIndex();
    createPageWithColumn();
}

void QXDocxPage::createPageWithColumn()
{
    allRunTextLineArray_.clear();
    allRunTextColumArray_.clear();
}

} // namespace rz
