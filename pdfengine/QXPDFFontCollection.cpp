#include "pdfengine/QXPDFFontCollection.h"

#include "pdfengine/fonts/QXPDFFont.h"

namespace rz {

QXPDFFontCollection::QXPDFFontCollection(const pdf::Object& dictionary)
    : QXPDFResourceCollection(dictionary, [](const pdf::Object& value, const std::string& name) {
          return value.isDictionary() ? QXPDFFont::FontWithDictionary(value, name) : nullptr;
      })
{
}

} // namespace rz
