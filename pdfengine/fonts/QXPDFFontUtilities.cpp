#include "pdfengine/fonts/QXPDFFontUtilities.h"

#include "platform/core/Resources.h"
#include "platform/text/IcuLibrary.h"
#include "platform/text/Utf.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unordered_map>

namespace rz {

namespace {

// Besides the common words, the abbreviated styles of the URW fonts that
// TeX and Ghostscript embed ("NimbusRomNo9L-Medi", "-ReguItal",
// "-MediItal", "URWPalladioL-Ital"): their bold weight is "Medi" or "Demi".
// TeX's fonts carry their style in the name's letters: bx bold extended,
// mi math italic, sl slanted, ti text italic.
constexpr std::string_view kBoldWords[] = {"bold",   "-bd",  "-md",  ".b",   "medium", "-w7",   "-w8",   "-w9",
                                           "-w10",   "-w12", "heavy", "black", "-blk",  "-medi", "-demi", "cmbx",
                                           "cmssbx", "sfbx", "cmmib", "cmbsy"};
constexpr std::string_view kItalicWords[] = {
    "italic",    ".i",       "blackadderitc", "cmti",     "oblique", "-lightit", "-mediumit",
    "-blackit",  "-blackobl", "-heavyit",     "-boldit",  "-boldobl", "-ltobl",  "-bdit",
    "-blkit",    "-hvit",    "-ital",         "reguital", "mediital", "demiital", "boldital",
    "lighital",  "bookital", "cmmi",          "cmsl",     "cmssi",   "cmitt",    "sfti",    "sfsl"};

bool containsAny(const std::string& haystack, const std::string_view* words, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (haystack.find(words[i]) != std::string::npos)
            return true;
    }
    return false;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool faceMatches(const QXFontFace& face, const std::string& key, std::string_view separators)
{
    for (const std::string* field : {&face.fullName, &face.wordName, &face.postScriptName}) {
        if (QXPDFFontUtilities::NormalizedFontName(*field, separators) == key)
            return true;
    }
    return false;
}

// Normalised names of the installed faces -> the answer of a book lookup,
// built once per process in the book's order, the first match kept.
struct NormalizedNameIndex {
    // Face separators: full, Word and PostScript names -> full name.
    std::unordered_map<std::string, std::string> faces;
    // Family separators: family names -> the family, and the face names of
    // each family after it -> full name.
    std::unordered_map<std::string, std::string> families;

    static const NormalizedNameIndex& shared()
    {
        // Lives for the whole process.
        static const NormalizedNameIndex* index = new NormalizedNameIndex();
        return *index;
    }

private:
    NormalizedNameIndex()
    {
        using U = QXPDFFontUtilities;
        const std::vector<QXInstalledFace>& installed = QXInstalledFonts::installedFaces();
        for (size_t i = 0; i < installed.size(); ++i) {
            const QXInstalledFace& face = installed[i];
            if (i == 0 || installed[i - 1].family != face.family)
                families.emplace(U::NormalizedFontName(face.family, U::kFamilyNameSeparators),
                                 face.family);
            for (const std::string* field :
                 {&face.face.fullName, &face.face.wordName, &face.face.postScriptName}) {
                faces.emplace(U::NormalizedFontName(*field, U::kFaceNameSeparators),
                              face.face.fullName);
                families.emplace(U::NormalizedFontName(*field, U::kFamilyNameSeparators),
                                 face.face.fullName);
            }
        }
    }
};

std::string lookUp(const std::unordered_map<std::string, std::string>& index,
                   std::string_view name, std::string_view separators)
{
    if (name.empty())
        return {};
    const std::string key = QXPDFFontUtilities::NormalizedFontName(name, separators);
    if (key.empty())
        return {};
    const auto it = index.find(key);
    return it != index.end() ? it->second : std::string();
}

// The replacement book's strings lower-cased once, entry by entry.
struct PreparedReplaceBook {
    const QXFontReplaceBook* book = nullptr;
    std::vector<std::vector<std::string>> lowerStrings;

    explicit PreparedReplaceBook(const QXFontReplaceBook* b) : book(b)
    {
        if (!book)
            return;
        for (const auto& entry : *book) {
            std::vector<std::string> lower;
            for (const std::string& s : entry.second)
                lower.push_back(lowerCasedText(s));
            lowerStrings.push_back(std::move(lower));
        }
    }
};

// The replacement of a name; `lowerStrings(i, j)` is the lower-cased j-th
// string of the i-th entry.
template <typename LowerStrings>
std::string replacementFor(const QXFontReplaceBook* book, std::string_view name,
                           const LowerStrings& lowerStrings)
{
    if (name.empty() || !book || book->empty())
        return {};
    const std::string lower = lowerCasedText(name);
    if (lower.find("null") != std::string::npos)
        return {};
    for (size_t i = 0; i < book->size(); ++i) {
        const auto& [replacement, strings] = (*book)[i];
        for (const std::string& s : strings) {
            if (s == name)
                return replacement;
        }
        for (size_t j = 0; j < strings.size(); ++j) {
            if (!strings[j].empty() && lower.find(lowerStrings(i, j)) != std::string::npos)
                return replacement;
        }
    }
    return {};
}

} // namespace

bool QXPDFFontUtilities::isBoldFontName(std::string_view name)
{
    if (name.empty())
        return false;
    return containsAny(lowerCasedText(name), kBoldWords, std::size(kBoldWords));
}

bool QXPDFFontUtilities::isItalicFontName(std::string_view name)
{
    if (name.empty())
        return false;
    return containsAny(lowerCasedText(name), kItalicWords, std::size(kItalicWords));
}

bool QXPDFFontUtilities::isSymbolFontName(std::string_view name)
{
    static constexpr std::string_view kSymbolWords[] = {"wingding", "webding", "dingbat", "symbol",
                                                        "marlett",  "mtextra", "mt extra"};
    if (name.empty())
        return false;
    return containsAny(lowerCasedText(name), kSymbolWords, std::size(kSymbolWords));
}

const QXFontBook& QXPDFFontUtilities::GetFontBook()
{
    return QXInstalledFonts::fontBook();
}

const QXFontBook& QXPDFFontUtilities::GetFontBookInThisDevice()
{
    return QXInstalledFonts::fontBook();
}

QXFontReplaceBook QXPDFFontUtilities::ParseFontBook_Replace(std::string_view text)
{
    QXFontReplaceBook book;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = trimmed(line.substr(1, line.size() - 2));
            if (!name.empty())
                book.emplace_back(std::string(name), std::vector<std::string>{});
            continue;
        }
        if (!book.empty())
            book.back().second.emplace_back(line);
    }
    return book;
}

const QXFontReplaceBook* QXPDFFontUtilities::GetFontBook_Replace()
{
    static const std::optional<QXFontReplaceBook> book = []() -> std::optional<QXFontReplaceBook> {
        const std::filesystem::path path = resourcePath("QXPDFParser/FontBook_Replace.txt");
        if (path.empty())
            return std::nullopt;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::ostringstream text;
        text << in.rdbuf();
        return ParseFontBook_Replace(text.str());
    }();
    return book ? &*book : nullptr;
}

std::string QXPDFFontUtilities::NormalizedFontName(std::string_view name, std::string_view removed)
{
    std::string lower = lowerCasedText(name);
    std::string out;
    out.reserve(lower.size());
    for (char c : lower) {
        if (removed.find(c) == std::string_view::npos)
            out.push_back(c);
    }
    return out;
}

std::string QXPDFFontUtilities::FontNameExistInFontBook(const QXFontBook& book,
                                                        std::string_view name)
{
    if (name.empty())
        return {};
    const std::string key = NormalizedFontName(name, kFaceNameSeparators);
    if (key.empty())
        return {};
    for (const auto& [family, faces] : book) {
        for (const auto& [ps, face] : faces) {
            if (faceMatches(face, key, kFaceNameSeparators))
                return face.fullName;
        }
    }
    return {};
}

std::string QXPDFFontUtilities::FontNameExistInFontBook(std::string_view name)
{
    // The installed book through its index: the same answer as a walk of
    // GetFontBook(), without opening a font.
    return lookUp(NormalizedNameIndex::shared().faces, name, kFaceNameSeparators);
}

std::string QXPDFFontUtilities::FontNameInComputer(std::string_view name)
{
    return FontNameExistInFontBook(name);
}

std::string QXPDFFontUtilities::FamilyNameExistInFontBook(const QXFontBook& book,
                                                          std::string_view name)
{
    if (name.empty())
        return {};
    const std::string key = NormalizedFontName(name, kFamilyNameSeparators);
    if (key.empty())
        return {};
    for (const auto& [family, faces] : book) {
        if (NormalizedFontName(family, kFamilyNameSeparators) == key)
            return family;
        for (const auto& [ps, face] : faces) {
            if (faceMatches(face, key, kFamilyNameSeparators))
                return face.fullName;
        }
    }
    return {};
}

std::string QXPDFFontUtilities::FamilyNameExistInFontBook(std::string_view name)
{
    return lookUp(NormalizedNameIndex::shared().families, name, kFamilyNameSeparators);
}

std::string QXPDFFontUtilities::FamilyNameInComputer(std::string_view name)
{
    return FamilyNameExistInFontBook(name);
}

std::string QXPDFFontUtilities::FamilyNameCut(std::string_view name)
{
    for (std::string_view cut : {"-", ",", "+.", "+"}) {
        const size_t at = name.find(cut);
        if (at != std::string_view::npos)
            return std::string(name.substr(0, at));
    }
    return std::string(name);
}

std::string QXPDFFontUtilities::ReplaceFontNameInFontBook(const QXFontReplaceBook* book,
                                                          std::string_view name)
{
    return replacementFor(book, name, [book](size_t i, size_t j) {
        return lowerCasedText((*book)[i].second[j]);
    });
}

std::string QXPDFFontUtilities::ReplaceFontNameInFontBook(std::string_view name)
{
    static const PreparedReplaceBook prepared(GetFontBook_Replace());
    return replacementFor(prepared.book, name, [](size_t i, size_t j) -> const std::string& {
        return prepared.lowerStrings[i][j];
    });
}

bool QXPDFFontUtilities::SystemFontNameIsExist(std::string_view name)
{
    return QXInstalledFonts::findFace(name) != nullptr;
}

std::string QXPDFFontUtilities::SystemFontFullNameForFontName(std::string_view name)
{
    const QXInstalledFace* face = QXInstalledFonts::findFace(name);
    return face ? face->face.fullName : std::string();
}

double QXPDFFontUtilities::SystemFontName(std::string_view fontName, double fontSize,
                                          std::string_view widthOfString)
{
    const QXInstalledFace* face = QXInstalledFonts::findFace(fontName);
    if (!face)
        return 0;
    const std::shared_ptr<PlatformFont> font = QXInstalledFonts::platformFont(*face);
    double advance = 0;
    if (!font || !font->shapedAdvance(widthOfString, advance))
        return 0;
    return advance * fontSize / font->unitsPerEm();
}

double QXPDFFontUtilities::CGFontWidthOfGlyphs(const PlatformFont* font, double fontSize,
                                               const uint16_t* glyphs, size_t length)
{
    if (!font || !glyphs)
        return 0;
    double sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += font->advanceOfGlyph(glyphs[i]);
    return sum * fontSize / font->unitsPerEm();
}

double QXPDFFontUtilities::CGFontWidthOfCharacters(const PlatformFont* font, double fontSize,
                                                   const char16_t* characters, size_t length)
{
    if (!font || !characters)
        return 0;
    double sum = 0;
    for (size_t i = 0; i < length; ++i) {
        char32_t c = characters[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && characters[i + 1] >= 0xDC00 &&
            characters[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (characters[i + 1] - 0xDC00);
            ++i;
        }
        const uint16_t glyph = font->glyphForCharacter(c);
        if (glyph == 0)
            return 0;
        sum += font->advanceOfGlyph(glyph);
    }
    return sum * fontSize / font->unitsPerEm();
}

double QXPDFFontUtilities::CGFontWidthOfGlyphCode(const PlatformFont* font, double fontSize,
                                                  uint16_t glyph)
{
    return CGFontWidthOfGlyphs(font, fontSize, &glyph, 1);
}

double QXPDFFontUtilities::CGFontWidthOfCharCode(const PlatformFont* font, double fontSize,
                                                 char16_t charCode)
{
    return CGFontWidthOfCharacters(font, fontSize, &charCode, 1);
}

double QXPDFFontUtilities::CGFontWidthOfString(const PlatformFont* font, double fontSize,
                                               std::string_view string)
{
    const std::u16string units = utf8ToUtf16(string);
    return CGFontWidthOfCharacters(font, fontSize, units.data(), units.size());
}

Size QXPDFFontUtilities::CGFontSizeOfString(const PlatformFont* font, double fontSize,
                                            std::string_view string)
{
    if (!font)
        return {};
    return {CGFontWidthOfString(font, fontSize, string),
            font->capHeight() * fontSize / font->unitsPerEm()};
}

} // namespace rz
