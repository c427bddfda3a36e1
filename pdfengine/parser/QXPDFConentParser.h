// The content interpreter: one run over one content stream (a page's
// contents, a form XObject, an annotation's appearance stream, a soft-mask
// group or a tiling-pattern cell). The platform scanner tokenises the
// stream and calls one operator at a time; the parser keeps the graphics
// and text state on the caller's QXPDFRenderStateStack, resolves named
// resources through per-kind collections, and reports what is painted to
// its delegate. After a page's content it interprets the page's
// annotations when asked to.
//
// Running a page:
//
//     auto stack = std::make_shared<QXPDFRenderStateStack>();
//     QXPDFConentParser parser(page);          // or (page dictionary, content stream)
//     parser.setDelegate(&exporter);
//     parser.setRenderingStateStack(stack);
//     parser.startParser();
//
// Inside every event the delegate reads the top state of `stack`.
//
// Bad content never ends the page: an operator with missing or mistyped
// operands is skipped with a warning (warnings()), and after
// kQXPDFMaxOperatorErrors of them the rest of that stream is skipped.
// Exceptions thrown by the delegate end the run and reach the caller of
// startParser.
#pragma once

#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/parser/QXPDFConentParserDelegate.h"
#include "pdfengine/parser/QXPDFParserWarnings.h"
#include "platform/geometry/Geometry.h"
#include "platform/pdf/ContentScanner.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfObject.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXPDFAnnot;
class QXPDFAnnotCollection;
class QXPDFColorSpaceCollection;
class QXPDFExtGStateCollection;
class QXPDFFontCache;
class QXPDFFontCollection;
class QXPDFFormXObject;
class QXPDFImageCache;
class QXPDFMarkedContentStack;
class QXPDFPatternCollection;
class QXPDFPropertiesCollection;
class QXPDFRenderState;
class QXPDFRenderStateStack;
class QXPDFShadingCollection;
class QXPDFXObject;
class QXPDFXObjectCollection;

// The values of QXPDFConentParser::contentStreamType().
enum QXPDFContentStreamType : long {
    QXPDFContentStreamTypePage = 1,       // page or form content
    QXPDFContentStreamTypeAppearance = 2, // an annotation's appearance stream and its forms
};

class QXPDFConentParser : public QXPDFAnnotDelegate {
public:
    // A parser over a content stream whose resources belong to
    // `contentDict` (the page dictionary, a form's or a pattern's stream
    // dictionary). The parser keeps the content stream.
    QXPDFConentParser(const pdf::Object& contentDict, std::shared_ptr<const pdf::ContentStream> contentStream);
    // A page's contents with the page dictionary.
    explicit QXPDFConentParser(const pdf::Page& page);
    ~QXPDFConentParser() override;
    QXPDFConentParser(const QXPDFConentParser&) = delete;
    QXPDFConentParser& operator=(const QXPDFConentParser&) = delete;

    // Runs the stream once, then (isParserAnnots) the annotations of
    // contentDict. The state stack ends at the depth it had before.
    void startParser();

    QXPDFConentParserDelegate* delegate() const { return delegate_; }
    void setDelegate(QXPDFConentParserDelegate* d) { delegate_ = d; }
    // The stack; a new one (one default state) is made on first use when
    // none was handed in.
    const std::shared_ptr<QXPDFRenderStateStack>& renderingStateStack();
    void setRenderingStateStack(std::shared_ptr<QXPDFRenderStateStack> stack);
    // The top state of the stack.
    QXPDFRenderState& currentRenderingState();
    // Pushes a copy of the top state and returns it.
    QXPDFRenderState& pushRenderingState();
    // Pushes a copy of `state` (of the top state when null).
    QXPDFRenderState& pushRenderingState(const QXPDFRenderState* state);
    void popRenderingState();

    // When set (the initial value), startParser interprets the
    // annotations of contentDict after the content.
    long isParserAnnots() const { return isParserAnnots_; }
    void setIsParserAnnots(long v) { isParserAnnots_ = v; }
    long contentStreamType() const { return contentStreamType_; }
    void setContentStreamType(long v) { contentStreamType_ = v; }
    const std::shared_ptr<QXPDFAnnot>& contentAnnot() const { return contentAnnot_; }
    void setContentAnnot(std::shared_ptr<QXPDFAnnot> a) { contentAnnot_ = std::move(a); }
    long pageIndex() const { return pageIndex_; }
    void setPageIndex(long v) { pageIndex_ = v; }
    int formDepth() const { return formDepth_; }
    void setFormDepth(int v) { formDepth_ = v; }

    // BT operators met in this run, and show operators (Tj ' " TJ); both
    // all bits set once the run is over.
    uint64_t scanOperatorIndex_BegainText() const { return scanOperatorIndex_BegainText_; }
    uint64_t scanOperatorIndex_ShowText() const { return scanOperatorIndex_ShowText_; }

    // Page information read from contentDict itself: /MediaBox entries as
    // x, y, width, height; /Rotate brought into 0..359; the rotation
    // transform of the two.
    const Rect& pageMediaBox() const { return pageMediaBox_; }
    long pageRotationAngle() const { return pageRotationAngle_; }
    const Affine& pageTransform() const { return pageTransform_; }

    const pdf::Object& contentDict() const { return contentDict_; }
    const std::shared_ptr<const pdf::ContentStream>& contentStream() const { return contentStream_; }
    // The resource dictionary of the run (see resourcesWithDict).
    const pdf::Object& resources() const { return resources_; }
    // The /ColorSpace dictionary of the run's resources, or null.
    pdf::Object currentColorSpaceDict() const;

    // Resources used when contentDict has none of its own (and is no page
    // that inherits them): those of the stream that draws this one.
    void setInheritedResources(const pdf::Object& resources) { inheritedResources_ = resources; }
    // The files of extracted images go through this cache when one is set
    // (shared with child parsers); otherwise each image gets a new file in
    // the current job's temporary folder, removed when the job ends.
    void setImageCache(std::shared_ptr<QXPDFImageCache> cache);
    // Fonts come from this cache when one is set (shared with child
    // parsers): a font dictionary used by many pages of a document is made
    // once. Otherwise each run of a page makes its own fonts.
    void setFontCache(std::shared_ptr<QXPDFFontCache> cache);

    // The resource dictionary of a content dictionary: its /Resources, else
    // for a page those inherited through the page tree (loop-guarded),
    // else `inherited`; null when there is none.
    static pdf::Object resourcesWithDict(const pdf::Object& contentDict, const pdf::Object& inherited);

    // Collections of the run's resources. Null when the run has no
    // resources (the XObject collection is then empty); made when the run
    // starts and dropped when it ends.
    const std::shared_ptr<QXPDFFontCollection>& fontCollection() const { return fontCollection_; }
    const std::shared_ptr<QXPDFColorSpaceCollection>& colorSpaceCollection() const { return colorSpaceCollection_; }
    const std::shared_ptr<QXPDFXObjectCollection>& xObjectCollection() const { return xObjectCollection_; }
    const std::shared_ptr<QXPDFExtGStateCollection>& extGStateCollection() const { return extGStateCollection_; }
    const std::shared_ptr<QXPDFShadingCollection>& shadingCollection() const { return shadingCollection_; }
    // Made on the first pattern lookup.
    const std::shared_ptr<QXPDFPatternCollection>& patternCollection();
    const std::shared_ptr<QXPDFPropertiesCollection>& propertiesCollection() const { return propertiesCollection_; }
    const std::shared_ptr<QXPDFAnnotCollection>& annotCollection() const { return annotCollection_; }
    void setFontCollection(std::shared_ptr<QXPDFFontCollection> c) { fontCollection_ = std::move(c); }
    void setColorSpaceCollection(std::shared_ptr<QXPDFColorSpaceCollection> c) { colorSpaceCollection_ = std::move(c); }
    void setXObjectCollection(std::shared_ptr<QXPDFXObjectCollection> c) { xObjectCollection_ = std::move(c); }
    void setExtGStateCollection(std::shared_ptr<QXPDFExtGStateCollection> c) { extGStateCollection_ = std::move(c); }
    void setShadingCollection(std::shared_ptr<QXPDFShadingCollection> c) { shadingCollection_ = std::move(c); }
    void setPatternCollection(std::shared_ptr<QXPDFPatternCollection> c);
    void setPropertiesCollection(std::shared_ptr<QXPDFPropertiesCollection> c) { propertiesCollection_ = std::move(c); }
    const std::shared_ptr<QXPDFMarkedContentStack>& markedContentStack() const { return markedContentStack_; }

    // The collections of a resource dictionary's sub-dictionaries.
    // Fonts come from `cache` when one is given.
    static std::shared_ptr<QXPDFFontCollection> fontCollectionWithDict(const pdf::Object& resources,
                                                                       std::shared_ptr<QXPDFFontCache> cache = nullptr);
    static std::shared_ptr<QXPDFColorSpaceCollection> colorSpaceCollectionWithDict(const pdf::Object& resources);
    static std::shared_ptr<QXPDFXObjectCollection> xObjectCollectionWithDict(const pdf::Object& resources);
    static std::shared_ptr<QXPDFExtGStateCollection> extGStateCollectionWithDict(const pdf::Object& resources);
    static std::shared_ptr<QXPDFShadingCollection> shadingCollectionWithDict(const pdf::Object& resources);
    static std::shared_ptr<QXPDFPatternCollection> patternCollectionWithDict(const pdf::Object& resources);
    static std::shared_ptr<QXPDFPropertiesCollection> propertiesCollectionWithDict(const pdf::Object& resources);
    // The annotation collection of contentDict's /Annots (null when it has
    // none).
    std::shared_ptr<QXPDFAnnotCollection> annotCollectionWithDict(const pdf::Object& dict);
    // Page information, then the resource collections of the run.
    void collectResourcesWithDict(const pdf::Object& dict);
    // Drops the resource collections, the marked-content stack and the
    // annotation collection.
    void cleanResourcesCollection();

    // The annotation of the page whose running index is `index`, or null.
    // Inside an appearance stream's events (whose parser is a child run)
    // the annotation being drawn answers.
    std::shared_ptr<QXPDFAnnot> annotForPDFAnnotionIndex(long index) const;

    // Interprets an annotation's appearance stream by its /Subtype: an
    // image is reported; a form is run with its /BBox (through its /Matrix)
    // mapped onto `annotRect` and clipped to it; "PS" draws nothing. A
    // delegate's exception reaches the caller.
    void drawAppearanceStream(const pdf::Object& stream, const std::string& streamKey, const Rect& annotRect,
                              const std::shared_ptr<QXPDFAnnot>& annot);
    // The matrix that maps a form's /BBox, transformed by its /Matrix, onto
    // the annotation rectangle (a translation when the box is empty).
    static Affine appearanceMatrix(const Rect& bbox, const Affine& matrix, const Rect& annotRect);

    // The warnings of this page so far (shared with child parsers).
    const QXPDFParserWarnings& warnings() const;

    // The parser's side of the annotation interface.
    void QXPDFAnnotPushRenderingState(const QXPDFRenderState& state) override;
    void QXPDFAnnotPopRenderingState() override;
    QXPDFRenderState* QXPDFAnnotCurrentRenderingState() override;
    void QXPDFAnnot_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        const std::shared_ptr<QXPDFAnnot>& annot, const Rect& box, const std::string& text,
        const std::string& fontName, const QXPDFColor& fontColor, double fontSize, long alignment,
        bool borderStroke, bool borderFill) override;
    void QXPDFAnnot_didScanStream_streamKey(const std::shared_ptr<QXPDFAnnot>& annot, const pdf::Object& stream,
                                           const std::string& streamKey) override;
    void QXPDFAnnot_didScanPath_stroke_fill(const std::shared_ptr<QXPDFAnnot>& annot, const Path& path,
                                           bool stroke, bool fill) override;

    struct Context;
    struct Operator;
    struct ResourceSet;

private:
    QXPDFConentParser(const pdf::Object& contentDict, std::shared_ptr<const pdf::ContentStream> contentStream,
                      std::shared_ptr<Context> context);

    // The 69 operators in registration order.
    static const std::vector<Operator>& operatorList();
    void buildOperatorTable();
    void runOperator(pdf::Scanner& scanner, const Operator& op);
    void operatorError(pdf::Scanner& scanner, const std::string& category, const std::string& message);
    void warn(const std::string& category, const std::string& message);
    void collectionPageInfoIfNeed(const pdf::Object& dict);
    void runAnnotations();
    void rethrowDelegateException();

    // Operators (QXPDFConentParser.cpp).
    void opSave(const pdf::Object* args);
    void opRestore(const pdf::Object* args);
    void opConcat(const pdf::Object* args);
    void opLineWidth(const pdf::Object* args);
    void opLineCap(const pdf::Object* args);
    void opLineJoin(const pdf::Object* args);
    void opMiterLimit(const pdf::Object* args);
    void opFlatness(const pdf::Object* args);
    void opDash(const pdf::Object* args);
    void opNothing(const pdf::Object* args);
    void opColorSpaceStroke(const pdf::Object* args);
    void opColorSpaceFill(const pdf::Object* args);
    void opGrayStroke(const pdf::Object* args);
    void opGrayFill(const pdf::Object* args);
    void opRGBStroke(const pdf::Object* args);
    void opRGBFill(const pdf::Object* args);
    void opCMYKStroke(const pdf::Object* args);
    void opCMYKFill(const pdf::Object* args);
    void opColorStroke(const pdf::Object* args);
    void opColorFill(const pdf::Object* args);
    void opColorNStroke(const pdf::Object* args);
    void opColorNFill(const pdf::Object* args);
    void opMarkedContent(const pdf::Object* args);
    void opMarkedContentProperties(const pdf::Object* args);
    void opEndMarkedContent(const pdf::Object* args);
    void setColorSpace(bool stroke, const pdf::Object& operand);
    void setColorComponents(bool stroke, bool patternAware);
    void pushMarkedContent(const pdf::Object& tag, const pdf::Object* properties);

    // Text (QXPDFConentParserText.cpp).
    void opBeginText(const pdf::Object* args);
    void opEndText(const pdf::Object* args);
    void opShowText(const pdf::Object* args);
    void opNextLineShowText(const pdf::Object* args);
    void opSpacingNextLineShowText(const pdf::Object* args);
    void opShowTextArray(const pdf::Object* args);
    void opTextMatrix(const pdf::Object* args);
    void opTextMove(const pdf::Object* args);
    void opTextMoveSetLeading(const pdf::Object* args);
    void opTextNextLine(const pdf::Object* args);
    void opWordSpacing(const pdf::Object* args);
    void opCharSpacing(const pdf::Object* args);
    void opLeading(const pdf::Object* args);
    void opHorizontalScaling(const pdf::Object* args);
    void opTextRise(const pdf::Object* args);
    void opFont(const pdf::Object* args);
    void opTextRenderMode(const pdf::Object* args);
    void showTextString(const std::string& bytes);

    // Paths, painting, XObjects (QXPDFConentParserPaint.cpp).
    void opMoveTo(const pdf::Object* args);
    void opLineTo(const pdf::Object* args);
    void opCurveTo(const pdf::Object* args);
    void opCurveToV(const pdf::Object* args);
    void opCurveToY(const pdf::Object* args);
    void opClosePath(const pdf::Object* args);
    void opRectangle(const pdf::Object* args);
    void opClip(const pdf::Object* args);
    void opClipEvenOdd(const pdf::Object* args);
    void opStroke(const pdf::Object* args);
    void opCloseStroke(const pdf::Object* args);
    void opFill(const pdf::Object* args);
    void opFillEvenOdd(const pdf::Object* args);
    void opFillStroke(const pdf::Object* args);
    void opFillStrokeEvenOdd(const pdf::Object* args);
    void opCloseFillStroke(const pdf::Object* args);
    void opCloseFillStrokeEvenOdd(const pdf::Object* args);
    void opEndPath(const pdf::Object* args);
    void opShading(const pdf::Object* args);
    void opXObject(const pdf::Object* args);
    void opInlineImage(const pdf::Object* args);
    void opExtGState(const pdf::Object* args);
    // Draws an XObject as Do does (images reported, forms run by a child
    // parser on the same stack and delegate).
    void doXObject(const std::shared_ptr<QXPDFXObject>& xObject);
    // Runs a form with the top state, its CTM first concatenated with the
    // form's /Matrix. Forms nested deeper than kQXPDFMaxFormDepth, or
    // already running further up, are skipped with a warning.
    void parseFormXObject(QXPDFFormXObject& form, long streamType);
    void drawAppearance(const pdf::Object& stream, const std::string& streamKey, const Rect& annotRect,
                        const std::shared_ptr<QXPDFAnnot>& annot);
    void paintCurrentPath(bool stroke, bool fill);
    void endCurrentPath(const Path* devicePath);
    void applyPendingClip();
    void addClip(const Path& devicePath, int type);
    void reportImage(const std::shared_ptr<QXPDFImageXObject>& image);

    // Events, through which delegate exceptions leave the run.
    void sendText(const std::string& text, Size offset);
    void sendPath(const Path& path, bool stroke, bool fill);
    void sendPatternPath(const Path& path, bool stroke, bool fill);
    void sendShading(const std::shared_ptr<QXPDFShading>& shading);
    void sendImage(const std::shared_ptr<QXPDFImageXObject>& image);

    QXPDFConentParserDelegate* delegate_ = nullptr;
    Rect pageMediaBox_;
    long pageRotationAngle_ = 0;
    Affine pageTransform_;
    pdf::Object contentDict_;
    std::shared_ptr<const pdf::ContentStream> contentStream_;
    std::unique_ptr<pdf::OperatorTable> operatorTable_;
    long isParserAnnots_ = 1;
    long contentStreamType_ = QXPDFContentStreamTypePage;
    std::shared_ptr<QXPDFAnnot> contentAnnot_;
    std::shared_ptr<QXPDFRenderStateStack> renderingStateStack_;
    std::shared_ptr<QXPDFMarkedContentStack> markedContentStack_;
    std::shared_ptr<QXPDFFontCollection> fontCollection_;
    std::shared_ptr<QXPDFColorSpaceCollection> colorSpaceCollection_;
    std::shared_ptr<QXPDFAnnotCollection> annotCollection_;
    std::shared_ptr<QXPDFXObjectCollection> xObjectCollection_;
    std::shared_ptr<QXPDFExtGStateCollection> extGStateCollection_;
    std::shared_ptr<QXPDFShadingCollection> shadingCollection_;
    std::shared_ptr<QXPDFPatternCollection> patternCollection_;
    bool patternCollectionMade_ = false;
    std::shared_ptr<QXPDFPropertiesCollection> propertiesCollection_;
    uint64_t scanOperatorIndex_BegainText_ = 0;
    uint64_t scanOperatorIndex_ShowText_ = 0;
    long pageIndex_ = 0;
    int formDepth_ = 0;

    pdf::Object resources_;
    pdf::Object inheritedResources_;
    std::shared_ptr<ResourceSet> resourceSet_;
    std::shared_ptr<Context> context_;
    // A form's or appearance stream's run inside another run.
    bool isChildRun_ = false;
    // The running scan, its error count and the stack depth it started at.
    pdf::Scanner* scanner_ = nullptr;
    int operatorErrors_ = 0;
    size_t baseDepth_ = 0;
    // q operators beyond kQXPDFMaxStateDepth, cancelled by later Q operators.
    size_t ignoredSaves_ = 0;
};

} // namespace rz
