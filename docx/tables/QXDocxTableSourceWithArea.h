// Hands an accepted table area of the detector to table construction: its
// crossing points become corners whose lines are the area's ruling lines
// in the model's line form (one form per line, so that lines compare by
// identity), and its nested areas become nested sources.
#pragma once

#include "docx/tables/QXDocxTableArea.h"
#include "docx/tables/QXDocxTableSource.h"

namespace rz {

// The source of `area`. Nested areas without grouped points (not
// validated) give sources without points: their tables make no cells and
// their texts go to the outer table. The page is the table manager's.
QXDocxTableSource QXDocxTableSourceWithArea(const QXDocxTableArea& area);

} // namespace rz
