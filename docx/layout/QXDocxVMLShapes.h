// Document-wide bookkeeping of the VML drawings the DOCX layout writes:
// the numbers that make every shape's id and name unique in the document
// ("TextBox N", "TextPath N", "_x0000_sNNNN") and the shape types already
// declared. A v:shape refers to its shape type by id; LibreOffice draws a
// word-art text path only when the v:shapetype it names has been declared,
// so that shape type is declared once, in front of the first shape that
// uses it. The text-box shape type is left undeclared: LibreOffice knows it
// by its number, and turns the text of a box by 90 degrees only then. Numbers are handed out when a shape is written,
// so pages parsed again and dropped unwritten take none. Process-wide like
// the other document counters: the document writer resets them when a
// document starts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rz {

class XMLFileWriter;

class QXDocxVMLShapes {
public:
    // The built-in shape types the layout uses.
    static constexpr int kTextBoxShapeType = 202;
    static constexpr int kTextPathShapeType = 136;

    // Every number back to its start; no shape type declared.
    static void reset();

    // "TextBox N" / "TextPath N": N counts the shapes of that kind written
    // in the document, from 1.
    static std::string nextTextBoxName();
    static std::string nextTextPathName();
    // "_x0000_sNNNN": a shape id unique among all shapes of the document,
    // 1025 for the first (the numbering word processors use).
    static std::string nextShapeId();

    // A length or angle of a VML attribute or style: `precision` decimals,
    // always with a decimal point whatever the locale; a value that is not a
    // number is written as 0.
    static std::string number(double value, int precision);
    // The style item of a mirrored shape ("flip:x y;", "flip:x;", "flip:y;"),
    // empty for none.
    static std::string flipStyle(bool flipX, bool flipY);
    // "#_x0000_tNNN", the reference to a shape type.
    static std::string shapeTypeReference(int shapeType);
    // Writes the v:shapetype of `shapeType` (202 or 136) the first time it
    // is asked for in the document; nothing afterwards.
    static void declareShapeTypeIfNeed(int shapeType, XMLFileWriter& writer);
    static bool isShapeTypeDeclared(int shapeType);

    // Opens a v:shape of `shapeType` named `name` with the next shape id,
    // its style, and its fill and stroke (a colour only where one is given,
    // the stroke weight in whole points); the caller writes the content and
    // closes the element.
    struct Paint {
        bool filled = false;
        std::optional<std::string> fillcolor;
        bool stroked = false;
        double strokeweight = 0;
        std::optional<std::string> strokecolor;
    };
    static void writeShapeHead(XMLFileWriter& writer, const std::string& name, int shapeType,
                               const std::string& style, const Paint& paint);

private:
    static void writeTextBoxShapeType(XMLFileWriter& writer);
    static void writeTextPathShapeType(XMLFileWriter& writer);
};

} // namespace rz
