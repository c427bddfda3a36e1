// The DOCX exporter. During a page it is the content parser's delegate:
// every shown character that is kept becomes a text run of the current page
// model (main text), or joins the text box (text turned by about 90, 180 or
// 270 degrees) or text path (any other angle, or mirrored text) being
// gathered. The page model owned by the package writer does the layout and
// the writing. A page whose text sits mostly in sideways text boxes is
// interpreted a second time, turned so that its text runs left to right.
//
// Characters are dropped when clipped away (clip box under a point wide or
// high), transparent, invisible (render mode 3), drawn while stopping,
// blank before the page's first main-text character, control characters
// afterwards, or outside the page. Text drawn inside a soft-mask group only
// shapes the mask and is not taken either.
#pragma once

#include "converter/QXPDFExporter.h"
#include "converter/QXPDF_CTMInfo.h"
#include "converter/ooxml/QXDocxRecords.h"
#include "docx/layout/QXDocxWriter.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rz {

class QXPDFConentParser;
class QXPDFFont;
class QXPDFFontCache;
class QXPDFRenderState;
class QXPDFRenderStateStack;
class QXDocxRunImage;
class QXDocxRunPath;

class QXDocxPDFExporter : public QXPDFExporter, public QXPDFConentParserDelegate {
public:
    // Pages longer than this on their longer side are shrunk to it ...
    static constexpr float kMaxPageSide = 1583.0f;
    // ... and pages thinner than this on their shorter side enlarged to it
    // (points).
    static constexpr float kMinPageSide = 7.0f;
    // The name runs take when their font has none.
    static constexpr const char* kUnknownFontName = "Unknow Font";

    QXDocxPDFExporter();
    ~QXDocxPDFExporter() override;

    // A new package writer for the destination and a new font cache for
    // the document; clears the stop flag; loads the document's outline.
    void begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>& document) override;
    // The document's fonts and outline, for pages read without a package
    // (begainConvertPDF does this too).
    void begainReadDocument(const std::shared_ptr<pdf::Document>& document);
    // Interprets the page (twice when its text runs mostly sideways) and has
    // the writer lay it out and write it. False for an invalid page.
    bool convertPDFPage(const pdf::Page& page) override;
    // Completes the package; raises QXConversionException when it could not
    // be written.
    void endConvertPDF(const std::shared_ptr<pdf::Document>& document) override;
    // A stopped or failed conversion completes nothing: the writer and its
    // work folder go.
    void cleanConvertPDF() override;

    void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& parser, const std::string& text,
                                                  Size textOffset) override;

    // --- Drawings (docx/graphics/QXDocxPDFExporterGraphics.cpp) ---

    // An image XObject becomes a picture run of the page, placed where the
    // current transform puts the image's unit square (turned and mirrored
    // with it), its file collected by the package.
    void QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& parser,
                                               const std::shared_ptr<QXPDFImageXObject>& image) override;
    // A painted path becomes a vector drawing of the page (thin filled
    // rectangles as lines); a white box painted before any drawing erases
    // what lies under it instead.
    void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                   bool fill) override;
    // A painted shading or pattern-filled path becomes a picture of the
    // page, drawn at the image resolution.
    void QXPDFConentParser_didScanPaintShading(QXPDFConentParser& parser,
                                               const std::shared_ptr<QXPDFShading>& shading) override;
    void QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                          bool fill) override;
    // A free-text annotation becomes a text box holding its text.
    void QXPDFConentParser_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        QXPDFConentParser& parser, const Rect& box, const std::string& text, const std::string& fontName,
        const QXPDFColor& fontColor, double fontSize, long alignment, bool borderStroke, bool borderFill) override;

    // A path is a drawing (state `state`, page space) of the current page;
    // callable without a parser.
    void scanPath(QXPDFRenderState& state, const Path& path, bool stroke, bool fill);
    // The main text and drawings lying wholly inside the rectangle leave
    // the page.
    void removeObjectsHidenBehindInRect(const Rect& rect);
    // Whether the parser's annotation `index` is a highlight or a form
    // field, whose drawings go under the text.
    bool isUnderTextAnnotForPDFAnnotionIndex(std::int64_t index) const;
    // A path drawn through a soft mask (`mask`, the picture of the rendered
    // mask) as a PNG of where the two meet, the mask's grey as its alpha;
    // with `applyRunImage` the mask's placement becomes that of the new
    // picture. Nothing when the mask cannot be read or nothing meets it.
    static std::optional<std::string> RunPathSmaskWithRunImage(const QXDocxRunPath& path, QXDocxRunImage& mask,
                                                               const Affine& transform, bool applyRunImage);
    // An image drawn through a soft mask as a PNG of the image's pixels with
    // the mask's grey as their alpha.
    static std::optional<std::string> RunImageSmaskWithRunImage(const QXDocxRunImage& image, const QXDocxRunImage& mask,
                                                                const Affine& transform);
    // A page takes no more drawings than this ...
    static constexpr std::size_t kMaxPagePaths = 120000;
    // ... and clips them and keeps their points only up to this many.
    static constexpr std::size_t kMaxDetailedPagePaths = 1999;

    // The parse passes of a page without laying it out or writing it: the
    // writer's current page holds the runs afterwards. False for an
    // invalid page.
    bool interpretPDFPage(const pdf::Page& page);

    // --- Page set-up ---

    // Rotation (page rotation − extraAngle, in [0, 360)), media and crop
    // box turned by it (crop origin no less than 0), the page transform, and
    // the size clamp: pages beyond kMaxPageSide or below kMinPageSide are
    // scaled about their top-left corner.
    void setUpCurrentPageInfo(const pdf::Page& page, int extraAngle);
    // The same from boxes already turned by `rotation` (for tests): the
    // crop box gives the page's size.
    void setUpPageBoxes(const Rect& mediaBox, const Rect& cropBox, int rotation);
    // One parse pass over the page into a new page model.
    void reDoContentPDFParser(const pdf::Page& page);

    // --- Characters (callable without a parser) ---

    // One shown character in the state `state` (the top render state; none
    // for a bare character): the drop checks, then routing to the open text
    // box, the open text path or main text.
    void scanText(std::string_view text, Size textOffset, const QXPDFRenderState* state);
    void usingDocxMainText(std::string_view text, Size textOffset);
    // The run property of the character being taken.
    QXDocx_RPr currentRProperty() const;
    // True while the page holds no text box, text path, picture or drawing
    // yet.
    bool isContentCurrentEmpty() const;

    // Text boxes and text paths.
    void newDocxTextBox(std::string_view text, Size textOffset);
    void usingDocxTextBox(std::string_view text, Size textOffset);
    void appendDocxTextBox(std::string_view text, Size textOffset);
    void endTextBoxWritingIfNeed();
    void newDocxTextPath(std::string_view text, Size textOffset);
    void usingDocxTextPath(std::string_view text, Size textOffset);
    void appendDocxTextPath(std::string_view text, Size textOffset);
    void endTextPathWritingIfNeed();

    // Display transforms of the character being taken (QXPDF_CTMInfo.h).
    Affine currentDisplayTextTransform() const;
    Affine nextDisplayTextTransform(Size offset) const;
    Size convertToDisplaySpaceWidth(double width) const;

    // The bucketed angle of a text direction: 0 (below 5 degrees, or a
    // direction that rounds to 360), 90, 180 or 270 (within 5 degrees,
    // bounds excluded), otherwise the rotation itself.
    static double bucketedAngle(float rotation);

    // --- Fields ---
    QXDocxWriter* pdfWriter() const { return pdfWriter_.get(); }
    // A writer for pages read without a package (tests, inspection).
    void setPdfWriter(std::unique_ptr<QXDocxWriter> writer);
    const Rect& currentPageCropBox() const { return currentPageCropBox_; }
    const Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    int currentPageRotationAngle() const { return currentPageRotationAngle_; }
    const Affine& currentPageTransform() const { return currentPageTransform_; }
    double nextCharFontSize() const { return nextCharFontSize_; }
    const Affine& nextCharTransform() const { return nextCharTransform_; }
    const QXPDF_CTMInfo& nextCharCTMInfo() const { return nextCharCTMInfo_; }
    double mainTextFontSize() const { return mainTextFontSize_; }
    const Affine& mainTextTransform() const { return mainTextTransform_; }
    const QXPDF_CTMInfo& mainTextCTMInfo() const { return mainTextCTMInfo_; }
    bool isNotScanTextYet() const { return isNotScanTextYet_; }
    void setIsNotScanTextYet(bool value) { isNotScanTextYet_ = value; }
    // Starts a new page model the way a parse pass does (for tests).
    void beginPagePass(std::int64_t pdfPageNumber);

private:
    // What the character being taken reads of its state.
    struct CharState {
        const QXPDFRenderState* state = nullptr;
        QXDisplayTextState display = QXDisplayTextState::none();
        const QXPDFFont* font = nullptr;
        QXPDF_CTMInfo info;        // the record of the character (I)
        Affine displayTransform;   // currentDisplayTextTransform
    };
    void takeState(const QXPDFRenderState* state);
    // A new run text of the character being taken: its annotation, the
    // next drawing index (also its text index) and the parser's counts.
    QXDocxRunTextPtr newRunText() const;
    // The pen after the character: next transform, size and record.
    void movePen(Size textOffset);
    // Back to main text: the pen as the last main-text character left it.
    void backToMainText(std::string_view text, Size textOffset);
    std::shared_ptr<QXDocxPage> page() const;
    // A drawing between characters ends the open text box or text path;
    // the pen goes back to the main text.
    void closeOpenText();
    // Drops the file from the package unless a picture of the page (or a
    // page already written) shows it.
    void forgetMediaIfUnshown(const std::string& path);
    // The image resolution of drawn pictures (dots per inch, 72..600).
    static double imageDPI();
    // A picture of the page from a rendered image: written as PNG and
    // collected by the package, placed in the clip box `clip`.
    void addRenderedImage(const QXPDFRenderState& state, const std::optional<Image>& image, const Rect& clip,
                          const Affine& pdfTransform);
    void releaseDocumentFonts();
    // The part of the run property that depends on the font alone.
    const QXDocx_RPr& fontRunProperty() const;

    std::unique_ptr<QXDocxWriter> pdfWriter_;
    std::shared_ptr<QXPDFFontCache> fontCache_;
    // The packaged file of each extracted image file that cannot be
    // packaged as it is (a PNG made of it, or nothing for one that cannot
    // be read), so that an image drawn again is converted once and packaged
    // once. PNG and JPEG files are not kept: the list would grow with every
    // image of a long document.
    std::map<std::string, std::optional<std::string>> packagedImagePaths_;
    std::shared_ptr<QXPDFRenderStateStack> renderingStateStack_;
    QXPDFConentParser* contentParser_ = nullptr;   // during a parse pass
    Rect currentPageCropBox_;
    Rect currentPageMediaBox_;
    int currentPageRotationAngle_ = 0;
    Affine currentPageTransform_;
    double nextCharFontSize_ = 1.0;
    Affine nextCharTransform_;
    QXPDF_CTMInfo nextCharCTMInfo_;
    double mainTextFontSize_ = 1.0;
    Affine mainTextTransform_;
    QXPDF_CTMInfo mainTextCTMInfo_;
    bool isNotScanTextYet_ = true;
    CharState current_;
    // The font part of the run property, kept for the next characters of
    // the same font.
    mutable std::shared_ptr<const QXPDFFont> propertyFont_;
    mutable QXDocx_RPr propertyOfFont_;
};

} // namespace rz
