#include "xlsx/sheet/QXMergedCell.h"

#include "xlsx/sheet/QXExcelUtilities.h"

#include <algorithm>

namespace rz {

std::string QXMergedCell::mergerCellInfo() const
{
    return QXExcelUtilities::cellReference(static_cast<long>(start_.c), start_.r) + ":" +
           QXExcelUtilities::cellReference(static_cast<long>(end_.c), end_.r);
}

bool QXMergedCell::contains(size_t row, size_t column) const
{
    return row >= std::min(start_.r, end_.r) && row <= std::max(start_.r, end_.r) &&
           column >= std::min(start_.c, end_.c) && column <= std::max(start_.c, end_.c);
}

bool QXMergedCell::isCross(const QXMergedCell& other) const
{
    const size_t top = std::max(std::min(start_.r, end_.r), std::min(other.start_.r, other.end_.r));
    const size_t bottom = std::min(std::max(start_.r, end_.r), std::max(other.start_.r, other.end_.r));
    const size_t left = std::max(std::min(start_.c, end_.c), std::min(other.start_.c, other.end_.c));
    const size_t right = std::min(std::max(start_.c, end_.c), std::max(other.start_.c, other.end_.c));
    return top <= bottom && left <= right;
}

std::vector<QXMergedCell> QXMergedCell::soundMerges(const std::vector<QXMergedCell>& merges,
                                                   const std::vector<QXPoint>& textCells)
{
    std::vector<QXMergedCell> kept;
    for (const QXMergedCell& merge : merges) {
        if (merge.start_ == merge.end_)
            continue;
        const QXPoint topLeft{std::min(merge.start_.r, merge.end_.r), std::min(merge.start_.c, merge.end_.c)};
        bool sound = std::none_of(kept.begin(), kept.end(),
                                  [&](const QXMergedCell& other) { return merge.isCross(other); });
        for (size_t i = 0; sound && i < textCells.size(); ++i) {
            const QXPoint& cell = textCells[i];
            if (!(cell == topLeft) && merge.contains(cell.r, cell.c))
                sound = false;
        }
        if (sound)
            kept.push_back(merge);
    }
    return kept;
}

} // namespace rz
