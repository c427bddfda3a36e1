// The C interface between PageRenderer and the module that draws pages
// (built from platform/render/poppler). Poppler and the many libraries it
// pulls in are loaded only when a page is first drawn, so that conversions
// that never draw one start without them. Nothing crosses this interface as
// a C++ object or exception.
#pragma once

#include <cstddef>

extern "C" {

struct RzRenderDocument;

// The document at `path` opened with the password (`passwordLength` bytes,
// of any length, tried as owner and user password; only the first 127 count,
// as with every standard security handler); null when it cannot be opened or
// stays locked.
typedef RzRenderDocument* (*RzRenderOpenFn)(const char* path, const char* password, size_t passwordLength);
typedef void (*RzRenderCloseFn)(RzRenderDocument* document);
typedef int (*RzRenderPageCountFn)(const RzRenderDocument* document);
// The buffer a drawn page is copied into: `height` rows of `width` RGB
// pixels, `*rowBytes` apart; null to give up. Asked for only once the page
// is drawn, so that it never coexists with the renderer's own bitmaps.
typedef unsigned char* (*RzRenderTargetFn)(void* context, size_t* rowBytes);
// Draws page `index` (0-based) at the resolution and copies it into the
// target's buffer. 1 on success, 0 otherwise.
typedef int (*RzRenderPageFn)(const RzRenderDocument* document, int index, double dpiX, double dpiY, int width,
                              int height, RzRenderTargetFn target, void* context);

} // extern "C"

// The module's file name and the names of its entry points.
#define RZ_RENDER_MODULE_FILE "rz_render_poppler.so"
#define RZ_RENDER_OPEN "rz_render_open"
#define RZ_RENDER_CLOSE "rz_render_close"
#define RZ_RENDER_PAGE_COUNT "rz_render_page_count"
#define RZ_RENDER_PAGE "rz_render_page"
