#include "flowtext/rtf/QXRTFFileWriter.h"

#include "flowtext/rtf/QXRTFUtilities.h"
#include "platform/core/Numbers.h"
#include "platform/text/Utf.h"

namespace rz {

std::shared_ptr<QXRTFFileWriter> QXRTFFileWriter::initWithPath(const std::string& path)
{
    auto writer = std::make_shared<QXRTFFileWriter>();
    if (!writer->openPath(path))
        return nullptr;
    return writer;
}

bool QXRTFFileWriter::isReserved(char16_t unit)
{
    return unit < 32 || unit > 126 || unit == u'\\' || unit == u'{' || unit == u'}';
}

std::string QXRTFFileWriter::escapedContent(std::u16string_view text) const
{
    std::string out;
    out.reserve(text.size());
    forEachMarkupCodePoint(text, [&out](char32_t cp) {
        if (cp >= 0x80) {
            std::u16string units;
            appendUtf16(units, cp);
            for (const char16_t u : units)
                out += "\\uc0\\u" + formatInteger(QXRTFUtilities::rtfUnicodeValue(u)) + " ";
            return;
        }
        const char16_t u = static_cast<char16_t>(cp);
        if (!isReserved(u)) {
            out += static_cast<char>(u);
        } else if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == u'\n') {
            out += "\\\n";
        } else if (u == u'\t') {
            out += "\\tab ";
        }
        // A carriage return has no place in the text.
    });
    return out;
}

} // namespace rz
