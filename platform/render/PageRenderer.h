// Draws PDF pages into bitmaps (poppler's page renderer, in a module loaded
// when the first document is opened).
#pragma once

#include "platform/image/Image.h"

#include <memory>
#include <optional>
#include <string>

namespace rz {

class PageRenderer {
public:
    // Nothing when the file cannot be opened or the password does not open it.
    static std::unique_ptr<PageRenderer> open(const std::string& path, const std::string& password = {});
    ~PageRenderer();

    int pageCount() const;
    // Page `number` (1-based), cropped to its crop box and turned by its
    // rotation, at the resolution, into an opaque RGB image of exactly
    // `width` by `height` pixels on white. Nothing for a bad page or size.
    std::optional<Image> render(int number, double dpiX, double dpiY, int width, int height) const;

private:
    PageRenderer();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace rz
