// The DrawingML theme part the spreadsheet and presentation packages hold,
// kept as text in the program: one colour scheme, font scheme (Arial) and
// format scheme, named as the caller asks (a plain name, written as it is).
#pragma once

#include <string>
#include <string_view>

namespace rz::QXDrawingTheme {

// The complete UTF-8 XML document, its theme and schemes named `name`.
std::string theme1(std::string_view name);

} // namespace rz::QXDrawingTheme
