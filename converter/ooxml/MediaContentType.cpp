#include "converter/ooxml/MediaContentType.h"

#include <fstream>
#include <utility>

namespace rz {

namespace {

bool startsWith(std::string_view head, std::string_view magic)
{
    return head.substr(0, magic.size()) == magic;
}

std::string typeOfExtension(std::string_view extension)
{
    static const std::pair<const char*, const char*> kTypes[] = {
        {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"}, {"png", "image/png"},     {"gif", "image/gif"},
        {"bmp", "image/bmp"},  {"tif", "image/tiff"},  {"tiff", "image/tiff"},   {"jp2", "image/jp2"},
        {"emf", "image/x-emf"}, {"wmf", "image/x-wmf"}, {"svg", "image/svg+xml"},
    };
    for (const auto& [ext, type] : kTypes)
        if (extension == ext)
            return type;
    return "application/octet-stream";
}

} // namespace

std::string mediaContentTypeOfBytes(std::string_view head)
{
    using namespace std::string_view_literals;
    if (startsWith(head, "\x89PNG\r\n\x1a\n"sv))
        return "image/png";
    if (startsWith(head, "\xff\xd8\xff"sv))
        return "image/jpeg";
    if (startsWith(head, "GIF87a"sv) || startsWith(head, "GIF89a"sv))
        return "image/gif";
    if (startsWith(head, "BM"sv) && head.size() >= 14)
        return "image/bmp";
    if (startsWith(head, "II*\0"sv) || startsWith(head, "MM\0*"sv))
        return "image/tiff";
    // The JPEG 2000 file signature box, or a bare codestream.
    if (startsWith(head, "\0\0\0\x0cjP  \r\n\x87\n"sv) || startsWith(head, "\xff\x4f\xff\x51"sv))
        return "image/jp2";
    if (head.size() >= 44 && startsWith(head, "\x01\0\0\0"sv) && head.substr(40, 4) == " EMF"sv)
        return "image/x-emf";
    if (startsWith(head, "\xd7\xcd\xc6\x9a"sv))
        return "image/x-wmf";
    std::string_view text = head;
    if (startsWith(text, "\xef\xbb\xbf"sv))
        text.remove_prefix(3);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    if (startsWith(text, "<svg"sv) || (startsWith(text, "<?xml"sv) && head.find("<svg") != std::string_view::npos))
        return "image/svg+xml";
    return {};
}

std::string mediaContentTypeOfFile(const std::string& path, std::string_view extension)
{
    std::ifstream in(path, std::ios::binary);
    char buffer[512];
    in.read(buffer, sizeof buffer);
    const std::string type = mediaContentTypeOfBytes(std::string_view(buffer, static_cast<std::size_t>(in.gcount())));
    return type.empty() ? typeOfExtension(extension) : type;
}

} // namespace rz
