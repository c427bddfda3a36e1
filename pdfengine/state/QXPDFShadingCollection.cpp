#include "pdfengine/state/QXPDFShadingCollection.h"

#include "pdfengine/color/QXPDFShading.h"

namespace rz {

QXPDFShadingCollection::QXPDFShadingCollection(const pdf::Object& dictionary)
    : QXPDFResourceCollection(dictionary, [](const pdf::Object& value, const std::string& name) {
          return QXPDFShading::ShadingWithObject(value, name);
      })
{
}

} // namespace rz
