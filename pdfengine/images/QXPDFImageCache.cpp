#include "pdfengine/images/QXPDFImageCache.h"

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/images/QXPDFImageExtraction.h"

#include <filesystem>

namespace rz {

QXPDFImageCache::QXPDFImageCache() : QXPDFImageCache(QXPDFPathUtilities::tempFolder()) {}

QXPDFImageCache::QXPDFImageCache(std::string folder) : folder_(std::move(folder)) {}

QXPDFImageCache::~QXPDFImageCache()
{
    if (folder_.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

std::optional<std::string> QXPDFImageCache::cachedImagePath(const pdf::Object& stream,
                                                            const pdf::Object& colorSpaces)
{
    if (!stream.isStream())
        return std::nullopt;
    const pdf::ObjectId id = stream.id();
    const bool keyed = id.number > 0;
    const std::tuple<const void*, int, int> key{stream.owner().get(), id.number, id.generation};
    std::lock_guard<std::mutex> lock(mutex_);
    if (keyed) {
        const auto it = files_.find(key);
        if (it != files_.end() && !it->second.owner.expired())
            return it->second.path;
    }
    std::optional<std::string> result;
    const std::string path = QXPDFImageExtraction::UUIDImagePathForStream(stream, folder_);
    if (QXPDFImageExtraction::extractPDFStream(stream, colorSpaces, path, kQXPDFImageJPEGQuality, false))
        result = path;
    if (keyed)
        files_[key] = Entry{stream.owner(), result};
    return result;
}

} // namespace rz
