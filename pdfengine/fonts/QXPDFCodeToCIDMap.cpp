#include "pdfengine/fonts/QXPDFCodeToCIDMap.h"

#include "pdfengine/fonts/FontLimits.h"
#include "pdfengine/fonts/QXCMapUtilities.h"
#include "pdfengine/fonts/QXPDFCMapTokenizer.h"
#include "pdfengine/fonts/QXPDFMapTool.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <mutex>
#include <new>

namespace rz {

static_assert(sizeof(uintptr_t) >= 8, "CID leaves are stored beside pointers in one word");

// 256 entries for one byte of a code. An entry is a leaf, (CID << 1) | 1, or
// a pointer to the array of the next byte (pointers are even).
class CMapVector {
public:
    CMapVector() { entries_.fill(1); }
    CMapVector(const CMapVector&) = delete;
    CMapVector& operator=(const CMapVector&) = delete;
    ~CMapVector()
    {
        for (int i = 0; i < 256; ++i)
            release(i);
    }

    static void ref(CMapVector* v) { v->refs_.fetch_add(1, std::memory_order_relaxed); }
    static void unref(CMapVector* v)
    {
        if (v && v->refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete v;
    }
    bool shared() const { return refs_.load(std::memory_order_acquire) > 1; }

    bool isVector(int i) const { return (entries_[static_cast<size_t>(i)] & 1) == 0; }
    uint32_t cid(int i) const { return static_cast<uint32_t>(entries_[static_cast<size_t>(i)] >> 1); }
    CMapVector* child(int i) const
    {
        return reinterpret_cast<CMapVector*>(entries_[static_cast<size_t>(i)]);
    }
    void setLeaf(int i, uint32_t cid)
    {
        release(i);
        entries_[static_cast<size_t>(i)] = (static_cast<uintptr_t>(cid) << 1) | 1;
    }
    void setChild(int i, CMapVector* vector)
    {
        ref(vector);
        release(i);
        entries_[static_cast<size_t>(i)] = reinterpret_cast<uintptr_t>(vector);
    }
    // A new array with the same entries (children shared).
    CMapVector* clone() const
    {
        auto* copy = new CMapVector();
        copy->entries_ = entries_;
        for (int i = 0; i < 256; ++i) {
            if (isVector(i))
                ref(child(i));
        }
        return copy;
    }

private:
    void release(int i)
    {
        if (isVector(i))
            unref(child(i));
        entries_[static_cast<size_t>(i)] = 1;
    }

    std::atomic<int> refs_{1};
    std::array<uintptr_t, 256> entries_;
};

// ---------------------------------------------------------------------------
// CMapVectorRef

CMapVectorRef::CMapVectorRef(const CMapVectorRef& other) : p_(other.p_)
{
    if (p_)
        CMapVector::ref(p_);
}

CMapVectorRef& CMapVectorRef::operator=(const CMapVectorRef& other)
{
    if (other.p_)
        CMapVector::ref(other.p_);
    CMapVector::unref(p_);
    p_ = other.p_;
    return *this;
}

CMapVectorRef& CMapVectorRef::operator=(CMapVectorRef&& other) noexcept
{
    if (this != &other) {
        CMapVector::unref(p_);
        p_ = other.p_;
        other.p_ = nullptr;
    }
    return *this;
}

CMapVectorRef::~CMapVectorRef()
{
    CMapVector::unref(p_);
}

// ---------------------------------------------------------------------------
// QXPDFCodeToCIDMap

namespace {

// A hex-string code token "<...>" of an even length of at least 4 (brackets
// counted) and at most four bytes: its value and byte count.
bool parseCodeToken(const std::string& token, uint32_t& value, int& nBytes)
{
    const size_t n = token.size();
    if (n < 4 || (n & 1) != 0 || token.front() != '<' || token.back() != '>')
        return false;
    nBytes = static_cast<int>((n - 2) / 2);
    if (nBytes > kMaxCMapCodeBytes)
        return false;
    return QXParseHexNumber(std::string_view(token).substr(1, n - 2), value);
}

// A decimal token (a CID or a writing mode) of 0 to 4294967295.
bool parseUnsignedToken(const std::string& token, uint32_t& value)
{
    const std::optional<long long> v = parseInteger(token);
    if (!v || *v < 0 || *v > 0xFFFFFFFFll)
        return false;
    value = static_cast<uint32_t>(*v);
    return true;
}

} // namespace

QXPDFCodeToCIDMap::QXPDFCodeToCIDMap(std::string collection, std::string cMapName, int wMode)
    : cMapCollection_(std::move(collection)),
      cMapName_(std::move(cMapName)),
      wMode_(wMode),
      cMapVector_(new CMapVector())
{
    vectorsMade_ = 1;
}

std::shared_ptr<QXPDFCodeToCIDMap> QXPDFCodeToCIDMap::makeIdentity(const std::string& collection,
                                                                   const std::string& name,
                                                                   int wMode)
{
    auto map = std::make_shared<QXPDFCodeToCIDMap>(collection, name, wMode);
    map->cMapVector_ = CMapVectorRef();
    map->vectorsMade_ = 0;
    return map;
}

bool QXPDFCodeToCIDMap::spendVector()
{
    if (vectorsMade_ >= kMaxCMapVectors) {
        failed_ = true;
        return false;
    }
    ++vectorsMade_;
    return true;
}

CMapVector* QXPDFCodeToCIDMap::mutableRoot()
{
    if (!cMapVector_) {
        if (!spendVector())
            return nullptr;
        cMapVector_ = CMapVectorRef(new CMapVector());
    } else if (cMapVector_.get()->shared()) {
        if (!spendVector())
            return nullptr;
        cMapVector_ = CMapVectorRef(cMapVector_.get()->clone());
    }
    return cMapVector_.get();
}

CMapVector* QXPDFCodeToCIDMap::mutableChild(CMapVector* parent, int index)
{
    if (parent->isVector(index) && !parent->child(index)->shared())
        return parent->child(index);
    if (!spendVector())
        return nullptr;
    CMapVector* fresh = parent->isVector(index) ? parent->child(index)->clone() : new CMapVector();
    parent->setChild(index, fresh);
    CMapVector::unref(fresh);
    return fresh;
}

bool QXPDFCodeToCIDMap::addCodeSpace(uint32_t start, uint32_t end, int nBytes)
{
    if (nBytes < 1 || nBytes > kMaxCMapCodeBytes || failed_)
        return false;
    if (nBytes == 1)
        return true;
    CMapVector* root = mutableRoot();
    return root && addCodeSpaceIn(root, start, end, nBytes);
}

bool QXPDFCodeToCIDMap::addCodeSpaceIn(CMapVector* vector, uint32_t start, uint32_t end,
                                       int nBytes)
{
    if (nBytes <= 1)
        return true;
    const int shift = 8 * (nBytes - 1);
    const uint32_t lowerMask = (uint32_t{1} << shift) - 1;
    const int first = static_cast<int>((start >> shift) & 0xFF);
    const int last = static_cast<int>((end >> shift) & 0xFF);
    // Every entry of the range gets the same lower code space: entries that
    // held the same array (or a leaf) share one result.
    std::vector<std::pair<CMapVector*, CMapVector*>> done;
    for (int b = first; b <= last; ++b) {
        CMapVector* old = vector->isVector(b) ? vector->child(b) : nullptr;
        const auto it = std::find_if(done.begin(), done.end(),
                                     [old](const auto& p) { return p.first == old; });
        if (it != done.end()) {
            vector->setChild(b, it->second);
            continue;
        }
        if (old && !old->shared()) {
            if (!addCodeSpaceIn(old, start & lowerMask, end & lowerMask, nBytes - 1))
                return false;
            continue;
        }
        if (!spendVector())
            return false;
        CMapVector* fresh = old ? old->clone() : new CMapVector();
        const bool ok = addCodeSpaceIn(fresh, start & lowerMask, end & lowerMask, nBytes - 1);
        if (ok)
            vector->setChild(b, fresh);
        CMapVector::unref(fresh);
        if (!ok)
            return false;
        done.emplace_back(old, vector->child(b));
    }
    return true;
}

bool QXPDFCodeToCIDMap::addCIDs(uint32_t start, uint32_t end, int nBytes, uint32_t firstCID)
{
    if (nBytes < 1 || nBytes > kMaxCMapCodeBytes || failed_)
        return false;
    const uint32_t codeMask =
        nBytes == 4 ? 0xFFFFFFFFu : ((uint32_t{1} << (8 * nBytes)) - 1);
    start &= codeMask;
    end &= codeMask;
    if (end < start)
        return true;
    // Row by row (all bytes but the last), so that a range over several
    // rows maps every code from start to end.
    const uint32_t firstRow = start >> 8;
    const uint32_t lastRow = end >> 8;
    for (uint64_t row = firstRow; row <= lastRow; ++row) {
        CMapVector* vector = mutableRoot();
        for (int i = nBytes - 1; vector && i >= 1; --i)
            vector = mutableChild(vector, static_cast<int>((row >> (8 * (i - 1))) & 0xFF));
        if (!vector)
            return false;
        const int lo = row == firstRow ? static_cast<int>(start & 0xFF) : 0;
        const int hi = row == lastRow ? static_cast<int>(end & 0xFF) : 0xFF;
        for (int b = lo; b <= hi; ++b) {
            if (vector->isVector(b))
                continue;
            if (++leafWrites_ > kMaxCMapLeafWrites) {
                failed_ = true;
                return false;
            }
            const uint32_t code = static_cast<uint32_t>((row << 8) | static_cast<uint32_t>(b));
            vector->setLeaf(b, firstCID + (code - start));
        }
    }
    return true;
}

bool QXPDFCodeToCIDMap::mergeInto(CMapVector* dest, const CMapVector* src, int depth)
{
    if (depth >= kMaxCMapCodeBytes)
        return true;
    for (int i = 0; i < 256; ++i) {
        if (src->isVector(i)) {
            if (dest->isVector(i)) {
                CMapVector* child = mutableChild(dest, i);
                if (!child || !mergeInto(child, src->child(i), depth + 1))
                    return false;
            } else {
                // A leaf in the way becomes the other map's array, shared.
                dest->setChild(i, src->child(i));
            }
        } else if (!dest->isVector(i)) {
            dest->setLeaf(i, src->cid(i));
        }
    }
    return true;
}

bool QXPDFCodeToCIDMap::useCMap(const QXPDFCodeToCIDMap& other)
{
    if (failed_)
        return false;
    if (!other.cMapVector_)
        return true;
    CMapVector* root = mutableRoot();
    return root && mergeInto(root, other.cMapVector_.get(), 0);
}

bool QXPDFCodeToCIDMap::useCMap(QXPDFCodeToCIDMapCache* cache, std::string_view useName)
{
    if (!cache)
        return false;
    const std::shared_ptr<QXPDFCodeToCIDMap> used =
        cache->getCMap(cMapCollection_, std::string(useName));
    if (!used || used.get() == this)
        return false;
    return useCMap(*used);
}

bool QXPDFCodeToCIDMap::isMath(std::string_view collection, std::string_view cMapName) const
{
    return cMapCollection_ == collection && cMapName_ == cMapName;
}

uint32_t QXPDFCodeToCIDMap::getCID(const uint8_t* s, size_t len, uint32_t& code, int& nUsed) const
{
    code = 0;
    nUsed = 0;
    if (!s || len == 0)
        return 0;
    if (!cMapVector_) {
        if (len >= 2) {
            code = (static_cast<uint32_t>(s[0]) << 8) | s[1];
            nUsed = 2;
            return code;
        }
        code = s[0];
        nUsed = 1;
        return 0;
    }
    const CMapVector* vector = cMapVector_.get();
    uint32_t c = 0;
    for (size_t i = 0; i < len && i < static_cast<size_t>(kMaxCMapCodeBytes); ++i) {
        c = (c << 8) | s[i];
        if (!vector->isVector(s[i])) {
            code = c;
            nUsed = static_cast<int>(i) + 1;
            return vector->cid(s[i]);
        }
        vector = vector->child(s[i]);
    }
    code = s[0];
    nUsed = 1;
    return 0;
}

uint32_t QXPDFCodeToCIDMap::getCID(const uint8_t* s, size_t len, int& nUsed) const
{
    uint32_t code = 0;
    return getCID(s, len, code, nUsed);
}

bool QXPDFCodeToCIDMap::parseText(std::string_view text, QXPDFCodeToCIDMapCache* cache)
{
    QXPDFCMapTokenizer tokenizer(text);
    std::string tok1, tok2, tok3;
    if (!tokenizer.getToken(tok1))
        return !failed_;
    while (!failed_ && tokenizer.getToken(tok2)) {
        if (tok2 == "usecmap") {
            if (tok1.size() > 1 && tok1[0] == '/')
                useCMap(cache, std::string_view(tok1).substr(1));
            if (!tokenizer.getToken(tok1))
                break;
        } else if (tok1 == "/WMode") {
            uint32_t mode = 0;
            if (parseUnsignedToken(tok2, mode))
                wMode_ = static_cast<int>(std::min<uint32_t>(mode, INT_MAX));
            if (!tokenizer.getToken(tok1))
                break;
        } else if (tok2 == "begincodespacerange") {
            while (tokenizer.getToken(tok1) && tok1 != "endcodespacerange") {
                if (!tokenizer.getToken(tok2) || tok2 == "endcodespacerange")
                    break;
                uint32_t start = 0, end = 0;
                int n1 = 0, n2 = 0;
                if (parseCodeToken(tok1, start, n1) && parseCodeToken(tok2, end, n2) && n1 == n2)
                    addCodeSpace(start, end, n1);
            }
            if (!tokenizer.getToken(tok1))
                break;
        } else if (tok2 == "begincidchar") {
            while (tokenizer.getToken(tok1) && tok1 != "endcidchar") {
                if (!tokenizer.getToken(tok2) || tok2 == "endcidchar")
                    break;
                uint32_t code = 0, cid = 0;
                int n1 = 0;
                if (parseCodeToken(tok1, code, n1) && parseUnsignedToken(tok2, cid))
                    addCIDs(code, code, n1, cid);
            }
            if (!tokenizer.getToken(tok1))
                break;
        } else if (tok2 == "begincidrange") {
            while (tokenizer.getToken(tok1) && tok1 != "endcidrange") {
                if (!tokenizer.getToken(tok2) || tok2 == "endcidrange" ||
                    !tokenizer.getToken(tok3) || tok3 == "endcidrange")
                    break;
                uint32_t start = 0, end = 0, cid = 0;
                int n1 = 0, n2 = 0;
                if (parseCodeToken(tok1, start, n1) && parseCodeToken(tok2, end, n2) &&
                    n1 == n2 && parseUnsignedToken(tok3, cid))
                    addCIDs(start, end, n1, cid);
            }
            if (!tokenizer.getToken(tok1))
                break;
        } else {
            tok1.swap(tok2);
        }
    }
    return !failed_;
}

std::shared_ptr<QXPDFCodeToCIDMap> QXPDFCodeToCIDMap::parse(QXPDFCodeToCIDMapCache* cache,
                                                            const std::string& collection,
                                                            const std::string& cMapName,
                                                            std::optional<std::string_view> cMapFile)
{
    QXPDFCodeToCIDMapCache localCache;
    if (!cache)
        cache = &localCache;

    std::optional<std::string> found;
    std::string_view text;
    if (cMapFile) {
        text = *cMapFile;
    } else {
        found = QXPDFMapTool::FindCMapFile(collection, cMapName);
        if (found)
            text = *found;
    }
    if (text.empty()) {
        if (cMapName == "Identity" || cMapName == "Identity-H")
            return makeIdentity(collection, cMapName, 0);
        if (cMapName == "Identity-V")
            return makeIdentity(collection, cMapName, 1);
        return nullptr;
    }

    // The name stays marked while its text is parsed, so that a usecmap
    // chain coming back to it finds nothing.
    struct InProgress {
        std::vector<std::string>& names;
        InProgress(std::vector<std::string>& n, const std::string& name) : names(n)
        {
            names.push_back(name);
        }
        ~InProgress() { names.pop_back(); }
    };
    try {
        auto map = std::make_shared<QXPDFCodeToCIDMap>(collection, cMapName, 0);
        InProgress mark(cache->inProgress_, cMapName);
        if (!map->parseText(text, cache))
            return nullptr;
        return map;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::shared_ptr<QXPDFCodeToCIDMap> QXPDFCodeToCIDMap::predefined(const std::string& collection,
                                                                 const std::string& cMapName)
{
    // Parsed maps, most recently used last. The maps here are never changed:
    // callers get copies.
    static std::mutex mutex;
    static std::vector<std::shared_ptr<const QXPDFCodeToCIDMap>> parsed;
    std::shared_ptr<const QXPDFCodeToCIDMap> map;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = parsed.begin(); it != parsed.end(); ++it) {
            if ((*it)->isMath(collection, cMapName)) {
                map = *it;
                parsed.erase(it);
                parsed.push_back(map);
                break;
            }
        }
    }
    if (!map) {
        QXPDFCodeToCIDMapCache cache;
        map = parse(&cache, collection, cMapName, std::nullopt);
        if (!map)
            return nullptr;
        std::lock_guard<std::mutex> lock(mutex);
        const bool known = std::any_of(parsed.begin(), parsed.end(), [&](const auto& m) {
            return m->isMath(collection, cMapName);
        });
        if (!known) {
            parsed.push_back(map);
            if (parsed.size() > kMaxCachedPredefinedCMaps)
                parsed.erase(parsed.begin());
        }
    }
    try {
        return std::make_shared<QXPDFCodeToCIDMap>(*map);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// ---------------------------------------------------------------------------
// QXPDFCodeToCIDMapCache

std::shared_ptr<QXPDFCodeToCIDMap> QXPDFCodeToCIDMapCache::getCMap(const std::string& collection,
                                                                   const std::string& cMapName)
{
    if (!cache_.empty() && cache_.back()->isMath(collection, cMapName))
        return cache_.back();
    for (size_t i = 0; i + 1 < cache_.size(); ++i) {
        if (cache_[i]->isMath(collection, cMapName)) {
            std::shared_ptr<QXPDFCodeToCIDMap> map = cache_[i];
            cache_.erase(cache_.begin() + static_cast<std::ptrdiff_t>(i));
            cache_.push_back(map);
            return map;
        }
    }
    if (static_cast<int>(inProgress_.size()) >= kMaxUseCMapDepth ||
        std::find(inProgress_.begin(), inProgress_.end(), cMapName) != inProgress_.end())
        return nullptr;
    std::shared_ptr<QXPDFCodeToCIDMap> map =
        QXPDFCodeToCIDMap::parse(this, collection, cMapName, std::nullopt);
    if (map)
        cache_.push_back(map);
    return map;
}

} // namespace rz
