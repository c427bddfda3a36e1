// The fixed parts every presentation package holds, the project's own
// (written from ECMA-376 Part 1): eleven slide layouts with empty shape
// trees, each referring to the master by rId1; the slide master, referring
// to the layouts by rId1 ... rId11 (and to the theme by rId12 through its
// relationship part); a small white thumbnail.
#pragma once

#include <string>
#include <string_view>

namespace rz::QXPPTXTemplates {

inline constexpr int kLayoutCount = 11;

std::string_view thumbnailJPEG();
std::string slideMaster1();
// Layout n (1 ... 11), with an empty shape tree; slides use layout 1.
std::string slideLayout(int n);

} // namespace rz::QXPPTXTemplates
