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

Object::Object(const Object& other) : owner_(other.owner_)
{
    new (storage_) QPDFObjectHandle(other.qh());
}

Object::Object(Object&& other) noexcept : owner_(std::move(other.owner_))
{
    new (storage_) QPDFObjectHandle(std::move(other.qh()));
}

Object& Object::operator=(const Object& other)
{
    if (this != &other) {
        qh() = other.qh();
        owner_ = other.owner_;
    }
    return *this;
}

Object& Object::operator=(Object&& other) noexcept
{
    if (this != &other) {
        qh() = std::move(other.qh());
        owner_ = std::move(other.owner_);
    }
    return *this;
}

Object::~Object()
{
    qh().~QPDFObjectHandle();
}

const QPDFObjectHandle& Object::handle() const
{
    return valid() ? qh() : nullHandle();
}

ObjectType Object::type() const
{
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
    return guarded([&]() -> std::optional<long long> { return qh().getIntValue(); },
                   std::optional<long long>());
}

std::optional<double> Object::number() const
{
    switch (type()) {
    case ObjectType::Integer:
        return guarded([&]() -> std::optional<double> { return double(qh().getIntValue()); },
                       std::optional<double>());
    case ObjectType::Real:
        // qpdf keeps reals as text and would read them with the C
        // library's locale; read them here without it.
        return guarded(
            [&]() -> std::optional<double> {
                const std::string text = qh().getRealValue();
                if (const auto v = parseDouble(text))
                    return v;
                size_t used = 0;
                const double v = parseLeadingDouble(text, &used);
                return used ? std::optional<double>(v) : std::optional<double>(0.0);
            },
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
    if (!valid() || !other.valid())
        return !valid() && !other.valid();
    return qh().isSameObjectAs(other.qh());
}

size_t Object::identityHash() const
{
    return std::hash<const void*>()(valid() ? static_cast<const void*>(qh().getObjectPtr()) : nullptr);
}

std::string Object::unparse() const
{
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
