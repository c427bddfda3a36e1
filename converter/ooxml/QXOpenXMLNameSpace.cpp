#include "converter/ooxml/QXOpenXMLNameSpace.h"

namespace rz {

#define RZ_NAMESPACE(method, uri)                                                                  \
    const std::string& QXOpenXMLNameSpace::method()                                                \
    {                                                                                              \
        static const std::string value = uri;                                                      \
        return value;                                                                              \
    }

RZ_NAMESPACE(nameSpace_a, "http://schemas.openxmlformats.org/drawingml/2006/main")
RZ_NAMESPACE(nameSpace_p, "http://schemas.openxmlformats.org/presentationml/2006/main")
RZ_NAMESPACE(nameSpace_r, "http://schemas.openxmlformats.org/officeDocument/2006/relationships")
RZ_NAMESPACE(nameSpace_w, "http://schemas.openxmlformats.org/wordprocessingml/2006/main")
RZ_NAMESPACE(nameSpace_vt, "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes")
RZ_NAMESPACE(nameSpace_cp, "http://schemas.openxmlformats.org/package/2006/metadata/core-properties")
RZ_NAMESPACE(nameSpace_dc, "http://purl.org/dc/elements/1.1/")
RZ_NAMESPACE(nameSpace_dcterms, "http://purl.org/dc/terms/")
RZ_NAMESPACE(nameSpace_dcmitype, "http://purl.org/dc/dcmitype/")
RZ_NAMESPACE(nameSpace_xsi, "http://www.w3.org/2001/XMLSchema-instance")
RZ_NAMESPACE(nameSpace_Rels, "http://schemas.openxmlformats.org/package/2006/relationships")
RZ_NAMESPACE(nameSpace_Rels_WorkSheet,
             "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet")
RZ_NAMESPACE(nameSpace_SpreadSheetml2006Main, "http://schemas.openxmlformats.org/spreadsheetml/2006/main")

#undef RZ_NAMESPACE

} // namespace rz
