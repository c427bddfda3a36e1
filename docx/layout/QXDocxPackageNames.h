// The namespace names, relationship types and content types of the DOCX
// package parts that QXDocxWriter writes (ECMA-376 Part 1 transitional,
// VML and the Word 2006 extensions), beside those of QXOpenXMLNameSpace.
#pragma once

#include <string_view>

namespace rz::QXDocxPackageNames {

inline constexpr std::string_view kVML = "urn:schemas-microsoft-com:vml";
inline constexpr std::string_view kOffice = "urn:schemas-microsoft-com:office:office";
inline constexpr std::string_view kWordDrawing =
    "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
inline constexpr std::string_view kWord10 = "urn:schemas-microsoft-com:office:word";
inline constexpr std::string_view kMarkupCompatibility = "http://schemas.openxmlformats.org/markup-compatibility/2006";
inline constexpr std::string_view kMath = "http://schemas.openxmlformats.org/officeDocument/2006/math";
inline constexpr std::string_view kWordML2006 = "http://schemas.microsoft.com/office/word/2006/wordml";
inline constexpr std::string_view kSchemaLibrary = "http://schemas.openxmlformats.org/schemaLibrary/2006/main";
inline constexpr std::string_view kXML = "http://www.w3.org/XML/1998/namespace";
inline constexpr std::string_view kExtendedProperties =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
inline constexpr std::string_view kContentTypes = "http://schemas.openxmlformats.org/package/2006/content-types";

// Relationship types: the officeDocument ones are this prefix + a name.
inline constexpr std::string_view kRelationshipTypePrefix =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
inline constexpr std::string_view kCorePropertiesRelationship =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";

} // namespace rz::QXDocxPackageNames
