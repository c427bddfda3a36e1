// The fixed parts of every DOCX package, kept as text in the program: the
// styles (document defaults and the styles the page writer refers to), a
// minimal DrawingML theme and the web settings. Each is a complete UTF-8
// XML document, written unchanged into the package.
#pragma once

#include <string_view>

namespace rz::QXDocxPackageTemplates {

// word/styles.xml: docDefaults, Normal, DefaultParagraphFont, TableNormal,
// NoList and TableGrid.
std::string_view styles();
// word/theme/theme1.xml: one colour, font and format scheme.
std::string_view theme1();
// word/webSettings.xml.
std::string_view webSettings();

} // namespace rz::QXDocxPackageTemplates
