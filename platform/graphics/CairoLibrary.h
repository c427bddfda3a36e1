// cairo's functions, taken from the library when the first bitmap context is
// made rather than linked: programs that never draw (text and document
// conversions) start without cairo and the libraries it pulls in.
#pragma once

#include <cairo.h>

namespace rz {

// The cairo functions the bitmap context calls, without their prefix.
#define RZ_CAIRO_FUNCTIONS(X) \
    X(clip) \
    X(clip_extents) \
    X(close_path) \
    X(create) \
    X(curve_to) \
    X(destroy) \
    X(fill) \
    X(get_current_point) \
    X(get_matrix) \
    X(has_current_point) \
    X(identity_matrix) \
    X(image_surface_create) \
    X(image_surface_get_data) \
    X(image_surface_get_stride) \
    X(line_to) \
    X(matrix_init) \
    X(move_to) \
    X(new_path) \
    X(paint) \
    X(paint_with_alpha) \
    X(pattern_add_color_stop_rgba) \
    X(pattern_create_for_surface) \
    X(pattern_create_linear) \
    X(pattern_destroy) \
    X(pattern_set_extend) \
    X(pattern_set_filter) \
    X(pattern_set_matrix) \
    X(rectangle) \
    X(restore) \
    X(save) \
    X(set_antialias) \
    X(set_fill_rule) \
    X(set_line_cap) \
    X(set_line_join) \
    X(set_line_width) \
    X(set_matrix) \
    X(set_miter_limit) \
    X(set_operator) \
    X(set_source) \
    X(set_source_rgb) \
    X(set_source_rgba) \
    X(status) \
    X(stroke) \
    X(surface_destroy) \
    X(surface_flush) \
    X(surface_mark_dirty) \
    X(surface_status)

struct CairoLibrary {
#define RZ_CAIRO_MEMBER(name) decltype(&::cairo_##name) name = nullptr;
    RZ_CAIRO_FUNCTIONS(RZ_CAIRO_MEMBER)
#undef RZ_CAIRO_MEMBER
    // False when the library or one of the functions could not be loaded:
    // then no context can be made.
    bool loaded = false;
};

// The library, loaded on the first call and kept for the life of the process.
const CairoLibrary& cairoLibrary();

} // namespace rz
