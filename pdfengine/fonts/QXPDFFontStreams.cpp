// The readers of maps that arrive as PDF streams: /ToUnicode streams and
// embedded encoding CMaps.
#include "pdfengine/fonts/FontLimits.h"
#include "pdfengine/fonts/QXPDFCharCodeToUnicode.h"
#include "pdfengine/fonts/QXPDFCodeToCIDMap.h"
#include "platform/pdf/PdfObject.h"

#include <algorithm>
#include <climits>
#include <new>

namespace rz {

std::shared_ptr<QXPDFCharCodeToUnicode> QXPDFCharCodeToUnicode::parseCMap(const pdf::Object& stream,
                                                                          int nBits)
{
    if (!stream.isStream())
        return nullptr;
    const pdf::StreamData data = stream.streamData();
    if (data.bytes.empty())
        return nullptr;
    return parseCMap(data.bytes, nBits);
}

std::shared_ptr<QXPDFCodeToCIDMap> QXPDFCodeToCIDMap::parse(QXPDFCodeToCIDMapCache* cache,
                                                            const std::string& collection,
                                                            const pdf::Object& cMapStream)
{
    QXPDFCodeToCIDMapCache localCache;
    std::vector<pdf::Object> seen;
    return parseStream(cache ? cache : &localCache, collection, cMapStream, 0, seen);
}

std::shared_ptr<QXPDFCodeToCIDMap> QXPDFCodeToCIDMap::parseStream(QXPDFCodeToCIDMapCache* cache,
                                                                  const std::string& collection,
                                                                  const pdf::Object& stream,
                                                                  int depth,
                                                                  std::vector<pdf::Object>& seen)
{
    if (!stream.isStream() || depth > kMaxUseCMapDepth)
        return nullptr;
    for (const pdf::Object& earlier : seen) {
        if (earlier.sameObject(stream))
            return nullptr;
    }
    try {
        auto map = std::make_shared<QXPDFCodeToCIDMap>(
            collection, stream.get("CMapName").name().value_or(std::string()), 0);
        if (const std::optional<long long> mode = stream.get("WMode").integer(); mode && *mode >= 0)
            map->setWMode(static_cast<int>(std::min<long long>(*mode, INT_MAX)));
        const pdf::Object use = stream.get("UseCMap");
        if (const std::optional<std::string> name = use.name()) {
            map->useCMap(cache, *name);
        } else if (use.isStream()) {
            seen.push_back(stream);
            const std::shared_ptr<QXPDFCodeToCIDMap> base =
                parseStream(cache, collection, use, depth + 1, seen);
            seen.pop_back();
            if (base)
                map->useCMap(*base);
        }
        const pdf::StreamData data = stream.streamData();
        if (!map->parseText(data.bytes, cache))
            return nullptr;
        return map;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace rz
