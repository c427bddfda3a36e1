#include "pdfengine/fonts/QXInstalledFonts.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <mutex>
#include <tuple>

namespace rz {

namespace {

std::string asciiLower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// The value of a multi-language string property: the English one, else the
// first; `avoid` is passed over when another value exists.
std::string pickString(FcPattern* pattern, const char* object, const char* langObject,
                       const std::string& avoid = {})
{
    std::vector<std::pair<std::string, std::string>> values; // (value, language)
    for (int i = 0;; ++i) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(pattern, object, i, &value) != FcResultMatch)
            break;
        FcChar8* lang = nullptr;
        std::string language;
        if (FcPatternGetString(pattern, langObject, i, &lang) == FcResultMatch && lang)
            language = reinterpret_cast<const char*>(lang);
        values.emplace_back(reinterpret_cast<const char*>(value), language);
    }
    const auto acceptable = [&](const auto& v) { return avoid.empty() || v.first != avoid; };
    for (const auto& v : values) {
        if (v.second == "en" && acceptable(v))
            return v.first;
    }
    for (const auto& v : values) {
        if (acceptable(v))
            return v.first;
    }
    return values.empty() ? std::string() : values.front().first;
}

int formatRank(FcPattern* pattern)
{
    FcChar8* format = nullptr;
    if (FcPatternGetString(pattern, FC_FONTFORMAT, 0, &format) != FcResultMatch || !format)
        return 3;
    const std::string f = reinterpret_cast<const char*>(format);
    if (f == "TrueType")
        return 0;
    if (f == "CFF")
        return 1;
    return 2;
}

std::string wordNameOf(const std::string& family, const std::string& face,
                       const std::string& fullName)
{
    if (face.empty())
        return fullName;
    if (family == face)
        return family;
    return family + " " + face;
}

std::vector<QXInstalledFace> listInstalledFaces()
{
    std::vector<std::tuple<int, QXInstalledFace>> found;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return {};
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_STYLE, FC_STYLELANG, FC_FULLNAME,
                         FC_FULLNAMELANG, FC_POSTSCRIPT_NAME, FC_FILE, FC_INDEX, FC_WEIGHT,
                         FC_SLANT, FC_FONTFORMAT, FC_SCALABLE, nullptr);
    FcFontSet* set = FcFontList(config, pattern, objects);
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* font = set->fonts[i];
        FcBool scalable = FcTrue;
        if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable)
            continue;
        FcChar8* file = nullptr;
        if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file)
            continue;
        QXInstalledFace installed;
        installed.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(font, FC_INDEX, 0, &installed.index);
        FcPatternGetInteger(font, FC_WEIGHT, 0, &installed.weight);
        FcPatternGetInteger(font, FC_SLANT, 0, &installed.slant);
        installed.family = pickString(font, FC_FAMILY, FC_FAMILYLANG);
        FcChar8* ps = nullptr;
        if (FcPatternGetString(font, FC_POSTSCRIPT_NAME, 0, &ps) == FcResultMatch && ps)
            installed.face.postScriptName = reinterpret_cast<const char*>(ps);
        installed.face.face = pickString(font, FC_STYLE, FC_STYLELANG);
        installed.face.fullName =
            pickString(font, FC_FULLNAME, FC_FULLNAMELANG, installed.face.postScriptName);
        if (installed.family.empty())
            continue;
        if (installed.face.fullName.empty())
            installed.face.fullName = installed.face.face.empty()
                                          ? installed.family
                                          : installed.family + " " + installed.face.face;
        if (installed.face.postScriptName.empty())
            installed.face.postScriptName = installed.face.fullName;
        installed.face.wordName =
            wordNameOf(installed.family, installed.face.face, installed.face.fullName);
        found.emplace_back(formatRank(font), std::move(installed));
    }
    if (set)
        FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);

    // One face per PostScript name: TrueType before CFF before Type 1, then by file.
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const QXInstalledFace& fa = std::get<1>(a);
        const QXInstalledFace& fb = std::get<1>(b);
        return std::tie(fa.family, fa.face.postScriptName, std::get<0>(a), fa.file, fa.index) <
               std::tie(fb.family, fb.face.postScriptName, std::get<0>(b), fb.file, fb.index);
    });
    std::vector<QXInstalledFace> faces;
    for (auto& entry : found) {
        QXInstalledFace& face = std::get<1>(entry);
        if (!faces.empty() && faces.back().family == face.family &&
            faces.back().face.postScriptName == face.face.postScriptName)
            continue;
        faces.push_back(std::move(face));
    }
    return faces;
}

void measureFace(QXInstalledFace& installed)
{
    const std::shared_ptr<PlatformFont> font =
        PlatformFont::createWithFile(installed.file, installed.index);
    if (!font)
        return;
    const double scale = 10.0 / font->unitsPerEm();
    QXFontFace& f = installed.face;
    f.ascender = font->ascent() * scale;
    f.descender = font->descent() * scale;
    f.leading = font->leading() * scale;
    f.capHeight = font->capHeight() * scale;
    f.xHeight = font->xHeight() * scale;
    f.italicAngle = font->italicAngle();
}

} // namespace

const std::vector<QXInstalledFace>& QXInstalledFonts::installedFaces()
{
    static const std::vector<QXInstalledFace> faces = [] {
        std::vector<QXInstalledFace> list = listInstalledFaces();
        for (QXInstalledFace& face : list)
            measureFace(face);
        return list;
    }();
    return faces;
}

const QXFontBook& QXInstalledFonts::fontBook()
{
    static const QXFontBook book = [] {
        QXFontBook b;
        for (const QXInstalledFace& face : installedFaces())
            b[face.family].emplace(face.face.postScriptName, face.face);
        return b;
    }();
    return book;
}

std::vector<std::string> QXInstalledFonts::familyNames_QXLib()
{
    std::vector<std::string> names;
    for (const auto& [family, faces] : fontBook())
        names.push_back(family);
    return names;
}

std::vector<std::string> QXInstalledFonts::fontNamesForFamilyName_QXLib(std::string_view family)
{
    std::vector<std::string> names;
    const auto it = fontBook().find(std::string(family));
    if (it != fontBook().end()) {
        for (const auto& [ps, face] : it->second)
            names.push_back(ps);
    }
    return names;
}

std::vector<QXFontFace> QXInstalledFonts::fontDictsForFamilyName_QXLib(std::string_view family)
{
    std::vector<QXFontFace> faces;
    const auto it = fontBook().find(std::string(family));
    if (it != fontBook().end()) {
        for (const auto& [ps, face] : it->second)
            faces.push_back(face);
    }
    return faces;
}

std::string QXInstalledFonts::wordNameForFontName_QXLib(std::string_view postScriptName)
{
    for (const QXInstalledFace& face : installedFaces()) {
        if (face.face.postScriptName == postScriptName)
            return face.face.wordName;
    }
    return std::string(postScriptName);
}

const QXInstalledFace* QXInstalledFonts::findFace(std::string_view name)
{
    if (name.empty())
        return nullptr;
    const std::string key = asciiLower(name);
    const auto& faces = installedFaces();
    for (const QXInstalledFace& face : faces) {
        if (asciiLower(face.face.postScriptName) == key)
            return &face;
    }
    for (const QXInstalledFace& face : faces) {
        if (asciiLower(face.face.fullName) == key)
            return &face;
    }
    // A family name: its most regular face (weight nearest regular, upright first).
    const QXInstalledFace* best = nullptr;
    auto distance = [](const QXInstalledFace& f) {
        return std::abs(f.weight - FC_WEIGHT_REGULAR) + (f.slant != FC_SLANT_ROMAN ? 1000 : 0);
    };
    for (const QXInstalledFace& face : faces) {
        if (asciiLower(face.family) == key && (!best || distance(face) < distance(*best)))
            best = &face;
    }
    return best;
}

std::shared_ptr<PlatformFont> QXInstalledFonts::platformFont(const QXInstalledFace& face)
{
    static std::mutex mutex;
    static std::map<std::pair<std::string, int>, std::shared_ptr<PlatformFont>> opened;
    std::lock_guard<std::mutex> lock(mutex);
    const auto key = std::make_pair(face.file, face.index);
    if (auto it = opened.find(key); it != opened.end())
        return it->second;
    std::shared_ptr<PlatformFont> font = PlatformFont::createWithFile(face.file, face.index);
    opened.emplace(key, font);
    return font;
}

} // namespace rz
