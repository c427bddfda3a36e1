// The fonts of one document: a font dictionary is turned into a font (its
// embedded program loaded, its encoding, ToUnicode map and widths read)
// the first time a page asks for it, and every later page that uses the
// same dictionary gets the font already made. Give each conversion one
// cache, hand it to the parser of every page (QXPDFConentParser::
// setFontCache) and drop it when the document is done.
//
// Fonts are told apart by the document that holds their dictionary and its
// object number and generation. A direct dictionary (no object number) is
// made anew for every page's resources. Fonts never change once made, so
// pages share them; a page that names a shared font under another resource
// key gets a light copy that shares the tables and carries its own key
// (QXPDFFont::copyWithObjectKey). A dictionary that makes no font is
// remembered as well. The cache's naming (QXPDFFontNaming) is that of
// every font it makes.
#pragma once

#include "pdfengine/fonts/QXPDFFont.h"
#include "platform/pdf/PdfObject.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

namespace rz {

class QXPDFFontCache {
public:
    explicit QXPDFFontCache(QXPDFFontNaming naming = QXPDFFontNaming::MatchInstalled)
        : naming_(naming)
    {
    }
    QXPDFFontCache(const QXPDFFontCache&) = delete;
    QXPDFFontCache& operator=(const QXPDFFontCache&) = delete;

    // The font of a /Font resource entry under its key, as
    // QXPDFFont::FontWithDictionary makes it; null when the dictionary
    // makes no font.
    std::shared_ptr<QXPDFFont> fontWithDictionary(const pdf::Object& dictionary, const std::string& objectKey);

    // Dictionaries remembered (fonts and refusals).
    size_t count() const;
    // Fonts made from dictionaries so far, including those made again for
    // direct dictionaries; what the cache saved is the requests beyond them.
    uint64_t madeCount() const;
    void removeAllFonts();

private:
    struct Entry {
        // The holder of the dictionary: an entry whose holder is gone is
        // stale (its address may since hold another document).
        std::weak_ptr<const void> owner;
        std::shared_ptr<QXPDFFont> font; // null: the dictionary makes no font
        uint64_t lastUse = 0;
    };
    using Key = std::tuple<const void*, int, int>;

    // Drops the least recently used entry when the cache is full.
    void makeRoom();

    const QXPDFFontNaming naming_;
    mutable std::mutex mutex_;
    std::map<Key, Entry> fonts_;
    uint64_t uses_ = 0;
    uint64_t made_ = 0;
};

} // namespace rz
