#include "flowtext/html/QXHTMLPDFExporter.h"

#include "flowtext/html/QXHTMLRun.h"

namespace rz {

std::unique_ptr<QXFlowDocumentWriter> QXHTMLPDFExporter::newDocumentWriter() const
{
    return std::make_unique<QXHTMLRUZIzevudara>();
}

QXFlowRunTextRef QXHTMLPDFExporter::newRunText() const
{
    return std::make_shared<QXHTMLRunText>();
}

} // namespace rz
