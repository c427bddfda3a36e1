// Helpers of the parser tests: fixture documents from readable text, and a
// recording delegate.
#pragma once

#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/parser/QXPDFTraceDelegate.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/pdf/PdfDocument.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rz::test {

// A one-page document: the page (object 3) has the given content (object
// 4), resources and extra entries; `objects` adds numbered objects (5 and
// up), a body starting with "stream " followed by the dictionary entries on
// its first line and the data after it making a stream.
std::string fixturePdf(const std::string& content, const std::string& resources = "<< >>",
                       const std::map<int, std::string>& objects = {}, const std::string& pageExtra = {});

// The opened document of a fixture (kept alive by the caller).
std::shared_ptr<pdf::Document> openFixture(const std::string& pdf);

// The trace of page 1 of a fixture, warnings last.
std::vector<std::string> traceOf(const std::string& content, const std::string& resources = "<< >>",
                                 const std::map<int, std::string>& objects = {});

// Runs page 1 with a delegate (the trace when none) on a fresh stack and
// hands the parser and stack to `inspect` after the run.
struct RunResult {
    std::shared_ptr<pdf::Document> document;
    std::unique_ptr<QXPDFConentParser> parser;
    std::shared_ptr<QXPDFRenderStateStack> stack;
};
RunResult runPage(const std::string& pdf, QXPDFConentParserDelegate* delegate = nullptr);

// Lines of `lines` that start with `prefix`.
std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix);

// A delegate that calls a function at each event with the event's kind
// ("text", "path", "patternpath", "shading", "image", "textbox").
class CallbackDelegate : public QXPDFTraceDelegate {
public:
    std::function<void(QXPDFConentParser&, const std::string& kind)> onEvent;

    void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& p, const std::string& text,
                                                  Size offset) override;
    void QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& p, const Path& path, bool stroke,
                                                   bool fill) override;
    void QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& p, const Path& path, bool stroke,
                                                          bool fill) override;
    void QXPDFConentParser_didScanPaintShading(QXPDFConentParser& p,
                                               const std::shared_ptr<QXPDFShading>& shading) override;
    void QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& p,
                                               const std::shared_ptr<QXPDFImageXObject>& image) override;
};

} // namespace rz::test
