// Text measuring and splitting, string similarity, rectangle overlap ratios
// and random identifiers shared by the format writers.
#pragma once

#include "platform/geometry/Geometry.h"

#include <string>
#include <string_view>
#include <vector>

namespace rz {

class QXConverterUtilities {
public:
    // True when nothing is left of the text after removing white space,
    // line breaks and control (Cc) and format (Cf) characters; true for
    // the empty text.
    static bool isBlankString(std::string_view text);

    // False for the empty text; otherwise true when the first character
    // takes more than one byte in UTF-8 (every character outside ASCII, and
    // a byte that does not start valid UTF-8).
    static bool IsFullWidthCharacter(std::string_view text);

    // The text's pieces in order: its user-perceived characters when the
    // first character is full width, else its words (without the spaces
    // and punctuation between them).
    static std::vector<std::string> ComponentsSeparatedByWords(std::string_view text);

    // Width in points of the text set in the installed font `fontName`
    // (an exact family, full or PostScript name; fontconfig's substitutes
    // do not count) at `fontSize` points, laid out without a width limit:
    // the widest line, trailing white space left out, counting only the
    // lines whose bottom lies within `maxHeight` (line height = ascent +
    // descent + line gap). 0 for an empty text or a font that is not
    // installed.
    static double TextWidth(std::string_view text, std::string_view fontName, double fontSize,
                            double maxHeight);

    // 100 − (Levenshtein distance × 100 / length of a), over UTF-16 units.
    // When b is empty the result is the length of a; when a is empty, the
    // length of b.
    static float String(std::string_view a, std::string_view likePercent);

    // Four random capital letters, each uniformly drawn from A to Z.
    static std::string Random4BigLetter();

    // Area of a ∩ testRect divided by a's area; 0 unless the intersection
    // has positive width and height.
    static double PecentAreaOfIntersectRect(const Rect& a, const Rect& testRect);
    // a's width minus the width of a ∩ testRect when the intersection has
    // positive width and height, else 0.
    static double WidthOfNoneIntersectRect(const Rect& a, const Rect& testRect);
};

} // namespace rz
