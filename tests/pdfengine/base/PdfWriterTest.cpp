// The fixture writer itself: its files must be clean for qpdf and poppler.
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

using namespace rz;

TEST(PdfWriter, FixturePassesQpdfCheckAndPdfinfo)
{
    test::PageFixture a;
    a.content = "BT /F1 12 Tf 72 720 Td (Hello) Tj ET";
    a.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
    test::PageFixture b = a;
    b.flate = true;
    b.extra = "/Rotate 90";
    const std::string path = test::writeTempFile(test::makePdf({a, b}));

    std::string out;
    EXPECT_EQ(test::runCommand("qpdf --check '" + path + "' 2>&1", &out), 0) << out;
    EXPECT_NE(out.find("No syntax or stream encoding errors found"), std::string::npos) << out;
    EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;

    out.clear();
    EXPECT_EQ(test::runCommand("pdfinfo '" + path + "' 2>&1", &out), 0) << out;
    EXPECT_NE(out.find("Pages:           2"), std::string::npos) << out;
    EXPECT_EQ(out.find("Syntax"), std::string::npos) << out;

    out.clear();
    EXPECT_EQ(test::runCommand("pdftotext -f 2 -l 2 '" + path + "' - 2>&1", &out), 0);
    EXPECT_NE(out.find("Hello"), std::string::npos) << out;
}
