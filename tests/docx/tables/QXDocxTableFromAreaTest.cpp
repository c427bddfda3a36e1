// Ruling-line paths through the detector to a written table: areas found
// by the table manager, handed to construction, read back by python-docx.
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/layout/QXDocxPage.h"
#include "docx/tables/QXDocxTable.h"
#include "docx/tables/QXDocxTableManager.h"
#include "docx/tables/QXDocxTableAreaSource.h"
#include "tests/docx/tables/QXDocxTableTestSupport.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/docx/tables/TableDetectionFixtures.h"

#include <gtest/gtest.h>

#include <fstream>

namespace rz {
namespace {

TEST(QXDocxTableFromAreaTest, DetectedGridBecomesATableWithItsTexts)
{
    if (!test::pythonDocxIsInstalled())
        GTEST_SKIP() << "python-docx is not installed";

    // Two columns of 100; the middle line stops after the first row (30
    // high), so the second row (60 high) is one cell spanning both.
    const std::vector<QXDocxRunPathPtr> paths = {
        tabletest::segmentRun({72, 100}, {272, 100}), tabletest::segmentRun({72, 130}, {272, 130}),
        tabletest::segmentRun({72, 190}, {272, 190}), tabletest::segmentRun({72, 100}, {72, 190}),
        tabletest::segmentRun({272, 100}, {272, 190}), tabletest::segmentRun({172, 100}, {172, 130}),
    };

    const QXDocxRunTextArray texts = {test::textAt("A", Rect(80, 108, 20, 12), 1),
                                      test::textAt("B", Rect(180, 108, 20, 12), 2),
                                      test::textAt("C", Rect(120, 150, 20, 12), 3)};

    QXDocxPage page;
    QXDocx_SectPr sect = page.sectProperty();
    sect.pgSz = {595, 842};
    page.setSectProperty(sect);
    QXDocxTableManager& manager = QXDocxTableManager::sharedInstance();
    manager.setSuperPage(&page);
    manager.setPageSize(sect.pgSz);
    manager.begainPage();
    for (const auto& path : paths)
        manager.addRunPathIfNeed(path);
    const QXDocxTableAreaArray areas = manager.createAllTableAreas();
    ASSERT_EQ(areas.size(), 1u);
    ASSERT_TRUE(areas[0]->isValidTableArea());
    for (const auto& text : texts)
        areas[0]->addRunText(text);
    const auto table = QXDocxTableCreateTable(*areas[0]);
    manager.endPage();
    EXPECT_EQ(table->superPage(), &page);
    table->convertToXMLProperty();

    const std::string dir = test::makeTempDir();
    const std::string path = dir + "/document.xml";
    {
        XMLFileWriter writer(path);
        const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
        writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        writer.setPrefix("w", w);
        writer.writeStartElementWithNamespace(w, "document");
        writer.writeStartElementWithNamespace(w, "body");
        table->writeWithXMLWriter(writer);
        writer.writeStartElementWithNamespace(w, "p");
        writer.writeEndElementWithNamespace(w, "p");
        writer.writeEndDocument();
    }
    std::ofstream(dir + "/read.py") << "import sys\n"
                                       "from docx.oxml import parse_xml\n"
                                       "from docx.table import Table\n"
                                       "doc = parse_xml(open(sys.argv[1], 'rb').read())\n"
                                       "t = Table(doc.body.tbl_lst[0], None)\n"
                                       "print(len(t.rows), len(t.columns))\n"
                                       "for r in t.rows: print('|'.join(c.text.strip() for c in r.cells))\n"
                                       "b = t._tbl.tblPr.find('{http://schemas.openxmlformats.org/"
                                       "wordprocessingml/2006/main}tblBorders')\n"
                                       "print(b is not None)\n"
                                       "print(t.rows[1]._tr.tc_lst[0].grid_span)\n";
    std::string out;
    EXPECT_EQ(test::runCommand("/usr/bin/python3 '" + dir + "/read.py' '" + path + "' 2>&1", &out), 0) << out;
    EXPECT_EQ(out, "2 2\nA|B\nC|C\nTrue\n2\n");
}

TEST(QXDocxTableFromAreaTest, PageTableStepTakesTheLinesAndTextsOfItsTables)
{
    QXDocxPage page;
    QXDocx_SectPr sect = page.sectProperty();
    sect.pgSz = {595, 842};
    page.setSectProperty(sect);
    // A 2 x 2 grid, a text in each cell, one text outside and one more path
    // (a rule well away from the grid).
    page.allRunPathArray() = {
        tabletest::segmentRun({72, 100}, {272, 100}), tabletest::segmentRun({72, 130}, {272, 130}),
        tabletest::segmentRun({72, 160}, {272, 160}), tabletest::segmentRun({72, 100}, {72, 160}),
        tabletest::segmentRun({172, 100}, {172, 160}), tabletest::segmentRun({272, 100}, {272, 160}),
        tabletest::segmentRun({72, 500}, {272, 500}),
    };
    const QXDocxRunTextPtr outside = test::textAt("Outside", Rect(80, 300, 60, 12), 5);
    page.allRunTextArray() = {test::textAt("A", Rect(80, 108, 20, 12), 1), test::textAt("B", Rect(180, 108, 20, 12), 2),
                              test::textAt("C", Rect(80, 138, 20, 12), 3), test::textAt("D", Rect(180, 138, 20, 12), 4),
                              outside};
    page.convertPath2TableIfNeed();
    ASSERT_EQ(page.allTableArray().size(), 1u);
    const auto& table = page.allTableArray().front();
    EXPECT_EQ(table->tableRowArray().size(), 2u);
    EXPECT_EQ(table->allRunTextArray().size(), 4u);
    // Only the text outside and the lone rule stay on the page.
    ASSERT_EQ(page.allRunTextArray().size(), 1u);
    EXPECT_EQ(page.allRunTextArray().front(), outside);
    EXPECT_EQ(page.allRunPathArray().size(), 1u);

    // A page without paths gets no tables and keeps its text.
    QXDocxPage plain;
    plain.allRunTextArray() = {outside};
    plain.convertPath2TableIfNeed();
    EXPECT_TRUE(plain.allTableArray().empty());
    EXPECT_EQ(plain.allRunTextArray().size(), 1u);
}

} // namespace
} // namespace rz
