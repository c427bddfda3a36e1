// The exporter base of the three flow-text formats. During a page it is the
// content parser's delegate: each character of upright, unmirrored text
// becomes one run text handed to the page of its document writer; the page
// does the layout and the writing. Paths, images, shadings and turned or
// mirrored text are not exported, nor the text of a soft-mask group (which
// only shapes the alpha of what is painted under it), except that a page
// whose text is mostly drawn sideways or upside down is interpreted a
// second time, turned so that its text runs left to right (see
// convertPDFPage). Whether a character is turned or mirrored is read from
// its whole text rendering matrix: font size, horizontal scaling, text
// matrix and CTM.
//
// The formats (QXTextPDFExporter, QXHTMLPDFExporter, QXRTFPDFExporter) say
// which document writer and run-text class they make, and whether text
// drawn with render mode 2 or 6 counts as bold.
#pragma once

#include "converter/QXPDFExporter.h"
#include "converter/QXPDF_CTMInfo.h"
#include "converter/ooxml/QXDocxRecords.h"
#include "flowtext/QXFlowDocumentWriter.h"
#include "flowtext/QXFlowRun.h"
#include "pdfengine/color/QXPDFColor.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rz {

class QXPDFColorSpace;
class QXPDFFontCache;
class QXPDFRenderState;
class QXPDFRenderStateStack;

// What one character takes from the top render state, copied inside the
// text event.
struct QXFlowTextCharState {
    QXDisplayTextState display = QXDisplayTextState::none();
    bool hasFont = false;
    double widthOfSpace = 1.0;     // per unit of font size
    // The font's names, empty when it has none. They view the font's own
    // strings, so a state is used only inside the event that made it.
    std::string_view fontName;
    std::string_view fontFamilyName;
    bool hasDescriptor = false;
    bool descriptorBold = false;
    bool descriptorItalic = false;
    int textRenderMode = 0;
    int fillRed = 0;               // the fill colour, 0..255 each
    int fillGreen = 0;
    int fillBlue = 0;

    // The fields a render state sets for every character: the matrices,
    // font size, horizontal scaling, rise and render mode (not the font's
    // fields nor the fill colour).
    void takeGeometry(const QXPDFRenderState& state);
    // The state's font fields from a font (hasFont set).
    void takeFont(const QXPDFFont& font);
};

class QXFlowTextPDFExporter : public QXPDFExporter, public QXPDFConentParserDelegate {
public:
    // Characters turned by less than this many degrees are main text.
    static constexpr float kMainTextMaxRotation = 5.0f;
    // The font name used when a font reports none.
    static constexpr const char* kFallbackFontName = "Arial Unicode MS";

    QXFlowTextPDFExporter() = default;
    ~QXFlowTextPDFExporter() override;

    // A new document writer for the destination and a new font cache for
    // the document; clears the cancel flag.
    void begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>& document) override;
    // Interprets and writes one page; false for an invalid page. When most
    // of the page's characters share one turn of 90, 180 or 270 degrees
    // (sidewaysTextRotation), the page is interpreted again, turned back by
    // that angle, and only the second pass is written: the page is read in
    // the direction of most of its text.
    bool convertPDFPage(const pdf::Page& page) override;
    // Completes the destination; raises QXConversionException when it
    // could not be written. The document's fonts are released.
    void endConvertPDF(const std::shared_ptr<pdf::Document>& document) override;
    // A stopped or failed conversion completes nothing; the document's
    // fonts and the work folder are released.
    void cleanConvertPDF() override;

    void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& parser, const std::string& text,
                                                  Size textOffset) override;

    // --- The steps of a page and a character, callable without a parser ---

    // Sets the page up for its media box (already turned by the rotation)
    // and rotation, and begins the writer's page.
    void beginPage(const Rect& mediaBox, int rotation);
    // Sets the page up again for another rotation, for a second pass over
    // the same page: the writer's page keeps its place in the document but
    // loses the runs taken so far and takes the turned size.
    void turnPage(const Rect& mediaBox, int rotation);
    // Ends the writer's page (layout and writing).
    void endPage();
    // One shown character with the state it was shown in: ignored while
    // cancelled; before the page's first main-text character a lone space
    // or control character is ignored; upright, unmirrored text becomes a
    // run text of the current page, anything else is dropped. Characters
    // other than spaces and controls are counted by their turn for
    // sidewaysTextRotation.
    void usingDocxMainText(std::string_view text, Size textOffset, const QXFlowTextCharState& state);
    // 90, 180 or 270 when more than half of the characters counted since
    // the page was set up are unmirrored and turned by that many degrees
    // (within kMainTextMaxRotation); 0 otherwise.
    int sidewaysTextRotation() const;

    // The run property of a character: font names, bold, italic, size and
    // colour; the default run property without a font.
    QXDocx_RPr currentRProperty(const QXFlowTextCharState& state) const;
    // Display transforms of the character being taken (see QXPDF_CTMInfo.h).
    Affine currentDisplayTextTransform(const QXFlowTextCharState& state) const;
    Affine nextDisplayTextTransform(const QXFlowTextCharState& state, Size offset) const;
    Size convertToDisplaySpaceWidth(const QXFlowTextCharState& state, double width) const;

    // The slant test of italic text: q = |(a + c) / (b + d)| of the display
    // transform outside [0.9, 1.1]; a quotient that is not a number is not.
    static bool isSlanted(const Affine& displayTransform);

    QXFlowDocumentWriter* documentWriter() const { return writer_.get(); }
    const Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    int currentPageRotationAngle() const { return currentPageRotationAngle_; }
    const Affine& currentPageTransform() const { return currentPageTransform_; }
    double mainTextFontSize() const { return mainTextFontSize_; }
    const Affine& mainTextTransform() const { return mainTextTransform_; }
    // The record of the position after the last character taken (as
    // mainTextCTMInfo; made when asked for).
    const QXPDF_CTMInfo& mainTextCTMInfo() const { return nextCharCTMInfo(); }
    double nextCharFontSize() const { return nextCharFontSize_; }
    const Affine& nextCharTransform() const { return nextCharTransform_; }
    const QXPDF_CTMInfo& nextCharCTMInfo() const;
    bool isNotScanTextYet() const { return isNotScanTextYet_; }

protected:
    virtual std::unique_ptr<QXFlowDocumentWriter> newDocumentWriter() const = 0;
    virtual QXFlowRunTextRef newRunText() const = 0;
    // True when render modes 2 and 6 (fill and stroke) make a run bold.
    virtual bool renderModeMakesBold() const = 0;
    // How the document's fonts are named: matched against the installed
    // fonts for output that names them (the default).
    virtual QXPDFFontNaming fontNaming() const { return QXPDFFontNaming::MatchInstalled; }

private:
    // Drops the fonts of the document just converted or stopped.
    void releaseDocumentFonts();
    // The exporter's part of setting a page up (beginPage, turnPage).
    void setUpPage(const Rect& mediaBox, int rotation);
    // Runs the content parser over the page, this exporter its delegate.
    void interpretPage(const pdf::Page& page);

    // The part of a run property that depends on the font alone, kept for
    // the next characters of the same font.
    struct FontProperty {
        std::string fontName;
        std::string fontFamilyName;
        bool hasDescriptor = false;
        bool descriptorBold = false;
        bool descriptorItalic = false;
        QXDocx_RPr property;     // names set, bold and italic of the names and descriptor
        bool valid = false;
        std::uint64_t generation = 0;
    };
    const QXDocx_RPr& fontRunProperty(const QXFlowTextCharState& state) const;
    // What each character sets in the run property beyond its font's part.
    struct CharacterStyle {
        bool b = false;
        bool i = false;
        float sz = 0;
        QXDocx_Color color;
        static CharacterStyle of(const QXDocx_RPr& r) { return {r.b, r.i, r.sz, r.color}; }
        void applyTo(QXDocx_RPr& r) const
        {
            r.b = b;
            r.i = i;
            r.sz = sz;
            r.color = color;
        }
        friend bool operator==(const CharacterStyle&, const CharacterStyle&) = default;
    };
    CharacterStyle characterStyle(const QXFlowTextCharState& state, const Affine& display, const QXPDF_CTMInfo& info,
                                  const QXDocx_RPr& font) const;
    // currentRProperty for a display transform and record already made.
    QXDocx_RPr runProperty(const QXFlowTextCharState& state, const Affine& display, const QXPDF_CTMInfo& info) const;

    mutable FontProperty fontProperty_;
    // The fill colour last converted, kept for the next characters of the
    // same colour (a conversion may go through an ICC profile).
    struct FillColor {
        std::shared_ptr<const QXPDFColorSpace> space; // kept alive, so never mistaken for another

        QXPDFColor color;
        QXPDFRGB rgb;
        bool valid = false;
    };
    FillColor fillColor_;
    // A state holding the font fields of the font last met, the start of
    // the state of the next characters of the same font (a font's space
    // width may need its program).
    struct FontFields {
        std::shared_ptr<const QXPDFFont> font; // kept alive, so never mistaken for another
        QXFlowTextCharState fields;             // takeFont of `font` on a fresh state
    };
    FontFields fontFields_;
    // The run property of the last character taken, shared by the next
    // characters whose property is the same.
    std::shared_ptr<const QXDocx_RPr> lastRunProperty_;
    std::uint64_t lastRunPropertyGeneration_ = 0;
    std::unique_ptr<QXFlowDocumentWriter> writer_;
    // The fonts of the document being converted, shared by the parsers of
    // its pages; null outside a conversion.
    std::shared_ptr<QXPDFFontCache> fontCache_;
    std::shared_ptr<QXPDFRenderStateStack> renderingStateStack_;
    Rect currentPageMediaBox_;
    int currentPageRotationAngle_ = 0;
    Affine currentPageTransform_;
    double mainTextFontSize_ = 1.0;
    Affine mainTextTransform_;
    double nextCharFontSize_ = 1.0;
    Affine nextCharTransform_;
    // nextCharCTMInfo, made from these on first use after each character
    // (a record needs trigonometry, and nothing reads it per character).
    double nextCharAscent_ = 0;
    double nextCharDescent_ = 0;
    mutable QXPDF_CTMInfo nextCharCTMInfo_;
    mutable bool nextCharCTMInfoMade_ = true;
    bool isNotScanTextYet_ = true;
    // Characters counted on the page, and those of them turned by 90, 180
    // and 270 degrees.
    std::uint64_t countedCharacters_ = 0;
    std::uint64_t turnedCharacters_[3] = {0, 0, 0};
};

} // namespace rz
