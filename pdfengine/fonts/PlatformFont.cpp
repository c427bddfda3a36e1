#include "pdfengine/fonts/PlatformFont.h"

#include "pdfengine/fonts/FontDataTables.h"
#include "pdfengine/fonts/HarfBuzzLibrary.h"
#include "pdfengine/fonts/LegacyEncodings.h"
#include "platform/text/Utf.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include FT_TRUETYPE_TABLES_H
#include FT_TYPE1_TABLES_H

#include <cmath>
#include <mutex>

namespace rz {

namespace {

// One FreeType library for the process. Faces are made and released under
// this lock, as FreeType requires when faces of one library live on
// several threads.
std::mutex& libraryMutex()
{
    static std::mutex mutex;
    return mutex;
}

FT_Library library()
{
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0)
            return static_cast<FT_Library>(nullptr);
        return l;
    }();
    return lib;
}

// Text of an sfnt name record: UTF-16BE for Unicode and Windows names, Mac
// Roman for Macintosh Roman names; empty for other encodings.
std::string decodeSfntName(const FT_SfntName& name)
{
    if (name.platform_id == TT_PLATFORM_MICROSOFT || name.platform_id == TT_PLATFORM_APPLE_UNICODE) {
        std::u16string units;
        for (FT_UInt i = 0; i + 1 < name.string_len; i += 2)
            units.push_back(static_cast<char16_t>((name.string[i] << 8) | name.string[i + 1]));
        return utf16ToUtf8(units);
    }
    if (name.platform_id == TT_PLATFORM_MACINTOSH && name.encoding_id == TT_MAC_ID_ROMAN) {
        std::string out;
        for (FT_UInt i = 0; i < name.string_len; ++i) {
            if (auto c = decodeByteInStringEncoding(kStringEncodingMacOSRoman, name.string[i]))
                appendUtf8(out, *c);
        }
        return out;
    }
    return {};
}

// The best record of a name ID: Windows English, other Windows, Unicode,
// Macintosh Roman.
std::string sfntName(FT_Face face, FT_UShort nameId)
{
    if (!FT_IS_SFNT(face))
        return {};
    int bestRank = 100;
    std::string best;
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != nameId)
            continue;
        int rank = 4;
        if (name.platform_id == TT_PLATFORM_MICROSOFT)
            rank = name.language_id == 0x409 ? 0 : 1;
        else if (name.platform_id == TT_PLATFORM_APPLE_UNICODE)
            rank = 2;
        else if (name.platform_id == TT_PLATFORM_MACINTOSH)
            rank = 3;
        if (rank >= bestRank)
            continue;
        std::string text = decodeSfntName(name);
        if (!text.empty()) {
            best = std::move(text);
            bestRank = rank;
        }
    }
    return best;
}

} // namespace

struct PlatformFont::Impl {
    std::shared_ptr<const std::string> data; // the program when loaded from bytes
    FT_Face face = nullptr;
    // Made on first shaping, for a scalable face set to one pixel per unit.
    hb_font_t* hbFont = nullptr;
    bool shapeable = false;

    ~Impl()
    {
        std::lock_guard<std::mutex> lock(libraryMutex());
        if (hbFont)
            harfBuzzLibrary().font_destroy(hbFont);
        if (face)
            FT_Done_Face(face);
    }
};

std::shared_ptr<PlatformFont> PlatformFont::createWithData(std::string data, int faceIndex)
{
    if (data.empty())
        return nullptr;
    return load(std::make_shared<const std::string>(std::move(data)), faceIndex);
}

std::shared_ptr<PlatformFont> PlatformFont::createWithFile(const std::string& path, int faceIndex)
{
    if (path.empty() || faceIndex < 0)
        return nullptr;
    std::shared_ptr<PlatformFont> font(new PlatformFont());
    font->impl_ = std::make_unique<Impl>();
    {
        std::lock_guard<std::mutex> lock(libraryMutex());
        if (!library() || FT_New_Face(library(), path.c_str(), faceIndex, &font->impl_->face) != 0) {
            font->impl_->face = nullptr;
            return nullptr;
        }
    }
    font->readMetrics();
    return font;
}

std::shared_ptr<PlatformFont> PlatformFont::load(std::shared_ptr<const std::string> data,
                                                 int faceIndex)
{
    if (faceIndex < 0)
        return nullptr;
    std::shared_ptr<PlatformFont> font(new PlatformFont());
    font->impl_ = std::make_unique<Impl>();
    font->impl_->data = std::move(data);
    {
        std::lock_guard<std::mutex> lock(libraryMutex());
        const auto* bytes = reinterpret_cast<const FT_Byte*>(font->impl_->data->data());
        if (!library() ||
            FT_New_Memory_Face(library(), bytes, static_cast<FT_Long>(font->impl_->data->size()),
                               faceIndex, &font->impl_->face) != 0) {
            font->impl_->face = nullptr;
            return nullptr;
        }
    }
    font->readMetrics();
    return font;
}

PlatformFont::~PlatformFont() = default;

void PlatformFont::readMetrics()
{
    FT_Face face = impl_->face;
    unitsPerEm_ = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    glyphCount_ = face->num_glyphs > 0 ? face->num_glyphs : 0;
    ascent_ = face->ascender;
    descent_ = face->descender;
    leading_ = std::max(0, face->height - (face->ascender - face->descender));
    if (const char* ps = FT_Get_Postscript_Name(face))
        postScriptName_ = ps;

    PS_FontInfoRec info;
    const bool hasPSInfo = FT_Get_PS_Font_Info(face, &info) == 0;
    fullName_ = sfntName(face, TT_NAME_ID_FULL_NAME);
    if (fullName_.empty() && hasPSInfo && info.full_name)
        fullName_ = info.full_name;
    familyName_ = sfntName(face, TT_NAME_ID_FONT_FAMILY);
    if (familyName_.empty() && face->family_name)
        familyName_ = face->family_name;
    styleName_ = sfntName(face, TT_NAME_ID_FONT_SUBFAMILY);
    if (styleName_.empty() && face->style_name)
        styleName_ = face->style_name;

    if (const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST)))
        italicAngle_ = post->italicAngle / 65536.0;
    else if (hasPSInfo)
        italicAngle_ = static_cast<double>(info.italic_angle);

    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->version != 0xFFFF) {
        capHeight_ = os2->sCapHeight;
        xHeight_ = os2->sxHeight;
    }
    // Without OS/2 heights, the tops of "H" and "x" give them.
    auto glyphTop = [face](char32_t c) {
        const FT_UInt glyph = FT_Get_Char_Index(face, c);
        if (glyph == 0 || FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) != 0)
            return 0;
        return static_cast<int>(face->glyph->metrics.horiBearingY);
    };
    if (capHeight_ == 0)
        capHeight_ = glyphTop('H');
    if (xHeight_ == 0)
        xHeight_ = glyphTop('x');

    // Shaping at one pixel per font unit gives advances in font units.
    impl_->shapeable =
        FT_IS_SCALABLE(face) && FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(unitsPerEm_) * 64, 72, 72) == 0;
}

uint16_t PlatformFont::glyphForCharacter(char32_t character) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const FT_UInt glyph = FT_Get_Char_Index(impl_->face, character);
    return glyph <= 0xFFFF ? static_cast<uint16_t>(glyph) : 0;
}

uint16_t PlatformFont::glyphForCharCode(char32_t character) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    FT_Face face = impl_->face;
    FT_CharMap saved = face->charmap;
    auto lookIn = [face](FT_CharMap map, FT_ULong c) -> FT_UInt {
        if (!map || FT_Set_Charmap(face, map) != 0)
            return 0;
        return FT_Get_Char_Index(face, c);
    };
    auto find = [face](int platform, int encoding) -> FT_CharMap {
        for (FT_Int i = 0; i < face->num_charmaps; ++i) {
            FT_CharMap map = face->charmaps[i];
            if (map->platform_id == platform && map->encoding_id == encoding)
                return map;
        }
        return nullptr;
    };
    FT_UInt glyph = 0;
    FT_CharMap unicode = nullptr;
    for (FT_Int i = 0; i < face->num_charmaps && !unicode; ++i) {
        if (face->charmaps[i]->encoding == FT_ENCODING_UNICODE)
            unicode = face->charmaps[i];
    }
    glyph = lookIn(unicode, character);
    if (glyph == 0 && character <= 0xFF)
        glyph = lookIn(find(TT_PLATFORM_MICROSOFT, TT_MS_ID_SYMBOL_CS), 0xF000 | character);
    if (glyph == 0) {
        // The Mac Roman byte of the character.
        int byte = -1;
        for (int b = 0; b < 256 && byte < 0; ++b) {
            if (kMacOSRomanToUnicode[b] == character)
                byte = b;
        }
        if (byte >= 0)
            glyph = lookIn(find(TT_PLATFORM_MACINTOSH, TT_MAC_ID_ROMAN), static_cast<FT_ULong>(byte));
    }
    if (saved)
        FT_Set_Charmap(face, saved);
    return glyph <= 0xFFFF ? static_cast<uint16_t>(glyph) : 0;
}

std::vector<std::string> PlatformFont::builtinEncodingGlyphNames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    FT_Face face = impl_->face;
    if (!FT_HAS_GLYPH_NAMES(face))
        return {};
    FT_CharMap custom = nullptr;
    for (FT_Int i = 0; i < face->num_charmaps && !custom; ++i) {
        if (face->charmaps[i]->encoding == FT_ENCODING_ADOBE_CUSTOM)
            custom = face->charmaps[i];
    }
    if (!custom)
        return {};
    FT_CharMap saved = face->charmap;
    if (FT_Set_Charmap(face, custom) != 0)
        return {};
    std::vector<std::string> names(256);
    for (FT_ULong code = 0; code < 256; ++code) {
        const FT_UInt glyph = FT_Get_Char_Index(face, code);
        char buffer[128] = {};
        if (glyph != 0 && FT_Get_Glyph_Name(face, glyph, buffer, sizeof buffer) == 0)
            names[code] = buffer;
    }
    if (saved)
        FT_Set_Charmap(face, saved);
    return names;
}

int PlatformFont::advanceOfGlyph(uint16_t glyph) const
{
    if (!hasGlyph(glyph))
        return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    FT_Fixed advance = 0;
    if (FT_Get_Advance(impl_->face, glyph, FT_LOAD_NO_SCALE, &advance) != 0)
        return 0;
    return static_cast<int>(advance);
}

bool PlatformFont::shapedAdvance(std::string_view utf8, double& advance) const
{
    advance = 0;
    if (utf8.empty())
        return true;
    if (!isValidUtf8(utf8) || utf8.size() > static_cast<size_t>(INT32_MAX))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    const HarfBuzzLibrary& hb = harfBuzzLibrary();
    if (!impl_->hbFont && impl_->shapeable && hb.loaded) {
        impl_->hbFont = hb.ft_font_create(impl_->face, nullptr);
        hb.ft_font_set_load_flags(impl_->hbFont, FT_LOAD_NO_HINTING);
    }
    if (!impl_->hbFont) {
        // Not scalable: the characters' advances, unkerned.
        size_t i = 0;
        while (i < utf8.size()) {
            const char32_t c = nextCodePoint(utf8, i);
            const FT_UInt glyph = FT_Get_Char_Index(impl_->face, c);
            FT_Fixed a = 0;
            if (glyph == 0 || FT_Get_Advance(impl_->face, glyph, FT_LOAD_NO_SCALE, &a) != 0)
                return false;
            advance += static_cast<double>(a);
        }
        return true;
    }
    hb_buffer_t* buffer = hb.buffer_create();
    hb.buffer_add_utf8(buffer, utf8.data(), static_cast<int>(utf8.size()), 0,
                       static_cast<int>(utf8.size()));
    hb.buffer_guess_segment_properties(buffer);
    hb.shape(impl_->hbFont, buffer, nullptr, 0);
    unsigned int count = 0;
    const hb_glyph_info_t* infos = hb.buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb.buffer_get_glyph_positions(buffer, &count);
    bool complete = true;
    double sum = 0;
    for (unsigned int i = 0; i < count; ++i) {
        if (infos[i].codepoint == 0) {
            complete = false;
            break;
        }
        sum += positions[i].x_advance / 64.0;
    }
    hb.buffer_destroy(buffer);
    if (!complete)
        return false;
    advance = sum;
    return true;
}

} // namespace rz
