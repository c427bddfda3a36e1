#include "platform/pdf/StreamDecoder.h"

#include "platform/pdf/StreamFilters.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace rz::pdf {

namespace {

long intParam(const Object& params, std::string_view key, long fallback)
{
    const Object v = params.get(key);
    if (const auto i = v.integer())
        return long(std::clamp<long long>(*i, LONG_MIN / 2, LONG_MAX / 2));
    if (const auto d = v.number(); d && std::isfinite(*d))
        return long(std::clamp(*d, double(LONG_MIN / 2), double(LONG_MAX / 2)));
    return fallback;
}

bool boolParam(const Object& params, std::string_view key, bool fallback)
{
    return params.get(key).boolean().value_or(fallback);
}

PredictorParams predictorParams(const Object& params)
{
    PredictorParams p;
    p.predictor = intParam(params, "Predictor", 1);
    p.colors = intParam(params, "Colors", 1);
    p.bitsPerComponent = intParam(params, "BitsPerComponent", 8);
    p.columns = intParam(params, "Columns", 1);
    return p;
}

StreamData decodeChain(std::string raw, const Object& dict, size_t limit, bool allowGlobals);

std::string jbig2Globals(const Object& params, size_t limit, bool allowGlobals, bool* ok)
{
    *ok = true;
    const Object globals = params.get("JBIG2Globals");
    if (!allowGlobals || !globals.isStream())
        return {};
    // Global segments never name globals of their own: no loop through them.
    StreamData d = decodeChain(globals.rawStreamData(), globals.dictionary(), limit, false);
    *ok = d.complete && d.format == StreamFormat::Raw;
    return std::move(d.bytes);
}

StreamData decodeChain(std::string raw, const Object& dict, size_t limit, bool allowGlobals)
{
    StreamData out;
    std::vector<FilterStep> chain;
    if (!filterChain(dict, &chain)) {
        out.complete = false;
        return out;
    }
    std::string data = std::move(raw);
    bool complete = true;
    for (size_t i = 0; i < chain.size(); ++i) {
        const FilterStep& step = chain[i];
        const bool last = i + 1 == chain.size();
        const std::string& name = step.name;
        FilterResult r;
        if (name == "DCTDecode" && last) {
            out.format = StreamFormat::JPEGEncoded;
            break;
        } else if (name == "JPXDecode" && last) {
            out.format = StreamFormat::JPEG2000;
            break;
        } else if (name == "FlateDecode" || name == "LZWDecode") {
            r = name == "FlateDecode"
                    ? flateDecode(data, limit)
                    : lzwDecode(data, intParam(step.params, "EarlyChange", 1) != 0, limit);
            const PredictorParams p = predictorParams(step.params);
            if (p.predictor != 1) {
                const bool before = r.complete;
                r = undoPredictor(std::move(r.bytes), p, limit);
                r.complete = r.complete && before;
            }
        } else if (name == "ASCIIHexDecode") {
            r = asciiHexDecode(data, limit);
        } else if (name == "ASCII85Decode") {
            r = ascii85Decode(data, limit);
        } else if (name == "RunLengthDecode") {
            r = runLengthDecode(data, limit);
        } else if (name == "DCTDecode") {
            r = dctDecode(data, limit);
        } else if (name == "CCITTFaxDecode") {
            FaxParams p;
            p.k = intParam(step.params, "K", 0);
            p.endOfLine = boolParam(step.params, "EndOfLine", false);
            p.encodedByteAlign = boolParam(step.params, "EncodedByteAlign", false);
            p.endOfBlock = boolParam(step.params, "EndOfBlock", true);
            p.blackIs1 = boolParam(step.params, "BlackIs1", false);
            p.columns = intParam(step.params, "Columns", 1728);
            p.rows = intParam(step.params, "Rows", 0);
            if (p.rows <= 0)
                p.rows = intParam(dict, "Height", intParam(dict, "H", 0));
            r = ccittFaxDecode(data, p, limit);
        } else if (name == "JBIG2Decode") {
            bool globalsOk = true;
            const std::string globals = jbig2Globals(step.params, limit, allowGlobals, &globalsOk);
            r = jbig2Decode(data, globals, limit);
            r.complete = r.complete && globalsOk;
        } else if (name == "Crypt") {
            // Decryption has already been applied to the raw data.
            continue;
        } else {
            // A filter that cannot be decoded here (JPXDecode inside a chain,
            // an unknown name): nothing is passed on as decoded.
            out.bytes.clear();
            out.complete = false;
            return out;
        }
        data = std::move(r.bytes);
        complete = complete && r.complete;
    }
    out.bytes = std::move(data);
    out.complete = complete && out.bytes.size() <= limit;
    if (out.bytes.size() > limit)
        out.bytes.resize(limit);
    return out;
}

} // namespace

std::string expandFilterName(std::string_view name)
{
    static constexpr std::pair<std::string_view, std::string_view> kAbbreviations[] = {
        {"AHx", "ASCIIHexDecode"}, {"A85", "ASCII85Decode"}, {"LZW", "LZWDecode"},
        {"Fl", "FlateDecode"},     {"RL", "RunLengthDecode"}, {"CCF", "CCITTFaxDecode"},
        {"DCT", "DCTDecode"},
    };
    for (const auto& [shortName, longName] : kAbbreviations)
        if (name == shortName)
            return std::string(longName);
    return std::string(name);
}

bool filterChain(const Object& dict, std::vector<FilterStep>* out)
{
    out->clear();
    Object filters = dict.get("Filter");
    Object params = dict.get("DecodeParms");
    if (filters.isNull()) {
        // An inline image's abbreviated keys. A stream's /F is a file
        // specification (a string or dictionary), never a name or array.
        const Object f = dict.get("F");
        if (f.isName() || f.isArray()) {
            filters = f;
            params = dict.get("DP");
        }
    } else if (params.isNull()) {
        params = dict.get("DP");
    }
    if (filters.isNull())
        return true;
    if (filters.isName()) {
        out->push_back({expandFilterName(*filters.name()), params.isArray() ? params.at(0) : params});
        return true;
    }
    if (!filters.isArray())
        return false;
    for (size_t i = 0; i < filters.size(); ++i) {
        const auto name = filters.at(i).name();
        if (!name)
            return false;
        Object p = params.isArray() ? params.at(i) : (i == 0 ? params : Object());
        out->push_back({expandFilterName(*name), p});
    }
    return true;
}

StreamFormat streamFormat(const Object& dict)
{
    std::vector<FilterStep> chain;
    if (!filterChain(dict, &chain) || chain.empty())
        return StreamFormat::Raw;
    if (chain.back().name == "DCTDecode")
        return StreamFormat::JPEGEncoded;
    if (chain.back().name == "JPXDecode")
        return StreamFormat::JPEG2000;
    return StreamFormat::Raw;
}

StreamData decodeStreamData(std::string raw, const Object& dict, size_t limit)
{
    return decodeChain(std::move(raw), dict, limit, true);
}

} // namespace rz::pdf
