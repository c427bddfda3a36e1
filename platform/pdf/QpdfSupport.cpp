#include "platform/pdf/QpdfSupport.h"

#include <qpdf/QPDFLogger.hh>

namespace rz::pdf {

void configureQuietQpdf(QPDF& qpdf)
{
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    qpdf.setLogger(logger);
    qpdf.setSuppressWarnings(true);
    qpdf.setAttemptRecovery(true);
}

std::shared_ptr<QPDF> makeScratchQpdf()
{
    auto qpdf = std::make_shared<QPDF>();
    configureQuietQpdf(*qpdf);
    qpdf->emptyPDF();
    return qpdf;
}

} // namespace rz::pdf
