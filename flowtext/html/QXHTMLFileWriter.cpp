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
    const std::string safe = markupSafeText(text);
    std::string escaped;
    escaped.reserve(safe.size());
    for (const char c : safe) {
        switch (c) {
        case '\t':
        case '\n':
        case '\r':
            escaped += "<br \\>";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace rz
