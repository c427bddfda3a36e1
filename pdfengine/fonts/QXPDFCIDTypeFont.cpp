#include "pdfengine/fonts/QXPDFCIDTypeFont.h"

#include "pdfengine/fonts/FontLimits.h"
#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFMapTool.h"
#include "platform/core/Numbers.h"
#include "platform/pdf/PdfObject.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>

namespace rz {

namespace {

// The CID-to-Unicode map of a collection region, parsed once per process
// (the maps are read-only once made). nullptr for regions without one.
std::shared_ptr<QXPDFCharCodeToUnicode> collectionToUnicodeMap(const std::string& region)
{
    static std::mutex mutex;
    static std::map<std::string, std::shared_ptr<QXPDFCharCodeToUnicode>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    if (const auto it = cache.find(region); it != cache.end())
        return it->second;
    std::shared_ptr<QXPDFCharCodeToUnicode> map;
    if (const std::optional<std::string> text = QXPDFMapTool::FindToUnicodeFile(region);
        text && !text->empty())
        map = QXPDFCharCodeToUnicode::parseCMap(*text, 16);
    cache.emplace(region, map);
    return map;
}

// A CID from an array element: an integer within 32 bits.
std::optional<uint32_t> cidOf(const pdf::Object& element)
{
    const std::optional<long long> value = element.integer();
    if (!value || *value < 0 || *value > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    return static_cast<uint32_t>(*value);
}

std::optional<double> finiteNumber(const pdf::Object& element)
{
    const std::optional<double> value = element.number();
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

// Index of the entry whose range may hold the CID: the last one whose first
// CID is not above it (entries sorted by first CID).
template <typename Entry>
size_t searchEntries(const std::vector<Entry>& entries, uint32_t cid)
{
    size_t lo = 0;
    size_t hi = entries.size();
    while (hi - lo > 1) {
        const size_t mid = (lo + hi) / 2;
        if (cid < entries[mid].first)
            hi = mid;
        else
            lo = mid;
    }
    return lo;
}

} // namespace

std::shared_ptr<QXPDFCIDTypeFont> QXPDFCIDTypeFont::CIDFontWithDictionary(
    const pdf::Object& dictionary, const std::string& objectKey, QXPDFFontNaming naming)
{
    if (!dictionary.isDictionary())
        return nullptr;
    const std::optional<std::string> subtype = dictionary.get("Subtype").name();
    std::shared_ptr<QXPDFCIDTypeFont> font;
    if (subtype == "CIDFontType0")
        font.reset(new QXPDFCIDType0Font());
    else if (subtype == "CIDFontType2")
        font.reset(new QXPDFCIDType2Font());
    else
        return nullptr;
    font->naming_ = naming;
    if (!font->initWithDictionary(dictionary, objectKey))
        return nullptr;
    return font;
}

std::shared_ptr<QXPDFFont> QXPDFCIDTypeFont::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFCIDTypeFont(*this));
}

std::shared_ptr<QXPDFFont> QXPDFCIDType0Font::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFCIDType0Font(*this));
}

std::shared_ptr<QXPDFFont> QXPDFCIDType2Font::shareWithZone() const
{
    return std::shared_ptr<QXPDFFont>(new QXPDFCIDType2Font(*this));
}

bool QXPDFCIDTypeFont::initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey)
{
    objectKey_ = objectKey;
    embToUnicodeMap_.reset();
    cidWidths_ = QXPDFFontCIDWidths{};
    setSubtypeBaseFontName(dictionary);
    setCIDSystemInfoWithDictionary(dictionary);
    setFontDescriptorWithFontDictionary(dictionary);
    setExtendFontFileWithFontDictionary(dictionary);
    setWidthsWithFontDictionary(dictionary);
    return true;
}

void QXPDFCIDTypeFont::setCIDSystemInfoWithDictionary(const pdf::Object& dictionary)
{
    const pdf::Object info = dictionary.get("CIDSystemInfo");
    if (info.isNull())
        return;
    auto textOf = [&info](std::string_view key, const char* fallback) {
        const pdf::Object value = info.get(key);
        if (std::optional<std::string> text = value.text())
            return *text;
        if (std::optional<std::string> name = value.name())
            return *name;
        return std::string(fallback);
    };
    const std::string registry = textOf("Registry", "Adobe");
    const std::string ordering = textOf("Ordering", "Identity");
    const long long supplement = info.get("Supplement").integer().value_or(0);
    cidSystemRegion_ = registry + "-" + ordering;
    cidSystemInfo_ = cidSystemRegion_ + "-" + formatInteger(supplement);
    extToUnicodeMap_ = collectionToUnicodeMap(cidSystemRegion_);
}

void QXPDFCIDTypeFont::setDW(const pdf::Object& dictionary)
{
    if (const std::optional<long long> dw = dictionary.get("DW").integer();
        dw && std::llabs(*dw) < (1LL << 40))
        cidWidths_.defWidth = static_cast<double>(*dw) * 0.001;
}

void QXPDFCIDTypeFont::setDW2(const pdf::Object& dictionary)
{
    // Only the single-integer form is read; the usual [vy h] pair leaves the defaults.
    if (const std::optional<long long> dw2 = dictionary.get("DW2").integer();
        dw2 && std::llabs(*dw2) < (1LL << 40))
        cidWidths_.defHeight = static_cast<double>(*dw2) * 0.001;
}

void QXPDFCIDTypeFont::setWidthsWithFontDictionary(const pdf::Object& dictionary)
{
    cidWidths_ = QXPDFFontCIDWidths{};
    setDW(dictionary);

    const pdf::Object w = dictionary.get("W");
    if (w.isArray()) {
        const size_t count = w.size();
        size_t i = 0;
        while (i + 1 < count && cidWidths_.exceps.size() < kMaxCIDWidthExceptions) {
            const std::optional<uint32_t> first = cidOf(w.at(i));
            if (!first)
                break;
            const pdf::Object next = w.at(i + 1);
            if (next.isArray()) {
                uint64_t c = *first;
                const size_t n = next.size();
                for (size_t k = 0; k < n && c <= std::numeric_limits<uint32_t>::max() &&
                                   cidWidths_.exceps.size() < kMaxCIDWidthExceptions;
                     ++k) {
                    if (const std::optional<double> width = finiteNumber(next.at(k))) {
                        const auto cid = static_cast<uint32_t>(c);
                        cidWidths_.exceps.push_back({cid, cid, *width * 0.001});
                        ++c;
                    }
                }
                i += 2;
            } else if (const std::optional<uint32_t> last = cidOf(next); last && i + 2 < count) {
                if (const std::optional<double> width = finiteNumber(w.at(i + 2)))
                    cidWidths_.exceps.push_back({*first, *last, *width * 0.001});
                i += 3;
            } else {
                i += 1;
            }
        }
    }

    setDW2(dictionary);
    const pdf::Object w2 = dictionary.get("W2");
    if (w2.isArray()) {
        const size_t count = w2.size();
        size_t i = 0;
        while (i + 1 < count && cidWidths_.excepsV.size() < kMaxCIDWidthExceptions) {
            const std::optional<uint32_t> first = cidOf(w2.at(i));
            if (!first)
                break;
            const pdf::Object next = w2.at(i + 1);
            if (next.isArray()) {
                uint64_t c = *first;
                const size_t n = next.size();
                for (size_t k = 0; k + 2 < n && c <= std::numeric_limits<uint32_t>::max() &&
                                   cidWidths_.excepsV.size() < kMaxCIDWidthExceptions;
                     k += 3) {
                    const std::optional<double> h = finiteNumber(next.at(k));
                    const std::optional<double> vx = finiteNumber(next.at(k + 1));
                    const std::optional<double> vy = finiteNumber(next.at(k + 2));
                    if (!h || !vx || !vy)
                        continue;
                    const auto cid = static_cast<uint32_t>(c);
                    cidWidths_.excepsV.push_back({cid, cid, *h * 0.001, *vx * 0.001, *vy * 0.001});
                    ++c;
                }
                i += 2;
            } else if (const std::optional<uint32_t> last = cidOf(next); last && i + 4 < count) {
                const std::optional<double> h = finiteNumber(w2.at(i + 2));
                const std::optional<double> vx = finiteNumber(w2.at(i + 3));
                const std::optional<double> vy = finiteNumber(w2.at(i + 4));
                if (h && vx && vy)
                    cidWidths_.excepsV.push_back({*first, *last, *h * 0.001, *vx * 0.001, *vy * 0.001});
                i += 5;
            } else {
                i += 1;
            }
        }
    }

    auto byFirst = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::stable_sort(cidWidths_.exceps.begin(), cidWidths_.exceps.end(), byFirst);
    std::stable_sort(cidWidths_.excepsV.begin(), cidWidths_.excepsV.end(), byFirst);
}

void QXPDFCIDTypeFont::getCIDWidths(uint32_t cid, int wMode, double* dx, double* dy, double* ox,
                                    double* oy) const
{
    const QXPDFFontCIDWidths& w = cidWidths_;
    if (wMode == 0) {
        *dx = w.defWidth;
        *dy = *ox = *oy = 0;
        if (!w.exceps.empty() && cid >= w.exceps.front().first) {
            const QXPDFFontCIDWidthExcep& entry = w.exceps[searchEntries(w.exceps, cid)];
            if (cid <= entry.last)
                *dx = entry.width;
        }
        return;
    }
    *dx = 0;
    *dy = w.defHeight;
    *ox = w.defWidth * 0.5;
    *oy = w.defVY;
    if (!w.excepsV.empty() && cid >= w.excepsV.front().first) {
        const QXPDFFontCIDWidthExcepV& entry = w.excepsV[searchEntries(w.excepsV, cid)];
        if (cid >= entry.first && cid <= entry.last) {
            *dy = entry.height;
            *ox = entry.vx;
            *oy = entry.vy;
        }
    }
}

// CIDFontType2

bool QXPDFCIDType2Font::initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey)
{
    cidToGID_.clear();
    identity_ = false;
    if (!QXPDFCIDTypeFont::initWithDictionary(dictionary, objectKey))
        return false;
    setCIDToGIDMapWithDictionary(dictionary);
    return true;
}

void QXPDFCIDType2Font::setCIDToGIDMapWithDictionary(const pdf::Object& dictionary)
{
    const pdf::Object map = dictionary.get("CIDToGIDMap");
    if (map.isStream()) {
        const pdf::StreamData data = map.streamData();
        // CIDs beyond the limit keep their own number as glyph.
        const size_t entries = std::min(data.bytes.size() / 2, kMaxCIDToGIDEntries);
        cidToGID_.resize(entries);
        const auto* bytes = reinterpret_cast<const uint8_t*>(data.bytes.data());
        for (size_t i = 0; i < entries; ++i)
            cidToGID_[i] = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    } else if (map.isName()) {
        identity_ = true;
    }
}

uint32_t QXPDFCIDType2Font::glyphForCID(uint32_t cid) const
{
    if (cid < cidToGID_.size())
        return cidToGID_[cid];
    return cid;
}

} // namespace rz
