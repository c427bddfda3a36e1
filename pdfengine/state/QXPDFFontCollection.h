// The fonts of one /Font resource dictionary by name, each made on first use.
#pragma once

#include "pdfengine/state/QXPDFResourceCollection.h"

namespace rz {

class QXPDFFont;
class QXPDFFontCache;

// Entries whose value is not a dictionary, and fonts the factory cannot
// make, stay unknown.
class QXPDFFontCollection : public QXPDFResourceCollection<QXPDFFont> {
public:
    QXPDFFontCollection() = default;
    explicit QXPDFFontCollection(const pdf::Object& dictionary);
    // Fonts come from the document's cache (made there on first use) when
    // one is given.
    QXPDFFontCollection(const pdf::Object& dictionary, std::shared_ptr<QXPDFFontCache> cache);

    std::shared_ptr<QXPDFFont> fontForKey(const std::string& name) const { return lookup(name); }
    const Map& fonts() const { return objects(); }
    Map fontsByName() const { return objects(); }
    void setFonts(Map fonts) { setObjects(std::move(fonts)); }
    void addObjectsFromDictionary(const Map& fonts) { addObjects(fonts); }
};

} // namespace rz
