// The HTML runs: a base run and a text run that writes its span tags
// through QXHTMLState, then its escaped characters.
#pragma once

#include "flowtext/QXFlowRun.h"

namespace rz {

class QXHTMLRun : public QXFlowRun {
public:
    QXHTMLRun() = default;
    QXHTMLRun(const QXHTMLRun&) = default;
    QXFlowFormat format() const override { return QXFlowFormat::HTML; }
    std::shared_ptr<QXFlowRun> copy() const override { return std::make_shared<QXHTMLRun>(*this); }
};

class QXHTMLRunText : public QXFlowRunText {
public:
    QXHTMLRunText() = default;
    QXHTMLRunText(const QXHTMLRunText&) = default;
    QXFlowFormat format() const override { return QXFlowFormat::HTML; }
    std::shared_ptr<QXFlowRun> copy() const override { return std::make_shared<QXHTMLRunText>(*this); }
    const char* className() const override { return "QXHTMLRunText"; }
    // Opens or continues the span of the run's decoration, weight, style,
    // font (size x 1.2 px) and colour, then writes the escaped text.
    void writeTextWithXMLWriter(QXFlowFileWriter& writer, std::u16string_view text) override;
};

} // namespace rz
