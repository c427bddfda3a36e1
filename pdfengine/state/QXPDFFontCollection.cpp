#include "pdfengine/state/QXPDFFontCollection.h"

#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/state/QXPDFFontCache.h"

namespace rz {

QXPDFFontCollection::QXPDFFontCollection(const pdf::Object& dictionary)
    : QXPDFFontCollection(dictionary, nullptr)
{
}

QXPDFFontCollection::QXPDFFontCollection(const pdf::Object& dictionary, std::shared_ptr<QXPDFFontCache> cache)
    : QXPDFResourceCollection(dictionary,
                              [cache = std::move(cache)](const pdf::Object& value,
                                                         const std::string& name) -> std::shared_ptr<QXPDFFont> {
                                  if (!value.isDictionary())
                                      return nullptr;
                                  if (cache)
                                      return cache->fontWithDictionary(value, name);
                                  return QXPDFFont::FontWithDictionary(value, name);
                              })
{
}

} // namespace rz
