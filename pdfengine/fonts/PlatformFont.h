// A font program loaded for measuring: an embedded font of a PDF (TrueType,
// OpenType, CFF, Type 1) or an installed font file, read with FreeType and
// shaped with HarfBuzz. Measurements are in font units unless stated.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

class PlatformFont {
public:
    // A font from the bytes of a font program; nullptr when FreeType cannot
    // read them.
    static std::shared_ptr<PlatformFont> createWithData(std::string data, int faceIndex = 0);
    // A font from a file (faceIndex selects a face of a collection).
    static std::shared_ptr<PlatformFont> createWithFile(const std::string& path, int faceIndex = 0);

    ~PlatformFont();
    PlatformFont(const PlatformFont&) = delete;
    PlatformFont& operator=(const PlatformFont&) = delete;

    // The full name and PostScript name; empty when the program has none.
    const std::string& fullName() const { return fullName_; }
    const std::string& postScriptName() const { return postScriptName_; }
    const std::string& familyName() const { return familyName_; }
    const std::string& styleName() const { return styleName_; }

    int unitsPerEm() const { return unitsPerEm_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int leading() const { return leading_; }
    int capHeight() const { return capHeight_; }
    int xHeight() const { return xHeight_; }
    double italicAngle() const { return italicAngle_; }
    long glyphCount() const { return glyphCount_; }

    // The glyph of a character through the font's character map; 0 when
    // it has none.
    uint16_t glyphForCharacter(char32_t character) const;
    // The glyph of a character code as a text engine finds it: the Unicode
    // character map, then the (3,0) symbol map at 0xF000 + the code, then
    // the Mac Roman map (the character's Mac Roman byte); 0 when none has it.
    uint16_t glyphForCharCode(char32_t character) const;
    // The glyph names of the program's own encoding by code (0-255) when it
    // has a custom one (a Type 1 or CFF font with a built-in encoding other
    // than StandardEncoding); empty otherwise. Codes without a glyph have
    // an empty name.
    std::vector<std::string> builtinEncodingGlyphNames() const;
    // The horizontal advance of a glyph; 0 for a glyph the font lacks.
    int advanceOfGlyph(uint16_t glyph) const;
    // True when the glyph number exists in the font.
    bool hasGlyph(uint16_t glyph) const { return glyph < glyphCount_; }

    // The typeset advance of UTF-8 text (shaped, with the font's kerning),
    // in font units; nothing when a character has no glyph or the text is
    // not valid UTF-8. Empty text gives 0.
    bool shapedAdvance(std::string_view utf8, double& advance) const;

private:
    PlatformFont() = default;
    static std::shared_ptr<PlatformFont> load(std::shared_ptr<const std::string> data,
                                              int faceIndex);
    void readMetrics();

    struct Impl;
    std::unique_ptr<Impl> impl_;
    mutable std::mutex mutex_; // a face is used by one thread at a time

    std::string fullName_;
    std::string postScriptName_;
    std::string familyName_;
    std::string styleName_;
    int unitsPerEm_ = 1000;
    int ascent_ = 0;
    int descent_ = 0;
    int leading_ = 0;
    int capHeight_ = 0;
    int xHeight_ = 0;
    double italicAngle_ = 0;
    long glyphCount_ = 0;
};

} // namespace rz
