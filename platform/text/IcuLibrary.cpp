#include "platform/text/IcuLibrary.h"

#include "platform/core/SharedLibrary.h"
#include "platform/text/Utf.h"

#include <cstdint>

namespace rz {

// The library's name of a function: the renamed token, as text.
#define RZ_ICU_NAME(token) RZ_ICU_NAME_TEXT(token)
#define RZ_ICU_NAME_TEXT(token) #token

const IcuLibrary& icuLibrary()
{
    static const IcuLibrary lib =
        SharedLibrary::loadTable<IcuLibrary>(RZ_ICU_LIBRARY, [](const SharedLibrary& library, IcuLibrary& table) {
            bool all = true;
#define RZ_LOAD(name) all = library.load(table.name, RZ_ICU_NAME(name)) && all;
            RZ_ICU_FUNCTIONS(RZ_LOAD)
#undef RZ_LOAD
            return all;
        });
    return lib;
}

int unicodeCharType(char32_t c)
{
    const IcuLibrary& icu = icuLibrary();
    return icu.loaded ? static_cast<int>(icu.u_charType(static_cast<UChar32>(c))) : static_cast<int>(U_UNASSIGNED);
}

std::string lowerCasedText(std::string_view text)
{
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        // ASCII lower-cases letter by letter under the root locale's rules.
        std::string out(text);
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    }
    const IcuLibrary& icu = icuLibrary();
    const std::u16string source = utf8ToUtf16(text);
    if (!icu.loaded || source.size() > static_cast<size_t>(INT32_MAX / 4))
        return std::string(text);
    // Lower-casing can lengthen a text (U+0130 becomes two units); ICU says
    // how long when the first buffer is short.
    std::u16string lower(source.size() + 8, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = icu.u_strToLower(lower.data(), static_cast<int32_t>(lower.size()), source.data(),
                                                static_cast<int32_t>(source.size()), "", &status);
        if (status == U_BUFFER_OVERFLOW_ERROR && length > 0) {
            lower.assign(static_cast<size_t>(length), u'\0');
            continue;
        }
        if (U_FAILURE(status) || length < 0)
            return std::string(text);
        lower.resize(static_cast<size_t>(length));
        return utf16ToUtf8(lower);
    }
    return std::string(text);
}

std::optional<std::string> saslPreparedText(std::string_view text)
{
    if (!isValidUtf8(text))
        return std::nullopt;
    const IcuLibrary& icu = icuLibrary();
    const std::u16string source = utf8ToUtf16(text);
    if (!icu.loaded || source.size() > static_cast<size_t>(INT32_MAX / 4))
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    UStringPrepProfile* profile = icu.usprep_openByType(USPREP_RFC4013_SASLPREP, &status);
    if (U_FAILURE(status) || !profile)
        return std::nullopt;
    // NFKC can lengthen a text (U+FDFA becomes 18 characters); ICU says how
    // long when the first buffer is short.
    std::optional<std::string> result;
    std::u16string prepared(source.size() + 16, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        status = U_ZERO_ERROR;
        UParseError where;
        const int32_t length =
            icu.usprep_prepare(profile, source.data(), static_cast<int32_t>(source.size()), prepared.data(),
                               static_cast<int32_t>(prepared.size()), USPREP_ALLOW_UNASSIGNED, &where, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR && length > 0) {
            prepared.assign(static_cast<size_t>(length), u'\0');
            continue;
        }
        if (U_SUCCESS(status) && length >= 0) {
            prepared.resize(static_cast<size_t>(length));
            result = utf16ToUtf8(prepared);
        }
        break;
    }
    icu.usprep_close(profile);
    return result;
}

} // namespace rz
