// A written table as python-docx reads it: rows, columns, cell texts and
// the spans and merges of a merged block; the part checked by xmllint.
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/tables/QXDocxTableSource.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/docx/layout/DocxTestRuns.h"
#include "tests/docx/tables/QXDocxTableTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace rz {
namespace {

// Cell texts are compared without the blank paragraphs that place the
// text vertically in its cell.
// Writes the table inside "w:document/w:body" (ending with a paragraph, as
// a body must), checks the part with xmllint and has python-docx print
// what `python` asks of the table bound to `t`.
std::string readTable(QXDocxTable& table, const std::string& python)
{
    const std::string dir = test::makeTempDir();
    const std::string path = dir + "/document.xml";
    {
        XMLFileWriter writer(path);
        const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
        writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        writer.setPrefix("w", w);
        writer.writeStartElementWithNamespace(w, "document");
        writer.writeStartElementWithNamespace(w, "body");
        table.writeWithXMLWriter(writer);
        writer.writeStartElementWithNamespace(w, "p");
        writer.writeEndElementWithNamespace(w, "p");
        writer.writeEndDocument();
    }
    std::string lint;
    EXPECT_EQ(test::runCommand("xmllint --noout '" + path + "' 2>&1", &lint), 0) << lint;
    const std::string script = dir + "/read.py";
    {
        std::ofstream out(script);
        out << "import sys\n"
               "from docx.oxml import parse_xml\n"
               "from docx.table import Table\n"
               "doc = parse_xml(open(sys.argv[1], 'rb').read())\n"
               "t = Table(doc.body.tbl_lst[0], None)\n"
            << python;
    }
    std::string out;
    EXPECT_EQ(test::runCommand("/usr/bin/python3 '" + script + "' '" + path + "' 2>&1", &out), 0) << out;
    return out;
}

TEST(QXDocxTableWritingTest, PythonDocxReadsRowsColumnsTextsAndMerges)
{
    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python-docx is not installed";

    // Two columns; the second and third rows form one block (no middle
    // line below the first row, no line between them).
    test::TestGrid grid{{72, 222, 372}, {100, 130, 160, 190}, {}};
    for (double y : {100.0, 130.0, 190.0})
        grid.addHorizontal(y, 72, 372);
    grid.addVertical(72, 100, 190);
    grid.addVertical(372, 100, 190);
    grid.addVertical(222, 100, 130);
    QXDocxTableSource area = grid.source();
    area.allRunTextArray = {test::textAt("Name", Rect(80, 108, 40, 12), 1), test::textAt("Value", Rect(230, 108, 40, 12), 2),
                            test::textAt("Merged", Rect(180, 150, 60, 12), 3)};

    QXDocxPage page;
    QXDocx_SectPr sect = page.sectProperty();
    sect.pgSz = {595, 842};
    page.setSectProperty(sect);
    area.superPage = &page;
    const auto table = area.createTable();
    table->convertToXMLProperty();

    const std::string out = readTable(*table,
                                      "print(len(t.rows), len(t.columns))\n"
                                      "for r in t.rows: print('|'.join(c.text.strip() for c in r.cells))\n"
                                      "tc = t.rows[1]._tr.tc_lst[0]\n"
                                      "print(tc.grid_span, tc.vMerge, t.rows[2]._tr.tc_lst[0].vMerge)\n");
    EXPECT_EQ(out, "3 2\n"
                   "Name|Value\n"
                   "Merged|Merged\n"
                   "Merged|Merged\n"
                   "2 restart continue\n");
}

} // namespace
} // namespace rz
