#include "platform/pdf/PdfObject.h"

#include "platform/core/Numbers.h"
#include "platform/pdf/StreamDecoder.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <functional>

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

Object::Object() = default;

Object::Object(const QPDFObjectHandle& handle)
    : h_(handle.isInitialized() ? std::make_unique<QPDFObjectHandle>(handle) : nullptr)
{
}

Object::Object(const QPDFObjectHandle& handle, std::shared_ptr<const void> owner)
    : h_(handle.isInitialized() ? std::make_unique<QPDFObjectHandle>(handle) : nullptr),
      owner_(std::move(owner))
{
}

Object::Object(const Object& other)
    : h_(other.h_ ? std::make_unique<QPDFObjectHandle>(*other.h_) : nullptr), owner_(other.owner_)
{
}

Object::Object(Object&&) noexcept = default;

Object& Object::operator=(const Object& other)
{
    if (this != &other) {
        h_ = other.h_ ? std::make_unique<QPDFObjectHandle>(*other.h_) : nullptr;
        owner_ = other.owner_;
    }
    return *this;
}

Object& Object::operator=(Object&&) noexcept = default;
Object::~Object() = default;

const QPDFObjectHandle& Object::handle() const
{
    return h_ ? *h_ : nullHandle();
}

ObjectType Object::type() const
{
    if (!h_)
        return ObjectType::Null;
    return guarded(
        [&] {
            switch (h_->getTypeCode()) {
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
    return guarded([&]() -> std::optional<bool> { return h_->getBoolValue(); }, std::optional<bool>());
}

std::optional<long long> Object::integer() const
{
    if (!isInteger())
        return std::nullopt;
    return guarded([&]() -> std::optional<long long> { return h_->getIntValue(); },
                   std::optional<long long>());
}

std::optional<double> Object::number() const
{
    switch (type()) {
    case ObjectType::Integer:
        return guarded([&]() -> std::optional<double> { return double(h_->getIntValue()); },
                       std::optional<double>());
    case ObjectType::Real:
        // qpdf keeps reals as text and would read them with the C
        // library's locale; read them here without it.
        return guarded(
            [&]() -> std::optional<double> {
                const std::string text = h_->getRealValue();
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
            const std::string n = h_->getName();
            return n.empty() ? n : n.substr(1);
        },
        std::optional<std::string>());
}

std::optional<std::string> Object::stringBytes() const
{
    if (!isString())
        return std::nullopt;
    return guarded([&]() -> std::optional<std::string> { return h_->getStringValue(); },
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
    return guarded([&] { return size_t(std::max(0, h_->getArrayNItems())); }, size_t(0));
}

Object Object::at(size_t index) const
{
    if (index >= size())
        return {};
    return guarded([&] { return child(h_->getArrayItem(int(index))); }, Object());
}

Object Object::dictionary() const
{
    switch (type()) {
    case ObjectType::Dictionary: return *this;
    case ObjectType::Stream: return guarded([&] { return child(h_->getDict()); }, Object());
    default: return {};
    }
}

bool Object::hasKey(std::string_view key) const
{
    const Object d = dictionary();
    if (!d.h_)
        return false;
    return guarded([&] { return d.h_->hasKey(slashed(key)); }, false);
}

Object Object::get(std::string_view key) const
{
    const Object d = dictionary();
    if (!d.h_)
        return {};
    return guarded([&] { return child(d.h_->getKey(slashed(key))); }, Object());
}

std::vector<std::string> Object::keys() const
{
    const Object d = dictionary();
    if (!d.h_)
        return {};
    return guarded(
        [&] {
            std::vector<std::string> out;
            for (const std::string& k : d.h_->getKeys())
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
            const std::shared_ptr<Buffer> b = h_->getRawStreamData();
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
        const std::shared_ptr<Buffer> b = h_->getRawStreamData();
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
    if (!h_ || !h_->isIndirect())
        return {};
    const QPDFObjGen og = h_->getObjGen();
    return {og.getObj(), og.getGen()};
}

bool Object::sameObject(const Object& other) const
{
    if (!h_ || !other.h_)
        return !h_ && !other.h_;
    return h_->isSameObjectAs(*other.h_);
}

size_t Object::identityHash() const
{
    return std::hash<const void*>()(h_ ? static_cast<const void*>(h_->getObjectPtr()) : nullptr);
}

std::string Object::unparse() const
{
    if (!h_)
        return "null";
    return guarded(
        [&] {
            if (h_->isIndirect()) {
                const QPDFObjGen og = h_->getObjGen();
                return std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) + " R";
            }
            return h_->unparse();
        },
        std::string("null"));
}

} // namespace rz::pdf
