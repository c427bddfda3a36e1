// The output side of the spreadsheet exporter, one per document: a work
// folder, one QXExcelPage per page, and at the end either the XLSX package
// or the folder of CSV files ("Table N.csv", one per page with text) moved
// to the destination. Which of the two follows from the destination's
// extension: "xlsx" gives a package, anything else CSV files.
//
// Lifecycle: initWithPath, begainWriteDocument, per page begainWritePage
// and endWritePage, then packetZipFileIfNeed. Every part is written under a
// temporary name and renamed when complete; a page that failed still has a
// (possibly empty) worksheet, so every part the package declares exists.
// packetZipFileIfNeed raises QXConversionException, leaving no output,
// when the package or the CSV folder could not be completed, or when an
// earlier failure (shared strings, a CSV file, the single sheet growing
// past its limits) made the document unsound. The work folder goes with
// the writer.
#pragma once

#include "converter/QXWorkFolder.h"
#include "platform/geometry/Geometry.h"
#include "xlsx/package/QXExcelAIOSWriter.h"
#include "xlsx/package/QXExcelSharedStrings.h"
#include "xlsx/sheet/QXExcelPage.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

namespace pdf {
class Document;
}
class QXPDFInfo;

class QXExcelWriter {
public:
    struct Relationship {
        std::string type;
        std::string target;
    };

    // The name of the last-modified-by property.
    static constexpr const char* kApplicationName = "Verdexa Sheets";

    QXExcelWriter();
    ~QXExcelWriter();
    QXExcelWriter(const QXExcelWriter&) = delete;
    QXExcelWriter& operator=(const QXExcelWriter&) = delete;

    // A new work folder named after the destination, the shared-strings
    // part (XLSX) and the single-sheet collector. totalSheetPages is the
    // page count, or 1 with all pages in one sheet.
    void initWithPath(const std::string& path, uint64_t numOfPages);
    // The workbook's relationships: the sheets, then theme, styles and
    // shared strings; the shared-strings part begun.
    void begainWriteDocument();
    // A new current page, numbered one past the last page begun.
    void begainWritePage(Size pageSize);
    // Builds and writes the current page: its CSV file, or its worksheet
    // (or its place in the single sheet) with its texts appended to the
    // shared strings. Raises when the page could not be written, and for
    // every page after a failure that made the document unsound.
    void endWritePage();
    void endWriteDocument() {}
    // Completes the package (or moves the CSV folder) into place; see above.
    void packetZipFileIfNeed(const std::shared_ptr<pdf::Document>& document);

    bool isExcelConvert() const;
    // The failure that made the document unsound, if any: later pages are
    // refused with it and the document ends with it.
    const std::optional<std::string>& failure() const { return failure_; }
    const std::shared_ptr<QXExcelPage>& currentPage() const { return currentPage_; }
    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return workFolder_.path(); }
    const std::vector<Relationship>& excelRelationships() const { return excelRelationships_; }
    const std::vector<std::string>& sheetIdsList() const { return sheetIdsList_; }
    uint64_t currentPageIndex() const { return currentPageIndex_; }
    uint64_t totalSheetPages() const { return totalSheetPages_; }
    const Size& slideSize() const { return slideSize_; }
    QXExcelSharedStrings* sharedStrings() const { return sharedStrings_.get(); }
    QXExcelAIOSWriter* aiosWriter() const { return aiosWriter_.get(); }

    // The UTF-16LE bytes of a CSV file: the byte-order mark FF FE, then the
    // text (characters beyond the Basic Multilingual Plane as surrogate
    // pairs).
    static std::string csvFileBytes(std::string_view utf8Text);

private:
    void endWriteCSVPage(QXExcelPage& page);
    void endWriteSheetPage(QXExcelPage& page);
    void writeMissingSheets(const std::string& folder);
    void writeRels(const std::string& folder);
    void writeContentTypes(const std::string& folder);
    void writeDocPropsApp(const std::string& folder);
    void writeDocPropsCore(const std::string& folder);
    void writeWorkbookRels(const std::string& folder);
    void writeWorkbook(const std::string& folder);
    void packPackage(const std::string& zipPath);
    void moveCSVFolderIntoPlace();
    // Remembers the first failure that leaves the document unsound.
    void markFailed(const std::string& why);

    std::string savedFilePath_;
    QXWorkFolder workFolder_;
    std::vector<Relationship> excelRelationships_;
    std::vector<std::string> sheetIdsList_;
    uint64_t currentPageIndex_ = 0;
    uint64_t totalSheetPages_ = 0;
    Size slideSize_;
    std::shared_ptr<QXPDFInfo> pdfInfo_;
    std::shared_ptr<QXExcelPage> currentPage_;
    std::unique_ptr<QXExcelSharedStrings> sharedStrings_;
    std::unique_ptr<QXExcelAIOSWriter> aiosWriter_;
    std::optional<std::string> failure_;
};

} // namespace rz
