// PDF to DOCX through the converter, read back as Word readers read it:
// python-docx for the text in reading order, the package's main part for
// where the section properties stand.
#include "tests/flowtext/ConversionSupport.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace rz {
namespace {

// The document's non-empty paragraph texts, one a line, then "sections N"
// and "last TAG" (the last child of the body).
std::string readDocx(const std::string& path, bool* ran)
{
    const std::string script =
        "import sys, zipfile, docx\n"
        "import xml.etree.ElementTree as ET\n"
        "d = docx.Document(sys.argv[1])\n"
        "for p in d.paragraphs:\n"
        "    if p.text.strip():\n"
        "        print('p ' + p.text)\n"
        "print('sections %d' % len(d.sections))\n"
        "W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'\n"
        "body = ET.fromstring(zipfile.ZipFile(sys.argv[1]).read('word/document.xml')).find(W + 'body')\n"
        "print('last ' + list(body)[-1].tag[len(W):])\n";
    const std::string file = test::writeTempFile(script, "read_docx.py");
    std::string output;
    *ran = test::runCommand("/usr/bin/python3 '" + file + "' '" + path + "'", &output) == 0;
    return output;
}

std::string columnPage()
{
    std::string content = "BT /F1 16 Tf 72 730 Td (A heading over both columns) Tj ET\n";
    for (int c = 0; c < 2; ++c) {
        content += "BT /F1 10 Tf 12 TL " + std::to_string(72 + c * 246) + " 700 Td";
        for (int l = 1; l <= 8; ++l)
            content += " (Column " + std::to_string(c + 1) + " line " + std::to_string(l) + " of the text) Tj T*";
        content += " ET\n";
    }
    return content;
}

TEST(DocxConversion, TwoColumnPageReadsColumnByColumn)
{
    if (!test::runCommand("/usr/bin/python3 -c 'import docx'", nullptr) == 0)
        GTEST_SKIP() << "python-docx is not installed";
    const std::string pdf = test::writeTempFile(
        test::makePdf(columnPage(), "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >> >> >>"),
        "columns.pdf");
    const std::string dest = test::makeTempDir() + "/columns.docx";
    const auto result = test::convertFile(pdf, "docx", dest);
    ASSERT_TRUE(result.ended);
    ASSERT_FALSE(result.error) << result.error->reason;
    EXPECT_TRUE(result.pageErrors.empty());

    bool ran = false;
    const std::string output = readDocx(dest, &ran);
    ASSERT_TRUE(ran) << output;
    std::vector<std::string> expected{"A heading over both columns"};
    for (int c = 1; c <= 2; ++c)
        for (int l = 1; l <= 8; ++l)
            expected.push_back("Column " + std::to_string(c) + " line " + std::to_string(l) + " of the text");
    std::size_t at = 0;
    for (const std::string& phrase : expected) {
        const std::size_t found = output.find(phrase, at);
        ASSERT_NE(found, std::string::npos) << phrase << "\n" << output;
        at = found + phrase.size();
    }
    // The body ends with the document's last section properties.
    EXPECT_NE(output.find("last sectPr"), std::string::npos) << output;
}

TEST(DocxConversion, CorpusPaperConverts)
{
    const std::string pdf = test::corpusFile("fonts/tracemonkey.pdf");
    if (pdf.empty())
        GTEST_SKIP() << "no corpus";
    const std::string dest = test::makeTempDir() + "/tracemonkey.docx";
    const auto result = test::convertFile(pdf, "docx", dest);
    ASSERT_TRUE(result.ended);
    ASSERT_FALSE(result.error) << result.error->reason;
    EXPECT_TRUE(result.pageErrors.empty());
    bool ran = false;
    const std::string output = readDocx(dest, &ran);
    ASSERT_TRUE(ran) << output;
    EXPECT_NE(output.find("Dynamic languages such as JavaScript"), std::string::npos);
    // The left column's abstract comes before the right column's text.
    EXPECT_LT(output.find("Dynamic languages such as JavaScript"), output.find("and is used for the application logic"));
}

TEST(DocxConversion, AnImageIsWrittenAsAPictureInPlace)
{
    if (!test::runCommand("/usr/bin/python3 -c 'import docx'", nullptr) == 0)
        GTEST_SKIP() << "python-docx is not installed";
    // A 2 x 2 RGB image drawn 200 x 100 points with its lower-left corner
    // at (100, 500), under a line of text; once whole, once through a clip
    // that keeps its left quarter.
    struct Case {
        const char* name;
        const char* clip;
        const char* style;
    };
    const Case cases[] = {
        {"whole", "", "margin-left:100.00pt;margin-top:192.00pt;width:200.00pt;height:100.00pt"},
        {"clipped", "100 500 50 100 re W n ", "margin-left:100.00pt;margin-top:192.00pt;width:50.00pt;height:100.00pt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PdfWriter pdf;
        const int image = pdf.addStream("/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceRGB "
                                        "/BitsPerComponent 8",
                                        std::string("\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff", 12));
        const int font = pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
        const int content = pdf.addStream("", "BT /F1 12 Tf 100 700 Td (A caption above the picture) Tj ET\n"
                                              "q " + std::string(c.clip) + "200 0 0 100 100 500 cm /Im1 Do Q\n");
        const int pages = pdf.reserve();
        const int page = pdf.add("<< /Type /Page /Parent " + std::to_string(pages) +
                                 " 0 R /MediaBox [0 0 612 792] /Contents " + std::to_string(content) +
                                 " 0 R /Resources << /Font << /F1 " + std::to_string(font) +
                                 " 0 R >> /XObject << /Im1 " + std::to_string(image) + " 0 R >> >> >>");
        pdf.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
        const int catalog = pdf.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
        const std::string source = test::writeTempFile(pdf.build(catalog), "picture.pdf");
        const std::string dest = test::makeTempDir() + "/picture.docx";
        const auto result = test::convertFile(source, "docx", dest);
        ASSERT_TRUE(result.ended);
        ASSERT_FALSE(result.error) << result.error->reason;

        // The picture's relationship leads to a packaged image whose content
        // type is declared (extensions match in any case); the shape stands
        // where the PDF draws the image.
        const std::string script =
            "import sys, re, zipfile, docx\n"
            "docx.Document(sys.argv[1])\n"
            "z = zipfile.ZipFile(sys.argv[1])\n"
            "body = z.read('word/document.xml').decode()\n"
            "rels = z.read('word/_rels/document.xml.rels').decode()\n"
            "types = z.read('[Content_Types].xml').decode()\n"
            "for rid in re.findall(r'<v:imagedata r:id=\"([^\"]+)\"', body):\n"
            "    target = re.search(r'Id=\"%s\"[^>]*Target=\"([^\"]+)\"' % rid, rels).group(1)\n"
            "    ext = target.rsplit('.', 1)[1].lower()\n"
            "    print('picture %s %d %s' % (target, len(z.read('word/' + target)) > 0, "
            "'Extension=\"%s\"' % ext in types))\n"
            "for style in re.findall(r'<v:shape [^>]*style=\"([^\"]+)\"', body):\n"
            "    print('style ' + style)\n";
        std::string output;
        ASSERT_EQ(test::runCommand("/usr/bin/python3 '" + test::writeTempFile(script, "pictures.py") + "' '" + dest +
                                       "'",
                                   &output),
                  0)
            << output;
        EXPECT_NE(output.find("picture media/"), std::string::npos) << output;
        EXPECT_NE(output.find(" 1 True"), std::string::npos) << output;
        EXPECT_NE(output.find(c.style), std::string::npos) << output;
    }
}

TEST(DocxConversion, AnEncryptedFileConvertsWithItsPassword)
{
    const std::string pdf = test::corpusFile("passwords/pypdf__r4-aes-user-password.pdf");
    if (pdf.empty())
        GTEST_SKIP() << "no corpus";
    if (!test::runCommand("/usr/bin/python3 -c 'import docx'", nullptr) == 0)
        GTEST_SKIP() << "python-docx is not installed";
    const std::string folder = test::makeTempDir();
    // Without the password nothing is written.
    const auto refused = test::convertFile(pdf, "docx", folder + "/refused.docx");
    EXPECT_TRUE(refused.error);
    EXPECT_FALSE(std::ifstream(folder + "/refused.docx").good());

    const std::string dest = folder + "/opened.docx";
    const auto result = test::convertFile(pdf, "docx", dest, std::string("asdfzxcv"));
    ASSERT_TRUE(result.ended);
    ASSERT_FALSE(result.error) << result.error->reason;
    bool ran = false;
    const std::string output = readDocx(dest, &ran);
    ASSERT_TRUE(ran) << output;
    EXPECT_NE(output.find("pdf encryption test"), std::string::npos) << output;
}

} // namespace
} // namespace rz
