// Paragraph spacing of a section (fitted by a later change).
#include "docx/layout/QXDocxPageSection.h"

namespace rz {

void QXDocxPageSection::optimizeParagraphs() {}

} // namespace rz
