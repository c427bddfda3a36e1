// Ruled tables through the converter, read back with python-docx: each
// table's rows, columns and cell texts, its merged cells, and where it
// stands among the paragraphs.
#include "tests/flowtext/ConversionSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace rz {
namespace {

// One line per body table: "table ROWSxCOLUMNS", then "cell R C TEXT" for
// each cell where python-docx puts a new one; then counts of gridSpan,
// vMerge and section properties inside tables, and the paragraphs'
// text between the tables ("p TEXT").
std::string readTables(const std::string& path, bool* ran)
{
    const std::string script =
        "import sys, zipfile, docx\n"
        "from docx.table import Table\n"
        "d = docx.Document(sys.argv[1])\n"
        "for block in d.element.body.iterchildren():\n"
        "    tag = block.tag.rsplit('}', 1)[-1]\n"
        "    if tag == 'tbl':\n"
        "        t = Table(block, d)\n"
        "        print('table %dx%d' % (len(t.rows), len(t.columns)))\n"
        "        for r, row in enumerate(t.rows):\n"
        "            seen = set()\n"
        "            for c, cell in enumerate(row.cells):\n"
        "                if id(cell._tc) in seen: continue\n"
        "                seen.add(id(cell._tc))\n"
        "                print('cell %d %d %s' % (r, c, ' '.join(cell.text.split())))\n"
        "    elif tag == 'p':\n"
        "        text = ''.join(x.text or '' for x in block.iter() if x.tag.endswith('}t'))\n"
        "        if text.strip(): print('p ' + text.strip())\n"
        "xml = zipfile.ZipFile(sys.argv[1]).read('word/document.xml').decode()\n"
        "import re\n"
        "inside = ''.join(re.findall(r'<w:tbl>.*?</w:tbl>', xml, re.S))\n"
        "print('gridSpan %d' % xml.count('<w:gridSpan'))\n"
        "print('vMerge %d' % xml.count('<w:vMerge'))\n"
        "print('sectPr in tables %d' % inside.count('<w:sectPr'))\n";
    const std::string file = test::writeTempFile(script, "read_tables.py");
    std::string output;
    *ran = test::runCommand("/usr/bin/python3 '" + file + "' '" + path + "'", &output) == 0;
    return output;
}

std::string convertCorpusTable(const std::string& relative)
{
    const std::string pdf = test::corpusFile(relative);
    if (pdf.empty())
        return {};
    const std::string dest = test::makeTempDir() + "/table.docx";
    const auto result = test::convertFile(pdf, "docx", dest);
    EXPECT_TRUE(result.ended);
    EXPECT_FALSE(result.error) << result.error->reason;
    bool ran = false;
    std::string output = readTables(dest, &ran);
    EXPECT_TRUE(ran) << output;
    return output;
}

class DocxTableConversion : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (test::corpusDir().empty())
            GTEST_SKIP() << "no corpus";
        if (test::runCommand("/usr/bin/python3 -c 'import docx'", nullptr) != 0)
            GTEST_SKIP() << "python-docx is not installed";
    }
};

TEST_F(DocxTableConversion, SpanningCellsBecomeTwoTablesWithMergedCells)
{
    const std::string out = convertCorpusTable("tables/tabula/spanning_cells.pdf");
    EXPECT_NE(out.find("table 21x6"), std::string::npos) << out;
    EXPECT_NE(out.find("table 4x6"), std::string::npos) << out;
    EXPECT_NE(out.find("cell 0 0 Improved operation scenario"), std::string::npos) << out;
    EXPECT_EQ(out.find("gridSpan 0"), std::string::npos) << out;
    EXPECT_NE(out.find("sectPr in tables 0"), std::string::npos) << out;
    // The title above the tables stays a paragraph before them.
    EXPECT_LT(out.find("p "), out.find("table 21x6")) << out;
}

TEST_F(DocxTableConversion, WhiteRulesOverShadedCellsKeepEveryCellApart)
{
    // The table's only visible rules are white lines over grey boxes; its
    // cells must not melt into one.
    const std::string out = convertCorpusTable("tables/camelot/background_lines_1.pdf");
    EXPECT_NE(out.find("table 8x8"), std::string::npos) << out;
    for (const char* cell : {"cell 0 0 State", "cell 1 0 Delhi", "cell 1 7 1,000", "cell 7 7 10,644"})
        EXPECT_NE(out.find(cell), std::string::npos) << cell << "\n" << out;
    EXPECT_NE(out.find("sectPr in tables 0"), std::string::npos) << out;
    // The paragraphs after the table follow it.
    EXPECT_LT(out.find("table 8x8"), out.find("p about injecting drug use")) << out;
}

TEST_F(DocxTableConversion, AllTextOfAPageMadeOfATableStaysInTheFlow)
{
    // Every text of the page is in the table: the page margins follow the
    // table so that it lands in the flow, not in a floating box.
    const std::string out = convertCorpusTable("tables/tabula/schools.pdf");
    EXPECT_NE(out.find("table 46x10"), std::string::npos) << out;
    EXPECT_NE(out.find("Mississippi River Blvd N"), std::string::npos) << out;
}

} // namespace
} // namespace rz
