#include "pdfengine/base/QXCPDFUtilities.h"
#include "tests/platform/pdf/PdfTestUtil.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

using namespace rz;

namespace {

std::string plainPdf()
{
    return test::makePdf("0 0 m 1 1 l S");
}

} // namespace

TEST(DocumentChecks, ValidityOfPaths)
{
    const std::string good = test::writeTempFile(plainPdf(), "good.pdf");
    const std::string text = test::writeTempFile("hello, not a PDF\n", "text.pdf");
    const std::string folder = test::makeTempDir();
    EXPECT_TRUE(QXCPDFUtilities::isPDFDocumentValidAtPath(good));
    EXPECT_FALSE(QXCPDFUtilities::isPDFDocumentValidAtPath(text));
    EXPECT_FALSE(QXCPDFUtilities::isPDFDocumentValidAtPath(folder));
    EXPECT_FALSE(QXCPDFUtilities::isPDFDocumentValidAtPath(folder + "/missing.pdf"));
    // What cannot be opened counts as locked, and locked against printing.
    EXPECT_TRUE(QXCPDFUtilities::isPDFDocumentLockedAtPath(text));
    EXPECT_TRUE(QXCPDFUtilities::isPDFDocumentLockPritingAtPath(text));
    EXPECT_FALSE(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(text, ""));
    EXPECT_FALSE(QXCPDFUtilities::initPDFDocumentAtPath(text, ""));
    // A plain document.
    EXPECT_FALSE(QXCPDFUtilities::isPDFDocumentLockedAtPath(good));
    EXPECT_FALSE(QXCPDFUtilities::isPDFDocumentLockPritingAtPath(good));
    EXPECT_TRUE(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(good, ""));
    const auto doc = QXCPDFUtilities::initPDFDocumentAtPath(good, "");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->pageCount(), 1);
}

TEST(DocumentChecks, LockedDocuments)
{
    struct Case {
        const char* name;
        std::string user, owner;
        bool allowPrint;
        bool locked, lockPrinting;
        bool printsWithUser, printsWithOwner;
    } cases[] = {
        {"user password, printing denied", "user", "owner", false, true, true, false, true},
        {"user password, printing allowed", "user", "owner", true, true, true, true, true},
        {"empty user password, printing allowed", "", "owner", true, false, false, true, true},
        {"empty user password, printing denied", "", "owner", false, false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = test::writeTempFile(pdftest::encryptPdf(plainPdf(), c.user, c.owner, c.allowPrint, 3));
        EXPECT_TRUE(QXCPDFUtilities::isPDFDocumentValidAtPath(path));
        EXPECT_EQ(QXCPDFUtilities::isPDFDocumentLockedAtPath(path), c.locked);
        EXPECT_EQ(QXCPDFUtilities::isPDFDocumentLockPritingAtPath(path), c.lockPrinting);
        if (!c.user.empty()) {
            EXPECT_EQ(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(path, c.user), c.printsWithUser);
        }
        EXPECT_EQ(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(path, c.owner), c.printsWithOwner);
        EXPECT_FALSE(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(path, "wrong"));
        EXPECT_EQ(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(path, ""), !c.locked && c.allowPrint);

        // Opening: as opened without a password, only when unlocked with one.
        const auto asOpened = QXCPDFUtilities::initPDFDocumentAtPath(path, "");
        ASSERT_TRUE(asOpened);
        EXPECT_EQ(asOpened->isUnlocked(), !c.locked);
        pdf::OpenStatus status = pdf::OpenStatus::NotPDF;
        EXPECT_FALSE(QXCPDFUtilities::initPDFDocumentAtPath(path, "wrong", &status));
        EXPECT_EQ(status, pdf::OpenStatus::Ok);
        const auto withOwner = QXCPDFUtilities::initPDFDocumentAtPath(path, c.owner);
        ASSERT_TRUE(withOwner);
        EXPECT_TRUE(withOwner->isUnlocked());
        EXPECT_EQ(withOwner->pageCount(), 1);
    }
}

TEST(DocumentChecks, CertificateSecurityIsRefused)
{
    const std::string dir = test::corpusDir();
    if (dir.empty())
        GTEST_SKIP() << "no corpus";
    const std::string path = dir + "/passwords/pdfbox__AESkeylength256.pdf";
    EXPECT_FALSE(QXCPDFUtilities::isPDFDocumentValidAtPath(path));
    EXPECT_TRUE(QXCPDFUtilities::isPDFDocumentLockedAtPath(path));
    pdf::OpenStatus status = pdf::OpenStatus::Ok;
    EXPECT_FALSE(QXCPDFUtilities::initPDFDocumentAtPath(path, "", &status));
    EXPECT_EQ(status, pdf::OpenStatus::UnsupportedSecurity);
    // The print-restricted corpus file: its user password does not grant printing.
    const std::string sample = dir + "/passwords/pdfbox__PasswordSample-128bit.pdf";
    EXPECT_TRUE(QXCPDFUtilities::isPDFDocumentLockPritingAtPath(sample));
    EXPECT_FALSE(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(sample, "user"));
    EXPECT_TRUE(QXCPDFUtilities::isAllowPrintingPDFDcoumentAtPath(sample, "owner"));
    EXPECT_TRUE(QXCPDFUtilities::initPDFDocumentAtPath(sample, "user"));
}
