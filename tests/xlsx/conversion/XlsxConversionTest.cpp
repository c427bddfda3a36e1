// PDF fixtures to XLSX and CSV through the converter, read back as users'
// tools read them: openpyxl (values, number formats, merges), xmllint on
// every part, the package checker, LibreOffice headless; the CSV files as
// bytes.
#include "tests/xlsx/conversion/XlsxConversionSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace rz {
namespace {

namespace fs = std::filesystem;

const char* const kHelvetica = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

// One text at (x, y), 10 pt Helvetica.
std::string textAt(double x, double y, const std::string& text)
{
    return "BT /F1 10 Tf " + std::to_string(x) + " " + std::to_string(y) + " Td (" + text + ") Tj ET\n";
}

// A small table: rows from the top down, 20 points apart; each row's cells
// at the given x positions (an empty text leaves the cell out).
std::string table(const std::vector<double>& xs, const std::vector<std::vector<std::string>>& rows, double top = 700)
{
    std::string content;
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size() && c < xs.size(); ++c)
            if (!rows[r][c].empty())
                content += textAt(xs[c], top - 20.0 * static_cast<double>(r), rows[r][c]);
    return content;
}

std::string threePagePdf()
{
    std::vector<test::PageFixture> pages(3);
    pages[0].content = table({72, 200, 350}, {{"first", "second", "third"}, {"first", "", "third"}});
    pages[0].resources = kHelvetica;
    pages[1].content = "0 0 1 rg 100 100 50 50 re f\n"; // no text
    pages[2].content = textAt(72, 700, "gamma");
    pages[2].resources = kHelvetica;
    return test::writeTempFile(test::makePdf(pages), "three.pdf");
}

std::string csvText(const std::string& path)
{
    const std::string bytes = test::fileText(path);
    std::string ascii;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        ascii.push_back(bytes[i + 1] == 0 ? bytes[i] : '?');
    return ascii;
}

TEST(XlsxConversion, ThreePagesDeclareTheirSheetsThemeStylesAndStrings)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const std::string pdf = threePagePdf();
    const std::string xlsx = test::makeTempDir() + "/three.xlsx";
    const auto result = test::convertFile(pdf, "xlsx", xlsx);
    ASSERT_FALSE(result.error.has_value()) << result.error->reason;
    ASSERT_TRUE(fs::exists(xlsx));

    const std::string rels = test::packagePart(xlsx, "xl/_rels/workbook.xml.rels");
    const std::pair<const char*, const char*> expected[] = {
        {"rId1", "worksheets/sheet1.xml"}, {"rId2", "worksheets/sheet2.xml"}, {"rId3", "worksheets/sheet3.xml"},
        {"rId4", "theme/theme1.xml"},      {"rId5", "styles.xml"},            {"rId6", "sharedStrings.xml"},
    };
    for (const auto& [id, target] : expected) {
        const size_t at = rels.find(std::string("Id=\"") + id + "\"");
        ASSERT_NE(at, std::string::npos) << id << "\n" << rels;
        EXPECT_NE(rels.substr(at, rels.find("/>", at) - at).find(target), std::string::npos) << id;
    }
    EXPECT_NE(test::packagePart(xlsx, "xl/worksheets/sheet1.xml").find("tabSelected=\"1\""), std::string::npos);
    for (const char* sheet : {"xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"}) {
        const std::string part = test::packagePart(xlsx, sheet);
        ASSERT_FALSE(part.empty()) << sheet;
        EXPECT_EQ(part.find("tabSelected"), std::string::npos) << sheet;
    }

    const test::WorkbookSeen seen = test::readWorkbook(xlsx);
    ASSERT_EQ(seen.status, 0);
    EXPECT_EQ(seen.sheets, (std::vector<std::string>{"Sheet 1", "Sheet 2", "Sheet 3"}));
    EXPECT_TRUE(seen.cells.count("Sheet 2") == 0 || seen.cells.at("Sheet 2").empty());
    bool gamma = false;
    for (const auto& [ref, cell] : seen.cells.at("Sheet 3"))
        gamma = gamma || cell.find("gamma") != std::string::npos;
    EXPECT_TRUE(gamma);
    test::expectSoundPackage(xlsx);

    // LibreOffice opens it: its CSV export of the first sheet holds the text.
    if (test::haveCommand("soffice")) {
        const std::string out = test::makeTempDir();
        const std::string profile = test::makeTempDir();
        std::string log;
        const int status = test::runCommand("HOME=" + test::shellQuoted(profile) +
                                                " timeout 240 soffice --headless -env:UserInstallation=file://" +
                                                profile + " --convert-to csv --outdir " + test::shellQuoted(out) +
                                                " " + test::shellQuoted(xlsx) + " 2>&1",
                                            &log);
        EXPECT_EQ(status, 0) << log;
        EXPECT_NE(test::fileText(out + "/three.csv").find("second"), std::string::npos) << log;
    }
}

TEST(XlsxConversion, CellTextColumnWidthAndRowHeightStayWithinTheApplicationsLimits)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    // Page 1: one line of 40,000 characters, 20,000 points wide. Page 2: a
    // letter 600 points high.
    std::vector<test::PageFixture> pages(2);
    pages[0].content = "BT /F1 1 Tf 10 400 Td (" + std::string(40000, 'x') + ") Tj ET\n";
    pages[0].resources = kHelvetica;
    pages[1].content = "BT /F1 600 Tf 10 300 Td (H) Tj ET\n";
    pages[1].resources = kHelvetica;
    pages[1].mediaBox = "[0 0 1200 1200]";
    const std::string pdf = test::writeTempFile(test::makePdf(pages), "limits.pdf");
    const std::string xlsx = test::makeTempDir() + "/limits.xlsx";
    const auto result = test::convertFile(pdf, "xlsx", xlsx);
    ASSERT_FALSE(result.error.has_value()) << result.error->reason;

    const test::WorkbookSeen seen = test::readWorkbook(xlsx);
    ASSERT_EQ(seen.status, 0);
    ASSERT_TRUE(seen.cells.count("Sheet 1"));
    ASSERT_TRUE(seen.cells.at("Sheet 1").count("A1"));
    EXPECT_EQ(seen.cells.at("Sheet 1").at("A1"), "s General " + std::string(32767, 'x'));
    ASSERT_TRUE(seen.widths.count("Sheet 1"));
    ASSERT_TRUE(seen.widths.at("Sheet 1").count("A"));
    EXPECT_EQ(seen.widths.at("Sheet 1").at("A"), 255);

    ASSERT_TRUE(seen.cells.count("Sheet 2"));
    EXPECT_EQ(seen.cells.at("Sheet 2").at("A1"), "s General H");
    ASSERT_TRUE(seen.heights.count("Sheet 2"));
    ASSERT_TRUE(seen.heights.at("Sheet 2").count("1"));
    EXPECT_EQ(seen.heights.at("Sheet 2").at("1"), 409);
    test::expectSoundPackage(xlsx);
}

TEST(XlsxConversion, CsvTablesAreUtf16WithByteOrderMarkAndSkipBlankPages)
{
    const std::string pdf = threePagePdf();
    const std::string folder = test::makeTempDir() + "/three.csv";
    const auto result = test::convertFile(pdf, "csv", folder);
    ASSERT_FALSE(result.error.has_value()) << result.error->reason;
    ASSERT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::exists(folder + "/Table 1.csv"));
    EXPECT_FALSE(fs::exists(folder + "/Table 2.csv"));
    EXPECT_TRUE(fs::exists(folder + "/Table 3.csv"));

    const std::string bytes = test::fileText(folder + "/Table 1.csv");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    const std::string text = csvText(folder + "/Table 1.csv");
    EXPECT_NE(text.find("first\tsecond\tthird\n"), std::string::npos) << text;
    EXPECT_NE(text.find("first\t\tthird\n"), std::string::npos) << text;
}

TEST(XlsxConversion, AllPagesInOneSheetBelowOrBeside)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    std::vector<test::PageFixture> pages(2);
    pages[0].content = table({72, 250}, {{"a1", "b1"}, {"a2", "b2"}});
    pages[0].resources = kHelvetica;
    pages[1].content = table({72, 250}, {{"c1", "d1"}, {"c2", "d2"}, {"c3", "d3"}});
    pages[1].resources = kHelvetica;
    const std::string pdf = test::writeTempFile(test::makePdf(pages), "two.pdf");

    struct ModeCase {
        bool below;
        std::map<std::string, std::string> where; // text -> cell
    };
    const ModeCase cases[] = {
        {true, {{"a1", "A1"}, {"b2", "B2"}, {"c1", "A3"}, {"d3", "B5"}}},
        {false, {{"a1", "A1"}, {"b2", "B2"}, {"c1", "C1"}, {"d3", "D3"}}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.below ? "below" : "beside");
        QXExcelOptions options;
        options.setAllInOneSheet(true);
        options.setAiosAddToRow(c.below);
        const std::string xlsx = test::makeTempDir() + "/two.xlsx";
        const auto result = test::convertWithOptions(pdf, "xlsx", xlsx, options);
        ASSERT_FALSE(result.error.has_value()) << result.error->reason;
        const test::WorkbookSeen seen = test::readWorkbook(xlsx);
        ASSERT_EQ(seen.sheets, std::vector<std::string>{"Sheet 1"});
        const auto& cells = seen.cells.at("Sheet 1");
        for (const auto& [text, ref] : c.where) {
            ASSERT_TRUE(cells.count(ref)) << ref;
            EXPECT_EQ(cells.at(ref), "s General " + text) << ref;
        }
        test::expectSoundPackage(xlsx);
    }
}

TEST(XlsxConversion, NumbersBecomeNumericCellsWithTheirFormats)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const std::vector<std::string> texts = {"1,234.56", "-42", "42 %", "3.5%", "$1,200", "1.200,5 \\200", "10 20",
                                            "(7.5)"};
    std::string content;
    for (size_t i = 0; i < texts.size(); ++i)
        content += textAt(72, 700 - 20.0 * static_cast<double>(i), texts[i]);
    const std::string resources =
        "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >> >> >>";
    const std::string pdf = test::writeTempFile(test::makePdf(content, resources), "numbers.pdf");

    struct SeparatorCase {
        int32_t separator;
        std::map<std::string, std::string> cells; // reference -> "TYPE FORMAT VALUE"
    };
    const SeparatorCase cases[] = {
        {0,
         {{"A1", "n #,##0.00 1234.56"},
          {"A2", "n General -42"},
          {"A3", "n 0% 0.42"},
          {"A4", "n 0.00% 0.035"},
          {"A5", "n $#,##0 1200"},
          {"A7", "s"},
          {"A8", "n General -7.5"}}},
        {1, {{"A1", "s"}, {"A2", "n General -42"}, {"A6", "n #,##0.0\xE2\x82\xAC 1200.5"}, {"A7", "s"}}},
    };
    for (const SeparatorCase& c : cases) {
        SCOPED_TRACE(c.separator);
        QXExcelOptions options;
        options.setThousandSepartor(c.separator);
        const std::string xlsx = test::makeTempDir() + "/numbers.xlsx";
        const auto result = test::convertWithOptions(pdf, "xlsx", xlsx, options);
        ASSERT_FALSE(result.error.has_value()) << result.error->reason;
        const test::WorkbookSeen seen = test::readWorkbook(xlsx);
        ASSERT_TRUE(seen.cells.count("Sheet 1"));
        const auto& cells = seen.cells.at("Sheet 1");
        for (const auto& [ref, expected] : c.cells) {
            ASSERT_TRUE(cells.count(ref)) << ref;
            // Text cells: only their type is asserted.
            EXPECT_EQ(expected == "s" ? cells.at(ref).substr(0, 1) : cells.at(ref), expected) << ref;
        }
        test::expectSoundPackage(xlsx);
    }
}

TEST(XlsxConversion, NumbersOnAColouredBoxTakeItsFillWhenFillsAreCollected)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    // A light blue box behind the first number; the second stands on white.
    const std::string content = "0.6 0.8 1 rg 60 690 80 25 re f\n0 g\n" + textAt(72, 700, "125.50") +
                                textAt(72, 600, "99.25");
    const std::string pdf = test::writeTempFile(test::makePdf(content, kHelvetica), "fills.pdf");
    for (const bool fills : {true, false}) {
        SCOPED_TRACE(fills);
        QXExcelOptions options;
        options.setCollectCGPaths(fills);
        options.setCollectFills(fills);
        const std::string xlsx = test::makeTempDir() + "/fills.xlsx";
        const auto result = test::convertWithOptions(pdf, "xlsx", xlsx, options);
        ASSERT_FALSE(result.error.has_value()) << result.error->reason;
        const test::WorkbookSeen seen = test::readWorkbook(xlsx);
        ASSERT_TRUE(seen.cells.count("Sheet 1"));
        std::string first, second;
        for (const auto& [ref, cell] : seen.cells.at("Sheet 1")) {
            if (cell.find("125.5") != std::string::npos)
                first = ref;
            if (cell.find("99.25") != std::string::npos)
                second = ref;
        }
        ASSERT_FALSE(first.empty());
        ASSERT_FALSE(second.empty());
        const std::map<std::string, std::string> none;
        const auto& sheetFills = seen.fills.count("Sheet 1") ? seen.fills.at("Sheet 1") : none;
        if (fills) {
            ASSERT_TRUE(sheetFills.count(first));
            EXPECT_EQ(sheetFills.at(first), "99ccff");
        } else {
            EXPECT_FALSE(sheetFills.count(first));
        }
        EXPECT_FALSE(sheetFills.count(second));
        test::expectSoundPackage(xlsx);
    }
}

TEST(XlsxConversion, ATitleOverATableIsMergedOnlyInTheFirstFormat)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const std::string content =
        textAt(72, 720, "A title that runs across all three columns of the table") +
        table({72, 200, 350}, {{"one", "two", "three"}, {"4.5", "five", "six"}}, 690);
    const std::string pdf = test::writeTempFile(test::makePdf(content, kHelvetica), "merged.pdf");
    struct FormatCase {
        int32_t format;
        bool merged;
        const char* number; // how 4.5 is read
    };
    const FormatCase cases[] = {{0, true, "n General 4.5"}, {1, false, "n General 4.5"}, {2, false, "s General 4.5"}};
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.format);
        QXExcelOptions options;
        options.setExcelFormatOption(c.format);
        const std::string xlsx = test::makeTempDir() + "/merged.xlsx";
        const auto result = test::convertWithOptions(pdf, "xlsx", xlsx, options);
        ASSERT_FALSE(result.error.has_value()) << result.error->reason;
        const test::WorkbookSeen seen = test::readWorkbook(xlsx);
        std::string merges;
        if (seen.merges.count("Sheet 1"))
            for (const std::string& merge : seen.merges.at("Sheet 1"))
                merges += merge + " ";
        EXPECT_EQ(merges.find("A1:") != std::string::npos, c.merged) << merges;
        ASSERT_TRUE(seen.cells.count("Sheet 1"));
        const auto& cells = seen.cells.at("Sheet 1");
        ASSERT_TRUE(cells.count("A1"));
        EXPECT_NE(cells.at("A1").find("A title"), std::string::npos);
        bool number = false;
        for (const auto& [ref, cell] : cells)
            number = number || cell == c.number;
        EXPECT_TRUE(number) << c.number;
        test::expectSoundPackage(xlsx);
    }
}

TEST(XlsxConversion, ATablePrintedSidewaysIsReadTurnedBack)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    // Two lines of text running up the page, two words each.
    std::string content;
    const std::pair<double, std::pair<const char*, const char*>> lines[] = {{300, {"north", "east"}},
                                                                           {320, {"south", "west"}}};
    for (const auto& [x, words] : lines) {
        content += "BT /F1 10 Tf 0 1 -1 0 " + std::to_string(x) + " 100 Tm (" + words.first + ") Tj ET\n";
        content += "BT /F1 10 Tf 0 1 -1 0 " + std::to_string(x) + " 300 Tm (" + words.second + ") Tj ET\n";
    }
    const std::string pdf = test::writeTempFile(test::makePdf(content, kHelvetica), "sideways.pdf");
    const std::string xlsx = test::makeTempDir() + "/sideways.xlsx";
    const auto result = test::convertFile(pdf, "xlsx", xlsx);
    ASSERT_FALSE(result.error.has_value()) << result.error->reason;
    const test::WorkbookSeen seen = test::readWorkbook(xlsx);
    ASSERT_TRUE(seen.cells.count("Sheet 1"));
    std::map<std::string, std::string> where; // word -> reference
    for (const auto& [ref, cell] : seen.cells.at("Sheet 1"))
        where[cell.substr(cell.rfind(' ') + 1)] = ref;
    for (const char* word : {"north", "east", "south", "west"})
        ASSERT_TRUE(where.count(word)) << word;
    auto row = [](const std::string& ref) { return ref.substr(ref.find_first_of("0123456789")); };
    auto column = [](const std::string& ref) { return ref.substr(0, ref.find_first_of("0123456789")); };
    EXPECT_EQ(row(where["north"]), row(where["east"]));
    EXPECT_EQ(row(where["south"]), row(where["west"]));
    EXPECT_NE(row(where["north"]), row(where["south"]));
    EXPECT_LT(column(where["north"]), column(where["east"]));
    EXPECT_EQ(column(where["north"]), column(where["south"]));
}

TEST(XlsxConversion, BoldItalicSizeAndColourReachTheCellFonts)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const std::string content =
        "BT /F1 10 Tf 72 700 Td (plain) Tj ET\n"
        "BT 2 Tr /F1 10 Tf 72 660 Td (heavy) Tj ET\n"
        "BT 0 Tr /F1 10 Tf 1 0 0.35 1 72 620 Tm (slanted) Tj ET\n"
        "BT 1 0 0 rg /F1 18 Tf 72 570 Td (large) Tj ET\n";
    const std::string pdf = test::writeTempFile(test::makePdf(content, kHelvetica), "fonts.pdf");
    const std::string xlsx = test::makeTempDir() + "/fonts.xlsx";
    const auto result = test::convertFile(pdf, "xlsx", xlsx);
    ASSERT_FALSE(result.error.has_value()) << result.error->reason;
    std::string out;
    ASSERT_EQ(test::runCommand("/usr/bin/python3 -c \"import openpyxl,sys\n"
                               "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                               "for row in ws.iter_rows():\n"
                               "    for c in row:\n"
                               "        if c.value is not None:\n"
                               "            print(c.value, int(bool(c.font.b)), int(bool(c.font.i)), int(c.font.sz), "
                               "str(c.font.color.rgb)[-6:].lower())\" " +
                                   test::shellQuoted(xlsx),
                               &out),
              0)
        << out;
    for (const char* expected : {"plain 0 0 10 000000", "heavy 1 0 10 000000", "slanted 0 1 10 000000",
                                 "large 0 0 18 ff0000"})
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
}

TEST(XlsxConversion, CharactersBeyondTheBasicPlaneReachTheCells)
{
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    test::PdfWriter w;
    const std::string cmap =
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap /CMapName /Adobe-Identity-UCS def "
        "/CMapType 2 def 1 begincodespacerange <00> <FF> endcodespacerange 1 beginbfchar <41> <D835DC00> endbfchar "
        "endcmap CMapName currentdict /CMap defineresource pop end end";
    const int toUnicode = w.addStream("", cmap);
    const int font = w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /ToUnicode " +
                           std::to_string(toUnicode) + " 0 R >>");
    const int content = w.addStream("", "BT /F1 12 Tf 72 700 Td (AA) Tj ET");
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 " + std::to_string(font) +
                           " 0 R >> >> /Contents " + std::to_string(content) + " 0 R >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const std::string pdf = test::writeTempFile(w.build(root), "plane.pdf");

    const std::string xlsx = test::makeTempDir() + "/plane.xlsx";
    const auto result = test::convertFile(pdf, "xlsx", xlsx);
    ASSERT_FALSE(result.error.has_value()) << result.error->reason;
    const test::WorkbookSeen seen = test::readWorkbook(xlsx);
    ASSERT_EQ(seen.status, 0);
    std::string cells;
    for (const auto& [ref, cell] : seen.cells.at("Sheet 1"))
        cells += ref + " " + cell + "\n";
    EXPECT_NE(cells.find("s General \xF0\x9D\x90\x80\xF0\x9D\x90\x80\n"), std::string::npos) << cells;
}

TEST(XlsxConversion, AFailedPageStillHasItsSheetAndAnUnwritableDestinationLeavesNothing)
{
    const std::string pdf = threePagePdf();
    // Page 7 does not exist: it fails, the file goes on with a sheet for it.
    const std::string xlsx = test::makeTempDir() + "/gap.xlsx";
    const auto result = test::convertWithOptions(pdf, "xlsx", xlsx, QXExcelOptions(), {1, 7, 3});
    ASSERT_FALSE(result.error.has_value()) << result.error->reason;
    EXPECT_EQ(result.pageErrors.size(), 1u);
    for (const char* sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"})
        EXPECT_FALSE(test::packagePart(xlsx, sheet).empty()) << sheet;
    test::expectSoundPackage(xlsx);

    for (const char* type : {"xlsx", "csv"}) {
        const std::string dest = test::makeTempDir() + "/missing/folder/out." + type;
        const auto failed = test::convertFile(pdf, type, dest);
        EXPECT_TRUE(failed.error.has_value()) << type;
        EXPECT_FALSE(fs::exists(dest)) << type;
    }
}

} // namespace
} // namespace rz
