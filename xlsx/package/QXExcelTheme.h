// The theme part of every XLSX package (xl/theme/theme1.xml), kept as text
// in the program: one DrawingML colour scheme, font scheme and format
// scheme, written unchanged.
#pragma once

#include <string_view>

namespace rz::QXExcelTheme {

// The complete UTF-8 XML document.
std::string_view theme1();

} // namespace rz::QXExcelTheme
