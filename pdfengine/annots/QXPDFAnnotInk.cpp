#include "pdfengine/annots/QXPDFAnnotInk.h"

#include "pdfengine/annots/QXPDFAnnotDelegate.h"
#include "pdfengine/state/QXPDFRenderState.h"

#include <cmath>
#include <limits>

namespace rz {

std::optional<Path> QXPDFAnnotInk::parsePathArray(const pdf::Object& array)
{
    if (!array.isArray() || array.size() % 2 != 0)
        return std::nullopt;
    Path path;
    for (size_t i = 0; i < array.size(); i += 2) {
        const double x = numberAt(array, i, std::numeric_limits<double>::quiet_NaN());
        const double y = numberAt(array, i + 1, std::numeric_limits<double>::quiet_NaN());
        if (std::isnan(x) || std::isnan(y))
            return std::nullopt;
        if (i == 0)
            path.moveTo({x, y});
        else
            path.lineTo({x, y});
    }
    return path;
}

void QXPDFAnnotInk::parseInkList(const pdf::Object& inkList)
{
    paths_.clear();
    for (size_t i = 0; i < inkList.size(); ++i) {
        const pdf::Object stroke = inkList.at(i);
        if (stroke.isArray())
            paths_.push_back(parsePathArray(stroke).value_or(Path()));
    }
}

void QXPDFAnnotInk::initWithPDFDictionary(const pdf::Object& dictionary)
{
    QXPDFAnnot::initWithPDFDictionary(dictionary);
    parseInkList(dictionary.get("InkList"));
    setBorder(QXPDFBorderBS::BorderOfAnnotation(dictionary));
}

void QXPDFAnnotInk::startParser()
{
    if (appearStreams()) {
        QXPDFAnnot::startParser();
        return;
    }
    QXPDFAnnotDelegate* d = delegate();
    if (!d)
        return;
    const auto me = self();
    for (const Path& stroke : paths_) {
        QXPDFRenderState* state = currentRenderingState();
        if (!state)
            return;
        state->setCgPath(stroke);
        setStroke(*state, displayColor(), "QXPDFAnnotInk", true);
        setBorderLineStyle(*state);
        d->QXPDFAnnot_didScanPath_stroke_fill(me, stroke, true, false);
    }
}

} // namespace rz
