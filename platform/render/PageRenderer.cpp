#include "platform/render/PageRenderer.h"

#include "platform/core/Resources.h"
#include "platform/core/SharedLibrary.h"
#include "platform/render/RenderModule.h"

#include <cmath>

namespace rz {

namespace {

// The drawing module's entry points, loaded once; all null when it cannot
// be loaded.
struct RenderModule {
    RzRenderOpenFn open = nullptr;
    RzRenderCloseFn close = nullptr;
    RzRenderPageCountFn pageCount = nullptr;
    RzRenderPageFn renderPage = nullptr;

    bool loaded() const { return open && close && pageCount && renderPage; }
};

RenderModule loadModule()
{
    // Beside the executable first, then where the build put it.
    for (const std::string& path :
         {(executableDir() / RZ_RENDER_MODULE_FILE).string(), std::string(RZ_RENDER_MODULE_BUILD_PATH)}) {
        const SharedLibrary library(path); // stays loaded for the life of the process
        if (!library.isOpen())
            continue;
        RenderModule m;
        library.load(m.open, RZ_RENDER_OPEN);
        library.load(m.close, RZ_RENDER_CLOSE);
        library.load(m.pageCount, RZ_RENDER_PAGE_COUNT);
        library.load(m.renderPage, RZ_RENDER_PAGE);
        if (m.loaded())
            return m;
    }
    return {};
}

const RenderModule& renderModule()
{
    static const RenderModule module = loadModule();
    return module;
}

} // namespace

struct PageRenderer::Impl {
    RzRenderDocument* document = nullptr;
    int pages = 0;

    ~Impl()
    {
        if (document)
            renderModule().close(document);
    }
};

PageRenderer::PageRenderer() : impl_(std::make_unique<Impl>()) {}
PageRenderer::~PageRenderer() = default;

std::unique_ptr<PageRenderer> PageRenderer::open(const std::string& path, const std::string& password)
{
    // Without the module no document opens, and every page fails.
    const RenderModule& module = renderModule();
    if (!module.loaded())
        return nullptr;
    RzRenderDocument* doc = module.open(path.c_str(), password.data(), password.size());
    if (!doc)
        return nullptr;
    std::unique_ptr<PageRenderer> renderer(new PageRenderer());
    renderer->impl_->document = doc;
    renderer->impl_->pages = module.pageCount(doc);
    return renderer;
}

int PageRenderer::pageCount() const
{
    return impl_->pages;
}

std::optional<Image> PageRenderer::render(int number, double dpiX, double dpiY, int width, int height) const
{
    if (number < 1 || number > pageCount() || width <= 0 || height <= 0 || !std::isfinite(dpiX) ||
        !std::isfinite(dpiY) || dpiX <= 0 || dpiY <= 0)
        return std::nullopt;
    if (double(width) * double(height) > double(kMaxImagePixels))
        return std::nullopt;
    struct Target {
        int width, height;
        std::optional<Image> image;
    } target{width, height, std::nullopt};
    const RzRenderTargetFn allocate = [](void* context, size_t* rowBytes) -> unsigned char* {
        auto* t = static_cast<Target*>(context);
        t->image = Image::make(t->width, t->height, PixelFormat::RGB8);
        if (!t->image)
            return nullptr;
        *rowBytes = t->image->bytesPerRow();
        return t->image->mutableRow(0);
    };
    if (!renderModule().renderPage(impl_->document, number - 1, dpiX, dpiY, width, height, allocate, &target))
        return std::nullopt;
    return std::move(target.image);
}

} // namespace rz
