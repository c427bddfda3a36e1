// The root of every document-model object that writes itself as
// WordprocessingML: pages, sections, paragraphs, runs, tables and the
// deferred property writers.
#pragma once

#include <memory>

namespace rz {

class XMLFileWriter;

class QXDocxWriterObject {
public:
    virtual ~QXDocxWriterObject() = default;

    // Writes the object's elements at the writer's current position.
    virtual void writeWithXMLWriter(XMLFileWriter& writer) = 0;
    // A new object of the same class holding a copy of what this one holds.
    virtual std::shared_ptr<QXDocxWriterObject> copy() const = 0;

protected:
    QXDocxWriterObject() = default;
    QXDocxWriterObject(const QXDocxWriterObject&) = default;
    QXDocxWriterObject& operator=(const QXDocxWriterObject&) = default;
};

} // namespace rz
