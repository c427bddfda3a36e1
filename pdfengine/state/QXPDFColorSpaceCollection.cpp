#include "pdfengine/state/QXPDFColorSpaceCollection.h"

#include "pdfengine/color/QXPDFColorSpace.h"

namespace rz {

QXPDFColorSpaceCollection::QXPDFColorSpaceCollection(const pdf::Object& dictionary)
    : QXPDFResourceCollection(dictionary, [](const pdf::Object& value, const std::string& name) {
          return QXPDFColorSpace::ColorSpaceWithObject(value, name);
      })
{
}

} // namespace rz
