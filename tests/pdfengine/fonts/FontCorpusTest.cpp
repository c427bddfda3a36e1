// Real PDFs of the shared corpus: every font of the pages loads, and the
// strings the pages show decode to the text the corpus expects.
#include "FontTextWalker.h"

#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <unicode/unistr.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

using namespace rz;

namespace {

struct CorpusCase {
    const char* file;            // under the corpus folder
    std::vector<std::string> expected;
    const char* truthFile = nullptr; // non-empty lines expected in order
    bool rightToLeft = false;    // glyphs shown in visual order
    int pages = 0;               // expected page count (0: not checked)
    bool ordered = false;        // expected texts appear in this order
};

std::vector<std::string> truthLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!test::comparable(line).empty())
            lines.push_back(line);
    }
    return lines;
}

std::string reversedCodePoints(const std::string& utf8)
{
    icu::UnicodeString s = icu::UnicodeString::fromUTF8(utf8);
    s.reverse();
    std::string out;
    s.toUTF8String(out);
    return out;
}

// Looks for each expected text in order; answers the first that is missing.
std::string firstMissing(const std::string& haystack, const std::vector<std::string>& expected,
                         bool ordered)
{
    size_t from = 0;
    for (const std::string& text : expected) {
        const std::string needle = test::comparable(text);
        const size_t at = haystack.find(needle, ordered ? from : 0);
        if (at == std::string::npos)
            return text;
        if (ordered)
            from = at + needle.size();
    }
    return {};
}

std::string scotusLine(const std::string& line)
{
    // The line numbers are a column of their own, shown before the text.
    size_t i = line.find_first_not_of(' ');
    while (i != std::string::npos && i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    return i == std::string::npos ? std::string() : line.substr(i);
}

// The test's name: the file name without its folder and ".pdf", each run of
// characters other than letters and digits as one "_", so that the name reads
// like the file ("text/2305.03393v1-pg9.pdf": "2305_03393v1_pg9"). A name of
// digits alone would look like gtest's own parameter index to CTest's test
// discovery, which puts the printed parameter in its place; such a name
// starts with "pdf_".
std::string caseName(const ::testing::TestParamInfo<CorpusCase>& info)
{
    std::string file = info.param.file;
    file = file.substr(file.find('/') + 1);
    if (file.size() > 4 && file.compare(file.size() - 4, 4, ".pdf") == 0)
        file.resize(file.size() - 4);
    std::string name;
    for (const char ch : file) {
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9'))
            name.push_back(ch);
        else if (!name.empty() && name.back() != '_')
            name.push_back('_');
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    if (name.find_first_not_of("0123456789") == std::string::npos)
        name = "pdf_" + name;
    return name;
}

// The parameter as gtest prints it (in test listings and failures): its file,
// not its bytes.
void PrintTo(const CorpusCase& c, std::ostream* out)
{
    *out << c.file;
}

} // namespace

class FontCorpus : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(FontCorpus, FontsLoadAndTextDecodes)
{
    const std::string root = test::corpusDir();
    if (root.empty())
        GTEST_SKIP() << "no corpus";
    const CorpusCase& c = GetParam();
    const auto doc = pdf::Document::open(root + "/" + c.file);
    ASSERT_TRUE(doc) << c.file;
    if (c.pages) {
        EXPECT_EQ(doc->pageCount(), c.pages);
    }

    std::string text;
    size_t fonts = 0;
    for (int p = 1; p <= doc->pageCount(); ++p) {
        const test::WalkedPage page = test::walkPageText(doc->page(p));
        ASSERT_TRUE(page.scanned);
        for (const auto& [name, font] : page.fonts) {
            ASSERT_TRUE(font) << c.file << " page " << p << ": font " << name << " was not made";
            EXPECT_GT(font->widthOfSpace(), 0) << name;
            EXPECT_LT(font->descent(), 0) << name;
            EXPECT_TRUE(font->fontSystemReplaceName()) << name;
            if (font->fontDescriptor() && font->fontDescriptor()->embFontNum() != 0) {
                EXPECT_TRUE(font->fontDescriptor()->embFont()) << name << ": embedded program not loaded";
            }
            ++fonts;
        }
        EXPECT_EQ(page.text.find("<BAD DECODER>"), std::string::npos);
        text += page.text;
    }
    EXPECT_GT(fonts, 0u);

    std::vector<std::string> expected = c.expected;
    bool ordered = c.ordered;
    if (c.truthFile) {
        ordered = true;
        for (std::string& line : truthLines(root + "/" + c.truthFile))
            expected.push_back(std::string(c.file).find("scotus") != std::string::npos ? scotusLine(line) : line);
    }
    std::string haystack = test::comparable(text);
    if (c.rightToLeft)
        haystack = test::comparable(reversedCodePoints(text));
    const std::string missing = firstMissing(haystack, expected, ordered);
    EXPECT_TRUE(missing.empty()) << c.file << ": not found: \"" << missing << "\"\nin: "
                                 << text.substr(0, 4000);
}

INSTANTIATE_TEST_SUITE_P(
    Text, FontCorpus,
    ::testing::Values(
        CorpusCase{"text/simple1.pdf", {}, "text/simple1.pdf.txt"},
        CorpusCase{"text/simple3.pdf", {}, "text/simple3.pdf.txt"},
        CorpusCase{"text/simple5.pdf", {}, "text/simple5.pdf.txt"},
        CorpusCase{"text/text.pdf", {}, "text/text.pdf-0-text-ref.txt"},
        CorpusCase{"text/PDFBOX-3044-010197-p5-ligatures.pdf", {}, "text/PDFBOX-3044-010197-p5-ligatures.pdf.txt"},
        CorpusCase{"text/PDFBOX-4531-bidi-ligature-2.pdf", {}, "text/PDFBOX-4531-bidi-ligature-2.pdf.txt"},
        CorpusCase{"text/scotus-transcript-p1.pdf", {}, "text/scotus-transcript-p1.txt"},
        CorpusCase{"text/multicolumn.pdf",
                   {"Two-Column Document with Lorem Ipsum",
                    "This is a sample document with two columns filled with Lorem Ipsum text.",
                    "Ut purus elit, vestibulum ut, placerat ac, adipiscing vitae, felis.",
                    "Table 1: EU Countries Information", "Official Language",
                    "Finland 5.5 338,424 Helsinki Finnish, Swedish"},
                   nullptr, false, 3},
        CorpusCase{"text/2305.03393v1-pg9.pdf",
                   {"Optimized Table Tokenization for Table Structure Recognition",
                    "5.1 Hyper Parameter Optimization",
                    "We have chosen the PubTabNet data set to perform HPO, since it includes a",
                    "highly diverse set of tables."}},
        CorpusCase{"text/AzureInterior.pdf",
                   {"INV/2023/03/0008", "Azure Interior", "4557 De Silva St", "Fremont",
                    "Beeswax XL", "Acme beeswax", "Office Chair", "Olive Oil", "Luxury Truffles",
                    "Our Olive Oil is delivered in a re-usable glass container",
                    "Due to global inflation our payment term has changed to 15 days.", "279.84"}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Fonts, FontCorpus,
    ::testing::Values(
        CorpusCase{"fonts/tracemonkey.pdf", {"Trace-based Just-in-Time Type Specialization"}, nullptr, false, 14},
        CorpusCase{"fonts/simpletype3font.pdf", {"ababab"}, nullptr, false, 1},
        CorpusCase{"fonts/ArabicCIDTrueType.pdf",
                   {"انواع الخطوط العربية", "انواع الخطوط العربية", "انواع الخطوط العربية",
                    "انواع الخطوط العربية"},
                   nullptr, true, 1, true},
        CorpusCase{"fonts/vertical.pdf", {"あいうえお", "日本語"}, nullptr, false, 3},
        CorpusCase{"fonts/xref_command_missing.pdf", {"Reduced test-case"}, nullptr, false, 1}),
    caseName);
