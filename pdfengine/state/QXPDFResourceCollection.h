// The shared machinery of the resource collections: the objects of one
// resource sub-dictionary (/Font, /XObject, ...) by name, each made by its
// kind's factory the first time its name is looked up and kept for the
// collection's life. Names the factory refuses stay unknown.
#pragma once

#include "platform/pdf/PdfObject.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace rz {

template <class T>
class QXPDFResourceCollection {
public:
    using Object = std::shared_ptr<T>;
    using Map = std::map<std::string, Object>;
    // Makes the object of one entry (value, name), or null to refuse it.
    using Factory = std::function<Object(const pdf::Object& value, const std::string& name)>;

    QXPDFResourceCollection() = default;
    QXPDFResourceCollection(const pdf::Object& dictionary, Factory factory)
        : dictionary_(dictionary.isDictionary() ? dictionary : pdf::Object()), factory_(std::move(factory))
    {
    }

    // The object of the name, made on first use; null when unknown.
    Object lookup(const std::string& name) const
    {
        const auto it = made_.find(name);
        if (it != made_.end())
            return it->second;
        if (complete_ || !factory_ || !dictionary_.hasKey(name))
            return nullptr;
        Object object = offer(name) ? factory_(dictionary_.get(name), name) : nullptr;
        made_.emplace(name, object);
        return object;
    }

    // Every known object, all made on the first call.
    const Map& objects() const
    {
        if (!complete_) {
            for (const std::string& name : dictionary_.keys())
                lookup(name);
            for (auto it = made_.begin(); it != made_.end();)
                it = it->second ? std::next(it) : made_.erase(it);
            complete_ = true;
        }
        return made_;
    }

    void setObjects(Map objects)
    {
        made_ = std::move(objects);
        complete_ = true;
    }
    void addObjects(const Map& objects)
    {
        for (const auto& [name, object] : objects)
            made_[name] = object;
    }

protected:
    // Whether the entry may be made at all (the XObject collection's cap).
    virtual bool offer(const std::string&) const { return true; }
    const pdf::Object& dictionary() const { return dictionary_; }

public:
    virtual ~QXPDFResourceCollection() = default;

private:
    pdf::Object dictionary_;
    Factory factory_;
    mutable Map made_;
    mutable bool complete_ = false;
};

} // namespace rz
