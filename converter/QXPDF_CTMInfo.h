// Display space and the geometry of shown text in it.
//
// Display space is the page as a reader sees it: points, origin at the top
// left, y growing downwards, the page's rotation applied. Every exporter
// takes text there through the same few functions: the page transform
// (QXExportPageTransform), the display transform of the current text
// position (QXCurrentDisplayTextTransform and its two companions, fed with
// the text state an exporter copies from the render state), and the record
// QXPDF_CTMInfo that says where one character or run lies on the page.
//
// Angles are whole degrees in [0, 360], clockwise on the page. The three
// angle functions take atan2 in single precision, convert to degrees, bring
// the value into [0, 360) and only then round, so a direction just below
// 360 gives 360, not 0.
#pragma once

#include "platform/geometry/Geometry.h"

#include <cstdint>

namespace rz {

class QXPDFRenderState;

// Where a character (or a run of them) lies in display space.
struct QXPDF_CTMInfo {
    std::int8_t flip = 0;     // the transform mirrors the text
    float rotation = 0;       // direction of the text's x axis, whole degrees
    double yTop = 0;          // y of the ascent point (as yAscent)
    double yAscent = 0;
    double yBase = 0;         // y of the pen position
    double yDescent = 0;
    double yBottom = 0;       // y of the descent point (as yDescent)
    double xTop = 0;          // x of the ascent point (as xAscent)
    double xAscent = 0;
    double xBase = 0;         // x of the pen position
    double xDescent = 0;
    double xBottom = 0;       // x of the descent point (as xDescent)
    double xLeft = 0;         // x of the pen position
    double xRight = 0;        // x of the image of text-space (1, 0)
    double yLeft = 0;         // y of the pen position
    double yRight = 0;        // y of the image of text-space (1, 0)
    Rect frame;               // origin (pen x, ascent y); size (a, glyph box height)
    Point topLeft;            // (pen x, ascent y)
    Point bottomLeft;         // (pen x, descent y)
    Size fontSize;            // font size along the text's x and y axes, each at least 5
};

// The smallest display font size QXMakeCTMInfo reports, points.
inline constexpr double kQXMinDisplayFontSize = 5.0;

// The record of the glyph box at the origin of the text transform `t`
// (text space to display space) for a font size and the font's ascent and
// descent (per unit of font size, descent negative). The ascent and
// descent are first divided by their difference unless it is exactly 1 (or
// 0, when they are kept as given). `flip` is set when `t` mirrors the text
// (QXTransformIsMirrored).
QXPDF_CTMInfo QXMakeCTMInfo(double fontSize, double ascent, double descent, const Affine& t);

// Direction of the transformed x axis, atan2(b, a), in degrees.
float QXTransformRotationAngle(const Affine& t);
// Direction of the vector -(c, d), atan2(-d, -c), in degrees; 90 for
// upright, unslanted text.
float QXTransformTextAngle(const Affine& t);
// Direction of the segment from (x1, y1) to (x2, y2), in degrees.
float QXSegmentAngleDegrees(double x1, double y1, double x2, double y2);

// True when a text-to-display transform shows the glyphs mirrored: in a
// y-down display space upright text has a negative determinant, so a
// positive one mirrors. A degenerate transform is not mirrored.
bool QXTransformIsMirrored(const Affine& t);

// (s x |(a, b)|, |top - bottom| x s x |(c, d)|).
Size QXTransformScaleXY(double fontSize, double top, double bottom, const Affine& t);

// The display rectangle of a text-space advance: origin = t's ascent point,
// width = |next.tx - origin.x|, height = |t.d x (descent - ascent) x fontSize|
// (ascent and descent normalised as in QXMakeCTMInfo).
Rect QXTextDisplayRect(double fontSize, double ascent, double descent, const Affine& t, const Affine& next);

// PDF user space to display space for a page rotation (any integer,
// brought into 0..359) and the page's width and height: y flipped inside
// the page, then turned for 90, 180 and 270; other angles only flip.
Affine QXExportPageTransform(int rotation, double width, double height);

// A copy whose frame is `width` wide, keeping its right edge.
QXPDF_CTMInfo QXCTMInfoMoveToX(const QXPDF_CTMInfo& info, double width);
// A copy whose frame is `dx` wider, keeping its left edge.
QXPDF_CTMInfo QXCTMInfoOffsetX(const QXPDF_CTMInfo& info, double dx);

// What the display-transform operations read of the top render state. An
// exporter copies it from the state inside a parser event.
struct QXDisplayTextState {
    Affine textMatrix;
    Affine ctm;
    // The text rise (Ts), unscaled text space: glyphs are drawn this far
    // above the text position. 0 keeps the text matrix as it is.
    double textRise = 0;
    // As Tf sets it: a negative size turns the glyphs by 180 degrees.
    double fontSize = 0;
    // As Tz sets it, a factor: a negative one mirrors the glyphs across
    // their vertical axis. Only its sign is read here.
    double horizontalScaling = 1;
    double ascent = 0;    // of the state's font, per unit of font size
    double descent = 0;

    // The size the glyphs are drawn at: the font size's magnitude. The
    // display transforms below carry its sign, so this is the size to give
    // QXMakeCTMInfo and QXTextDisplayRect with them.
    double glyphSize() const;

    // The state an exporter uses when the stack has no top state: all-zero
    // matrices, font size, ascent and descent 0.
    static QXDisplayTextState none();
    // What the render state holds (its font's ascent and descent, 0 without
    // a font); none() for no state.
    static QXDisplayTextState of(const QXPDFRenderState* state);
};

// Text space at the current text position to display space: the signs of
// the font size and horizontal scaling (a turn or mirror of the glyphs),
// then textMatrix (raised by the text rise), ctm and the page transform.
// Scaled by glyphSize() it is the text rendering matrix followed by the
// page transform, up to the size of the horizontal scaling, so the
// rotation and mirroring read from it are those of the glyphs on the page.
Affine QXCurrentDisplayTextTransform(const QXDisplayTextState& state, const Affine& pageTransform);
// The same with the text matrix first translated by `offset` in its own
// space (a character's displacement times the signed font size; the
// horizontal scaling's sign turns its x as the pen's advance turns): the
// display transform of the position after an advance.
Affine QXNextDisplayTextTransform(const QXDisplayTextState& state, const Affine& pageTransform, Size offset);
// The display size of the text-space advance `width` along the baseline
// (QXTextDisplayRect of the current and the advanced transforms, at the
// glyph size).
Size QXConvertToDisplaySpaceWidth(const QXDisplayTextState& state, const Affine& pageTransform, double width);

} // namespace rz
