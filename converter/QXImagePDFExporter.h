// The page-image exporter: each requested page becomes one image file.
#pragma once

#include "converter/QXPDFExporter.h"
#include "platform/image/Image.h"
#include "platform/render/PageRenderer.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXImagePDFExporter : public QXPDFExporter {
public:
    // True for "jpg", "jpeg", "png", "bmp", "gif", "tiff", "tga", "jp2" in any case.
    static bool supportType(const std::string& type);

    // Renders the whole page: its crop box turned by its rotation, scaled by
    // dpi / 72 per axis, truncated to whole pixels, on opaque white.
    static std::optional<Image> CapturePDFPage(const PageRenderer& renderer, const pdf::Page& page, Size dpi);

    void begainConvertPDF(const std::string& destPath, const std::shared_ptr<pdf::Document>& document) override;
    // Writes "<imageName>_<pageIndex + 1, 5 digits>.<type>" into the output
    // folder; false when the page could not be rendered or written.
    bool convertPDFPage(const pdf::Page& page) override;
    void endConvertPDF(const std::shared_ptr<pdf::Document>& document) override;
    // Removes the images written so far, and the output folder when this
    // conversion made it and nothing else is in it.
    void cleanConvertPDF() override;

    // The file name of a page image, with the characters / \ ? % * | " < >
    // removed.
    static std::string pageImageName(const std::string& imageName, uint64_t pageIndex, const std::string& type);

private:
    std::unique_ptr<PageRenderer> renderer_;
    std::vector<std::string> writtenFiles_;
    bool madeFolder_ = false;
};

} // namespace rz
