#include "docx/layout/QXDocxPage.h"

#include "docx/graphics/QXDocxRunImage.h"
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/tables/QXDocxTable.h"
#include "docx/tables/QXDocxTableManager.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/text/QXRegex.h"
#include "docx/layout/QXDocxManager.h"
#include "docx/layout/QXDocxPageSection.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/outline/QXPDFOutLineManager.h"

#include "docx/layout/QXDocxLayoutLimits.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

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
    runs.reserve(allRunTextBoxArray_.size() + allRunTextArray_.size() + allRunTextPathArray_.size() +
                 allRunImageArray_.size());
    runs.insert(runs.end(), allRunImageArray_.begin(), allRunImageArray_.end());
    runs.insert(runs.end(), allRunTextBoxArray_.begin(), allRunTextBoxArray_.end());
    runs.insert(runs.end(), allRunTextArray_.begin(), allRunTextArray_.end());
    runs.insert(runs.end(), allRunTextPathArray_.begin(), allRunTextPathArray_.end());
    runs.insert(runs.end(), allRunPathArray_.begin(), allRunPathArray_.end());
    runs.insert(runs.end(), allTableArray_.begin(), allTableArray_.end());
    QXDocxRun::UpdateRunArrayPDFScanIndex(runs);
    QXDocxRunText::UpdateRunTextArrayPDFScanIndex(allRunTextArray_);
}

void QXDocxPage::begainWritePage(std::int64_t) {}

void QXDocxPage::endWritePage(std::int64_t)
{
    const QXWordOptions& options = QXDocxManager::sharedInstance().moreOptions().wordOptions();
    removeSoftMaskDrawings();
    updateAllPDFScanIndex();
    optimizeAllRunTextPropertyIfNeed(options.isNeedReplaceFont());
    optimizeTextBoxRunPropertyIfNeed(options.isNeedReplaceFont());
    convertImages2ImageIfNeed();
    filterAllRunPathArray();
    convertPathsForUnderLineIfNeed();
    convertPathsForHighLightIfNeed();
    convertPath2TableIfNeed();
    convertAnnotion2TextBox();
    createPageWithColumn();
    if (allPageSectionArray_.empty()) {
        QXDocxPageSectionPtr blank = QXDocxPageSection::BankPageSectionWithSectProperty(sectProperty_);
        blank->setSuperPage(this);
        blank->setIsDocumentFirstPage(isDocumentFirstPage_);
        blank->setIsDocumentLastPage(isDocumentLastPage_);
        blank->setIsPageHeadSection(true);
        blank->setIsPageFootSection(true);
        allPageSectionArray_.push_back(std::move(blank));
    }
    convertShapes2ImageIfNeed();
    _insertFloatRunPicts();
    creatOutlineIfNeed();
    placeTablesInSections();
    if (!xmlWriter_) {
        QXDocxTableManager::sharedInstance().setSuperPage(nullptr);
        return;
    }
    writePDFPageBookmark();
    for (const QXDocxPageSectionPtr& section : allPageSectionArray_)
        section->writeWithXMLWriter(*xmlWriter_);
    QXDocxTableManager::sharedInstance().setSuperPage(nullptr);
}

void QXDocxPage::optimizeAllRunTextPropertyIfNeed(bool replaceFonts)
{
    if (replaceFonts)
        _localizedReplaceFontNameIfNeed();
    for (const QXDocxRunTextPtr& run : allRunTextArray_)
        run->optimizePropertyAtStart(replaceFonts);
}

bool QXDocxPage::_localizedReplaceFontNameIfNeed()
{
    // Three samples of the page's text (the start, a stretch from the
    // middle, the end), each long enough to tell its language.
    const auto stripped = [](const QXDocxRunTextPtr& run) {
        std::string text;
        for (const char c : run->runText())
            if (static_cast<unsigned char>(c) > 0x20 && c != 0x7F)
                text += c;
        return text;
    };
    const std::size_t count = allRunTextArray_.size();
    const auto sample = [&](std::size_t from, std::size_t length, bool reverse, std::size_t enough) {
        std::string text;
        for (std::size_t k = 0; k < length && text.size() <= enough; ++k) {
            const std::size_t i = reverse ? count - 1 - (from + k) : from + k;
            if (i >= count)
                break;
            text += stripped(allRunTextArray_[i]);
        }
        return text;
    };
    const std::string head = sample(0, count, false, docxlimits::kLanguageSampleShort);
    const std::string middle = sample(count / 3, count / 2, false, docxlimits::kLanguageSampleLong);
    const std::string tail = sample(0, count, true, docxlimits::kLanguageSampleShort);
    // Each sample's language is told once (telling it is the costly part),
    // and only as far as needed: a Chinese sample decides.
    std::string middleLanguage, tailLanguage;
    const auto chinese = [](const std::string& language) { return language == "zh-Hans" || language == "zh-Hant"; };
    if (chinese(QXRegex::LanguageForString(head)) || chinese(middleLanguage = QXRegex::LanguageForString(middle)) ||
        chinese(tailLanguage = QXRegex::LanguageForString(tail))) {
        static const std::map<std::string, std::string, std::less<>> table = {
            {"Courier", "Simsun"},
            {"Consolas", "SimHei"},
            {"Times", "STSong"},
            {"Arial Unicode MS", "Microsoft YaHei"},
        };
        _localizedReplaceFontNameWithDictionary(table);
        return true;
    }
    // The fallback only where it is installed: a font name the system does
    // not have would keep the runs in a font that is not there either, and
    // a word processor sets them in whatever it has, wider or narrower.
    if (middleLanguage != "en" && tailLanguage != "en" &&
        QXPDFFontUtilities::SystemFontNameIsExist(kFallbackReplaceFont)) {
        for (const QXDocxRunTextPtr& run : allRunTextArray_) {
            QXDocx_RPr property = run->rProperty();
            QXDocxSetText(property.rFonts_replace.ascii, kFallbackReplaceFont);
            QXDocxSetText(property.rFonts_replace.hAnsi, kFallbackReplaceFont);
            QXDocxSetText(property.rFonts_replace.cs, kFallbackReplaceFont);
            QXDocxSetText(property.rFonts_replace.eastAsia, kFallbackReplaceFont);
            run->setRProperty(property);
        }
    }
    return false;
}

void QXDocxPage::_localizedReplaceFontNameWithDictionary(
    const std::map<std::string, std::string, std::less<>>& table)
{
    for (const QXDocxRunTextPtr& run : allRunTextArray_) {
        QXDocx_RPr property = run->rProperty();
        const std::string_view replacement = QXDocxText(property.rFonts_replace.ascii);
        if (replacement == QXDocxText(property.rFonts.ascii))
            continue;
        const auto found = table.find(replacement);
        if (found == table.end())
            continue;
        std::string name = found->second;
        if (!QXPDFFontUtilities::SystemFontNameIsExist(name)) {
            if (!QXPDFFontUtilities::SystemFontNameIsExist(kFallbackReplaceFont))
                continue;
            name = kFallbackReplaceFont;
        }
        QXDocxSetText(property.rFonts_replace.ascii, name);
        QXDocxSetText(property.rFonts_replace.hAnsi, name);
        QXDocxSetText(property.rFonts_replace.eastAsia, name);
        QXDocxSetText(property.rFonts_replace.cs, name);
        run->setRProperty(property);
    }
}

void QXDocxPage::createPageSections()
{
    allPageSectionArray_.clear();
    const std::size_t n = allRunTextColumArray_.size();
    const QXDocx_PgMar& margin = sectProperty_.pgMar;
    const double width = sectProperty_.pgSz.w;
    const double height = sectProperty_.pgSz.h;
    QXDocxPageSectionPtr previous;
    for (std::size_t i = 0; i < n; ++i) {
        const QXDocxRunTextColum& column = *allRunTextColumArray_[i];
        Rect frame;
        frame.origin.x = margin.left;
        frame.size.width = width - margin.left - margin.right;
        const auto nextTop = [&] { return allRunTextColumArray_[i + 1]->columGroupFrame().origin.y; };
        if (n == 1) {
            frame.origin.y = margin.top;
            frame.size.height = height - margin.bottom - margin.top;
        } else if (i == 0) {
            frame.origin.y = margin.top;
            frame.size.height = nextTop() - frame.origin.y;
        } else if (i < n - 1) {
            frame.origin.y = previous->sectionFrame().origin.y + previous->sectionFrame().size.height;
            frame.size.height = nextTop() - frame.origin.y;
        } else {
            frame.origin.y = previous->sectionFrame().origin.y + previous->sectionFrame().size.height;
            frame.size.height = height - margin.bottom - frame.origin.y;
        }
        if (i + 1 < n) {
            // Room the next block needs above its first line is taken from
            // this section.
            const Rect& own = column.columGroupFrame();
            const double gap = nextTop() - (own.origin.y + own.size.height);
            const double reserve =
                gap < 0 ? 0
                        : std::min(gap, std::min(docxlimits::kSectionReserveFraction *
                                                     allRunTextColumArray_[i + 1]->bottomNeedSpace(),
                                                 docxlimits::kSectionMaxReserve));
            if (reserve > 0)
                frame.size.height -= reserve;
        }
        auto section = std::make_shared<QXDocxPageSection>(sectProperty_);
        section->setSuperPage(this);
        section->setSectionFrame(frame);
        section->setColumGroupFrame(column.columGroupFrame());
        section->setPreviousPageSection(previous);
        section->setIsPageHeadSection(i == 0);
        section->setIsPageFootSection(i + 1 == n);
        section->setIsDocumentFirstPage(isDocumentFirstPage_);
        section->setIsDocumentLastPage(isDocumentLastPage_);
        section->setColumGroupArray(column.columGroupArray());
        section->optimizeParagraphs();
        allPageSectionArray_.push_back(section);
        previous = std::move(section);
    }
}

void QXDocxPage::insertRunPictArray(const QXDocxRunGroup& pictures)
{
    if (pictures.empty() || allPageSectionArray_.empty())
        return;
    QXDocxParagraphPtr anchor;
    for (const QXDocxPageSectionPtr& section : allPageSectionArray_)
        if ((anchor = section->firstTextParagraph()))
            break;
    for (const QXDocxPageSectionPtr& section : allPageSectionArray_)
        if (!anchor && (anchor = section->firstParagraph()))
            break;
    if (!anchor)
        anchor = allPageSectionArray_.front()->anchorParagraph();
    anchor->insertRunPictArray(pictures);
}

void QXDocxPage::creatOutlineIfNeed()
{
    const QXWordOptions& options = QXDocxManager::sharedInstance().moreOptions().wordOptions();
    if (options.outlineType() != 1)
        return;
    for (const QXPDFOutlineItem& item :
         QXPDFOutLineManager::sharedInstance().outlineArrayForPage(static_cast<unsigned long>(pdfPageIndex_))) {
        const std::optional<std::string> title = QXPDFOutLineManager::GetOutlineTitleWithItem(item);
        if (!title || title->empty())
            continue;
        bool found = false;
        for (const QXDocxPageSectionPtr& section : allPageSectionArray_) {
            for (const QXDocxWriterObjectArray& group : section->paragraphGroupArray()) {
                for (const auto& object : group) {
                    const auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object);
                    if (paragraph && paragraph->compareOutLine(*title, options.enablePDFOutline_LikeDetect())) {
                        paragraph->setupOutline(
                            static_cast<std::int32_t>(QXPDFOutLineManager::GetIndentPageWithItem(item) + 1));
                        found = true;
                        break;
                    }
                }
                if (found)
                    break;
            }
            if (found)
                break;
        }
    }
}

void QXDocxPage::writePDFPageBookmark()
{
    XMLFileWriter& writer = *xmlWriter_;
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    const std::string id = std::to_string(pdfPageIndex_);
    writer.writeStartElementWithNamespace(w, "bookmarkStart");
    writer.writeAttributeWithNamespace(w, "id", id);
    writer.writeAttributeWithNamespace(w, "name", id);
    writer.writeEndElement();
    writer.writeStartElementWithNamespace(w, "bookmarkEnd");
    writer.writeAttributeWithNamespace(w, "id", id);
    writer.writeEndElement();
}

void QXDocxPage::removeDuplicateRunTexts()
{
    // A run drawn again at its own place (fake bold, shadows) is a
    // duplicate of the first run it repeats: in page order, each run not
    // yet taken takes the later runs that duplicate it. Only runs of the
    // same text within the duplicate distances can duplicate one another,
    // so the runs are indexed by text and by a grid of cells that size:
    // a run is compared with the runs of its own and the eight neighbouring
    // cells only.
    struct CellKey {
        std::string_view text;
        std::int64_t x;
        std::int64_t y;
        bool operator==(const CellKey&) const = default;
    };
    struct CellHash {
        std::size_t operator()(const CellKey& k) const
        {
            return std::hash<std::string_view>()(k.text) ^ (std::hash<std::int64_t>()(k.x) * 31) ^
                   (std::hash<std::int64_t>()(k.y) * 1000003);
        }
    };
    const auto cellOf = [](double value, double size) {
        const double cell = std::floor(value / size);
        // Coordinates beyond any page share the outermost cells.
        if (!(cell > -1e15))
            return std::int64_t{-1'000'000'000'000'000};
        if (!(cell < 1e15))
            return std::int64_t{1'000'000'000'000'000};
        return static_cast<std::int64_t>(cell);
    };
    const auto keyOf = [&](const QXDocxRunText& run) {
        return CellKey{run.runText(), cellOf(run.ctmInfo().xLeft, docxlimits::kDuplicateMaxDeltaX),
                       cellOf(run.ctmInfo().yBase, docxlimits::kDuplicateMaxDeltaY)};
    };
    std::unordered_map<CellKey, std::vector<std::size_t>, CellHash> cells;
    for (std::size_t i = 0; i < allRunTextArray_.size(); ++i)
        cells[keyOf(*allRunTextArray_[i])].push_back(i);
    std::vector<bool> duplicate(allRunTextArray_.size(), false);
    bool any = false;
    for (std::size_t i = 0; i < allRunTextArray_.size(); ++i) {
        if (duplicate[i])
            continue;
        const QXDocxRunText& first = *allRunTextArray_[i];
        const CellKey key = keyOf(first);
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto found = cells.find(CellKey{key.text, key.x + dx, key.y + dy});
                if (found == cells.end())
                    continue;
                for (const std::size_t j : found->second) {
                    if (j > i && !duplicate[j] && first.isDuplicateRunText(*allRunTextArray_[j])) {
                        duplicate[j] = true;
                        any = true;
                    }
                }
            }
        }
    }
    if (!any)
        return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < allRunTextArray_.size(); ++i)
        if (!duplicate[i])
            allRunTextArray_[kept++] = std::move(allRunTextArray_[i]);
    allRunTextArray_.resize(kept);
}

void QXDocxPage::createRunTextLines()
{
    // Runs by baseline (stably: the earliest of equal baselines first); a
    // line takes the first remaining run and the runs on its baseline,
    // which follow it in this order.
    QXDocxRunTextArray sorted = allRunTextArray_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QXDocxRunTextPtr& a, const QXDocxRunTextPtr& b) {
        return a->ctmInfo().yBase < b->ctmInfo().yBase;
    });
    const bool trimBlanks = QXDocxManager::sharedInstance().moreOptions().wordOptions().isTrimmingBlankSpaceCharacters();
    std::unordered_set<const QXDocxRunText*> dropped;
    for (std::size_t start = 0; start < sorted.size();) {
        const double base = sorted[start]->ctmInfo().yBase;
        std::size_t end = start + 1;
        while (end < sorted.size() &&
               std::fabs(sorted[end]->ctmInfo().yBase - base) < docxlimits::kSameBaseLineTolerance)
            ++end;
        QXDocxRunTextArray group(sorted.begin() + static_cast<std::ptrdiff_t>(start),
                                 sorted.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
        if (QXDocxRunTextLine::IsBankSpaceRunTextArray(group)) {
            for (const QXDocxRunTextPtr& run : group)
                dropped.insert(run.get());
            continue;
        }
        if (trimBlanks) {
            for (const QXDocxRunTextPtr& run : QXDocxRunTextLine::TrimBankSpaceRunTextArray(group))
                dropped.insert(run.get());
        }
        if (group.empty())
            continue;
        auto line = std::make_shared<QXDocxRunTextLine>();
        line->addRunTextArray(group);
        allRunTextLineArray_.push_back(std::move(line));
    }
    if (!dropped.empty())
        std::erase_if(allRunTextArray_, [&](const QXDocxRunTextPtr& run) { return dropped.contains(run.get()); });
    updateAllPDFScanIndex();
    for (const QXDocxRunTextLinePtr& line : allRunTextLineArray_)
        line->processRunTextArray();
}

std::vector<QXDocxRunTextLineArray> QXDocxPage::CreateRunTextLineBands(const QXDocxRunTextLineArray& lines)
{
    // FindMergeRunTextLineArrayY takes the band of the topmost remaining
    // line from the remaining lines ordered by top (stably). Removing a band
    // leaves the others in the same relative order, so the lines are
    // ordered once and each band is the next stretch of that order.
    const QXDocxRunTextLineArray byTop = QXDocxRunTextLine::SortRunTextLineArrayByTopY(lines);
    std::vector<QXDocxRunTextLineArray> bands;
    for (std::size_t start = 0; start < byTop.size();) {
        const std::size_t length = std::max<std::size_t>(QXDocxRunTextLine::MergeRunTextLineBandLength(byTop, start), 1);
        QXDocxRunTextLineArray band(byTop.begin() + static_cast<std::ptrdiff_t>(start),
                                    byTop.begin() + static_cast<std::ptrdiff_t>(start + length));
        start += length;
        band = QXDocxRunTextLine::SortRunTextLineArrayByBaseY(band);
        if (band.size() > 1)
            band = regroupBand(band);
        bands.push_back(QXDocxRunTextLine::SortRunTextLineArrayByBaseY(band));
    }
    return bands;
}

QXDocxRunTextLineArray QXDocxPage::regroupBand(const QXDocxRunTextLineArray& band)
{
    // The band's lines cut where their text order breaks, then chained
    // again by text order: a chain that reads as a line with superscripts
    // or subscripts becomes one line with the script runs marked.
    QXDocxRunTextLineArray pieces = QXDocxRunTextLine::SplitRunTextLineArrayContinuous(band);
    QXDocxRunTextLineArray regrouped;
    while (!pieces.empty()) {
        QXDocxRunTextLineArray chain = QXDocxRunTextLine::FindRunTextLineArrayContinuous(pieces);
        if (chain.empty())
            chain.push_back(pieces.front());
        std::unordered_set<const QXDocxRunTextLine*> inChain;
        for (const QXDocxRunTextLinePtr& line : chain)
            inChain.insert(line.get());
        std::erase_if(pieces, [&](const QXDocxRunTextLinePtr& line) { return inChain.contains(line.get()); });
        if (QXDocxRunTextLine::IsScriptRunTextLineArray(chain)) {
            QXDocxRunTextLine::SetupScriptRunTextLineArray(chain);
            if (QXDocxRunTextLinePtr merged = QXDocxRunTextLine::MergeRunTextLineArray(chain))
                regrouped.push_back(std::move(merged));
        } else {
            regrouped.insert(regrouped.end(), chain.begin(), chain.end());
        }
    }
    return regrouped;
}

float QXDocxPage::PageMarginStepValue(float value)
{
    if (value < docxlimits::kMarginStepExact)
        return std::ceil(value);
    if (value < docxlimits::kMarginStepHalfInch)
        return 36.0f;
    if (value < docxlimits::kMarginStepInch)
        return 72.0f;
    return 144.0f;
}

QXDocx_PgMar QXDocxPage::bestPgMarWithMaxPGMar(const QXDocx_PgMar& raw)
{
    QXDocx_PgMar m;
    m.top = PageMarginStepValue(raw.top);
    m.right = PageMarginStepValue(raw.right);
    m.bottom = PageMarginStepValue(raw.bottom);
    m.left = PageMarginStepValue(raw.left);
    // Wide margins on both sides of an axis become equal.
    if (const float side = std::min(m.left, m.right); side > docxlimits::kMarginStepExact)
        m.left = m.right = side;
    if (const float side = std::min(m.top, m.bottom); side > docxlimits::kMarginStepHalfInch)
        m.top = m.bottom = side;
    // No margin reaches into the content.
    if (m.top > raw.top)
        m.top = raw.top;
    if (m.left > raw.left) {
        m.left = raw.left;
        if (m.right > raw.left)
            m.right = raw.left;
    }
    if (m.right > raw.right) {
        m.right = raw.right;
        if (m.left > raw.right)
            m.left = raw.right;
    }
    if (m.bottom > raw.bottom)
        m.bottom = raw.bottom;
    m.header = m.top >= docxlimits::kMarginWithHeader ? docxlimits::kHeaderFooterDistance : 0.0f;
    m.footer = m.bottom >= docxlimits::kMarginWithHeader ? docxlimits::kHeaderFooterDistance : 0.0f;
    m.gutter = 0;
    return m;
}

QXDocx_PgMar QXDocxPage::pageMargins() const
{
    if (allRunTextColumArray_.empty() && allTableArray_.empty()) {
        QXDocx_PgMar m;
        m.top = m.right = m.bottom = m.left = docxlimits::kDefaultPageMargin;
        m.header = m.footer = docxlimits::kDefaultPageMargin;
        return m;
    }
    const double width = sectProperty_.pgSz.w;
    const double height = sectProperty_.pgSz.h;
    const bool withColumns = !allRunTextColumArray_.empty();
    const double start = withColumns ? docxlimits::kUnsetPageMargin : docxlimits::kDefaultPageMargin;
    double top = start;
    double right = start;
    double bottom = start;
    double left = start;
    for (const QXDocxRunTextColumPtr& column : allRunTextColumArray_) {
        const Rect& f = column->columGroupFrame();
        top = std::min(top, std::max(0.0, f.origin.y));
        left = std::min(left, std::max(0.0, f.origin.x));
        right = std::min(right, std::max(0.0, width - f.origin.x - f.size.width - 1));
    }
    if (const QXDocxRunTextPtr lowest = QXDocxRunText::FindBottomAfterRunText(allRunTextArray_))
        bottom = std::min(bottom, std::max(0.0, height - lowest->doubleBottomLine() - 1));
    // Tables stand inside the margins too; a side margin stays at least
    // half an inch.
    for (const auto& table : allTableArray_) {
        const Rect b = table->bounds().insetBy(0, -1);
        top = std::min(top, std::max(0.0, withColumns ? b.minY() : b.minY() - 5));
        right = std::min(right, std::max(docxlimits::kMinTableSideMargin, width - b.maxX()));
        bottom = std::min(bottom, std::max(0.0, height - b.maxY()));
        left = std::min(left, std::max(docxlimits::kMinTableSideMargin, b.minX()));
    }
    QXDocx_PgMar raw;
    raw.top = static_cast<float>(top);
    raw.right = static_cast<float>(right);
    raw.bottom = static_cast<float>(bottom);
    raw.left = static_cast<float>(left);
    return bestPgMarWithMaxPGMar(raw);
}

void QXDocxPage::createPageWithColumn()
{
    allRunTextLineArray_.clear();
    allRunTextBandArray_.clear();
    allRunTextColumArray_.clear();
    removeDuplicateRunTexts();
    updateAllPDFScanIndex();
    createRunTextLines();
    allRunTextBandArray_ = CreateRunTextLineBands(allRunTextLineArray_);
    allRunTextColumArray_ = CreateRunTextColumArray(allRunTextBandArray_, true);
    QXDocx_SectPr section = sectProperty_;
    section.pgMar = pageMargins();
    if (pgBorders_offsetFrom_ != 0) {
        section.offsetFrom = pgBorders_offsetFrom_;
        section.pgBorders = pgBorders_;
        section.pgBorders.top.space += section.pgMar.top;
        section.pgBorders.left.space += section.pgMar.left;
        section.pgBorders.bottom.space += section.pgMar.bottom;
        section.pgBorders.right.space += section.pgMar.right;
    }
    sectProperty_ = section;
    createPageSections();
}

QXDocxRunTextColumArray QXDocxPage::CreateRunTextColumArray(const std::vector<QXDocxRunTextLineArray>& bands,
                                                            bool columnMode)
{
    // One block per band; runs of consecutive blocks that read as one
    // multi-column block joined; neighbouring blocks merged; then each
    // block's columns cut and tidied.
    QXDocxRunTextColumArray blocks;
    blocks.reserve(bands.size());
    for (const QXDocxRunTextLineArray& band : bands)
        blocks.push_back(QXDocxRunTextColum::CreateRunTextColum(band, columnMode));
    blocks = QXDocxRunTextColum::MergeRunTextColumArray(QXDocxRunTextColum::JoinRunTextColumArray(blocks));
    for (const QXDocxRunTextColumPtr& block : blocks) {
        block->createColumGroup();
        block->optimizeColumnSpaces();
        block->createColumGroup();
        block->optimizeColumnGroups();
    }
    return blocks;
}

} // namespace rz
