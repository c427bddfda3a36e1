// Pages whose text is drawn sideways or upside down are read in the
// direction of their text by the text, HTML and RTF exporters.
#include "tests/flowtext/ConversionSupport.h"
#include "tests/flowtext/FlowTestSupport.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

const char* const kSidewaysFont = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

// Three lines of text set with the text matrix `tm` for the first line;
// each next line 20 points below the one before in the text's own frame
// (T* after TL 20).
std::string threeLines(const std::string& tm)
{
    return "BT /F1 12 Tf 20 TL " + tm + " Tm (First sideways line) Tj T* (Second sideways line) Tj T* " +
           "(Third sideways line) Tj ET";
}

std::string sidewaysFixture()
{
    std::vector<test::PageFixture> pages;
    for (const char* tm : {"0 -1 1 0 300 700", // running down the page
                           "-1 0 0 -1 500 400", // upside down
                           "0 1 -1 0 300 100"}) { // running up the page
        test::PageFixture page;
        page.resources = kSidewaysFont;
        // An upright page number, one character among many turned ones,
        // does not keep the page from being read turned.
        page.content = threeLines(tm) + "\nBT /F1 8 Tf 300 30 Td (7) Tj ET";
        pages.push_back(page);
    }
    // Upright text with a sideways label: read as it is, the label left out.
    test::PageFixture upright;
    upright.resources = kSidewaysFont;
    upright.content = threeLines("1 0 0 1 72 700") + "\nBT /F1 12 Tf 0 1 -1 0 560 300 Tm (Margin label) Tj ET";
    pages.push_back(upright);
    return test::writeTempFile(test::makePdf(pages), "sideways.pdf");
}

TEST(FlowSidewaysPages, SidewaysAndUpsideDownPagesAreReadInTheirTextsDirection)
{
    const std::string pdf = sidewaysFixture();
    const std::string folder = test::makeTempDir();
    for (const char* type : {"txt", "html", "rtf"}) {
        const std::string dest = folder + "/sideways." + type;
        const auto result = test::convertFile(pdf, type, dest);
        ASSERT_FALSE(result.error) << type;
        EXPECT_TRUE(result.pageErrors.empty()) << type;
        std::vector<std::string> phrases;
        for (int page = 0; page < 4; ++page)
            phrases.insert(phrases.end(), {"First sideways line", "Second sideways line", "Third sideways line"});
        std::string report;
        EXPECT_EQ(test::phrasesInOrder(dest, phrases, &report), 0) << type << "\n" << report;
        EXPECT_EQ(test::readFile(dest).find("Margin label"), std::string::npos) << type;
    }
}

TEST(FlowSidewaysPages, CorpusPagesAreReadWhicheverWayTheirTextRuns)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string folder = test::makeTempDir();
    struct Case {
        const char* pdf;
        std::vector<std::string> phrases;
    } cases[] = {
        // A table printed sideways on its page.
        {"tables/camelot/clockwise_table_1.pdf",
         {"STATE WISE COVERAGE PARTICULARS BY PERIOD OF SURVEY", "Kerala 5738 6633 8864 8297",
          "Tamil Nadu 7387 10217 5813 7851", "Orissa 3756 5540 12024 8473"}},
        // A page turned by /Rotate: already upright, read in one pass.
        {"tables/tabula/rotated_page.pdf", {"Table S–4.", "Adjusted Baseline by Category"}},
    };
    for (const Case& c : cases) {
        for (const char* type : {"txt", "html", "rtf"}) {
            const std::string dest = folder + "/page." + type;
            ASSERT_FALSE(test::convertFile(test::corpusFile(c.pdf), type, dest).error) << c.pdf << " " << type;
            std::string report;
            EXPECT_EQ(test::phrasesInOrder(dest, c.phrases, &report), 0) << c.pdf << " " << type << "\n" << report;
        }
    }
}

} // namespace
} // namespace rz
