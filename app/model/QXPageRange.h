// The pages an item converts, from its page-range choice and text.
#pragma once

#include <QString>

#include <vector>

namespace rz::app {

// Page-range choices of an item.
enum QXPageRangeType : int { QXPageRangeAll = 0, QXPageRangeCustom = 1 };

// One-based page numbers of a document of `pageCount` pages, in the order
// the text gives them ("1,3,5-7", "7-5" downwards, "5-" down to 1, "-3" up
// from 1); numbers outside the document are dropped, a piece with two
// dashes is ignored, and a number repeated is converted twice. A custom
// range with an empty text means page 1; "All Pages", in English or in the
// language shown (`allPagesText`), means every page. Numbers are read with
// saturation and each range is cut to the document before it is walked, so
// a huge number costs nothing.
std::vector<long long> QXPageIndexsForRange(int rangeType, const QString& rangeText, long long pageCount,
                                            const QString& allPagesText);

} // namespace rz::app
