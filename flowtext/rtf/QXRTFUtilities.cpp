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
    forEachMarkupCodePoint(name, [&out](char32_t cp) {
        if (cp < 0x20 || cp == U';')
            return;
        if (cp == U'\\' || cp == U'{' || cp == U'}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            std::u16string units;
            appendUtf16(units, cp);
            for (const char16_t u : units)
                out += "\\u" + formatInteger(rtfUnicodeValue(u)) + "?";
        }
    });
    return out;
}

} // namespace rz
