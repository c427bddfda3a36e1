// A few corpus files through `rzconvert --to pptx`, read back as their
// users' tools read them: every part passes xmllint, every package the
// package checker, and LibreOffice Impress shows one page per slide.
#include "tests/docx/conversion/DocxReadersSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace rz {
namespace {

int pdfPages(const std::string& pdf)
{
    std::string out;
    test::runCommand("pdfinfo " + test::shellQuoted(pdf) + " 2>/dev/null | sed -n 's/^Pages: *//p'", &out);
    return out.empty() ? -1 : std::stoi(out);
}

TEST(PptxCorpus, FilesConvertAndOpenWithOnePagePerSlide)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    for (const char* tool : {"soffice", "xmllint", "unzip", "pdfinfo"})
        if (!test::haveCommand(tool))
            GTEST_SKIP() << tool << " is not installed";

    const std::vector<std::string> names = {"layout/pdf2docx/demo-image.pdf", "layout/pdf2docx/demo-text-vertical.pdf",
                                            "tables/tabula/rotated_page.pdf", "fonts/tracemonkey.pdf"};
    std::string files;
    std::vector<std::string> pdfs;
    for (const std::string& name : names) {
        if (!fs::exists(corpus + "/" + name))
            continue;
        pdfs.push_back(corpus + "/" + name);
        files += " " + test::shellQuoted(pdfs.back());
    }
    ASSERT_FALSE(pdfs.empty());
    const std::string work = test::makeTempDir();
    std::string report;
    ASSERT_EQ(test::runCommand(std::string(RZCONVERT) + " --to pptx --out " + test::shellQuoted(work + "/pptx") +
                                   " --" + files + " 2>&1",
                               &report),
              0)
        << report;

    std::vector<std::string> packages;
    for (const std::string& pdf : pdfs) {
        const std::string pptx = work + "/pptx/" + fs::path(pdf).stem().string() + ".pptx";
        ASSERT_TRUE(fs::exists(pptx)) << pptx << "\n" << report;
        packages.push_back(pptx);
        const std::string unpacked = test::makeTempDir();
        std::string lint;
        EXPECT_EQ(test::runCommand("cd " + test::shellQuoted(unpacked) + " && unzip -q " + test::shellQuoted(pptx) +
                                       " && find . -name '*.xml' -o -name '*.rels' | xargs xmllint --noout 2>&1",
                                   &lint),
                  0)
            << pptx << "\n" << lint;
        const std::string checker = test::ooxmlCheckTool();
        if (!checker.empty()) {
            std::string problems;
            EXPECT_EQ(test::runCommand(test::shellQuoted(checker) + " " + test::shellQuoted(pptx) + " 2>&1", &problems),
                      0)
                << problems;
        }
    }

    std::string log;
    EXPECT_EQ(test::libreOfficeToPdf(packages, work + "/lo", &log), 0) << log;
    for (const std::string& pdf : pdfs) {
        const std::string shown = work + "/lo/" + fs::path(pdf).stem().string() + ".pdf";
        EXPECT_EQ(pdfPages(shown), pdfPages(pdf)) << shown << "\n" << log;
    }
}

} // namespace
} // namespace rz
