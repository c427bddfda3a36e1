#include "FontTextWalker.h"

#include "platform/text/Utf.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <functional>
#include <vector>

namespace rz::test {

namespace {

constexpr int kMaxFormDepth = 8;

struct Walker {
    WalkedPage& out;
    std::shared_ptr<QXPDFFont> font;
    std::vector<std::shared_ptr<QXPDFFont>> saved;
    // Fonts by (resources object, name) so forms with their own resources
    // keep their own fonts.
    std::map<std::string, std::shared_ptr<QXPDFFont>> cache;

    void selectFont(const pdf::ContentStream& content, const std::string& name)
    {
        const pdf::Object dict = content.resource("Font", name);
        if (dict.isNull())
            return;
        const std::string key = dict.unparse() + "|" + name;
        auto it = cache.find(key);
        if (it == cache.end()) {
            it = cache.emplace(key, QXPDFFont::FontWithDictionary(dict, name)).first;
            out.fonts.emplace(name, it->second);
        }
        if (it->second)
            font = it->second;
    }

    void show(const std::string& bytes)
    {
        if (!font)
            return;
        const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
        int len = static_cast<int>(bytes.size());
        while (len > 0) {
            uint32_t code = 0;
            char16_t u[QXPDFFont::kCharUnitCapacity];
            int uLen = 0;
            double dx = 0, dy = 0, ox = 0, oy = 0;
            const int used = font->getNextChar(s, len, &code, u, QXPDFFont::kCharUnitCapacity,
                                               &uLen, &dx, &dy, &ox, &oy);
            if (used <= 0 || used > len) {
                out.text += "<BAD DECODER>";
                return;
            }
            out.text += utf16ToUtf8(std::u16string(u, u + uLen));
            ++out.characters;
            out.advance += dx;
            s += used;
            len -= used;
        }
    }

    void scan(const pdf::ContentStream& content, int depth)
    {
        pdf::OperatorTable table;
        table.set("Tf", [&](pdf::Scanner& sc) {
            double size = 0;
            std::string name;
            if (sc.popNumber(&size) && sc.popName(&name))
                selectFont(content, name);
        });
        table.set("q", [&](pdf::Scanner&) { saved.push_back(font); });
        table.set("Q", [&](pdf::Scanner&) {
            if (!saved.empty()) {
                font = saved.back();
                saved.pop_back();
            }
        });
        table.set("BT", [&](pdf::Scanner&) { out.text += ' '; });
        auto showString = [&](pdf::Scanner& sc) {
            std::string bytes;
            if (sc.popString(&bytes))
                show(bytes);
        };
        table.set("Tj", showString);
        table.set("'", showString);
        table.set("\"", showString);
        for (const char* move : {"Td", "TD", "T*", "Tm"})
            table.set(move, [&](pdf::Scanner&) { out.text += ' '; });
        table.set("TJ", [&](pdf::Scanner& sc) {
            pdf::Object array;
            if (!sc.popArray(&array))
                return;
            for (size_t i = 0; i < array.size(); ++i) {
                const pdf::Object element = array.at(i);
                if (const std::optional<std::string> bytes = element.stringBytes())
                    show(*bytes);
                else if (const std::optional<double> n = element.number(); n && *n < -200)
                    out.text += ' ';
            }
        });
        table.set("Do", [&](pdf::Scanner& sc) {
            std::string name;
            if (!sc.popName(&name) || depth >= kMaxFormDepth)
                return;
            const pdf::Object xobject = content.resource("XObject", name);
            if (!xobject.isStream() || xobject.get("Subtype").name() != "Form")
                return;
            const pdf::ContentStream form(xobject, xobject.get("Resources"), &content);
            const std::shared_ptr<QXPDFFont> keep = font;
            scan(form, depth + 1);
            font = keep;
        });
        pdf::Scanner scanner(content, table);
        scanner.scan();
    }
};

} // namespace

WalkedPage walkPageText(const pdf::Page& page)
{
    WalkedPage result;
    if (!page.isValid())
        return result;
    Walker walker{result, nullptr, {}, {}};
    const pdf::ContentStream content(page);
    walker.scan(content, 0);
    result.scanned = true;
    return result;
}

std::string comparable(const std::string& utf8)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    icu::UnicodeString normalized = U_SUCCESS(status) ? nfkc->normalize(text, status) : text;
    if (U_FAILURE(status))
        normalized = text;
    icu::UnicodeString kept;
    for (int32_t i = 0; i < normalized.length();) {
        const UChar32 c = normalized.char32At(i);
        i += U16_LENGTH(c);
        if (!u_isUWhiteSpace(c) && c != 0xFEFF && c != 0xAD)
            kept.append(c);
    }
    std::string out;
    kept.toUTF8String(out);
    return out;
}

} // namespace rz::test
