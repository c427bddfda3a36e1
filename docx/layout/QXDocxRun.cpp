#include "docx/layout/QXDocxRun.h"

#include "converter/ooxml/QXDocxUtilities.h"

namespace rz {

QXDocxRun::QXDocxRun() : rProperty_(QXDocxUtilities::defaultRProperty()) {}

void QXDocxRun::writeWithXMLWriter(XMLFileWriter&) {}

std::shared_ptr<QXDocxWriterObject> QXDocxRun::copy() const
{
    return std::make_shared<QXDocxRun>(*this);
}

Rect QXDocxRun::displayRect() const
{
    return Rect::zero();
}

void QXDocxRun::setPdfScanIndex(std::uint64_t index)
{
    pdfScanIndex_ = index;
    if (pdfScanIndex_orignal_ != kNoScanIndex)
        pdfScanIndex_orignal_ = index;
}

bool QXDocxRun::isPDFScanIndexContinue(const QXDocxRun& other) const
{
    const std::uint64_t mine = pdfScanIndex_;
    const std::uint64_t theirs = other.pdfScanIndex_;
    // The difference without wrapping around at the largest index.
    const std::uint64_t difference = mine > theirs ? mine - theirs : theirs - mine;
    return difference <= 1;
}

} // namespace rz
