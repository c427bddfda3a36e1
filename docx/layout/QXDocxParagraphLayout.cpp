#include "docx/layout/QXDocxParagraphLayout.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "converter/text/QXConverterUtilities.h"
#include "docx/layout/QXDocxParagraphLimits.h"
#include "platform/text/IcuLibrary.h"
#include "platform/text/Utf.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

void setSpacing(QXDocx_PPr& property, double before, double line, double after, const char* rule)
{
    property.spacing.before = static_cast<float>(before);
    property.spacing.line = static_cast<float>(line);
    property.spacing.after = static_cast<float>(after);
    QXDocxSetText(property.spacing.lineRule, rule);
}

// Lower-cased, without white space, line breaks, control and format characters.
std::string outlineKey(std::string_view text)
{
    const std::string lowered = lowerCasedText(text);
    std::string key;
    std::size_t i = 0;
    while (i < lowered.size()) {
        const char32_t c = nextCodePoint(lowered, i);
        switch (unicodeCharType(c)) {
        case U_SPACE_SEPARATOR:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
        case U_CONTROL_CHAR:
        case U_FORMAT_CHAR:
            break;
        default:
            appendUtf8(key, c);
        }
    }
    return key;
}

} // namespace

QXDocxRunGapKind QXDocxParagraphLayout::classifyRunGap(const QXDocxRunGap& gap)
{
    const double g = gap.gap;
    const double b = gap.blankWidth;
    if (g < -kQXDocxParagraphOverlapWidthFraction * gap.textWidth) {
        return QXDocxRunGapKind::Overlap;
    }
    const double joinLimit =
        std::max(static_cast<double>(static_cast<float>(b) * kQXDocxParagraphJoinBlankFraction), kQXDocxParagraphJoinMinGap);
    if (g < joinLimit) {
        return QXDocxRunGapKind::Join;
    }
    if (gap.previousIsOneChar && g < b * kQXDocxParagraphOneCharBlankFraction) {
        return QXDocxRunGapKind::JoinAfterOneChar;
    }
    const bool wide = g >= kQXDocxParagraphTabBlankFactor * b;
    if (wide && gap.lineCount < kQXDocxParagraphTabMaxLineCount) {
        return QXDocxRunGapKind::Tab;
    }
    if (wide || (!gap.previousEndsWithBlank && !gap.nextStartsWithBlank)) {
        return QXDocxRunGapKind::Blank;
    }
    return QXDocxRunGapKind::ExistingBlank;
}

double QXDocxParagraphLayout::averageBottomDistance(const std::vector<double>& lineBottoms)
{
    if (lineBottoms.size() < 2) {
        return 0;
    }
    double sum = 0;
    for (std::size_t i = 0; i + 1 < lineBottoms.size(); ++i) {
        sum += lineBottoms[i + 1] - lineBottoms[i];
    }
    return sum / static_cast<double>(lineBottoms.size() - 1);
}

void QXDocxParagraphLayout::resolveSpacing(const QXDocxParagraphBlock& block, QXDocx_PPr& property)
{
    const double total = block.yHeight + block.yAfter;
    const double single = block.wordSingleLineHeight;
    property.spacing.word1LineHeight = static_cast<float>(single);

    if (block.lineCount < 2) {
        const double blankTop = block.wordSingleLineBlankTop;
        const double frameHeight = block.firstLineHeight;
        if (total < kQXDocxParagraphTinyBlock) {
            setSpacing(property, 0, kQXDocxParagraphTinyLine, 0, "exact");
        } else if (single > 0 && single <= total && blankTop < block.yBefore) {
            setSpacing(property, block.yBefore - blankTop, single, block.yAfter - (single - block.yHeight) + blankTop,
                       "auto");
        } else if (single > 0 || total < frameHeight) {
            setSpacing(property, block.yBefore, block.yHeight, block.yAfter, "exact");
        } else {
            setSpacing(property, block.yBefore, frameHeight, block.yAfter - (frameHeight - block.yHeight), "exact");
        }
        return;
    }

    const double lines = block.lineCount;
    const double tolerance = std::max(static_cast<float>(block.firstLineHeight) / kQXDocxParagraphPitchToleranceDivisor,
                                      kQXDocxParagraphPitchMinTolerance);
    const double average = block.averageBottomDistance;
    double pitch = 0;
    bool standing = false;
    if (single > 0) {
        pitch = single * std::round(static_cast<float>(2 * average / single)) * kQXDocxParagraphPitchStep;
        const double rest = total - lines * pitch;
        standing = rest > -tolerance && rest - block.yAfter < tolerance;
    }
    if (!standing) {
        pitch = std::floor(average * (lines + 1)) / (lines + 1);
        if (total - lines * pitch <= -tolerance) {
            pitch = std::floor(total / lines * (lines + 1)) / (lines + 1);
        }
    }
    const double rest = total - lines * pitch;
    double after = rest;
    double before = block.yBefore;
    if (-tolerance < rest && rest < 0) {
        after = 0;
        if (-rest <= block.yBefore) {
            before = block.yBefore + rest;
        }
    }
    setSpacing(property, before, pitch, after, single > 0 && pitch >= single ? "auto" : "exact");
}

std::vector<double> QXDocxParagraphLayout::blankParagraphLines(double height, double spaceLine, float markSize)
{
    const double larger = std::max(static_cast<double>(markSize), spaceLine);
    const double line = std::ceil(static_cast<float>(larger));
    // Without a line or mark size there is nothing to divide the height by.
    if (!(line > 0) || !std::isfinite(line) || larger + kQXDocxBlankParagraphMargin > height) {
        return {height};
    }
    const float whole = std::floor(static_cast<float>(height / line));
    const std::size_t count = whole >= 1 ? static_cast<std::size_t>(std::min(whole, kQXDocxBlankParagraphMaxCount)) : 1;
    std::vector<double> lines(count, line);
    const double rest = height - static_cast<double>(count) * line;
    if (rest != 0) {
        lines.back() += rest;
    }
    return lines;
}

void QXDocxParagraphLayout::adjustForWriting(const QXDocxParagraphShape& shape, QXDocx_PPr& property,
                                             QXDocx_RPr& mark)
{
    float& line = property.spacing.line;
    if (shape.groupCount == 0) {
        if (line < mark.sz) {
            mark.sz = mark.szCs = std::floor(line);
        }
    } else if (shape.groupCount == 1 && shape.hasTabRun) {
        property.jc = QXDocxJustificationLeft;
    }
    // Two or more groups write no tab runs.
    const bool hasTab = shape.groupCount == 1 && shape.hasTabRun;

    const Rect& column = shape.columnFrame;
    const Rect& content = shape.contentFrame;
    switch (property.jc) {
    case QXDocxJustificationBoth:
    case QXDocxJustificationDistribute:
        if (shape.groupCount < 2) {
            property.jc = QXDocxJustificationLeft;
        }
        break;
    case QXDocxJustificationRight:
        if (shape.groupCount == 1) {
            const double freeRight = (column.origin.x + column.size.width) - (content.origin.x + content.size.width);
            property.ind.right = static_cast<float>(std::floor(freeRight) - kQXDocxParagraphRightIndentMargin);
        }
        break;
    case QXDocxJustificationCenter:
        if (shape.groupCount == 0) {
            property.ind.left = property.ind.right = 0;
        } else if (shape.groupCount == 1 && !hasTab) {
            const double offset = (content.origin.x + content.size.width / 2) - (column.origin.x + column.size.width / 2);
            property.ind.left = static_cast<float>(std::floor(offset));
            property.ind.right = 0;
        } else if (shape.groupCount == 1) {
            property.jc = QXDocxJustificationLeft;
        }
        break;
    default:
        break;
    }

    if (shape.textEmpty) {
        if (line < mark.sz) {
            mark.sz = mark.szCs = std::max(line, kQXDocxParagraphMinLine);
        }
    } else if (line < kQXDocxParagraphMinLine) {
        line = kQXDocxParagraphMinLine;
    }
}

void QXDocxParagraphLayout::fitRunSizeToLine(float line, QXDocx_RPr& run)
{
    if (line > kQXDocxParagraphShrinkMinLine && line < kQXDocxParagraphShrinkSizeFraction * run.sz) {
        run.sz = run.szCs = line;
    }
}

QXDocx_Tabs QXDocxParagraphLayout::tabStops(const std::vector<double>& tabPositions, std::int32_t jc, double columnX)
{
    QXDocx_Tabs tabs;
    tabs.tab.reserve(tabPositions.size());
    for (double position : tabPositions) {
        QXDocx_Tab tab;
        QXDocxSetText(tab.leader, "none");
        QXDocxSetText(tab.val, jc == QXDocxJustificationRight ? "right" : "left");
        tab.pos = static_cast<float>(position - columnX);
        tabs.tab.push_back(tab);
    }
    return tabs;
}

bool QXDocxParagraphLayout::matchesOutline(const std::vector<std::string>& lineTexts, std::string_view title,
                                           bool likeDetect, std::int32_t outlineLvl)
{
    if (outlineLvl >= 1) {
        return false;
    }
    const std::string key = outlineKey(title);
    if (key.empty()) {
        return false;
    }
    const std::size_t keyLength = utf16Length(key);
    for (const std::string& lineText : lineTexts) {
        const std::string text = outlineKey(lineText);
        if (text.empty()) {
            continue;
        }
        if (text.find(key) != std::string::npos) {
            return true;
        }
        const std::size_t length = utf16Length(text);
        if (length > kQXDocxOutlineMinPartLength && length > keyLength / kQXDocxOutlineMinPartDivisor &&
            key.find(text) != std::string::npos) {
            return true;
        }
        if (likeDetect && QXConverterUtilities::String(text, key) > kQXDocxOutlineLikePercent) {
            return true;
        }
    }
    return false;
}

bool QXDocxParagraphLayout::isBlankText(std::string_view text)
{
    return outlineKey(text).empty();
}

void QXDocxParagraphLayout::writeProperties(const QXDocx_PPr& property, const QXDocx_RPr& mark,
                                            const QXDocx_SectPr& section, const QXDocx_Tabs& tabs, bool breakColumn,
                                            XMLFileWriter& writer)
{
    QXDocxUtilities::WritePProperty(property, mark, section, tabs, writer);
    if (breakColumn) {
        const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
        writer.writeStartElementWithNamespace(w, "r");
        writer.writeStartElementWithNamespace(w, "rPr");
        writer.writeEndElement();
        writer.writeStartElementWithNamespace(w, "br");
        writer.writeAttributeWithNamespace(w, "type", "column");
        writer.writeEndElement();
        writer.writeEndElement();
    }
}

} // namespace rz
