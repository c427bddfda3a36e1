// Internal helpers shared by the object layer's sources.
#pragma once

#include <qpdf/QPDF.hh>

#include <memory>
#include <string>

namespace rz::pdf {

// A QPDF that repairs damaged files and never prints: warnings are
// suppressed and its logger discards everything.
void configureQuietQpdf(QPDF& qpdf);

// An empty document whose only use is to own streams made by this layer
// (inline images assembled by the content scanner).
std::shared_ptr<QPDF> makeScratchQpdf();

} // namespace rz::pdf
