#include "flowtext/html/QXHTMLRUZIzevudara.h"

#include "flowtext/QXFlowTextAppInfo.h"
#include "flowtext/html/QXHTMLPage.h"
#include "flowtext/html/QXHTMLState.h"
#include "flowtext/html/QXHTMLUtilities.h"

#include <filesystem>

namespace rz {

void QXHTMLRUZIzevudara::begainWriteDocument()
{
    contentPath_ = savedWorkFolder() + "/content.html";
    documentPath_ = savedWorkFolder() + "/document.html";
    if (contentWriter_)
        contentWriter_->closeFile();
    contentWriter_ = std::make_shared<QXHTMLFileWriter>();
    contentWriter_->openPath(contentPath_);
    if (documentWriter_)
        documentWriter_->closeFile();
    documentWriter_ = std::make_shared<QXHTMLFileWriter>();
    documentWriter_->openPath(documentPath_);
    setBegainDocxOptions();
    QXHTMLState::sharedInstance().resetToDefault();
}

std::shared_ptr<QXFlowPage> QXHTMLRUZIzevudara::newPage()
{
    return std::make_shared<QXHTMLPage>();
}

void QXHTMLRUZIzevudara::packetZipFileIfNeed()
{
    if (!documentWriter_ || !contentWriter_)
        failWriting("the document was never begun");
    QXHTMLFileWriter& w = *documentWriter_;
    const std::string& name = QXFlowApplicationDisplayName();
    const std::string& version = QXFlowApplicationVersion();
    const std::string title = std::filesystem::path(savedFilePath()).stem().string();

    w.writeFormat("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\" "
                  "\"http://www.w3.org/TR/html4/strict.dtd\">\n");
    w.writeFormat("<!--");
    w.writeFormat("Powered by " + name + " " + version + " " + QXFlowApplicationMaker());
    w.writeFormat("-->\n");
    w.writeFormat("<html>\n");
    w.writeFormat("<head>\n");
    w.writeFormat("  <title>" + QXHTMLUtilities::escapedHTMLText(title) + "</title>\n");
    w.writeFormat("  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n");
    w.writeFormat("  <meta http-equiv=\"Content-Style-Type\" content=\"text/css\">\n");
    w.writeFormat("  <meta name=\"Generator\" content=\"" + QXHTMLUtilities::escapedHTMLText(name) + "\">\n");
    w.writeFormat("  <meta name=\"Version\" content=\"" + QXHTMLUtilities::escapedHTMLText(version) + "\">\n");
    w.writeFormat(" <style type=\"text/css\">\n");
    const QXHTMLState& state = QXHTMLState::sharedInstance();
    state.writeRegistedCSSParagraph(w);
    state.writeRegistedCSSSpan(w);
    w.writeFormat(" </style>\n");
    w.writeFormat("</head>\n");
    w.writeFormat("<body>");
    contentWriter_->closeFile();
    const bool contentWritten = !contentWriter_->failed();
    w.appendFile(contentPath_);
    w.writeFormat("\n</body>\n");
    w.writeFormat("</html>");
    w.closeFile();

    if (!contentWritten || w.failed()) {
        removeWorkFolder();
        failWriting("the HTML document could not be written");
    }
    try {
        moveFileIntoPlace(documentPath_, savedFilePath());
    } catch (...) {
        removeWorkFolder();
        throw;
    }
    removeWorkFolder();
}

} // namespace rz
