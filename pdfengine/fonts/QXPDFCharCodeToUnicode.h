// Character code -> Unicode map: a font's /ToUnicode CMap or a character
// collection's CID-to-Unicode resource.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rz {

namespace pdf {
class Object;
}

// A code that maps to more than one UTF-16 unit (or whose code lies above
// the flat array).
struct CharCodeToUnicodeString {
    static constexpr int kMaxUnits = 8;
    uint32_t c = 0;
    uint32_t u[kMaxUnits] = {};
    int len = 0;
};

class QXPDFCharCodeToUnicode {
public:
    // A map with 65536 codes that map to nothing.
    explicit QXPDFCharCodeToUnicode(std::string tag);
    // A map over the given arrays (copied or moved in by the caller).
    QXPDFCharCodeToUnicode(std::string tag, std::vector<uint32_t> map,
                           std::vector<CharCodeToUnicodeString> sMap);

    // A new map tagged "ToUnicode" parsed from CMap text. nBits 8 accepts
    // codes up to 255, 16 up to 65535, anything else up to 4294967295.
    static std::shared_ptr<QXPDFCharCodeToUnicode> parseCMap(std::string_view text, int nBits);
    // The same from a ToUnicode stream (decoded data); nullptr when the
    // object is not a stream or nothing of it decodes.
    static std::shared_ptr<QXPDFCharCodeToUnicode> parseCMap(const pdf::Object& stream, int nBits);
    // Maps from a table of 256 or 65536 single units (0: no mapping).
    static std::shared_ptr<QXPDFCharCodeToUnicode> make8BitToUnicode(const uint32_t* toUnicode);
    static std::shared_ptr<QXPDFCharCodeToUnicode> make16BitToUnicode(const uint32_t* toUnicode);
    // One hex value per line; the line number (from 0) is the CID.
    static std::shared_ptr<QXPDFCharCodeToUnicode> parseCIDToUnicode(std::string_view text,
                                                                     const std::string& tag);
    // Lines of a hex code followed by up to 8 hex units.
    static std::shared_ptr<QXPDFCharCodeToUnicode> parseUnicodeToUnicode(std::string_view text,
                                                                         const std::string& tag);

    // Parses more CMap text into this map.
    void mergeCMap(std::string_view text, int nBits);

    // Writes the units of a code into u (at most uSize) and answers how many
    // were written: one for a single-unit mapping, every unit of a mapping of
    // several units up to the capacity, 0 for an unmapped code.
    int mapToUnicode(uint32_t code, uint32_t* u, int uSize) const;
    // A code that maps to the space: the first code whose single unit is 32,
    // else the code of the first multi-unit entry whose last unit is 32, else 0.
    uint32_t spaceCIDCode() const;

    // Maps a code to the units written as hex digits (groups of four digits
    // are units; up to four digits are one unit), with offset added to the
    // last unit. Nothing when the digits do not parse.
    void addMapping(uint32_t code, std::string_view uStr, int n, uint32_t offset);
    // Sets one code's units (at most 8 are kept).
    void setMapping(uint32_t code, const uint32_t* u, int len);

    const std::string& tag() const { return tag_; }
    uint32_t mapLen() const { return mapLen_; }
    int sMapLen() const { return static_cast<int>(sMap_.size()); }
    int wMode() const { return wMode_; }

private:
    struct ParseState;
    void parseCMap1(std::string_view text, int nBits, ParseState& state);
    CharCodeToUnicodeString* findString(uint32_t code);
    const CharCodeToUnicodeString* findString(uint32_t code) const;
    CharCodeToUnicodeString* stringEntryFor(uint32_t code);
    bool ensureMapLength(uint32_t code);

    std::string tag_;
    // The flat code -> unit array: mapLen_ codes, of which the first
    // map_.size() are stored; the codes after them map to nothing (0). It is
    // stored only as far as codes are set, so that a map of a few codes does
    // not fill 65536 entries.
    uint32_t mapLen_ = 0;
    std::vector<uint32_t> map_;
    std::vector<CharCodeToUnicodeString> sMap_;
    std::unordered_map<uint32_t, uint32_t> sMapIndex_; // code -> index in sMap_
    int wMode_ = 0;
};

} // namespace rz
