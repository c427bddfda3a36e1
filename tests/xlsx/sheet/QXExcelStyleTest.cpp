// The style registry: its start entries, deduplication of fonts, fills and
// cell formats, the fonts of the output modes, fills matched to cell frames,
// and the style sheet part read back.
#include "xlsx/sheet/QXExcelManager.h"
#include "xlsx/sheet/QXExcelStyle.h"

#include "converter/ooxml/XMLFileWriter.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace rz;

namespace {

// Sets the shared manager's options for one test and puts the defaults
// back afterwards.
class ManagerOptions {
public:
    explicit ManagerOptions(int32_t mode, bool fills = false)
    {
        QXExcelOptions options;
        options.setExcelFormatOption(mode);
        options.setCollectCGPaths(fills);
        options.setCollectFills(fills);
        QXExcelManager::sharedInstance().setOptions(options);
    }
    ~ManagerOptions() { QXExcelManager::sharedInstance().setOptions(QXExcelOptions()); }
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(QXExcelStyleTest, StartEntries)
{
    QXExcelStyle style;
    ASSERT_EQ(style.fontsArr().size(), 1u);
    EXPECT_EQ(style.fontsArr()[0].font().name, "Arial Unicode MS");
    EXPECT_EQ(style.fontsArr()[0].font().sz, 12);
    ASSERT_EQ(style.fillsArr().size(), 2u);
    EXPECT_EQ(style.fillsArr()[0].patternFill().patternType, "none");
    EXPECT_EQ(style.fillsArr()[1].patternFill().patternType, "gray125");
    EXPECT_EQ(style.bordersArr().size(), 1u);
    EXPECT_EQ(style.cellStyleXfsArr().size(), 1u);
    ASSERT_EQ(style.cellXfsArr().size(), 1u);
    EXPECT_TRUE(style.cellXfsArr()[0].formatedElm().applyAlignment);
    EXPECT_TRUE(style.numFmtsArr().empty());
}

TEST(QXExcelStyleTest, CellFontsFollowTheOutputMode)
{
    struct FontCase {
        int32_t mode;
        bool fills;
        const char* color;
        QXExcelCellFont expected;
    };
    const FontCase cases[] = {
        {0, false, "ff0000", {"Helvetica-Bold", 9, "ff0000", true, true}},
        {0, false, "ffffff", {"Helvetica-Bold", 9, "000000", true, true}},
        {0, true, "ffffff", {"Helvetica-Bold", 9, "ffffff", true, true}},
        {1, false, "123456", {"Helvetica-Bold", 10, "123456", true, true}},
        {2, false, "123456", {"Arial Unicode MS", 10, "123456", false, false}},
    };
    for (const FontCase& c : cases) {
        ManagerOptions options(c.mode, c.fills);
        const QXExcelCellFont font = QXExcelStyle::cellFont("Helvetica-Bold", 9, std::string(c.color), true, true);
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.color);
        EXPECT_EQ(font.name, c.expected.name);
        EXPECT_EQ(font.size, c.expected.size);
        EXPECT_EQ(font.rgbColor, c.expected.rgbColor);
        EXPECT_EQ(font.b, c.expected.b);
        EXPECT_EQ(font.i, c.expected.i);
    }
    ManagerOptions options(0);
    EXPECT_EQ(QXExcelStyle::cellFont("F", 9, std::nullopt, false, false).rgbColor, "000000");
}

TEST(QXExcelStyleTest, FontsAreDeduplicatedAndLongNamesCut)
{
    ManagerOptions options(0);
    QXExcelStyle style;
    const QXExcelCellFont font{"Times", 11, "000000", false, false};
    EXPECT_EQ(style.collectCellFont(font), 1);
    EXPECT_EQ(style.collectCellFont(font), 1);
    QXExcelCellFont bold = font;
    bold.b = true;
    EXPECT_EQ(style.collectCellFont(bold), 2);
    EXPECT_EQ(style.collectCellFont({"Arial Unicode MS", 12, "000000", false, false}), 0);

    // 254 ASCII bytes then a three-byte character: cut before it.
    const std::string longName = std::string(254, 'a') + "\xE2\x82\xAC" + "tail";
    EXPECT_EQ(QXExcelStyle::fontNameForRecord(longName), std::string(254, 'a'));
    EXPECT_EQ(QXExcelStyle::fontNameForRecord("short"), "short");
}

TEST(QXExcelStyleTest, FillsMatchWithinTheirTolerancesAndFindCells)
{
    ManagerOptions options(0, true);
    QXExcelStyle style;
    const Color blue = Color::rgb(0, 0, 1);
    style.collectFills(QXExcelStyleFill(Rect(100, 100, 50, 20), blue));
    style.collectFills(QXExcelStyleFill(Rect(101, 101, 50, 20), blue));  // edges 1 point off: same
    EXPECT_EQ(style.fillsArr().size(), 3u);
    style.collectFills(QXExcelStyleFill(Rect(103, 100, 47, 20), blue));  // left edge 3 points off
    EXPECT_EQ(style.fillsArr().size(), 4u);
    style.collectFills(QXExcelStyleFill(Rect(100, 100, 50, 20), Color::rgb(1, 0, 0)));
    ASSERT_EQ(style.fillsArr().size(), 5u);
    EXPECT_EQ(*style.fillsArr()[2].fgRGBColor(), "0000ff");

    EXPECT_EQ(style.getFillIdWithCellFrame(Rect(110, 105, 10, 8)), 2);
    EXPECT_EQ(style.getFillIdWithCellFrame(Rect(400, 400, 10, 8)), 0);

    ManagerOptions noFills(0, false);
    EXPECT_EQ(style.getFillIdWithCellFrame(Rect(110, 105, 10, 8)), 0);
}

TEST(QXExcelStyleTest, CellFormatsOfTextAndNumbers)
{
    ManagerOptions options(0);
    QXExcelStyle style;
    // A left-aligned text cell in the default font takes format 0.
    EXPECT_EQ(style.textStyleIndex(0, "left"), 0);
    EXPECT_EQ(style.textStyleIndex(1, "left"), 1);
    EXPECT_EQ(style.textStyleIndex(1, "center"), 2);
    EXPECT_EQ(style.textStyleIndex(1, "left"), 1);

    const int32_t id = style.collectNumberFormat("#,##0.00");
    const int32_t numeric = style.numericStyleIndex(id, 1, 0);
    EXPECT_EQ(numeric, 3);
    EXPECT_EQ(style.numericStyleIndex(id, 1, 0), numeric);
    EXPECT_EQ(style.numericStyleIndex(9, 1, 0), 4);
    EXPECT_EQ(style.cellXfsArr()[numeric].formatedElm().numFmtId, id);
    EXPECT_TRUE(style.cellXfsArr()[numeric].formatedElm().alignment.wrapText);

    // A text cell may share a numeric cell's format with its font and
    // alignment.
    EXPECT_EQ(style.textStyleIndex(7, "left"), 5);
    const int32_t numericSeven = style.numericStyleIndex(0, 8, 0);
    EXPECT_EQ(style.textStyleIndex(8, "left"), numericSeven);
}

TEST(QXExcelStyleTest, HorizontalAlignmentOfTextCells)
{
    const Rect frame(100, 0, 80, 0);
    {
        ManagerOptions options(0);
        EXPECT_EQ(QXExcelStyle::textHorizontalAlignment(2, 150, frame), "left");
    }
    ManagerOptions options(1);
    EXPECT_EQ(QXExcelStyle::textHorizontalAlignment(0, 150, frame), "left");
    EXPECT_EQ(QXExcelStyle::textHorizontalAlignment(2, 102.5, frame), "left");
    EXPECT_EQ(QXExcelStyle::textHorizontalAlignment(2, 103, frame), "center");
}

TEST(QXExcelStyleTest, StyleSheetIsWellFormedAndInSchemaOrder)
{
    ManagerOptions options(0, true);
    QXExcelStyle style;
    style.collectNumberFormat("$#,##0");
    const int32_t font = style.collectCellFont({"Times & <Co>", 11, "ff0000", true, false});
    style.collectFills(QXExcelStyleFill(Rect(0, 0, 10, 10), Color::rgb(0, 1, 0)));
    style.numericStyleIndex(164, font, 2);
    style.textStyleIndex(font, "left");

    const std::string folder = test::makeTempDir();
    std::filesystem::create_directories(folder + "/xl");
    style.writeStyleTo(folder);
    const std::string path = folder + "/xl/styles.xml";
    const std::string xml = readFile(path);
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));

    size_t last = 0;
    for (const char* element : {"<numFmts", "<fonts", "<fills", "<borders", "<cellStyleXfs", "<cellXfs",
                                "<cellStyles", "<dxfs", "<tableStyles"}) {
        const size_t at = xml.find(element);
        ASSERT_NE(at, std::string::npos) << element;
        EXPECT_GT(at, last) << element;
        last = at;
    }
    EXPECT_NE(xml.find("numFmtId=\"164\" formatCode=\"$#,##0\""), std::string::npos);
    EXPECT_NE(xml.find("Times &amp; &lt;Co&gt;"), std::string::npos);
    EXPECT_NE(xml.find("<fgColor rgb=\"FF00ff00\""), std::string::npos);
    EXPECT_NE(xml.find("wrapText=\"1\""), std::string::npos);
    if (test::runCommand("command -v xmllint >/dev/null 2>&1") == 0) {
        EXPECT_EQ(test::runCommand("xmllint --noout '" + path + "'"), 0);
    }
    std::filesystem::remove_all(folder);
}

TEST(QXExcelStyleTest, StyleSheetWithoutFolderRaises)
{
    QXExcelStyle style;
    EXPECT_THROW(style.writeStyleTo("/nonexistent-folder-for-styles"), XMLWriterException);
}
