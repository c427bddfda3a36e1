#include "converter/QXRUZIzevudaraManager.h"

namespace rz {

QXRUZIzevudaraManager::QXRUZIzevudaraManager(MainQueue& mainQueue)
    : ruzIzevudara_(std::make_unique<QXRUZIzevudara>(mainQueue))
{
    ruzIzevudara_->setDelegate(this);
}

QXRUZIzevudaraManager::~QXRUZIzevudaraManager()
{
    ruzIzevudara_->setDelegate(nullptr);
    ruzIzevudara_.reset();
}

void QXRUZIzevudaraManager::startConversion()
{
    if (ruzIzevudara_->isConverting()) {
        // A stopped file has not ended yet: its end report must reach the
        // run it belongs to before a new run takes the converter.
        startPending_ = true;
        return;
    }
    ma_readyToConvertItems_.assign(ma_sourceItems_.begin(), ma_sourceItems_.end());
    if (delegate_)
        delegate_->QXRUZIzevudaraManagerWillStartConversion(*this);
    isConverting_ = true;
    _continueConversion();
}

void QXRUZIzevudaraManager::stopConversion()
{
    startPending_ = false;
    isConverting_ = false;
    ruzIzevudara_->stopConvertsionIfNeed();
}

void QXRUZIzevudaraManager::_continueConversion()
{
    if (isConverting_ && !ma_readyToConvertItems_.empty()) {
        auto item = ma_readyToConvertItems_.front();
        ma_readyToConvertItems_.pop_front();
        _startConvertPDFItem(item);
        return;
    }
    isConverting_ = false;
    if (delegate_)
        delegate_->QXRUZIzevudaraManagerDidEndConversion(*this);
}

void QXRUZIzevudaraManager::_startConvertPDFItem(const std::shared_ptr<QXSourceFileItem>& item)
{
    currentConvertItem_ = item;
    item->willStartConversion();
    const std::string path = item->sourcePath();
    const auto password = item->sourcePassword();
    const auto pages = item->outputPDFPageIndexs();
    const std::string format = item->outputFileFormat();
    const std::string output = item->newOutputPath();
    auto options = item->convertOpts();
    if (!options) {
        options = std::make_shared<QXPDFOptions>();
        item->setConvertOpts(options);
    }
    options->setIsParserAnnots(parserPDFAnnots_ ? int32_t(parserPDFAnnots_()) : 1);
    if (auto opened = item->takeOpenedPDFDocument())
        ruzIzevudara_->convertPDFAtPath(path, password, pages, format, output, options, std::move(*opened));
    else
        ruzIzevudara_->convertPDFAtPath(path, password, pages, format, output, options);
}

void QXRUZIzevudaraManager::QXRUZIzevudara_didStartConversion(QXRUZIzevudara&, const std::optional<QXError>& e)
{
    if (delegate_ && currentConvertItem_)
        delegate_->QXRUZIzevudaraManager_didStartConversion_withError(*this, *currentConvertItem_, e);
}

void QXRUZIzevudaraManager::QXRUZIzevudara_didEndConversion(QXRUZIzevudara&, const std::optional<QXError>& e)
{
    if (currentConvertItem_) {
        currentConvertItem_->setConversionError(e);
        if (delegate_)
            delegate_->QXRUZIzevudaraManager_didEndConversion_withError(*this, *currentConvertItem_, e);
    }
    _continueConversion();
    if (startPending_ && !isConverting_ && !ruzIzevudara_->isConverting()) {
        startPending_ = false;
        startConversion();
    }
}

void QXRUZIzevudaraManager::QXRUZIzevudara_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
    QXRUZIzevudara&, uint64_t pdfPage, uint64_t position, uint64_t done)
{
    if (delegate_ && currentConvertItem_)
        delegate_->QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
            *this, *currentConvertItem_, pdfPage, position, done);
}

void QXRUZIzevudaraManager::QXRUZIzevudara_convertPDFPageIndex_faildWithError(QXRUZIzevudara&, uint64_t pdfPage,
                                                                             const QXError& e)
{
    if (delegate_ && currentConvertItem_)
        delegate_->QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_faildWithError(*this, *currentConvertItem_,
                                                                                        pdfPage, e);
}

void QXRUZIzevudaraManager::QXRUZIzevudara_willSaveDoc(QXRUZIzevudara&, const std::optional<QXError>& e)
{
    if (delegate_ && currentConvertItem_)
        delegate_->QXRUZIzevudaraManager_didConversion_willSaveDoc(*this, *currentConvertItem_, e);
}

void QXRUZIzevudaraManager::QXRUZIzevudara_catchException(QXRUZIzevudara&, const QXException& e)
{
    if (delegate_ && currentConvertItem_)
        delegate_->QXRUZIzevudaraManager_didConversion_catchException(*this, *currentConvertItem_, e);
}

} // namespace rz
