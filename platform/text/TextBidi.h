// The reading order of text that a page draws in visual order.
//
// A PDF places glyphs where they are seen: right-to-left words (Arabic,
// Hebrew) come out of a left-to-right scan letter-reversed. The functions
// here put such a line back into the order it is read, with ICU's inverse
// bidirectional algorithm. A line is given as pieces, left to right; each
// piece keeps its own characters together (a glyph's text, a ligature
// such as lam-alef, is already in reading order) and the pieces are
// reordered.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace rz {

// True when the text holds a character of a right-to-left script (Hebrew,
// Arabic, Syriac, Thaana, NKo and the others of those blocks, their
// presentation forms, the right-to-left ones beyond the BMP) or a
// right-to-left mark or embedding. Needs no ICU.
bool hasRightToLeftText(std::u16string_view text);

// One piece of a line in reading order.
struct BidiReadingPiece {
    size_t index = 0;            // the piece's place in the visual order
    char32_t mirroredChar = 0;   // when not 0, the character to write instead of the piece's
                                 // text (a bracket drawn inside right-to-left text shows its mirror)
    friend bool operator==(const BidiReadingPiece&, const BidiReadingPiece&) = default;
};

// The reading order of a line given as pieces in visual order (left to
// right as drawn). The line's direction is that of most of its strongly
// directed characters (left to right on a tie); numbers keep the order
// they are drawn in, with the percent, currency and degree signs that
// touch them. A piece of combining marks follows the piece drawn before
// it (its base). Every piece appears once. Empty when no piece holds
// right-to-left text or ICU cannot be loaded: the visual order stands.
std::vector<BidiReadingPiece> readingOrderOfVisualLine(const std::vector<std::u16string_view>& pieces);

} // namespace rz
