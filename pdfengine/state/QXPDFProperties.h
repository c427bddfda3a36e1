// Property lists (/Properties resources) and their collection.
#pragma once

#include "pdfengine/state/QXPDFResourceCollection.h"

#include <memory>
#include <string>

namespace rz {

class QXPDFProperties {
public:
    // A property list only for a dictionary whose /PropertiesType integer
    // is 1; nothing otherwise.
    static std::shared_ptr<QXPDFProperties> PropertiesWithObject(const pdf::Object& object,
                                                                 const std::string& objectKey);

    const std::string& objectKey() const { return objectKey_; }
    void setObjectKey(std::string key) { objectKey_ = std::move(key); }
    long type() const { return type_; }
    void setType(long t) { type_ = t; }

private:
    std::string objectKey_;
    long type_ = 0;
};

class QXPDFPropertiesCollection : public QXPDFResourceCollection<QXPDFProperties> {
public:
    QXPDFPropertiesCollection() = default;
    explicit QXPDFPropertiesCollection(const pdf::Object& dictionary);

    std::shared_ptr<QXPDFProperties> objectNamed(const std::string& name) const { return lookup(name); }
    const Map& collectObjects() const { return objects(); }
    Map collectObjectsByName() const { return objects(); }
    void setCollectObjects(Map objects) { setObjects(std::move(objects)); }
    void addObjectsFromDictionary(const Map& objects) { addObjects(objects); }
};

} // namespace rz
