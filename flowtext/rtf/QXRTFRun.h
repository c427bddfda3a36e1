// The RTF runs: a base run and a text run that writes the font and colour
// control words that changed, then its escaped characters.
#pragma once

#include "flowtext/QXFlowRun.h"

namespace rz {

class QXRTFRun : public QXFlowRun {
public:
    QXRTFRun() = default;
    QXRTFRun(const QXRTFRun&) = default;
    QXFlowFormat format() const override { return QXFlowFormat::RTF; }
    std::shared_ptr<QXFlowRun> copy() const override { return std::make_shared<QXRTFRun>(*this); }
};

class QXRTFRunText : public QXFlowRunText {
public:
    QXRTFRunText() = default;
    QXRTFRunText(const QXRTFRunText&) = default;
    QXFlowFormat format() const override { return QXFlowFormat::RTF; }
    std::shared_ptr<QXFlowRun> copy() const override { return std::make_shared<QXRTFRunText>(*this); }
    const char* className() const override { return "QXRTFRunText"; }
    // Font (rFonts.ascii, size x 2 half-points, bold, italic, underline),
    // then colour (components / 255), then the escaped text.
    void writeTextWithXMLWriter(QXFlowFileWriter& writer, std::u16string_view text) override;
};

} // namespace rz
