// The colour spaces of one /ColorSpace resource dictionary by name, each
// made on first use.
#pragma once

#include "pdfengine/state/QXPDFResourceCollection.h"

namespace rz {

class QXPDFColorSpace;

// Every entry is offered to the colour-space factory with its name as the
// object key; what it refuses stays unknown.
class QXPDFColorSpaceCollection : public QXPDFResourceCollection<QXPDFColorSpace> {
public:
    QXPDFColorSpaceCollection() = default;
    explicit QXPDFColorSpaceCollection(const pdf::Object& dictionary);

    std::shared_ptr<QXPDFColorSpace> colorSpaceNamed(const std::string& name) const { return lookup(name); }
    const Map& colorSpaces() const { return objects(); }
    Map colorSpacesByName() const { return objects(); }
    void setColorSpaces(Map spaces) { setObjects(std::move(spaces)); }
    void addObjectsFromDictionary(const Map& spaces) { addObjects(spaces); }
};

} // namespace rz
