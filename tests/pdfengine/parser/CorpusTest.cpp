// The shared corpus: every page of every PDF is interpreted (under the
// sanitizers in CI) without a crash, a hang or a leak; the text files give
// their expected text in content order; and on the simple files character
// positions agree with pdftotext's word boxes.
#include "ParserFixture.h"

#include "pdfengine/fonts/QXPDFFont.h"
#include "platform/core/Numbers.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;
using namespace rz;

namespace {

// Corpus PDFs with the user password from MANIFEST.tsv (empty when none).
std::vector<std::pair<std::string, std::string>> corpusFiles()
{
    std::vector<std::pair<std::string, std::string>> files;
    const std::string dir = test::corpusDir();
    if (dir.empty())
        return files;
    std::ifstream manifest(fs::path(dir) / "MANIFEST.tsv");
    std::string line;
    std::getline(manifest, line);
    while (std::getline(manifest, line)) {
        std::vector<std::string> cols;
        std::stringstream ss(line);
        for (std::string col; std::getline(ss, col, '\t');)
            cols.push_back(col);
        if (cols.size() < 5 || cols[0].size() < 4 || cols[0].substr(cols[0].size() - 4) != ".pdf")
            continue;
        std::string password = cols[4].substr(0, cols[4].find('/'));
        if (password == "-")
            password.clear();
        files.emplace_back(cols[0], password);
    }
    return files;
}

std::vector<std::string> corpusParams()
{
    std::vector<std::string> names;
    for (const auto& [path, password] : corpusFiles())
        names.push_back(path);
    if (names.empty())
        names.push_back("none");
    return names;
}

std::shared_ptr<pdf::Document> openCorpus(const std::string& relative)
{
    for (const auto& [path, password] : corpusFiles())
        if (path == relative) {
            auto doc = pdf::Document::open((fs::path(test::corpusDir()) / path).string());
            if (doc && !doc->isUnlocked() && !password.empty())
                doc->unlockWithPassword(password);
            return doc;
        }
    return nullptr;
}

class ParserCorpusPages : public ::testing::TestWithParam<std::string> {};

TEST_P(ParserCorpusPages, EveryPageIsInterpreted)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const auto doc = openCorpus(GetParam());
    if (!doc || !doc->isUnlocked())
        GTEST_SKIP() << "does not open here (certificate security or unknown password)";
    for (int n = 1; n <= doc->pageCount(); ++n) {
        const auto lines = QXPDFTraceDelegate::tracePage(doc->page(n), true);
        for (const auto& l : test::linesStartingWith(lines, "warning budget"))
            ADD_FAILURE() << GetParam() << " page " << n << ": " << l;
    }
}

INSTANTIATE_TEST_SUITE_P(ParserCorpus, ParserCorpusPages, ::testing::ValuesIn(corpusParams()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

// ---------------------------------------------------------------------------
// Text

struct ShownChar {
    std::string text;
    Point origin; // device space
    Point end;    // origin moved by the character's displacement
    bool vertical = false;
};

class TextCollector : public QXPDFConentParserDelegate {
public:
    std::vector<ShownChar> chars;

    void QXPDFConentParser_didScanText_textOffset(QXPDFConentParser& parser, const std::string& text,
                                                  Size offset) override
    {
        const QXPDFRenderState& st = parser.currentRenderingState();
        const Affine m = concat(st.textMatrix(), st.ctm());
        ShownChar c;
        c.text = text;
        c.origin = apply(Point{0, st.textRise()}, m);
        c.end = apply(Point{offset.width * st.horizontalScaling(), st.textRise() + offset.height}, m);
        c.vertical = st.font() && st.font()->wMode() == 1;
        chars.push_back(std::move(c));
    }
};

std::vector<ShownChar> charsOfPage(const pdf::Page& page)
{
    TextCollector collector;
    QXPDFConentParser parser(page);
    parser.setDelegate(&collector);
    parser.setRenderingStateStack(std::make_shared<QXPDFRenderStateStack>());
    parser.setIsParserAnnots(0);
    parser.startParser();
    return collector.chars;
}

// NFKC, without white space, soft hyphens and byte-order marks.
std::string squeeze(const std::string& text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    icu::UnicodeString s = icu::UnicodeString::fromUTF8(text);
    if (U_SUCCESS(status))
        s = nfkc->normalize(s, status);
    icu::UnicodeString out;
    for (int32_t i = 0; i < s.length();) {
        const UChar32 c = s.char32At(i);
        i += U16_LENGTH(c);
        if (u_isUWhiteSpace(c) || c == 0xAD || c == 0xFEFF)
            continue;
        out.append(c);
    }
    std::string utf8;
    out.toUTF8String(utf8);
    return utf8;
}

std::string documentText(const std::string& relative)
{
    const auto doc = openCorpus(relative);
    std::string text;
    if (!doc)
        return text;
    for (int n = 1; n <= doc->pageCount(); ++n)
        for (const ShownChar& c : charsOfPage(doc->page(n)))
            text += c.text;
    return squeeze(text);
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The non-empty lines of `expected` not found in `text` one after another.
std::vector<std::string> missingInOrder(const std::string& text, const std::string& expected)
{
    std::vector<std::string> missing;
    size_t from = 0;
    std::stringstream lines(expected);
    for (std::string line; std::getline(lines, line);) {
        const std::string s = squeeze(line);
        if (s.empty())
            continue;
        const size_t at = text.find(s, from);
        if (at == std::string::npos)
            missing.push_back(line);
        else
            from = at + s.size();
    }
    return missing;
}

TEST(ParserCorpusText, ContentOrderTextOfTheTextFiles)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const fs::path dir = fs::path(test::corpusDir()) / "text";
    const std::pair<const char*, const char*> cases[] = {
        {"simple1.pdf", "simple1.pdf.txt"},
        {"simple3.pdf", "simple3.pdf.txt"},
        {"simple5.pdf", "simple5.pdf.txt"},
        {"text.pdf", "text.pdf-0-text-ref.txt"},
        {"PDFBOX-3044-010197-p5-ligatures.pdf", "PDFBOX-3044-010197-p5-ligatures.pdf.txt"},
        {"PDFBOX-4531-bidi-ligature-2.pdf", "PDFBOX-4531-bidi-ligature-2.pdf.txt"},
    };
    for (const auto& [pdf, expected] : cases) {
        const std::string text = documentText(std::string("text/") + pdf);
        const auto missing = missingInOrder(text, readFile(dir / expected));
        EXPECT_TRUE(missing.empty()) << pdf << ": first line not found in order: " << missing.front();
    }
}

TEST(ParserCorpusText, WordsOfLayoutAndGeneratedTruths)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const fs::path dir = fs::path(test::corpusDir()) / "text";
    // Layout text (line numbers beside the lines): every word is there.
    const std::string scotus = documentText("text/scotus-transcript-p1.pdf");
    std::stringstream words(readFile(dir / "scotus-transcript-p1.txt"));
    for (std::string w; words >> w;)
        EXPECT_NE(scotus.find(squeeze(w)), std::string::npos) << "scotus: " << w;

    // Docling's markdown: its words (not its table and heading marks).
    const std::string paper = documentText("text/2305.03393v1-pg9.pdf");
    std::stringstream md(readFile(dir / "2305.03393v1-pg9.md"));
    size_t total = 0, found = 0;
    for (std::string w; md >> w;) {
        if (std::none_of(w.begin(), w.end(), [](unsigned char c) { return std::isalnum(c); }))
            continue;
        ++total;
        found += paper.find(squeeze(w)) != std::string::npos;
    }
    EXPECT_GE(double(found), 0.95 * double(total)) << found << " of " << total;

    // The invoice's visible field values, and the LaTeX article's phrases in
    // reading order (left column before right).
    const std::string invoice = documentText("text/AzureInterior.pdf");
    for (const char* v : {"Azure Interior", "INV/2023/03/0008", "4557 De Silva St", "Fremont", "279.84", "16.94",
                          "262.90", "Office Chair", "Luxury Truffles", "Beeswax XL", "(870)-931-0505"})
        EXPECT_NE(invoice.find(squeeze(v)), std::string::npos) << "invoice: " << v;
    const std::string article = documentText("text/multicolumn.pdf");
    EXPECT_TRUE(missingInOrder(article, "Two-Column Document with Lorem Ipsum\n"
                                        "This is a sample document with two columns filled with Lorem Ipsum text.\n"
                                        "Lorem ipsum dolor sit amet\nNam dui ligula\n"
                                        "EU Countries Information\nAustria\nCopenhagen\n")
                    .empty());
}

// ---------------------------------------------------------------------------
// Positions

struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;
};

std::vector<Word> pdftotextWords(const fs::path& pdf)
{
    std::string out;
    if (test::runCommand("pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null", &out) != 0)
        return {};
    std::vector<Word> words;
    const std::regex re(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(out.begin(), out.end(), re); it != std::sregex_iterator(); ++it) {
        const auto& m = *it;
        std::string text = m[5];
        for (const auto& [entity, ch] : std::vector<std::pair<std::string, std::string>>{
                 {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}})
            for (size_t at; (at = text.find(entity)) != std::string::npos;)
                text.replace(at, entity.size(), ch);
        auto num = [&](int i) { return parseDouble(m[i].str()).value_or(0); };
        words.push_back({text, num(1), num(2), num(3), num(4)});
    }
    return words;
}

TEST(ParserCorpusPositions, CharactersAgreeWithPdftotextWithinAPoint)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    if (test::runCommand("command -v pdftotext >/dev/null") != 0)
        GTEST_SKIP() << "no pdftotext";
    for (const char* name : {"simple1.pdf", "simple3.pdf", "simple5.pdf"}) {
        const fs::path path = fs::path(test::corpusDir()) / "text" / name;
        const auto doc = pdf::Document::open(path.string());
        ASSERT_TRUE(doc);
        const Rect crop = doc->page(1).boxRect(pdf::Box::Crop);
        const std::vector<ShownChar> chars = charsOfPage(doc->page(1));
        size_t checked = 0;
        for (const Word& w : pdftotextWords(path)) {
            // The shown characters spelling the word, nearest first.
            double best = 1e9;
            const ShownChar* first = nullptr;
            const ShownChar* last = nullptr;
            for (size_t i = 0; i < chars.size(); ++i) {
                std::string spelled;
                size_t j = i;
                while (j < chars.size() && spelled.size() < w.text.size())
                    spelled += chars[j++].text;
                if (spelled != w.text || chars[i].vertical)
                    continue;
                const double dx = std::fabs(chars[i].origin.x - crop.minX() - w.xMin);
                const double baseline = crop.maxY() - chars[i].origin.y;
                const double dy = baseline < w.yMin ? w.yMin - baseline : baseline > w.yMax ? baseline - w.yMax : 0;
                if (dx + dy < best) {
                    best = dx + dy;
                    first = &chars[i];
                    last = &chars[j - 1];
                }
            }
            if (!first)
                continue; // vertical text, or a word pdftotext splits otherwise
            ++checked;
            EXPECT_NEAR(first->origin.x - crop.minX(), w.xMin, 1.0) << name << ": " << w.text;
            EXPECT_NEAR(last->end.x - crop.minX(), w.xMax, 1.0) << name << ": " << w.text;
            const double baseline = crop.maxY() - first->origin.y;
            EXPECT_TRUE(baseline >= w.yMin - 1 && baseline <= w.yMax + 1) << name << ": " << w.text;
        }
        EXPECT_GT(checked, 3u) << name;
    }
}

} // namespace
