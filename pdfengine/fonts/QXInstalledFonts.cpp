#include "pdfengine/fonts/QXInstalledFonts.h"

#include "pdfengine/fonts/FontconfigLibrary.h"
#include "platform/text/Ascii.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <tuple>
#include <unordered_map>

namespace rz {

namespace {

// The value of a multi-language string property: the English one, else the
// first; `avoid` is passed over when another value exists.
std::string pickString(FcPattern* pattern, const char* object, const char* langObject,
                       const std::string& avoid = {})
{
    std::vector<std::pair<std::string, std::string>> values; // (value, language)
    for (int i = 0;; ++i) {
        FcChar8* value = nullptr;
        if (fontconfigLibrary().PatternGetString(pattern, object, i, &value) != FcResultMatch)
            break;
        FcChar8* lang = nullptr;
        std::string language;
        if (fontconfigLibrary().PatternGetString(pattern, langObject, i, &lang) == FcResultMatch && lang)
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
    if (fontconfigLibrary().PatternGetString(pattern, FC_FONTFORMAT, 0, &format) != FcResultMatch || !format)
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

// Distance of a face from the regular one as a family name picks it.
int regularDistance(const QXInstalledFace& f)
{
    return std::abs(f.weight - FC_WEIGHT_REGULAR) + (f.slant != FC_SLANT_ROMAN ? 1000 : 0);
}

// The installed faces and the name indexes of every lookup, built once per
// process from one fontconfig listing (fontconfig answers it from its
// caches; no font file is opened).
class FontIndex {
public:
    static const FontIndex& shared()
    {
        // Lives for the whole process.
        static const FontIndex* index = new FontIndex();
        return *index;
    }

    std::vector<QXInstalledFace> faces; // sorted by family, PostScript name
    std::vector<std::string> familyNames; // sorted
    // Family -> [first, end) of its faces.
    std::unordered_map<std::string, std::pair<size_t, size_t>> familyRanges;
    // Lower-cased PostScript, full and family names -> face; the first face
    // in order, and for a family its face nearest regular.
    std::unordered_map<std::string, size_t> byPostScriptName;
    std::unordered_map<std::string, size_t> byFullName;
    std::unordered_map<std::string, size_t> byFamily;
    // Exact PostScript name -> first face.
    std::unordered_map<std::string, size_t> byExactPostScriptName;

    struct FileEntry {
        QXInstalledFontFile file;
        int distance = 0; // from the regular face; for families only
    };
    // Every name of every listed face, lower-cased, for text measuring.
    std::unordered_map<std::string, FileEntry> filesByPostScriptName;
    std::unordered_map<std::string, FileEntry> filesByFullName;
    std::unordered_map<std::string, FileEntry> filesByFamily;

private:
    FontIndex()
    {
        const FontconfigLibrary& fc = fontconfigLibrary();
        if (!fc.loaded || !fc.Init())
            return;
        FcPattern* pattern = fc.PatternCreate();
        FcObjectSet* objects = fc.ObjectSetBuild(
            FC_FAMILY, FC_FAMILYLANG, FC_STYLE, FC_STYLELANG, FC_FULLNAME, FC_FULLNAMELANG,
            FC_POSTSCRIPT_NAME, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_FONTFORMAT,
            FC_SCALABLE, nullptr);
        // The current configuration stays loaded for the process (and for
        // any other user of fontconfig in it).
        FcFontSet* set = (pattern && objects) ? fc.FontList(nullptr, pattern, objects) : nullptr;
        std::vector<std::tuple<int, QXInstalledFace>> found;
        if (set && set->nfont > 0)
            found.reserve(static_cast<size_t>(set->nfont));
        for (int i = 0; set && i < set->nfont; ++i) {
            addFile(set->fonts[i]);
            if (std::optional<QXInstalledFace> face = installedFace(set->fonts[i]))
                found.emplace_back(formatRank(set->fonts[i]), std::move(*face));
        }
        if (set)
            fc.FontSetDestroy(set);
        if (objects)
            fc.ObjectSetDestroy(objects);
        if (pattern)
            fc.PatternDestroy(pattern);
        buildFaces(std::move(found));
    }

    static std::optional<QXInstalledFace> installedFace(FcPattern* font)
    {
        FcBool scalable = FcTrue;
        if (fontconfigLibrary().PatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable)
            return std::nullopt;
        FcChar8* file = nullptr;
        if (fontconfigLibrary().PatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file)
            return std::nullopt;
        QXInstalledFace installed;
        installed.file = reinterpret_cast<const char*>(file);
        fontconfigLibrary().PatternGetInteger(font, FC_INDEX, 0, &installed.index);
        fontconfigLibrary().PatternGetInteger(font, FC_WEIGHT, 0, &installed.weight);
        fontconfigLibrary().PatternGetInteger(font, FC_SLANT, 0, &installed.slant);
        installed.family = pickString(font, FC_FAMILY, FC_FAMILYLANG);
        FcChar8* ps = nullptr;
        if (fontconfigLibrary().PatternGetString(font, FC_POSTSCRIPT_NAME, 0, &ps) == FcResultMatch && ps)
            installed.face.postScriptName = reinterpret_cast<const char*>(ps);
        installed.face.face = pickString(font, FC_STYLE, FC_STYLELANG);
        installed.face.fullName =
            pickString(font, FC_FULLNAME, FC_FULLNAMELANG, installed.face.postScriptName);
        if (installed.family.empty())
            return std::nullopt;
        if (installed.face.fullName.empty())
            installed.face.fullName = installed.face.face.empty()
                                          ? installed.family
                                          : installed.family + " " + installed.face.face;
        if (installed.face.postScriptName.empty())
            installed.face.postScriptName = installed.face.fullName;
        installed.face.wordName =
            wordNameOf(installed.family, installed.face.face, installed.face.fullName);
        return installed;
    }

    void buildFaces(std::vector<std::tuple<int, QXInstalledFace>> found)
    {
        // One face per PostScript name: TrueType before CFF before Type 1,
        // then by file. (The order is sorted by index, the faces moved once.)
        std::vector<size_t> order(found.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&found](size_t a, size_t b) {
            const auto& [rankA, fa] = found[a];
            const auto& [rankB, fb] = found[b];
            return std::tie(fa.family, fa.face.postScriptName, rankA, fa.file, fa.index) <
                   std::tie(fb.family, fb.face.postScriptName, rankB, fb.file, fb.index);
        });
        faces.reserve(found.size());
        for (size_t i : order) {
            QXInstalledFace& face = std::get<1>(found[i]);
            if (!faces.empty() && faces.back().family == face.family &&
                faces.back().face.postScriptName == face.face.postScriptName)
                continue;
            faces.push_back(std::move(face));
        }

        for (size_t i = 0; i < faces.size(); ++i) {
            const QXInstalledFace& face = faces[i];
            if (familyNames.empty() || familyNames.back() != face.family) {
                familyNames.push_back(face.family);
                familyRanges.emplace(face.family, std::make_pair(i, i + 1));
            } else {
                familyRanges[face.family].second = i + 1;
            }
            byExactPostScriptName.emplace(face.face.postScriptName, i);
            byPostScriptName.emplace(asciiLower(face.face.postScriptName), i);
            byFullName.emplace(asciiLower(face.face.fullName), i);
            // The most regular face of a family (weight nearest regular,
            // upright first; the first between equals).
            const auto [it, added] = byFamily.emplace(asciiLower(face.family), i);
            if (!added && regularDistance(face) < regularDistance(faces[it->second]))
                it->second = i;
        }
    }

    static void insertFile(std::unordered_map<std::string, FileEntry>& map, std::string key,
                           const FileEntry& entry)
    {
        const auto [it, added] = map.emplace(std::move(key), entry);
        if (added)
            return;
        // The nearer face wins; between equals, the one of the smaller file
        // path, so that the choice does not depend on the listing order.
        const FileEntry& old = it->second;
        if (std::tie(entry.distance, entry.file.file, entry.file.index) <
            std::tie(old.distance, old.file.file, old.file.index))
            it->second = entry;
    }

    void addFile(FcPattern* font)
    {
        FcChar8* file = nullptr;
        FcBool scalable = FcFalse;
        if (fontconfigLibrary().PatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file ||
            fontconfigLibrary().PatternGetBool(font, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable)
            return;
        int index = 0;
        fontconfigLibrary().PatternGetInteger(font, FC_INDEX, 0, &index);
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN, width = FC_WIDTH_NORMAL;
        fontconfigLibrary().PatternGetInteger(font, FC_WEIGHT, 0, &weight);
        fontconfigLibrary().PatternGetInteger(font, FC_SLANT, 0, &slant);
        fontconfigLibrary().PatternGetInteger(font, FC_WIDTH, 0, &width);

        FileEntry entry;
        entry.file.file = reinterpret_cast<const char*>(file);
        entry.file.index = index;
        entry.distance = std::abs(weight - FC_WEIGHT_REGULAR) + std::abs(width - FC_WIDTH_NORMAL) +
                         (slant == FC_SLANT_ROMAN ? 0 : 1000);
        const auto names = [&](const char* object, std::unordered_map<std::string, FileEntry>& map,
                               const FileEntry& e) {
            FcChar8* value = nullptr;
            for (int n = 0; fontconfigLibrary().PatternGetString(font, object, n, &value) == FcResultMatch; ++n) {
                if (value)
                    insertFile(map, asciiLower(reinterpret_cast<const char*>(value)), e);
            }
        };
        FileEntry exact = entry;
        exact.distance = 0;
        names(FC_POSTSCRIPT_NAME, filesByPostScriptName, exact);
        names(FC_FULLNAME, filesByFullName, exact);
        names(FC_FAMILY, filesByFamily, entry);
    }
};

QXFontFace measure(const QXInstalledFace& installed)
{
    QXFontFace f = installed.face;
    const std::shared_ptr<PlatformFont> font =
        PlatformFont::createWithFile(installed.file, installed.index);
    if (!font)
        return f;
    const double scale = 10.0 / font->unitsPerEm();
    f.ascender = font->ascent() * scale;
    f.descender = font->descent() * scale;
    f.leading = font->leading() * scale;
    f.capHeight = font->capHeight() * scale;
    f.xHeight = font->xHeight() * scale;
    f.italicAngle = font->italicAngle();
    return f;
}

} // namespace

const std::vector<QXInstalledFace>& QXInstalledFonts::installedFaces()
{
    return FontIndex::shared().faces;
}

QXFontFace QXInstalledFonts::measuredFace(const QXInstalledFace& face)
{
    // The numbers of each font file face, read once.
    static std::mutex mutex;
    static std::map<std::pair<std::string, int>, QXFontFace> measured;
    std::lock_guard<std::mutex> lock(mutex);
    const auto key = std::make_pair(face.file, face.index);
    auto it = measured.find(key);
    if (it == measured.end())
        it = measured.emplace(key, measure(face)).first;
    QXFontFace result = face.face;
    result.ascender = it->second.ascender;
    result.descender = it->second.descender;
    result.leading = it->second.leading;
    result.capHeight = it->second.capHeight;
    result.italicAngle = it->second.italicAngle;
    result.xHeight = it->second.xHeight;
    return result;
}

const QXFontBook& QXInstalledFonts::fontBook()
{
    static const QXFontBook book = [] {
        QXFontBook b;
        for (const QXInstalledFace& face : installedFaces())
            b[face.family].emplace(face.face.postScriptName, measuredFace(face));
        return b;
    }();
    return book;
}

std::vector<std::string> QXInstalledFonts::familyNames_QXLib()
{
    return FontIndex::shared().familyNames;
}

std::vector<std::string> QXInstalledFonts::fontNamesForFamilyName_QXLib(std::string_view family)
{
    const FontIndex& index = FontIndex::shared();
    std::vector<std::string> names;
    const auto it = index.familyRanges.find(std::string(family));
    if (it != index.familyRanges.end()) {
        for (size_t i = it->second.first; i < it->second.second; ++i)
            names.push_back(index.faces[i].face.postScriptName);
    }
    return names;
}

std::vector<QXFontFace> QXInstalledFonts::fontDictsForFamilyName_QXLib(std::string_view family)
{
    const FontIndex& index = FontIndex::shared();
    std::vector<QXFontFace> faces;
    const auto it = index.familyRanges.find(std::string(family));
    if (it != index.familyRanges.end()) {
        for (size_t i = it->second.first; i < it->second.second; ++i)
            faces.push_back(measuredFace(index.faces[i]));
    }
    return faces;
}

std::string QXInstalledFonts::wordNameForFontName_QXLib(std::string_view postScriptName)
{
    const FontIndex& index = FontIndex::shared();
    const auto it = index.byExactPostScriptName.find(std::string(postScriptName));
    return it != index.byExactPostScriptName.end() ? index.faces[it->second].face.wordName
                                                   : std::string(postScriptName);
}

const QXInstalledFace* QXInstalledFonts::findFace(std::string_view name)
{
    if (name.empty())
        return nullptr;
    const FontIndex& index = FontIndex::shared();
    const std::string key = asciiLower(name);
    for (const auto* map : {&index.byPostScriptName, &index.byFullName, &index.byFamily}) {
        const auto it = map->find(key);
        if (it != map->end())
            return &index.faces[it->second];
    }
    return nullptr;
}

const QXInstalledFontFile* QXInstalledFonts::findFontFile(std::string_view name)
{
    const FontIndex& index = FontIndex::shared();
    const std::string key = asciiLower(name);
    for (const auto* map :
         {&index.filesByPostScriptName, &index.filesByFullName, &index.filesByFamily}) {
        const auto it = map->find(key);
        if (it != map->end())
            return &it->second.file;
    }
    return nullptr;
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
