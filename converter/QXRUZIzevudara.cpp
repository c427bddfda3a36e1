#include "converter/QXRUZIzevudara.h"

#include "converter/QXImagePDFExporter.h"
#include "platform/core/Numbers.h"
#include "platform/core/TemporaryFolder.h"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace rz {

namespace {

std::mutex& factoriesMutex()
{
    static std::mutex m;
    return m;
}

// The page-image exporter belongs to the converter itself; output
// libraries add theirs with registerExporterFactory.
std::vector<QXExporterFactory>& factories()
{
    static std::vector<QXExporterFactory> f = {
        [](const std::string& type, const std::shared_ptr<QXPDFOptions>&) -> std::unique_ptr<QXPDFExporter> {
            if (QXImagePDFExporter::supportType(type))
                return std::make_unique<QXImagePDFExporter>();
            return nullptr;
        }};
    return f;
}

const char* const kUnknownError = "Unknow error while converting.";
const char* const kMissingSource = "Source File isn't exist.";
const char* const kUnloadableDocument = "Can't load the PDF Document.";

// A document a conversion can read pages from: open, not locked (a locked
// one gives no pages), with at least one page in its page tree.
bool hasReadablePages(const std::shared_ptr<pdf::Document>& document)
{
    return document && document->isUnlocked() && document->pageCount() > 0;
}

} // namespace

QXRUZIzevudara::QXRUZIzevudara(MainQueue& mainQueue)
    : main_(mainQueue), alive_(std::make_shared<int>(0)),
      queue_(std::make_unique<SerialQueue>("_startConvertQueue"))
{
}

QXRUZIzevudara::~QXRUZIzevudara()
{
    {
        std::lock_guard lock(mutex_);
        if (cancel_)
            cancel_->store(true);
        if (currentExporter_)
            currentExporter_->cancelConvertPDF();
    }
    shuttingDown_ = true;
    // Reports already posted find the token gone and do nothing.
    alive_.reset();
    queue_.reset();
    std::lock_guard lock(mutex_);
    currentExporter_.reset();
}

void QXRUZIzevudara::registerExporterFactory(QXExporterFactory factory)
{
    std::lock_guard lock(factoriesMutex());
    factories().push_back(std::move(factory));
}

std::unique_ptr<QXPDFExporter> QXRUZIzevudara::newExporter(const std::string& destDocType,
                                                           const std::shared_ptr<QXPDFOptions>& options)
{
    std::vector<QXExporterFactory> list;
    {
        std::lock_guard lock(factoriesMutex());
        list = factories();
    }
    for (const auto& factory : list) {
        if (auto exporter = factory(destDocType, options))
            return exporter;
    }
    return nullptr;
}

const std::vector<std::pair<std::string, std::string>>& QXRUZIzevudara::supportDocTypes()
{
    static const std::vector<std::pair<std::string, std::string>> types = {
        {"docx", "Microsoft Word(.docx)"},
        {"pptx", "Microsoft PowerPoint(.pptx)"},
        {"xlsx", "Microsoft Excel(.xlsx)"},
        {"csv", "Comma-Separated Values(.csv)"},
        {"txt", "UTF-8 Plain Text(.txt)"},
        {"rtf", "Rich Text File(.rtf)"},
        {"html", "Web Source File(.html)"},
        {"pdf", "Adobe PDF File(.pdf)"},
        {"jpeg", "Image JPEG File(.jpeg)"},
        {"png", "Image PNG File(.png)"},
        {"bmp", "Image BMP File(.bmp)"},
        {"tiff", "Image TIFF File(.tiff)"},
        {"gif", "Image GIF File(.gif)"},
        {"tga", "Image TGA File(.tga)"},
    };
    return types;
}

std::optional<std::string> QXRUZIzevudara::supportDocTypeNameForKey(const std::string& key)
{
    for (const auto& [k, title] : supportDocTypes()) {
        if (k == key)
            return title;
    }
    return std::nullopt;
}

std::shared_ptr<pdf::Document> QXRUZIzevudara::initPDFDocumentAtPath(
    const std::string& path, const std::optional<std::string>& password)
{
    if (path.empty())
        return nullptr;
    auto document = pdf::Document::open(path);
    if (!document)
        return nullptr;
    if (password && !password->empty() && !document->unlockWithPassword(*password))
        return nullptr;
    return document;
}

QXOpenedPDFDocument QXRUZIzevudara::openPDFDocumentAtPath(const std::string& path,
                                                          const std::optional<std::string>& password)
{
    QXOpenedPDFDocument opened;
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec) || std::filesystem::is_directory(path, ec)) {
        opened.error = makeQXError(404, kMissingSource);
        return opened;
    }
    opened.document = initPDFDocumentAtPath(path, password);
    if (!hasReadablePages(opened.document)) {
        opened.document.reset();
        opened.error = makeQXError(405, kUnloadableDocument);
    }
    return opened;
}

void QXRUZIzevudara::convertPDFAtPath(const std::string& path,
                                      const std::optional<std::string>& pdfPassword,
                                      const std::vector<long long>& pdfPageIndexs,
                                      const std::string& destDocType, const std::string& destDocPath,
                                      std::shared_ptr<QXPDFOptions> moreOptions)
{
    startRequest(path, pdfPassword, pdfPageIndexs, destDocType, destDocPath, std::move(moreOptions), std::nullopt);
}

void QXRUZIzevudara::convertPDFAtPath(const std::string& path, const std::optional<std::string>& pdfPassword,
                                      const std::vector<long long>& pdfPageIndexs,
                                      const std::string& destDocType, const std::string& destDocPath,
                                      std::shared_ptr<QXPDFOptions> moreOptions, QXOpenedPDFDocument opened)
{
    startRequest(path, pdfPassword, pdfPageIndexs, destDocType, destDocPath, std::move(moreOptions),
                 std::move(opened));
}

void QXRUZIzevudara::startRequest(const std::string& path, const std::optional<std::string>& pdfPassword,
                                  const std::vector<long long>& pdfPageIndexs, const std::string& destDocType,
                                  const std::string& destDocPath, std::shared_ptr<QXPDFOptions> moreOptions,
                                  std::optional<QXOpenedPDFDocument> opened)
{
    pdfPath_ = path;
    pdfPassword_ = pdfPassword;
    pdfPageIndexs_ = pdfPageIndexs;
    destDocType_ = destDocType;
    destDocPath_ = destDocPath;
    moreOptions_ = moreOptions ? std::move(moreOptions) : std::make_shared<QXPDFOptions>();
    Request request{pdfPath_, pdfPassword_, pdfPageIndexs_, destDocType_, destDocPath_, moreOptions_,
                    std::make_shared<std::atomic<bool>>(false), std::move(opened)};
    {
        std::lock_guard lock(mutex_);
        cancel_ = request.cancel;
    }
    ++pending_;
    if (delegate_)
        delegate_->QXRUZIzevudara_didStartConversion(*this, std::nullopt);
    // One queue for the converter's life: a second start runs its file after
    // the first one's, never beside it.
    queue_->async([this, request = std::move(request)] { runFile(request); });
}

void QXRUZIzevudara::stopConvertsionIfNeed()
{
    std::lock_guard lock(mutex_);
    if (cancel_)
        cancel_->store(true);
    if (currentExporter_)
        currentExporter_->cancelConvertPDF();
}

void QXRUZIzevudara::post(std::function<void(QXRUZIzevudara&)> report)
{
    std::weak_ptr<int> token = alive_;
    main_.post([this, token, report = std::move(report)] {
        if (token.lock())
            report(*this);
    });
}

void QXRUZIzevudara::setCurrentExporter(std::shared_ptr<QXPDFExporter> exporter)
{
    std::lock_guard lock(mutex_);
    currentExporter_ = std::move(exporter);
}

void QXRUZIzevudara::runFile(const Request& request)
{
    if (shuttingDown_)
        return;
    // Everything the conversion writes outside its destination goes into one
    // folder of its own, removed before the end is reported, whatever the outcome.
    auto temporaryFolder = std::make_unique<TemporaryFolder>("rzconvert");
    std::optional<QXError> result;
    {
        // A document handed over with the request is taken as it is;
        // otherwise the file is opened here.
        QXOpenedPDFDocument opened =
            request.opened ? *request.opened : openPDFDocumentAtPath(request.path, request.password);
        if (!opened.error && !hasReadablePages(opened.document))
            opened.error = makeQXError(405, kUnloadableDocument);
        if (opened.error)
            result = std::move(opened.error);
        else
            result = _startConvertQueue(opened.document, request);
    }
    temporaryFolder.reset();
    if (cancelled(request))
        result = makeQXError(406, "Conversion has been canceled.");
    post([result](QXRUZIzevudara& self) {
        --self.pending_;
        if (self.delegate_)
            self.delegate_->QXRUZIzevudara_didEndConversion(self, result);
    });
}

std::optional<QXError> QXRUZIzevudara::_startConvertQueue(const std::shared_ptr<pdf::Document>& document,
                                                          const Request& request)
{
    const uint64_t pageCount = uint64_t(std::max(document->pageCount(), 0));
    std::shared_ptr<QXPDFExporter> exporter = newExporter(request.type, request.options);
    if (!exporter)
        return makeQXError(400, "Can't convert to the output type(" + request.type + ").");
    exporter->setMoreOptions(request.options);
    exporter->setDestDocType(request.type);
    exporter->setDestDocPath(request.destPath);
    exporter->setNumberOfPagesToConvert(request.pages.size());
    exporter->setDelegate(this);
    setCurrentExporter(exporter);

    auto reportException = [this](const QXException& e) {
        std::fprintf(stderr, "catch exception:%s.\n", e.description().c_str());
        post([e](QXRUZIzevudara& self) {
            if (self.delegate_)
                self.delegate_->QXRUZIzevudara_catchException(self, e);
        });
    };

    try {
        exporter->begainConvertPDF(request.destPath, document);
    } catch (...) {
        reportException(QXException::current());
        exporter->cleanConvertPDF();
        return makeQXError(400, kUnknownError);
    }

    uint64_t done = 0;
    std::optional<QXError> firstPageError;
    for (size_t i = 0; i < request.pages.size(); ++i) {
        if (cancelled(request))
            break;
        const auto requested = request.pages[i];
        const uint64_t f = static_cast<uint64_t>(requested);
        std::optional<QXError> pageError;
        if (f - 1 >= pageCount) {
            pageError = makeQXError(401, "Out of PDF Page Range(" + formatInteger(requested) + ")");
        } else {
            const pdf::Page page = document->page(int(f));
            if (!page.isValid()) {
                pageError = makeQXError(401, "Can't read the PDF Page.(" + formatInteger(requested) + ")");
            } else {
                try {
                    exporter->setPageIndex(done);
                    if (exporter->convertPDFPage(page)) {
                        ++done;
                        const uint64_t position = i + 1, count = done;
                        post([f, position, count](QXRUZIzevudara& self) {
                            if (self.delegate_)
                                self.delegate_
                                    ->QXRUZIzevudara_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
                                        self, f, position, count);
                        });
                    } else {
                        pageError =
                            makeQXError(401, "Can't convert the PDF Page.(" + formatInteger(requested) + ")");
                    }
                } catch (...) {
                    reportException(QXException::current());
                    pageError = makeQXError(400, kUnknownError);
                }
            }
        }
        if (pageError) {
            if (!firstPageError)
                firstPageError = pageError;
            post([f, e = *pageError](QXRUZIzevudara& self) {
                if (self.delegate_)
                    self.delegate_->QXRUZIzevudara_convertPDFPageIndex_faildWithError(self, f, e);
            });
        }
    }

    // A stop, or pages asked for and none of them converted: nothing is
    // written, and what the exporter wrote so far is removed. The file ends
    // with the first page's error (a stop turns it into 406).
    const bool nothingConverted = done == 0 && firstPageError;
    if (cancelled(request) || nothingConverted) {
        try {
            exporter->cleanConvertPDF();
        } catch (...) {
            reportException(QXException::current());
        }
        return nothingConverted ? firstPageError : std::nullopt;
    }
    post([](QXRUZIzevudara& self) {
        if (self.delegate_)
            self.delegate_->QXRUZIzevudara_willSaveDoc(self, std::nullopt);
    });
    try {
        exporter->endConvertPDF(document);
    } catch (...) {
        // The document was not written: the file fails.
        reportException(QXException::current());
        return makeQXError(400, kUnknownError);
    }
    return std::nullopt;
}

void QXRUZIzevudara::QXPDFExporter_pageIndex_progress(QXPDFExporter&, uint64_t pageIndex,
                                                      uint64_t progress)
{
    post([pageIndex, progress](QXRUZIzevudara& self) {
        if (self.delegate_)
            self.delegate_->QXRUZIzevudara_pageIndex_progress(self, pageIndex, progress);
    });
}

} // namespace rz
