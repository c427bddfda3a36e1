#include "platform/render/PageRenderer.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <cmath>
#include <mutex>

namespace rz {

namespace {

void silence(const std::string&, void*) {}

void silencePoppler()
{
    static std::once_flag once;
    std::call_once(once, [] { poppler::set_debug_error_function(&silence, nullptr); });
}

} // namespace

struct PageRenderer::Impl {
    std::unique_ptr<poppler::document> document;
};

PageRenderer::PageRenderer() : impl_(std::make_unique<Impl>()) {}
PageRenderer::~PageRenderer() = default;

std::unique_ptr<PageRenderer> PageRenderer::open(const std::string& path, const std::string& password)
{
    silencePoppler();
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path, password, password));
    if (!doc || doc->is_locked())
        return nullptr;
    std::unique_ptr<PageRenderer> renderer(new PageRenderer());
    renderer->impl_->document = std::move(doc);
    return renderer;
}

int PageRenderer::pageCount() const
{
    return impl_->document->pages();
}

std::optional<Image> PageRenderer::render(int number, double dpiX, double dpiY, int width, int height) const
{
    if (number < 1 || number > pageCount() || width <= 0 || height <= 0 || !std::isfinite(dpiX) ||
        !std::isfinite(dpiY) || dpiX <= 0 || dpiY <= 0)
        return std::nullopt;
    if (double(width) * double(height) > double(kMaxImagePixels))
        return std::nullopt;
    std::unique_ptr<poppler::page> page(impl_->document->create_page(number - 1));
    if (!page)
        return std::nullopt;
    poppler::page_renderer renderer;
    renderer.set_render_hints(poppler::page_renderer::antialiasing | poppler::page_renderer::text_antialiasing);
    renderer.set_paper_color(0xFFFFFFFF);
    renderer.set_image_format(poppler::image::format_bgr24);
    poppler::image img = renderer.render_page(page.get(), dpiX, dpiY, 0, 0, width, height);
    if (!img.is_valid() || img.width() != width || img.height() != height ||
        img.format() != poppler::image::format_bgr24)
        return std::nullopt;
    auto out = Image::make(width, height, PixelFormat::RGB8);
    if (!out)
        return std::nullopt;
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const uint8_t*>(img.const_data()) + size_t(y) * size_t(img.bytes_per_row());
        uint8_t* dst = out->mutableRow(y);
        for (int x = 0; x < width; ++x) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            src += 3;
            dst += 3;
        }
    }
    return out;
}

} // namespace rz
