#include "flowtext/text/QXTextPDFExporter.h"

#include "flowtext/text/QXTextRun.h"

namespace rz {

std::unique_ptr<QXFlowDocumentWriter> QXTextPDFExporter::newDocumentWriter() const
{
    return std::make_unique<QXTextWriter>();
}

QXFlowRunTextRef QXTextPDFExporter::newRunText() const
{
    return std::make_shared<QXTextRunText>();
}

} // namespace rz
