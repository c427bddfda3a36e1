// The shadings of one /Shading resource dictionary by name, each made on
// first use.
#pragma once

#include "pdfengine/state/QXPDFResourceCollection.h"

namespace rz {

class QXPDFShading;

class QXPDFShadingCollection : public QXPDFResourceCollection<QXPDFShading> {
public:
    QXPDFShadingCollection() = default;
    explicit QXPDFShadingCollection(const pdf::Object& dictionary);

    std::shared_ptr<QXPDFShading> objectNamed(const std::string& name) const { return lookup(name); }
    const Map& collectObjects() const { return objects(); }
    Map collectObjectsByName() const { return objects(); }
    void setCollectObjects(Map objects) { setObjects(std::move(objects)); }
    void addObjectsFromDictionary(const Map& objects) { addObjects(objects); }
};

} // namespace rz
