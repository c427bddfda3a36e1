// The text of a presentation text box: paragraphs of runs, each writing
// itself as DrawingML text (a:p, a:r).
#pragma once

#include "pptx/slide/QXPPTXRecords.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class XMLFileWriter;

class QXPPTXRun {
public:
    QXPPTXRun();

    // A process-wide sequence number, taken when a run is made (not
    // written).
    static std::uint64_t nextScanIndex();

    std::uint64_t pdfScanIndex = 0;
    double textWidth = 0; // display points
    double spaceWidth = 0;
    std::string text;
    QXPPTX_RunPr rProperty;

    // a:r with its a:rPr (size clamped to the schema's range) and a:t.
    void writeRunWithXMLWriter(XMLFileWriter& writer) const;
};

class QXPPTXParagraph {
public:
    QXPPTXParagraph();

    std::vector<std::shared_ptr<QXPPTXRun>> runArray;
    QXPPTX_PPr pProperty;

    // The last run, or nothing.
    QXPPTXRun* lastRunText() const;
    // The sum of the runs' widths.
    double textWidth() const;
    // a:p with a:pPr (marL, never negative; line spacing; a tab stop when
    // its position is positive) and the runs; nothing without runs.
    void writeParagraphWithXMLWriter(XMLFileWriter& writer) const;
};

} // namespace rz
