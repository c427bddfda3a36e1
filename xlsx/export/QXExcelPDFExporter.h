// The spreadsheet exporter, for the output types "xlsx" and "csv". During a
// page it is the content parser's delegate: every character becomes a text
// run of the writer's current sheet page, joined with the page's last run
// when it continues it on the same baseline with the same properties
// (touching, or one word space apart). Filled paths may become cell fills
// (when the options collect them); images are not exported. The page's
// runs are placed into rows, columns and cells when the page ends.
//
// A page whose visible characters are mostly turned by the same 90, 180 or
// 270 degrees (a table printed sideways) is interpreted a second time,
// turned back by that angle, so its text lands in rows and columns as it
// is read; only the second pass is kept.
#pragma once

#include "converter/QXPDFExporter.h"
#include "converter/QXPDF_CTMInfo.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"
#include "xlsx/package/QXExcelWriter.h"
#include "xlsx/sheet/QXExcelRunText.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rz {

class QXPDFFont;
class QXPDFFontCache;
class QXPDFRenderState;
class QXPDFRenderStateStack;

class QXExcelPDFExporter : public QXPDFExporter, public QXPDFConentParserDelegate {
public:
    // The name runs take when their font has none.
    static constexpr const char* kUnknownFontName = "Unknow Font";
    // Joining limits, display points (strict).
    static constexpr double kJoinTolerance = 1.0;
    // Filled paths smaller than this on either side are no cell fills.
    static constexpr double kMinFillSide = 2.0;

    QXExcelPDFExporter();
    ~QXExcelPDFExporter() override;

    // Resets the shared manager (fonts, fills and string count start
    // empty), makes the writer for the destination and begins it.
    void begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>& document) override;
    // Interprets the page into the writer's new sheet page and ends it
    // there; false for an invalid page.
    bool convertPDFPage(const pdf::Page& page) override;
    // Completes the package or the CSV folder; raises QXConversionException
    // when it could not be written.
    void endConvertPDF(const std::shared_ptr<pdf::Document>& document) override;
    // A stopped or failed conversion completes nothing: the writer and its
    // work folder go.
    void cleanConvertPDF() override;

    void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& parser, const std::string& text,
                                                  Size textOffset) override;
    void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& parser, const Path& path, bool stroke,
                                                   bool fill) override;

    // --- The steps, callable without a parser ---

    // Sets the page up (rotation brought into 0..359, media box, page
    // transform, a fresh state stack) and begins the writer's page.
    void beginPage(const Rect& mediaBox, int rotation);
    // Sets the page up again for another rotation, for a second pass over
    // the same page: the writer's page keeps its place but loses its runs.
    void turnPage(const Rect& mediaBox, int rotation);
    // Ends the writer's page (sheet or CSV written).
    void endPage();
    // 90, 180 or 270 when more than half of the visible characters taken
    // since the page was set up are unmirrored and turned by that many
    // degrees (within 5); 0 otherwise.
    int sidewaysTextRotation() const;
    // One character shown in `state` (none: default properties, no
    // geometry): dropped while a lone space or control character comes
    // before the page's first upright character; otherwise a new run
    // joined to the page's runs.
    void collectRunText(std::string_view text, Size textOffset, const QXPDFRenderState* state);
    // Appends `run` to the current page's runs, or joins it to the last run
    // (directly when within 1 point, across one word space `wordSpace`
    // when within 1 point of that; equal properties and baselines less than
    // 1 point apart only).
    void addToAllRunTextArray(const std::shared_ptr<QXExcelRunText>& run, double wordSpace);
    // The joining of addToAllRunTextArray for a character not yet made a
    // run: true when it was joined to `last` (text, width and right edge).
    static bool joinRun(QXExcelRunText& last, double yBase, double xLeft, double xRight,
                        const QXExcelRunTextProperty& rPr, std::string_view text, double textWidth,
                        double wordSpace);
    // The run properties of a character in `state` (the defaults without a
    // font).
    QXExcelRunTextProperty currentRProperty(const QXPDFRenderState* state) const;
    // The same, shared with the previous character when nothing it depends
    // on changed; `changed` tells whether it was made afresh.
    const QXExcelRunTextProperty& runProperty(const QXPDFRenderState* state, const Affine& display,
                                              bool& changed);
    // Whether a painted path with this display-space box may be a cell
    // fill: filled, at least kMinFillSide on both sides, a finite box.
    static bool isFillCandidate(const Rect& box, bool fill);
    // A filled path (display space) handed to the style registry as a fill,
    // unless its colour is black.
    void collectFills(const Path& displayPath, const QXPDFRGB& fillColor);

    QXExcelWriter* pdfWriter() const { return pdfWriter_.get(); }
    size_t runTextCount() const { return runTextCount_; }
    int currentPageRotationAngle() const { return currentPageRotationAngle_; }
    const Rect& currentPageMediaBox() const { return currentPageMediaBox_; }
    const Affine& currentPageTransform() const { return currentPageTransform_; }
    bool isNotScanTextYet() const { return isNotScanTextYet_; }

private:
    QXDisplayTextState displayState(const QXPDFRenderState* state) const;
    // Registers the run's font with the style registry.
    void registerRunFont(const QXExcelRunTextProperty& rPr);
    void interpretPage(const pdf::Page& page);
    // The exporter's part of setting a page up (beginPage, turnPage).
    void setUpPage(const Rect& mediaBox, int rotation);

    std::unique_ptr<QXExcelWriter> pdfWriter_;
    std::shared_ptr<QXPDFFontCache> fontCache_;
    size_t runTextCount_ = 0;
    int currentPageRotationAngle_ = 0;
    Rect currentPageMediaBox_;
    Affine currentPageTransform_;
    std::shared_ptr<QXPDFRenderStateStack> renderingStateStack_;
    bool isNotScanTextYet_ = true;
    // Visible characters taken on the page, and those turned by 90, 180 and
    // 270 degrees.
    uint64_t countedCharacters_ = 0;
    uint64_t turnedCharacters_[3] = {0, 0, 0};
    // The last font registered, so a run of the same font is not looked up
    // again.
    struct RegisteredFont {
        std::string rFont;
        std::string rFont_replace;
        std::string name;
        double sz = 0;
        bool b = false;
        bool i = false;
        std::string rgbColor;
        bool valid = false;
    };
    RegisteredFont lastFont_;
    // The properties of the last character and what they were made from,
    // so the characters of one font, size, slant and colour share them.
    struct PropertyKey {
        const QXPDFFont* font = nullptr;
        double a = 0, b = 0, c = 0, d = 0;
        double glyphSize = 0;
        int textRenderMode = 0;
        QXPDFRGB fill;
        bool operator==(const PropertyKey&) const = default;
    };
    PropertyKey lastPropertyKey_;
    QXExcelRunTextProperty lastProperty_;
    bool lastPropertyValid_ = false;
    // Keeps the font of lastPropertyKey_ alive, so its address is never
    // another font's.
    std::shared_ptr<QXPDFFont> lastPropertyFont_;
};

} // namespace rz
