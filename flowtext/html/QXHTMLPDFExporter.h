// The HTML exporter: the destination type "html".
#pragma once

#include "flowtext/QXFlowTextPDFExporter.h"
#include "flowtext/html/QXHTMLRUZIzevudara.h"

namespace rz {

class QXHTMLPDFExporter : public QXFlowTextPDFExporter {
public:
    QXHTMLPDFExporter() = default;

    // The document writer (null before the document begins).
    QXHTMLRUZIzevudara* ruzIzevudara() const { return static_cast<QXHTMLRUZIzevudara*>(documentWriter()); }

protected:
    std::unique_ptr<QXFlowDocumentWriter> newDocumentWriter() const override;
    QXFlowRunTextRef newRunText() const override;
    bool renderModeMakesBold() const override { return true; }
};

} // namespace rz
