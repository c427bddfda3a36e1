// The plain-text runs: a base run and a text run that writes its
// characters as they are.
#pragma once

#include "flowtext/QXFlowRun.h"

namespace rz {

class QXTextRun : public QXFlowRun {
public:
    QXTextRun() = default;
    QXFlowFormat format() const override { return QXFlowFormat::Text; }
    std::shared_ptr<QXFlowRun> copy() const override { return std::make_shared<QXTextRun>(*this); }
    QXTextRun(const QXTextRun&) = default;
};

class QXTextRunText : public QXFlowRunText {
public:
    QXTextRunText() = default;
    QXTextRunText(const QXTextRunText&) = default;
    QXFlowFormat format() const override { return QXFlowFormat::Text; }
    std::shared_ptr<QXFlowRun> copy() const override { return std::make_shared<QXTextRunText>(*this); }
    const char* className() const override { return "QXTextRunText"; }
    // The characters, unescaped.
    void writeTextWithXMLWriter(QXFlowFileWriter& writer, std::u16string_view text) override;
};

} // namespace rz
