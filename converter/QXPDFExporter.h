// The base of every output-format exporter: the conversion lifecycle the
// converter drives, and the per-file conversion properties.
#pragma once

#include "converter/QXPDFOptions.h"
#include "platform/geometry/Geometry.h"
#include "platform/pdf/PdfDocument.h"

#include <cstdint>
#include <memory>
#include <string>

namespace rz {

class QXPDFExporter;

class QXPDFExporterDelegate {
public:
    virtual ~QXPDFExporterDelegate() = default;
    virtual void QXPDFExporter_pageIndex_progress(QXPDFExporter& /*exporter*/, uint64_t /*pageIndex*/,
                                                  uint64_t /*progress*/)
    {
    }
};

// Lifecycle, in the order the converter sends it: begainConvertPDF, then per
// page setPageIndex and convertPDFPage, then endConvertPDF (or
// cleanConvertPDF after a stop). endConvertPDF raises when the output could
// not be written. Exporters run on the conversion queue.
class QXPDFExporter {
public:
    QXPDFExporter() = default;
    virtual ~QXPDFExporter() = default;
    QXPDFExporter(const QXPDFExporter&) = delete;
    QXPDFExporter& operator=(const QXPDFExporter&) = delete;

    virtual void begainConvertPDF(const std::string& destPath,
                                  const std::shared_ptr<pdf::Document>& document);
    virtual void setPageIndex(uint64_t pageIndex) { pageIndex_ = pageIndex; }
    // True when the page was converted.
    virtual bool convertPDFPage(const pdf::Page& page);
    virtual void endConvertPDF(const std::shared_ptr<pdf::Document>& document);
    virtual void cleanConvertPDF();
    virtual void cancelConvertPDF();

    const std::shared_ptr<QXPDFOptions>& moreOptions() const { return moreOptions_; }
    void setMoreOptions(std::shared_ptr<QXPDFOptions> v) { moreOptions_ = std::move(v); }
    const std::string& destDocType() const { return destDocType_; }
    void setDestDocType(std::string v) { destDocType_ = std::move(v); }
    const std::string& destDocPath() const { return destDocPath_; }
    void setDestDocPath(std::string v) { destDocPath_ = std::move(v); }
    bool isShouldCancel() const { return isShouldCancel_; }
    void setIsShouldCancel(bool v) { isShouldCancel_ = v; }
    uint64_t pageIndex() const { return pageIndex_; }
    uint64_t numberOfPagesToConvert() const { return numberOfPagesToConvert_; }
    void setNumberOfPagesToConvert(uint64_t v) { numberOfPagesToConvert_ = v; }
    QXPDFExporterDelegate* delegate() const { return delegate_; }
    // Not owned: the converter outlives the exporters it makes.
    void setDelegate(QXPDFExporterDelegate* v) { delegate_ = v; }

    // Maps `from` onto `to`: translate by minus from's origin, scale by the
    // size ratios, translate by to's origin.
    static Affine CGAffineTransformFromRect(const Rect& from, const Rect& to);

protected:
    std::shared_ptr<QXPDFOptions> moreOptions_;
    std::string destDocType_;
    bool isShouldCancel_ = false;
    uint64_t pageIndex_ = 0;
    uint64_t numberOfPagesToConvert_ = 0;
    std::string destDocPath_;
    QXPDFExporterDelegate* delegate_ = nullptr;
};

} // namespace rz
