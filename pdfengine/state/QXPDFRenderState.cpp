#include "pdfengine/state/QXPDFRenderState.h"

#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/state/QXPDFExtGState.h"

#include <cmath>

namespace rz {

namespace {

// The colour a new state starts with: no components given, the unused
// components at 255.
QXPDFColor initialStateColor()
{
    QXPDFColor c;
    c.length = 0;
    c.isNull = 0;
    for (int i = 0; i < kQXPDFMaxColorComponents; ++i)
        c.c[size_t(i)] = i < 4 ? 0 : 255;
    return c;
}

// Colour spaces are never changed once made, so every new state shares one.
const std::shared_ptr<const QXPDFColorSpace>& initialColorSpace()
{
    static const std::shared_ptr<const QXPDFColorSpace> space = [] {
        auto s = std::make_shared<QXPDFDeviceRGBColorSpace>();
        s->setObjectKey("QXPDFRenderState init");
        return s;
    }();
    return space;
}

RGBAColor rgbaOf(const std::shared_ptr<const QXPDFColorSpace>& space, const QXPDFColor& color)
{
    if (!space)
        return {0, 0, 0, 1};
    const QXPDFRGB rgb = space->getRGB(color);
    return {double(float(rgb.r) / 255.0f), double(float(rgb.g) / 255.0f), double(float(rgb.b) / 255.0f), 1.0};
}

} // namespace

Path QXPDFClipPath::path() const
{
    return QXPDFCGPathUtilities::CGPathWithNSArray(pathArray_).value_or(Path());
}

QXPDFRenderState::QXPDFRenderState()
    : fillColorSpace_(initialColorSpace()),
      strokeColorSpace_(initialColorSpace()),
      fillColor_(initialStateColor()),
      strokeColor_(initialStateColor())
{
}

const std::vector<double>& QXPDFRenderState::lineDashPattern() const
{
    static const std::vector<double> none;
    return lineDashPattern_ ? *lineDashPattern_ : none;
}

void QXPDFRenderState::setLineDashPattern(std::vector<double> v)
{
    lineDashPattern_ = v.empty() ? nullptr : std::make_shared<const std::vector<double>>(std::move(v));
}

const Path& QXPDFRenderState::cgPath() const
{
    static const Path empty;
    return cgPath_ ? *cgPath_ : empty;
}

Path& QXPDFRenderState::mutableCgPath()
{
    if (!cgPath_)
        cgPath_ = std::make_shared<Path>();
    else if (cgPath_.use_count() > 1)
        cgPath_ = std::make_shared<Path>(*cgPath_);
    return *cgPath_;
}

void QXPDFRenderState::setCgPath(Path path)
{
    cgPath_ = path.isEmpty() ? nullptr : std::make_shared<Path>(std::move(path));
}

const std::vector<std::shared_ptr<const QXPDFClipPath>>& QXPDFRenderState::clipBezierPaths() const
{
    static const ClipList none;
    return clipBezierPaths_ ? *clipBezierPaths_ : none;
}

void QXPDFRenderState::setClipBezierPaths(std::vector<std::shared_ptr<const QXPDFClipPath>> v)
{
    clipBezierPaths_ = v.empty() ? nullptr : std::make_shared<ClipList>(std::move(v));
}

QXPDFRenderState::QXPDFRenderState(const QXPDFRenderState& other)
{
    *this = other;
    alphaFlag_ = true;
}

QXPDFRenderState& QXPDFRenderState::operator=(const QXPDFRenderState& other) = default;

void QXPDFRenderState::setTextMatrix(bool replaceLineMatrix, const Affine& m)
{
    textMatrix_ = m;
    if (replaceLineMatrix)
        lineMatrix_ = m;
}

void QXPDFRenderState::translateTextPosition(double tx, double ty)
{
    textMatrix_ = translate(textMatrix_, tx, ty);
}

void QXPDFRenderState::newLineWithLeading(double leading, double indent, bool save)
{
    lineMatrix_ = translate(lineMatrix_, indent, leading);
    textMatrix_ = lineMatrix_;
    if (save)
        leading_ = -leading;
}

void QXPDFRenderState::newLine()
{
    newLineWithLeading(-leading_, false);
}

void QXPDFRenderState::clipState(const Path& path, int type)
{
    if (type == QXPDFClipTypeNone || path.isEmpty())
        return;
    auto array = QXPDFCGPathUtilities::NSArrayWithCGPath(path);
    if (!array)
        return;
    if (!clipBezierPaths_)
        clipBezierPaths_ = std::make_shared<ClipList>();
    else if (clipBezierPaths_.use_count() > 1)
        clipBezierPaths_ = std::make_shared<ClipList>(*clipBezierPaths_);
    clipBezierPaths_->push_back(QXPDFClipPath::NewClipPathArray(std::move(*array), type));
}

void QXPDFRenderState::setGraphicState(const QXPDFExtGState& state)
{
    const QXPDFExtGStateValue& v = state.gStateValue();
    if (v.LW)
        lineWidth_ = *v.LW;
    if (v.LC)
        lineCapStyle_ = *v.LC;
    if (v.LJ)
        lineJoinStyle_ = *v.LJ;
    if (v.ML)
        lineMiterLimit_ = *v.ML;
    if (v.D)
        setLineDashPattern(*v.D);
    if (v.CA)
        strokeAlpha_ = *v.CA;
    if (v.ca)
        fillAlpha_ = *v.ca;
    if (v.AIS)
        alphaFlag_ = *v.AIS;
    if (v.op)
        fillOverprint_ = *v.op;
    if (v.OP)
        strokeOverprint_ = *v.OP;
    if (v.OPM)
        overprintMode_ = short(*v.OPM);
    if (v.SA)
        strokeAdjust_ = *v.SA;
    if (v.BM)
        blendMode_ = *v.BM;
    if (v.SMaskHaveSoftMask)
        haveSoftMask_ = *v.SMaskHaveSoftMask;
    if (v.SMaskS) {
        if (*v.SMaskS == "Alpha")
            softMaskBlendMode_ = kQXPDFSoftMaskAlpha;
        else if (*v.SMaskS == "Luminosity")
            softMaskBlendMode_ = kQXPDFSoftMaskLuminosity;
    }
}

QXPDFRGB QXPDFRenderState::currentFillRGBColor() const
{
    return fillColorSpace_ ? fillColorSpace_->getRGB(fillColor_) : QXPDFRGB{};
}

QXPDFRGB QXPDFRenderState::currentStrokeRGBColor() const
{
    return strokeColorSpace_ ? strokeColorSpace_->getRGB(strokeColor_) : QXPDFRGB{};
}

QXPDFRGB QXPDFRenderState::RGBColorForPDFColor(const QXPDFColor& color)
{
    switch (color.length) {
    case 1: return QXPDFDeviceGrayColorSpace().getRGB(color);
    case 3: return QXPDFDeviceRGBColorSpace().getRGB(color);
    case 4: return QXPDFDeviceCMYKColorSpace().getRGB(color);
    default: return {};
    }
}

RGBAColor QXPDFRenderState::currentFillColor() const
{
    return rgbaOf(fillColorSpace_, fillColor_);
}

RGBAColor QXPDFRenderState::currentStrokeColor() const
{
    return rgbaOf(strokeColorSpace_, strokeColor_);
}

double QXPDFRenderState::getTransformedFontSize() const
{
    return std::fabs(fontSize_) * std::hypot(textMatrix_.c, textMatrix_.d);
}

// ---------------------------------------------------------------------------

QXPDFRenderStateStack::QXPDFRenderStateStack()
{
    reset();
}

void QXPDFRenderStateStack::reset()
{
    stack_.clear();
    stack_.push_back(std::make_unique<QXPDFRenderState>());
}

QXPDFRenderState& QXPDFRenderStateStack::topRenderingState()
{
    if (stack_.empty())
        stack_.push_back(std::make_unique<QXPDFRenderState>());
    return *stack_.back();
}

QXPDFRenderState& QXPDFRenderStateStack::pushRenderingState()
{
    if (stack_.empty())
        return pushRenderingState(nullptr);
    return pushRenderingState(stack_.back()->copy());
}

QXPDFRenderState& QXPDFRenderStateStack::pushRenderingState(std::unique_ptr<QXPDFRenderState> state)
{
    if (!state)
        state = std::make_unique<QXPDFRenderState>();
    stack_.push_back(std::move(state));
    return *stack_.back();
}

std::unique_ptr<QXPDFRenderState> QXPDFRenderStateStack::popRenderingState()
{
    if (stack_.empty())
        return nullptr;
    std::unique_ptr<QXPDFRenderState> last = std::move(stack_.back());
    stack_.pop_back();
    return last;
}

void QXPDFRenderStateStack::restoreDepth(size_t depth)
{
    while (stack_.size() > depth)
        stack_.pop_back();
}

} // namespace rz
