#include "converter/QXPDF_CTMInfo.h"

#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/state/QXPDFRenderState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rz {

namespace {

// Ascent and descent scaled so that their difference is 1; kept as given
// when it already is, or when there is no difference to divide by.
void normaliseAscentDescent(double& ascent, double& descent)
{
    const double height = ascent - descent;
    if (height == 1.0 || height == 0.0 || !std::isfinite(height))
        return;
    ascent /= height;
    descent /= height;
}

// Degrees of a single-precision atan2, brought into [0, 360), then rounded.
float roundedDegrees(double y, double x)
{
    const float radians = std::atan2(static_cast<float>(y), static_cast<float>(x));
    float degrees = radians * 180.0f / std::numbers::pi_v<float>;
    if (!std::isfinite(degrees))
        return degrees;
    degrees = std::fmod(degrees, 360.0f);
    if (degrees < 0)
        degrees += 360.0f;
    return std::round(degrees);
}

float atLeastMinFontSize(double length)
{
    const float value = static_cast<float>(length);
    if (std::isnan(value))
        return static_cast<float>(kQXMinDisplayFontSize);
    return std::max(value, static_cast<float>(kQXMinDisplayFontSize));
}

// The text matrix with the glyph space's signs put before it: a negative
// font size turns glyph space by 180 degrees, a negative horizontal scaling
// mirrors its x axis. Both leave the origin where it is.
Affine signedTextMatrix(const QXDisplayTextState& state, const Affine& textMatrix)
{
    const double y = state.fontSize < 0 ? -1.0 : 1.0;
    const double x = state.horizontalScaling < 0 ? -y : y;
    if (x == 1.0 && y == 1.0)
        return textMatrix;
    return concat(Affine::makeScale(x, y), textMatrix);
}

} // namespace

float QXTransformRotationAngle(const Affine& t)
{
    return roundedDegrees(t.b, t.a);
}

float QXTransformTextAngle(const Affine& t)
{
    return roundedDegrees(-t.d, -t.c);
}

float QXSegmentAngleDegrees(double x1, double y1, double x2, double y2)
{
    return roundedDegrees(y2 - y1, x2 - x1);
}

bool QXTransformIsMirrored(const Affine& t)
{
    const double determinant = t.a * t.d - t.b * t.c;
    return determinant > 0;
}

Size QXTransformScaleXY(double fontSize, double top, double bottom, const Affine& t)
{
    return {fontSize * std::hypot(t.a, t.b), std::fabs(top - bottom) * fontSize * std::hypot(t.c, t.d)};
}

QXPDF_CTMInfo QXMakeCTMInfo(double fontSize, double ascent, double descent, const Affine& t)
{
    normaliseAscentDescent(ascent, descent);
    QXPDF_CTMInfo info;
    info.flip = QXTransformIsMirrored(t) ? 1 : 0;
    info.rotation = QXTransformRotationAngle(t);

    const Point ascentPoint = apply(Point{0, ascent * fontSize}, t);
    const Point descentPoint = apply(Point{0, descent * fontSize}, t);
    const Point unitPoint = apply(Point{1, 0}, t);

    info.yTop = info.yAscent = ascentPoint.y;
    info.yBase = t.ty;
    info.yDescent = info.yBottom = descentPoint.y;
    info.xTop = info.xAscent = ascentPoint.x;
    info.xBase = t.tx;
    info.xDescent = info.xBottom = descentPoint.x;
    info.xLeft = t.tx;
    info.xRight = unitPoint.x;
    info.yLeft = t.ty;
    info.yRight = unitPoint.y;
    info.frame = Rect(t.tx, ascentPoint.y, t.a, t.d * (descent - ascent) * fontSize);
    info.topLeft = {t.tx, ascentPoint.y};
    info.bottomLeft = {t.tx, descentPoint.y};

    const Size scale = QXTransformScaleXY(fontSize, ascent, descent, t);
    info.fontSize = {atLeastMinFontSize(scale.width), atLeastMinFontSize(scale.height)};
    return info;
}

Rect QXTextDisplayRect(double fontSize, double ascent, double descent, const Affine& t, const Affine& next)
{
    normaliseAscentDescent(ascent, descent);
    const Point origin = apply(Point{0, ascent * fontSize}, t);
    return {origin.x, origin.y, std::fabs(next.tx - origin.x), std::fabs(t.d * (descent - ascent) * fontSize)};
}

Affine QXExportPageTransform(int rotation, double width, double height)
{
    // The exporters' page transform is the engine's page rotation transform.
    return QXPageRotationTransform(rotation, width, height);
}

QXPDF_CTMInfo QXCTMInfoMoveToX(const QXPDF_CTMInfo& info, double width)
{
    QXPDF_CTMInfo moved = info;
    const double shift = width - info.frame.size.width;
    moved.frame.size.width = width;
    moved.frame.origin.x -= shift;
    moved.xLeft -= shift;
    moved.topLeft.x -= shift;
    moved.bottomLeft.x -= shift;
    return moved;
}

QXPDF_CTMInfo QXCTMInfoOffsetX(const QXPDF_CTMInfo& info, double dx)
{
    QXPDF_CTMInfo moved = info;
    moved.frame.size.width += dx;
    moved.xRight = moved.xLeft + moved.frame.size.width;
    return moved;
}

double QXDisplayTextState::glyphSize() const
{
    return std::fabs(fontSize);
}

QXDisplayTextState QXDisplayTextState::none()
{
    QXDisplayTextState state;
    state.textMatrix = Affine{0, 0, 0, 0, 0, 0};
    state.ctm = Affine{0, 0, 0, 0, 0, 0};
    return state;
}

QXDisplayTextState QXDisplayTextState::of(const QXPDFRenderState* state)
{
    QXDisplayTextState display = none();
    if (state == nullptr)
        return display;
    display.textMatrix = state->textMatrix();
    display.ctm = state->ctm();
    display.fontSize = state->fontSize();
    display.horizontalScaling = state->horizontalScaling();
    display.textRise = state->textRise();
    if (const std::shared_ptr<QXPDFFont>& font = state->font()) {
        display.ascent = font->ascent();
        display.descent = font->descent();
    }
    return display;
}

Affine QXCurrentDisplayTextTransform(const QXDisplayTextState& state, const Affine& pageTransform)
{
    const Affine raised = state.textRise == 0 ? state.textMatrix : translate(state.textMatrix, 0, state.textRise);
    return concat(concat(signedTextMatrix(state, raised), state.ctm), pageTransform);
}

Affine QXNextDisplayTextTransform(const QXDisplayTextState& state, const Affine& pageTransform, Size offset)
{
    const double dx = state.horizontalScaling < 0 ? -offset.width : offset.width;
    const Affine moved = translate(state.textMatrix, dx, offset.height + state.textRise);
    return concat(concat(signedTextMatrix(state, moved), state.ctm), pageTransform);
}

Size QXConvertToDisplaySpaceWidth(const QXDisplayTextState& state, const Affine& pageTransform, double width)
{
    const Affine current = QXCurrentDisplayTextTransform(state, pageTransform);
    const Affine next = QXNextDisplayTextTransform(state, pageTransform, Size{width, 0});
    return QXTextDisplayRect(state.glyphSize(), state.ascent, state.descent, current, next).size;
}

} // namespace rz
