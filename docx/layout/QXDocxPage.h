// One page of the DOCX document being built: the runs the exporter collects
// while the PDF page is interpreted (main text, text boxes, text paths), the
// page geometry, the text box or text path still open, and the page pass
// that turns the text runs into lines, bands and column blocks.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "docx/layout/QXDocxParagraph.h"
#include "docx/layout/QXDocxRunText.h"
#include "docx/layout/QXDocxRunTextBox.h"
#include "docx/layout/QXDocxRunTextColum.h"
#include "docx/layout/QXDocxRunTextLine.h"
#include "docx/layout/QXDocxRunTextPath.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxPageSection;
class QXDocxWriter;
class XMLFileWriter;
class QXDocxRunImage;
class QXDocxRunPath;
class QXDocxTable;
class QXDocxTableArea;

class QXDocxPage {
public:
    // Five empty run lists, hidden section properties, no page borders.
    QXDocxPage();
    // The page writes into `writer`; its section properties are written,
    // continuous, of the page's size in points.
    QXDocxPage(std::shared_ptr<XMLFileWriter> writer, Size pageSize, bool firstPage, bool lastPage);
    QXDocxPage(const QXDocxPage&) = delete;
    QXDocxPage& operator=(const QXDocxPage&) = delete;
    ~QXDocxPage();

    // --- Fields ---
    const std::shared_ptr<XMLFileWriter>& xmlWriter() const { return xmlWriter_; }
    QXDocxWriter* docxWriter() const { return docxWriter_; }
    // Not owned: the writer owns its pages.
    void setDocxWriter(QXDocxWriter* writer) { docxWriter_ = writer; }
    std::int64_t pdfPageIndex() const { return pdfPageIndex_; }
    void setPdfPageIndex(std::int64_t index) { pdfPageIndex_ = index; }
    bool isDocumentFirstPage() const { return isDocumentFirstPage_; }
    bool isDocumentLastPage() const { return isDocumentLastPage_; }
    const QXDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(const QXDocx_SectPr& value) { sectProperty_ = value; }
    std::int32_t pgBorders_offsetFrom() const { return pgBorders_offsetFrom_; }
    void setPgBorders_offsetFrom(std::int32_t value) { pgBorders_offsetFrom_ = value; }
    const QXDocx_Borders& pgBorders() const { return pgBorders_; }
    void setPgBorders(const QXDocx_Borders& value) { pgBorders_ = value; }

    const Rect& currentPageCropBox() const { return currentPageCropBox_; }
    void setCurrentPageCropBox(const Rect& value) { currentPageCropBox_ = value; }
    const Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    void setCurrentPageMediaBox(const Rect& value) { currentPageMediaBox_ = value; }
    std::int64_t currentPageRotationAngle() const { return currentPageRotationAngle_; }
    void setCurrentPageRotationAngle(std::int64_t value) { currentPageRotationAngle_ = value; }
    const Affine& currentPageTransform() const { return currentPageTransform_; }
    void setCurrentPageTransform(const Affine& value) { currentPageTransform_ = value; }

    // The runs the exporter appends to.
    QXDocxRunTextArray& allRunTextArray() { return allRunTextArray_; }
    const QXDocxRunTextArray& allRunTextArray() const { return allRunTextArray_; }
    std::vector<QXDocxRunTextBoxPtr>& allRunTextBoxArray() { return allRunTextBoxArray_; }
    const std::vector<QXDocxRunTextBoxPtr>& allRunTextBoxArray() const { return allRunTextBoxArray_; }
    std::vector<QXDocxRunTextPathPtr>& allRunTextPathArray() { return allRunTextPathArray_; }
    // The page's pictures, in drawing order.
    std::vector<std::shared_ptr<QXDocxRunImage>>& allRunImageArray() { return allRunImageArray_; }
    const std::vector<std::shared_ptr<QXDocxRunImage>>& allRunImageArray() const { return allRunImageArray_; }
    const std::vector<QXDocxRunTextPathPtr>& allRunTextPathArray() const { return allRunTextPathArray_; }
    // The page's tables (made by convertPath2TableIfNeed).
    std::vector<std::shared_ptr<QXDocxTable>>& allTableArray() { return allTableArray_; }
    const std::vector<std::shared_ptr<QXDocxTable>>& allTableArray() const { return allTableArray_; }
    // The page's vector drawings, in drawing order.
    std::vector<std::shared_ptr<QXDocxRunPath>>& allRunPathArray() { return allRunPathArray_; }
    const std::vector<std::shared_ptr<QXDocxRunPath>>& allRunPathArray() const { return allRunPathArray_; }

    // The text box being gathered.
    bool isUsingTextBox() const { return isUsingTextBox_; }
    void setIsUsingTextBox(bool value) { isUsingTextBox_ = value; }
    const std::shared_ptr<QXDocxTextBoxInfo>& cachedTextBoxInfo() const { return cachedTextBoxInfo_; }
    void setCachedTextBoxInfo(std::shared_ptr<QXDocxTextBoxInfo> info) { cachedTextBoxInfo_ = std::move(info); }
    const std::vector<QXDocxParagraphPtr>& cachedTextBoxParagraphs() const { return cachedTextBoxParagraphs_; }
    void setCachedTextBoxParagraphs(std::vector<QXDocxParagraphPtr> paragraphs)
    {
        cachedTextBoxParagraphs_ = std::move(paragraphs);
    }
    // Appends a new paragraph; it takes the previous last paragraph's
    // paragraph and run properties after that one resolved its own.
    QXDocxParagraphPtr cachedTextBoxNewParagraph();
    QXDocxParagraphPtr cachedTextBoxLastParagraph() const;
    // The widest first line of the paragraphs (0 for none).
    double cachedTextBoxWidthMax() const;
    // The sum of the paragraphs' line spacings (0 for none).
    double cachedTextBoxHeight() const;

    // The text path being gathered.
    bool isUsingTextPath() const { return isUsingTextPath_; }
    void setIsUsingTextPath(bool value) { isUsingTextPath_ = value; }
    const std::shared_ptr<QXDocxTextPathInfo>& cachedTextPathInfo() const { return cachedTextPathInfo_; }
    void setCachedTextPathInfo(std::shared_ptr<QXDocxTextPathInfo> info) { cachedTextPathInfo_ = std::move(info); }
    std::string& cachedTextPathString() { return cachedTextPathString_; }
    void setCachedTextPathString(std::string text) { cachedTextPathString_ = std::move(text); }

    // The page's sections, top to bottom.
    const std::vector<std::shared_ptr<QXDocxPageSection>>& allPageSectionArray() const { return allPageSectionArray_; }
    // The lines of the page pass, top to bottom, and its column blocks.
    const QXDocxRunTextLineArray& allRunTextLineArray() const { return allRunTextLineArray_; }
    const QXDocxRunTextColumArray& allRunTextColumArray() const { return allRunTextColumArray_; }
    // The vertical bands of lines, top to bottom, each by baseline.
    const std::vector<QXDocxRunTextLineArray>& allRunTextBandArray() const { return allRunTextBandArray_; }

    // --- Operations ---

    // Every text run of every text box, in box order.
    QXDocxRunTextArray allRunTextArrayInTextBoxes() const;
    // 0, or the dominant angle of the text boxes (90, 180, 270) when their
    // text runs number more than 2 and more than the main-text runs.
    std::int64_t autoRotationOfPDFPage() const;
    // Renumbers the drawing order of all runs 0, 1, 2 ... and the text
    // order of the text runs.
    void updateAllPDFScanIndex();
    void begainWritePage(std::int64_t docxPageIndex);
    // Lays the page out and writes it.
    void endWritePage(std::int64_t docxPageIndex);
    // The page pass: duplicate runs dropped, runs gathered into lines by
    // baseline, lines into bands (scripts merged), bands into column
    // blocks, blocks joined and merged, and each block's groups made.
    void createPageWithColumn();
    // The vertical bands of lines (top to bottom, each by baseline), with
    // the lines of a band cut where their text order breaks and chained
    // again, script lines merged with their line.
    static std::vector<QXDocxRunTextLineArray> CreateRunTextLineBands(const QXDocxRunTextLineArray& lines);
    // The column blocks of bands of lines (top to bottom), joined and
    // merged, with their column groups made (one group per block outside
    // column mode).
    static QXDocxRunTextColumArray CreateRunTextColumArray(const std::vector<QXDocxRunTextLineArray>& bands,
                                                           bool columnMode);
    // Font names for the page's language (with replaceFonts), then every
    // text run measured in its font.
    void optimizeAllRunTextPropertyIfNeed(bool replaceFonts);
    // One section per column block, between the page margins.
    void createPageSections();
    // With outline type 1, the paragraphs that head the outline entries of
    // this page become headings of the entries' levels.
    void creatOutlineIfNeed();
    // Hands floating drawings to the first section with a text paragraph,
    // else to the first with any paragraph, else to a paragraph made for
    // them in the first section: a page keeps its drawings even without
    // text.
    void insertRunPictArray(const QXDocxRunGroup& pictures);
    // A bookmark named by the PDF page number, before the page's sections.
    void writePDFPageBookmark();
    // The page margins from the column blocks and the lowest text (72 on
    // every side without blocks), stepped to usual values.
    QXDocx_PgMar pageMargins() const;
    // A raw margin stepped: rounded up below 35.75, else 36, 72 or 144.
    static float PageMarginStepValue(float value);
    // The stepped margins, equal on an axis when both are wide, never
    // beyond the raw ones, with header and footer distances.
    static QXDocx_PgMar bestPgMarWithMaxPGMar(const QXDocx_PgMar& raw);

    // --- Text boxes and text paths (QXDocxPageTextBoxes.cpp) ---
    // The annotation text runs leave the main text; each annotation's runs
    // become a text box holding nested sections.
    void convertAnnotion2TextBox();
    // The text runs of the exporter's text boxes measured in their fonts
    // like the main text, so that a line keeps the length it has in the
    // PDF and does not wrap inside its box.
    void optimizeTextBoxRunPropertyIfNeed(bool replaceFonts);
    // A text box around the runs (2 points larger than their frame, no
    // border, no fill, unrotated) holding them as sections nested in it;
    // nullptr for no runs.
    QXDocxRunTextBoxPtr NewTextBoxWithRunTextArray(QXDocxRunTextArray runs) const;
    // The drawings that float over or under the text (text boxes, text
    // paths) go to the first paragraph with text of the page's sections,
    // else to the first paragraph; a page without paragraphs writes none.
    void _insertFloatRunPicts();

    // --- Drawings (docx/graphics/QXDocxPageGraphics.cpp) ---
    // The drawings of a soft-mask group only shape the mask: they leave
    // the page.
    void removeSoftMaskDrawings();
    // Specks, background repaints and the page-sized backdrop leave; thin
    // rectangles become lines; pieces of one rule and overlapping
    // rectangles of one colour are joined. Pages with more than
    // kMaxFilteredPaths drawings keep them as they are.
    void filterAllRunPathArray();
    static constexpr std::size_t kMaxFilteredPaths = 2000;
    // Drawn underlines and strike-through lines become run properties of
    // the text they serve, and leave the page.
    void convertPathsForUnderLineIfNeed();
    // Filled boxes around text become the text's shading, and leave the
    // page.
    void convertPathsForHighLightIfNeed();
    // Overlapping images become one picture (with the option set, or always
    // when there are more than kMaxSeparateImages).
    void convertImages2ImageIfNeed();
    static constexpr std::size_t kMaxSeparateImages = 500;
    // Dense groups of drawings become pictures (with the option set, or
    // when the page has many drawings or many points).
    void convertShapes2ImageIfNeed();
    // The paths drawn as one picture at `imageDPI`; nullptr when it cannot
    // be made.
    std::shared_ptr<QXDocxRunImage> _convertRunPathsToRunImage(const std::vector<std::shared_ptr<QXDocxRunPath>>& paths,
                                                               double imageDPI) const;

    // --- Tables (docx/tables/QXDocxPageTables.cpp) ---
    // The ruling lines of the page's paths become tables: regions that pass
    // the validity test take the texts lying more than half in them, and
    // the ruling lines and texts that went into tables leave the page.
    // Pages with more than 3000 paths get no tables.
    void convertPath2TableIfNeed();
    // Whether the page is white behind the region: the last filled path
    // painted before it that covers more than three quarters of it decides
    // (no such path: white).
    bool isPageWhiteBackground(const QXDocxTableArea& region) const;
    // Each table goes to the first section whose frame holds it, lies in it
    // or meets it (else the first section).
    void placeTablesInSections();

    // The section type of sections nested in text boxes and table cells:
    // they never write a section break.
    static constexpr std::int32_t kNestedSectionType = 6;

    // The replacement font of text in a language the fonts may not cover.
    static constexpr const char* kFallbackReplaceFont = "Arial Unicode MS";

private:
    // Chinese text takes fonts that hold its characters; other text that is
    // not English the fallback font. True for Chinese text.
    bool _localizedReplaceFontNameIfNeed();
    void _localizedReplaceFontNameWithDictionary(const std::map<std::string, std::string, std::less<>>& table);
    // The page pass's steps.
    void removeDuplicateRunTexts();
    void createRunTextLines();
    static QXDocxRunTextLineArray regroupBand(const QXDocxRunTextLineArray& band);

    std::shared_ptr<XMLFileWriter> xmlWriter_;
    QXDocxWriter* docxWriter_ = nullptr;
    std::int64_t pdfPageIndex_ = 0;
    bool isDocumentFirstPage_ = false;
    bool isDocumentLastPage_ = false;
    QXDocx_SectPr sectProperty_;
    std::int32_t pgBorders_offsetFrom_ = 0;
    QXDocx_Borders pgBorders_;
    Rect currentPageCropBox_;
    Rect currentPageMediaBox_;
    std::int64_t currentPageRotationAngle_ = 0;
    Affine currentPageTransform_;

    QXDocxRunTextArray allRunTextArray_;
    std::vector<QXDocxRunTextBoxPtr> allRunTextBoxArray_;
    std::vector<QXDocxRunTextPathPtr> allRunTextPathArray_;
    std::vector<std::shared_ptr<QXDocxRunImage>> allRunImageArray_;
    std::vector<std::shared_ptr<QXDocxRunPath>> allRunPathArray_;
    std::vector<std::shared_ptr<QXDocxTable>> allTableArray_;

    bool isUsingTextBox_ = false;
    std::shared_ptr<QXDocxTextBoxInfo> cachedTextBoxInfo_;
    std::vector<QXDocxParagraphPtr> cachedTextBoxParagraphs_;
    bool isUsingTextPath_ = false;
    std::shared_ptr<QXDocxTextPathInfo> cachedTextPathInfo_;
    std::string cachedTextPathString_;

    QXDocxRunTextLineArray allRunTextLineArray_;
    std::vector<QXDocxRunTextLineArray> allRunTextBandArray_;
    QXDocxRunTextColumArray allRunTextColumArray_;
    std::vector<std::shared_ptr<QXDocxPageSection>> allPageSectionArray_;
};

} // namespace rz
