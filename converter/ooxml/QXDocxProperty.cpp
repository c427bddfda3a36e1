#include "converter/ooxml/QXDocxProperty.h"

#include "converter/ooxml/QXDocxUtilities.h"

namespace rz {

QXDocxProperty::QXDocxProperty()
    : pProperty_(QXDocxUtilities::defaultPProperty()),
      rProperty_(QXDocxUtilities::defaultRProperty()),
      sectProperty_(QXDocxUtilities::defaultSectPropertyHiden())
{
}

std::shared_ptr<QXDocxProperty> QXDocxProperty::NewWriteSectProperty(const QXDocx_SectPr& sectProperty)
{
    auto object = std::make_shared<QXDocxProperty>();
    object->propertyWriteType_ = WriteSection;
    object->sectProperty_ = sectProperty;
    return object;
}

std::shared_ptr<QXDocxProperty> QXDocxProperty::NewWrite1BlankParagraphWithProperty(const QXDocx_PPr& property,
                                                                                    const QXDocx_RPr& RProperty,
                                                                                    const QXDocx_SectPr& SectProperty)
{
    auto object = std::make_shared<QXDocxProperty>();
    object->propertyWriteType_ = WriteBlankParagraph;
    object->pProperty_ = property;
    object->rProperty_ = RProperty;
    object->sectProperty_ = SectProperty;
    return object;
}

void QXDocxProperty::writeWithXMLWriter(XMLFileWriter& writer)
{
    switch (propertyWriteType_) {
    case WriteSection:
        QXDocxUtilities::WriteSectProperty(sectProperty_, writer);
        break;
    case WriteBlankParagraph:
        QXDocxUtilities::Write1BlankParagraphWithProperty(pProperty_, rProperty_, sectProperty_, writer);
        break;
    default:
        break;
    }
}

std::shared_ptr<QXDocxWriterObject> QXDocxProperty::copy() const
{
    return std::make_shared<QXDocxProperty>(*this);
}

} // namespace rz
