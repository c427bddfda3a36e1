// A deferred section break or blank paragraph among a section's content,
// written in document order with the other write objects.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "converter/ooxml/QXDocxWriterObject.h"

#include <cstdint>
#include <memory>

namespace rz {

class QXDocxProperty : public QXDocxWriterObject {
public:
    // What writeWithXMLWriter writes.
    enum WriteType : std::int32_t {
        WriteNothing = 0,
        WriteSection = 1,          // one "sectPr"
        WriteBlankParagraph = 2,   // one "p" holding only its "pPr"
    };

    // Writes nothing; the default paragraph, run and hidden section records.
    QXDocxProperty();

    // A writer of one "sectPr" from `sectProperty`.
    static std::shared_ptr<QXDocxProperty> NewWriteSectProperty(const QXDocx_SectPr& sectProperty);
    // A writer of one blank paragraph with those paragraph, paragraph-mark
    // and section records (the section written when its shouldWrite is set).
    static std::shared_ptr<QXDocxProperty> NewWrite1BlankParagraphWithProperty(const QXDocx_PPr& property,
                                                                               const QXDocx_RPr& RProperty,
                                                                               const QXDocx_SectPr& SectProperty);

    // Type 1 writes the section, type 2 the blank paragraph, any other
    // type nothing.
    void writeWithXMLWriter(XMLFileWriter& writer) override;
    std::shared_ptr<QXDocxWriterObject> copy() const override;

    std::int32_t propertyWriteType() const { return propertyWriteType_; }
    void setPropertyWriteType(std::int32_t value) { propertyWriteType_ = value; }
    const QXDocx_PPr& pProperty() const { return pProperty_; }
    void setPProperty(const QXDocx_PPr& value) { pProperty_ = value; }
    const QXDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(const QXDocx_RPr& value) { rProperty_ = value; }
    const QXDocx_SectPr& sectProperty() const { return sectProperty_; }
    void setSectProperty(const QXDocx_SectPr& value) { sectProperty_ = value; }

private:
    std::int32_t propertyWriteType_ = WriteNothing;
    QXDocx_PPr pProperty_;
    QXDocx_RPr rProperty_;
    QXDocx_SectPr sectProperty_;
};

} // namespace rz
