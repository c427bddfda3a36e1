#include "flowtext/rtf/QXRTFUtilities.h"

#include "platform/core/Numbers.h"
#include "platform/text/Utf.h"

namespace rz {

QXRTF_State QXRTFUtilities::defaultStateProperty()
{
    QXRTF_State state;
    state.fontSize = -1.0f;
    state.fontIndex = -1;
    state.foregroundColorIndex = -1;
    state.backgroundColorIndex = 0;
    return state;
}

int QXRTFUtilities::rtfUnicodeValue(char16_t unit)
{
    return unit > 32767 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit);
}

std::string QXRTFUtilities::rtfFontName(std::string_view name)
{
    std::string out;
    for (const char16_t u : utf8ToUtf16(name)) {
        if (u < 0x20 || u == 0x7F || u == u';')
            continue;
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 0x80) {
            out += static_cast<char>(u);
        } else {
            out += "\\u" + formatInteger(rtfUnicodeValue(u)) + "?";
        }
    }
    return out;
}

} // namespace rz
