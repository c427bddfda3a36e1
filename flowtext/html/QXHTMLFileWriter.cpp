#include "flowtext/html/QXHTMLFileWriter.h"

#include "platform/text/Utf.h"

namespace rz {

std::shared_ptr<QXHTMLFileWriter> QXHTMLFileWriter::initWithPath(const std::string& path)
{
    auto writer = std::make_shared<QXHTMLFileWriter>();
    if (!writer->openPath(path))
        return nullptr;
    return writer;
}

std::string QXHTMLFileWriter::escapedContent(std::u16string_view text) const
{
    std::u16string escaped;
    escaped.reserve(text.size());
    for (const char16_t u : text) {
        switch (u) {
        case u'\t':
        case u'\n':
        case u'\r':
            escaped += u"<br \\>";
            break;
        case u'"':
            escaped += u"&quot;";
            break;
        case u'&':
            escaped += u"&amp;";
            break;
        case u'<':
            escaped += u"&lt;";
            break;
        case u'>':
            escaped += u"&gt;";
            break;
        default:
            escaped += u;
        }
    }
    return utf16ToUtf8(escaped);
}

} // namespace rz
