#include "docx/layout/QXDocxParagraphRunGroups.h"

#include "docx/layout/QXDocxParagraphLayout.h"
#include "docx/layout/QXDocxRunTab.h"
#include "platform/text/Utf.h"

#include <algorithm>

namespace rz {

QXDocxParagraphRunGroupsResult QXDocxParagraphRunGroups::build(std::vector<QXDocxRunTextArray>& lineRuns,
                                                                const MergeRuns& merge)
{
    for (QXDocxRunTextArray& runs : lineRuns) {
        for (const QXDocxRunTextPtr& run : runs) {
            run->setOutsideSpacing(0);
        }
    }

    QXDocxParagraphRunGroupsResult result;
    const int lineCount = static_cast<int>(std::min<std::size_t>(lineRuns.size(), 1'000'000));
    for (QXDocxRunTextArray& runs : lineRuns) {
        if (runs.empty()) {
            continue;
        }
        QXDocxRunGroup group{runs.front()};
        std::string text = runs.front()->runText();
        QXDocxRunTextPtr previous = runs.front();
        for (std::size_t i = 1; i < runs.size(); ++i) {
            const QXDocxRunTextPtr current = runs[i];
            double gap = current->ctmInfo().xLeft - previous->ctmInfo().xRight;
            QXDocxRunGap measure;
            // Where words break is read from the gap the PDF draws; the
            // spacing that places the run is made of the measured one.
            measure.gap = current->ctmInfo().xLeft - previous->drawnXRight();
            measure.blankWidth = previous->spaceWidth();
            measure.textWidth = previous->textWidth();
            measure.previousIsOneChar = utf16Length(previous->runText()) == 1;
            measure.previousEndsWithBlank = previous->isSpaceLast();
            measure.nextStartsWithBlank = current->isSpaceFirst();
            measure.lineCount = lineCount;

            std::shared_ptr<QXDocxRun> added = current;
            switch (QXDocxParagraphLayout::classifyRunGap(measure)) {
            case QXDocxRunGapKind::Overlap:
                text += current->runText();
                if (QXRPropertyIsEqual(previous->rProperty(), current->rProperty()) && merge) {
                    if (QXDocxRunTextPtr merged = merge({previous, current})) {
                        std::erase(group, std::shared_ptr<QXDocxRun>(previous));
                        added = merged;
                        // The line keeps the merged run alone, so that its
                        // runs do not write the absorbed text twice.
                        runs[i] = merged;
                        const auto end = runs.begin() + static_cast<std::ptrdiff_t>(i);
                        if (const auto at = std::find(runs.begin(), end, previous); at != end) {
                            runs.erase(at);
                            --i;
                        }
                        break;
                    }
                }
                current->setOutsideSpacing(current->outsideSpacing() + gap);
                break;
            case QXDocxRunGapKind::Join:
                text += current->runText();
                previous->setOutsideSpacing(previous->outsideSpacing() + gap / 2);
                current->setOutsideSpacing(current->outsideSpacing() + gap / 2);
                break;
            case QXDocxRunGapKind::JoinAfterOneChar:
            case QXDocxRunGapKind::ExistingBlank:
                text += current->runText();
                previous->setOutsideSpacing(previous->outsideSpacing() + gap);
                break;
            case QXDocxRunGapKind::Tab: {
                text += "\t" + current->runText();
                auto tab = QXDocxRunTab::RunTapWithTabPostion(current->ctmInfo().xLeft, gap);
                tab->setRProperty(previous->rProperty());
                group.push_back(tab);
                break;
            }
            case QXDocxRunGapKind::Blank:
                text += " " + current->runText();
                if (QXDocxRunTextPtr blank = previous->splitBlackSpaceRunTextBehind()) {
                    gap -= blank->textWidth();
                    blank->setOutsideSpacing(blank->outsideSpacing() + gap);
                    runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(i), blank);
                    ++i;
                    group.push_back(blank);
                } else {
                    gap -= previous->addBlankSpaceTextBehind();
                    previous->setOutsideSpacing(previous->outsideSpacing() + gap);
                }
                break;
            }
            group.push_back(added);
            // After a merge the next gap is still measured from this run.
            previous = current;
        }
        result.groups.push_back(std::move(group));
        result.paragraphText += text;
    }
    return result;
}

Rect QXDocxParagraphRunGroups::contentFrame(const std::vector<QXDocxRunTextArray>& lineRuns)
{
    bool found = false;
    Rect frame;
    for (const QXDocxRunTextArray& runs : lineRuns) {
        for (const QXDocxRunTextPtr& run : runs) {
            const Rect runFrame = run->displayRect();
            if (!(runFrame.size.width > 0)) {
                continue;
            }
            frame = found ? frame.unionWith(runFrame) : runFrame;
            found = true;
        }
    }
    return frame;
}

} // namespace rz
