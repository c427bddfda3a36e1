// JBIG2Decode through jbig2dec: the embedded stream (and its global
// segments) decoded into one page bitmap.
#include "platform/pdf/StreamFilters.h"

extern "C" {
#include <jbig2.h>
}

#include <cstdint>
#include <cstdlib>

namespace rz::pdf {

namespace {

// An allocator that refuses single blocks beyond the decode limit, so a
// page header claiming a huge bitmap fails instead of exhausting memory.
struct LimitedAllocator {
    Jbig2Allocator base;
    size_t limit;
};

void* limitedAlloc(Jbig2Allocator* a, size_t size)
{
    if (size > reinterpret_cast<LimitedAllocator*>(a)->limit)
        return nullptr;
    return std::malloc(size);
}

void limitedFree(Jbig2Allocator*, void* p)
{
    std::free(p);
}

void* limitedRealloc(Jbig2Allocator* a, void* p, size_t size)
{
    if (size > reinterpret_cast<LimitedAllocator*>(a)->limit)
        return nullptr;
    return std::realloc(p, size);
}

struct ErrorState {
    bool fatal = false;
};

void onError(void* data, const char*, Jbig2Severity severity, uint32_t)
{
    if (severity == JBIG2_SEVERITY_FATAL)
        static_cast<ErrorState*>(data)->fatal = true;
}

} // namespace

FilterResult jbig2Decode(std::string_view in, std::string_view globals, size_t limit)
{
    FilterResult r;
    LimitedAllocator alloc{{limitedAlloc, limitedFree, limitedRealloc}, limit + 4096};
    ErrorState errors;

    Jbig2GlobalCtx* globalCtx = nullptr;
    if (!globals.empty()) {
        Jbig2Ctx* g = jbig2_ctx_new(&alloc.base, JBIG2_OPTIONS_EMBEDDED, nullptr, onError, &errors);
        if (!g) {
            r.complete = false;
            return r;
        }
        jbig2_data_in(g, reinterpret_cast<const unsigned char*>(globals.data()), globals.size());
        globalCtx = jbig2_make_global_ctx(g);
    }

    Jbig2Ctx* ctx = jbig2_ctx_new(&alloc.base, JBIG2_OPTIONS_EMBEDDED, globalCtx, onError, &errors);
    if (!ctx) {
        if (globalCtx)
            jbig2_global_ctx_free(globalCtx);
        r.complete = false;
        return r;
    }
    if (jbig2_data_in(ctx, reinterpret_cast<const unsigned char*>(in.data()), in.size()) < 0)
        errors.fatal = true;
    jbig2_complete_page(ctx);
    Jbig2Image* page = jbig2_page_out(ctx);
    if (page) {
        const size_t rowBytes = (size_t(page->width) + 7) / 8;
        const size_t height = page->height;
        if (rowBytes > page->stride || (rowBytes && height > limit / rowBytes)) {
            errors.fatal = true;
        } else {
            r.bytes.reserve(rowBytes * height);
            for (size_t y = 0; y < height; ++y) {
                const unsigned char* row = page->data + y * page->stride;
                // JBIG2 marks black with 1; PDF image samples use 0 for black.
                for (size_t i = 0; i < rowBytes; ++i)
                    r.bytes.push_back(static_cast<char>(~row[i]));
            }
        }
        jbig2_release_page(ctx, page);
    } else {
        errors.fatal = true;
    }
    jbig2_ctx_free(ctx);
    if (globalCtx)
        jbig2_global_ctx_free(globalCtx);
    r.complete = !errors.fatal;
    return r;
}

} // namespace rz::pdf
