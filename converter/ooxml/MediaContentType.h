// The content type of a media file packaged in an Office Open XML
// document, read from the file's first bytes, so that a part is declared as
// what it holds whatever its name says.
#pragma once

#include <string>
#include <string_view>

namespace rz {

// The MIME type the leading bytes of an image file announce ("image/png",
// "image/jpeg", "image/gif", "image/bmp", "image/tiff", "image/jp2",
// "image/x-emf", "image/x-wmf", "image/svg+xml"); empty when they announce
// none of these.
std::string mediaContentTypeOfBytes(std::string_view head);

// The type of the file at `path` from its bytes; when they say nothing (or
// the file cannot be read), the type its extension (lower case, without the
// dot) stands for, and "application/octet-stream" for an unknown one.
std::string mediaContentTypeOfFile(const std::string& path, std::string_view extension);

} // namespace rz
