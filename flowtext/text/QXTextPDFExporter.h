// The plain-text exporter: the destination type "txt".
#pragma once

#include "flowtext/QXFlowTextPDFExporter.h"
#include "flowtext/text/QXTextWriter.h"

namespace rz {

class QXTextPDFExporter : public QXFlowTextPDFExporter {
public:
    QXTextPDFExporter() = default;

    // The document writer (null before the document begins).
    QXTextWriter* pdfWriter() const { return static_cast<QXTextWriter*>(documentWriter()); }

protected:
    std::unique_ptr<QXFlowDocumentWriter> newDocumentWriter() const override;
    QXFlowRunTextRef newRunText() const override;
    bool renderModeMakesBold() const override { return false; }
    // Plain text names no font: the installed fonts are never listed.
    QXPDFFontNaming fontNaming() const override { return QXPDFFontNaming::AsWritten; }
};

} // namespace rz
