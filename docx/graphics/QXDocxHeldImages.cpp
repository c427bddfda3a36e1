#include "docx/graphics/QXDocxHeldImages.h"

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"

#include <map>
#include <mutex>
#include <utility>

namespace rz {

namespace {

struct HeldImage {
    const void* owner = nullptr;
    Image image;
};

struct Store {
    std::mutex mutex;
    std::map<std::string, HeldImage> images;
    std::map<const void*, std::size_t> bytes;
};

Store& store()
{
    static Store* shared = new Store();
    return *shared;
}

std::size_t byteSize(const Image& image)
{
    return image.bytesPerRow() * static_cast<std::size_t>(image.height());
}

bool writeFile(const Image& image, const std::string& path)
{
    return QXWriteImageToURL(image, path, "public.png", 72, 72, 1.0f);
}

} // namespace

std::optional<std::string> QXDocxHeldImages::hold(const void* owner, const Image& image)
{
    if (image.isEmpty())
        return std::nullopt;
    QXPDFPathUtilities::createFolderIfNeed(QXPDFPathUtilities::homeTmpFolder());
    const std::string path = QXPDFPathUtilities::getUUIDPathBy(QXPDFPathUtilities::tempIMG("SaveCGImage", "PNG"));
    // The file would hold RGB for ink amounts: so does the held picture.
    const Image held = image.format() == PixelFormat::CMYK8 ? image.converted(PixelFormat::RGB8) : image;
    if (held.isEmpty())
        return std::nullopt;
    const std::size_t size = byteSize(held);
    if (owner != nullptr) {
        Store& s = store();
        std::lock_guard<std::mutex> lock(s.mutex);
        std::size_t& used = s.bytes[owner];
        if (size <= kMaxHeldBytes - used) {
            used += size;
            s.images[path] = HeldImage{owner, held};
            return path;
        }
    }
    if (!writeFile(held, path))
        return std::nullopt;
    return path;
}

std::optional<Image> QXDocxHeldImages::read(const std::string& path)
{
    {
        Store& s = store();
        std::lock_guard<std::mutex> lock(s.mutex);
        if (const auto found = s.images.find(path); found != s.images.end())
            return found->second.image;
    }
    return QXPDFUtilities::CGImageWithContentsOfFile(path);
}

bool QXDocxHeldImages::writeOut(const std::string& path)
{
    HeldImage held;
    {
        Store& s = store();
        std::lock_guard<std::mutex> lock(s.mutex);
        const auto found = s.images.find(path);
        if (found == s.images.end())
            return true;
        held = std::move(found->second);
        s.images.erase(found);
        s.bytes[held.owner] -= byteSize(held.image);
    }
    return writeFile(held.image, path);
}

std::vector<std::string> QXDocxHeldImages::release(const void* owner,
                                                   const std::function<bool(const std::string&)>& keep)
{
    std::vector<std::pair<std::string, Image>> taken;
    {
        Store& s = store();
        std::lock_guard<std::mutex> lock(s.mutex);
        for (auto it = s.images.begin(); it != s.images.end();) {
            if (it->second.owner != owner) {
                ++it;
                continue;
            }
            taken.emplace_back(it->first, std::move(it->second.image));
            it = s.images.erase(it);
        }
        s.bytes.erase(owner);
    }
    std::vector<std::string> failed;
    for (const auto& [path, image] : taken) {
        if (keep && keep(path) && !writeFile(image, path))
            failed.push_back(path);
    }
    return failed;
}

bool QXDocxHeldImages::isHeld(const std::string& path)
{
    Store& s = store();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.images.count(path) != 0;
}

} // namespace rz
