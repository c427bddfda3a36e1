#include "flowtext/QXFlowParagraph.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/QXFlowLayoutLimits.h"

#include <algorithm>
#include <cmath>

namespace rz {

QXFlowParagraph::QXFlowParagraph()
    : pProperty_(QXDocxUtilities::defaultPProperty()), rProperty_(QXDocxUtilities::defaultRProperty()),
      sectProperty_(QXDocxUtilities::defaultSectPropertyHiden())
{
}

void QXFlowParagraph::initWithRunArray(std::vector<QXFlowRunRef> runs)
{
    runArray_ = std::move(runs);
    resolvePProperty();
}

bool QXFlowParagraph::isOwnRunText(const QXFlowRun& run) const
{
    return run.isRunText() && run.format() == format();
}

double QXFlowParagraph::resolvePProperty()
{
    if (auto first = firstRunText())
        pProperty_.ind.left = static_cast<float>(first->runX());
    float line = 0;
    for (const QXFlowRunRef& run : runArray_) {
        if (!run || !isOwnRunText(*run))
            continue;
        const float size = run->rProperty().sz;
        if (std::isnan(size))
            continue;
        line = std::max(line, size);
    }
    pProperty_.spacing.line = line;
    resolvedHeight_ = 0.0;
    if (auto last = lastRunText())
        rProperty_ = last->rProperty();
    return resolvedHeight_;
}

bool QXFlowParagraph::resolveXColumnProperty()
{
    auto first = firstRunText();
    if (!first)
        return false;
    pProperty_.ind.left = static_cast<float>(first->runX() - xColumnPosition_);
    return true;
}

std::vector<QXFlowParagraphRef> QXFlowParagraph::BlankParagraph(const std::function<QXFlowParagraphRef()>& make,
                                                                 double height, double lineSize, double indLeft,
                                                                 const QXDocx_RPr& r, const QXDocx_SectPr& s)
{
    const double unit = std::max(static_cast<double>(r.sz), lineSize);
    const float quotient = std::floor(static_cast<float>(height) / static_cast<float>(unit));
    int count = 1;
    if (std::isfinite(quotient) && quotient >= 1)
        count = quotient >= static_cast<float>(flowlimits::kMaxBlankParagraphs) ? flowlimits::kMaxBlankParagraphs
                                                                                 : static_cast<int>(quotient);
    const float line = static_cast<float>(height) / static_cast<float>(count);

    std::vector<QXFlowParagraphRef> result;
    result.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        QXFlowParagraphRef paragraph = make();
        QXDocx_PPr p = QXDocxUtilities::defaultPProperty();
        p.spacing.before = 0;
        p.spacing.after = 0;
        p.spacing.line = line;
        QXDocxSetText(p.spacing.lineRule, "exact");
        p.ind.firstLine = 0;
        p.ind.left = static_cast<float>(indLeft);
        p.jc = 0;
        paragraph->setPProperty(p);
        paragraph->setRProperty(r);
        paragraph->setSectProperty(s);
        result.push_back(std::move(paragraph));
    }
    return result;
}

QXFlowRunRef QXFlowParagraph::lastRun() const
{
    return runArray_.empty() ? nullptr : runArray_.back();
}

QXFlowRunTextRef QXFlowParagraph::firstRunText() const
{
    for (const QXFlowRunRef& run : runArray_) {
        if (run && isOwnRunText(*run))
            return std::static_pointer_cast<QXFlowRunText>(run);
    }
    return nullptr;
}

QXFlowRunTextRef QXFlowParagraph::lastRunText() const
{
    for (auto it = runArray_.rbegin(); it != runArray_.rend(); ++it) {
        if (*it && isOwnRunText(**it))
            return std::static_pointer_cast<QXFlowRunText>(*it);
    }
    return nullptr;
}

bool QXFlowParagraph::isHaveMainText() const
{
    return firstRunText() != nullptr;
}

bool QXFlowParagraph::haveText() const
{
    return std::any_of(runArray_.begin(), runArray_.end(), [this](const QXFlowRunRef& run) {
        return run && isOwnRunText(*run) && !static_cast<const QXFlowRunText&>(*run).runText().empty();
    });
}

double QXFlowParagraph::textWidth() const
{
    double width = 0;
    for (const QXFlowRunRef& run : runArray_) {
        if (run && isOwnRunText(*run))
            width += static_cast<const QXFlowRunText&>(*run).textWidth();
    }
    return width;
}

void QXFlowParagraph::writeWithXMLWriter(QXFlowFileWriter& writer)
{
    if (runArray_.empty()) {
        writer.writeLinebreak();
        return;
    }
    for (const QXFlowRunRef& run : runArray_) {
        if (run)
            run->writeWithXMLWriter(writer);
    }
}

QXFlowStyledParagraph::QXFlowStyledParagraph()
    : textMargin_(QXDocxUtilities::defaultSectPropertyHiden().pgMar)
{
}

} // namespace rz
