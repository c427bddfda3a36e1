// A three-page PDF (one column; two columns; a smaller sheet) to DOCX, read
// back with python-docx and printed by LibreOffice: the text in order, one
// section per page with its page size, two columns on the second page and
// three printed pages.
#include "tests/docx/conversion/DocxReadersSupport.h"
#include "tests/flowtext/ConversionSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace rz {
namespace {

const char* const kTimes = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >> >> >>";

// Lines of 11 pt text from (x, top) downwards, 14 pt apart.
std::string textLines(double x, double top, const std::vector<std::string>& lines)
{
    std::string content = "BT /F1 11 Tf 14 TL " + std::to_string(x) + " " + std::to_string(top) + " Td";
    for (const std::string& line : lines)
        content += " (" + line + ") Tj T*";
    return content + " ET\n";
}

std::vector<std::string> numbered(const std::string& prefix, int count)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back(prefix + " line " + std::to_string(i) + " of the page");
    return lines;
}

// The sections of one printed page: the first section of the document,
// or one whose break starts a new page, and the continuous ones after it.
struct PageSeen {
    double width = 0, height = 0;
    int maxColumns = 0;
    bool sameSizeThroughout = true;
};

std::vector<PageSeen> pagesOfSections(const std::string& layout)
{
    std::vector<PageSeen> pages;
    std::istringstream lines(layout);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("section ", 0) != 0)
            continue;
        double width = 0, height = 0;
        int columns = 0;
        std::string type;
        std::istringstream(line.substr(8)) >> width >> height >> columns >> type;
        if (pages.empty() || (type != "continuous" && type != "nextColumn")) {
            pages.push_back({width, height, columns, true});
            continue;
        }
        PageSeen& page = pages.back();
        page.maxColumns = std::max(page.maxColumns, columns);
        page.sameSizeThroughout = page.sameSizeThroughout && width == page.width && height == page.height;
    }
    return pages;
}

TEST(DocxThreePages, SectionsPageSizesColumnsAndPrintedPages)
{
    if (!test::havePythonDocx())
        GTEST_SKIP() << "python-docx is not installed";

    const std::vector<std::string> first = numbered("Single column", 10);
    const std::vector<std::string> left = numbered("Left column", 10);
    const std::vector<std::string> right = numbered("Right column", 10);
    const std::vector<std::string> third = numbered("Smaller sheet", 6);
    std::vector<test::PageFixture> pages(3);
    pages[0].content = textLines(72, 700, first);
    pages[1].content = textLines(72, 700, left) + textLines(318, 700, right);
    pages[2].content = textLines(60, 520, third);
    pages[2].mediaBox = "[0 0 420 595]";
    for (test::PageFixture& page : pages)
        page.resources = kTimes;
    const std::string pdf = test::writeTempFile(test::makePdf(pages), "three.pdf");
    const std::string folder = test::makeTempDir();
    const std::string dest = folder + "/three.docx";
    const auto result = test::convertFile(pdf, "docx", dest);
    ASSERT_TRUE(result.ended);
    ASSERT_FALSE(result.error) << result.error->reason;
    EXPECT_TRUE(result.pageErrors.empty());

    std::string output;
    ASSERT_EQ(test::runCommand("/usr/bin/python3 " + std::string(test::docxCheckScript()) + " layout " +
                                   test::shellQuoted(dest) + " 2>&1",
                               &output),
              0)
        << output;

    // The lines in reading order: the left column before the right one.
    std::size_t at = 0;
    for (const auto* lines : {&first, &left, &right, &third})
        for (const std::string& line : *lines) {
            const std::size_t found = output.find(line, at);
            ASSERT_NE(found, std::string::npos) << line << "\n" << output;
            at = found + line.size();
        }

    // One page-starting section per PDF page, each carrying its page's
    // size; the two-column page's text in a two-column section.
    const std::vector<PageSeen> seen = pagesOfSections(output);
    ASSERT_EQ(seen.size(), 3u) << output;
    const PageSeen want[] = {{612, 792, 1, true}, {612, 792, 2, true}, {420, 595, 1, true}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(seen[i].width, want[i].width, 0.1) << "page " << i + 1 << "\n" << output;
        EXPECT_NEAR(seen[i].height, want[i].height, 0.1) << "page " << i + 1 << "\n" << output;
        EXPECT_TRUE(seen[i].sameSizeThroughout) << "page " << i + 1 << "\n" << output;
        EXPECT_EQ(seen[i].maxColumns, want[i].maxColumns) << "page " << i + 1 << "\n" << output;
    }

    if (!test::haveCommand("soffice") || !test::haveCommand("pdfinfo"))
        GTEST_SKIP() << "LibreOffice or pdfinfo is not installed";
    std::string log;
    ASSERT_EQ(test::libreOfficeToPdf({dest}, folder + "/printed", &log), 0) << log;
    std::string info;
    test::runCommand("pdfinfo " + test::shellQuoted(folder + "/printed/three.pdf") + " 2>&1", &info);
    int printedPages = 0;
    if (const std::size_t p = info.find("Pages:"); p != std::string::npos)
        std::istringstream(info.substr(p + 6)) >> printedPages;
    EXPECT_EQ(printedPages, 3) << info;
}

} // namespace
} // namespace rz
