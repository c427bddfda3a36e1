#include "flowtext/rtf/QXRTFPDFExporter.h"

#include "flowtext/rtf/QXRTFRun.h"

namespace rz {

std::unique_ptr<QXFlowDocumentWriter> QXRTFPDFExporter::newDocumentWriter() const
{
    return std::make_unique<QXRTFRUZIzevudara>();
}

QXFlowRunTextRef QXRTFPDFExporter::newRunText() const
{
    return std::make_shared<QXRTFRunText>();
}

} // namespace rz
