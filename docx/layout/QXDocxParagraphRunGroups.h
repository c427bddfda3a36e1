// Turns the text runs of a paragraph's lines into the groups of runs it
// writes, one group per line, and assembles the paragraph's text: how the
// gap between two neighbouring runs is written (joined, shared as spacing,
// a tab, a blank) is decided by QXDocxParagraphLayout::classifyRunGap.
#pragma once

#include "docx/layout/QXDocxParagraph.h"
#include "docx/layout/QXDocxRunText.h"

#include <functional>
#include <string>
#include <vector>

namespace rz {

struct QXDocxParagraphRunGroupsResult {
    std::vector<QXDocxRunGroup> groups;  // one per line with runs
    std::string paragraphText;           // the lines' texts joined
};

class QXDocxParagraphRunGroups {
public:
    // Joins runs, left to right, into one run spanning them.
    using MergeRuns = std::function<QXDocxRunTextPtr(const QXDocxRunTextArray&)>;

    // `lineRuns` holds each line's runs left to right; a blank split off a
    // run is inserted there too, and two merged runs are replaced there by
    // the merged one. Every run's outside spacing starts at 0.
    static QXDocxParagraphRunGroupsResult build(std::vector<QXDocxRunTextArray>& lineRuns, const MergeRuns& merge);

    // The union of the frames of the lines' text runs that have a width;
    // the zero rectangle when none has.
    static Rect contentFrame(const std::vector<QXDocxRunTextArray>& lineRuns);
};

} // namespace rz
