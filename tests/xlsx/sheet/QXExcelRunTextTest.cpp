// Text runs: property comparisons, frame and copy, and the rich-text run and
// shared-string forms they write.
#include "converter/ooxml/XMLFileWriter.h"
#include "tests/support/PdfWriter.h"
#include "xlsx/sheet/QXExcelCell.h"
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelRunText.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace rz;

namespace {

std::shared_ptr<QXExcelRunText> textRun(std::string text, QXExcelRunTextProperty rPr = {})
{
    auto run = std::make_shared<QXExcelRunText>();
    run->setText(std::move(text));
    run->setRPr(rPr);
    return run;
}

class QXExcelRunTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QXExcelManager::destory();
        folder_ = rz::test::makeTempDir();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder_);
        QXExcelManager::destory();
    }
    // What `write` writes, without declaration.
    template <typename F>
    std::string written(F write)
    {
        XMLFileWriter writer((folder_ / "part.xml").string());
        writer.setIndentation("");
        writer.setLineBreak("");
        write(writer);
        return writer.toString();
    }
    std::filesystem::path folder_;
};

} // namespace

TEST_F(QXExcelRunTextTest, PropertyComparisons)
{
    struct Case {
        const char* what;
        void (*change)(QXExcelRunTextProperty&);
        bool equal;
        bool same;
    };
    const Case cases[] = {
        {"identical", [](QXExcelRunTextProperty&) {}, true, true},
        {"size", [](QXExcelRunTextProperty& p) { p.sz = 12.0001; }, false, false},
        {"colour", [](QXExcelRunTextProperty& p) { p.rgbColor = "000000"; }, false, false},
        {"font name", [](QXExcelRunTextProperty& p) { p.rFont = "Arial-Bold"; }, false, true},
        {"family", [](QXExcelRunTextProperty& p) { p.family = "Times"; }, false, true},
        {"bold only", [](QXExcelRunTextProperty& p) { p.b = true; }, true, true},
    };
    for (const Case& c : cases) {
        QXExcelRunTextProperty a;
        QXExcelRunTextProperty b;
        c.change(b);
        EXPECT_EQ(a.isEqualToRPr(b), c.equal) << c.what;
        EXPECT_EQ(a.isSameToRPr(b), c.same) << c.what;
    }
}

TEST_F(QXExcelRunTextTest, FrameAndCopy)
{
    auto run = textRun("abc");
    run->setPdfScanIndex(7);
    run->ctmInfo().xLeft = 10;
    run->ctmInfo().yTop = 20;
    run->ctmInfo().yBottom = 32;
    run->setTextWidth(15);
    run->setRowIndex(3);
    run->setColumnLength(2);
    EXPECT_EQ(run->frame(), Rect(10, 20, 15, 12));

    const auto copy = run->copy();
    EXPECT_EQ(copy->pdfScanIndex(), 7u);
    EXPECT_EQ(copy->text(), "abc");
    EXPECT_EQ(copy->ctmInfo().yBottom, 32);
    EXPECT_EQ(copy->textWidth(), 0);
    EXPECT_EQ(copy->rowIndex(), 0u);
    EXPECT_EQ(copy->columnLength(), 0u);
    copy->text() += "d";
    EXPECT_EQ(run->text(), "abc");
}

TEST_F(QXExcelRunTextTest, RichTextRunByFormatMode)
{
    QXExcelRunTextProperty rPr;
    rPr.sz = 14.4;
    rPr.rFont = "Times-Bold";
    rPr.rgbColor = "1a2b3c";
    rPr.b = true;
    const auto run = textRun("a < b 😀", rPr);
    struct Case {
        int mode;
        const char* expected;
    };
    const Case cases[] = {
        {0, "<r><rPr><sz val=\"14\"/><color rgb=\"FF1a2b3c\"/><rFont val=\"Times-Bold\"/><b val=\"1\"/><i val=\"0\"/>"
            "</rPr><t xml:space=\"preserve\">a &lt; b 😀</t></r>"},
        {1, "<r><rPr><sz val=\"10\"/><color rgb=\"FF1a2b3c\"/><rFont val=\"Times-Bold\"/><b val=\"1\"/><i val=\"0\"/>"
            "</rPr><t xml:space=\"preserve\">a &lt; b 😀</t></r>"},
        {2, "<r><rPr><sz val=\"10\"/><color rgb=\"FF1a2b3c\"/><rFont val=\"Arial Unicode MS\"/><b val=\"1\"/>"
            "<i val=\"0\"/></rPr><t xml:space=\"preserve\">a &lt; b 😀</t></r>"},
    };
    for (const Case& c : cases) {
        QXExcelOptions options;
        options.setExcelFormatOption(c.mode);
        QXExcelManager::sharedInstance().setOptions(options);
        EXPECT_EQ(written([&](XMLFileWriter& w) { run->writeXMLWith(w); }), c.expected) << "mode " << c.mode;
    }
}

TEST_F(QXExcelRunTextTest, ColourIsAlwaysEightHexDigits)
{
    // The default colour already carries its alpha; a colour that is no hex
    // colour becomes black rather than an attribute readers reject.
    const std::pair<const char*, const char*> cases[] = {
        {"2f2b20", "FF2f2b20"}, {"FF2f2b20", "FF2f2b20"}, {"", "FF000000"}, {"red", "FF000000"}};
    for (const auto& [color, expected] : cases) {
        QXExcelRunTextProperty rPr;
        rPr.rgbColor = color;
        const std::string xml = written([&](XMLFileWriter& w) { textRun("x", rPr)->writeXMLWith(w); });
        EXPECT_NE(xml.find("rgb=\"" + std::string(expected) + "\""), std::string::npos) << color << ": " << xml;
    }
}

TEST_F(QXExcelRunTextTest, StringItemHoldsItsRuns)
{
    QXExcelRunTextProperty big;
    big.sz = 18;
    QXExcelRunTextProperty bold;
    bold.rFont = "Arial-Bold";
    auto item = std::make_shared<QXExcelStringItem>();
    EXPECT_EQ(item->maxFontSize(), 12);
    EXPECT_FALSE(item->isAttributeRunText());

    item->runArray() = {textRun("Net "), textRun("sales", bold)};
    item->runArray()[0]->setTextWidth(20);
    item->runArray()[1]->setTextWidth(25);
    EXPECT_EQ(item->content(), "Net sales");
    EXPECT_EQ(item->textWidth(), 45);
    EXPECT_EQ(item->maxFontSize(), 12);
    EXPECT_TRUE(item->isAttributeRunText());
    EXPECT_EQ(item->runProperty().rFont, "Arial Unicode MS");

    item->runArray()[1]->setRPr(big);
    EXPECT_EQ(item->maxFontSize(), 18);
    // A size of its own makes a rich text too.
    EXPECT_TRUE(item->isAttributeRunText());
    item->runArray()[1]->setRPr({});
    EXPECT_FALSE(item->isAttributeRunText());

    const std::string xml = written([&](XMLFileWriter& w) { item->writeXMLWith(w); });
    EXPECT_EQ(xml.rfind("<si><r>", 0), 0u) << xml;
    EXPECT_NE(xml.find(">Net </t></r><r>"), std::string::npos) << xml;
    EXPECT_TRUE(xml.ends_with(">sales</t></r></si>")) << xml;
}
