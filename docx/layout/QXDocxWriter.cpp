#include "docx/layout/QXDocxWriter.h"

#include "converter/ooxml/QXDocxCounters.h"
#include "converter/ooxml/QXDocxProperty.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "docx/graphics/QXDocxHeldImages.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxVMLShapes.h"
#include "platform/core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace rz {

namespace names = QXDocxPackageNames;

QXDocxWriter::QXDocxWriter()
{
    QXDocxSetText(docxProperty_.view, "page");
    docxProperty_.zoom = 120.0f;
}

QXDocxWriter::~QXDocxWriter()
{
    QXDocxHeldImages::release(this, nullptr);
    currentPage_.reset();
    documentWriter_.reset();
    workFolder_.remove();
}

void QXDocxWriter::initWithPath(const std::string& path, std::int64_t numOfPages)
{
    documentWriter_.reset();
    savedFilePath_ = path;
    docxNumOfPages_ = numOfPages;
    workFolder_.create(path);
    QXDocxSetText(docxProperty_.view, "page");
    docxProperty_.zoom = 120.0f;
}

void QXDocxWriter::setBegainDocxOptions()
{
    QXDocxResetDocumentCounters();
    QXDocxVMLShapes::reset();
    currentDocxPageIndex_ = 1;
}

void QXDocxWriter::setDefaultFontTable()
{
    docxFontTable_ = {
        {"Times New Roman", "0", "roman", "variable"},
        {"Arial", "0", "swiss", "variable"},
    };
}

void QXDocxWriter::setDefaultMediaCollection()
{
    docxMediaCollection_.clear();
    docxMediaIds_.clear();
    writtenMediaCount_ = 0;
    mediaTargetHashes_.clear();
}

std::string QXDocxWriter::newRelationshipId()
{
    return "rId" + formatInteger(++lastRelationshipNumber_);
}

void QXDocxWriter::setDefaultRelationships()
{
    docxRelationships_.clear();
    lastRelationshipNumber_ = 0;
    for (const char* name : {"styles", "fontTable", "theme", "settings", "webSettings"}) {
        const std::string target = std::string(name) == "theme" ? "theme/theme1.xml" : std::string(name) + ".xml";
        docxRelationships_.push_back({newRelationshipId(), name, target});
    }
    // No stylesWithEffects relationship: the document starts with markup
    // version 2006, which has no such part.
}

void QXDocxWriter::setDefaultDocumentWriter()
{
    if (documentWriter_ && documentWriter_->isOpen())
        documentWriter_->closeFile();
    documentWriter_.reset();
    if (workFolder_.path().empty())
        failWriting("the document has no work folder");
    const std::string word = workFolder_.path() + "/word";
    std::error_code ec;
    fs::create_directories(word, ec);
    documentWriter_ = std::make_shared<XMLFileWriter>(word + "/document.xml");
    XMLFileWriter& writer = *documentWriter_;
    writer.setPrefix("w", QXOpenXMLNameSpace::nameSpace_w());
    writer.setPrefix("v", names::kVML);
    writer.setPrefix("r", QXOpenXMLNameSpace::nameSpace_r());
    writer.setPrefix("o", names::kOffice);
    writer.setPrefix("wp", names::kWordDrawing);
    writer.setPrefix("w10", names::kWord10);
    writer.setPrefix("ve", names::kMarkupCompatibility);
    writer.setPrefix("m", names::kMath);
    writer.setPrefix("wne", names::kWordML2006);
}

void QXDocxWriter::begainWriteDocument()
{
    setBegainDocxOptions();
    setDefaultFontTable();
    setDefaultMediaCollection();
    setDefaultRelationships();
    setDefaultDocumentWriter();
    XMLFileWriter& writer = *documentWriter_;
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    writer.writeStartElementWithNamespace(w, "document");
    writer.writeAttributeWithNamespace(names::kXML, "space", "preserve");
    writer.writeStartElementWithNamespace(w, "body");
    bodyLevel_ = writer.level();
    closingSectProperty_.reset();
    closingSectionWritten_ = false;
}

void QXDocxWriter::begainWritePage(Size pageSize, std::int64_t pdfPageIndex)
{
    QXDocxScanCounter = 0;
    currentPage_.reset();
    currentPage_ = std::make_shared<QXDocxPage>(documentWriter_, pageSize, currentDocxPageIndex_ == 1,
                                                currentDocxPageIndex_ >= docxNumOfPages_);
    currentPage_->setDocxWriter(this);
    currentPage_->setPdfPageIndex(pdfPageIndex);
    currentPage_->begainWritePage(currentDocxPageIndex_);
}

void QXDocxWriter::endWritePage()
{
    try {
        if (currentPage_) {
            currentPage_->endWritePage(currentDocxPageIndex_);
            closingSectProperty_ = currentPage_->sectProperty();
            closingSectionWritten_ = currentPage_->isDocumentLastPage();
        }
        markWrittenMedia();
    } catch (...) {
        abandonPage();
        throw;
    }
    currentPage_.reset();
    ++currentDocxPageIndex_;
}

void QXDocxWriter::markWrittenMedia()
{
    // The pictures held for the page get their files when the package
    // refers to them.
    const std::vector<std::string> unwritten = QXDocxHeldImages::release(
        this, [this](const std::string& path) { return docxMediaIds_.count(path) != 0; });
    writtenMediaCount_ = docxMediaCollection_.size();
    if (!unwritten.empty())
        failWriting("the picture " + unwritten.front() + " could not be written");
}

void QXDocxWriter::abandonPage()
{
    markWrittenMedia();
    currentPage_.reset();
    ++currentDocxPageIndex_;
    // Whatever the page left open is closed, so that the following pages
    // are written beside it in the body, never inside it.
    if (documentWriter_ && documentWriter_->isOpen()) {
        try {
            while (documentWriter_->level() > bodyLevel_)
                documentWriter_->writeEndElement();
        } catch (const XMLWriterException&) {
            // The file itself failed; the document fails when it is ended.
        }
    }
}

void QXDocxWriter::endWriteDocument()
{
    if (!documentWriter_ || !documentWriter_->isOpen())
        return;
    // The view settings (page view, zoom 120) live in the settings part:
    // WordprocessingML has no document-properties element in the body, and
    // Word refuses a body holding an element it does not know.
    XMLFileWriter& writer = *documentWriter_;
    while (writer.level() > bodyLevel_)
        writer.writeEndElement();
    // The body ends with the last section's properties, written by the
    // document's last page; when that page failed or was never converted,
    // they are written here with the last written page's size and margins.
    if (!closingSectionWritten_) {
        QXDocx_SectPr record = closingSectProperty_.value_or(QXDocxUtilities::defaultSectPropertyHiden());
        record.shouldWrite = true;
        record.type = QXDocxSectionTypeContinuous;
        QXDocxProperty::NewWriteSectProperty(record)->writeWithXMLWriter(writer);
        closingSectionWritten_ = true;
    }
    writer.writeEndElement(); // body
    writer.writeEndElement(); // document
    writer.writeEndDocument();
}

std::string QXDocxWriter::collectImageWithPath(const std::string& path)
{
    if (const auto found = docxMediaIds_.find(path); found != docxMediaIds_.end())
        return found->second;
    const fs::path file(path);
    std::string target = "media/" + file.filename().string();
    const std::string id = newRelationshipId();
    const std::hash<std::string> hash;
    const auto taken = [&](const std::string& name) {
        if (mediaTargetHashes_.count(hash(name)) == 0)
            return false;
        return std::any_of(docxRelationships_.begin(), docxRelationships_.end(),
                           [&](const Relationship& r) { return r.target == name; });
    };
    if (taken(target))
        target = "media/" + file.stem().string() + "-" + id + file.extension().string();
    mediaTargetHashes_.insert(hash(target));
    docxMediaCollection_.push_back(docxMediaIds_.emplace(path, id).first);
    docxRelationships_.push_back({id, "image", target});
    return id;
}

std::vector<std::string> QXDocxWriter::mediaCollection() const
{
    std::vector<std::string> paths;
    paths.reserve(docxMediaCollection_.size());
    for (const auto& entry : docxMediaCollection_)
        paths.push_back(entry->first);
    return paths;
}

void QXDocxWriter::removeCollectedImageWithPath(const std::string& path)
{
    const auto found = docxMediaIds_.find(path);
    if (found == docxMediaIds_.end())
        return;
    // Written pages may show what was collected before them.
    const auto unwritten = docxMediaCollection_.begin() + static_cast<std::ptrdiff_t>(writtenMediaCount_);
    const auto media = std::find(unwritten, docxMediaCollection_.end(), found);
    if (media == docxMediaCollection_.end())
        return;
    const std::string id = found->second;
    docxMediaCollection_.erase(media);
    docxMediaIds_.erase(found);
    if (const auto relationship = std::find_if(docxRelationships_.begin(), docxRelationships_.end(),
                                               [&](const Relationship& r) { return r.id == id; });
        relationship != docxRelationships_.end())
        docxRelationships_.erase(relationship);
}

void QXDocxWriter::failWriting(const std::string& why) const
{
    QXWorkFolder::failWriting(savedFilePath_, why);
}

} // namespace rz
