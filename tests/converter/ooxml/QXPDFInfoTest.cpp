// Document information: the Info dictionary over the program's defaults,
// the PDF version, page count and dates.
#include "converter/ooxml/QXPDFInfo.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

using namespace rz;
using namespace std::chrono;

namespace {

// A document of `pages` empty pages with the given Info dictionary body
// (none when empty).
std::shared_ptr<pdf::Document> documentWith(const std::string& info, int pages, const std::string& version)
{
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int tree = w.reserve();
    std::string kids;
    for (int i = 0; i < pages; ++i)
        kids += std::to_string(w.add("<< /Type /Page /Parent " + std::to_string(tree) +
                                     " 0 R /MediaBox [0 0 612 792] >>")) + " 0 R ";
    w.set(tree, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    const int infoObject = info.empty() ? 0 : w.add(info);
    return pdf::Document::openData(w.build(catalog, infoObject, {}, version));
}

QXPDFInfo::Date utc(int y, unsigned m, unsigned d, int hh, int mm, int ss)
{
    return time_point_cast<system_clock::duration>(sys_days{year{y} / month{m} / day{d}} + hours{hh} +
                                                   minutes{mm} + seconds{ss});
}

} // namespace

TEST(QXPDFInfoTest, InfoDictionaryReplacesDefaultsWherePresent)
{
    const auto document = documentWith(
        "<< /Title (Quarterly report) /Author (Jane Doe) /Subject <FEFF00C9007400E9> /Keywords (a, b)"
        " /Creator (Some Writer) /Producer (pdfTeX) /CreationDate (D:20210304050608+01'00')"
        " /ModDate (D:2022) >>",
        3, "1.6");
    ASSERT_TRUE(document);
    const auto info = QXPDFInfo::initWithCGPDFDocument(document);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->majorVersion(), 1);
    EXPECT_EQ(info->minorVersion(), 6);
    EXPECT_EQ(info->numPages(), 3u);
    EXPECT_EQ(info->title(), "Quarterly report");
    EXPECT_EQ(info->author(), "Jane Doe");
    EXPECT_EQ(info->subject(), "\xC3\x89t\xC3\xA9");
    EXPECT_EQ(info->keywords(), "a, b");
    EXPECT_EQ(info->producer(), "pdfTeX");
    // The Info /Creator is not read: the creator stays the program's company.
    EXPECT_EQ(info->creator(), QXPDFInfo::defaultCompany());
    EXPECT_EQ(info->note(), QXPDFInfo::defaultCopyright() + "\n" + QXPDFInfo::defaultWebsite());
    EXPECT_EQ(info->creationDate(), utc(2021, 3, 4, 4, 6, 8));
    EXPECT_EQ(info->modificationDate(), utc(2022, 1, 1, 0, 0, 0));
}

TEST(QXPDFInfoTest, DefaultsWithoutInfoDictionary)
{
    const auto info = QXPDFInfo::initWithCGPDFDocument(documentWith("", 1, "1.4"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->author(), QXPDFInfo::defaultCreator());
    EXPECT_FALSE(info->author().empty());
    EXPECT_EQ(info->creator(), QXPDFInfo::defaultCompany());
    EXPECT_EQ(info->title(), "");
    EXPECT_EQ(info->subject(), "");
    EXPECT_EQ(info->keywords(), "");
    EXPECT_EQ(info->producer(), "");
    EXPECT_EQ(info->minorVersion(), 4);
    EXPECT_EQ(info->creationDate(), std::nullopt);
    EXPECT_EQ(info->modificationDate(), std::nullopt);

    EXPECT_EQ(QXPDFInfo::initWithCGPDFDocument(nullptr), nullptr);
}

TEST(QXPDFInfoTest, PdfDates)
{
    struct Case {
        const char* text;
        std::optional<QXPDFInfo::Date> date;
    };
    const Case cases[] = {
        {"D:19991231235959Z", utc(1999, 12, 31, 23, 59, 59)},
        {"D:19991231235959", utc(1999, 12, 31, 23, 59, 59)},
        {"20210304", utc(2021, 3, 4, 0, 0, 0)},
        {"D:202103040506", utc(2021, 3, 4, 5, 6, 0)},
        {"D:20210304050608-05'30'", utc(2021, 3, 4, 10, 36, 8)},
        {"D:20210304050608+0130", utc(2021, 3, 4, 3, 36, 8)},
        {"D:20240229", utc(2024, 2, 29, 0, 0, 0)},
        {"D:20230229", std::nullopt},
        {"D:20211301", std::nullopt},
        {"D:20210304250000", std::nullopt},
        {"D:21", std::nullopt},
        {"", std::nullopt},
        {"yesterday", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QXPDFInfo::parsePDFDate(c.text), c.date) << c.text;
}

TEST(QXPDFInfoTest, CorpusDocumentsGiveTheirPageCounts)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    const std::pair<const char*, std::uint64_t> files[] = {
        {"tables/icdar2013/eu-014.pdf", 5},
        {"tables/tabula/schools.pdf", 5},
    };
    for (const auto& [name, pages] : files) {
        const std::string path = corpus + "/" + name;
        if (!std::filesystem::exists(path))
            continue;
        const auto info = QXPDFInfo::initWithCGPDFDocument(pdf::Document::open(path));
        ASSERT_TRUE(info) << name;
        EXPECT_EQ(info->numPages(), pages) << name;
        EXPECT_EQ(info->majorVersion(), 1) << name;
        EXPECT_FALSE(info->author().empty()) << name;
    }
}
