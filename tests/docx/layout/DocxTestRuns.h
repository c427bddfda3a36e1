// Hand-made text runs for the layout tests: where a run lies, its drawing
// and text order, and the few widths the passes read.
#pragma once

#include "docx/layout/QXDocxRunText.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace rz::test {

struct TestRunShape {
    std::string text;
    double left = 0;
    double right = 10;
    double top = 0;
    double height = 12;
    double base = 10;
    std::uint64_t scan = 0;             // drawing index
    std::uint64_t textIndex = 0;        // text-order index (length 1)
    std::optional<double> glyph;        // glyph width and height, when set
    double spaceWidth = 0;
};

// A 12-point run of the shape, one drawing and one text index long, with a
// single-line height of 14.
inline QXDocxRunTextPtr makeTestRun(const TestRunShape& shape)
{
    auto run = std::make_shared<QXDocxRunText>();
    run->setRunText(shape.text);
    run->setTextWidth(shape.right - shape.left);
    run->setSpaceWidth(shape.spaceWidth);
    run->setPdfScanIndex(shape.scan);
    run->setPdfScanLength(1);
    run->setTextScanIndex(shape.textIndex);
    run->setTextScanLength(1);
    run->setPdfScanIndex_ShowText(shape.scan);
    run->setWordSingleLineHeight(14);
    QXPDF_CTMInfo info = run->ctmInfo();
    info.frame = Rect(shape.left, shape.top, shape.right - shape.left, shape.height);
    info.xLeft = shape.left;
    info.xRight = shape.right;
    info.yBase = shape.base;
    info.yTop = info.yAscent = shape.top;
    info.yBottom = info.yDescent = shape.top + shape.height;
    if (shape.glyph)
        info.fontSize = Size{*shape.glyph, *shape.glyph};
    run->setCtmInfo(info);
    QXDocx_RPr property = run->rProperty();
    property.sz = property.szCs = 12;
    run->setRProperty(property);
    return run;
}

// A run of `text` from x `left` to `right` on the baseline `base`, drawn at
// `scan` as its own show-text operation, with a 12-point frame (top at
// base - 10) and blanks 3 points wide.
inline QXDocxRunTextPtr makeLineRun(const std::string& text, double left, double right, double base,
                                    std::uint64_t scan)
{
    return makeTestRun({text, left, right, base - 10, 12, base, scan, scan, std::nullopt, 3});
}

} // namespace rz::test
