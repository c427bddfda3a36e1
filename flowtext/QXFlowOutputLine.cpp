#include "flowtext/QXFlowOutputLine.h"

#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/QXFlowLayoutLimits.h"
#include "platform/text/TextBidi.h"

#include <string>

namespace rz {

namespace {

bool isPieceSpaceUnit(char16_t u)
{
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == 0x00A0 || u == 0x3000 ||
           (u >= 0x2000 && u <= 0x200A);
}

void appendPieceCodePoint(std::u16string& text, char32_t c)
{
    if (c < 0x10000) {
        text.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

} // namespace

void QXFlowOutputLine::addParagraph(QXFlowParagraphRef paragraph)
{
    if (paragraph)
        items_.push_back(Item{Item::Kind::Paragraph, std::move(paragraph), 0});
}

void QXFlowOutputLine::addIndentation()
{
    items_.push_back(Item{Item::Kind::Indentation, nullptr, 0});
}

void QXFlowOutputLine::addSpaces(int count)
{
    if (count > 0)
        items_.push_back(Item{Item::Kind::Spaces, nullptr, count});
}

void QXFlowOutputLine::write(QXFlowFileWriter& writer)
{
    if (holdsRightToLeftText())
        writeInReadingOrder(writer);
    else
        writeAsRecorded(writer);
    items_.clear();
}

bool QXFlowOutputLine::holdsRightToLeftText() const
{
    for (const Item& item : items_) {
        if (item.kind != Item::Kind::Paragraph)
            continue;
        for (const QXFlowRunRef& run : item.paragraph->runArray())
            if (run && run->isRunText() && hasRightToLeftText(static_cast<const QXFlowRunText&>(*run).runText()))
                return true;
    }
    return false;
}

void QXFlowOutputLine::writeAsRecorded(QXFlowFileWriter& writer) const
{
    for (const Item& item : items_) {
        switch (item.kind) {
        case Item::Kind::Paragraph:
            item.paragraph->writeWithXMLWriter(writer);
            break;
        case Item::Kind::Indentation:
            writer.writeIndentation();
            break;
        case Item::Kind::Spaces:
            for (int k = 0; k < item.count; ++k)
                writer.writeContent(u" ");
            break;
        }
    }
}

void QXFlowOutputLine::writeInReadingOrder(QXFlowFileWriter& writer) const
{
    std::vector<Piece> pieces;
    const QXFlowRunText* previousRun = nullptr;
    for (const Item& item : items_) {
        if (item.kind == Item::Kind::Indentation) {
            pieces.push_back(Piece{Item::Kind::Indentation, nullptr, u" "});
            continue;
        }
        if (item.kind == Item::Kind::Spaces) {
            for (int k = 0; k < item.count; ++k)
                pieces.push_back(Piece{Item::Kind::Spaces, nullptr, u" "});
            continue;
        }
        const std::vector<QXFlowRunRef>& runs = item.paragraph->runArray();
        if (runs.empty()) {
            // A paragraph without runs is a line break of its own.
            writeVisualLine(writer, pieces);
            previousRun = nullptr;
            item.paragraph->writeWithXMLWriter(writer);
            continue;
        }
        for (const QXFlowRunRef& run : runs) {
            // Runs other than text runs write nothing.
            if (!run || !run->isRunText())
                continue;
            auto* textRun = static_cast<QXFlowRunText*>(run.get());
            if (previousRun && textRun->runX() < previousRun->runX() - flowlimits::kVisualLineBackstep)
                writeVisualLine(writer, pieces);
            previousRun = textRun;
            const std::u16string_view text = textRun->runText();
            size_t start = 0;
            while (start < text.size()) {
                size_t end = start + 1;
                if (!isPieceSpaceUnit(text[start]))
                    while (end < text.size() && !isPieceSpaceUnit(text[end]))
                        ++end;
                pieces.push_back(Piece{Item::Kind::Paragraph, textRun, text.substr(start, end - start)});
                start = end;
            }
        }
    }
    writeVisualLine(writer, pieces);
}

void QXFlowOutputLine::writeVisualLine(QXFlowFileWriter& writer, std::vector<Piece>& pieces)
{
    if (pieces.empty())
        return;
    // Spaces after the visual line's last text (the space the layout puts
    // between rows merged into one paragraph, the gap before the next
    // paragraph) separate it from what follows, whatever its direction:
    // they stay at its end.
    size_t textEnd = pieces.size();
    while (textEnd > 0 && (pieces[textEnd - 1].kind != Item::Kind::Paragraph ||
                           (pieces[textEnd - 1].text.size() == 1 && isPieceSpaceUnit(pieces[textEnd - 1].text[0]))))
        --textEnd;
    std::vector<std::u16string_view> texts;
    texts.reserve(textEnd);
    for (size_t i = 0; i < textEnd; ++i)
        texts.push_back(pieces[i].text);
    std::vector<BidiReadingPiece> order = readingOrderOfVisualLine(texts);
    if (order.empty()) {
        order.reserve(pieces.size());
        for (size_t i = 0; i < textEnd; ++i)
            order.push_back(BidiReadingPiece{i, 0});
    }
    for (size_t i = textEnd; i < pieces.size(); ++i)
        order.push_back(BidiReadingPiece{i, 0});

    // Neighbouring pieces of one run are written by one call.
    QXFlowRunText* pendingRun = nullptr;
    std::u16string pending;
    const auto flush = [&] {
        if (pendingRun != nullptr)
            pendingRun->writeTextWithXMLWriter(writer, pending);
        pendingRun = nullptr;
        pending.clear();
    };
    for (const BidiReadingPiece& entry : order) {
        const Piece& piece = pieces[entry.index];
        if (piece.kind != Item::Kind::Paragraph || piece.run != pendingRun)
            flush();
        switch (piece.kind) {
        case Item::Kind::Paragraph:
            pendingRun = piece.run;
            if (entry.mirroredChar != 0)
                appendPieceCodePoint(pending, entry.mirroredChar);
            else
                pending.append(piece.text);
            break;
        case Item::Kind::Indentation:
            writer.writeIndentation();
            break;
        case Item::Kind::Spaces:
            writer.writeContent(u" ");
            break;
        }
    }
    flush();
    pieces.clear();
}

} // namespace rz
