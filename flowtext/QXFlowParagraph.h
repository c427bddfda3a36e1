// Paragraphs of the flow-text model: an ordered list of runs with
// paragraph, run and section properties worked out from those runs. The
// plain-text paragraph (QXTextParagraph) derives from QXFlowParagraph; the
// HTML and RTF paragraphs derive from QXFlowStyledParagraph, which adds the
// page's text margin and the opening of a new output paragraph.
#pragma once

#include "converter/ooxml/QXDocxRecords.h"
#include "flowtext/QXFlowRun.h"

#include <functional>
#include <memory>
#include <vector>

namespace rz {

class QXFlowFileWriter;
class QXFlowParagraph;

using QXFlowParagraphRef = std::shared_ptr<QXFlowParagraph>;

class QXFlowParagraph {
public:
    // Default paragraph, run and hidden-section properties, no runs.
    QXFlowParagraph();
    virtual ~QXFlowParagraph() = default;

    virtual QXFlowFormat format() const = 0;
    // A new, empty paragraph of the same class.
    virtual QXFlowParagraphRef newParagraph() const = 0;
    // A new paragraph of the same class with equal fields, holding the same
    // run objects in a list of its own.
    virtual QXFlowParagraphRef copy() const = 0;

    // Takes the runs (shared, not copied), then resolvePProperty.
    void initWithRunArray(std::vector<QXFlowRunRef> runs);

    // ind.left = x of the first text run (kept without one); spacing.line =
    // the largest size among the text runs (0 without; sizes that are not
    // numbers skipped); rProperty = the last text run's (kept without one);
    // resolvedHeight = 0, which is returned.
    double resolvePProperty();
    // ind.left = x of the first text run - xColumnPosition; false (and no
    // change) without a text run.
    bool resolveXColumnProperty();

    // Blank paragraphs made by `make` that fill a vertical gap `height`:
    // n = floor(height / max(r.sz, lineSize)) in single precision, at least
    // 1 and at most kMaxBlankParagraphs, each with an exact line of
    // height / n, left indent `indLeft`, run properties `r` and section `s`.
    static std::vector<QXFlowParagraphRef> BlankParagraph(const std::function<QXFlowParagraphRef()>& make,
                                                          double height, double lineSize, double indLeft,
                                                          const QXDocx_RPr& r, const QXDocx_SectPr& s);

    // True when the run is a text run of this paragraph's format.
    bool isOwnRunText(const QXFlowRun& run) const;
    QXFlowRunRef lastRun() const;
    QXFlowRunTextRef firstRunText() const;
    QXFlowRunTextRef lastRunText() const;
    bool isHaveMainText() const;
    // Some text run holds at least one character.
    bool haveText() const;
    // Sum of the text runs' widths.
    double textWidth() const;

    // An empty paragraph writes the writer's line break; any other writes
    // its runs in order.
    virtual void writeWithXMLWriter(QXFlowFileWriter& writer);

    const QXDocx_PPr& pProperty() const { return pProperty_; }
    QXDocx_PPr& pProperty() { return pProperty_; }
    void setPProperty(const QXDocx_PPr& v) { pProperty_ = v; }
    const QXDocx_RPr& rProperty() const { return rProperty_; }
    void setRProperty(const QXDocx_RPr& v) { rProperty_ = v; }
    const QXDocx_SectPr& sectProperty() const { return sectProperty_; }
    QXDocx_SectPr& sectProperty() { return sectProperty_; }
    void setSectProperty(const QXDocx_SectPr& v) { sectProperty_ = v; }
    const std::vector<QXFlowRunRef>& runArray() const { return runArray_; }
    std::vector<QXFlowRunRef>& runArray() { return runArray_; }
    void setRunArray(std::vector<QXFlowRunRef> v) { runArray_ = std::move(v); }
    double resolvedHeight() const { return resolvedHeight_; }
    bool breakColumn() const { return breakColumn_; }
    void setBreakColumn(bool v) { breakColumn_ = v; }
    double xColumnPosition() const { return xColumnPosition_; }
    void setXColumnPosition(double v) { xColumnPosition_ = v; }

protected:
    QXFlowParagraph(const QXFlowParagraph&) = default;
    QXFlowParagraph& operator=(const QXFlowParagraph&) = default;

private:
    QXDocx_PPr pProperty_;
    QXDocx_RPr rProperty_;
    QXDocx_SectPr sectProperty_;
    std::vector<QXFlowRunRef> runArray_;
    double resolvedHeight_ = 0;
    bool breakColumn_ = false;
    double xColumnPosition_ = 0;
};

// The HTML and RTF paragraphs: written after the page's text margin is set
// on them, each output paragraph opened by writeNewLineWithXMLWriter.
class QXFlowStyledParagraph : public QXFlowParagraph {
public:
    // textMargin = the default hidden section's margins.
    QXFlowStyledParagraph();

    // Opens a new paragraph in the output.
    virtual void writeNewLineWithXMLWriter(QXFlowFileWriter& writer) = 0;

    const QXDocx_PgMar& textMargin() const { return textMargin_; }
    void setTextMargin(const QXDocx_PgMar& v) { textMargin_ = v; }

protected:
    QXFlowStyledParagraph(const QXFlowStyledParagraph&) = default;
    QXFlowStyledParagraph& operator=(const QXFlowStyledParagraph&) = default;

private:
    QXDocx_PgMar textMargin_;
};

} // namespace rz
