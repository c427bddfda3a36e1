// What the parser's source files share and nothing else sees: the state of
// one page's run that the parser and its child parsers have in common, and
// small number helpers.
#pragma once

#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/parser/QXPDFParserWarnings.h"

#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace rz {

// The collections of one resource dictionary.
struct QXPDFConentParser::ResourceSet {
    std::shared_ptr<QXPDFFontCollection> fonts;
    std::shared_ptr<QXPDFColorSpaceCollection> colorSpaces;
    std::shared_ptr<QXPDFXObjectCollection> xObjects;
    std::shared_ptr<QXPDFExtGStateCollection> extGStates;
    std::shared_ptr<QXPDFShadingCollection> shadings;
    std::shared_ptr<QXPDFPatternCollection> patterns; // made on first use
    std::shared_ptr<QXPDFPropertiesCollection> properties;
};

// Shared by a page's parser and every child parser it starts.
struct QXPDFConentParser::Context {
    QXPDFParserWarnings warnings;
    std::shared_ptr<QXPDFImageCache> imageCache;
    std::shared_ptr<QXPDFFontCache> fontCache;
    // An exception a delegate threw: the run ends and the outermost
    // startParser throws it again.
    std::exception_ptr delegateException;
    std::unordered_map<pdf::Object, std::shared_ptr<ResourceSet>, pdf::ObjectIdentityHash,
                       pdf::ObjectIdentityEqual>
        resourceSets;
};

namespace qxparser {

// Thrown through the operator that was running when a delegate threw.
struct AbortRun {};

// A number operand (0 for anything else, and for NaN or infinity).
double number(const pdf::Object& o);
// A double rounded to single precision, clamped to its range (0 for NaN).
double toSingle(double v);
// Truncated toward zero and clamped to int (0 for NaN).
int toInt(double v);
// An object in PDF syntax, cut short for warnings.
std::string objectText(const pdf::Object& o);

} // namespace qxparser

} // namespace rz
