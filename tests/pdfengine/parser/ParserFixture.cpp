#include "ParserFixture.h"

#include "pdfengine/images/QXPDFImageCache.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

namespace rz::test {

std::string fixturePdf(const std::string& content, const std::string& resources,
                       const std::map<int, std::string>& objects, const std::string& pageExtra)
{
    PdfWriter w;
    w.set(1, "<< /Type /Catalog /Pages 2 0 R >>");
    w.set(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    w.set(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources " + resources +
                 " " + pageExtra + " >>");
    w.setStream(4, "", content);
    for (const auto& [number, body] : objects) {
        if (body.rfind("stream ", 0) == 0) {
            const size_t eol = body.find('\n');
            const std::string dict = body.substr(7, eol == std::string::npos ? std::string::npos : eol - 7);
            w.setStream(number, dict, eol == std::string::npos ? std::string() : body.substr(eol + 1));
        } else {
            w.set(number, body);
        }
    }
    return w.build(1);
}

std::shared_ptr<pdf::Document> openFixture(const std::string& pdf)
{
    auto doc = pdf::Document::openData(pdf);
    EXPECT_TRUE(doc) << "fixture did not open";
    return doc;
}

std::vector<std::string> traceOf(const std::string& content, const std::string& resources,
                                 const std::map<int, std::string>& objects)
{
    const auto doc = openFixture(fixturePdf(content, resources, objects));
    if (!doc)
        return {};
    return QXPDFTraceDelegate::tracePage(doc->page(1), false);
}

RunResult runPage(const std::string& pdf, QXPDFConentParserDelegate* delegate)
{
    RunResult r;
    r.document = openFixture(pdf);
    if (!r.document)
        return r;
    static QXPDFTraceDelegate quiet;
    r.stack = std::make_shared<QXPDFRenderStateStack>();
    r.parser = std::make_unique<QXPDFConentParser>(r.document->page(1));
    r.parser->setDelegate(delegate ? delegate : &quiet);
    r.parser->setRenderingStateStack(r.stack);
    r.parser->setIsParserAnnots(0);
    static const auto cache = std::make_shared<QXPDFImageCache>();
    r.parser->setImageCache(cache);
    r.parser->startParser();
    return r;
}

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (l.rfind(prefix, 0) == 0)
            out.push_back(l);
    return out;
}

void CallbackDelegate::QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& p, const std::string& text,
                                                                Size offset)
{
    QXPDFTraceDelegate::QXPDFConentParser_didScanText_textOffset(p, text, offset);
    if (onEvent)
        onEvent(p, "text");
}

void CallbackDelegate::QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser& p, const Path& path,
                                                                 bool stroke, bool fill)
{
    QXPDFTraceDelegate::QXPDFConentParser_didScanPath_stroke_fill(p, path, stroke, fill);
    if (onEvent)
        onEvent(p, "path");
}

void CallbackDelegate::QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser& p, const Path& path,
                                                                        bool stroke, bool fill)
{
    QXPDFTraceDelegate::QXPDFConentParser_didScanPatternPath_stroke_fill(p, path, stroke, fill);
    if (onEvent)
        onEvent(p, "patternpath");
}

void CallbackDelegate::QXPDFConentParser_didScanPaintShading(QXPDFConentParser& p,
                                                             const std::shared_ptr<QXPDFShading>& shading)
{
    QXPDFTraceDelegate::QXPDFConentParser_didScanPaintShading(p, shading);
    if (onEvent)
        onEvent(p, "shading");
}

void CallbackDelegate::QXPDFConentParser_didScanXObjectImage(QXPDFConentParser& p,
                                                             const std::shared_ptr<QXPDFImageXObject>& image)
{
    QXPDFTraceDelegate::QXPDFConentParser_didScanXObjectImage(p, image);
    if (onEvent)
        onEvent(p, "image");
}

} // namespace rz::test
