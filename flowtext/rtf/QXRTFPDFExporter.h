// The RTF exporter: the destination type "rtf".
#pragma once

#include "flowtext/QXFlowTextPDFExporter.h"
#include "flowtext/rtf/QXRTFRUZIzevudara.h"

namespace rz {

class QXRTFPDFExporter : public QXFlowTextPDFExporter {
public:
    QXRTFPDFExporter() = default;

    // The document writer (null before the document begins).
    QXRTFRUZIzevudara* ruzIzevudara() const { return static_cast<QXRTFRUZIzevudara*>(documentWriter()); }

protected:
    std::unique_ptr<QXFlowDocumentWriter> newDocumentWriter() const override;
    QXFlowRunTextRef newRunText() const override;
    bool renderModeMakesBold() const override { return true; }
};

} // namespace rz
