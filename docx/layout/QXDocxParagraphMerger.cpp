// Merging of one-line paragraphs: the group search down a column, the merged
// paragraph, and the column pass that joins them.
#include "docx/layout/QXDocxParagraphMerger.h"

#include "converter/text/QXConverterUtilities.h"
#include "docx/layout/QXDocxPageSection.h"
#include "docx/layout/QXDocxParagraphMergerLimits.h"
#include "docx/layout/QXDocxRunTextLine.h"
#include "platform/text/Utf.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rz {

namespace ML = mergerlimits;

namespace {

constexpr std::int32_t kAlignLeft = QXDocxJustificationLeft;
constexpr std::int32_t kAlignRight = QXDocxJustificationRight;
constexpr std::int32_t kAlignCenter = QXDocxJustificationCenter;
constexpr std::int32_t kAlignBoth = QXDocxJustificationBoth;
constexpr std::int32_t kAlignDistribute = QXDocxJustificationDistribute;

// Leader dots, as in a table of contents.
constexpr std::string_view kLeaderDots[] = {"....", "\u00B7\u00B7\u00B7\u00B7"};

// Marks of list items, form fields, labels and leaders: a line holding one
// of them does not continue the line above.
constexpr std::string_view kListMarks[] = {
    "\u25A1", "\u221A", "\u25C7", "\u25FC", "\uFF1A", ":",      "\u21D2", "|",      "\u00B7", "\u2022",
    "\u2605", "\u2606", "\u2666", "\u25C6", "\u25CA", "\u2023", "....",   "\u00B7\u00B7\u00B7\u00B7", "\u2026",
};

bool containsAny(std::string_view text, const std::string_view* begin, const std::string_view* end)
{
    return std::any_of(begin, end, [text](std::string_view mark) { return text.find(mark) != std::string_view::npos; });
}

bool hasLeaderDots(std::string_view text)
{
    return containsAny(text, std::begin(kLeaderDots), std::end(kLeaderDots));
}

// Holds a list mark, or begins with "." or "o" (a lower-case "o" also
// begins words such as "of": such a line ends the group as well).
bool startsListItem(std::string_view text)
{
    if (containsAny(text, std::begin(kListMarks), std::end(kListMarks)))
        return true;
    return !text.empty() && (text.front() == '.' || text.front() == 'o');
}

// The first and the last character of a text as UTF-8; empty for an empty
// text.
std::string_view firstCharacter(std::string_view text)
{
    if (text.empty())
        return {};
    std::size_t i = 0;
    nextCodePoint(text, i);
    return text.substr(0, std::max<std::size_t>(i, 1));
}

std::string_view lastCharacter(std::string_view text)
{
    if (text.empty())
        return {};
    // Back over at most three continuation bytes to the lead byte.
    std::size_t start = text.size() - 1;
    for (int k = 0; k < 3 && start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80; ++k)
        --start;
    return text.substr(start);
}

bool isWhiteSpaceOrNewline(std::string_view character)
{
    if (character.empty())
        return false;
    std::size_t i = 0;
    const char32_t c = nextCodePoint(character, i);
    return u_isUWhiteSpace(static_cast<UChar32>(c)) != 0;
}

char32_t codePointOf(std::string_view character)
{
    std::size_t i = 0;
    return character.empty() ? 0 : nextCodePoint(character, i);
}

// A line that ends in a letter and a hyphen (hyphen-minus, hyphen or soft
// hyphen) before a line that starts with a small letter: a word broken
// across the line end. It runs on without a blank, its hyphen made soft:
// "hydrody-" and "namical" read "hydrodynamical" once the paragraph flows
// again, where a blank would leave "hydrody- namical" inside a line.
bool isBrokenWord(std::string_view lineA, std::string_view last, std::string_view first)
{
    const char32_t hyphen = codePointOf(last);
    if (hyphen != U'-' && hyphen != U'\u2010' && hyphen != U'\u00AD')
        return false;
    const std::string_view before = lastCharacter(lineA.substr(0, lineA.size() - last.size()));
    return u_isalpha(static_cast<UChar32>(codePointOf(before))) != 0 &&
           u_islower(static_cast<UChar32>(codePointOf(first))) != 0;
}

QXDocxRunTextLinePtr firstLineOf(const QXDocxParagraphPtr& paragraph)
{
    return paragraph ? paragraph->firstRunLineText() : nullptr;
}

double rightOf(const Rect& r)
{
    return r.origin.x + r.size.width;
}

// The group with the candidate appended.
QXDocxParagraphMerger::ParagraphArray withCandidate(const QXDocxParagraphMerger::ParagraphArray& group,
                                                    const QXDocxParagraphPtr& candidate)
{
    QXDocxParagraphMerger::ParagraphArray tried = group;
    tried.push_back(candidate);
    return tried;
}

// True when the candidate line's edge follows the previous line's for the
// alignment `align`; `index` is the candidate's place in the group.
bool edgesFollow(std::int32_t align, const Rect& line, const Rect& previous, std::size_t index)
{
    const double x = line.origin.x;
    const double w = line.size.width;
    const double px = previous.origin.x;
    const double pw = previous.size.width;
    switch (align) {
    case kAlignLeft:
    case kAlignBoth:
    case kAlignDistribute:
        if (x - ML::kEdgeTolerance > px)
            return false;
        // Only the second line may start further left, under an indented
        // first line.
        return !(px > x + ML::kEdgeTolerance && index >= 2);
    case kAlignRight:
        if ((px + pw) - (x + w) > ML::kEdgeTolerance)
            return false;
        return !((x + w) - (px + pw) > ML::kEdgeTolerance && index >= 2);
    case kAlignCenter:
        return std::fabs((x + w * 0.5) - (px + pw * 0.5)) <= ML::kEdgeTolerance;
    default:
        return true;
    }
}

// A blank between two neighbouring lines where the text needs one: not
// between two full-width characters, not after a word broken at the line
// end (whose hyphen becomes soft), and not next to a blank already there.
void joinLineEnds(const QXDocxRunTextLineArray& lines)
{
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        const auto& a = lines[k];
        const auto& b = lines[k + 1];
        if (!a || !b)
            continue;
        const std::string_view last = lastCharacter(a->lineText());
        const std::string_view first = firstCharacter(b->lineText());
        // An empty text has no end to join.
        if (last.empty() || first.empty())
            continue;
        if (QXConverterUtilities::IsFullWidthCharacter(last) && QXConverterUtilities::IsFullWidthCharacter(first))
            continue;
        if (isBrokenWord(a->lineText(), last, first)) {
            a->softenHyphenBehind();
            continue;
        }
        if (!isWhiteSpaceOrNewline(last) && !isWhiteSpaceOrNewline(first))
            a->addBlankSpaceTextBehind();
    }
}

} // namespace

QXDocxParagraphMerger::ParagraphArray QXDocxParagraphMerger::mergeParagraphsIfNeed(const ParagraphArray& paragraphs)
{
    ParagraphArray result;
    result.reserve(paragraphs.size());
    std::size_t start = 0;
    while (start < paragraphs.size()) {
        // The group is a prefix of the remaining paragraphs, never empty.
        const ParagraphArray group = findMergeGroup(std::span(paragraphs).subspan(start));
        result.push_back(mergeParagraphs(group));
        start += std::max<std::size_t>(group.size(), 1);
    }
    return result;
}

QXDocxParagraphMerger::WriterObjectArray QXDocxParagraphMerger::mergeParagraphsIfNeed(
    const WriterObjectArray& objects)
{
    WriterObjectArray result;
    result.reserve(objects.size());
    ParagraphArray stretch;
    auto flush = [&]() {
        for (const auto& paragraph : mergeParagraphsIfNeed(stretch))
            result.push_back(paragraph);
        stretch.clear();
    };
    for (const auto& object : objects) {
        if (auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object)) {
            stretch.push_back(std::move(paragraph));
            continue;
        }
        flush();
        result.push_back(object);
    }
    flush();
    return result;
}

QXDocxParagraphMerger::ParagraphArray QXDocxParagraphMerger::findMergeParagraphs(const ParagraphArray& paragraphs)
{
    if (paragraphs.size() < 2)
        return paragraphs;
    return findMergeGroup(paragraphs);
}

QXDocxParagraphMerger::ParagraphArray QXDocxParagraphMerger::findMergeGroup(
    std::span<const QXDocxParagraphPtr> paragraphs)
{
    if (paragraphs.empty())
        return {};
    const QXDocxParagraphPtr& first = paragraphs.front();
    ParagraphArray group{first};
    const QXDocxRunTextLinePtr firstLine = firstLineOf(first);
    if (!firstLine || hasLeaderDots(firstLine->lineText()))
        return group;
    std::int32_t groupAlign = first->pProperty().jc;

    QXDocxParagraphPtr previous = first;
    QXDocxRunTextLinePtr previousLine = firstLine;
    double firstPitch = 0;
    for (std::size_t i = 1; i < paragraphs.size(); ++i) {
        const QXDocxParagraphPtr& candidate = paragraphs[i];
        const QXDocxRunTextLinePtr line = firstLineOf(candidate);
        if (!line)
            break;
        if (utf16Length(previousLine->lineText()) <= ML::kShortLineMaxLength &&
            utf16Length(line->lineText()) <= ML::kShortLineMaxLength)
            break;
        if (startsListItem(line->lineText()))
            break;
        if (!QXDocxTextAlignRecognizer::HaveSameFont(candidate, previous))
            break;

        const Rect frame = line->lineFrame();
        const Rect previousFrame = previousLine->lineFrame();
        const double height = frame.size.height;
        const QXDocx_Spacing& spacing = candidate->pProperty().spacing;
        const float space = spacing.before + (spacing.line + spacing.after);
        if (std::fabs(height - static_cast<double>(space)) > ML::kSpacingHeightTolerance &&
            line->wordSingleLineHeight() < ML::kMinSingleLineHeight)
            break;
        const double previousHeight = previousFrame.size.height;
        if (std::fabs(height - previousHeight) > ML::kLineHeightFraction * previousHeight)
            break;

        const double pitch = std::fabs(line->yBaseLine() - previousLine->yBaseLine());
        if (i == 1)
            firstPitch = pitch;
        else if (std::fabs(pitch - firstPitch) > ML::kPitchTolerance)
            break;

        const ParagraphArray tried = withCandidate(group, candidate);
        if (firstPitch > 0 && !QXDocxTextAlignRecognizer::testAllHeightEnough(tried, firstPitch))
            break;
        // A recognised alignment stands even when the candidate fails later.
        if (i == 1)
            groupAlign = QXDocxTextAlignRecognizer::Recognize2LineTextAlignForMerger(tried);
        else if (i == 2)
            groupAlign = QXDocxTextAlignRecognizer::Recognize3LineTextAlignForMerger(tried);
        if (!QXDocxTextAlignRecognizer::canBeExtendWidth(tried, groupAlign))
            break;
        if (!edgesFollow(groupAlign, frame, previousFrame, i))
            break;

        group.push_back(candidate);
        previous = candidate;
        previousLine = line;
    }

    if (group.size() >= 2) {
        QXDocx_PPr property = first->pProperty();
        property.jc = groupAlign;
        first->setPProperty(property);
    }
    return group;
}

QXDocxParagraphPtr QXDocxParagraphMerger::mergeParagraphs(const ParagraphArray& group)
{
    if (group.empty())
        return nullptr;
    if (group.size() == 1)
        return group.front();
    const QXDocxParagraphPtr& first = group.front();
    const QXDocxParagraphPtr& last = group.back();
    if (!first || !last)
        return first;

    QXDocxRunTextLineArray lines;
    bool breakColumn = false;
    double total = 0;
    for (const auto& paragraph : group) {
        if (!paragraph)
            continue;
        const auto& own = paragraph->lineArray();
        lines.insert(lines.end(), own.begin(), own.end());
        breakColumn = breakColumn || paragraph->breakColumn();
        total += paragraph->yBefore() + paragraph->yHeight() + paragraph->yAfter();
    }
    joinLineEnds(lines);

    const std::int32_t align = first->pProperty().jc;
    auto merged = std::make_shared<QXDocxParagraph>(std::move(lines), first->yBefore(),
                                                    total - first->yBefore() - last->yAfter(), last->yAfter(),
                                                    first->columnFrame(), align, first->sectProperty());
    merged->setBreakColumn(breakColumn);
    merged->setRProperty(first->rProperty());

    QXDocx_PPr property = merged->pProperty();
    property.jc = align;
    const double columnRight = rightOf(merged->columnFrame());
    const double contentRight = rightOf(merged->contentFrame());
    switch (align) {
    case kAlignCenter:
        property.ind.left = static_cast<float>(std::max(0.0, QXDocxTextAlignRecognizer::Ind_MinLeftOfParagraphs(group)));
        property.ind.firstLine = 0;
        if (columnRight > contentRight)
            property.ind.right = std::floor(static_cast<float>(columnRight - contentRight));
        break;
    case kAlignLeft:
    case kAlignRight:
    case kAlignBoth:
    case kAlignDistribute: {
        const float least = std::max(
            0.0f, std::floor(static_cast<float>(QXDocxTextAlignRecognizer::Ind_SubMinLeftOfParagraphs(group))));
        property.ind.left = least;
        property.ind.firstLine = std::floor(first->pProperty().ind.left - least);
        if (columnRight > contentRight + ML::kRightIndentReserve)
            property.ind.right = std::floor(static_cast<float>(columnRight - contentRight - ML::kRightIndentReserve));
        break;
    }
    default:
        break;
    }
    merged->setPProperty(property);
    // A section break the first member carried survives the merge.
    merged->setSectProperty(first->sectProperty());
    return merged;
}

} // namespace rz
