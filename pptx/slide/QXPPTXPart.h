// Writing one part of a presentation package: the part is made under a
// temporary name beside its place and renamed into place only when it is
// complete, so a part that fails leaves nothing a package could declare.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rz {

class XMLFileWriter;

namespace QXPPTXPart {

// The relationship type of `name` (slide, image, theme ...) in the
// officeDocument relationships.
std::string relationshipType(std::string_view name);
// Creates `folder` and the folders above it; raises XMLWriterException when
// it cannot.
void makeFolder(const std::string& folder);
// Opens a writer on the temporary name, writes the XML declaration ("1.0",
// "UTF-8", standalone) and hands the writer to `body`; ends the document
// and renames the file into place. Raises XMLWriterException (nothing left
// behind) when any of it fails.
void writeXMLPart(const std::string& path, const std::function<void(XMLFileWriter&)>& body);
// The same for bytes written as they are.
void writeBytesPart(const std::string& path, std::string_view bytes);

} // namespace QXPPTXPart
} // namespace rz
