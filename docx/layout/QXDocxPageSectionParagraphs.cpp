// Section lines to paragraphs (the columns are kept; paragraphs are built
// from them by a later change).
#include "docx/layout/QXDocxPageSection.h"

namespace rz {

void QXDocxPageSection::setColumGroupArray(const std::vector<QXDocxRunTextLineArray>& columns)
{
    columGroupArray_ = columns;
}

void QXDocxPageSection::optimizeParagraphs() {}

} // namespace rz
