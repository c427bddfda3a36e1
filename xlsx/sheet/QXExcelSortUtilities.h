// Operations on lists of text runs that build the sheet grid: stable sorts,
// the band sweeps that group runs whose extents overlap, the groups of runs
// to merge and their merging, and a few list queries. Each returns a new
// list and leaves its input alone, except the merges, which change the
// group's first run in place.
#pragma once

#include "xlsx/sheet/QXExcelRunText.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace rz {

using QXExcelRunTexts = std::vector<std::shared_ptr<QXExcelRunText>>;

class QXExcelSortUtilities {
public:
    // Ascending xLeft / yTop; equal keys keep their order.
    static QXExcelRunTexts SortRunTextsByX(const QXExcelRunTexts& runs);
    static QXExcelRunTexts SortRunTextsByY(const QXExcelRunTexts& runs);

    // The band of the first run of a list sorted by yTop: it reaches down to
    // the lowest baseline of its members, and every later run starting
    // strictly above that reach joins it.
    static QXExcelRunTexts FindRunTextsCrossedInHeight(const QXExcelRunTexts& runs);
    // The same across, for a list sorted by xLeft: left edges against the
    // members' furthest right edge.
    static QXExcelRunTexts FindRunTextsCrossedInWidth(const QXExcelRunTexts& runs);

    // The runs to merge with the first run of a row band sorted by xLeft: on
    // its baseline, with its size and colour, each starting within the gap
    // the overlap option allows after the group's right edge.
    static QXExcelRunTexts FindRunTextsMergedInWidth(const QXExcelRunTexts& runs, int32_t option);
    // The runs to merge with the first run of a column band sorted by yTop:
    // overlapping it across, with its size and colour, each starting close
    // below the group's bottom.
    static QXExcelRunTexts FindRunTextsMergedInHeight(const QXExcelRunTexts& runs);
    // The groups that finding the first run's group, taking it out and
    // starting again until no run is left gives, in order.
    static std::vector<QXExcelRunTexts> GroupRunTextsMergedInWidth(const QXExcelRunTexts& runs, int32_t option);
    static std::vector<QXExcelRunTexts> GroupRunTextsMergedInHeight(const QXExcelRunTexts& runs);

    // The first run of the group, changed into the merge of all of them:
    // the texts joined (across: with nothing between; down: with a space,
    // or nothing when the text so far holds a CJK ideograph), the box the
    // union of the boxes, the width that of the box.
    static std::shared_ptr<QXExcelRunText> MergeRunTextsInWidth(const QXExcelRunTexts& runs);
    static std::shared_ptr<QXExcelRunText> MergeRunTextsInHeight(const QXExcelRunTexts& runs);

    // Whether some character of the text lies in U+4E01..U+9FFE.
    static bool HaveNoneEnglishString(std::string_view text);

    // The runs with the first run's column / row index, in list order.
    static QXExcelRunTexts FindRunTextsInSameColumnIndex(const QXExcelRunTexts& runs);
    static QXExcelRunTexts FindRunTextsInSameRowIndex(const QXExcelRunTexts& runs);

    // Extremes over a non-empty list (0 for an empty one).
    static double GetMinxRightInRunTexts(const QXExcelRunTexts& runs);
    static double GetMinxLeftInRunTexts(const QXExcelRunTexts& runs);
    static double GetMaxxLeftInRunTexts(const QXExcelRunTexts& runs);
    static double GetMinxTopInRunTexts(const QXExcelRunTexts& runs);

    // `runs` without the runs of `removed` (compared as objects).
    static QXExcelRunTexts RemoveRunTexts(const QXExcelRunTexts& runs, const QXExcelRunTexts& removed);
    // The list split into groups of equal index (column or row), in order
    // of first appearance.
    static std::vector<QXExcelRunTexts> SplitByColumnIndex(const QXExcelRunTexts& runs);
    static std::vector<QXExcelRunTexts> SplitByRowIndex(const QXExcelRunTexts& runs);
};

} // namespace rz
