// Runs of the flow-text model: a base run (properties and geometry) and a
// text run (a base run with characters and widths). Each output format has
// its own pair of classes (QXTextRun/QXTextRunText, QXHTMLRun/...,
// QXRTFRun/...), told apart by their format; a paragraph takes as text runs
// only the text runs of its own format.
#pragma once

#include "converter/QXPDF_CTMInfo.h"
#include "converter/ooxml/QXDocxRecords.h"
#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rz {

class QXFlowFileWriter;

enum class QXFlowFormat { Text, HTML, RTF };

class QXFlowRun {
public:
    QXFlowRun();
    virtual ~QXFlowRun() = default;

    virtual QXFlowFormat format() const = 0;
    // True for the text runs.
    virtual bool isRunText() const { return false; }
    // A new run of the same class with equal fields.
    virtual std::shared_ptr<QXFlowRun> copy() const = 0;
    // The empty rectangle for a base run.
    virtual Rect displayRect() const;
    // A base run writes nothing.
    virtual void writeWithXMLWriter(QXFlowFileWriter& writer);

    // The run's properties. Runs made one after another with equal
    // properties share one record (setSharedRProperty); setRProperty gives
    // the run a record of its own.
    const QXDocx_RPr& rProperty() const { return *rProperty_; }
    void setRProperty(const QXDocx_RPr& v) { rProperty_ = std::make_shared<const QXDocx_RPr>(v); }
    const std::shared_ptr<const QXDocx_RPr>& sharedRProperty() const { return rProperty_; }
    void setSharedRProperty(std::shared_ptr<const QXDocx_RPr> v);
    const QXPDF_CTMInfo& ctmInfo() const { return ctmInfo_; }
    void setCtmInfo(const QXPDF_CTMInfo& v) { ctmInfo_ = v; }
    std::uint64_t pdfScanIndex() const { return pdfScanIndex_; }
    void setPdfScanIndex(std::uint64_t v) { pdfScanIndex_ = v; }

protected:
    QXFlowRun(const QXFlowRun&) = default;
    QXFlowRun& operator=(const QXFlowRun&) = default;

private:
    std::shared_ptr<const QXDocx_RPr> rProperty_;
    QXPDF_CTMInfo ctmInfo_;
    std::uint64_t pdfScanIndex_ = 0;
};

class QXFlowRunText : public QXFlowRun {
public:
    QXFlowRunText() = default;

    bool isRunText() const override { return true; }
    // origin = ctmInfo.topLeft, width = textWidth, height = |bottom - top|.
    Rect displayRect() const override;
    // "<Class: 0x...: text [x, y][textWidth][spaceWidth]>".
    std::string description() const;
    virtual const char* className() const = 0;
    // Writes the run's characters (writeTextWithXMLWriter of runText).
    void writeWithXMLWriter(QXFlowFileWriter& writer) override;
    // Writes `text`, the run's characters or a part of them, in the run's
    // format and properties.
    virtual void writeTextWithXMLWriter(QXFlowFileWriter& writer, std::u16string_view text) = 0;

    // The characters, UTF-16.
    const std::u16string& runText() const { return runText_; }
    std::u16string& runText() { return runText_; }
    void setRunText(std::u16string v) { runText_ = std::move(v); }
    // Horizontal extent of the text in display space, points.
    double textWidth() const { return textWidth_; }
    void setTextWidth(double v) { textWidth_ = v; }
    // Width of one space of the run's font at its size, points.
    double spaceWidth() const { return spaceWidth_; }
    void setSpaceWidth(double v) { spaceWidth_ = v; }

    // Geometry the layout reads.
    double runTop() const { return ctmInfo().topLeft.y; }
    double runLeft() const { return ctmInfo().topLeft.x; }
    double runX() const { return ctmInfo().bottomLeft.x; }
    double runBottom() const { return ctmInfo().bottomLeft.y; }
    double runEnd() const { return runX() + textWidth_; }
    double runFontWidth() const { return ctmInfo().fontSize.width; }

protected:
    QXFlowRunText(const QXFlowRunText&) = default;
    QXFlowRunText& operator=(const QXFlowRunText&) = default;

private:
    std::u16string runText_;
    double textWidth_ = 0;
    double spaceWidth_ = 0;
};

using QXFlowRunRef = std::shared_ptr<QXFlowRun>;
using QXFlowRunTextRef = std::shared_ptr<QXFlowRunText>;

} // namespace rz
