// One horizontal band of a converted page, written as one DOCX section with
// its own column layout; also the content of table cells and text boxes.
// A section holds its columns as lists of text lines; assigning them
// (setColumGroupArray) turns the lines into paragraphs, one per line or per
// set of vertically overlapping lines, with the space around each, and
// blank paragraphs where the gaps are large. The class operations recognise
// the horizontal alignment of lines and paragraphs from their geometry.
// Geometry is in display space (points, origin top left, y down).
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "converter/ooxml/QXDocxWriterObject.h"
#include "docx/layout/QXDocxParagraph.h"
#include "docx/layout/QXDocxRunText.h"
#include "docx/layout/QXDocxRunTextLine.h"
#include "platform/geometry/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxPage;
class QXDocxPageSection;
using QXDocxPageSectionPtr = std::shared_ptr<QXDocxPageSection>;
using QXDocxParagraphArray = std::vector<QXDocxParagraphPtr>;
// The objects of one column in reading order: paragraphs and, once placed,
// tables.
using QXDocxWriterObjectArray = std::vector<std::shared_ptr<QXDocxWriterObject>>;

// What a section reads of a block of text lines (a column block): the
// frame of its text, the space to keep below it and its columns.
struct QXDocxColumBlockValues {
    Rect columGroupFrame;
    double bottomNeedSpace = 0;
    std::vector<QXDocxRunTextLineArray> columGroupArray;
};

// Recognition of the horizontal alignment of lines and paragraphs, and
// statistics over groups of paragraphs. Alignment values are those of a
// paragraph's jc: 0 left, 1 right, 2 centre, 3 both, 4 distribute.
class QXDocxTextAlignRecognizer {
public:
    // The size of the largest set of lines sharing the edge of alignment `a`
    // (left, right, centre, or both edges for 3 and 4) within 3 points; 0
    // for no lines.
    static std::size_t NumberOf(const QXDocxRunTextLineArray& lines, std::int32_t textAlign);
    // The alignment most lines of a column follow, the first line left out.
    static std::int32_t RecognizeTextAlignTrend(const QXDocxRunTextLineArray& lines, const Rect& columnContentFrame,
                                                const Rect& columnFrame);
    // The alignment of `line` (nullptr allowed), given the line above it and
    // that line's alignment, the column trend, the frame of the column's
    // text and the column's frame.
    static std::int32_t RecognizeTextAlign(const QXDocxRunTextLinePtr& line,
                                           const QXDocxRunTextLinePtr& runTextLineLast, std::int32_t textAlignLast,
                                           std::int32_t textAlignTrend, const Rect& columnContentFrame,
                                           const Rect& columnFrame);
    // The shared alignment of two one-line paragraphs about to be merged.
    static std::int32_t Recognize2LineTextAlignForMerger(const QXDocxParagraphArray& paragraphs);
    // The shared alignment of three one-line paragraphs about to be merged.
    static std::int32_t Recognize3LineTextAlignForMerger(const QXDocxParagraphArray& paragraphs);
    // True when the paragraphs read as the lines of one wrapped paragraph:
    // each line's first word would not have fitted on the line above.
    static bool canBeExtendWidth(const QXDocxParagraphArray& paragraphs, std::int32_t textAlign);
    // True when the paragraphs' heights with their space sum to more than
    // count × distance − 1.
    static bool testAllHeightEnough(const QXDocxParagraphArray& paragraphs, double withDistancs);
    // True when a run of A's first line and a run of B's first line share
    // font and size.
    static bool HaveSameFont(const QXDocxParagraphPtr& paragraphA, const QXDocxParagraphPtr& paragraphB);
    // The smallest left indent (0 for none).
    static double Ind_MinLeftOfParagraphs(const QXDocxParagraphArray& paragraphs);
    // The smallest left indent of all but the first paragraph; the first's
    // own for one paragraph, 0 for none.
    static double Ind_SubMinLeftOfParagraphs(const QXDocxParagraphArray& paragraphs);
};

class QXDocxPageSection : public QXDocxWriterObject, public QXDocxTextAlignRecognizer {
public:
    // Hidden default section properties, empty arrays, zero frames, no flags.
    QXDocxPageSection();
    explicit QXDocxPageSection(const QXDocx_SectPr& sectProperty);

    // A copy builds its own paragraphs from the same columns, then takes
    // the other's paragraph columns and blank paragraphs (the lists copied,
    // the paragraphs shared) and shares its tables and trailing objects.
    std::shared_ptr<QXDocxWriterObject> copy() const override;
    // Writing a section is not done here yet: nothing is written.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    // "<QXDocxPageSection: …>" for debugging.
    std::string description() const;

    // --- Fields ---
    // The owning page (not owned); nullptr for nested sections.
    QXDocxPage* superPage() const { return superPage_; }
    void setSuperPage(QXDocxPage* page) { superPage_ = page; }
    const QXDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(const QXDocx_SectPr& value) { sectProperty_ = value; }
    std::int32_t sectionType() const { return sectionType_; }
    void setSectionType(std::int32_t value) { sectionType_ = value; }
    bool isDocumentFirstPage() const { return isDocumentFirstPage_; }
    void setIsDocumentFirstPage(bool value) { isDocumentFirstPage_ = value; }
    bool isDocumentLastPage() const { return isDocumentLastPage_; }
    void setIsDocumentLastPage(bool value) { isDocumentLastPage_ = value; }
    bool isPageHeadSection() const { return isPageHeadSection_; }
    void setIsPageHeadSection(bool value) { isPageHeadSection_ = value; }
    bool isPageFootSection() const { return isPageFootSection_; }
    void setIsPageFootSection(bool value) { isPageFootSection_ = value; }
    const Rect& sectionFrame() const { return sectionFrame_; }
    void setSectionFrame(const Rect& value) { sectionFrame_ = value; }
    const Rect& columGroupFrame() const { return columGroupFrame_; }
    void setColumGroupFrame(const Rect& value) { columGroupFrame_ = value; }
    const std::vector<QXDocxRunTextLineArray>& columGroupArray() const { return columGroupArray_; }
    // Cleans the lines (lines that form one visual line joined, script
    // marks removed), then builds the paragraphs of every column and
    // appends them to paragraphGroupArray; see QXDocxPageSectionParagraphs.cpp.
    void setColumGroupArray(const std::vector<QXDocxRunTextLineArray>& columns);
    const std::vector<QXDocxWriterObjectArray>& paragraphGroupArray() const { return paragraphGroupArray_; }
    std::vector<QXDocxWriterObjectArray>& mutableParagraphGroupArray() { return paragraphGroupArray_; }
    void setParagraphGroupArray(std::vector<QXDocxWriterObjectArray> value) { paragraphGroupArray_ = std::move(value); }
    const QXDocxPageSectionPtr& previousPageSection() const { return previousPageSection_; }
    void setPreviousPageSection(QXDocxPageSectionPtr value) { previousPageSection_ = std::move(value); }
    const QXDocxParagraphArray& headBlankParagraphArray() const { return headBlankParagraphArray_; }
    void setHeadBlankParagraphArray(QXDocxParagraphArray value) { headBlankParagraphArray_ = std::move(value); }
    const QXDocxParagraphArray& footBlankParagraphArray() const { return footBlankParagraphArray_; }
    void setFootBlankParagraphArray(QXDocxParagraphArray value) { footBlankParagraphArray_ = std::move(value); }
    double footBlankHeight() const { return footBlankHeight_; }
    void setFootBlankHeight(double value) { footBlankHeight_ = value; }
    // Tables placed in the section, with their bounds.
    struct PlacedTable {
        std::shared_ptr<QXDocxWriterObject> table;
        Rect bounds;
    };
    const std::vector<PlacedTable>& allTableArray() const { return *allTableArray_; }
    void setAllTableArray(std::vector<PlacedTable> value) { *allTableArray_ = std::move(value); }
    const QXDocxWriterObjectArray& allWriteXMLObjects() const { return *allWriteXMLObjects_; }
    void setAllWriteXMLObjects(QXDocxWriterObjectArray value) { *allWriteXMLObjects_ = std::move(value); }
    std::int32_t verticalAlignment() const { return sectProperty_.vAlign; }

    // --- Column geometry ---
    // Extends the text frame down to the line pitch below the last line
    // when the band has room; a frame that would reach a table stays.
    void updateColumGroupFrame();
    // With two or more columns: the column record, equal columns when the
    // text allows, else each column's width and space from its text.
    void createSectProperty_Cols();
    // The space between columns: the smallest positive gap between
    // neighbouring columns' text less a reserve, within limits.
    double minSeparatedColumSpace() const;
    // True when columns of equal width with the space `space` (lowered to
    // what the text leaves, floored above one point) separate the text.
    bool IsPageSectionEquallySeparatedColums(double& space) const;

    // --- Blank space and paragraphs ---
    // Blank paragraphs filling footBlankHeight when it exceeds 1 point.
    void createFootBlankParagraphArray();
    // Takes up to `amount` from the space before each column's first
    // paragraph, then from the space after its last; the part not taken of
    // the last column (0 for a negative amount).
    double moveUpParagraphIfNeed(double amount);
    // The last text paragraph whose middle lies more than 1 point above
    // `point`, in a column containing the point; nullptr for none.
    QXDocxParagraphPtr insertParagraph(const Point& point) const;
    QXDocxParagraphPtr firstParagraph() const;
    QXDocxParagraphPtr firstTextParagraph() const;
    QXDocxParagraphPtr lastParagraph() const;
    // The paragraph floating objects hang on: the first text paragraph, else
    // the first paragraph, else a new empty one (a line of 1 point at the
    // top of the section) added for them, so that they are never dropped.
    QXDocxParagraphPtr anchorParagraph();
    // Every run of every line of every column, in order.
    QXDocxRunTextArray allRunTextArray() const;

    // --- Spacing ---
    // Carries the written rounding of line values to the last paragraphs,
    // puts the space between text paragraphs on one side, folds blanks after
    // text into its space after; then merges paragraphs when asked to.
    void optimizeParagraphs();
    // The last paragraph's line value takes the difference between the
    // measured line values and the values written in twentieths of a point.
    static void fixErrorSpaceInParagraphs(const QXDocxParagraphArray& paragraphs);
    static void fixErrorSpaceInParagraphs(const QXDocxWriterObjectArray& objects);
    // The paragraph columns with the spacing fitted (new lists).
    std::vector<QXDocxWriterObjectArray> autoFitParagraphSpacing() const;
    // Merging of consecutive one-line paragraphs into wrapped paragraphs:
    // not done yet, the column is returned as it is.
    QXDocxWriterObjectArray mergeParagraphsIfNeed(const QXDocxWriterObjectArray& column) const;

    // --- Class operations ---
    // The section of a page without text: one empty paragraph at the top
    // margin, the rest free space below.
    static QXDocxPageSectionPtr BankPageSectionWithSectProperty(const QXDocx_SectPr& sectProperty);
    // Sections of loose runs (table cells, text boxes): duplicates dropped,
    // lines built, blocks found, then one section per block, top to bottom.
    // `runs` loses the duplicates and blank runs dropped.
    static std::vector<QXDocxPageSectionPtr> CreatePageSection(QXDocxRunTextArray& runs,
                                                                QXDocx_SectPr& sectProperty, bool isColumnMode);
    // The sections of the blocks (top to bottom) in the band the record's
    // margins leave: vertical alignment (stored in the record unless in
    // column mode), frames, flags, paragraphs and spacing.
    static std::vector<QXDocxPageSectionPtr> CreatePageSectionsWithBlocks(
        const std::vector<QXDocxColumBlockValues>& blocks, QXDocx_SectPr& sectProperty, bool isColumnMode);
    // The column blocks of the lines, as the page finds its own (one column
    // per block outside column mode).
    static std::vector<QXDocxColumBlockValues> CreateColumBlocks(const QXDocxRunTextLineArray& lines,
                                                                 bool isColumnMode);
    // Joins the lines of each column that form one visual line.
    static std::vector<QXDocxRunTextLineArray> MergeRunTextLineWithColumGroupArray(
        const std::vector<QXDocxRunTextLineArray>& columns);
    // Strips the script marks of the lines that are script lines.
    static void RemoveScriptIfNeed(const std::vector<QXDocxRunTextLineArray>& columns);

    // Smallest left edge, largest right edge, and largest right edge plus
    // the first line's trailing blank width of the lines (0 for none),
    // accumulated in single precision.
    static double _minLeftXOfLineArrayA(const QXDocxRunTextLineArray& lines);
    static double _maxRightXOfLineArrayA(const QXDocxRunTextLineArray& lines);
    static double _maxRightXOfLineArrayA_SpaceBehind(const QXDocxRunTextLineArray& lines);

private:
    // Paragraphs of one column of lines (not empty).
    QXDocxParagraphArray buildColumnParagraphs(const QXDocxRunTextLineArray& lines, const Rect& columnFrame,
                                               std::int32_t trend, const Rect& contentFrame) const;
    // The section's record with shouldWrite cleared.
    QXDocx_SectPr paragraphSectProperty() const;

    QXDocxPage* superPage_ = nullptr;
    QXDocx_SectPr sectProperty_;
    std::int32_t sectionType_ = 0;
    bool isDocumentFirstPage_ = false;
    bool isDocumentLastPage_ = false;
    bool isPageHeadSection_ = false;
    bool isPageFootSection_ = false;
    Rect sectionFrame_;
    Rect columGroupFrame_;
    std::vector<QXDocxRunTextLineArray> columGroupArray_;
    std::vector<QXDocxWriterObjectArray> paragraphGroupArray_;
    QXDocxPageSectionPtr previousPageSection_;
    QXDocxParagraphArray headBlankParagraphArray_;
    QXDocxParagraphArray footBlankParagraphArray_;
    double footBlankHeight_ = 0;
    std::shared_ptr<std::vector<PlacedTable>> allTableArray_ = std::make_shared<std::vector<PlacedTable>>();
    std::shared_ptr<QXDocxWriterObjectArray> allWriteXMLObjects_ = std::make_shared<QXDocxWriterObjectArray>();

    // --- Writing (QXDocxPageSectionWriting.cpp) ---
    // The number of paragraph columns.
    std::size_t writingColumnCount() const;
    // Gives the blank paragraphs the indents and alignment of the columns
    // (two or more) or of `sample`.
    void alignBlankParagraphs(const QXDocxParagraphArray& blanks, const QXDocxParagraphPtr& sample) const;
    // A blank paragraph carrying a section break of `type` with the
    // properties of `paragraph` (nullptr: defaults and this section's record).
    std::shared_ptr<QXDocxWriterObject> sectionBreakParagraph(const QXDocxParagraphPtr& paragraph, std::int32_t type,
                                                              bool singleColumn) const;
    // Places the tables lying in a column into it, then appends every
    // column's objects; the placed tables leave `tables`.
    void writeContentWithXMLWriter(XMLFileWriter& writer, std::vector<PlacedTable>& tables);
    // The paragraph's space before as blank paragraphs.
    void writeBeforeBlankParagraphs(const QXDocxParagraphPtr& paragraph, XMLFileWriter& writer);
    // Table steps (docx/tables/QXDocxPageSectionTables.cpp): a table takes
    // the section's properties before it is placed; tables in blank space
    // are written in the flow between blank paragraphs of exact heights
    // (the tables that found no place leave `tables` and float); a table
    // left over floats in a text box anchored to a paragraph.
    void prepareTableForWriting(const PlacedTable& table) const;
    static QXDocxWriterObjectArray CreateParagraphsAndTables(std::vector<PlacedTable>& tables,
                                                             const Rect& blankFrame,
                                                             const QXDocxParagraphPtr& blankParagraphExample,
                                                             const std::vector<QXDocxWriterObjectArray>& above,
                                                             const std::vector<QXDocxWriterObjectArray>& below);
    void anchorFloatingTable(const PlacedTable& table, const QXDocxParagraphPtr& paragraph) const;
    // The blank paragraphs with the tables inside them (an empty list
    // answers the blank paragraphs themselves); `tables` keeps only those
    // placed.
    static QXDocxWriterObjectArray InsertTables(std::vector<PlacedTable>& tables,
                                                const QXDocxParagraphArray& blanks,
                                                const std::vector<QXDocxWriterObjectArray>& above,
                                                const std::vector<QXDocxWriterObjectArray>& below);
};

} // namespace rz
