// Alignment recognition of lines and paragraphs from their geometry, and the
// statistics over groups of paragraphs that the merging pass asks for.
#include "docx/layout/QXDocxPageSection.h"

#include "converter/text/QXConverterUtilities.h"
#include "docx/layout/QXDocxPageSectionLimits.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace L = sectionlimits;

namespace {

constexpr std::int32_t kLeft = QXDocxJustificationLeft;
constexpr std::int32_t kRight = QXDocxJustificationRight;
constexpr std::int32_t kCenter = QXDocxJustificationCenter;
constexpr std::int32_t kBoth = QXDocxJustificationBoth;
constexpr std::int32_t kDistribute = QXDocxJustificationDistribute;

double centreX(const Rect& r)
{
    return r.origin.x + r.size.width * 0.5;
}

double rightX(const Rect& r)
{
    return r.origin.x + r.size.width;
}

bool within(double a, double b, double tolerance)
{
    return std::fabs(a - b) < tolerance;
}

// The frame of a paragraph's first line; the zero rectangle without lines.
Rect firstLineFrame(const QXDocxParagraphPtr& paragraph)
{
    if (!paragraph)
        return Rect();
    const auto line = paragraph->firstRunLineText();
    return line ? line->lineFrame() : Rect();
}

} // namespace

std::size_t QXDocxTextAlignRecognizer::NumberOf(const QXDocxRunTextLineArray& lines, std::int32_t textAlign)
{
    const bool both = textAlign == kBoth || textAlign == kDistribute;
    std::vector<double> keyA;
    std::vector<double> keyB;
    keyA.reserve(lines.size());
    keyB.reserve(lines.size());
    for (const auto& line : lines) {
        const Rect frame = line ? line->lineFrame() : Rect();
        if (both) {
            keyA.push_back(frame.origin.x);
            keyB.push_back(rightX(frame));
        } else if (textAlign == kRight) {
            keyA.push_back(rightX(frame));
        } else if (textAlign == kCenter) {
            keyA.push_back(centreX(frame));
        } else {
            keyA.push_back(frame.origin.x);
        }
    }
    // The lines within the tolerance of a key form one stretch of the keys
    // in sorted order (a difference grows with the distance), so each count
    // is two binary searches; for both edges only that stretch is checked
    // for the right edge.
    std::vector<std::size_t> order(keyA.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keyA[a] < keyA[b]; });
    std::vector<double> sorted(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        sorted[i] = keyA[order[i]];
    std::size_t best = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const double key = sorted[i];
        const auto first = std::partition_point(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(i),
                                                [&](double k) { return !within(key, k, L::kEdgeClusterTolerance); });
        const auto last = std::partition_point(sorted.begin() + static_cast<std::ptrdiff_t>(i), sorted.end(),
                                               [&](double k) { return within(key, k, L::kEdgeClusterTolerance); });
        std::size_t count = static_cast<std::size_t>(last - first);
        if (both) {
            count = 0;
            for (auto it = first; it != last; ++it) {
                const std::size_t k = order[static_cast<std::size_t>(it - sorted.begin())];
                if (within(keyB[order[i]], keyB[k], L::kEdgeClusterTolerance))
                    ++count;
            }
        }
        best = std::max(best, count);
    }
    return best;
}

std::int32_t QXDocxTextAlignRecognizer::RecognizeTextAlignTrend(const QXDocxRunTextLineArray& lines,
                                                                const Rect& columnContentFrame,
                                                                const Rect& columnFrame)
{
    // The first line may be indented: it does not vote.
    if (lines.size() < 2)
        return kLeft;
    const QXDocxRunTextLineArray rest(lines.begin() + 1, lines.end());
    const double n = static_cast<double>(rest.size());
    const double fL = static_cast<double>(NumberOf(rest, kLeft)) / n;
    const double fR = static_cast<double>(NumberOf(rest, kRight)) / n;
    const double fC = static_cast<double>(NumberOf(rest, kCenter)) / n;
    const double fB = static_cast<double>(NumberOf(rest, kBoth)) / n;
    if (rest.size() <= 2) {
        if (within(centreX(columnContentFrame), centreX(columnFrame), L::kTrendCentreTolerance))
            return fL <= fC ? kCenter : kLeft;
        return kLeft;
    }
    if (fL >= fR) {
        if (fC > fL)
            return kCenter;
        return fB >= L::kTrendBothMinFraction ? kBoth : kLeft;
    }
    if (fC > fR)
        return kCenter;
    return fL > fC ? kBoth : kRight;
}

std::int32_t QXDocxTextAlignRecognizer::RecognizeTextAlign(const QXDocxRunTextLinePtr& line,
                                                           const QXDocxRunTextLinePtr& runTextLineLast,
                                                           std::int32_t textAlignLast, std::int32_t textAlignTrend,
                                                           const Rect& columnContentFrame, const Rect& columnFrame)
{
    if (!line)
        return textAlignTrend;
    const Rect frame = line->lineFrame();
    const double x = frame.origin.x;
    const double w = frame.size.width;
    const double h = frame.size.height;
    if (w <= L::kShortLineMaxWidth)
        return textAlignTrend;

    // The edge the line shares with the line above it, when that line had
    // the alignment of that edge.
    if (runTextLineLast) {
        const Rect last = runTextLineLast->lineFrame();
        if (within(x, last.origin.x, L::kSameEdgeAsPreviousLine)) {
            if (textAlignLast == kLeft)
                return kLeft;
            if (textAlignLast == kBoth)
                return kBoth;
        } else if (within(x + w, rightX(last), L::kSameEdgeAsPreviousLine)) {
            if (textAlignLast == kRight)
                return kRight;
        } else if (textAlignLast == kCenter && within(x + w * 0.5, centreX(last), L::kSameEdgeAsPreviousLine)) {
            return kCenter;
        }
    }

    // A line that nearly fills the column keeps the trend.
    const double freeWidth = QXConverterUtilities::WidthOfNoneIntersectRect(columnFrame, frame);
    if (freeWidth < std::max(h, L::kNearlyFullLineMinFree))
        return textAlignTrend;
    if (textAlignTrend > kBoth)
        return textAlignTrend;

    const double lo = std::fabs(x - columnContentFrame.origin.x);
    const double ro = std::fabs((x + w) - rightX(columnContentFrame));
    const double co = std::fabs((x + w * 0.5) - centreX(columnContentFrame));

    switch (textAlignTrend) {
    case kLeft:
    case kBoth:
        for (double r = L::kEdgeToleranceStart; r <= L::kEdgeToleranceLast; r += L::kEdgeToleranceStep) {
            if (lo < r)
                return ro < r ? kBoth : kLeft;
            if (ro < r || co < L::kCentreTolerance)
                return ro < r ? kRight : kCenter;
        }
        return textAlignTrend;
    case kRight:
        for (double r = L::kEdgeToleranceStart; r <= L::kEdgeToleranceLast; r += L::kEdgeToleranceStep) {
            if (ro < r)
                return lo < r ? kBoth : kRight;
            if (lo < r || co < L::kCentreTolerance)
                return lo < r ? kLeft : kCenter;
        }
        return kRight;
    case kCenter:
        if (co < L::kCentreTolerance)
            return (lo < L::kCentreTolerance && ro < L::kCentreTolerance) ? kBoth : kCenter;
        for (double r = L::kEdgeToleranceStart; r <= L::kEdgeToleranceLast; r += L::kEdgeToleranceStep) {
            if (lo < r)
                return ro < r ? kBoth : kLeft;
            if (ro < r)
                return kRight;
        }
        return kCenter;
    default:
        return textAlignTrend;
    }
}

std::int32_t QXDocxTextAlignRecognizer::Recognize2LineTextAlignForMerger(const QXDocxParagraphArray& paragraphs)
{
    if (paragraphs.empty())
        return kLeft;
    if (paragraphs.size() != 2)
        return paragraphs.front() ? paragraphs.front()->pProperty().jc : kLeft;
    const double t = L::kMergerEdgeTolerance;
    const Rect a = firstLineFrame(paragraphs[0]);
    const Rect b = firstLineFrame(paragraphs[1]);
    if (within(a.origin.x, b.origin.x, t))
        return within(rightX(a), rightX(b), t) ? kBoth : kLeft;
    if (within(rightX(a), rightX(b), t)) {
        // A second line that starts further left under a first line that
        // starts in the column's left half is an indented left paragraph.
        const Rect column = paragraphs[0] ? paragraphs[0]->columnFrame() : Rect();
        if (b.origin.x < a.origin.x && a.origin.x < column.origin.x + column.size.width * 0.5)
            return kLeft;
        return kRight;
    }
    return within(centreX(a), centreX(b), t) ? kCenter : kLeft;
}

std::int32_t QXDocxTextAlignRecognizer::Recognize3LineTextAlignForMerger(const QXDocxParagraphArray& paragraphs)
{
    if (paragraphs.size() != 3)
        return kLeft;
    const double t = L::kMergerEdgeTolerance;
    const Rect a = firstLineFrame(paragraphs[0]);
    const Rect b = firstLineFrame(paragraphs[1]);
    const Rect c = firstLineFrame(paragraphs[2]);
    if (within(a.origin.x, b.origin.x, t))
        return within(rightX(a), rightX(b), t) ? kBoth : kLeft;
    const bool sameLeftBC = within(b.origin.x, c.origin.x, t);
    if (within(rightX(a), rightX(b), t))
        return sameLeftBC ? kBoth : kRight;
    if (within(centreX(a), centreX(b), t))
        return kCenter;
    const bool sameRightBC = within(rightX(b), rightX(c), t);
    if (sameLeftBC)
        return sameRightBC ? kBoth : kLeft;
    if (sameRightBC)
        return kRight;
    return within(centreX(b), centreX(c), t) ? kCenter : kLeft;
}

bool QXDocxTextAlignRecognizer::canBeExtendWidth(const QXDocxParagraphArray& paragraphs, std::int32_t textAlign)
{
    Rect u = Rect::null();
    std::size_t longest = 0;
    for (const auto& paragraph : paragraphs) {
        if (!paragraph)
            continue;
        u = u.unionWith(paragraph->contentFrame());
        longest = std::max(longest, utf16Length(paragraph->paragraphText()));
    }
    if (u.isNull())
        u = Rect();
    if (longest <= L::kReflowMinTextLength || u.size.width < L::kReflowMinWidth)
        return false;
    if (paragraphs.size() == 1)
        return true;
    for (std::size_t j = 1; j < paragraphs.size(); ++j) {
        if (!paragraphs[j])
            continue;
        const Rect g = firstLineFrame(paragraphs[j - 1]);
        const double word = paragraphs[j]->firstWordWidth();
        switch (textAlign) {
        case kRight:
            if (j == 1)
                break;
            if (u.origin.x - L::kReflowRightSlack < g.origin.x - word)
                return false;
            break;
        case kCenter:
            if (word + g.size.width < u.size.width + L::kReflowRightSlack)
                return false;
            break;
        case kLeft:
        case kBoth:
        case kDistribute:
            if ((word + g.origin.x + g.size.width) - rightX(u) < L::kReflowEdgeSlack)
                return false;
            break;
        default:
            break;
        }
    }
    return true;
}

bool QXDocxTextAlignRecognizer::testAllHeightEnough(const QXDocxParagraphArray& paragraphs, double withDistancs)
{
    double sum = 0;
    for (const auto& paragraph : paragraphs) {
        if (paragraph)
            sum += paragraph->yBefore() + paragraph->yHeight() + paragraph->yAfter();
    }
    return sum > static_cast<double>(paragraphs.size()) * withDistancs - L::kHeightEnoughSlack;
}

bool QXDocxTextAlignRecognizer::HaveSameFont(const QXDocxParagraphPtr& paragraphA,
                                             const QXDocxParagraphPtr& paragraphB)
{
    if (!paragraphA || !paragraphB)
        return false;
    const auto lineA = paragraphA->firstRunLineText();
    const auto lineB = paragraphB->firstRunLineText();
    if (!lineA || !lineB)
        return false;
    for (const auto& runA : lineA->runTextArray()) {
        if (!runA)
            continue;
        for (const auto& runB : lineB->runTextArray()) {
            if (runB && QXRPropertyIsSameFont(runA->rProperty(), runB->rProperty()))
                return true;
        }
    }
    return false;
}

double QXDocxTextAlignRecognizer::Ind_MinLeftOfParagraphs(const QXDocxParagraphArray& paragraphs)
{
    bool any = false;
    double least = 0;
    for (const auto& paragraph : paragraphs) {
        if (!paragraph)
            continue;
        const double left = paragraph->pProperty().ind.left;
        least = any ? std::min(least, left) : left;
        any = true;
    }
    return least;
}

double QXDocxTextAlignRecognizer::Ind_SubMinLeftOfParagraphs(const QXDocxParagraphArray& paragraphs)
{
    if (paragraphs.empty())
        return 0;
    if (paragraphs.size() == 1)
        return paragraphs.front() ? paragraphs.front()->pProperty().ind.left : 0;
    double least = L::kSubMinLeftStart;
    for (std::size_t i = 1; i < paragraphs.size(); ++i) {
        if (paragraphs[i])
            least = std::min(least, static_cast<double>(paragraphs[i]->pProperty().ind.left));
    }
    return least;
}

} // namespace rz
