// The presentation exporter, for the output type "pptx": every page becomes
// one slide. During a page it is the content parser's delegate: characters
// are gathered in content order into text boxes of paragraphs and runs
// (a box goes on while characters follow on its lines or just below them,
// at the same angle); painted paths become freeform shapes, images
// pictures, shadings and pattern-painted paths pictures drawn from them.
// Shapes keep the page's content order. The slide size is the first page's
// crop box, scaled so that no side exceeds kMaxSlideSide and the shorter
// side is at least kMinSlideSide.
#pragma once

#include "converter/QXPDFExporter.h"
#include "converter/QXPDF_CTMInfo.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"
#include "pptx/package/QXPPTXWriter.h"
#include "pptx/slide/QXPPTXRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rz {

class QXPDFFont;
class QXPDFFontCache;
class QXPDFRenderState;
class QXPDFRenderStateStack;

class QXPPTXPDFExporter : public QXPDFExporter, public QXPDFConentParserDelegate {
public:
    // The typeface of a font with no name.
    static constexpr const char* kUnknownFontName = "Unknow Font";
    // Page size limits, points: the longer side is scaled down to
    // kMaxSlideSide, or else the shorter side up to kMinSlideSide.
    static constexpr double kMaxSlideSide = 1583.0;
    static constexpr double kMinSlideSide = 72.0;
    // A character this far or farther below its line (points) opens a new
    // box rather than a new paragraph.
    static constexpr double kNewBoxDistance = 96.0;
    // A text box is this much wider than its widest paragraph (points).
    static constexpr double kTextBoxExtraWidth = 10.0;
    // A gap of at least this many space widths, and less than one, is one
    // space.
    static constexpr double kMinWordGap = 0.3;
    // An image reaching this far (points) past its clip's box is still
    // taken as inside it, and not cut.
    static constexpr double kClipTolerance = 0.5;
    // Most spaces inserted for one gap.
    static constexpr std::int64_t kMaxInsertedSpaces = 100;

    QXPPTXPDFExporter();
    ~QXPPTXPDFExporter() override;

    // Makes the writer for the destination and begins it.
    void begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>& document) override;
    // One slide; false for an invalid page. Raises QXConversionException
    // when the slide could not be written, or the page's size is zero or
    // not finite (which also fails the document).
    bool convertPDFPage(const pdf::Page& page) override;
    // Completes the package; raises QXConversionException when it could
    // not be written.
    void endConvertPDF(const std::shared_ptr<pdf::Document>& document) override;
    // A stopped or failed conversion completes nothing: the writer and its
    // work folder go.
    void cleanConvertPDF() override;

    void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& parser, const std::string& text,
                                                  Size textOffset) override;
    void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                   bool fill) override;
    void QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& parser,
                                               const std::shared_ptr<QXPDFImageXObject>& image) override;
    void QXPDFConentParser_didScanPaintShading(QXPDFConentParser& parser,
                                               const std::shared_ptr<QXPDFShading>& shading) override;
    void QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                          bool fill) override;

    // --- The steps, callable without a parser ---

    // Sets the page up: rotation folded into 0..359, the crop box (origin
    // raised to 0, size scaled to the slide limits), the page transform
    // (content moved by the crop box's true origin), a fresh state stack.
    // Raises QXConversionException for a zero or non-finite size.
    void setUpPage(const Rect& mediaBox, const Rect& cropBox, int rotation);
    // Begins the writer's slide with the page's size; ends the open box and
    // the slide.
    void beginPage();
    void endPage();
    // One character shown in `state` (none: default properties).
    void scanText(std::string_view text, Size textOffset, const QXPDFRenderState* state);
    // A painted path (device space) in `state`.
    void scanPath(const Path& path, bool stroke, bool fill, const QXPDFRenderState& state);
    // A picture file drawn under `state`'s CTM.
    void scanImageFile(const std::string& file, const QXPDFRenderState& state);
    // Closes the open text box into a text-box shape of the slide.
    void endTextBoxWritingIfNeed();
    // The run properties of a character in `state` (the defaults without a
    // font).
    QXPPTX_RunPr currentRProperty(const QXPDFRenderState* state) const;

    QXPPTXWriter* pdfWriter() const { return pdfWriter_.get(); }
    const Rect& currentPageCropBox() const { return currentPageCropBox_; }
    const Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    const Affine& currentPageTransform() const { return currentPageTransform_; }
    int currentPageRotationAngle() const { return currentPageRotationAngle_; }
    double nextCharFontSize() const { return nextCharFontSize_; }
    const Affine& nextCharTransform() const { return nextCharTransform_; }
    const QXPDF_CTMInfo& nextCharCTMInfo() const { return nextCharCTMInfo_; }
    const Affine& mainTextTransform() const { return mainTextTransform_; }
    double mainTextFontSize() const { return mainTextFontSize_; }
    const QXPDF_CTMInfo& mainTextCTMInfo() const { return mainTextCTMInfo_; }
    bool isNotScanTextYet() const { return isNotScanTextYet_; }

    // The angle a box is kept at: below 5 is 0, within 5 of 90 or 270 that
    // angle, else as given.
    static double snappedRotation(double rotation);
    // The number of spaces a gap `dx` of spaces `spaceWidth` wide holds:
    // the whole spaces in it, one for a gap of kMinWordGap up to one space;
    // none for a zero, negative or non-finite width; at most
    // kMaxInsertedSpaces.
    static std::int64_t spacesInGap(double dx, double spaceWidth);

private:
    QXDisplayTextState displayState(const QXPDFRenderState* state) const;
    void newPPTXTextBox(std::string_view text, Size textOffset, const QXPDFRenderState* state);
    void usingPPTXTextBox(std::string_view text, Size textOffset, const QXPDFRenderState* state);
    void appendPPTXTextBox(std::string_view text, Size textOffset, double blankWidth, const QXPDFRenderState* state);
    void newParagraph(std::string_view text, Size textOffset, double marL, double lnSpc,
                      const QXPDFRenderState* state);
    void resetNextChar();
    const QXPPTX_RunPr& runProperty(const QXPDFRenderState* state);
    void addRenderedPicture(const std::optional<Image>& image, const Rect& clip, const std::string& stem, double dpi,
                            bool resolutions);
    const QXPDFRenderState* topState() const;

    std::unique_ptr<QXPPTXWriter> pdfWriter_;
    std::shared_ptr<QXPDFRenderStateStack> renderingStateStack_;
    std::shared_ptr<QXPDFFontCache> fontCache_;
    Rect currentPageCropBox_;
    Rect currentPageMediaBox_;
    int currentPageRotationAngle_ = 0;
    Affine currentPageTransform_;
    double mainTextFontSize_ = 1;
    Affine mainTextTransform_;
    QXPDF_CTMInfo mainTextCTMInfo_;
    double nextCharFontSize_ = 1;
    Affine nextCharTransform_;
    QXPDF_CTMInfo nextCharCTMInfo_;
    bool isNotScanTextYet_ = true;

    // The properties of the last character and what they were made from.
    struct PropertyKey {
        const QXPDFFont* font = nullptr;
        double a = 0, b = 0, c = 0, d = 0;
        double glyphSize = 0;
        int textRenderMode = 0;
        int r = 0, g = 0, bl = 0;
        bool operator==(const PropertyKey&) const = default;
    };
    PropertyKey lastPropertyKey_;
    QXPPTX_RunPr lastProperty_;
    bool lastPropertyValid_ = false;
    std::shared_ptr<QXPDFFont> lastPropertyFont_;
};

} // namespace rz
