// Encoding CMaps of composite fonts: multi-byte character codes -> CIDs,
// with code spaces, cidchar/cidrange, usecmap and the Identity maps; and
// the cache that serves the usecmap chains of one font.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

namespace pdf {
class Object;
}

class QXPDFCodeToCIDMapCache;
class CMapVector;

// A shared, reference-counted array of 256 entries, each a CID leaf or a
// child array for the next byte. Arrays are shared between maps and between
// the entries of one code space, and copied when one of their sharers
// changes them.
class CMapVectorRef {
public:
    CMapVectorRef() = default;
    explicit CMapVectorRef(CMapVector* adopted) : p_(adopted) {}
    CMapVectorRef(const CMapVectorRef& other);
    CMapVectorRef& operator=(const CMapVectorRef& other);
    CMapVectorRef(CMapVectorRef&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    CMapVectorRef& operator=(CMapVectorRef&& other) noexcept;
    ~CMapVectorRef();
    CMapVector* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    CMapVector* p_ = nullptr;
};

class QXPDFCodeToCIDMap {
public:
    // A map with an empty root array (every one-byte code gives CID 0).
    QXPDFCodeToCIDMap(std::string collection, std::string cMapName, int wMode = 0);

    // Parses a CMap: the given text, else the resource of that name. With no
    // text the names "Identity" and "Identity-H" give the horizontal and
    // "Identity-V" the vertical Identity map; any other name, or a map over
    // the size limits, gives nullptr. The cache serves usecmap (a temporary
    // one is used when none is given).
    static std::shared_ptr<QXPDFCodeToCIDMap> parse(QXPDFCodeToCIDMapCache* cache,
                                                    const std::string& collection,
                                                    const std::string& cMapName,
                                                    std::optional<std::string_view> cMapFile);
    // The predefined CMap of that name, as parse() with a fresh cache and no
    // text gives it. Each map is parsed once per process (the few most
    // recently used are kept); every caller gets its own copy, which shares
    // the parsed arrays until it changes them.
    static std::shared_ptr<QXPDFCodeToCIDMap> predefined(const std::string& collection,
                                                         const std::string& cMapName);
    // An embedded CMap stream: its decoded data, its /WMode and its
    // /UseCMap (a name through the cache, or another stream). nullptr when
    // the object is not a stream or the map cannot be built.
    static std::shared_ptr<QXPDFCodeToCIDMap> parse(QXPDFCodeToCIDMapCache* cache,
                                                    const std::string& collection,
                                                    const pdf::Object& cMapStream);

    // The CID of the code at s (len bytes left); code receives the raw code
    // (bytes high first) and nUsed the bytes it took. A code that runs out
    // of bytes inside the code space takes one byte and gives CID 0.
    uint32_t getCID(const uint8_t* s, size_t len, uint32_t& code, int& nUsed) const;
    uint32_t getCID(const uint8_t* s, size_t len, int& nUsed) const;

    // Adds a code space of nBytes-byte codes (one-byte spaces add nothing).
    bool addCodeSpace(uint32_t start, uint32_t end, int nBytes);
    // Maps the codes start..end (nBytes each) to firstCID upward; a range
    // over several rows (upper bytes) maps every row.
    bool addCIDs(uint32_t start, uint32_t end, int nBytes, uint32_t firstCID);
    // Merges the cached map of that name (same collection) into this one.
    bool useCMap(QXPDFCodeToCIDMapCache* cache, std::string_view useName);
    // Merges another map into this one: its leaves over this map's leaves,
    // its arrays merged into this map's.
    bool useCMap(const QXPDFCodeToCIDMap& other);

    // True when collection and name are this map's.
    bool isMath(std::string_view collection, std::string_view cMapName) const;

    const std::string& cMapCollection() const { return cMapCollection_; }
    const std::string& cMapName() const { return cMapName_; }
    int wMode() const { return wMode_; }
    void setWMode(int wMode) { wMode_ = wMode; }
    // An Identity map has no tree: two bytes give the CID.
    bool isIdentity() const { return !cMapVector_; }
    // Arrays this map has made (shared ones counted once per making).
    size_t vectorsMade() const { return vectorsMade_; }

private:
    friend class QXPDFCodeToCIDMapCache;
    static std::shared_ptr<QXPDFCodeToCIDMap> parseStream(QXPDFCodeToCIDMapCache* cache,
                                                          const std::string& collection,
                                                          const pdf::Object& stream, int depth,
                                                          std::vector<pdf::Object>& seen);
    static std::shared_ptr<QXPDFCodeToCIDMap> makeIdentity(const std::string& collection,
                                                           const std::string& name, int wMode);
    bool parseText(std::string_view text, QXPDFCodeToCIDMapCache* cache);
    CMapVector* mutableRoot();
    CMapVector* mutableChild(CMapVector* parent, int index);
    bool addCodeSpaceIn(CMapVector* vector, uint32_t start, uint32_t end, int nBytes);
    bool mergeInto(CMapVector* dest, const CMapVector* src, int depth);
    bool spendVector();

    std::string cMapCollection_;
    std::string cMapName_;
    int wMode_ = 0;
    CMapVectorRef cMapVector_; // empty for an Identity map
    size_t vectorsMade_ = 0;
    uint64_t leafWrites_ = 0;
    bool failed_ = false;
};

// Parsed encoding CMaps of one composite font, most recently used last.
class QXPDFCodeToCIDMapCache {
public:
    // The map of that name, parsed (from the resources) on first request.
    std::shared_ptr<QXPDFCodeToCIDMap> getCMap(const std::string& collection,
                                               const std::string& cMapName);
    const std::vector<std::shared_ptr<QXPDFCodeToCIDMap>>& cache() const { return cache_; }

private:
    friend class QXPDFCodeToCIDMap;
    std::vector<std::shared_ptr<QXPDFCodeToCIDMap>> cache_;
    // Names being parsed: a usecmap chain that comes back to one of them
    // (or nests too deep) finds nothing.
    std::vector<std::string> inProgress_;
};

} // namespace rz
