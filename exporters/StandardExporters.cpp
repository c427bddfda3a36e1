#include "exporters/StandardExporters.h"

#include "converter/QXRUZIzevudara.h"
#include "docx/layout/QXDocxManager.h"
#include "docx/layout/QXDocxPDFExporter.h"
#include "flowtext/html/QXHTMLPDFExporter.h"
#include "flowtext/rtf/QXRTFPDFExporter.h"
#include "flowtext/text/QXTextPDFExporter.h"
#include "pptx/export/QXPPTXPDFExporter.h"
#include "xlsx/export/QXExcelPDFExporter.h"
#include "xlsx/sheet/QXExcelManager.h"

#include <mutex>

namespace rz {

void registerStandardExporters()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Each output format adds its factory here as it is built.
        QXRUZIzevudara::registerExporterFactory(
            [](const std::string& type,
               const std::shared_ptr<QXPDFOptions>& options) -> std::unique_ptr<QXPDFExporter> {
                if (type == "docx") {
                    // The DOCX layout reads the file's options from the
                    // shared manager.
                    QXDocxManager::sharedInstance().setMoreOptions(options ? *options : QXPDFOptions());
                    return std::make_unique<QXDocxPDFExporter>();
                }
                if (type == "xlsx" || type == "csv") {
                    // The sheet code reads the file's options from the
                    // shared manager.
                    QXExcelManager::sharedInstance().setOptions(options ? options->excelOptions()
                                                                        : QXExcelOptions());
                    return std::make_unique<QXExcelPDFExporter>();
                }
                if (type == "pptx")
                    return std::make_unique<QXPPTXPDFExporter>();
                if (type == "txt")
                    return std::make_unique<QXTextPDFExporter>();
                if (type == "html")
                    return std::make_unique<QXHTMLPDFExporter>();
                if (type == "rtf")
                    return std::make_unique<QXRTFPDFExporter>();
                return nullptr;
            });
    });
}

} // namespace rz
