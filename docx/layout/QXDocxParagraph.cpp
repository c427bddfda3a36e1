#include "docx/layout/QXDocxParagraph.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxParagraphLayout.h"
#include "docx/layout/QXDocxParagraphLimits.h"
#include "docx/layout/QXDocxParagraphRunGroups.h"
#include "docx/layout/QXDocxRun.h"
#include "docx/layout/QXDocxRunTab.h"
#include "docx/layout/QXDocxRunText.h"
#include "docx/layout/QXDocxRunTextLine.h"
#include "converter/text/QXConverterUtilities.h"
#include "platform/text/Utf.h"

#include <algorithm>

namespace rz {

QXDocxParagraph::QXDocxParagraph()
    : pProperty_(QXDocxUtilities::defaultPProperty()),
      rProperty_(QXDocxUtilities::defaultRProperty()),
      sectProperty_(QXDocxUtilities::defaultSectPropertyHiden()),
      lineArray_(std::make_shared<std::vector<std::shared_ptr<QXDocxRunTextLine>>>()),
      paragraphText_(std::make_shared<std::string>()),
      writeRunGroupArray_(std::make_shared<std::vector<QXDocxRunGroup>>()),
      firstWord_(std::make_shared<std::string>())
{
}

QXDocxParagraph::QXDocxParagraph(std::vector<std::shared_ptr<QXDocxRunTextLine>> lines, double yBefore,
                                 double yHeight, double yAfter, const Rect& columnFrame, std::int32_t textAlign,
                                 const QXDocx_SectPr& sectProperty)
    : QXDocxParagraph()
{
    sectProperty_ = sectProperty;
    sectProperty_.shouldWrite = false;
    std::erase(lines, nullptr);
    *lineArray_ = std::move(lines);
    convertToWriteRunArray();
    yBefore_ = yBefore;
    yHeight_ = yHeight;
    yAfter_ = yAfter;
    columnFrame_ = columnFrame;
    pProperty_.jc = textAlign;
    resolvePProperty();
    updateContentFrame();
}

QXDocxParagraph::QXDocxParagraph(std::vector<std::shared_ptr<QXDocxRunTextLine>> lines)
    : QXDocxParagraph(std::move(lines), 0, 0, 0, Rect::zero(), 0, QXDocxUtilities::defaultSectPropertyHiden())
{
}

std::shared_ptr<QXDocxWriterObject> QXDocxParagraph::copy() const
{
    return std::make_shared<QXDocxParagraph>(*this);
}

std::vector<QXDocxParagraphPtr> QXDocxParagraph::BlankParagraph(double height, double spaceLine, double indLeft,
                                                                double indRight, std::int32_t textAlign,
                                                                const QXDocx_RPr& rProperty,
                                                                const QXDocx_SectPr& sectProperty, double originY,
                                                                const Rect& columnFrame)
{
    QXDocx_PPr property = QXDocxUtilities::defaultPProperty();
    property.spacing.before = 0;
    property.spacing.after = 0;
    QXDocxSetText(property.spacing.lineRule, "exact");
    property.ind.firstLine = 0;
    property.ind.left = static_cast<float>(indLeft);
    property.ind.right = static_cast<float>(indRight);
    property.jc = textAlign;

    const double x = columnFrame.origin.x + indLeft;
    const std::vector<double> lines = QXDocxParagraphLayout::blankParagraphLines(height, spaceLine, rProperty.sz);
    std::vector<QXDocxParagraphPtr> result;
    result.reserve(lines.size());
    double y = originY;
    for (double line : lines) {
        auto paragraph = std::make_shared<QXDocxParagraph>();
        property.spacing.line = static_cast<float>(line);
        paragraph->pProperty_ = property;
        paragraph->rProperty_ = rProperty;
        paragraph->sectProperty_ = sectProperty;
        paragraph->columnFrame_ = columnFrame;
        paragraph->contentFrame_ = Rect(x, y, 2, line);
        paragraph->yHeight_ = line;
        result.push_back(std::move(paragraph));
        y += line;
    }
    return result;
}

QXDocxParagraphPtr QXDocxParagraph::FirstParagraph(const std::vector<std::shared_ptr<QXDocxWriterObject>>& objects)
{
    for (const auto& object : objects) {
        if (auto paragraph = std::dynamic_pointer_cast<QXDocxParagraph>(object)) {
            return paragraph;
        }
    }
    return nullptr;
}

QXDocxRunTextArray QXDocxParagraph::allRunTextArray() const
{
    QXDocxRunTextArray runs;
    for (const auto& line : *lineArray_) {
        runs.insert(runs.end(), line->runTextArray().begin(), line->runTextArray().end());
    }
    return runs;
}

std::shared_ptr<QXDocxRunTextLine> QXDocxParagraph::firstRunLineText() const
{
    return lineArray_->empty() ? nullptr : lineArray_->front();
}

double QXDocxParagraph::firstLineTextWidth() const
{
    double width = 0;
    if (const auto line = firstRunLineText()) {
        for (const QXDocxRunTextPtr& run : line->runTextArray()) {
            width += run->textWidth();
        }
    }
    return width;
}

bool QXDocxParagraph::isParagraphBlankText() const
{
    const auto line = firstRunLineText();
    return !line || QXDocxParagraphLayout::isBlankText(line->lineText());
}

void QXDocxParagraph::addRunTextArray(const QXDocxRunTextArray& runs)
{
    if (const auto line = firstRunLineText()) {
        line->addRunTextArray(runs);
    } else {
        lineArray_->push_back(std::make_shared<QXDocxRunTextLine>(runs));
    }
}

void QXDocxParagraph::convertToWriteRunArrayFloatRunPict()
{
    QXDocxRunGroup group;
    for (const QXDocxRunTextPtr& run : allRunTextArray()) {
        group.push_back(run);
    }
    writeRunGroupArray_->clear();
    writeRunGroupArray_->push_back(std::move(group));
}

void QXDocxParagraph::convertToWriteRunArray()
{
    std::vector<QXDocxRunTextArray> lineRuns;
    lineRuns.reserve(lineArray_->size());
    for (const auto& line : *lineArray_) {
        lineRuns.push_back(line->runTextArray());
    }
    QXDocxParagraphRunGroupsResult result =
        QXDocxParagraphRunGroups::build(lineRuns, &QXDocxRunTextLine::MergeLeft2RightRunTextArray);
    // Blanks split off a run join the line's own runs.
    for (std::size_t i = 0; i < lineArray_->size(); ++i) {
        (*lineArray_)[i]->mutableRunTextArray() = std::move(lineRuns[i]);
    }
    for (QXDocxRunGroup& group : result.groups) {
        writeRunGroupArray_->push_back(std::move(group));
    }
    *paragraphText_ = lineArray_->empty() ? std::string() : std::move(result.paragraphText);
}

QXDocxParagraphBlock QXDocxParagraph::paragraphBlock() const
{
    QXDocxParagraphBlock block;
    block.lineCount = static_cast<int>(std::min<std::size_t>(lineArray_->size(), 1'000'000));
    block.yBefore = yBefore_;
    block.yHeight = yHeight_;
    block.yAfter = yAfter_;
    if (const auto first = firstRunLineText()) {
        block.wordSingleLineHeight = first->wordSingleLineHeight();
        block.wordSingleLineBlankTop = first->wordSingleLineBlankTop();
        block.firstLineHeight = first->lineFrame().size.height;
    }
    std::vector<double> bottoms;
    bottoms.reserve(lineArray_->size());
    for (const auto& line : *lineArray_) {
        bottoms.push_back(line->lineFrame().origin.y + line->lineFrame().size.height);
    }
    block.averageBottomDistance = QXDocxParagraphLayout::averageBottomDistance(bottoms);
    return block;
}

void QXDocxParagraph::resolvePProperty()
{
    const auto first = firstRunLineText();
    resolvePProperty(paragraphBlock(), first ? first->lineFrame().origin.x : columnFrame_.origin.x);
}

void QXDocxParagraph::updateContentFrame()
{
    std::vector<QXDocxRunTextArray> lineRuns;
    lineRuns.reserve(lineArray_->size());
    for (const auto& line : *lineArray_) {
        lineRuns.push_back(line->runTextArray());
    }
    contentFrame_ = QXDocxParagraphRunGroups::contentFrame(lineRuns);

    const auto first = firstRunLineText();
    if (!first) {
        return;
    }
    const std::vector<std::string> words = QXConverterUtilities::ComponentsSeparatedByWords(first->lineText());
    if (words.empty()) {
        return;
    }
    firstWord_ = std::make_shared<std::string>(words.front());
    firstWordWidth_ = first->getTextWidth(*firstWord_);
    if (!first->runTextArray().empty()) {
        const QXDocxRunText& run = *first->runTextArray().front();
        const std::size_t runLength = utf16Length(run.runText());
        if (runLength > 0) {
            firstWordWidth_ += static_cast<double>(utf16Length(*firstWord_)) *
                               (run.insideSpacing() / static_cast<double>(runLength));
        }
    }
}

void QXDocxParagraph::setSpaceLineBefore(double value)
{
    pProperty_.spacing.before = static_cast<float>(value);
}

void QXDocxParagraph::setSpaceLine(double value)
{
    pProperty_.spacing.line = static_cast<float>(value);
}

void QXDocxParagraph::setSpaceLineAfter(double value)
{
    pProperty_.spacing.after = static_cast<float>(value);
}

void QXDocxParagraph::setBlankParagraphSpaceLine(double value)
{
    pProperty_.spacing.line = static_cast<float>(value);
    if (value < rProperty_.sz) {
        rProperty_.sz = rProperty_.szCs = static_cast<float>(value);
    }
    contentFrame_.size = {2, value};
}

void QXDocxParagraph::setupOutline(std::int32_t level)
{
    pProperty_.outlineLvl = level;
}

bool QXDocxParagraph::compareOutLine(std::string_view title, bool likeDetect) const
{
    std::vector<std::string> texts;
    texts.reserve(lineArray_->size());
    for (const auto& line : *lineArray_)
        texts.push_back(line->lineText());
    return QXDocxParagraphLayout::matchesOutline(texts, title, likeDetect, pProperty_.outlineLvl);
}

void QXDocxParagraph::insertRunPictArray(const QXDocxRunGroup& pictures)
{
    if (writeRunGroupArray_->empty()) {
        writeRunGroupArray_->emplace_back();
    }
    QXDocxRunGroup& first = writeRunGroupArray_->front();
    first.insert(first.begin(), pictures.begin(), pictures.end());
}

void QXDocxParagraph::setWriteRunGroups(std::vector<QXDocxRunGroup> groups, std::string paragraphText)
{
    *writeRunGroupArray_ = std::move(groups);
    *paragraphText_ = std::move(paragraphText);
}

void QXDocxParagraph::resolvePProperty(const QXDocxParagraphBlock& block, double firstLineX)
{
    if (writeRunGroupArray_->empty()) {
        return;
    }
    if (block.lineCount < 2 && writeRunGroupArray_->front().empty()) {
        return;
    }
    const double previousLine = pProperty_.spacing.line;
    if (block.lineCount < 2) {
        pProperty_.ind.left = static_cast<float>(firstLineX - columnFrame_.origin.x);
    }
    QXDocxParagraphLayout::resolveSpacing(block, pProperty_);
    resolvedHeight_ = pProperty_.spacing.line - previousLine;
    if (const auto last = lastRunText()) {
        rProperty_ = last->rProperty();
    }
}

std::shared_ptr<QXDocxRunText> QXDocxParagraph::lastRunText() const
{
    if (writeRunGroupArray_->empty()) {
        return nullptr;
    }
    const QXDocxRunGroup& first = writeRunGroupArray_->front();
    for (auto it = first.rbegin(); it != first.rend(); ++it) {
        if (auto text = std::dynamic_pointer_cast<QXDocxRunText>(*it)) {
            return text;
        }
    }
    return nullptr;
}

namespace {

// The underline kind of a leader text, 0 for a text that is no leader.
std::int32_t leaderKind(const std::string& text)
{
    if (text.find("__") != std::string::npos) {
        return 1;
    }
    if (text.find("==") != std::string::npos) {
        return 2;
    }
    if (text.find("..") != std::string::npos) {
        return 4;
    }
    if (text.find("._") != std::string::npos) {
        return 6;
    }
    return 0;
}

} // namespace

void QXDocxParagraph::fixOutsideSpacingError()
{
    std::vector<std::shared_ptr<QXDocxRunText>> leaders;
    std::vector<std::shared_ptr<QXDocxRunText>> near;
    std::int32_t kind = 0;
    for (const QXDocxRunGroup& group : *writeRunGroupArray_) {
        for (const auto& run : group) {
            auto text = std::dynamic_pointer_cast<QXDocxRunText>(run);
            if (!text) {
                continue;
            }
            if (const std::int32_t leader = leaderKind(text->runText())) {
                leaders.push_back(text);
                kind = leader;
            } else if (text->outsideSpacing() < kQXDocxLeaderNearFraction * text->textWidth()) {
                near.push_back(text);
            }
        }
    }
    if (leaders.empty()) {
        return;
    }
    for (const auto& run : near) {
        const double limit = std::min(run->textWidth() - kQXDocxLeaderOverlapSlack, kQXDocxLeaderOverlapMax);
        const Rect frame = run->displayRect();
        double covered = 0;
        for (const auto& leader : leaders) {
            const Rect overlap = frame.intersection(leader->displayRect());
            if (!overlap.isNull() && overlap.width() > limit) {
                leader->setRunText(" ");
                covered += leader->textWidth();
            }
        }
        QXDocx_RPr property = run->rProperty();
        property.u = kind;
        run->setRProperty(property);
        const double spacing = run->outsideSpacing() + covered;
        run->setOutsideSpacing(spacing > 0 ? 0 : spacing);
    }
}

bool QXDocxParagraph::haveRunTab() const
{
    for (const QXDocxRunGroup& group : *writeRunGroupArray_) {
        for (const auto& run : group) {
            if (dynamic_cast<const QXDocxRunTab*>(run.get())) {
                return true;
            }
        }
    }
    return false;
}

QXDocx_Tabs QXDocxParagraph::tabsPropertyInParagraph() const
{
    std::vector<double> positions;
    for (const QXDocxRunGroup& group : *writeRunGroupArray_) {
        for (const auto& run : group) {
            if (const auto* tab = dynamic_cast<const QXDocxRunTab*>(run.get())) {
                positions.push_back(tab->tabPostion());
            }
        }
    }
    return QXDocxParagraphLayout::tabStops(positions, pProperty_.jc, columnFrame_.origin.x);
}

void QXDocxParagraph::writeWithXMLWriter(XMLFileWriter& writer)
{
    fixOutsideSpacingError();
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "p");
    QXDocx_PPr property = pProperty_;
    QXDocx_RPr mark = rProperty_;
    const QXDocx_SectPr section = sectProperty_;

    std::vector<QXDocxRunGroup>& groups = *writeRunGroupArray_;
    if (groups.size() >= 2) {
        for (QXDocxRunGroup& group : groups) {
            std::erase_if(group, [](const auto& run) { return dynamic_cast<const QXDocxRunTab*>(run.get()); });
        }
    }
    QXDocxParagraphShape shape;
    shape.groupCount = static_cast<int>(std::min<std::size_t>(groups.size(), 2));
    shape.hasTabRun = haveRunTab();
    shape.textEmpty = paragraphText_->empty();
    shape.columnFrame = columnFrame_;
    shape.contentFrame = contentFrame_;
    if (shape.groupCount == 1 && shape.hasTabRun) {
        pProperty_.jc = QXDocxJustificationLeft;
    }
    QXDocxParagraphLayout::adjustForWriting(shape, property, mark);

    const QXDocx_Tabs tabs = tabsPropertyInParagraph();
    QXDocxParagraphLayout::writeProperties(property, mark, section, tabs, breakColumn_, writer);

    for (const QXDocxRunGroup& group : groups) {
        for (const auto& run : group) {
            if (dynamic_cast<QXDocxRunText*>(run.get())) {
                QXDocx_RPr runProperty = run->rProperty();
                QXDocxParagraphLayout::fitRunSizeToLine(property.spacing.line, runProperty);
                run->setRProperty(runProperty);
            }
            run->writeWithXMLWriter(writer);
        }
    }
    writer.writeEndElement();
}

} // namespace rz
