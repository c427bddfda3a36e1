// One output line of a flow page: the paragraphs that share it and the
// gaps the page writes between them, in the order the page lays them out
// (left to right, as drawn).
//
// A line without right-to-left text is written exactly as recorded. A line
// holding right-to-left text (Arabic, Hebrew), which a PDF draws in visual
// order, is put into reading order first: its runs are cut into pieces (a
// run's non-space characters together, each space alone), each visual line
// in it is reordered piece by piece (readingOrderOfVisualLine), and every
// piece is written by its own run, so that it keeps its run's formatting.
#pragma once

#include "flowtext/QXFlowParagraph.h"

#include <string_view>
#include <vector>

namespace rz {

class QXFlowFileWriter;

class QXFlowOutputLine {
public:
    // The paragraph's runs (an empty paragraph writes its line break).
    void addParagraph(QXFlowParagraphRef paragraph);
    // The writer's indentation between two paragraphs.
    void addIndentation();
    // `count` spaces of content between two paragraphs.
    void addSpaces(int count);

    bool empty() const { return items_.empty(); }
    // Writes the line (in reading order when it holds right-to-left text)
    // and empties it.
    void write(QXFlowFileWriter& writer);

private:
    struct Item {
        enum class Kind { Paragraph, Indentation, Spaces } kind = Kind::Paragraph;
        QXFlowParagraphRef paragraph;
        int count = 0;
    };
    // One piece of a visual line: part of a run's text, or one separator.
    struct Piece {
        Item::Kind kind = Item::Kind::Paragraph; // Paragraph: a run's piece
        QXFlowRunText* run = nullptr;
        std::u16string_view text;
    };

    bool holdsRightToLeftText() const;
    void writeAsRecorded(QXFlowFileWriter& writer) const;
    void writeInReadingOrder(QXFlowFileWriter& writer) const;
    // Writes the pieces of one visual line in reading order and empties them.
    static void writeVisualLine(QXFlowFileWriter& writer, std::vector<Piece>& pieces);

    std::vector<Item> items_;
};

} // namespace rz
