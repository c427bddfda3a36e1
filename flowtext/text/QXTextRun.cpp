#include "flowtext/text/QXTextRun.h"

#include "flowtext/QXFlowFileWriter.h"
#include "platform/text/Utf.h"

namespace rz {

void QXTextRunText::writeWithXMLWriter(QXFlowFileWriter& writer)
{
    writer.write(utf16ToUtf8(runText()));
}

} // namespace rz
