// Pages drawn by poppler, behind the C interface of RenderModule.h.
#include "platform/render/RenderModule.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#define RZ_EXPORT extern "C" __attribute__((visibility("default")))

struct RzRenderDocument {
    std::unique_ptr<poppler::document> document;
};

namespace {

void silence(const std::string&, void*) {}

// AES-256 files read only the first 127 bytes of a password, and poppler's
// hash of a longer one runs past its fixed buffers on the stack; the older
// handlers read only the first 32, so no file needs more.
constexpr size_t kMaxPasswordBytes = 127;

} // namespace

RZ_EXPORT RzRenderDocument* rz_render_open(const char* path, const char* password, size_t passwordLength)
{
    try {
        static std::once_flag once;
        std::call_once(once, [] { poppler::set_debug_error_function(&silence, nullptr); });
        const std::string pass(password ? password : "",
                               password ? std::min(passwordLength, kMaxPasswordBytes) : 0);
        std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path, pass, pass));
        if (!doc || doc->is_locked())
            return nullptr;
        auto* result = new RzRenderDocument;
        result->document = std::move(doc);
        return result;
    } catch (...) {
        return nullptr;
    }
}

RZ_EXPORT void rz_render_close(RzRenderDocument* document)
{
    delete document;
}

RZ_EXPORT int rz_render_page_count(const RzRenderDocument* document)
{
    return document ? document->document->pages() : 0;
}

RZ_EXPORT int rz_render_page(const RzRenderDocument* document, int index, double dpiX, double dpiY, int width,
                             int height, RzRenderTargetFn target, void* context)
{
    try {
        if (!document || !target || index < 0 || index >= document->document->pages() || width <= 0 ||
            height <= 0)
            return 0;
        std::unique_ptr<poppler::page> page(document->document->create_page(index));
        if (!page)
            return 0;
        poppler::page_renderer renderer;
        renderer.set_render_hints(poppler::page_renderer::antialiasing | poppler::page_renderer::text_antialiasing);
        renderer.set_paper_color(0xFFFFFFFF);
        renderer.set_image_format(poppler::image::format_bgr24);
        poppler::image img = renderer.render_page(page.get(), dpiX, dpiY, 0, 0, width, height);
        if (!img.is_valid() || img.width() != width || img.height() != height ||
            img.format() != poppler::image::format_bgr24)
            return 0;
        size_t rowBytes = 0;
        unsigned char* rgb = target(context, &rowBytes);
        if (!rgb || rowBytes < size_t(width) * 3)
            return 0;
        for (int y = 0; y < height; ++y) {
            const auto* src =
                reinterpret_cast<const uint8_t*>(img.const_data()) + size_t(y) * size_t(img.bytes_per_row());
            unsigned char* dst = rgb + size_t(y) * rowBytes;
            for (int x = 0; x < width; ++x) {
                dst[0] = src[2];
                dst[1] = src[1];
                dst[2] = src[0];
                src += 3;
                dst += 3;
            }
        }
        return 1;
    } catch (...) {
        return 0;
    }
}
