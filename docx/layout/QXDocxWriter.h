// The DOCX package writer of one document: the streamed main part
// (word/document.xml), the page being built, the document-wide counters,
// and the collections (fonts, relationships, media) from which the other
// parts of the package are written at the end.
//
// Lifecycle, in the exporter's order: initWithPath, begainWriteDocument,
// per page begainWritePage (twice for a page parsed again turned) and
// endWritePage, then endWriteDocument and packetZipFileIfNeed. The package
// is assembled in a work folder and moved into place only when complete;
// packetZipFileIfNeed raises QXConversionException when it could not be
// written. The work folder goes with the writer.
#pragma once

#include "converter/QXWorkFolder.h"
#include "converter/ooxml/QXDocxRecords.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPage.h"
#include "platform/geometry/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <unordered_set>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXDocxWriter {
public:
    // One font-table entry.
    struct FontEntry {
        std::string altName;
        std::string charset;
        std::string family;
        std::string pitch;
    };
    // One relationship of the main part; its id never changes once given.
    // The type is kept without the prefix all types share ("image").
    struct Relationship {
        std::string id;
        std::string type;
        std::string target;
    };

    QXDocxWriter();
    ~QXDocxWriter();
    QXDocxWriter(const QXDocxWriter&) = delete;
    QXDocxWriter& operator=(const QXDocxWriter&) = delete;

    // Makes the work folder for the output path and keeps the page count;
    // view "page", zoom 120.
    void initWithPath(const std::string& path, std::int64_t numOfPages);
    // Resets the counters and collections, opens word/document.xml and
    // writes its head, leaving w:body open.
    void begainWriteDocument();
    // Sets the document-wide counters to their start values; page index 1.
    void setBegainDocxOptions();
    // Starts a page of the given size (points) for the 1-based PDF page
    // number: scan counter 0, a new current page (a second call for the same
    // page replaces the first page unwritten).
    void begainWritePage(Size pageSize, std::int64_t pdfPageIndex);
    // Lays the current page out, writes it, and moves to the next index.
    // A page that fails is abandoned (see abandonPage) and the error raised
    // again.
    void endWritePage();
    // Drops the current page: what it left open in the main part is closed
    // down to the body, and the page index moves on all the same.
    void abandonPage();
    // Writes w:docPr, closes the body and the main part.
    void endWriteDocument();
    // Writes the other parts, packs the package in the work folder and moves
    // it into place; raises QXConversionException (and leaves no output
    // file) when that fails. The work folder is removed in every case.
    void packetZipFileIfNeed();

    // The relationship id an image file is packaged under (the same id for
    // the same path). Ids are counted apart from the list, so an id once
    // given names the same image for the whole document; forgetting a path
    // removes its relationship and keeps the ids of the others. Two paths
    // with the same file name are packaged under different media names.
    // A file that a page already written may show is never forgotten.
    std::string collectImageWithPath(const std::string& path);
    void removeCollectedImageWithPath(const std::string& path);

    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return workFolder_.path(); }
    std::int64_t docxNumOfPages() const { return docxNumOfPages_; }
    const QXDocx_DocPr& docxProperty() const { return docxProperty_; }
    void setDocxProperty(const QXDocx_DocPr& value) { docxProperty_ = value; }
    const std::shared_ptr<QXDocxPage>& currentPage() const { return currentPage_; }
    std::int64_t currentDocxPageIndex() const { return currentDocxPageIndex_; }
    const std::shared_ptr<XMLFileWriter>& documentWriter() const { return documentWriter_; }
    const std::vector<FontEntry>& fontTable() const { return docxFontTable_; }
    const std::vector<Relationship>& relationships() const { return docxRelationships_; }
    // The collected media files, in collection order.
    std::vector<std::string> mediaCollection() const;

private:
    // Notes every collected file as shown by a written page.
    void markWrittenMedia();
    void setDefaultFontTable();
    void setDefaultMediaCollection();
    void setDefaultRelationships();
    void setDefaultDocumentWriter();
    std::string newRelationshipId();
    [[noreturn]] void failWriting(const std::string& why) const;

    // The part writers, in packing order, each given the work folder.
    void docxWriteRels(const std::string& folder);
    void docxWriteDocPropsApp(const std::string& folder);
    void docxWriteDocPropsCore(const std::string& folder);
    void docxWriteContentTypes(const std::string& folder);
    void docxWriteWordMedia(const std::string& folder);
    void docxWriteWordRels(const std::string& folder);
    void docxWriteWordFontTable(const std::string& folder);
    void docxWriteWordSettings(const std::string& folder);
    void docxWriteWordStyles(const std::string& folder);
    void docxWriteWordTheme1(const std::string& folder);
    void docxWriteWordWebSettings(const std::string& folder);
    void packPackage(const std::string& zipPath);

    std::shared_ptr<XMLFileWriter> documentWriter_;
    std::string savedFilePath_;
    QXWorkFolder workFolder_;
    std::int64_t docxNumOfPages_ = 0;
    QXDocx_DocPr docxProperty_;
    std::vector<FontEntry> docxFontTable_;
    std::vector<Relationship> docxRelationships_;
    // The relationship id of each collected media path.
    std::map<std::string, std::string> docxMediaIds_;
    // The entries of docxMediaIds_ in collection order (the paths are kept
    // once, in the map).
    std::vector<std::map<std::string, std::string>::const_iterator> docxMediaCollection_;
    // The first this many entries of the media collection were collected
    // when a page was written (or abandoned): its pictures may refer to
    // them. Only later entries can be forgotten, so they stay in front.
    std::size_t writtenMediaCount_ = 0;
    // Hashes of the media targets handed out: a name whose hash is new is
    // free without a look through the relationships.
    std::unordered_set<std::size_t> mediaTargetHashes_;
    // The number of the last relationship id handed out.
    std::int64_t lastRelationshipNumber_ = 0;
    std::shared_ptr<QXDocxPage> currentPage_;
    std::int64_t currentDocxPageIndex_ = 1;
    // The depth of the open w:body in the main part.
    int bodyLevel_ = 0;
    // The section properties of the last written page, and whether the body's
    // closing section properties are written already.
    std::optional<QXDocx_SectPr> closingSectProperty_;
    bool closingSectionWritten_ = false;
};

} // namespace rz
