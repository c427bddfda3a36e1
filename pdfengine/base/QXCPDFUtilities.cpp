#include "pdfengine/base/QXCPDFUtilities.h"

namespace rz {

bool QXCPDFUtilities::isPDFDocumentValidAtPath(const std::string& path)
{
    return pdf::Document::open(path) != nullptr;
}

bool QXCPDFUtilities::isPDFDocumentLockedAtPath(const std::string& path)
{
    const auto doc = pdf::Document::open(path);
    return !doc || (doc->isEncrypted() && !doc->isUnlocked());
}

bool QXCPDFUtilities::isPDFDocumentLockPritingAtPath(const std::string& path)
{
    const auto doc = pdf::Document::open(path);
    if (!doc || (doc->isEncrypted() && !doc->isUnlocked()))
        return true;
    return !doc->allowsPrinting();
}

bool QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(const std::string& path, const std::string& password)
{
    const auto doc = pdf::Document::open(path);
    if (!doc)
        return false;
    if (password.empty())
        return doc->allowsPrinting();
    return doc->unlockWithPassword(password) && doc->isUnlocked() && doc->allowsPrinting();
}

std::shared_ptr<pdf::Document> QXCPDFUtilities::initPDFDocumentAtPath(const std::string& path,
                                                                       const std::string& password,
                                                                       pdf::OpenStatus* status)
{
    auto doc = pdf::Document::open(path, status);
    if (!doc || password.empty())
        return doc;
    return doc->unlockWithPassword(password) ? doc : nullptr;
}

} // namespace rz
