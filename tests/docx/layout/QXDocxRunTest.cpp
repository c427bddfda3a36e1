// The run base class (drawing order, copies, the array operations), the tab
// run's two writers and the link destination.
#include "docx/layout/QXDocxDestination.h"
#include "docx/layout/QXDocxRun.h"
#include "docx/layout/QXDocxRunTab.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/XMLFileWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace rz;
using test::writeWordprocessingML;

namespace {

const std::string kDefaultRPr =
    R"(<w:rPr><w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman" )"
    R"(w:eastAsia="Times New Roman"/><w:sz w:val="24"/><w:szCs w:val="24"/><w:color w:val="000000"/>)"
    R"(<w:noProof/></w:rPr>)";

std::shared_ptr<QXDocxRun> runAt(std::uint64_t index, std::uint64_t length = 1)
{
    auto run = std::make_shared<QXDocxRun>();
    run->setPdfScanIndex(index);
    run->setPdfScanLength(length);
    return run;
}

std::vector<std::uint64_t> indices(const std::vector<std::shared_ptr<QXDocxRun>>& runs)
{
    std::vector<std::uint64_t> out;
    for (const auto& run : runs)
        out.push_back(run->pdfScanIndex());
    return out;
}

} // namespace

TEST(QXDocxRunTest, NewRunAndTheKeptIndex)
{
    QXDocxRun run;
    EXPECT_EQ(run.pdfScanIndex(), 0u);
    EXPECT_EQ(run.pdfScanLength(), 1u);
    EXPECT_EQ(run.pdfScanIndex_orignal(), QXDocxRun::kNoScanIndex);
    EXPECT_EQ(static_cast<std::int64_t>(run.pdfScanIndex_orignal()), -1);
    EXPECT_EQ(run.displayRect(), Rect::zero());
    EXPECT_STREQ(run.rProperty().rFonts.ascii, QXDocxUtilities::defaultRProperty().rFonts.ascii);
    EXPECT_FALSE(run.isAnnotion());
    EXPECT_FALSE(run.isExtGStateSMask());

    run.setPdfScanIndex(7);
    EXPECT_EQ(run.pdfScanIndex(), 7u);
    EXPECT_EQ(run.pdfScanIndex_orignal(), QXDocxRun::kNoScanIndex);
    run.setPdfScanIndex_orignal(3);
    run.setPdfScanIndex(9);
    EXPECT_EQ(run.pdfScanIndex(), 9u);
    EXPECT_EQ(run.pdfScanIndex_orignal(), 9u);
}

TEST(QXDocxRunTest, CopyKeepsEveryField)
{
    QXDocxRun run;
    run.setPdfScanIndex_orignal(4);
    run.setPdfScanIndex(5);
    run.setPdfScanLength(3);
    QXDocx_RPr property = run.rProperty();
    property.b = true;
    property.sz = 9;
    run.setRProperty(property);
    QXPDF_CTMInfo info;
    info.xLeft = 12;
    info.frame = Rect(12, 3, 40, 10);
    run.setCtmInfo(info);
    run.setIsExtGStateSMask(true);
    run.setIsAnnotion(true);
    run.setPdfAnnotionIndex(6);

    const auto copy = std::dynamic_pointer_cast<QXDocxRun>(run.copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->pdfScanIndex_orignal(), 5u);
    EXPECT_EQ(copy->pdfScanIndex(), 5u);
    EXPECT_EQ(copy->pdfScanLength(), 3u);
    EXPECT_TRUE(copy->rProperty().b);
    EXPECT_EQ(copy->rProperty().sz, 9.0f);
    EXPECT_EQ(copy->ctmInfo().frame, Rect(12, 3, 40, 10));
    EXPECT_TRUE(copy->isExtGStateSMask());
    EXPECT_TRUE(copy->isAnnotion());
    EXPECT_EQ(copy->pdfAnnotionIndex(), 6);
}

TEST(QXDocxRunTest, ScanIndexContinuity)
{
    EXPECT_TRUE(runAt(10)->isPDFScanIndexContinue(*runAt(9)));
    EXPECT_TRUE(runAt(10)->isPDFScanIndexContinue(*runAt(11)));
    EXPECT_TRUE(runAt(10)->isPDFScanIndexContinue(*runAt(10)));
    EXPECT_FALSE(runAt(10)->isPDFScanIndexContinue(*runAt(12)));
    EXPECT_FALSE(runAt(0)->isPDFScanIndexContinue(*runAt(QXDocxRun::kNoScanIndex)));

    struct Case {
        std::vector<std::uint64_t> given;
        bool continuous;
        std::vector<std::uint64_t> sorted;
    };
    const Case cases[] = {
        {{4, 3, 5}, true, {3, 4, 5}},
        {{3, 5}, false, {3, 5}},
        {{}, true, {}},
        {{8}, true, {8}},
        {{2, 2}, false, {2, 2}},
    };
    for (const Case& c : cases) {
        std::vector<std::shared_ptr<QXDocxRun>> runs;
        for (std::uint64_t index : c.given)
            runs.push_back(runAt(index));
        EXPECT_EQ(QXDocxRun::IsPDFScanIndexContinue(runs), c.continuous) << testing::PrintToString(c.given);
        EXPECT_EQ(indices(runs), c.sorted);
    }
}

TEST(QXDocxRunTest, RenumberingSortsStablyAndResetsLengths)
{
    auto a = runAt(5, 3), b = runAt(2), c = runAt(9), d = runAt(5);
    std::vector<std::shared_ptr<QXDocxRun>> runs{a, b, c, d};
    QXDocxRun::UpdateRunArrayPDFScanIndex(runs);
    ASSERT_EQ(runs.size(), 4u);
    // Equal indices keep their order: a before d.
    EXPECT_EQ(runs[0], b);
    EXPECT_EQ(runs[1], a);
    EXPECT_EQ(runs[2], d);
    EXPECT_EQ(runs[3], c);
    EXPECT_EQ(indices(runs), (std::vector<std::uint64_t>{0, 1, 2, 3}));
    for (const auto& run : runs)
        EXPECT_EQ(run->pdfScanLength(), 1u);
}

TEST(QXDocxRunTest, LargestScanIndex)
{
    EXPECT_EQ(QXDocxRun::FindMaxPDFScanIndex(std::vector<std::shared_ptr<QXDocxRun>>{}), nullptr);
    auto a = runAt(5), b = runAt(9), c = runAt(7), d = runAt(9);
    EXPECT_EQ(QXDocxRun::FindMaxPDFScanIndex(std::vector{a, b, c, d}), b);
    EXPECT_EQ(QXDocxRun::FindMaxPDFScanIndex(std::vector{c, a}), c);
    // A run text array works the same way.
    auto tab = std::make_shared<QXDocxRunTab>(1, 2);
    tab->setPdfScanIndex(3);
    EXPECT_EQ(QXDocxRun::FindMaxPDFScanIndex(std::vector{tab}), tab);
}

TEST(QXDocxRunTabTest, WritesTabStopAndRun)
{
    const auto tab = QXDocxRunTab::RunTapWithTabPostion(36, 12.5);
    EXPECT_EQ(tab->tabPostion(), 36);
    EXPECT_EQ(tab->tabWidth(), 12.5);
    EXPECT_EQ(writeWordprocessingML([&](XMLFileWriter& w) { tab->writeTabPropertyWithXMLWriter(w); }),
              R"(<w:tab w:val="left" w:pos="720"/>)");
    EXPECT_EQ(writeWordprocessingML([&](XMLFileWriter& w) { tab->writeWithXMLWriter(w); }),
              "<w:r>" + kDefaultRPr + "<w:tab/></w:r>");

    tab->setTabPostion(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(writeWordprocessingML([&](XMLFileWriter& w) { tab->writeTabPropertyWithXMLWriter(w); }),
              R"(<w:tab w:val="left" w:pos="0"/>)");
}

TEST(QXDocxRunTabTest, CopyAndDescription)
{
    QXDocxRunTab tab(36, 4);
    QXDocx_RPr property = tab.rProperty();
    property.i = true;
    tab.setRProperty(property);
    tab.setPdfScanIndex(11);
    const auto copy = std::dynamic_pointer_cast<QXDocxRunTab>(tab.copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->tabPostion(), 36);
    EXPECT_EQ(copy->tabWidth(), 4);
    EXPECT_TRUE(copy->rProperty().i);
    EXPECT_EQ(copy->pdfScanIndex(), 11u);

    const std::string description = tab.description();
    EXPECT_EQ(description.rfind("<QXDocxRunTab: ", 0), 0u) << description;
    EXPECT_NE(description.find(": 36.000000 4.000000>"), std::string::npos) << description;
}

TEST(QXDocxDestinationTest, HoldsRunAndPoint)
{
    QXDocxDestination empty;
    EXPECT_EQ(empty.page(), nullptr);
    EXPECT_EQ(empty.run(), nullptr);
    EXPECT_EQ(empty.destPoint().x, 0);

    auto run = runAt(2);
    QXDocxDestination destination(nullptr, run);
    destination.setDestPoint(Point{3, 4});
    const QXDocxDestination copy = destination;
    EXPECT_EQ(copy.run(), run);
    EXPECT_EQ(copy.destPoint().y, 4);
}
