#include "pdfengine/state/QXPDFProperties.h"

namespace rz {

std::shared_ptr<QXPDFProperties> QXPDFProperties::PropertiesWithObject(const pdf::Object& object,
                                                                       const std::string& objectKey)
{
    if (!object.isDictionary() || object.get("PropertiesType").integer() != 1)
        return nullptr;
    auto p = std::make_shared<QXPDFProperties>();
    p->setObjectKey(objectKey);
    p->setType(1);
    return p;
}

QXPDFPropertiesCollection::QXPDFPropertiesCollection(const pdf::Object& dictionary)
    : QXPDFResourceCollection(dictionary, &QXPDFProperties::PropertiesWithObject)
{
}

} // namespace rz
