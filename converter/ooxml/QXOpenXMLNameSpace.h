// The namespace names and relationship types that the Office Open XML
// writers use (ECMA-376 transitional, Dublin Core, W3C).
#pragma once

#include <string>

namespace rz {

class QXOpenXMLNameSpace {
public:
    // DrawingML main.
    static const std::string& nameSpace_a();
    // PresentationML main.
    static const std::string& nameSpace_p();
    // officeDocument relationships.
    static const std::string& nameSpace_r();
    // WordprocessingML main.
    static const std::string& nameSpace_w();
    // Document-properties variant types.
    static const std::string& nameSpace_vt();
    // Package core properties.
    static const std::string& nameSpace_cp();
    // Dublin Core elements 1.1.
    static const std::string& nameSpace_dc();
    // Dublin Core terms.
    static const std::string& nameSpace_dcterms();
    // DCMI type vocabulary.
    static const std::string& nameSpace_dcmitype();
    // XML Schema instance.
    static const std::string& nameSpace_xsi();
    // Package relationships.
    static const std::string& nameSpace_Rels();
    // The relationship type of a worksheet.
    static const std::string& nameSpace_Rels_WorkSheet();
    // SpreadsheetML main.
    static const std::string& nameSpace_SpreadSheetml2006Main();
};

} // namespace rz
