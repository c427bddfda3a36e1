// Every unencrypted PDF of the shared corpus through `rzconvert --to docx`,
// each output read as users' tools read it: python-docx opens it, xmllint
// accepts every XML part, the package checker finds nothing, LibreOffice
// prints it on the source's number of pages; and on the text and layout
// folders the DOCX holds the words pdftotext finds, in their order.
#include "tests/docx/conversion/DocxReadersSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace rz {
namespace {

struct CorpusPdf {
    std::string relative; // path under the corpus folder
    int pages = 0;
};

// The MANIFEST rows without passwords.
std::vector<CorpusPdf> unencryptedPdfs(const std::string& corpus)
{
    std::vector<CorpusPdf> pdfs;
    std::istringstream lines(test::fileText(corpus + "/MANIFEST.tsv"));
    std::string line;
    std::getline(lines, line); // the header
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, '\t');)
            fields.push_back(field);
        if (fields.size() < 4 || (fields.size() > 4 && !fields[4].empty()))
            continue;
        pdfs.push_back({fields[0], std::atoi(fields[3].c_str())});
    }
    return pdfs;
}

std::vector<std::string> tabFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream row(line);
    for (std::string field; std::getline(row, field, '\t');)
        fields.push_back(field);
    return fields;
}

// Measures that are not asserted, each with the reason. Word order is
// measured against pdftotext, which reads some pages otherwise than a
// reader does (tables column by column, a right column first, a word
// placed out of its line); text boxes are read where they hang, on the
// page's first paragraph; tables are rebuilt with later work.
const std::map<std::pair<std::string, std::string>, const char*>& knownMisses()
{
    static const std::map<std::pair<std::string, std::string>, const char*> known = {
        {{"layout/pdf2docx/demo-text-alignment.pdf", "sequence ratio"},
         "pdftotext reads the side-by-side first line after the blocks below it"},
        {{"layout/pdf2docx/demo-section.pdf", "sequence ratio"}, "pdftotext reads the table column by column"},
        {{"layout/pdf2docx/demo-table.pdf", "sequence ratio"},
         "pdftotext reads the table column by column; its sideways cells are text boxes"},
        {{"layout/pdf2docx/demo-table-nested.pdf", "sequence ratio"}, "pdftotext reads the table column by column"},
        {{"layout/pdf2docx/demo-image.pdf", "sequence ratio"}, "pdftotext reads two words out of their line"},
        {{"layout/pdf2docx/demo-image-vector-graphic.pdf", "sequence ratio"},
         "the chart's sideways labels are text boxes, which hang on the page's first paragraph"},
        {{"layout/pdf2docx/demo-path-transformation.pdf", "sequence ratio"},
         "pdftotext reads the table column by column"},
        {{"layout/pdf2docx/demo-text-vertical.pdf", "sequence ratio"},
         "its sideways text is in text boxes, which hang on the page's first paragraph"},
        {{"layout/docbank/10.tar_1701.04170.gz_TPNL_afterglow_evo_p8.pdf", "sequence ratio"},
         "pdftotext reads the footnotes before the right column"},
        {{"layout/docbank/135.tar_1410.4804.gz_mpk_p2.pdf", "word coverage"},
         "pdftotext puts blanks between the symbols of its formulas"},
        {{"text/simple3.pdf", "sequence ratio"}, "its Japanese text is set vertically"},
        {{"text/simple3.pdf", "word coverage"}, "its Japanese text is set vertically"},
        {{"text/multicolumn.pdf", "sequence ratio"}, "pdftotext reads the right column's head inside the left"},
        {{"text/AzureInterior.pdf", "sequence ratio"}, "pdftotext reads the invoice table column by column"},
        {{"text/2305.03393v1-pg9.pdf", "sequence ratio"},
         "pdftotext reads the table's merged cells apart from their rows"},
        {{"tables/tabula/argentina_diputados_voting_record.pdf", "LibreOffice pages"},
         "its title is set in a script font LibreOffice does not have: the wider stand-in wraps it and pushes the "
         "table's last rows over"},
        {{"tables/camelot/clockwise_table_1.pdf", "LibreOffice pages"}, "its text is set sideways"},
    };
    return known;
}

TEST(DocxCorpusReadBack, EveryUnencryptedFileInUsersTools)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    for (const char* tool : {"soffice", "xmllint", "pdftotext", "pdfinfo"})
        if (!test::haveCommand(tool))
            GTEST_SKIP() << tool << " is not installed";
    if (!test::havePythonDocx())
        GTEST_SKIP() << "python-docx is not installed";

    const std::vector<CorpusPdf> pdfs = unencryptedPdfs(corpus);
    ASSERT_GT(pdfs.size(), 40u);
    std::map<std::string, std::string> byStem; // outputs are named by stem
    for (const CorpusPdf& pdf : pdfs)
        ASSERT_TRUE(byStem.emplace(fs::path(pdf.relative).stem().string(), pdf.relative).second) << pdf.relative;

    // Three drivers side by side, each given a share of the pages, longest
    // files first.
    constexpr int kRuns = 3;
    std::vector<const CorpusPdf*> order;
    for (const CorpusPdf& pdf : pdfs)
        order.push_back(&pdf);
    std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->pages > b->pages; });
    std::vector<std::string> runArgs(kRuns);
    std::vector<int> runPages(kRuns, 0);
    for (const CorpusPdf* pdf : order) {
        const int run = int(std::min_element(runPages.begin(), runPages.end()) - runPages.begin());
        runPages[run] += std::max(1, pdf->pages);
        runArgs[run] += " " + test::shellQuoted(corpus + "/" + pdf->relative);
    }
    const std::string work = test::makeTempDir();
    std::string command;
    for (int run = 0; run < kRuns; ++run) {
        const std::string log = test::shellQuoted(work + "/run" + std::to_string(run));
        command += "(" RZCONVERT " --to docx --out " + test::shellQuoted(work + "/docx") + " --" + runArgs[run] + " > " +
                   log + ".out 2> " + log + ".err; echo $? > " + log + ".status) & ";
    }
    test::runCommand(command + "wait");

    // The driver's report lines: where each output went, what failed.
    std::map<std::string, std::string> outputs; // source path -> DOCX
    for (int run = 0; run < kRuns; ++run) {
        const std::string log = work + "/run" + std::to_string(run);
        EXPECT_EQ(test::fileText(log + ".status"), "0\n") << test::fileText(log + ".err");
        std::istringstream lines(test::fileText(log + ".out"));
        for (std::string line; std::getline(lines, line);) {
            const std::vector<std::string> f = tabFields(line);
            if (f.size() >= 4 && f[0] == "done" && f[3].rfind("output=", 0) == 0)
                outputs[f[1]] = f[3].substr(7);
            else if (!f.empty() && (f[0] == "failed" || f[0] == "page-failed" || f[0] == "exception"))
                ADD_FAILURE() << "conversion: " << line;
            else if (!f.empty() && f[0] != "start" && f[0] != "page" && f[0] != "saving")
                ADD_FAILURE() << "driver says: " << line;
        }
    }

    std::string listing;
    std::vector<std::string> docxFiles;
    for (const CorpusPdf& pdf : pdfs) {
        const std::string source = corpus + "/" + pdf.relative;
        const auto out = outputs.find(source);
        EXPECT_NE(out, outputs.end()) << pdf.relative << ": no DOCX";
        if (out == outputs.end())
            continue;
        docxFiles.push_back(out->second);
        const bool measured = pdf.relative.rfind("text/", 0) == 0 || pdf.relative.rfind("layout/", 0) == 0;
        listing += out->second + "\t" + source + "\t" + std::to_string(pdf.pages) + "\t" + (measured ? "1" : "0") +
                   "\t" + pdf.relative + "\n";
    }

    const std::string printed = work + "/pdf";
    std::string log;
    EXPECT_EQ(test::libreOfficeToPdf(docxFiles, printed, &log), 0) << log;

    const std::string checker = test::ooxmlCheckTool();
    std::string report;
    test::runCommand("/usr/bin/python3 " + std::string(test::docxCheckScript()) + " corpus " +
                         test::shellQuoted(test::writeTempFile(listing, "listing.tsv")) + " " +
                         test::shellQuoted(printed) + " " +
                         (checker.empty() ? std::string("-") : test::shellQuoted(checker)) + " 2>&1",
                     &report);
    int checks = 0;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> f = tabFields(line);
        if (f.size() >= 4 && f[0] == "check") {
            ++checks;
            if (f[3] == "ok")
                continue;
            if (const auto known = knownMisses().find({f[1], f[2]}); known != knownMisses().end())
                std::printf("%s: %s not asserted (%s): %s\n", f[1].c_str(), f[2].c_str(), known->second,
                            f.size() > 4 ? f[4].c_str() : "");
            else
                ADD_FAILURE() << f[1] << ": " << f[2] << ": " << (f.size() > 4 ? f[4] : "");
        } else if (f.size() >= 3 && f[0] == "figures") {
            std::printf("%s: %s\n", f[1].c_str(), f[2].c_str());
        }
    }
    EXPECT_GE(checks, int(docxFiles.size()) * 4) << report;
}

} // namespace
} // namespace rz
