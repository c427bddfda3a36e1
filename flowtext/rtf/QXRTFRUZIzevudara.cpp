#include "flowtext/rtf/QXRTFRUZIzevudara.h"

#include "flowtext/QXFlowTextAppInfo.h"
#include "flowtext/rtf/QXRTFPage.h"
#include "flowtext/rtf/QXRTFState.h"

namespace rz {

void QXRTFRUZIzevudara::begainWriteDocument()
{
    contentPath_ = savedWorkFolder() + "/content.rtf";
    documentPath_ = savedWorkFolder() + "/document.rtf";
    if (contentWriter_)
        contentWriter_->closeFile();
    contentWriter_ = std::make_shared<QXRTFFileWriter>();
    contentWriter_->openPath(contentPath_);
    if (documentWriter_)
        documentWriter_->closeFile();
    documentWriter_ = std::make_shared<QXRTFFileWriter>();
    documentWriter_->openPath(documentPath_);
    setBegainDocxOptions();
    QXRTFState::sharedInstance().resetToDefault();
}

std::shared_ptr<QXFlowPage> QXRTFRUZIzevudara::newPage()
{
    return std::make_shared<QXRTFPage>();
}

void QXRTFRUZIzevudara::packetZipFileIfNeed()
{
    if (!documentWriter_ || !contentWriter_)
        failWriting("the document was never begun");
    QXRTFFileWriter& w = *documentWriter_;
    const QXRTFState& state = QXRTFState::sharedInstance();

    w.write("{\\rtf1\\ansi\\mac\n");
    w.write("{\\fonttbl");
    state.writeRegistedFonts(w);
    w.write("}\n");
    w.write("{\\colortbl");
    state.writeRegistedColors(w);
    w.write("}\n");
    w.write("{\\info\n");
    w.write("{\\doccomm Powered by " + QXFlowApplicationDisplayName() + " v" + QXFlowApplicationVersion() + " " +
            QXFlowApplicationMaker() + "}\n");
    w.write("}\n");
    contentWriter_->closeFile();
    const bool contentWritten = !contentWriter_->failed();
    w.appendFile(contentPath_);
    w.write("\n}");
    w.closeFile();

    if (!contentWritten || w.failed()) {
        removeWorkFolder();
        failWriting("the RTF document could not be written");
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
