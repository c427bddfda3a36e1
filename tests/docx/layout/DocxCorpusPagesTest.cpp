// Every page of every PDF of the shared corpus goes through the DOCX
// exporter's page reading and page pass (under the sanitizers in the test
// build); the two-column pages come out column by column.
#include "docx/layout/QXDocxPDFExporter.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace rz {
namespace {

class DocxCorpusPages : public ::testing::TestWithParam<const char*> {};

TEST_P(DocxCorpusPages, EveryPageGoesThroughThePagePass)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    std::vector<fs::path> pdfs;
    for (const auto& entry : fs::recursive_directory_iterator(test::corpusDir() + "/" + GetParam()))
        if (entry.path().extension() == ".pdf")
            pdfs.push_back(entry.path());
    std::sort(pdfs.begin(), pdfs.end());
    ASSERT_FALSE(pdfs.empty());
    for (const fs::path& pdf : pdfs) {
        const auto doc = pdf::Document::open(pdf.string());
        if (!doc || !doc->isUnlocked())
            continue; // the protected files are the converter's matter
        QXDocxPDFExporter exporter;
        exporter.setPdfWriter(std::make_unique<QXDocxWriter>());
        exporter.begainReadDocument(doc);
        for (int n = 1; n <= doc->pageCount(); ++n) {
            if (!exporter.interpretPDFPage(doc->page(n)))
                continue;
            const std::shared_ptr<QXDocxPage> page = exporter.pdfWriter()->currentPage();
            page->updateAllPDFScanIndex();
            page->createPageWithColumn();
            std::size_t linesInBands = 0;
            for (const auto& band : page->allRunTextBandArray())
                linesInBands += band.size();
            EXPECT_GE(linesInBands, page->allRunTextLineArray().empty() ? 0u : 1u) << pdf << " page " << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, DocxCorpusPages, ::testing::Values("fonts", "layout", "tables", "text", "passwords"));

} // namespace
} // namespace rz
