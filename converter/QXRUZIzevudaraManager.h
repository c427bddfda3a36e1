// Converts a list of source items one after another over one converter and
// relays the converter's reports with the item concerned.
#pragma once

#include "converter/QXRUZIzevudara.h"
#include "converter/QXSourceFileItem.h"

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace rz {

class QXRUZIzevudaraManager;

// All reports arrive on the main thread; the item is the one being converted.
class QXRUZIzevudaraManagerDelegate {
public:
    virtual ~QXRUZIzevudaraManagerDelegate() = default;
    virtual void QXRUZIzevudaraManagerWillStartConversion(QXRUZIzevudaraManager&) {}
    virtual void QXRUZIzevudaraManagerDidEndConversion(QXRUZIzevudaraManager&) {}
    virtual void QXRUZIzevudaraManager_didStartConversion_withError(QXRUZIzevudaraManager&, QXSourceFileItem&,
                                                                    const std::optional<QXError>&)
    {
    }
    virtual void QXRUZIzevudaraManager_didEndConversion_withError(QXRUZIzevudaraManager&, QXSourceFileItem&,
                                                                  const std::optional<QXError>&)
    {
    }
    virtual void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
        QXRUZIzevudaraManager&, QXSourceFileItem&, uint64_t /*pdfPage*/, uint64_t /*position*/, uint64_t /*done*/)
    {
    }
    virtual void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_faildWithError(
        QXRUZIzevudaraManager&, QXSourceFileItem&, uint64_t /*pdfPage*/, const QXError&)
    {
    }
    virtual void QXRUZIzevudaraManager_didConversion_willSaveDoc(QXRUZIzevudaraManager&, QXSourceFileItem&,
                                                                 const std::optional<QXError>&)
    {
    }
    virtual void QXRUZIzevudaraManager_didConversion_catchException(QXRUZIzevudaraManager&, QXSourceFileItem&,
                                                                    const QXException&)
    {
    }
};

class QXRUZIzevudaraManager : private QXRUZIzevudaraDelegate {
public:
    explicit QXRUZIzevudaraManager(MainQueue& mainQueue);
    ~QXRUZIzevudaraManager() override;

    // Not owned.
    void setDelegate(QXRUZIzevudaraManagerDelegate* d) { delegate_ = d; }
    void setMa_sourceItems(std::vector<std::shared_ptr<QXSourceFileItem>> items) { ma_sourceItems_ = std::move(items); }
    const std::vector<std::shared_ptr<QXSourceFileItem>>& ma_sourceItems() const { return ma_sourceItems_; }

    // Starts a run over a copy of the source items. A start while the
    // converter still ends a stopped file begins once that file has ended.
    void startConversion();
    // Ends the run after the page in hand.
    void stopConversion();
    bool isConverting() const { return isConverting_; }
    const std::shared_ptr<QXSourceFileItem>& currentConvertItem() const { return currentConvertItem_; }
    QXRUZIzevudara& ruzIzevudara() { return *ruzIzevudara_; }

    // The shell's "interpret annotations" preference, copied into each
    // item's options before its file starts; true when unset.
    void setParserPDFAnnotsPreference(std::function<bool()> preference) { parserPDFAnnots_ = std::move(preference); }

private:
    void _continueConversion();
    void _startConvertPDFItem(const std::shared_ptr<QXSourceFileItem>& item);

    void QXRUZIzevudara_didStartConversion(QXRUZIzevudara&, const std::optional<QXError>&) override;
    void QXRUZIzevudara_didEndConversion(QXRUZIzevudara&, const std::optional<QXError>&) override;
    void QXRUZIzevudara_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(QXRUZIzevudara&, uint64_t,
                                                                                   uint64_t, uint64_t) override;
    void QXRUZIzevudara_convertPDFPageIndex_faildWithError(QXRUZIzevudara&, uint64_t, const QXError&) override;
    void QXRUZIzevudara_willSaveDoc(QXRUZIzevudara&, const std::optional<QXError>&) override;
    void QXRUZIzevudara_catchException(QXRUZIzevudara&, const QXException&) override;

    QXRUZIzevudaraManagerDelegate* delegate_ = nullptr;
    std::unique_ptr<QXRUZIzevudara> ruzIzevudara_;
    std::shared_ptr<QXSourceFileItem> currentConvertItem_;
    std::vector<std::shared_ptr<QXSourceFileItem>> ma_sourceItems_;
    std::deque<std::shared_ptr<QXSourceFileItem>> ma_readyToConvertItems_;
    bool isConverting_ = false;
    bool startPending_ = false;
    std::function<bool()> parserPDFAnnots_;
};

} // namespace rz
