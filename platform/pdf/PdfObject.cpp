#include "platform/pdf/PdfObject.h"

#include "platform/core/Numbers.h"
#include "platform/pdf/StreamDecoder.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <functional>
#include <new>

namespace rz::pdf {

namespace {

// qpdf resolves indirect objects lazily and may throw on damaged input at
// any access; every access goes through here so that a bad object reads
// as missing instead.
template <class F, class R>
R guarded(F&& f, R fallback)
{
    try {
        return f();
    } catch (...) {
        return fallback;
    }
}

const QPDFObjectHandle& nullHandle()
{
    static const QPDFObjectHandle h = QPDFObjectHandle::newNull();
    return h;
}

std::string slashed(std::string_view key)
{
    std::string k;
    k.reserve(key.size() + 1);
    k.push_back('/');
    k.append(key);
    return k;
}

} // namespace

QPDFObjectHandle& Object::qh() const
{
    return *std::launder(reinterpret_cast<QPDFObjectHandle*>(storage_));
}

bool Object::valid() const
{
    return qh().isInitialized();
}

Object::Object()
{
    static_assert(sizeof(QPDFObjectHandle) <= sizeof(storage_) && alignof(QPDFObjectHandle) <= 8,
                  "a qpdf handle must fit the object's storage");
    new (storage_) QPDFObjectHandle();
}

Object::Object(const QPDFObjectHandle& handle)
{
    new (storage_) QPDFObjectHandle(handle);
}

Object::Object(const QPDFObjectHandle& handle, std::shared_ptr<const void> owner) : owner_(std::move(owner))
{
    new (storage_) QPDFObjectHandle(handle);
}

Object Object::directInteger(long long value)
{
    Object o;
    o.direct_ = kInteger;
    o.int_ = value;
    return o;
}

Object Object::directReal(std::string text)
{
    Object o;
    o.direct_ = kReal;
    o.text_ = std::move(text);
    return o;
}

Object::Object(const Object& other)
    : owner_(other.owner_), direct_(other.direct_), int_(other.int_), text_(other.text_)
{
    new (storage_) QPDFObjectHandle(other.qh());
}

Object::Object(Object&& other) noexcept
    : owner_(std::move(other.owner_)), direct_(other.direct_), int_(other.int_), text_(std::move(other.text_))
{
    new (storage_) QPDFObjectHandle(std::move(other.qh()));
    other.direct_ = kNone;
}

Object& Object::operator=(const Object& other)
{
    if (this != &other) {
        qh() = other.qh();
        owner_ = other.owner_;
        direct_ = other.direct_;
        int_ = other.int_;
        text_ = other.text_;
    }
    return *this;
}

Object& Object::operator=(Object&& other) noexcept
{
    if (this != &other) {
        qh() = std::move(other.qh());
        owner_ = std::move(other.owner_);
        direct_ = other.direct_;
        int_ = other.int_;
        text_ = std::move(other.text_);
        other.direct_ = kNone;
    }
    return *this;
}

Object::~Object()
{
    qh().~QPDFObjectHandle();
}

const QPDFObjectHandle& Object::handle() const
{
    if (direct_ != kNone) {
        // Made into a qpdf number once asked for; the object reads the same.
        qh() = direct_ == kInteger ? QPDFObjectHandle::newInteger(int_) : QPDFObjectHandle::newReal(text_);
        direct_ = kNone;
    }
    return valid() ? qh() : nullHandle();
}

ObjectType Object::type() const
{
    if (direct_ == kInteger)
        return ObjectType::Integer;
    if (direct_ == kReal)
        return ObjectType::Real;
    if (!valid())
        return ObjectType::Null;
    return guarded(
        [&] {
            switch (qh().getTypeCode()) {
            case ::ot_boolean: return ObjectType::Boolean;
            case ::ot_integer: return ObjectType::Integer;
            case ::ot_real: return ObjectType::Real;
            case ::ot_name: return ObjectType::Name;
            case ::ot_string: return ObjectType::String;
            case ::ot_array: return ObjectType::Array;
            case ::ot_dictionary: return ObjectType::Dictionary;
            case ::ot_stream: return ObjectType::Stream;
            default: return ObjectType::Null;
            }
        },
        ObjectType::Null);
}

std::optional<bool> Object::boolean() const
{
    if (!isBoolean())
        return std::nullopt;
    return guarded([&]() -> std::optional<bool> { return qh().getBoolValue(); }, std::optional<bool>());
}

std::optional<long long> Object::integer() const
{
    if (!isInteger())
        return std::nullopt;
    if (direct_ == kInteger)
        return int_;
    return guarded([&]() -> std::optional<long long> { return qh().getIntValue(); },
                   std::optional<long long>());
}

namespace {

// qpdf keeps reals as text and would read them with the C library's
// locale; they are read here without it.
double realFromText(const std::string& text)
{
    if (const auto v = parseDouble(text))
        return *v;
    size_t used = 0;
    const double v = parseLeadingDouble(text, &used);
    return used ? v : 0.0;
}

} // namespace

std::optional<double> Object::number() const
{
    if (direct_ == kInteger)
        return double(int_);
    if (direct_ == kReal)
        return realFromText(text_);
    switch (type()) {
    case ObjectType::Integer:
        return guarded([&]() -> std::optional<double> { return double(qh().getIntValue()); },
                       std::optional<double>());
    case ObjectType::Real:
        return guarded([&]() -> std::optional<double> { return realFromText(qh().getRealValue()); },
                       std::optional<double>());
    default: return std::nullopt;
    }
}

std::optional<std::string> Object::name() const
{
    if (!isName())
        return std::nullopt;
    return guarded(
        [&]() -> std::optional<std::string> {
            const std::string n = qh().getName();
            return n.empty() ? n : n.substr(1);
        },
        std::optional<std::string>());
}

std::optional<std::string> Object::stringBytes() const
{
    if (!isString())
        return std::nullopt;
    return guarded([&]() -> std::optional<std::string> { return qh().getStringValue(); },
                   std::optional<std::string>());
}

std::optional<std::string> Object::text() const
{
    const auto bytes = stringBytes();
    if (!bytes)
        return std::nullopt;
    return pdfTextToUtf8(*bytes);
}

size_t Object::size() const
{
    if (!isArray())
        return 0;
    return guarded([&] { return size_t(std::max(0, qh().getArrayNItems())); }, size_t(0));
}

Object Object::at(size_t index) const
{
    if (index >= size())
        return {};
    return guarded([&] { return child(qh().getArrayItem(int(index))); }, Object());
}

Object Object::dictionary() const
{
    switch (type()) {
    case ObjectType::Dictionary: return *this;
    case ObjectType::Stream: return guarded([&] { return child(qh().getDict()); }, Object());
    default: return {};
    }
}

bool Object::hasKey(std::string_view key) const
{
    const Object d = dictionary();
    if (!d.valid())
        return false;
    return guarded([&] { return d.qh().hasKey(slashed(key)); }, false);
}

Object Object::get(std::string_view key) const
{
    const Object d = dictionary();
    if (!d.valid())
        return {};
    return guarded([&] { return child(d.qh().getKey(slashed(key))); }, Object());
}

std::vector<std::string> Object::keys() const
{
    const Object d = dictionary();
    if (!d.valid())
        return {};
    return guarded(
        [&] {
            std::vector<std::string> out;
            for (const std::string& k : d.qh().getKeys())
                out.push_back(k.empty() ? k : k.substr(1));
            return out;
        },
        std::vector<std::string>());
}

std::string Object::rawStreamData() const
{
    if (!isStream())
        return {};
    return guarded(
        [&] {
            const std::shared_ptr<Buffer> b = qh().getRawStreamData();
            return b ? std::string(reinterpret_cast<const char*>(b->getBuffer()), b->getSize())
                     : std::string();
        },
        std::string());
}

StreamData Object::streamData() const
{
    if (!isStream())
        return {{}, StreamFormat::Raw, false};
    std::string raw;
    try {
        const std::shared_ptr<Buffer> b = qh().getRawStreamData();
        if (b)
            raw.assign(reinterpret_cast<const char*>(b->getBuffer()), b->getSize());
    } catch (...) {
        // The data cannot be read from the file at all.
        return {{}, StreamFormat::Raw, false};
    }
    return decodeStreamData(std::move(raw), dictionary());
}

ObjectId Object::id() const
{
    if (!valid() || !qh().isIndirect())
        return {};
    const QPDFObjGen og = qh().getObjGen();
    return {og.getObj(), og.getGen()};
}

bool Object::sameObject(const Object& other) const
{
    // A direct number has no identity beyond its own handle.
    if (direct_ != kNone || other.direct_ != kNone)
        return this == &other;
    if (!valid() || !other.valid())
        return !valid() && !other.valid();
    return qh().isSameObjectAs(other.qh());
}

size_t Object::identityHash() const
{
    if (direct_ != kNone)
        return std::hash<const void*>()(this);
    return std::hash<const void*>()(valid() ? static_cast<const void*>(qh().getObjectPtr()) : nullptr);
}

std::string Object::unparse() const
{
    if (direct_ == kInteger)
        return std::to_string(int_);
    if (direct_ == kReal)
        return text_;
    if (!valid())
        return "null";
    return guarded(
        [&] {
            if (qh().isIndirect()) {
                const QPDFObjGen og = qh().getObjGen();
                return std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " R";
            }
            return qh().unparse();
        },
        std::string("null"));
}

} // namespace rz::pdf
