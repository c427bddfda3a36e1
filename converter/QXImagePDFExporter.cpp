#include "converter/QXImagePDFExporter.h"

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "platform/core/Numbers.h"
#include "platform/text/Ascii.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace rz {

namespace {

// The image writer's type for a lower-cased type key.
std::string writerType(const std::string& type)
{
    if (type == "jpeg" || type == "jpg")
        return "public.jpeg";
    if (type == "png")
        return "public.png";
    if (type == "bmp")
        return "com.microsoft.bmp";
    if (type == "tiff")
        return "public.tiff";
    if (type == "gif")
        return "com.compuserve.gif";
    if (type == "jp2")
        return "public.jpeg-2000";
    if (type == "tga")
        return "com.truevision.tga-image";
    return "public.jpeg";
}

} // namespace

bool QXImagePDFExporter::supportType(const std::string& type)
{
    static const char* const kTypes[] = {"jpg", "jpeg", "png", "bmp", "gif", "tiff", "tga", "jp2"};
    const std::string t = asciiLower(type);
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* k) { return t == k; });
}

std::optional<Image> QXImagePDFExporter::CapturePDFPage(const PageRenderer& renderer, const pdf::Page& page,
                                                        Size dpi)
{
    const Rect crop = page.boxRect(pdf::Box::Crop);
    if (crop.isNull() || crop.isEmpty())
        return std::nullopt;
    const double angle = page.rotationAngle() * M_PI / 180.0;
    const Rect rotated = crop.applying(Affine::makeRotation(angle));
    const double w = std::trunc(rotated.width() * dpi.width / 72.0);
    const double h = std::trunc(rotated.height() * dpi.height / 72.0);
    if (!(w >= 1 && h >= 1 && w <= 1e9 && h <= 1e9))
        return std::nullopt;
    return renderer.render(page.pageNumber(), dpi.width, dpi.height, int(w), int(h));
}

std::string QXImagePDFExporter::pageImageName(const std::string& imageName, uint64_t pageIndex,
                                              const std::string& type)
{
    std::string name = imageName + "_" + formatZeroPadded(pageIndex + 1, 5) + "." + asciiLower(type);
    name.erase(std::remove_if(name.begin(), name.end(),
                              [](char c) { return std::string_view("/\\?%*|\"<>").find(c) != std::string_view::npos; }),
               name.end());
    return name;
}

void QXImagePDFExporter::begainConvertPDF(const std::string&, const std::shared_ptr<pdf::Document>& document)
{
    isShouldCancel_ = false;
    writtenFiles_.clear();
    madeFolder_ = false;
    renderer_ = document ? PageRenderer::open(document->path(), document->password()) : nullptr;
}

bool QXImagePDFExporter::convertPDFPage(const pdf::Page& page)
{
    // A page that cannot be rendered or written fails, so that it is never
    // reported as converted without its file.
    if (!renderer_)
        return false;
    const QXImageOptions& options = moreOptions_ ? moreOptions_->imageOptions() : QXImageOptions();
    const double dpi = double(options.dpi());
    const std::optional<Image> image = CapturePDFPage(*renderer_, page, Size{dpi, dpi});
    if (!image)
        return false;
    const std::string name = pageImageName(options.imageName(), pageIndex_, destDocType_);
    std::error_code ec;
    const bool folderWasThere = std::filesystem::is_directory(destDocPath_, ec);
    if (!QXPDFPathUtilities::createFolderIfNeed(destDocPath_))
        return false;
    madeFolder_ = madeFolder_ || !folderWasThere;
    const std::string path =
        QXPDFPathUtilities::getNewPathby((std::filesystem::path(destDocPath_) / name).string());
    if (!QXWriteImageToURL(image, path, writerType(asciiLower(destDocType_)), dpi, dpi, float(options.quality())))
        return false;
    writtenFiles_.push_back(path);
    return true;
}

void QXImagePDFExporter::endConvertPDF(const std::shared_ptr<pdf::Document>&)
{
    renderer_.reset();
    writtenFiles_.clear();
    madeFolder_ = false;
}

void QXImagePDFExporter::cleanConvertPDF()
{
    renderer_.reset();
    std::error_code ec;
    for (const std::string& file : writtenFiles_)
        std::filesystem::remove(file, ec);
    writtenFiles_.clear();
    // Only when empty: files that were there before stay.
    if (madeFolder_ && !destDocPath_.empty())
        std::filesystem::remove(destDocPath_, ec);
    madeFolder_ = false;
}

} // namespace rz
