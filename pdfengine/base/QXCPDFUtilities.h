// Checks on source files before they are queued: whether a path holds a
// PDF document, whether it is locked or locked against printing, whether a
// password unlocks it, and opening it with a password.
#pragma once

#include "platform/pdf/PdfDocument.h"

#include <memory>
#include <string>

namespace rz {

class QXCPDFUtilities {
public:
    // False for nothing at the path, a folder, or a file that does not open
    // as a PDF document (including one that needs a certificate to open).
    static bool isPDFDocumentValidAtPath(const std::string& path);
    // True when the document cannot be opened, or is encrypted and still
    // locked after opening (the empty password is tried on opening).
    static bool isPDFDocumentLockedAtPath(const std::string& path);
    // True when the document cannot be opened or is locked; otherwise true
    // exactly when it does not allow printing.
    static bool isPDFDocumentLockPritingAtPath(const std::string& path);
    // False when the document cannot be opened. With an empty password:
    // whether the document as opened allows printing. With a password:
    // whether it unlocks the document and printing is then allowed (a user
    // password grants printing only when the permissions do).
    static bool isAllowPrintingPDFDcoumentAtPath(const std::string& path, const std::string& password);
    // The opened document, or nullptr. With an empty password the document
    // as opened (possibly locked); with a password, the document only when
    // the password unlocks it. `status` (optional) tells why nothing was
    // opened; a wrong password leaves it Ok.
    static std::shared_ptr<pdf::Document> initPDFDocumentAtPath(const std::string& path,
                                                                const std::string& password,
                                                                pdf::OpenStatus* status = nullptr);
};

} // namespace rz
