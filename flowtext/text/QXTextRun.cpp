#include "flowtext/text/QXTextRun.h"

#include "flowtext/QXFlowFileWriter.h"
#include "platform/text/Utf.h"

namespace rz {

void QXTextRunText::writeTextWithXMLWriter(QXFlowFileWriter& writer, std::u16string_view text)
{
    writer.write(utf16ToUtf8(text));
}

} // namespace rz
