// The outline table: depth-first items, explicit and named destinations,
// cycles, per-page queries, and `rzinspect --outline` against its golden.
#include "AnnotFixture.h"

#include "pdfengine/outline/QXPDFOutLineManager.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace rz;
using namespace rz::test;

namespace {

// Three pages (3, 4, 5). The outline has a child that leads back to an
// earlier item, a last item whose /Next is the first one, and destinations
// of every form: arrays, names in /Dests (a bare array and a dictionary),
// strings in a name tree (with /Limits and a cycle of /Kids), an action's
// /D, an unresolvable string and a remote destination.
std::string outlinePdf()
{
    PdfWriter w;
    w.set(1, "<< /Type /Catalog /Pages 2 0 R /Outlines 10 0 R /Dests 30 0 R /Names << /Dests 31 0 R >> >>");
    w.set(2, "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>");
    for (int page = 3; page <= 5; ++page)
        w.set(page, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 6 0 R >>");
    w.setStream(6, "", "");
    w.set(10, "<< /Type /Outlines /First 11 0 R /Last 21 0 R /Count 9 >>");
    w.set(11, "<< /Title (Chapter 1) /Dest [5 0 R /XYZ 72 720 0] /First 12 0 R /Next 15 0 R /Count -4 >>");
    w.set(12, "<< /Title <FEFF0053006500630009003100200041000A004200A00043200B0044> "
              "/Dest [3 0 R /FitR 0 0 612 792] /Next 13 0 R >>");
    w.set(13, "<< /Dest [4 0 R /Fit] /Next 14 0 R >>");
    w.set(14, "<< /Title (Zoom) /Dest [4 0 R /XYZ null null null] /First 12 0 R >>");
    w.set(15, "<< /Title (Web) /A << /S /URI /URI (https://example.org) >> /Next 16 0 R >>");
    w.set(16, "<< /Title (Named) /Dest /chap2 /Next 17 0 R >>");
    w.set(17, "<< /Title (Named dictionary) /Dest /chap3 /Next 18 0 R >>");
    w.set(18, "<< /Title (Tree) /Dest (sec.b) /Next 19 0 R >>");
    w.set(19, "<< /Title (Action) /A << /S /GoTo /D (sec.c) >> /Next 20 0 R >>");
    w.set(20, "<< /Title (Missing) /Dest (nope) /Next 21 0 R >>");
    w.set(21, "<< /Title (Remote) /A << /S /GoToR /F (other.pdf) /D [0 /Fit] >> /Next 11 0 R >>");
    w.set(30, "<< /chap2 [4 0 R /FitH 500] /chap3 << /D [5 0 R /Fit] >> >>");
    w.set(31, "<< /Kids [32 0 R 33 0 R 31 0 R] >>");
    w.set(32, "<< /Limits [(a) (m)] /Names [(sec.b) [3 0 R /Fit]] >>");
    w.set(33, "<< /Limits [(n) (z)] /Kids [34 0 R 33 0 R] >>");
    w.set(34, "<< /Limits [(n) (z)] /Names [(sec.b) << /D [5 0 R /FitV 30] >> (sec.c) [3 0 R /XYZ 1 2.5 3]] >>");
    return w.build(1);
}

std::vector<std::string> descriptions(const std::vector<QXPDFOutlineItem>& items)
{
    std::vector<std::string> lines;
    for (const QXPDFOutlineItem& item : items)
        lines.push_back(QXPDFOutLineManager::descriptionOfItem(item));
    return lines;
}

TEST(OutLineManager, ReadsTheOutlineDepthFirstAndResolvesDestinations)
{
    const auto doc = openPdf(outlinePdf());
    ASSERT_TRUE(doc);
    EXPECT_TRUE(QXPDFOutLineManager::isHaveOutline(*doc));
    QXPDFOutLineManager& manager = QXPDFOutLineManager::sharedInstance();
    ASSERT_TRUE(manager.reLoadOutline(doc));

    const std::vector<std::string> expected = {
        R"(indent=0 count=4 title="Chapter 1" S=GoTo D=[3,"XYZ",72,720,0])",
        "indent=1 count=0 title=\"Sec\\x091 A\\x0aB\xC2\xA0" "C\xE2\x80\x8B" "D\" S=GoTo D=[1,\"FitR\",0,0,612,792]",
        R"(indent=1 count=0 S=GoTo D=[2,"Fit"])",
        R"(indent=1 count=0 title="Zoom" S=GoTo D=[2,"XYZ",0,0,0])",
        R"(indent=0 count=0 title="Web" S=URI)",
        R"(indent=0 count=0 title="Named" S=GoTo D=[2,"FitH",500])",
        R"(indent=0 count=0 title="Named dictionary" S=GoTo D=[3,"Fit"])",
        R"(indent=0 count=0 title="Tree" S=GoTo D=[3,"FitV",30])",
        R"(indent=0 count=0 title="Action" S=GoTo D=[1,"XYZ",1,2.5,3])",
        R"(indent=0 count=0 title="Missing" S=GoTo)",
        R"(indent=0 count=0 title="Remote" S=GoToR D=["Fit"])",
    };
    EXPECT_EQ(descriptions(manager.tableArray()), expected);

    const QXPDFOutlineItem& first = manager.tableArray().front();
    ASSERT_TRUE(first.action && first.action->D);
    EXPECT_EQ(*first.action->D, (std::vector<QXPDFOutlineValue>{3LL, std::string("XYZ"), 72.f, 720.f, 0.f}));
    EXPECT_EQ(first.count, 4);

    // Pages count from 1; unresolved and remote targets belong to no page.
    EXPECT_EQ(descriptions(manager.outlineArrayForPage(2)),
              (std::vector<std::string>{expected[2], expected[3], expected[5]}));
    EXPECT_EQ(manager.outlineArrayForPage(3).size(), 3u);
    EXPECT_TRUE(manager.outlineArrayForPage(4).empty());
    EXPECT_TRUE(manager.outlineArrayForPage(0).empty());
    const auto& table = manager.tableArray();
    EXPECT_EQ(QXPDFOutLineManager::GetGoToPageWithItem(table[4]), -1);
    EXPECT_EQ(QXPDFOutLineManager::GetGoToPageWithItem(table[9]), -1);
    EXPECT_EQ(QXPDFOutLineManager::GetGoToPageWithItem(table[10]), 0);
    EXPECT_EQ(QXPDFOutLineManager::GetIndentPageWithItem(table[1]), 1);

    // Titles lose white space, line breaks, control and format characters.
    EXPECT_EQ(QXPDFOutLineManager::GetOutlineTitleWithItem(table[1]), "Sec1ABCD");
    EXPECT_EQ(QXPDFOutLineManager::GetOutlineTitleWithItem(table[2]), std::nullopt);

    // A document without an outline leaves an empty table.
    const auto plain = openPdf(makePdf("0 0 m"));
    EXPECT_FALSE(manager.reLoadOutline(plain));
    EXPECT_TRUE(manager.tableArray().empty());
    EXPECT_TRUE(manager.outlineArrayForPage(3).empty());
    EXPECT_FALSE(manager.reLoadOutline(nullptr));
    EXPECT_FALSE(QXPDFOutLineManager::isHaveOutline(*plain));
    QXPDFOutLineManager::destory();
}

TEST(OutLineManager, NameTreesHeldAtTheRootOrTooDeep)
{
    // The /Dests tree's root holds the names itself.
    PdfWriter w;
    w.set(1, "<< /Type /Catalog /Pages 2 0 R /Outlines << /First 10 0 R >> "
             "/Names << /Dests << /Names [(a) [3 0 R /Fit] (deep) [3 0 R /Fit]] >> >> >>");
    w.set(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    w.set(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
    w.set(10, "<< /Title (Root) /Dest (a) /Next 11 0 R >>");
    w.set(11, "<< /Title (Unknown) /A << /S /GoTo /D (z) >> /Next 12 0 R >>");
    w.set(12, "<< /Title (Odd) /Dest 5 >>");
    const auto doc = openPdf(w.build(1));
    QXPDFOutLineManager manager;
    ASSERT_TRUE(manager.reLoadOutline(doc));
    EXPECT_EQ(descriptions(manager.tableArray()),
              (std::vector<std::string>{R"(indent=0 count=0 title="Root" S=GoTo D=[1,"Fit"])",
                                        R"(indent=0 count=0 title="Unknown" S=GoTo)",
                                        R"(indent=0 count=0 title="Odd" S=GoTo)"}));

    // A tree deeper than the search goes ends unresolved.
    PdfWriter d;
    d.set(1, "<< /Type /Catalog /Pages 2 0 R /Outlines << /First 10 0 R >> /Names << /Dests 100 0 R >> >>");
    d.set(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    d.set(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
    d.set(10, "<< /Title (Far) /Dest (x) /Next 11 0 R >>");
    d.set(11, "<< /Title (Near) /Dest (y) >>");
    for (int level = 0; level < 60; ++level)
        d.set(100 + level, "<< /Kids [" + std::to_string(101 + level) + " 0 R] >>");
    d.set(160, "<< /Names [(x) [3 0 R /Fit]] >>");
    d.set(101, "<< /Kids [102 0 R 200 0 R] >>");
    d.set(200, "<< /Names [(y) [3 0 R /Fit]] >>");
    ASSERT_TRUE(manager.reLoadOutline(openPdf(d.build(1))));
    EXPECT_EQ(descriptions(manager.tableArray()),
              (std::vector<std::string>{R"(indent=0 count=0 title="Far" S=GoTo)",
                                        R"(indent=0 count=0 title="Near" S=GoTo D=[1,"Fit"])"}));
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(OutLineManager, InspectPrintsTheTable)
{
    const std::string file = writeTempFile(outlinePdf(), "outline.pdf");
    std::string output;
    ASSERT_EQ(runCommand(std::string("'") + RZ_INSPECT_PATH + "' --outline '" + file + "'", &output), 0);
    const auto golden = std::filesystem::path(RZ_TEST_SOURCE_DIR) / "tests/pdfengine/annots/golden/outline.txt";
    if (const char* update = std::getenv("RZ_UPDATE_GOLDEN"); update && *update == '1')
        std::ofstream(golden, std::ios::binary) << output;
    EXPECT_EQ(output, readFile(golden));

    std::string none;
    ASSERT_EQ(runCommand(std::string("'") + RZ_INSPECT_PATH + "' --outline '" +
                             writeTempFile(makePdf("0 0 m"), "plain.pdf") + "'",
                         &none),
              0);
    EXPECT_EQ(none, "outline: none\n");
}

} // namespace
