#include "pdfengine/state/QXPDFFontCache.h"

#include "pdfengine/base/QXPDFParserLimits.h"
#include "pdfengine/fonts/QXPDFFont.h"

namespace rz {

std::shared_ptr<QXPDFFont> QXPDFFontCache::fontWithDictionary(const pdf::Object& dictionary,
                                                              const std::string& objectKey)
{
    const pdf::ObjectId id = dictionary.id();
    if (id.number == 0 || !dictionary.owner()) {
        // A direct dictionary belongs to the resources that hold it.
        std::lock_guard<std::mutex> lock(mutex_);
        ++made_;
        return QXPDFFont::FontWithDictionary(dictionary, objectKey, naming_);
    }

    std::lock_guard<std::mutex> lock(mutex_);
    const Key key{dictionary.owner().get(), id.number, id.generation};
    auto it = fonts_.find(key);
    if (it != fonts_.end() && it->second.owner.expired()) {
        fonts_.erase(it);
        it = fonts_.end();
    }
    if (it == fonts_.end()) {
        makeRoom();
        Entry entry;
        entry.owner = dictionary.owner();
        entry.font = QXPDFFont::FontWithDictionary(dictionary, objectKey, naming_);
        ++made_;
        it = fonts_.emplace(key, std::move(entry)).first;
    }
    Entry& entry = it->second;
    entry.lastUse = ++uses_;
    if (!entry.font || entry.font->objectKey() == objectKey)
        return entry.font;
    return entry.font->copyWithObjectKey(objectKey);
}

void QXPDFFontCache::makeRoom()
{
    if (fonts_.size() < kQXPDFMaxCachedFonts)
        return;
    auto oldest = fonts_.begin();
    for (auto it = fonts_.begin(); it != fonts_.end(); ++it)
        if (it->second.lastUse < oldest->second.lastUse)
            oldest = it;
    fonts_.erase(oldest);
}

size_t QXPDFFontCache::count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return fonts_.size();
}

uint64_t QXPDFFontCache::madeCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return made_;
}

void QXPDFFontCache::removeAllFonts()
{
    std::lock_guard<std::mutex> lock(mutex_);
    fonts_.clear();
}

} // namespace rz
