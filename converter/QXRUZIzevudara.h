// The converter: one PDF file into one output document, page by page on a
// serial background queue, every step reported to its delegate on the main
// queue.
#pragma once

#include "converter/QXError.h"
#include "converter/QXOpenedPDFDocument.h"
#include "converter/QXPDFExporter.h"
#include "converter/QXPDFOptions.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/pdf/PdfDocument.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace rz {

class QXRUZIzevudara;

// Every report but the first arrives on the main queue.
class QXRUZIzevudaraDelegate {
public:
    virtual ~QXRUZIzevudaraDelegate() = default;
    // At the start request, on the caller's thread; error always empty.
    virtual void QXRUZIzevudara_didStartConversion(QXRUZIzevudara&, const std::optional<QXError>&) {}
    // Once per file; empty on success, else 400, 404, 405 or 406, or the
    // first page's error (400 or 401) when pages were asked for and none
    // of them converted.
    virtual void QXRUZIzevudara_didEndConversion(QXRUZIzevudara&, const std::optional<QXError>&) {}
    virtual void QXRUZIzevudara_pageIndex_progress(QXRUZIzevudara&, uint64_t /*pageIndex*/,
                                                   uint64_t /*progress*/)
    {
    }
    // A page was converted: PDF page number, 1-based position in the list,
    // pages converted so far in this file.
    virtual void QXRUZIzevudara_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
        QXRUZIzevudara&, uint64_t /*pdfPage*/, uint64_t /*position*/, uint64_t /*done*/)
    {
    }
    virtual void QXRUZIzevudara_convertPDFPageIndex_faildWithError(QXRUZIzevudara&, uint64_t /*pdfPage*/,
                                                                   const QXError&)
    {
    }
    virtual void QXRUZIzevudara_willSaveDoc(QXRUZIzevudara&, const std::optional<QXError>&) {}
    virtual void QXRUZIzevudara_catchException(QXRUZIzevudara&, const QXException&) {}
};

// Makes the exporter of an output type, or nothing when it serves another.
using QXExporterFactory =
    std::function<std::unique_ptr<QXPDFExporter>(const std::string& type, const std::shared_ptr<QXPDFOptions>&)>;

class QXRUZIzevudara : private QXPDFExporterDelegate {
public:
    explicit QXRUZIzevudara(MainQueue& mainQueue);
    // Cancels the file in hand, waits for its queue, and drops reports not yet delivered.
    ~QXRUZIzevudara() override;
    QXRUZIzevudara(const QXRUZIzevudara&) = delete;
    QXRUZIzevudara& operator=(const QXRUZIzevudara&) = delete;

    // Not owned.
    void setDelegate(QXRUZIzevudaraDelegate* d) { delegate_ = d; }
    QXRUZIzevudaraDelegate* delegate() const { return delegate_; }

    // Returns at once; the file is converted on the queue. A start while a
    // file is still converting runs after that file has ended.
    void convertPDFAtPath(const std::string& path, const std::optional<std::string>& pdfPassword,
                          const std::vector<long long>& pdfPageIndexs, const std::string& destDocType,
                          const std::string& destDocPath, std::shared_ptr<QXPDFOptions> moreOptions);
    // The same for a file the caller has already opened (with
    // openPDFDocumentAtPath, from the same path and password): the
    // conversion takes that document, or ends with its error, and does not
    // open the file again.
    void convertPDFAtPath(const std::string& path, const std::optional<std::string>& pdfPassword,
                          const std::vector<long long>& pdfPageIndexs, const std::string& destDocType,
                          const std::string& destDocPath, std::shared_ptr<QXPDFOptions> moreOptions,
                          QXOpenedPDFDocument opened);
    // Sets the cancel flag and tells the current exporter; takes effect between pages.
    void stopConvertsionIfNeed();
    // From the start request until the end report has been delivered.
    bool isConverting() const { return pending_ > 0; }

    // Opens the document, unlocking it with a non-empty password; nothing
    // when it cannot be opened or the password does not unlock it. Without
    // a password the document comes as opened: an encrypted one may still
    // be locked (isUnlocked() false).
    static std::shared_ptr<pdf::Document> initPDFDocumentAtPath(const std::string& path,
                                                                const std::optional<std::string>& password);
    // Opens the document for a conversion, as the conversion does when it
    // is handed none: 404 "Source File isn't exist." when nothing is at the
    // path or it is a folder; 405 "Can't load the PDF Document." when it
    // does not open, the password does not unlock it, it stays locked
    // without one, or it has no page that can be read.
    static QXOpenedPDFDocument openPDFDocumentAtPath(const std::string& path,
                                                     const std::optional<std::string>& password);
    // The exporter for a type key, or nothing.
    static std::unique_ptr<QXPDFExporter> newExporter(const std::string& destDocType,
                                                      const std::shared_ptr<QXPDFOptions>& options);
    // Output libraries add their exporters here at program start; the
    // first factory that answers wins.
    static void registerExporterFactory(QXExporterFactory factory);

    // Type key to display title.
    static const std::vector<std::pair<std::string, std::string>>& supportDocTypes();
    static std::optional<std::string> supportDocTypeNameForKey(const std::string& key);

    const std::string& pdfPath() const { return pdfPath_; }
    const std::optional<std::string>& pdfPassword() const { return pdfPassword_; }
    const std::vector<long long>& pdfPageIndexs() const { return pdfPageIndexs_; }
    const std::string& destDocType() const { return destDocType_; }
    const std::string& destDocPath() const { return destDocPath_; }
    const std::shared_ptr<QXPDFOptions>& moreOptions() const { return moreOptions_; }
    int64_t useOCR() const { return useOCR_; }
    void setUseOCR(int64_t v) { useOCR_ = v; }

private:
    struct Request {
        std::string path;
        std::optional<std::string> password;
        std::vector<long long> pages;
        std::string type;
        std::string destPath;
        std::shared_ptr<QXPDFOptions> options;
        std::shared_ptr<std::atomic<bool>> cancel;
        // The document the caller opened for this file, if any.
        std::optional<QXOpenedPDFDocument> opened;
    };

    // Records the request's values and queues its file; `opened` empty
    // means the file is opened on the queue.
    void startRequest(const std::string& path, const std::optional<std::string>& pdfPassword,
                      const std::vector<long long>& pdfPageIndexs, const std::string& destDocType,
                      const std::string& destDocPath, std::shared_ptr<QXPDFOptions> moreOptions,
                      std::optional<QXOpenedPDFDocument> opened);

    void runFile(const Request& request);
    bool cancelled(const Request& request) const { return request.cancel->load() || shuttingDown_.load(); }
    // The page loop; answers an error that ends the file, if any.
    std::optional<QXError> _startConvertQueue(const std::shared_ptr<pdf::Document>& document,
                                              const Request& request);
    void setCurrentExporter(std::shared_ptr<QXPDFExporter> exporter);
    // Posts a report to the main queue; dropped if the converter is gone.
    void post(std::function<void(QXRUZIzevudara&)> report);
    void QXPDFExporter_pageIndex_progress(QXPDFExporter& exporter, uint64_t pageIndex,
                                          uint64_t progress) override;

    MainQueue& main_;
    QXRUZIzevudaraDelegate* delegate_ = nullptr;
    std::string pdfPath_;
    std::optional<std::string> pdfPassword_;
    std::vector<long long> pdfPageIndexs_;
    std::string destDocType_;
    std::string destDocPath_;
    std::shared_ptr<QXPDFOptions> moreOptions_;
    int64_t useOCR_ = 0;

    // Files started and not yet ended (main thread only).
    int pending_ = 0;
    std::mutex mutex_;
    std::shared_ptr<std::atomic<bool>> cancel_;        // of the latest request
    std::shared_ptr<QXPDFExporter> currentExporter_;   // guarded by mutex_
    std::shared_ptr<int> alive_;                       // reports check it on the main queue
    std::atomic<bool> shuttingDown_{false};            // set by the destructor
    std::unique_ptr<SerialQueue> queue_;               // "_startConvertQueue"
};

} // namespace rz
