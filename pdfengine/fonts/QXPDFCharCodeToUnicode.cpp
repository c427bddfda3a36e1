#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"

#include "pdfengine/fonts/FontLimits.h"
#include "pdfengine/fonts/QXCMapUtilities.h"
#include "pdfengine/fonts/QXPDFCMapTokenizer.h"
#include "pdfengine/fonts/QXPDFMapTool.h"

#include <algorithm>

namespace rz {

namespace {

constexpr uint32_t kNewMapLength = 0x10000;

bool isHexString(const std::string& token)
{
    return token.size() >= 2 && token.front() == '<' && token.back() == '>';
}

std::string_view hexDigitsOf(const std::string& token)
{
    return std::string_view(token).substr(1, token.size() - 2);
}

uint64_t maxCodeFor(int nBits)
{
    if (nBits == 8)
        return 0xFF;
    if (nBits == 16)
        return 0xFFFF;
    return 0xFFFFFFFFull;
}

} // namespace

// Work left to one parse (including the maps it pulls in with usecmap).
struct QXPDFCharCodeToUnicode::ParseState {
    uint64_t mappingsLeft = kMaxToUnicodeMappings;
    int depth = 0;
    bool spend()
    {
        if (mappingsLeft == 0)
            return false;
        --mappingsLeft;
        return true;
    }
};

QXPDFCharCodeToUnicode::QXPDFCharCodeToUnicode(std::string tag)
    : tag_(std::move(tag)), mapLen_(kNewMapLength)
{
}

QXPDFCharCodeToUnicode::QXPDFCharCodeToUnicode(std::string tag, std::vector<uint32_t> map,
                                               std::vector<CharCodeToUnicodeString> sMap)
    : tag_(std::move(tag)), map_(std::move(map)), sMap_(std::move(sMap))
{
    if (map_.size() > kToUnicodeFlatMapLimit)
        map_.resize(kToUnicodeFlatMapLimit);
    mapLen_ = static_cast<uint32_t>(map_.size());
    if (sMap_.size() > kMaxToUnicodeStringEntries)
        sMap_.resize(kMaxToUnicodeStringEntries);
    for (size_t i = 0; i < sMap_.size(); ++i) {
        sMap_[i].len = std::clamp(sMap_[i].len, 0, CharCodeToUnicodeString::kMaxUnits);
        sMapIndex_.emplace(sMap_[i].c, static_cast<uint32_t>(i));
    }
}

// ---------------------------------------------------------------------------
// Lookups

const CharCodeToUnicodeString* QXPDFCharCodeToUnicode::findString(uint32_t code) const
{
    const auto it = sMapIndex_.find(code);
    if (it == sMapIndex_.end())
        return nullptr;
    return &sMap_[it->second];
}

CharCodeToUnicodeString* QXPDFCharCodeToUnicode::findString(uint32_t code)
{
    const auto it = sMapIndex_.find(code);
    if (it == sMapIndex_.end())
        return nullptr;
    return &sMap_[it->second];
}

int QXPDFCharCodeToUnicode::mapToUnicode(uint32_t code, uint32_t* u, int uSize) const
{
    if (!u || uSize <= 0)
        return 0;
    if (code < map_.size() && map_[code] != 0) {
        u[0] = map_[code];
        return 1;
    }
    const CharCodeToUnicodeString* entry = findString(code);
    if (!entry || entry->len <= 0)
        return 0;
    const int n = std::min(entry->len, uSize);
    std::copy(entry->u, entry->u + n, u);
    return n;
}

uint32_t QXPDFCharCodeToUnicode::spaceCIDCode() const
{
    // Codes past the stored part map to nothing.
    if (mapLen_ > 32) {
        for (uint32_t code = 0; code < map_.size(); ++code) {
            if (map_[code] == 32)
                return code;
        }
    }
    for (const CharCodeToUnicodeString& entry : sMap_) {
        if (entry.len > 0 && entry.u[entry.len - 1] == 32)
            return entry.c;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Building

bool QXPDFCharCodeToUnicode::ensureMapLength(uint32_t code)
{
    if (code < map_.size())
        return true;
    if (code >= mapLen_) {
        if (code >= kToUnicodeFlatMapLimit)
            return false;
        mapLen_ = static_cast<uint32_t>(std::min<size_t>(
            (static_cast<size_t>(code) + 256) & ~size_t{255}, kToUnicodeFlatMapLimit));
    }
    // Stored as far as the code's block of 256, growing at least twofold.
    const size_t needed = (static_cast<size_t>(code) + 256) & ~size_t{255};
    map_.resize(std::min<size_t>(std::max(needed, 2 * map_.size()), mapLen_), 0);
    return true;
}

// The multi-unit entry of a code, made when missing (nullptr when the map
// holds as many entries as it may).
CharCodeToUnicodeString* QXPDFCharCodeToUnicode::stringEntryFor(uint32_t code)
{
    if (CharCodeToUnicodeString* existing = findString(code))
        return existing;
    if (sMap_.size() >= kMaxToUnicodeStringEntries)
        return nullptr;
    sMap_.emplace_back();
    sMap_.back().c = code;
    sMapIndex_.emplace(code, static_cast<uint32_t>(sMap_.size() - 1));
    return &sMap_.back();
}

void QXPDFCharCodeToUnicode::setMapping(uint32_t code, const uint32_t* u, int len)
{
    if (!u || len <= 0)
        return;
    len = std::min(len, CharCodeToUnicodeString::kMaxUnits);
    if (len == 1 && ensureMapLength(code)) {
        map_[code] = u[0];
        // A later single unit replaces an earlier mapping of several.
        if (CharCodeToUnicodeString* old = findString(code))
            old->len = 0;
        return;
    }
    CharCodeToUnicodeString* entry = stringEntryFor(code);
    if (!entry)
        return;
    if (code < map_.size())
        map_[code] = 0;
    std::copy(u, u + len, entry->u);
    entry->len = len;
}

void QXPDFCharCodeToUnicode::addMapping(uint32_t code, std::string_view uStr, int n,
                                        uint32_t offset)
{
    n = std::clamp<int>(n, 0, static_cast<int>(uStr.size()));
    uStr = uStr.substr(0, static_cast<size_t>(n));
    uint32_t units[CharCodeToUnicodeString::kMaxUnits];
    int len = 0;
    if (n <= 4) {
        if (!QXParseHexNumber(uStr, units[0]))
            return;
        len = 1;
    } else {
        len = std::min(n / 4, CharCodeToUnicodeString::kMaxUnits);
        for (int j = 0; j < len; ++j) {
            if (!QXParseHexNumber(uStr.substr(static_cast<size_t>(j) * 4, 4), units[j]))
                return;
        }
    }
    units[len - 1] += offset;
    if (len == 1 && code < kToUnicodeFlatMapLimit) {
        setMapping(code, units, 1);
        return;
    }
    // Several units, or a code above the flat array: a string entry.
    CharCodeToUnicodeString* entry = stringEntryFor(code);
    if (!entry)
        return;
    if (code < map_.size())
        map_[code] = 0;
    std::copy(units, units + len, entry->u);
    entry->len = len;
}

// ---------------------------------------------------------------------------
// Parsing

std::shared_ptr<QXPDFCharCodeToUnicode> QXPDFCharCodeToUnicode::parseCMap(std::string_view text,
                                                                          int nBits)
{
    auto map = std::make_shared<QXPDFCharCodeToUnicode>("ToUnicode");
    ParseState state;
    map->parseCMap1(text, nBits, state);
    return map;
}

void QXPDFCharCodeToUnicode::mergeCMap(std::string_view text, int nBits)
{
    ParseState state;
    parseCMap1(text, nBits, state);
}

void QXPDFCharCodeToUnicode::parseCMap1(std::string_view text, int nBits, ParseState& state)
{
    const uint64_t maxCode = maxCodeFor(nBits);
    QXPDFCMapTokenizer tokenizer(text);
    std::string tok1, tok2, tok3;
    if (!tokenizer.getToken(tok1))
        return;
    while (tokenizer.getToken(tok2)) {
        if (state.mappingsLeft == 0)
            return;
        if (tok2 == "usecmap") {
            if (tok1.size() > 1 && tok1[0] == '/' && state.depth < kMaxUseCMapDepth) {
                const std::string name = tok1.substr(1);
                std::optional<std::string> used = QXPDFMapTool::FindToUnicodeFile(name);
                // The CID-to-Unicode maps are named "<region>-UCS2".
                constexpr std::string_view kSuffix = "-UCS2";
                if (!used && name.size() > kSuffix.size() &&
                    name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0)
                    used = QXPDFMapTool::FindToUnicodeFile(
                        std::string_view(name).substr(0, name.size() - kSuffix.size()));
                if (used && !used->empty()) {
                    ++state.depth;
                    parseCMap1(*used, nBits, state);
                    --state.depth;
                }
            }
            if (!tokenizer.getToken(tok1))
                return;
        } else if (tok2 == "beginbfchar") {
            while (tokenizer.getToken(tok1)) {
                if (tok1 == "endbfchar")
                    break;
                if (!tokenizer.getToken(tok2) || tok2 == "endbfchar")
                    break;
                if (!isHexString(tok1) || !isHexString(tok2))
                    continue;
                uint32_t code = 0;
                if (!QXParseHexNumber(hexDigitsOf(tok1), code) || code > maxCode)
                    continue;
                if (!state.spend())
                    return;
                const std::string_view dest = hexDigitsOf(tok2);
                addMapping(code, dest, static_cast<int>(dest.size()), 0);
            }
            if (!tokenizer.getToken(tok1))
                return;
        } else if (tok2 == "beginbfrange") {
            while (tokenizer.getToken(tok1)) {
                if (tok1 == "endbfrange")
                    break;
                if (!tokenizer.getToken(tok2) || tok2 == "endbfrange" ||
                    !tokenizer.getToken(tok3) || tok3 == "endbfrange")
                    break;
                if (!isHexString(tok1) || !isHexString(tok2))
                    continue;
                uint32_t lo32 = 0, hi32 = 0;
                if (!QXParseHexNumber(hexDigitsOf(tok1), lo32) ||
                    !QXParseHexNumber(hexDigitsOf(tok2), hi32))
                    continue;
                const uint64_t lo = lo32;
                const uint64_t hi = std::min<uint64_t>(hi32, maxCode);
                if (tok3 == "[") {
                    // One destination per code from lo upward, to "]".
                    uint64_t code = lo;
                    while (tokenizer.getToken(tok1) && tok1 != "]") {
                        if (isHexString(tok1) && code <= maxCode) {
                            if (!state.spend())
                                return;
                            const std::string_view dest = hexDigitsOf(tok1);
                            addMapping(static_cast<uint32_t>(code), dest,
                                       static_cast<int>(dest.size()), 0);
                        }
                        ++code;
                    }
                } else if (isHexString(tok3)) {
                    const std::string_view dest = hexDigitsOf(tok3);
                    for (uint64_t code = lo; code <= hi; ++code) {
                        if (!state.spend())
                            return;
                        // Above the flat array a full map takes no new codes.
                        if (code >= kToUnicodeFlatMapLimit &&
                            sMap_.size() >= kMaxToUnicodeStringEntries)
                            break;
                        addMapping(static_cast<uint32_t>(code), dest, static_cast<int>(dest.size()),
                                   static_cast<uint32_t>(code - lo));
                    }
                }
            }
            if (!tokenizer.getToken(tok1))
                return;
        } else {
            tok1.swap(tok2);
        }
    }
}

std::shared_ptr<QXPDFCharCodeToUnicode> QXPDFCharCodeToUnicode::make8BitToUnicode(
    const uint32_t* toUnicode)
{
    std::vector<uint32_t> map(256, 0);
    if (toUnicode)
        std::copy(toUnicode, toUnicode + 256, map.begin());
    return std::make_shared<QXPDFCharCodeToUnicode>("Simiple8Bit", std::move(map),
                                                    std::vector<CharCodeToUnicodeString>{});
}

std::shared_ptr<QXPDFCharCodeToUnicode> QXPDFCharCodeToUnicode::make16BitToUnicode(
    const uint32_t* toUnicode)
{
    std::vector<uint32_t> map(0x10000, 0);
    if (toUnicode)
        std::copy(toUnicode, toUnicode + 0x10000, map.begin());
    return std::make_shared<QXPDFCharCodeToUnicode>("Simiple16Bit", std::move(map),
                                                    std::vector<CharCodeToUnicodeString>{});
}

namespace {

// The white-space separated fields of a line.
std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' ||
                                   line[i] == '\n'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
               line[i] != '\n')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

constexpr size_t kMapLineSize = 256;

} // namespace

std::shared_ptr<QXPDFCharCodeToUnicode> QXPDFCharCodeToUnicode::parseCIDToUnicode(
    std::string_view text, const std::string& tag)
{
    auto map = std::make_shared<QXPDFCharCodeToUnicode>(tag);
    size_t pos = 0;
    uint32_t cid = 0;
    while (cid < kToUnicodeFlatMapLimit) {
        const std::optional<std::string> line = QXReadLine(text, pos, kMapLineSize);
        if (!line)
            break;
        const std::vector<std::string_view> fields = fieldsOf(*line);
        uint32_t value = 0;
        if (!fields.empty() && QXParseHexNumber(fields[0], value) && value != 0 &&
            map->ensureMapLength(cid))
            map->map_[cid] = value;
        ++cid;
    }
    return map;
}

std::shared_ptr<QXPDFCharCodeToUnicode> QXPDFCharCodeToUnicode::parseUnicodeToUnicode(
    std::string_view text, const std::string& tag)
{
    auto map = std::make_shared<QXPDFCharCodeToUnicode>(tag);
    size_t pos = 0;
    uint64_t linesLeft = kMaxToUnicodeMappings;
    while (linesLeft-- > 0) {
        const std::optional<std::string> line = QXReadLine(text, pos, kMapLineSize);
        if (!line)
            break;
        const std::vector<std::string_view> fields = fieldsOf(*line);
        uint32_t code = 0;
        if (fields.size() < 2 || !QXParseHexNumber(fields[0], code))
            continue;
        uint32_t units[CharCodeToUnicodeString::kMaxUnits];
        int n = 0;
        for (size_t i = 1; i < fields.size() && n < CharCodeToUnicodeString::kMaxUnits; ++i) {
            if (!QXParseHexNumber(fields[i], units[n]))
                break;
            ++n;
        }
        if (n > 0)
            map->setMapping(code, units, n);
    }
    return map;
}

} // namespace rz
