#include "converter/QXSourceFileItem.h"

#include "pdfengine/base/QXPDFPathUtilities.h"

#include <filesystem>

namespace rz {

std::string QXSourceFileItem::newOutputPath()
{
    namespace fs = std::filesystem;
    fs::path folder = outputFolder_;
    if (folder.empty())
        folder = fs::path(sourcePath_).parent_path();
    const std::string name = fs::path(sourcePath_).stem().string() + "." + outputFileFormat();
    outputPath_ = QXPDFPathUtilities::getNewPathby((folder / name).string());
    return outputPath_;
}

} // namespace rz
