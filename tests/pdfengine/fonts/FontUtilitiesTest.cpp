#include "pdfengine/fonts/PlatformFont.h"
#include "pdfengine/fonts/QXInstalledFonts.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"

#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace rz;

// Counts the font files the font code opens (its calls of FT_New_Face
// resolve to this definition, which hands them on to FreeType).
std::atomic<int> facesOpened{0};

extern "C" FT_Error FT_New_Face(FT_Library library, const char* path, FT_Long index, FT_Face* face)
{
    ++facesOpened;
    using Open = FT_Error (*)(FT_Library, const char*, FT_Long, FT_Face*);
    static const Open open = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "FT_New_Face"));
    return open ? open(library, path, index, face) : FT_Err_Cannot_Open_Resource;
}

namespace {

using U = QXPDFFontUtilities;

QXFontFace face(const std::string& full, const std::string& ps, const std::string& word)
{
    QXFontFace f;
    f.fullName = full;
    f.postScriptName = ps;
    f.wordName = word;
    return f;
}

// A small book in the installed-font form.
QXFontBook sampleBook()
{
    QXFontBook book;
    book["Arial"]["ArialMT"] = face("Arial", "ArialMT", "Arial Regular");
    book["Arial"]["Arial-BoldMT"] = face("Arial Bold", "Arial-BoldMT", "Arial Bold");
    book["Myriad Pro"]["MyriadPro-Regular"] =
        face("Myriad Pro", "MyriadPro-Regular", "Myriad Pro Regular");
    return book;
}

const QXInstalledFace* liberationSans()
{
    return QXInstalledFonts::findFace("LiberationSans");
}

} // namespace

TEST(FontNames, BoldAndItalicWords)
{
    const struct {
        const char* name;
        bool bold;
        bool italic;
    } cases[] = {
        {"Arial-BoldMT", true, false},   {"MyriadPro-Medium", true, false},
        {"KozMinPro-W8", true, false},   {"Helvetica", false, false},
        {"Times-Italic", false, true},   {"Courier-Oblique", false, true},
        {"Foo.I", false, true},          {"Foo", false, false},
        {"FOO-BLACKIT", true, true},     {"", false, false},
        // The URW fonts' abbreviated styles.
        {"NimbusRomNo9L-Medi", true, false}, {"NimbusRomNo9L-ReguItal", false, true},
        {"NimbusRomNo9L-MediItal", true, true}, {"URWPalladioL-Ital", false, true},
        {"NimbusSanL-Regu", false, false}, {"DigitalSans", false, false},
        // TeX's: bold extended, math italic, bold math italic, slanted.
        {"CMBX12", true, false},           {"CMMI10", false, true},
        {"CMMIB10", true, true},           {"CMSL10", false, true},
        {"CMR10", false, false},           {"CMSY10", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U::isBoldFontName(c.name), c.bold) << c.name;
        EXPECT_EQ(U::isItalicFontName(c.name), c.italic) << c.name;
    }
}

TEST(FontNames, NormalisationAndCuts)
{
    EXPECT_EQ(U::NormalizedFontName("Arial-BoldMT", U::kFaceNameSeparators),
              U::NormalizedFontName("arial boldmt", U::kFaceNameSeparators));
    EXPECT_EQ(U::NormalizedFontName("Arial+Bold", U::kFaceNameSeparators),
              U::NormalizedFontName("ArialBold", U::kFaceNameSeparators));
    EXPECT_NE(U::NormalizedFontName("Arial+Bold", U::kFamilyNameSeparators),
              U::NormalizedFontName("ArialBold", U::kFamilyNameSeparators));
    EXPECT_EQ(U::NormalizedFontName("ÉLAN Sans", U::kFaceNameSeparators), "élansans");

    const struct {
        const char* name;
        const char* cut;
    } cuts[] = {{"Helvetica,Bold", "Helvetica"}, {"MyriadPro-Regular", "MyriadPro"},
                {"Plain", "Plain"},              {"AB+.Foo", "AB"},
                {"AB+Foo", "AB"},                {"A,B-C", "A,B"}};
    for (const auto& c : cuts)
        EXPECT_EQ(U::FamilyNameCut(c.name), c.cut) << c.name;
}

TEST(FontNames, BookLookups)
{
    const QXFontBook book = sampleBook();
    EXPECT_EQ(U::FontNameExistInFontBook(book, "arial boldmt"), "Arial Bold");
    EXPECT_EQ(U::FontNameExistInFontBook(book, "Arial+Bold"), "Arial Bold");
    EXPECT_EQ(U::FontNameExistInFontBook(book, "Arial Regular"), "Arial");
    EXPECT_EQ(U::FontNameExistInFontBook(book, "Arial Narrow"), "");
    EXPECT_EQ(U::FontNameExistInFontBook(book, ""), "");
    EXPECT_EQ(U::FamilyNameExistInFontBook(book, "myriad-pro"), "Myriad Pro");
    EXPECT_EQ(U::FamilyNameExistInFontBook(book, "Arial-BoldMT"), "Arial Bold");
    EXPECT_EQ(U::FamilyNameExistInFontBook(book, "Arial+Bold"), "");
}

TEST(FontNames, ReplacementBook)
{
    const QXFontReplaceBook book = U::ParseFontBook_Replace("# comment\n"
                                                            "[Mono Font]\r\nCourierNew\n"
                                                            "mono\n\n"
                                                            "[Sans Font]\n  Arial  \nSANS\n"
                                                            "orphan-free\n");
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book[1].second, (std::vector<std::string>{"Arial", "SANS", "orphan-free"}));
    EXPECT_EQ(U::ReplaceFontNameInFontBook(&book, "CourierNew"), "Mono Font");
    EXPECT_EQ(U::ReplaceFontNameInFontBook(&book, "NotoSansMono"), "Mono Font");
    EXPECT_EQ(U::ReplaceFontNameInFontBook(&book, "Arial-BoldMT"), "Sans Font");
    EXPECT_EQ(U::ReplaceFontNameInFontBook(&book, "OpenSans"), "Sans Font");
    EXPECT_EQ(U::ReplaceFontNameInFontBook(&book, "NullSans"), "");
    EXPECT_EQ(U::ReplaceFontNameInFontBook(&book, "Garamond"), "");
    EXPECT_EQ(U::ReplaceFontNameInFontBook(nullptr, "Arial"), "");
}

TEST(FontNames, ShippedReplacementBookNamesInstalledFonts)
{
    const QXFontReplaceBook* book = U::GetFontBook_Replace();
    ASSERT_TRUE(book);
    for (const auto& [installed, strings] : *book) {
        EXPECT_TRUE(U::SystemFontNameIsExist(installed)) << installed;
        EXPECT_FALSE(strings.empty()) << installed;
    }
    const struct {
        const char* pdfName;
        const char* replacement;
    } cases[] = {
        {"TimesNewRomanPSMT", "Liberation Serif"}, {"Arial-BoldMT", "Liberation Sans"},
        {"CourierNewPSMT", "Liberation Mono"},     {"ArialNarrow-Bold", "Nimbus Sans Narrow"},
        {"SimSun", "Noto Serif CJK SC"},           {"MS-Gothic", "Noto Sans CJK JP"},
        {"Ryumin-Light", "Noto Serif CJK JP"},     {"PMingLiU", "Noto Serif CJK TC"},
        {"Batang", "Noto Serif CJK KR"},           {"宋体", "Noto Serif CJK SC"},
        {"CenturyGothic", "URW Gothic"},           {"ZapfDingbats", "D050000L"},
        {"SymbolMT", "Standard Symbols PS"},       {"Xyzzy", ""},
        {"Calibri-Bold", "Carlito"},               {"Cambria-Italic", "Caladea"},
        {"CMMI10", "Liberation Serif"},            {"CMSS10", "Liberation Sans"},
        {"Verdana-Bold", "DejaVu Sans"},           {"Tahoma", "Liberation Sans"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U::ReplaceFontNameInFontBook(c.pdfName), c.replacement) << c.pdfName;
}

TEST(InstalledFonts, ExactNamesOnly)
{
    ASSERT_TRUE(liberationSans()) << "fonts-liberation2 is not installed";
    EXPECT_TRUE(U::SystemFontNameIsExist("Liberation Sans"));
    EXPECT_TRUE(U::SystemFontNameIsExist("LiberationSans-Bold"));
    EXPECT_TRUE(U::SystemFontNameIsExist("liberation serif italic"));
    EXPECT_FALSE(U::SystemFontNameIsExist("Helvetica")) << "a fontconfig alias is not installed";
    EXPECT_FALSE(U::SystemFontNameIsExist(""));
    EXPECT_EQ(U::SystemFontFullNameForFontName("Liberation Sans"), "Liberation Sans");
    EXPECT_EQ(U::SystemFontFullNameForFontName("LiberationSans-Bold"), "Liberation Sans Bold");
    EXPECT_EQ(U::SystemFontFullNameForFontName("No Such Font"), "");

    EXPECT_EQ(U::FontNameInComputer("LiberationSans-BoldItalic"), "Liberation Sans Bold Italic");
    EXPECT_EQ(U::FontNameInComputer("liberation sans bold"), "Liberation Sans Bold");
    EXPECT_EQ(U::FamilyNameInComputer("Liberation-Serif"), "Liberation Serif");
    EXPECT_EQ(U::FontNameInComputer("Helvetica"), "");

    const auto families = QXInstalledFonts::familyNames_QXLib();
    EXPECT_NE(std::find(families.begin(), families.end(), "Noto Sans CJK JP"), families.end());
    const auto psNames = QXInstalledFonts::fontNamesForFamilyName_QXLib("Liberation Sans");
    EXPECT_NE(std::find(psNames.begin(), psNames.end(), "LiberationSans-Bold"), psNames.end());
    EXPECT_EQ(QXInstalledFonts::wordNameForFontName_QXLib("LiberationSans-Bold"),
              "Liberation Sans Bold");
    EXPECT_EQ(QXInstalledFonts::wordNameForFontName_QXLib("NoSuchFont"), "NoSuchFont");
    for (const QXFontFace& f : QXInstalledFonts::fontDictsForFamilyName_QXLib("Liberation Sans")) {
        EXPECT_NEAR(f.ascender, 9.05, 0.01) << f.postScriptName;
        EXPECT_NEAR(f.descender, -2.12, 0.01) << f.postScriptName;
        EXPECT_GT(f.capHeight, 6.0) << f.postScriptName;
    }
}

TEST(InstalledFonts, MeasuringText)
{
    // Liberation Sans has Helvetica's widths: "A" is 667/1000 em.
    EXPECT_NEAR(U::SystemFontName("Liberation Sans", 10, "A"), 6.67, 0.01);
    EXPECT_NEAR(U::SystemFontName("Liberation Sans", 12, "Hello"), 12 * 2.278, 0.02);
    EXPECT_EQ(U::SystemFontName("Liberation Sans", 10, "A\u4E2D"), 0) << "no glyph for U+4E2D";
    EXPECT_EQ(U::SystemFontName("No Such Font", 10, "A"), 0);
    EXPECT_GT(U::SystemFontName("Noto Sans CJK SC", 10, "\u4E2D\u6587"), 19.9);

    const QXInstalledFace* installed = liberationSans();
    ASSERT_TRUE(installed);
    const std::shared_ptr<PlatformFont> font = QXInstalledFonts::platformFont(*installed);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->postScriptName(), "LiberationSans");
    EXPECT_EQ(font->fullName(), "Liberation Sans");
    EXPECT_NEAR(U::CGFontWidthOfCharCode(font.get(), 10, u'A'), 6.67, 0.01);
    EXPECT_NEAR(U::CGFontWidthOfString(font.get(), 10, "AA"), 13.34, 0.01);
    EXPECT_EQ(U::CGFontWidthOfString(font.get(), 10, "A\u4E2D"), 0);
    const uint16_t glyph = font->glyphForCharacter('A');
    EXPECT_NEAR(U::CGFontWidthOfGlyphCode(font.get(), 10, glyph), 6.67, 0.01);
    const Size size = U::CGFontSizeOfString(font.get(), 10, "A");
    EXPECT_NEAR(size.width, 6.67, 0.01);
    EXPECT_NEAR(size.height, 10.0 * font->capHeight() / font->unitsPerEm(), 1e-9);
    EXPECT_EQ(U::CGFontWidthOfCharCode(nullptr, 10, u'A'), 0);

    // The same program from bytes, as an embedded font arrives; junk gives no font.
    std::ifstream in(installed->file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const auto embedded = PlatformFont::createWithData(bytes.str());
    ASSERT_TRUE(embedded);
    EXPECT_EQ(embedded->postScriptName(), "LiberationSans");
    EXPECT_EQ(embedded->advanceOfGlyph(embedded->glyphForCharacter('A')),
              font->advanceOfGlyph(glyph));
    EXPECT_FALSE(PlatformFont::createWithData("not a font program"));
    EXPECT_FALSE(PlatformFont::createWithData(""));
}

TEST(InstalledFonts, IndexesAnswerAsTheBookWalks)
{
    // The installed book with names only, walked the long way, against the
    // indexes the lookups use.
    const auto& faces = QXInstalledFonts::installedFaces();
    ASSERT_FALSE(faces.empty());
    QXFontBook book;
    std::set<std::string> names{"", "-", "+", "Helvetica", "ABCDEF+LiberationSans-Bold",
                                "liberation-serif", "LiberationSans,Bold"};
    for (const QXInstalledFace& f : faces) {
        book[f.family].emplace(f.face.postScriptName, f.face);
        for (const std::string& n : {f.family, f.face.fullName, f.face.postScriptName, f.face.wordName}) {
            names.insert(n);
            std::string variant = n;
            std::transform(variant.begin(), variant.end(), variant.begin(),
                           [](char c) { return c == ' ' ? '-' : char(std::toupper((unsigned char)c)); });
            names.insert(variant);
        }
    }
    for (const std::string& n : names) {
        EXPECT_EQ(U::FontNameInComputer(n), U::FontNameExistInFontBook(book, n)) << n;
        EXPECT_EQ(U::FamilyNameInComputer(n), U::FamilyNameExistInFontBook(book, n)) << n;
    }

    // The face of a name: PostScript names, then full names, then the most
    // regular face of a family (without regard to ASCII case).
    const auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](char c) { return char(std::tolower((unsigned char)c)); });
        return s;
    };
    for (const std::string& n : names) {
        const QXInstalledFace* expected = nullptr;
        for (const QXInstalledFace& f : faces)
            if (!expected && !n.empty() && lower(f.face.postScriptName) == lower(n))
                expected = &f;
        for (const QXInstalledFace& f : faces)
            if (!expected && !n.empty() && lower(f.face.fullName) == lower(n))
                expected = &f;
        const auto distance = [](const QXInstalledFace& f) {
            return std::abs(f.weight - 80) + (f.slant != 0 ? 1000 : 0);
        };
        const QXInstalledFace* regular = nullptr;
        for (const QXInstalledFace& f : faces)
            if (!n.empty() && lower(f.family) == lower(n) && (!regular || distance(f) < distance(*regular)))
                regular = &f;
        EXPECT_EQ(QXInstalledFonts::findFace(n), expected ? expected : regular) << n;
    }
}

TEST(InstalledFonts, LookupsOpenNoFontFile)
{
    // Listing the installed fonts and looking names up read fontconfig's
    // cache only; a font file is opened when its metrics or glyphs are asked for.
    const int opened = facesOpened.load();
    ASSERT_TRUE(liberationSans());
    EXPECT_EQ(U::FontNameInComputer("LiberationSerif-Bold"), "Liberation Serif Bold");
    EXPECT_EQ(U::FamilyNameInComputer("Liberation Mono"), "Liberation Mono");
    EXPECT_TRUE(U::SystemFontNameIsExist("Noto Sans CJK JP"));
    EXPECT_EQ(U::SystemFontFullNameForFontName("LiberationSans-Bold"), "Liberation Sans Bold");
    EXPECT_EQ(U::ReplaceFontNameInFontBook("Arial-BoldMT"), "Liberation Sans");
    EXPECT_EQ(QXInstalledFonts::wordNameForFontName_QXLib("LiberationSans-Bold"), "Liberation Sans Bold");
    EXPECT_FALSE(QXInstalledFonts::fontNamesForFamilyName_QXLib("Liberation Sans").empty());
    EXPECT_TRUE(QXInstalledFonts::findFontFile("Liberation Sans"));
    EXPECT_EQ(facesOpened.load(), opened);

    // Metrics open the face's file once; the listed face keeps names only.
    const QXFontFace measured = QXInstalledFonts::measuredFace(*liberationSans());
    EXPECT_NEAR(measured.ascender, 9.05, 0.01);
    EXPECT_EQ(measured.fullName, "Liberation Sans");
    EXPECT_EQ(liberationSans()->face.ascender, 0);
    EXPECT_EQ(facesOpened.load(), opened + 1);
    QXInstalledFonts::measuredFace(*liberationSans());
    EXPECT_EQ(facesOpened.load(), opened + 1);
}

TEST(InstalledFonts, FontFilesForMeasuringByAnyName)
{
    ASSERT_TRUE(liberationSans());
    const auto fileOf = [](const char* name) {
        const QXInstalledFontFile* f = QXInstalledFonts::findFontFile(name);
        return f ? std::filesystem::path(f->file).filename().string() : std::string();
    };
    // A family gives its regular face; PostScript and full names their own.
    EXPECT_EQ(fileOf("Liberation Sans"), "LiberationSans-Regular.ttf");
    EXPECT_EQ(fileOf("liberation sans"), "LiberationSans-Regular.ttf");
    EXPECT_EQ(fileOf("LiberationSans-BoldItalic"), "LiberationSans-BoldItalic.ttf");
    EXPECT_EQ(fileOf("Liberation Sans Bold"), "LiberationSans-Bold.ttf");
    EXPECT_EQ(fileOf("DejaVu Sans"), "DejaVuSans.ttf");
    EXPECT_EQ(fileOf("Helvetica"), "") << "a fontconfig alias";
    EXPECT_EQ(fileOf(""), "");
    // Every family name a face lists counts, not only the first (the
    // installed-font lookups take the first).
    if (QXInstalledFonts::findFontFile("DejaVuSans-ExtraLight")) {
        EXPECT_EQ(fileOf("DejaVu Sans Light"), "DejaVuSans-ExtraLight.ttf");
        EXPECT_EQ(QXInstalledFonts::findFace("DejaVu Sans Light"), nullptr);
    }
}
