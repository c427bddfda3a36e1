// HarfBuzz's functions, taken from the library the first time text is
// shaped rather than linked: reading and converting text needs no shaping,
// and HarfBuzz pulls in GLib and Graphite.
#pragma once

#include <hb-ft.h>
#include <hb.h>

namespace rz {

// The HarfBuzz functions the project calls, without their prefix.
#define RZ_HARFBUZZ_FUNCTIONS(X) \
    X(buffer_add_utf8) \
    X(buffer_create) \
    X(buffer_destroy) \
    X(buffer_get_glyph_infos) \
    X(buffer_get_glyph_positions) \
    X(buffer_guess_segment_properties) \
    X(font_destroy) \
    X(ft_font_create) \
    X(ft_font_create_referenced) \
    X(ft_font_set_load_flags) \
    X(shape)

struct HarfBuzzLibrary {
#define RZ_HARFBUZZ_MEMBER(name) decltype(&::hb_##name) name = nullptr;
    RZ_HARFBUZZ_FUNCTIONS(RZ_HARFBUZZ_MEMBER)
#undef RZ_HARFBUZZ_MEMBER
    // False when the library or one of the functions could not be loaded:
    // then nothing is shaped.
    bool loaded = false;
};

// The library, loaded on the first call and kept for the life of the process.
const HarfBuzzLibrary& harfBuzzLibrary();

} // namespace rz
