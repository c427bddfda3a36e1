// Finds and reads the CMap and CID-to-Unicode resources: first in the
// engine's resources (QXPDFParser/PDFEncodings/CMap/<name>,
// QXPDFParser/PDFEncodings/CIDToUnicode/<name>), then among the CMaps that
// poppler-data installs (<poppler>/cMap/<collection>/<name>).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rz {

class QXPDFMapTool {
public:
    // The CID-to-Unicode map of a collection region: "Adobe-CNS1",
    // "Adobe-GB1", "Adobe-Japan1" and "Adobe-Korea1" read the file
    // "<region>-UCS2"; any other region, or an unreadable file, gives nothing.
    static std::optional<std::string> FindToUnicodeFile(std::string_view region);
    // The text of the CMap of that name; nothing when there is no such
    // resource. The collection is not used.
    static std::optional<std::string> FindCMapFile(std::string_view collection,
                                                   std::string_view cMapName);

    // The path of "PDFEncodings/CMap/<name>" or
    // "PDFEncodings/CIDToUnicode/<name>"; empty when there is no such file
    // or the name is not a plain resource name (no path separators, no "."
    // or "..", printable ASCII only).
    static std::string PathForEncodingResource(std::string_view resource);
    // True when a CMap or resource name can name a file safely.
    static bool isPlainResourceName(std::string_view name);
};

} // namespace rz
