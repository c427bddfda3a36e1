#include "converter/text/QXConverterUtilities.h"

#include "pdfengine/fonts/HarfBuzzLibrary.h"
#include "pdfengine/fonts/QXInstalledFonts.h"
#include "platform/core/Numbers.h"
#include "platform/core/Uuid.h"
#include "platform/text/IcuLibrary.h"
#include "platform/text/TextBreaks.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cmath>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <list>
#include <memory>
#include <mutex>
#include <type_traits>

namespace rz {

namespace {

// --- Measuring ---------------------------------------------------------------

// Fonts are shaped at this size and the advances scaled to the size asked
// for, which keeps 26.6 rounding far below what a caller can notice.
constexpr double kReferenceSize = 1000.0;
// The default paragraph style's tab stops: every 28 points.
constexpr double kDefaultTabInterval = 28.0;
// Open fonts kept per thread.
constexpr size_t kMaxCachedFonts = 8;

struct FtLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};

// One opened face: HarfBuzz font over FreeType at the reference size.
struct MeasureFont {
    FT_Face face = nullptr;
    hb_font_t* font = nullptr;
    double lineHeightPerPoint = 0;  // line height at 1 point

    MeasureFont() = default;
    MeasureFont(const MeasureFont&) = delete;
    MeasureFont& operator=(const MeasureFont&) = delete;
    ~MeasureFont()
    {
        if (font != nullptr)
            harfBuzzLibrary().font_destroy(font);
        if (face != nullptr)
            FT_Done_Face(face);
    }
};

// Per-thread FreeType library and a few open fonts (FreeType objects are
// not shared between threads).
class MeasureCache {
public:
    MeasureCache()
    {
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) == 0)
            library_.reset(library);
    }
    ~MeasureCache()
    {
        fonts_.clear();  // before the library goes
    }

    const MeasureFont* font(const QXInstalledFontFile& installed)
    {
        const std::string key = installed.file + '\n' + formatInteger(installed.index);
        for (auto it = fonts_.begin(); it != fonts_.end(); ++it) {
            if (it->first == key) {
                fonts_.splice(fonts_.begin(), fonts_, it);
                return fonts_.front().second.get();
            }
        }
        auto opened = open(installed);
        if (!opened)
            return nullptr;
        fonts_.emplace_front(key, std::move(opened));
        if (fonts_.size() > kMaxCachedFonts)
            fonts_.pop_back();
        return fonts_.front().second.get();
    }

private:
    std::unique_ptr<MeasureFont> open(const QXInstalledFontFile& installed)
    {
        const HarfBuzzLibrary& hb = harfBuzzLibrary();
        if (!library_ || !hb.loaded)
            return nullptr;
        auto result = std::make_unique<MeasureFont>();
        if (FT_New_Face(library_.get(), installed.file.c_str(), installed.index, &result->face) != 0) {
            result->face = nullptr;
            return nullptr;
        }
        FT_Face face = result->face;
        if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 ||
            FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(kReferenceSize * 64), 72, 72) != 0)
            return nullptr;
        result->font = hb.ft_font_create_referenced(face);
        if (result->font == nullptr)
            return nullptr;
        hb.ft_font_set_load_flags(result->font, FT_LOAD_NO_HINTING);
        result->lineHeightPerPoint = static_cast<double>(face->height) / face->units_per_EM;
        return result;
    }

    std::unique_ptr<std::remove_pointer_t<FT_Library>, FtLibraryDeleter> library_;
    std::list<std::pair<std::string, std::unique_ptr<MeasureFont>>> fonts_;
};

// Advance width, in points at the reference size, of a piece without tabs.
double shapedWidth(const MeasureFont& font, std::string_view text)
{
    if (text.empty())
        return 0;
    const HarfBuzzLibrary& hb = harfBuzzLibrary();
    hb_buffer_t* buffer = hb.buffer_create();
    hb.buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
    hb.buffer_guess_segment_properties(buffer);
    hb.shape(font.font, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_position_t* positions = hb.buffer_get_glyph_positions(buffer, &count);
    long long total = 0;
    for (unsigned i = 0; i < count; ++i)
        total += positions[i].x_advance;
    hb.buffer_destroy(buffer);
    return static_cast<double>(total) / 64.0;
}

bool isTrailingSpace(char32_t c)
{
    return c == '\t' || unicodeCharType(c) == U_SPACE_SEPARATOR;
}

// The line without its trailing white space.
std::string_view trimTrailingSpace(std::string_view line)
{
    size_t end = line.size();
    while (end > 0) {
        size_t start = end - 1;
        while (start > 0 && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80)
            --start;
        size_t i = start;
        if (!isTrailingSpace(nextCodePoint(line, i)))
            break;
        end = start;
    }
    return line.substr(0, end);
}

// Width of one line at `fontSize`, tabs advancing to the next default stop.
double lineWidth(const MeasureFont& font, std::string_view line, double fontSize)
{
    line = trimTrailingSpace(line);
    const double scale = fontSize / kReferenceSize;
    double x = 0;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        x += shapedWidth(font, line.substr(start, tab == std::string_view::npos ? line.npos : tab - start)) * scale;
        if (tab == std::string_view::npos)
            break;
        x = (std::floor(x / kDefaultTabInterval + 1e-9) + 1) * kDefaultTabInterval;
        start = tab + 1;
    }
    return x;
}

// Splits at paragraph and line separators: CR LF, CR, LF, NEL, U+2028, U+2029.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const size_t at = i;
        const char32_t c = nextCodePoint(text, i);
        if (c == '\n' || c == '\r' || c == 0x85 || c == 0x2028 || c == 0x2029) {
            lines.push_back(text.substr(start, at - start));
            if (c == '\r' && i < text.size() && text[i] == '\n')
                ++i;
            start = i;
        }
    }
    lines.push_back(text.substr(start));
    return lines;
}

bool isBlankCharacter(char32_t c)
{
    switch (unicodeCharType(c)) {
    case U_SPACE_SEPARATOR:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR:
        return true;
    default:
        return false;
    }
}

} // namespace

bool QXConverterUtilities::isBlankString(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        if (!isBlankCharacter(nextCodePoint(text, i)))
            return false;
    }
    return true;
}

bool QXConverterUtilities::IsFullWidthCharacter(std::string_view text)
{
    return !text.empty() && static_cast<unsigned char>(text[0]) >= 0x80;
}

std::vector<std::string> QXConverterUtilities::ComponentsSeparatedByWords(std::string_view text)
{
    return IsFullWidthCharacter(text) ? splitComposedCharacters(text) : splitWords(text);
}

double QXConverterUtilities::TextWidth(std::string_view text, std::string_view fontName,
                                       double fontSize, double maxHeight)
{
    if (text.empty() || !std::isfinite(fontSize) || fontSize <= 0 || std::isnan(maxHeight))
        return 0;
    // The installed-font index of the font layer, shared by the process.
    const QXInstalledFontFile* installed = QXInstalledFonts::findFontFile(fontName);
    if (installed == nullptr)
        return 0;
    thread_local MeasureCache cache;
    const MeasureFont* font = cache.font(*installed);
    if (font == nullptr)
        return 0;

    const double lineHeight = font->lineHeightPerPoint * fontSize;
    double width = 0;
    double bottom = 0;
    for (std::string_view line : splitLines(text)) {
        bottom += lineHeight;
        if (bottom > maxHeight + 1e-9)
            break;
        width = std::max(width, lineWidth(*font, line, fontSize));
    }
    return width;
}

float QXConverterUtilities::String(std::string_view a, std::string_view likePercent)
{
    const std::u16string s = utf8ToUtf16(a);
    const std::u16string t = utf8ToUtf16(likePercent);
    if (t.empty())
        return static_cast<float>(s.size());
    if (s.empty())
        return static_cast<float>(t.size());

    // Two rows of the edit-distance table are enough for its last cell.
    std::vector<uint32_t> previous(t.size() + 1), current(t.size() + 1);
    for (size_t j = 0; j <= t.size(); ++j)
        previous[j] = static_cast<uint32_t>(j);
    for (size_t i = 1; i <= s.size(); ++i) {
        current[0] = static_cast<uint32_t>(i);
        for (size_t j = 1; j <= t.size(); ++j) {
            const uint32_t substitution = previous[j - 1] + (s[i - 1] == t[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
        }
        std::swap(previous, current);
    }
    const double distance = previous[t.size()];
    return static_cast<float>(100.0 - distance * 100.0 / static_cast<double>(s.size()));
}

std::string QXConverterUtilities::Random4BigLetter()
{
    std::string letters(4, 'A');
    for (char& c : letters)
        c = static_cast<char>('A' + randomBelow(26));
    return letters;
}

double QXConverterUtilities::PecentAreaOfIntersectRect(const Rect& a, const Rect& testRect)
{
    const Rect overlap = a.intersection(testRect);
    if (overlap.isNull() || !(overlap.width() > 0) || !(overlap.height() > 0))
        return 0;
    return overlap.width() * overlap.height() / (a.width() * a.height());
}

double QXConverterUtilities::WidthOfNoneIntersectRect(const Rect& a, const Rect& testRect)
{
    const Rect overlap = a.intersection(testRect);
    if (overlap.isNull() || !(overlap.width() > 0) || !(overlap.height() > 0))
        return 0;
    return a.width() - overlap.width();
}

} // namespace rz
