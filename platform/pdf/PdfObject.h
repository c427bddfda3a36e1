// PDF objects read from a document: a small object layer over qpdf.
//
// An Object is a cheap, copyable handle with references already resolved.
// A handle keeps the parsed file it came from alive, so a handle kept past
// its Document reads what the document held (handles taken before an
// unlock keep reading the file as it was then). Names carry no leading "/".
// Every getter tolerates damage: what cannot be read answers as missing.
#pragma once

#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPDFObjectHandle;

namespace rz::pdf {

enum class ObjectType { Null, Boolean, Integer, Real, Name, String, Array, Dictionary, Stream };

// What the decoded data of a stream is: samples, or a JPEG or JPEG 2000
// file when the last filter of its chain is DCTDecode or JPXDecode.
enum class StreamFormat { Raw, JPEGEncoded, JPEG2000 };

struct StreamData {
    std::string bytes;
    StreamFormat format = StreamFormat::Raw;
    // False when decoding failed part-way: `bytes` then holds only what
    // decoded before the damage (never undecoded bytes).
    bool complete = true;
};

// Object number and generation of an indirect object; 0/0 for direct objects.
struct ObjectId {
    int number = 0;
    int generation = 0;
    friend bool operator==(const ObjectId&, const ObjectId&) = default;
};

class Object {
public:
    Object();
    explicit Object(const QPDFObjectHandle& handle);
    // A handle that keeps `owner` (the document's qpdf object, or the
    // private store of a scan) alive as long as the handle or any handle
    // taken from it lives.
    Object(const QPDFObjectHandle& handle, std::shared_ptr<const void> owner);
    // A number read straight from a content stream, held without a qpdf
    // object (the text of a real is kept as written).
    static Object directInteger(long long value);
    static Object directReal(std::string text);

    Object(const Object&);
    Object(Object&&) noexcept;
    Object& operator=(const Object&);
    Object& operator=(Object&&) noexcept;
    ~Object();

    ObjectType type() const;
    bool isNull() const { return type() == ObjectType::Null; }
    bool isBoolean() const { return type() == ObjectType::Boolean; }
    bool isInteger() const { return type() == ObjectType::Integer; }
    bool isReal() const { return type() == ObjectType::Real; }
    bool isNumber() const { return isInteger() || isReal(); }
    bool isName() const { return type() == ObjectType::Name; }
    bool isString() const { return type() == ObjectType::String; }
    bool isArray() const { return type() == ObjectType::Array; }
    bool isDictionary() const { return type() == ObjectType::Dictionary; }
    bool isStream() const { return type() == ObjectType::Stream; }

    // Checked getters: empty unless the object has that type.
    std::optional<bool> boolean() const;
    // Integers only: a real is refused, as is an integer beyond 64 bits.
    std::optional<long long> integer() const;
    // Integer or real.
    std::optional<double> number() const;
    // Without the leading "/", with #xx escapes decoded.
    std::optional<std::string> name() const;
    // The raw bytes of a string.
    std::optional<std::string> stringBytes() const;
    // A string as text: UTF-16BE (with BOM) or UTF-8 (with BOM) or
    // PDFDocEncoding, converted to UTF-8.
    std::optional<std::string> text() const;

    // Arrays: element count (0 for non-arrays) and element i (null when out of range).
    size_t size() const;
    Object at(size_t index) const;

    // Dictionaries and streams (a stream answers from its dictionary).
    bool hasKey(std::string_view key) const;
    // The value for the key, or null when missing.
    Object get(std::string_view key) const;
    // Keys in a stable (sorted) order.
    std::vector<std::string> keys() const;
    // A stream's dictionary; a dictionary itself; null otherwise.
    Object dictionary() const;

    // Streams: the data decoded through every filter of its chain except a
    // final DCTDecode or JPXDecode (see StreamData). Inline images name
    // their filters with the abbreviated keys and names (F, DP, AHx, Fl,
    // CCF, ...); those are understood here. The result is never larger
    // than kMaxDecodedStreamSize (PdfLimits.h): beyond it the data is cut
    // and `complete` is false.
    StreamData streamData() const;
    // Streams: the undecoded bytes.
    std::string rawStreamData() const;

    ObjectId id() const;
    // True when both handles refer to the same object (identity, not value).
    bool sameObject(const Object& other) const;
    // A hash consistent with sameObject.
    size_t identityHash() const;

    // PDF syntax of the object, for diagnostics and tools; indirect objects
    // (and streams) as "12 0 R".
    std::string unparse() const;

    const QPDFObjectHandle& handle() const;
    const std::shared_ptr<const void>& owner() const { return owner_; }

private:
    Object child(const QPDFObjectHandle& handle) const { return Object(handle, owner_); }
    // The qpdf handle, held in place rather than allocated for every
    // handle; an uninitialised handle stands for null. qpdf's getters are
    // not const, so neither is the handle a const object hands out.
    QPDFObjectHandle& qh() const;
    bool valid() const;

    alignas(8) mutable unsigned char storage_[16];
    std::shared_ptr<const void> owner_;
    // A direct number (no qpdf handle): kNone, or an integer in int_, or a
    // real whose text is text_. handle() turns it into a qpdf handle.
    enum Direct : std::uint8_t { kNone, kInteger, kReal };
    mutable Direct direct_ = kNone;
    long long int_ = 0;
    std::string text_;
};

struct ObjectIdentityHash {
    size_t operator()(const Object& o) const { return o.identityHash(); }
};
struct ObjectIdentityEqual {
    bool operator()(const Object& a, const Object& b) const { return a.sameObject(b); }
};

// PDFDocEncoding bytes to UTF-8.
std::string pdfDocEncodingToUtf8(std::string_view bytes);
// A PDF text string (UTF-16BE with BOM, UTF-8 with BOM, or PDFDocEncoding) to UTF-8.
std::string pdfTextToUtf8(std::string_view bytes);

} // namespace rz::pdf
