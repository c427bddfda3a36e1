// Joining characters into text runs: the next character continues the
// page's last run when it touches it (gap under 1 point) or sits one word
// space after it (within 1 point), on a baseline less than 1 point away,
// with equal properties.
#include "xlsx/export/QXExcelPDFExporter.h"

#include "tests/support/PdfWriter.h"
#include "xlsx/sheet/QXExcelManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rz {
namespace {

// A run of `text` from x to x + width on baseline y.
std::shared_ptr<QXExcelRunText> runAt(const std::string& text, double x, double width, double baseline,
                                      const std::string& font = "Helvetica")
{
    auto run = std::make_shared<QXExcelRunText>();
    run->setText(text);
    QXPDF_CTMInfo info;
    info.xLeft = x;
    info.xRight = x + width;
    info.yBase = baseline;
    info.yTop = baseline - 8;
    info.yBottom = baseline + 2;
    info.topLeft = {x, baseline - 8};
    run->setCtmInfo(info);
    run->setTextWidth(width);
    run->rPr().rFont = font;
    run->rPr().sz = 10;
    return run;
}

class RunJoin : public testing::Test {
protected:
    void SetUp() override
    {
        exporter.setNumberOfPagesToConvert(1);
        exporter.begainConvertPDF(test::makeTempDir() + "/join.xlsx", nullptr);
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
    }
    void TearDown() override { exporter.cleanConvertPDF(); }

    std::vector<std::string> texts()
    {
        std::vector<std::string> out;
        for (const auto& run : exporter.pdfWriter()->currentPage()->allRunTextArray())
            out.push_back(run->text());
        return out;
    }

    QXExcelPDFExporter exporter;
};

TEST_F(RunJoin, GapsBaselinesAndProperties)
{
    constexpr double kSpace = 2.78;
    struct JoinCase {
        const char* name;
        double gap;            // from the first run's right edge to the second's left
        double baselineShift;
        const char* secondFont;
        std::vector<std::string> expected;
    };
    const JoinCase cases[] = {
        {"touching within half a point", 0.5, 0, "Helvetica", {"ab"}},
        {"one word space", kSpace, 0, "Helvetica", {"a b"}},
        {"one word space less 0.99", kSpace - 0.99, 0, "Helvetica", {"a b"}},
        {"a gap of exactly one point", 1.0, 0, "Helvetica", {"a", "b"}},
        {"baselines 0.9 apart", 0.5, 0.9, "Helvetica", {"ab"}},
        {"baselines 1.0 apart", 0.5, 1.0, "Helvetica", {"a", "b"}},
        {"another font name", 0.5, 0, "Helvetica-Bold", {"a", "b"}},
        {"another font a word space on", kSpace, 0, "Helvetica-Bold", {"a", "b"}},
    };
    for (const JoinCase& c : cases) {
        SCOPED_TRACE(c.name);
        exporter.beginPage(Rect(0, 0, 612, 792), 0);
        exporter.addToAllRunTextArray(runAt("a", 100, 5.56, 700), kSpace);
        exporter.addToAllRunTextArray(runAt("b", 105.56 + c.gap, 5.56, 700 + c.baselineShift, c.secondFont), kSpace);
        EXPECT_EQ(texts(), c.expected);
    }
}

TEST_F(RunJoin, AJoinedRunTakesTheRightEdgeAndTheWidths)
{
    exporter.addToAllRunTextArray(runAt("a", 100, 5, 700), 3);
    exporter.addToAllRunTextArray(runAt("b", 108, 5, 700), 3);
    const auto& runs = exporter.pdfWriter()->currentPage()->allRunTextArray();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]->text(), "a b");
    EXPECT_DOUBLE_EQ(runs[0]->ctmInfo().xRight, 113);
    EXPECT_DOUBLE_EQ(runs[0]->textWidth(), 13);
}

TEST_F(RunJoin, LeadingSpacesAreDroppedUntilTheFirstUprightCharacter)
{
    exporter.collectRunText(" ", Size{0.25, 0}, nullptr);
    EXPECT_TRUE(texts().empty());
    EXPECT_TRUE(exporter.isNotScanTextYet());
}

} // namespace
} // namespace rz

namespace rz {
namespace {

TEST(CellFills, OnlyFilledBoxesOfTwoPointsAndColourBecomeFills)
{
    struct BoxCase {
        Rect box;
        bool fill;
        bool candidate;
    };
    const BoxCase cases[] = {
        {Rect(0, 0, 1.9, 10), true, false},
        {Rect(0, 0, 2, 2), true, true},
        {Rect(0, 0, 50, 20), false, false},
        {Rect::null(), true, false},
        {Rect::infinite(), true, false},
    };
    for (const BoxCase& c : cases)
        EXPECT_EQ(QXExcelPDFExporter::isFillCandidate(c.box, c.fill), c.candidate)
            << c.box.size.width << "x" << c.box.size.height << " fill " << c.fill;

    QXExcelOptions options;
    options.setCollectCGPaths(true);
    options.setCollectFills(true);
    QXExcelManager::sharedInstance().setOptions(options);
    QXExcelManager::reset();
    QXExcelPDFExporter exporter;
    Path box;
    box.addRect(Rect(10, 10, 2, 2));
    exporter.collectFills(box, QXPDFRGB{0, 0, 0});
    EXPECT_EQ(QXExcelManager::sharedInstance().excelStyle().fillsArr().size(), 2u);
    exporter.collectFills(box, QXPDFRGB{200, 30, 30});
    EXPECT_EQ(QXExcelManager::sharedInstance().excelStyle().fillsArr().size(), 3u);
    QXExcelManager::sharedInstance().setOptions(QXExcelOptions());
    QXExcelManager::reset();
}

} // namespace
} // namespace rz
