// PDF to DOCX of text that does not run left to right: sideways lines
// become text boxes, slanted lines text paths, and a page of mostly
// sideways text is turned. Read back as users' tools read it: python-docx
// for the paragraphs of the body and of the text boxes, xmllint for the
// main part, ooxml-check for the package.
#include "tests/docx/conversion/DocxReadersSupport.h"
#include "tests/flowtext/ConversionSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rz {
namespace {

const char* const kHelveticaResources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

// One line a record: "p TEXT" for a body paragraph, "box TEXT" for a
// paragraph inside a text box (with " italic" when one of its runs is
// italic), "path TEXT" for a text path, "shape ID" for every VML shape id,
// and "landscape" when the first section is wider than high.
std::string readBoxesAndPaths(const std::string& path, bool* ran)
{
    const std::string script =
        "import sys, docx\n"
        "from docx.oxml.ns import qn\n"
        "d = docx.Document(sys.argv[1])\n"
        "for p in d.paragraphs:\n"
        "    if p.text.strip():\n"
        "        print('p ' + p.text)\n"
        "for box in d.element.body.iter(qn('w:txbxContent')):\n"
        "    for p in box.iter(qn('w:p')):\n"
        "        text = ''.join(t.text or '' for t in p.iter(qn('w:t')))\n"
        "        italic = any(r.find(qn('w:i')) is not None for r in p.iter(qn('w:rPr')))\n"
        "        if text.strip():\n"
        "            print('box ' + text.strip() + (' italic' if italic else ''))\n"
        "V = '{urn:schemas-microsoft-com:vml}'\n"
        "for t in d.element.body.iter(V + 'textpath'):\n"
        "    print('path ' + t.get('string', ''))\n"
        "for s in d.element.body.iter(V + 'shape'):\n"
        "    print('shape ' + s.get('id', ''))\n"
        "s = d.sections[0]\n"
        "if s.page_width and s.page_height and s.page_width > s.page_height:\n"
        "    print('landscape')\n";
    const std::string file = test::writeTempFile(script, "read_boxes.py");
    std::string output;
    *ran = test::runCommand("/usr/bin/python3 '" + file + "' '" + path + "'", &output) == 0;
    return output;
}

// xmllint on the main part and ooxml-check on the package.
void expectValidBoxPackage(const std::string& docx)
{
    std::string out;
    EXPECT_EQ(test::runCommand("cd '" + test::makeTempDir() + "' && unzip -q '" + docx +
                                   "' word/document.xml && xmllint --noout word/document.xml 2>&1",
                               &out),
              0)
        << out;
    if (const std::string check = test::ooxmlCheckTool(); !check.empty()) {
        EXPECT_EQ(test::runCommand("/usr/bin/python3 " + check + " '" + docx + "' 2>&1", &out), 0) << out;
    }
}

std::string convertSideways(const std::string& content, const std::string& name)
{
    const std::string pdf = test::writeTempFile(test::makePdf(content, kHelveticaResources), name + ".pdf");
    const std::string dest = test::makeTempDir() + "/" + name + ".docx";
    const auto result = test::convertFile(pdf, "docx", dest);
    EXPECT_TRUE(result.ended);
    EXPECT_FALSE(result.error) << result.error->reason;
    EXPECT_TRUE(result.pageErrors.empty());
    return dest;
}

bool noPythonDocx()
{
    return test::runCommand("/usr/bin/python3 -c 'import docx' 2>/dev/null") != 0;
}

TEST(DocxTextBoxConversion, SidewaysAndSlantedTextStayWithTheMainText)
{
    if (noPythonDocx())
        GTEST_SKIP() << "python-docx is not installed";
    std::string content;
    for (int i = 0; i < 6; ++i)
        content += "BT /F1 12 Tf 72 " + std::to_string(700 - 20 * i) + " Td (Upright line " + std::to_string(i + 1) +
                   " of the page) Tj ET\n";
    // Reading downwards (turned 90 degrees clockwise) and upwards (270).
    content += "BT /F1 12 Tf 0 -1 1 0 500 700 Tm (Reading downwards) Tj ET\n";
    content += "BT /F1 12 Tf 0 1 -1 0 540 400 Tm (Reading upwards) Tj ET\n";
    content += "BT /F1 12 Tf -1 0 0 -1 500 300 Tm (Upside down) Tj ET\n";
    // A folio and a running title far down the same sideways line.
    content += "BT /F1 10 Tf 0 -1 1 0 580 760 Tm (12) Tj 0 -1 1 0 580 500 Tm (Running title) Tj ET\n";
    content += "BT /F1 14 Tf 0.866 0.5 -0.5 0.866 100 200 Tm (Slanted) Tj ET\n";
    const std::string dest = convertSideways(content, "sideways");

    bool ran = false;
    const std::string output = readBoxesAndPaths(dest, &ran);
    ASSERT_TRUE(ran) << output;
    EXPECT_NE(output.find("p Upright line 1 of the page"), std::string::npos) << output;
    // Sideways text is not slanted, so it is not italic.
    EXPECT_NE(output.find("box Reading downwards\n"), std::string::npos) << output;
    EXPECT_NE(output.find("box Reading upwards\n"), std::string::npos) << output;
    EXPECT_NE(output.find("box Upside down\n"), std::string::npos) << output;
    EXPECT_NE(output.find("box 12\n"), std::string::npos) << output;
    EXPECT_NE(output.find("box Running title\n"), std::string::npos) << output;
    EXPECT_NE(output.find("path Slanted"), std::string::npos) << output;
    for (const char* id : {"shape TextBox 1\n", "shape TextBox 2\n", "shape TextBox 3\n", "shape TextPath 1\n"})
        EXPECT_NE(output.find(id), std::string::npos) << id << output;
    EXPECT_EQ(output.find("landscape"), std::string::npos) << output;
    expectValidBoxPackage(dest);
}

TEST(DocxTextBoxConversion, APageOfSidewaysTextIsTurned)
{
    if (noPythonDocx())
        GTEST_SKIP() << "python-docx is not installed";
    std::string content;
    for (int i = 0; i < 5; ++i)
        content += "BT /F1 12 Tf 0 1 -1 0 " + std::to_string(100 + 20 * i) + " 100 Tm (Sideways line " +
                   std::to_string(i + 1) + " of a turned table) Tj ET\n";
    // Main text is counted in characters, boxed text in runs.
    content += "BT /F1 12 Tf 72 60 Td (7) Tj ET\n";
    const std::string dest = convertSideways(content, "turned");

    bool ran = false;
    const std::string output = readBoxesAndPaths(dest, &ran);
    ASSERT_TRUE(ran) << output;
    // Read again turned: the lines are body text of a landscape page, in
    // order, and the upright folio is now the sideways one.
    ASSERT_EQ(output.rfind("p Sideways line 1", 0), 0u) << output;
    std::size_t at = 0;
    for (int i = 1; i <= 5; ++i) {
        const std::string line = "Sideways line " + std::to_string(i) + " of a turned table";
        at = output.find(line, at);
        ASSERT_NE(at, std::string::npos) << line << "\n" << output;
    }
    EXPECT_LT(at, output.find("box 7"));
    EXPECT_NE(output.find("landscape"), std::string::npos) << output;
    expectValidBoxPackage(dest);
}

TEST(DocxTextBoxConversion, SidewaysWordsKeepTheirSpacesOnAPageWithoutMainText)
{
    if (noPythonDocx())
        GTEST_SKIP() << "python-docx is not installed";
    // Two boxed runs do not turn the page; blanks drawn before any main
    // text are dropped, so the gaps they leave become spaces again.
    const std::string content = "BT /F1 12 Tf 0 -1 1 0 300 700 Tm (Down the margin) Tj ET\n"
                                "BT /F1 12 Tf 0 1 -1 0 100 100 Tm (Up the gutter) Tj ET\n";
    const std::string dest = convertSideways(content, "margins");
    bool ran = false;
    const std::string output = readBoxesAndPaths(dest, &ran);
    ASSERT_TRUE(ran) << output;
    EXPECT_NE(output.find("box Down the margin\n"), std::string::npos) << output;
    EXPECT_NE(output.find("box Up the gutter\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("landscape"), std::string::npos) << output;
    expectValidBoxPackage(dest);
}

} // namespace
} // namespace rz
