// A text run of the DOCX page model: a piece of text in one font, size and
// colour, with its geometry, its place in the drawing order and the widths
// the layout needs. Each one finally writes itself as one w:r element. The
// class operations pick run texts by baseline, bottom and annotation.
#pragma once

#include "docx/layout/QXDocxRun.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

class QXDocxRunText;
using QXDocxRunTextPtr = std::shared_ptr<QXDocxRunText>;
using QXDocxRunTextArray = std::vector<QXDocxRunTextPtr>;

class QXDocxRunText : public QXDocxRun {
public:
    QXDocxRunText() = default;
    QXDocxRunText(const QXDocxRunText&) = default;
    QXDocxRunText& operator=(const QXDocxRunText&) = default;

    std::shared_ptr<QXDocxWriterObject> copy() const override;
    QXDocxRunTextPtr copyRunText() const;

    // --- Fields (lengths in points) ---

    double spaceWidth() const { return spaceWidth_; }
    void setSpaceWidth(double width) { spaceWidth_ = width; }
    double textWidth() const { return textWidth_; }
    void setTextWidth(double width) { textWidth_ = width; }
    double insideSpacing() const { return insideSpacing_; }
    void setInsideSpacing(double spacing) { insideSpacing_ = spacing; }
    double outsideSpacing() const { return outsideSpacing_; }
    void setOutsideSpacing(double spacing) { outsideSpacing_ = spacing; }
    const std::string& runText() const { return runText_; }
    // Keeps the text (UTF-8) and updates the blank flags: an empty text
    // clears both; otherwise a flag is set when the text begins (ends) with
    // " " and otherwise keeps its value.
    void setRunText(std::string_view text);
    std::uint64_t pdfScanIndex_BegainText() const { return pdfScanIndex_BegainText_; }
    void setPdfScanIndex_BegainText(std::uint64_t index) { pdfScanIndex_BegainText_ = index; }
    std::uint64_t pdfScanIndex_ShowText() const { return pdfScanIndex_ShowText_; }
    void setPdfScanIndex_ShowText(std::uint64_t index) { pdfScanIndex_ShowText_ = index; }
    bool isSpaceFirst() const { return isSpaceFirst_; }
    void setIsSpaceFirst(bool value) { isSpaceFirst_ = value; }
    bool isSpaceLast() const { return isSpaceLast_; }
    void setIsSpaceLast(bool value) { isSpaceLast_ = value; }
    double wordSingleLineHeight() const { return wordSingleLineHeight_; }
    void setWordSingleLineHeight(double height) { wordSingleLineHeight_ = height; }
    double wordSingleLineBlankTop() const { return wordSingleLineBlankTop_; }
    void setWordSingleLineBlankTop(double top) { wordSingleLineBlankTop_ = top; }
    std::uint64_t textScanIndex() const { return textScanIndex_; }
    void setTextScanIndex(std::uint64_t index) { textScanIndex_ = index; }
    std::uint64_t textScanLength() const { return textScanLength_; }
    void setTextScanLength(std::uint64_t length) { textScanLength_ = length; }

    // --- Operations ---

    // textWidth = width; the frame of ctmInfo becomes that wide, xRight =
    // xLeft + width.
    void updateToNewFontWidth(double width);
    // Takes in the blank run drawn right after this run: a blank ends the
    // text, the width grows by the blank's and the frame reaches over it.
    void absorbBlankRunText(const QXDocxRunText& blank);
    // The right edge of the run as the PDF draws it, which measuring in the
    // written font does not move: gaps between runs are read with it when
    // deciding where words break.
    double drawnXRight() const { return std::isnan(drawnXRight_) ? ctmInfo().xRight : drawnXRight_; }
    void setDrawnXRight(double x) { drawnXRight_ = x; }
    // The frame of ctmInfo.
    Rect displayRect() const override;
    // Neither underlined nor struck through, and the text is blank.
    bool isBankSpaceRunText() const;
    // The same text, left edges at most 1.5 points and baselines at most 1
    // point apart, equal run properties: the other run draws this one again.
    bool isDuplicateRunText(const QXDocxRunText& other) const;
    // Appends one " " and widens the run by spaceWidth; returns spaceWidth.
    double addBlankSpaceTextBehind();
    // For a run covering 2 or more drawing indices: a new run holding a
    // trailing blank, placed right of this run at this run's last drawing
    // index; this run loses its trailing white space (when it has one) and
    // its last drawing index. nullptr for a run covering fewer indices.
    QXDocxRunTextPtr splitBlackSpaceRunTextBehind();
    // The frame's top + 1.5 line heights + 1: the line height is
    // wordSingleLineHeight when measured, else the frame's height.
    double doubleBottomLine() const;
    // Rounds the size down to a half point, keeping the run's width on the
    // page through its inside spacing; with replaceFonts, measures the run
    // in its installed font (or the installed replacement, whose names it
    // then takes); sets the word line height and blank top of the font.
    void optimizePropertyAtStart(bool replaceFonts);
    // w:r: the run properties with the spacing per character, and w:t.
    void writeWithXMLWriter(XMLFileWriter& writer) override;

    // --- Class operations ---

    // Sorts stably by pdfScanIndex, then numbers textScanIndex 0, 1, 2 ...
    // with textScanLength 1.
    static void UpdateRunTextArrayPDFScanIndex(QXDocxRunTextArray& runs);
    // Union of the runs' frames; the zero rectangle for no runs.
    static Rect FrameOfRunTextArray(const QXDocxRunTextArray& runs);
    // The run with the greatest doubleBottomLine (the first of equal ones).
    static QXDocxRunTextPtr FindBottomAfterRunText(const QXDocxRunTextArray& runs);
    // The run with the smallest (topmost) baseline (the first of equal ones).
    static QXDocxRunTextPtr FindMinBaseLineRunText(const QXDocxRunTextArray& runs);
    // The first run and every later run whose baseline is less than 1 point
    // from the first run's, in order; empty for no runs.
    static QXDocxRunTextArray CollectSameBaseLineRunTexts(const QXDocxRunTextArray& runs);
    // The first run and every later annotation run of the same annotation,
    // in order; the whole array for one run; empty for no runs.
    static QXDocxRunTextArray FindSameAnnotionRunText(const QXDocxRunTextArray& runs);
    // Empties `runs` into groups of FindSameAnnotionRunText, in order.
    static std::vector<QXDocxRunTextArray> FindGroupSameAnnotionRunText(QXDocxRunTextArray& runs);

private:
    double spaceWidth_ = 0;
    double textWidth_ = 0;
    double insideSpacing_ = 0;
    double outsideSpacing_ = 0;
    double drawnXRight_ = std::numeric_limits<double>::quiet_NaN();
    std::string runText_;
    std::uint64_t pdfScanIndex_BegainText_ = 0;
    std::uint64_t pdfScanIndex_ShowText_ = 0;
    bool isSpaceFirst_ = false;
    bool isSpaceLast_ = false;
    double wordSingleLineHeight_ = 0;
    double wordSingleLineBlankTop_ = 0;
    std::uint64_t textScanIndex_ = 0;
    std::uint64_t textScanLength_ = 1;
};

} // namespace rz
