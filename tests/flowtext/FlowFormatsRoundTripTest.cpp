// HTML and RTF documents as their readers see them: LibreOffice opens them
// and finds the text of the plain-text output; hostile file and font names
// leave the documents well formed.
#include "tests/flowtext/ConversionSupport.h"
#include "tests/flowtext/FlowTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace rz {
namespace {

const char* const kTools = "/usr/bin/python3 " RZ_TEST_SOURCE_DIR "/tests/flowtext/";

// Two fonts whose names are markup and RTF syntax.
std::string hostileFontsPdf()
{
    test::PageFixture page;
    page.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /x#7D#7B#5Crtf1 >>"
                     " /F2 << /Type /Font /Subtype /Type1 /BaseFont /#3C#2Fstyle#3E#3Cscript#3E >> >> >>";
    page.content = "BT /F1 12 Tf 72 720 Td (Hello {braces} \\\\ back) Tj ET\n"
                   "BT /F2 12 Tf 72 690 Td (World <b> & \"q\") Tj ET";
    return test::writeTempFile(test::makePdf({page}), "hostile.pdf");
}

// A font whose name holds control characters and a noncharacter, and whose
// ToUnicode map gives control characters, unpaired surrogates and
// noncharacters, between letters that must all arrive.
std::string controlCharactersPdf()
{
    const std::string cmap = "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                             "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                             "/CMapName /Hostile-UCS def /CMapType 2 def\n"
                             "1 begincodespacerange <00> <FF> endcodespacerange\n"
                             "1 beginbfrange <41> <5A> <0041> endbfrange\n"
                             "8 beginbfchar <01> <0001> <02> <D800> <03> <FFFE> <04> <0085> <05> <DC00>\n"
                             "<06> <FDD0> <07> <001B> <08> <007F> endbfchar\n"
                             "endcmap CMapName currentdict /CMapName get exch /defineresource pop end end\n";
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int tree = w.reserve();
    const int toUnicode = w.addStream("", cmap);
    const int font = w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Caf#01#C2#85#EF#BF#BEGras#7F /ToUnicode " +
                           std::to_string(toUnicode) + " 0 R >>");
    const int contents = w.addStream("", "BT /F1 12 Tf 72 720 Td (A\\001B\\002C\\003D\\004E\\005F\\006G\\007H\\010I) Tj ET");
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(tree) +
                           " 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 " + std::to_string(font) +
                           " 0 R >> >> /Contents " + std::to_string(contents) + " 0 R >>");
    w.set(tree, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    return test::writeTempFile(w.build(catalog), "controls.pdf");
}

int run(const std::string& command, std::string* out = nullptr)
{
    return test::runCommand(command, out);
}

TEST(FlowFormats, HostileNamesGiveWellFormedDocuments)
{
    const std::string pdf = hostileFontsPdf();
    const std::string folder = test::makeTempDir();
    const std::string stem = "<script>alert(1)<!--\"&";
    for (const char* type : {"html", "rtf", "txt"}) {
        const std::string dest = folder + "/" + stem + "." + type;
        const auto result = test::convertFile(pdf, type, dest);
        ASSERT_FALSE(result.error) << type;
        ASSERT_TRUE(fs::exists(dest)) << type;
    }
    std::string out;
    EXPECT_EQ(run(std::string(kTools) + "markup_check.py html '" + folder + "/" + stem + ".html' '" + stem + "'",
                  &out),
              0)
        << out;
    EXPECT_EQ(run(std::string(kTools) + "markup_check.py rtf '" + folder + "/" + stem + ".rtf'", &out), 0) << out;
    EXPECT_NE(test::readFile(folder + "/" + stem + ".txt").find("Hello {braces} \\ back"), std::string::npos);
}

// Control characters, unpaired surrogates and noncharacters in the text and
// the font name, bytes that are not UTF-8 in the file name: the HTML
// document is UTF-8 without them, the RTF document 7-bit text, and every
// letter arrives.
TEST(FlowFormats, ControlCharactersAndBadBytesStayOutOfTheMarkup)
{
    const std::string pdf = controlCharactersPdf();
    const std::string folder = test::makeTempDir();
    const std::string stem = "t\xE9st\x01";
    for (const char* type : {"html", "rtf"}) {
        const std::string dest = folder + "/" + stem + "." + type;
        const auto result = test::convertFile(pdf, type, dest);
        ASSERT_FALSE(result.error) << type;
        ASSERT_TRUE(fs::exists(dest)) << type;
    }
    std::string out;
    EXPECT_EQ(run(std::string(kTools) + "markup_check.py html '" + folder + "/" + stem + ".html' 't\xEF\xBF\xBDst'",
                  &out),
              0)
        << out;
    EXPECT_EQ(run(std::string(kTools) + "markup_check.py rtf '" + folder + "/" + stem + ".rtf'", &out), 0) << out;

    // Every letter, in order (the page's tags are lower-case).
    const std::string html = test::readFile(folder + "/" + stem + ".html");
    const size_t body = html.find("<body>");
    ASSERT_NE(body, std::string::npos);
    std::string letters;
    for (size_t i = body; i < html.size(); ++i)
        if (html[i] >= 'A' && html[i] <= 'Z')
            letters += html[i];
    EXPECT_EQ(letters, "ABCDEFGHI") << html.substr(body);
    EXPECT_NE(html.find("'CafGras'"), std::string::npos) << html;
    EXPECT_NE(test::readFile(folder + "/" + stem + ".rtf").find(" CafGras;"), std::string::npos);
}

TEST(FlowFormats, LibreOfficeReadsTheTextOfTheTextOutput)
{
    if (run("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice is not installed";
    std::vector<std::string> pdfs = {hostileFontsPdf()};
    if (!test::corpusDir().empty())
        for (const auto& entry : fs::directory_iterator(test::corpusFile("text")))
            if (entry.path().extension() == ".pdf")
                pdfs.push_back(entry.path().string());

    const std::string folder = test::makeTempDir();
    std::string inputs;
    std::vector<std::string> stems;
    for (const std::string& pdf : pdfs) {
        const std::string stem = fs::path(pdf).stem().string();
        for (const char* type : {"txt", "html", "rtf"}) {
            // The HTML and RTF copies get names of their own: LibreOffice
            // writes "<stem>.txt" for each input.
            const std::string name = std::string(type) == "txt" ? stem : stem + "-" + type;
            const auto result = test::convertFile(pdf, type, folder + "/" + name + "." + type);
            ASSERT_FALSE(result.error) << pdf << " " << type;
            if (std::string(type) != "txt")
                inputs += " '" + folder + "/" + name + "." + type + "'";
        }
        stems.push_back(stem);
    }
    // One LibreOffice run, with a profile of its own and that folder as its
    // home, where it keeps its settings caches (removed with the folder).
    const std::string profile = test::makeTempDir();
    std::string out;
    ASSERT_EQ(run("cd '" + folder + "' && HOME='" + profile + "' timeout 300 soffice --headless "
                  "-env:UserInstallation=file://" + profile +
                      " --convert-to 'txt:Text (encoded):UTF8' --outdir '" + folder + "/lo'" + inputs + " 2>&1",
                  &out),
              0)
        << out;
    for (const std::string& stem : stems) {
        for (const char* type : {"html", "rtf"}) {
            const std::string read = folder + "/lo/" + stem + "-" + type + ".txt";
            ASSERT_TRUE(fs::exists(read)) << read << "\n" << out;
            EXPECT_EQ(run(std::string(kTools) + "text_metrics.py exact '" + read + "' '" + folder + "/" + stem +
                              ".txt'",
                          &out),
                      0)
                << stem << " " << type << "\n" << out;
        }
    }
}

} // namespace
} // namespace rz
