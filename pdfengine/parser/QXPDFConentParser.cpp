// The parser's run of a stream, its operator table with per-operator
// recovery, resources, and the graphics-state, colour and marked-content
// operators. Text showing is in QXPDFConentParserText.cpp, painting and
// XObjects in QXPDFConentParserPaint.cpp, the annotation side in
// QXPDFConentParserAnnots.cpp.
#include "pdfengine/parser/QXPDFConentParser.h"

#include "pdfengine/base/QXPDFParserLimits.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFPattern.h"
#include "pdfengine/color/QXPDFPatternColorSpace.h"
#include "pdfengine/parser/QXPDFConentParserInternal.h"
#include "pdfengine/state/QXPDFColorSpaceCollection.h"
#include "pdfengine/state/QXPDFExtGState.h"
#include "pdfengine/state/QXPDFFontCollection.h"
#include "pdfengine/state/QXPDFMarkedContent.h"
#include "pdfengine/state/QXPDFProperties.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFShadingCollection.h"
#include "pdfengine/state/QXPDFXObject.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rz {

using namespace qxparser;

// ---------------------------------------------------------------------------
// Helpers shared by the operator files

namespace qxparser {

double number(const pdf::Object& o)
{
    const double v = o.number().value_or(0);
    return std::isfinite(v) ? v : 0;
}

double toSingle(double v)
{
    const double limit = std::numeric_limits<float>::max();
    if (!std::isfinite(v))
        return 0;
    return double(float(std::fmax(-limit, std::fmin(limit, v))));
}

int toInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::fmax(-2147483647.0, std::fmin(2147483647.0, std::trunc(v))));
}

std::string objectText(const pdf::Object& o)
{
    std::string s = o.unparse();
    if (s.size() > 60)
        s = s.substr(0, 57) + "...";
    return s;
}

} // namespace qxparser

// ---------------------------------------------------------------------------
// Operator table

struct QXPDFConentParser::Operator {
    const char* name;
    // One character per operand, the last operand last: n number, / name,
    // s string, a array, d dictionary, p dictionary or name, S stream, o
    // anything; "*" when the handler reads the operands itself.
    const char* signature;
    void (QXPDFConentParser::*handler)(const pdf::Object* args);
};

namespace {



bool operandMatches(char kind, const pdf::Object& o)
{
    switch (kind) {
    case 'n': return o.isNumber();
    case '/': return o.isName();
    case 's': return o.isString();
    case 'a': return o.isArray();
    case 'd': return o.isDictionary();
    case 'p': return o.isDictionary() || o.isName();
    case 'S': return o.isStream();
    default: return true;
    }
}

const char* kindText(char kind)
{
    switch (kind) {
    case 'n': return "number";
    case '/': return "name";
    case 's': return "string";
    case 'a': return "array";
    case 'd': return "dictionary";
    case 'p': return "dictionary or name";
    case 'S': return "stream";
    default: return "object";
    }
}

// Device spaces installed by the gray, RGB and CMYK operators, one per key.
template <class Space>
std::shared_ptr<const QXPDFColorSpace> deviceSpace(const char* key)
{
    auto s = std::make_shared<Space>();
    s->setObjectKey(key);
    return s;
}

const std::shared_ptr<const QXPDFColorSpace>& grayStrokeSpace()
{
    static const auto s = deviceSpace<QXPDFDeviceGrayColorSpace>("opt_G");
    return s;
}
const std::shared_ptr<const QXPDFColorSpace>& grayFillSpace()
{
    static const auto s = deviceSpace<QXPDFDeviceGrayColorSpace>("opt_g");
    return s;
}
const std::shared_ptr<const QXPDFColorSpace>& rgbStrokeSpace()
{
    static const auto s = deviceSpace<QXPDFDeviceRGBColorSpace>("opt_RG");
    return s;
}
const std::shared_ptr<const QXPDFColorSpace>& rgbFillSpace()
{
    static const auto s = deviceSpace<QXPDFDeviceRGBColorSpace>("opt_rg");
    return s;
}
const std::shared_ptr<const QXPDFColorSpace>& cmykStrokeSpace()
{
    static const auto s = deviceSpace<QXPDFDeviceCMYKColorSpace>("opt_K");
    return s;
}
const std::shared_ptr<const QXPDFColorSpace>& cmykFillSpace()
{
    static const auto s = deviceSpace<QXPDFDeviceCMYKColorSpace>("opt_k");
    return s;
}

} // namespace

const std::vector<QXPDFConentParser::Operator>& QXPDFConentParser::operatorList()
{
    using P = QXPDFConentParser;
    static const std::vector<Operator> operators = {
        {"BT", "", &P::opBeginText},
        {"ET", "", &P::opEndText},
        {"Tj", "s", &P::opShowText},
        {"'", "s", &P::opNextLineShowText},
        {"\"", "nns", &P::opSpacingNextLineShowText},
        {"TJ", "a", &P::opShowTextArray},
        {"Tm", "nnnnnn", &P::opTextMatrix},
        {"Td", "nn", &P::opTextMove},
        {"TD", "nn", &P::opTextMoveSetLeading},
        {"T*", "", &P::opTextNextLine},
        {"Tw", "n", &P::opWordSpacing},
        {"Tc", "n", &P::opCharSpacing},
        {"TL", "n", &P::opLeading},
        {"Tz", "n", &P::opHorizontalScaling},
        {"Ts", "n", &P::opTextRise},
        {"Tf", "/n", &P::opFont},
        {"Tr", "n", &P::opTextRenderMode},
        {"MP", "/", &P::opNothing},
        {"DP", "/p", &P::opNothing},
        {"BMC", "/", &P::opMarkedContent},
        {"BDC", "/p", &P::opMarkedContentProperties},
        {"EMC", "", &P::opEndMarkedContent},
        {"CS", "o", &P::opColorSpaceStroke},
        {"cs", "o", &P::opColorSpaceFill},
        {"G", "n", &P::opGrayStroke},
        {"g", "n", &P::opGrayFill},
        {"K", "nnnn", &P::opCMYKStroke},
        {"k", "nnnn", &P::opCMYKFill},
        {"RG", "nnn", &P::opRGBStroke},
        {"rg", "nnn", &P::opRGBFill},
        {"ri", "/", &P::opNothing},
        {"SC", "*", &P::opColorStroke},
        {"sc", "*", &P::opColorFill},
        {"SCN", "*", &P::opColorNStroke},
        {"scn", "*", &P::opColorNFill},
        {"gs", "/", &P::opExtGState},
        {"cm", "nnnnnn", &P::opConcat},
        {"q", "", &P::opSave},
        {"Q", "", &P::opRestore},
        {"BX", "", &P::opNothing},
        {"EX", "", &P::opNothing},
        {"b", "", &P::opCloseFillStroke},
        {"B", "", &P::opFillStroke},
        {"b*", "", &P::opCloseFillStrokeEvenOdd},
        {"B*", "", &P::opFillStrokeEvenOdd},
        {"f", "", &P::opFill},
        {"F", "", &P::opFill},
        {"f*", "", &P::opFillEvenOdd},
        {"sh", "/", &P::opShading},
        {"i", "n", &P::opFlatness},
        {"d", "an", &P::opDash},
        {"w", "n", &P::opLineWidth},
        {"j", "n", &P::opLineJoin},
        {"J", "n", &P::opLineCap},
        {"M", "n", &P::opMiterLimit},
        {"re", "nnnn", &P::opRectangle},
        {"l", "nn", &P::opLineTo},
        {"m", "nn", &P::opMoveTo},
        {"h", "", &P::opClosePath},
        {"s", "", &P::opCloseStroke},
        {"S", "", &P::opStroke},
        {"n", "", &P::opEndPath},
        {"W", "", &P::opClip},
        {"W*", "", &P::opClipEvenOdd},
        {"c", "nnnnnn", &P::opCurveTo},
        {"v", "nnnn", &P::opCurveToV},
        {"y", "nnnn", &P::opCurveToY},
        {"Do", "/", &P::opXObject},
        {"EI", "*", &P::opInlineImage},
    };
    return operators;
}

// ---------------------------------------------------------------------------
// Construction

QXPDFConentParser::QXPDFConentParser(const pdf::Object& contentDict,
                                     std::shared_ptr<const pdf::ContentStream> contentStream)
    : QXPDFConentParser(contentDict, std::move(contentStream), std::make_shared<Context>())
{
}

QXPDFConentParser::QXPDFConentParser(const pdf::Page& page)
    : QXPDFConentParser(page.dictionary(), std::make_shared<const pdf::ContentStream>(page))
{
}

QXPDFConentParser::QXPDFConentParser(const pdf::Object& contentDict,
                                     std::shared_ptr<const pdf::ContentStream> contentStream,
                                     std::shared_ptr<Context> context)
    : contentDict_(contentDict), contentStream_(std::move(contentStream)), context_(std::move(context))
{
}

QXPDFConentParser::~QXPDFConentParser()
{
    cleanResourcesCollection();
    delegate_ = nullptr;
}

void QXPDFConentParser::buildOperatorTable()
{
    operatorTable_ = std::make_unique<pdf::OperatorTable>();
    for (const Operator& op : operatorList()) {
        const Operator* p = &op;
        operatorTable_->set(op.name, [this, p](pdf::Scanner& scanner) { runOperator(scanner, *p); });
    }
}

void QXPDFConentParser::warn(const std::string& category, const std::string& message)
{
    context_->warnings.add(category, message);
}

const QXPDFParserWarnings& QXPDFConentParser::warnings() const
{
    return context_->warnings;
}

void QXPDFConentParser::setImageCache(std::shared_ptr<QXPDFImageCache> cache)
{
    context_->imageCache = std::move(cache);
}

void QXPDFConentParser::setFontCache(std::shared_ptr<QXPDFFontCache> cache)
{
    context_->fontCache = std::move(cache);
}

void QXPDFConentParser::operatorError(pdf::Scanner& scanner, const std::string& category,
                                      const std::string& message)
{
    warn(category, message);
    if (++operatorErrors_ == kQXPDFMaxOperatorErrors) {
        warn(QXPDFWarning::kBudget, "error budget spent after operator " +
                                        std::to_string(scanner.operatorCount()) + "; rest of the stream skipped");
        scanner.stop();
    }
}

void QXPDFConentParser::runOperator(pdf::Scanner& scanner, const Operator& op)
{
    const std::vector<pdf::Object>& operands = scanner.operands();
    const size_t needed = std::strcmp(op.signature, "*") == 0 ? 0 : std::strlen(op.signature);
    if (operands.size() < needed) {
        operatorError(scanner, QXPDFWarning::kOperand,
                      std::string(op.name) + ": " + std::to_string(needed) + " operands needed, " +
                          std::to_string(operands.size()) + " given");
        return;
    }
    const pdf::Object* args = operands.data() + (operands.size() - needed);
    for (size_t i = 0; i < needed; ++i)
        if (!operandMatches(op.signature[i], args[i])) {
            operatorError(scanner, QXPDFWarning::kOperand,
                          std::string(op.name) + ": operand " + std::to_string(i + 1) + " is not a " +
                              kindText(op.signature[i]) + ": " + objectText(args[i]));
            return;
        }
    try {
        (this->*op.handler)(args);
    } catch (const AbortRun&) {
        scanner.stop();
    } catch (const std::exception& e) {
        operatorError(scanner, QXPDFWarning::kException, std::string(op.name) + ": " + e.what());
    } catch (...) {
        operatorError(scanner, QXPDFWarning::kException, std::string(op.name) + ": failed");
    }
}

// ---------------------------------------------------------------------------
// The run

void QXPDFConentParser::startParser()
{
    markedContentStack_ = std::make_shared<QXPDFMarkedContentStack>();
    collectResourcesWithDict(contentDict_);
    scanOperatorIndex_BegainText_ = 0;
    scanOperatorIndex_ShowText_ = 0;

    QXPDFRenderStateStack& stack = *renderingStateStack();
    baseDepth_ = std::max<size_t>(stack.depth(), 1);
    stack.topRenderingState();
    ignoredSaves_ = 0;
    operatorErrors_ = 0;
    if (!operatorTable_)
        buildOperatorTable();
    if (contentStream_) {
        pdf::Scanner scanner(*contentStream_, *operatorTable_);
        scanner_ = &scanner;
        scanner.scan();
        scanner_ = nullptr;
    }
    // States the stream saved and never restored are dropped here, so the
    // caller finds the stack as it left it.
    stack.restoreDepth(baseDepth_);

    cleanResourcesCollection();
    if (isParserAnnots_ && !context_->delegateException)
        runAnnotations();
    scanOperatorIndex_BegainText_ = ~uint64_t(0);
    scanOperatorIndex_ShowText_ = ~uint64_t(0);
    if (!isChildRun_)
        rethrowDelegateException();
}

void QXPDFConentParser::rethrowDelegateException()
{
    if (context_->delegateException) {
        const std::exception_ptr e = context_->delegateException;
        context_->delegateException = nullptr;
        std::rethrow_exception(e);
    }
}

const std::shared_ptr<QXPDFRenderStateStack>& QXPDFConentParser::renderingStateStack()
{
    if (!renderingStateStack_)
        renderingStateStack_ = std::make_shared<QXPDFRenderStateStack>();
    return renderingStateStack_;
}

void QXPDFConentParser::setRenderingStateStack(std::shared_ptr<QXPDFRenderStateStack> stack)
{
    renderingStateStack_ = std::move(stack);
}

QXPDFRenderState& QXPDFConentParser::currentRenderingState()
{
    return renderingStateStack()->topRenderingState();
}

QXPDFRenderState& QXPDFConentParser::pushRenderingState()
{
    return renderingStateStack()->pushRenderingState();
}

QXPDFRenderState& QXPDFConentParser::pushRenderingState(const QXPDFRenderState* state)
{
    if (!state)
        return pushRenderingState();
    return renderingStateStack()->pushRenderingState(state->copy());
}

void QXPDFConentParser::popRenderingState()
{
    renderingStateStack()->popRenderingState();
}

// ---------------------------------------------------------------------------
// Resources

pdf::Object QXPDFConentParser::resourcesWithDict(const pdf::Object& contentDict, const pdf::Object& inherited)
{
    const pdf::Object own = contentDict.get("Resources");
    if (own.isDictionary())
        return own;
    // Pages inherit their resources from any level of the page tree.
    const bool isPage = contentDict.get("Type").name() == "Page" ||
                        (contentDict.hasKey("Parent") && !contentDict.hasKey("Subtype"));
    if (isPage) {
        std::vector<pdf::Object> visited{contentDict};
        pdf::Object node = contentDict.get("Parent");
        for (int depth = 0; node.isDictionary() && depth < kQXPDFMaxResourceInheritanceDepth; ++depth) {
            for (const pdf::Object& seen : visited)
                if (seen.sameObject(node))
                    return inherited.isDictionary() ? inherited : pdf::Object();
            const pdf::Object r = node.get("Resources");
            if (r.isDictionary())
                return r;
            visited.push_back(node);
            node = node.get("Parent");
        }
    }
    return inherited.isDictionary() ? inherited : pdf::Object();
}

pdf::Object QXPDFConentParser::currentColorSpaceDict() const
{
    const pdf::Object d = resources_.get("ColorSpace");
    return d.isDictionary() ? d : pdf::Object();
}

std::shared_ptr<QXPDFFontCollection> QXPDFConentParser::fontCollectionWithDict(const pdf::Object& resources,
                                                                               std::shared_ptr<QXPDFFontCache> cache)
{
    return std::make_shared<QXPDFFontCollection>(resources.get("Font"), std::move(cache));
}

std::shared_ptr<QXPDFColorSpaceCollection> QXPDFConentParser::colorSpaceCollectionWithDict(const pdf::Object& resources)
{
    return std::make_shared<QXPDFColorSpaceCollection>(resources.get("ColorSpace"));
}

std::shared_ptr<QXPDFXObjectCollection> QXPDFConentParser::xObjectCollectionWithDict(const pdf::Object& resources)
{
    return std::make_shared<QXPDFXObjectCollection>(resources.get("XObject"));
}

std::shared_ptr<QXPDFExtGStateCollection> QXPDFConentParser::extGStateCollectionWithDict(const pdf::Object& resources)
{
    return std::make_shared<QXPDFExtGStateCollection>(resources.get("ExtGState"));
}

std::shared_ptr<QXPDFShadingCollection> QXPDFConentParser::shadingCollectionWithDict(const pdf::Object& resources)
{
    return std::make_shared<QXPDFShadingCollection>(resources.get("Shading"));
}

std::shared_ptr<QXPDFPatternCollection> QXPDFConentParser::patternCollectionWithDict(const pdf::Object& resources)
{
    // Tiling cells without resources of their own draw with these.
    return std::make_shared<QXPDFPatternCollection>(resources.get("Pattern"), resources);
}

std::shared_ptr<QXPDFPropertiesCollection> QXPDFConentParser::propertiesCollectionWithDict(const pdf::Object& resources)
{
    return std::make_shared<QXPDFPropertiesCollection>(resources.get("Properties"));
}

void QXPDFConentParser::collectionPageInfoIfNeed(const pdf::Object& dict)
{
    long angle = 0;
    const pdf::Object rotate = dict.get("Rotate");
    if (const auto i = rotate.integer())
        angle = long(*i % 360);
    else if (const auto r = rotate.number())
        angle = long(std::fmod(std::trunc(*r), 360.0));
    angle %= 360;
    if (angle < 0)
        angle += 360;
    pageRotationAngle_ = angle;

    pageMediaBox_ = Rect();
    const pdf::Object box = dict.get("MediaBox");
    double v[4] = {};
    for (size_t i = 0; i < 4; ++i)
        if (!QXPDFUtilities::GetNumberWithPDFArray(box, i, &v[i]))
            v[i] = 0;
    pageMediaBox_ = Rect(v[0], v[1], v[2], v[3]);
    pageTransform_ = Affine::identity();
    if (angle > 0 && v[2] > 0 && v[3] > 0)
        pageTransform_ = QXPageRotationTransform(int(angle), v[2], v[3]);
}

void QXPDFConentParser::collectResourcesWithDict(const pdf::Object& dict)
{
    collectionPageInfoIfNeed(dict);
    resources_ = resourcesWithDict(dict, inheritedResources_);
    patternCollection_.reset();
    patternCollectionMade_ = false;
    if (!resources_.isDictionary()) {
        fontCollection_.reset();
        colorSpaceCollection_.reset();
        xObjectCollection_ = std::make_shared<QXPDFXObjectCollection>();
        extGStateCollection_.reset();
        shadingCollection_.reset();
        propertiesCollection_.reset();
        resourceSet_.reset();
        return;
    }
    // One set of collections per resource dictionary and page: a form drawn
    // many times, or forms sharing the page's resources, reuse the fonts,
    // colour spaces and images already made.
    std::shared_ptr<ResourceSet>& set = context_->resourceSets[resources_];
    if (!set) {
        set = std::make_shared<ResourceSet>();
        set->fonts = fontCollectionWithDict(resources_, context_->fontCache);
        set->colorSpaces = colorSpaceCollectionWithDict(resources_);
        set->xObjects = xObjectCollectionWithDict(resources_);
        set->extGStates = extGStateCollectionWithDict(resources_);
        set->shadings = shadingCollectionWithDict(resources_);
        set->properties = propertiesCollectionWithDict(resources_);
    }
    resourceSet_ = set;
    fontCollection_ = set->fonts;
    colorSpaceCollection_ = set->colorSpaces;
    xObjectCollection_ = set->xObjects;
    extGStateCollection_ = set->extGStates;
    shadingCollection_ = set->shadings;
    propertiesCollection_ = set->properties;
}

const std::shared_ptr<QXPDFPatternCollection>& QXPDFConentParser::patternCollection()
{
    if (!patternCollectionMade_) {
        patternCollectionMade_ = true;
        if (resourceSet_) {
            if (!resourceSet_->patterns)
                resourceSet_->patterns = patternCollectionWithDict(resources_);
            patternCollection_ = resourceSet_->patterns;
        }
    }
    return patternCollection_;
}

void QXPDFConentParser::setPatternCollection(std::shared_ptr<QXPDFPatternCollection> c)
{
    patternCollection_ = std::move(c);
    patternCollectionMade_ = true;
}

void QXPDFConentParser::cleanResourcesCollection()
{
    fontCollection_.reset();
    colorSpaceCollection_.reset();
    xObjectCollection_.reset();
    extGStateCollection_.reset();
    shadingCollection_.reset();
    patternCollection_.reset();
    patternCollectionMade_ = false;
    propertiesCollection_.reset();
    resourceSet_.reset();
    markedContentStack_.reset();
    annotCollection_.reset();
}

// ---------------------------------------------------------------------------
// Graphics state

void QXPDFConentParser::opNothing(const pdf::Object*)
{
}

void QXPDFConentParser::opSave(const pdf::Object*)
{
    QXPDFRenderStateStack& stack = *renderingStateStack();
    if (stack.depth() >= kQXPDFMaxStateDepth) {
        if (ignoredSaves_++ == 0)
            warn(QXPDFWarning::kStack, "q: more than " + std::to_string(kQXPDFMaxStateDepth) +
                                           " states saved; deeper saves ignored");
        return;
    }
    stack.pushRenderingState();
}

void QXPDFConentParser::opRestore(const pdf::Object*)
{
    if (ignoredSaves_ > 0) {
        --ignoredSaves_;
        return;
    }
    QXPDFRenderStateStack& stack = *renderingStateStack();
    if (stack.depth() <= baseDepth_) {
        warn(QXPDFWarning::kStack, "Q: no state of this stream to restore; ignored");
        return;
    }
    stack.popRenderingState();
}

void QXPDFConentParser::opConcat(const pdf::Object* a)
{
    QXPDFRenderState& st = currentRenderingState();
    const Affine m{number(a[0]), number(a[1]), number(a[2]), number(a[3]), number(a[4]), number(a[5])};
    st.setCtm(concat(m, st.ctm()));
}

void QXPDFConentParser::opLineWidth(const pdf::Object* a)
{
    currentRenderingState().setLineWidth(number(a[0]));
}

void QXPDFConentParser::opLineCap(const pdf::Object* a)
{
    currentRenderingState().setLineCapStyle(toInt(number(a[0])));
}

void QXPDFConentParser::opLineJoin(const pdf::Object* a)
{
    currentRenderingState().setLineJoinStyle(toInt(number(a[0])));
}

void QXPDFConentParser::opMiterLimit(const pdf::Object* a)
{
    currentRenderingState().setLineMiterLimit(number(a[0]));
}

void QXPDFConentParser::opFlatness(const pdf::Object* a)
{
    currentRenderingState().setLineFlatness(number(a[0]));
}

void QXPDFConentParser::opDash(const pdf::Object* a)
{
    std::vector<double> dashes;
    for (size_t i = 0; i < a[0].size(); ++i)
        if (const pdf::Object e = a[0].at(i); e.isNumber())
            dashes.push_back(number(e));
    QXPDFRenderState& st = currentRenderingState();
    st.setLineDashPattern(std::move(dashes));
    st.setLineDashPhase(number(a[1]));
}

// ---------------------------------------------------------------------------
// Colour

void QXPDFConentParser::setColorSpace(bool stroke, const pdf::Object& operand)
{
    std::shared_ptr<QXPDFColorSpace> space;
    if (const auto name = operand.name(); name && colorSpaceCollection_)
        space = colorSpaceCollection_->colorSpaceNamed(*name);
    if (!space)
        space = QXPDFColorSpace::ColorSpaceWithObject(operand, "opt_CS");
    if (!space) {
        warn(QXPDFWarning::kResource, std::string(stroke ? "CS" : "cs") + ": unknown colour space " +
                                          objectText(operand));
        return;
    }
    QXPDFRenderState& st = currentRenderingState();
    const QXPDFColor initial = space->getDefaultColor();
    if (stroke) {
        st.setStrokePattern(nullptr);
        st.setStrokeColorSpace(std::move(space));
        st.setStrokeColor(initial);
    } else {
        st.setFillPattern(nullptr);
        st.setFillColorSpace(std::move(space));
        st.setFillColor(initial);
    }
}

void QXPDFConentParser::opColorSpaceStroke(const pdf::Object* a)
{
    setColorSpace(true, a[0]);
}

void QXPDFConentParser::opColorSpaceFill(const pdf::Object* a)
{
    setColorSpace(false, a[0]);
}

namespace {

// A colour with the given operands as its first components.
QXPDFColor colorOf(const pdf::Object* a, int count)
{
    QXPDFColor c = QXPDFColorSpace::defaultPDFColor();
    for (int i = 0; i < count; ++i)
        c.c[size_t(i)] = QXPDFColorComponentFromOperand(number(a[i]));
    return c;
}

void setDeviceColor(QXPDFRenderState& st, bool stroke, const QXPDFColor& color,
                    const std::shared_ptr<const QXPDFColorSpace>& space)
{
    if (stroke) {
        st.setStrokeColor(color);
        st.setStrokeColorSpace(space);
        st.setStrokePattern(nullptr);
    } else {
        st.setFillColor(color);
        st.setFillColorSpace(space);
        st.setFillPattern(nullptr);
    }
}

} // namespace

void QXPDFConentParser::opGrayStroke(const pdf::Object* a)
{
    setDeviceColor(currentRenderingState(), true, colorOf(a, 1), grayStrokeSpace());
}

void QXPDFConentParser::opGrayFill(const pdf::Object* a)
{
    setDeviceColor(currentRenderingState(), false, colorOf(a, 1), grayFillSpace());
}

void QXPDFConentParser::opRGBStroke(const pdf::Object* a)
{
    setDeviceColor(currentRenderingState(), true, colorOf(a, 3), rgbStrokeSpace());
}

void QXPDFConentParser::opRGBFill(const pdf::Object* a)
{
    setDeviceColor(currentRenderingState(), false, colorOf(a, 3), rgbFillSpace());
}

void QXPDFConentParser::opCMYKStroke(const pdf::Object* a)
{
    setDeviceColor(currentRenderingState(), true, colorOf(a, 4), cmykStrokeSpace());
}

void QXPDFConentParser::opCMYKFill(const pdf::Object* a)
{
    setDeviceColor(currentRenderingState(), false, colorOf(a, 4), cmykFillSpace());
}

void QXPDFConentParser::setColorComponents(bool stroke, bool patternAware)
{
    const char* opName = stroke ? (patternAware ? "SCN" : "SC") : (patternAware ? "scn" : "sc");
    QXPDFRenderState& st = currentRenderingState();
    const std::shared_ptr<const QXPDFColorSpace>& space = stroke ? st.strokeColorSpace() : st.fillColorSpace();
    const std::vector<pdf::Object>& ops = scanner_->operands();
    const long n = space ? std::clamp<long>(space->getNComps(), 0, kQXPDFMaxColorOperands) : 0;

    // The numbers at the top of the operand stack, in stream order.
    auto trailingNumbers = [&](size_t end, long wanted) {
        size_t first = end;
        while (first > 0 && long(end - first) < wanted && ops[first - 1].isNumber())
            --first;
        return first;
    };

    if (patternAware && space && space->getMode() == QXPDFColorSpaceModePattern) {
        if (!ops.empty() && ops.back().isName()) {
            const std::string name = *ops.back().name();
            std::shared_ptr<QXPDFPattern> pattern;
            if (const auto& patterns = patternCollection())
                pattern = patterns->objectNamed(name);
            if (!pattern) {
                warn(QXPDFWarning::kResource, std::string(opName) + ": unknown pattern " + name);
            } else if (const auto* ps = dynamic_cast<const QXPDFPatternColorSpace*>(space.get());
                       ps && ps->under()) {
                // An uncoloured pattern paints in the colour given before
                // its name, in the underlying space; the pattern keeps it on
                // a copy of its own.
                const long m = std::clamp<long>(ps->under()->getNComps(), 0, kQXPDFMaxColorOperands);
                const size_t end = ops.size() - 1;
                const size_t first = trailingNumbers(end, m);
                if (m > 0 && long(end - first) == m) {
                    pattern = pattern->copy();
                    pattern->setUncoloredColor(colorOf(ops.data() + first, int(m)), *ps->under());
                }
            }
            if (stroke)
                st.setStrokePattern(std::move(pattern));
            else
                st.setFillPattern(std::move(pattern));
            return;
        }
        const size_t first = trailingNumbers(ops.size(), n);
        const QXPDFColor color = colorOf(ops.data() + first, int(ops.size() - first));
        if (stroke)
            st.setStrokeColor(color);
        else
            st.setFillColor(color);
        return;
    }

    const size_t first = trailingNumbers(ops.size(), n);
    const long given = long(ops.size() - first);
    if (n > 0 && given == 0) {
        operatorError(*scanner_, QXPDFWarning::kOperand, std::string(opName) + ": no colour components given");
        return;
    }
    QXPDFColor color = QXPDFColorSpace::defaultPDFColor();
    if (given == 1) {
        // One number for several components sets them all.
        for (long i = 0; i < n; ++i)
            color.c[size_t(i)] = QXPDFColorComponentFromOperand(number(ops[first]));
    } else {
        for (long i = 0; i < given; ++i)
            color.c[size_t(i)] = QXPDFColorComponentFromOperand(number(ops[first + size_t(i)]));
    }
    if (n == 1)
        color.c[1] = color.c[2] = color.c[0];
    if (stroke) {
        st.setStrokeColor(color);
        st.setStrokePattern(nullptr);
    } else {
        st.setFillColor(color);
        st.setFillPattern(nullptr);
    }
}

void QXPDFConentParser::opColorStroke(const pdf::Object*)
{
    setColorComponents(true, false);
}

void QXPDFConentParser::opColorFill(const pdf::Object*)
{
    setColorComponents(false, false);
}

void QXPDFConentParser::opColorNStroke(const pdf::Object*)
{
    setColorComponents(true, true);
}

void QXPDFConentParser::opColorNFill(const pdf::Object*)
{
    setColorComponents(false, true);
}

// ---------------------------------------------------------------------------
// Marked content

void QXPDFConentParser::pushMarkedContent(const pdf::Object& tag, const pdf::Object* properties)
{
    if (!markedContentStack_)
        return;
    if (markedContentStack_->stack().size() >= kQXPDFMaxMarkedContentDepth) {
        warn(QXPDFWarning::kContent, "marked content nested too deep; entry not kept");
        return;
    }
    QXPDFMarkedContent& entry = markedContentStack_->pushMarkedContent();
    const pdf::Object& top = properties ? *properties : tag;
    if (top.isDictionary()) {
        if (top.get("ActualText").isString())
            entry.setKind(1);
        return;
    }
    // An optional-content tag names its property list below it.
    const std::string name = top.name().value_or("");
    if (properties && name.compare(0, 2, "OC") == 0) {
        entry.setKind(0);
        entry.setOcSuppressed(1);
    }
}

void QXPDFConentParser::opMarkedContent(const pdf::Object* a)
{
    pushMarkedContent(a[0], nullptr);
}

void QXPDFConentParser::opMarkedContentProperties(const pdf::Object* a)
{
    pushMarkedContent(a[0], &a[1]);
}

void QXPDFConentParser::opEndMarkedContent(const pdf::Object*)
{
    // Entries close with their EMC; the stack's bottom entry stays.
    if (markedContentStack_ && markedContentStack_->stack().size() > 1)
        markedContentStack_->popMarkedContent();
}

// ---------------------------------------------------------------------------
// Events

namespace {

template <class F>
void deliver(QXPDFConentParser::Context& context, F&& f)
{
    try {
        f();
    } catch (...) {
        context.delegateException = std::current_exception();
        throw AbortRun{};
    }
}

} // namespace

void QXPDFConentParser::sendText(const std::string& text, Size offset)
{
    if (delegate_)
        deliver(*context_, [&] { delegate_->QXPDFConentParser_didScanText_textOffset(*this, text, offset); });
}

void QXPDFConentParser::sendPath(const Path& path, bool stroke, bool fill)
{
    if (delegate_)
        deliver(*context_,
                [&] { delegate_->QXPDFConentParser_didScanPath_stroke_fill(*this, path, stroke, fill); });
}

void QXPDFConentParser::sendPatternPath(const Path& path, bool stroke, bool fill)
{
    if (delegate_)
        deliver(*context_,
                [&] { delegate_->QXPDFConentParser_didScanPatternPath_stroke_fill(*this, path, stroke, fill); });
}

void QXPDFConentParser::sendShading(const std::shared_ptr<QXPDFShading>& shading)
{
    if (delegate_)
        deliver(*context_, [&] { delegate_->QXPDFConentParser_didScanPaintShading(*this, shading); });
}

void QXPDFConentParser::sendImage(const std::shared_ptr<QXPDFImageXObject>& image)
{
    if (delegate_)
        deliver(*context_, [&] { delegate_->QXPDFConentParser_didScanXObjectImage(*this, image); });
}

// ---------------------------------------------------------------------------
// The annotation interface (state side)

void QXPDFConentParser::QXPDFAnnotPushRenderingState(const QXPDFRenderState& state)
{
    pushRenderingState(&state);
}

void QXPDFConentParser::QXPDFAnnotPopRenderingState()
{
    popRenderingState();
}

QXPDFRenderState* QXPDFConentParser::QXPDFAnnotCurrentRenderingState()
{
    return &currentRenderingState();
}

void QXPDFConentParser::QXPDFAnnot_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
    const std::shared_ptr<QXPDFAnnot>&, const Rect& box, const std::string& text, const std::string& fontName,
    const QXPDFColor& fontColor, double fontSize, long alignment, bool borderStroke, bool borderFill)
{
    if (!delegate_)
        return;
    delegate_->QXPDFConentParser_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
        *this, box, text, fontName, fontColor, fontSize, alignment, borderStroke, borderFill);
}

void QXPDFConentParser::QXPDFAnnot_didScanPath_stroke_fill(const std::shared_ptr<QXPDFAnnot>&, const Path& path,
                                                           bool stroke, bool fill)
{
    if (delegate_)
        delegate_->QXPDFConentParser_didScanPath_stroke_fill(*this, path, stroke, fill);
}

} // namespace rz
