// The package writer without a PDF: CSV bytes, shared-string indices after
// a page that failed, sheets for pages that never ended, and a package
// that cannot be moved into place.
#include "xlsx/package/QXExcelWriter.h"

#include "converter/QXError.h"
#include "xlsx/sheet/QXExcelManager.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rz {
namespace {

namespace fs = std::filesystem;

TEST(QXExcelWriterTest, CsvBytesAreUtf16LittleEndianWithByteOrderMark)
{
    const std::string bytes = QXExcelWriter::csvFileBytes("a\t\xF0\x9D\x90\x80\n");
    const std::string expected("\xFF\xFE" "a\0\t\0\x35\xD8\x00\xDC\n\0", 12);
    EXPECT_EQ(bytes, expected);
}

TEST(QXExcelWriterTest, APageThatFailedGivesBackItsStringIndices)
{
    QXExcelManager::reset();
    QXExcelWriter writer;
    writer.initWithPath(test::makeTempDir() + "/strings.xlsx", 3);
    writer.begainWriteDocument();
    writer.begainWritePage(Size{612, 792});
    // Cells of the page took indices, then the page failed before its
    // strings were written.
    QXExcelManager::sharedInstance().setAmountOfStringItems(4);
    writer.begainWritePage(Size{612, 792});
    EXPECT_EQ(QXExcelManager::sharedInstance().amountOfStringItems(), 0u);
    EXPECT_EQ(writer.currentPageIndex(), 2u);
}

TEST(QXExcelWriterTest, PagesThatNeverEndedGetEmptySheetsAndTheFolderGoes)
{
    QXExcelManager::reset();
    const std::string dest = test::makeTempDir() + "/empty.xlsx";
    std::string work;
    {
        QXExcelWriter writer;
        writer.initWithPath(dest, 2);
        work = writer.savedWorkFolder();
        writer.begainWriteDocument();
        writer.begainWritePage(Size{612, 792});
        writer.packetZipFileIfNeed(nullptr);
    }
    ASSERT_TRUE(fs::exists(dest));
    EXPECT_FALSE(fs::exists(work));
    std::string listing;
    test::runCommand("unzip -l '" + dest + "'", &listing);
    EXPECT_NE(listing.find("xl/worksheets/sheet1.xml"), std::string::npos) << listing;
    EXPECT_NE(listing.find("xl/worksheets/sheet2.xml"), std::string::npos) << listing;
    EXPECT_EQ(listing.find(".partial"), std::string::npos) << listing;
}

TEST(QXExcelWriterTest, AMoveThatFailsRaisesAndLeavesNothing)
{
    for (const char* name : {"out.xlsx", "out.csv"}) {
        QXExcelManager::reset();
        const std::string dest = test::makeTempDir() + "/gone/" + name;
        QXExcelWriter writer;
        writer.initWithPath(dest, 1);
        const std::string work = writer.savedWorkFolder();
        writer.begainWriteDocument();
        EXPECT_THROW(writer.packetZipFileIfNeed(nullptr), QXConversionException) << name;
        EXPECT_FALSE(fs::exists(dest)) << name;
        EXPECT_FALSE(fs::exists(work)) << name;
    }
}

} // namespace
} // namespace rz
