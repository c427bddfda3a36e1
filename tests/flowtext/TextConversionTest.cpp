// PDF files converted to text by the converter: fixtures made here and the
// shared corpus.
#include "tests/flowtext/ConversionSupport.h"
#include "tests/flowtext/FlowTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace rz {
namespace {

const char* const kHelvetica = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";

std::string fixture(const std::vector<std::string>& contents, const std::string& name)
{
    std::vector<test::PageFixture> pages;
    for (const auto& c : contents) {
        test::PageFixture p;
        p.content = c;
        p.resources = kHelvetica;
        pages.push_back(p);
    }
    return test::writeTempFile(test::makePdf(pages), name);
}

std::string metrics(const std::string& args, int* status)
{
    std::string out;
    *status = test::runCommand("/usr/bin/python3 " RZ_TEST_SOURCE_DIR "/tests/flowtext/text_metrics.py " + args, &out);
    return out;
}

TEST(TextConversion, TextReachesTheFileAsItIsAndPagesStartOnNewLines)
{
    const std::string pdf = fixture({"BT /F1 12 Tf 72 720 Td (<a & b>) Tj ET",
                                     "BT /F1 12 Tf 72 720 Td (end) Tj ET",
                                     "0 0 m 100 100 l S",
                                     "BT /F1 12 Tf 72 720 Td (next) Tj ET"},
                                    "pages.pdf");
    const std::string dest = test::makeTempDir() + "/pages.txt";
    const auto result = test::convertFile(pdf, "txt", dest);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(test::readFile(dest), "<a & b>\nend\nnext");
}

TEST(TextConversion, ADocumentWithoutTextGivesAnEmptyFile)
{
    const std::string pdf = fixture({"0 0 m 100 100 l S"}, "empty.pdf");
    const std::string dest = test::makeTempDir() + "/empty.txt";
    EXPECT_FALSE(test::convertFile(pdf, "txt", dest).error);
    ASSERT_TRUE(fs::exists(dest));
    EXPECT_EQ(fs::file_size(dest), 0u);
}

TEST(TextConversion, ADestinationThatCannotBeWrittenFailsTheFile)
{
    const std::string pdf = fixture({"BT /F1 12 Tf 72 720 Td (x) Tj ET"}, "x.pdf");
    const std::string missing = test::makeTempDir() + "/no-such-folder/x.txt";
    auto result = test::convertFile(pdf, "txt", missing);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->code, 400);
    EXPECT_FALSE(fs::exists(missing));

    // A folder standing where the file should go.
    const std::string folder = test::makeTempDir() + "/taken.txt";
    fs::create_directory(folder);
    result = test::convertFile(pdf, "txt", folder);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->code, 400);
    EXPECT_TRUE(fs::is_directory(folder));
}

// Each flow-text format of two documents, converted into folders of their
// own under the same name: equal when both documents show the same text
// the same way.
void expectSameOutputs(const std::string& pdf, const std::string& same, const std::string& what)
{
    const std::string a = test::makeTempDir(), b = test::makeTempDir();
    for (const char* type : {"txt", "html", "rtf"}) {
        const std::string name = std::string("/out.") + type;
        ASSERT_FALSE(test::convertFile(pdf, type, a + name).error) << what << " " << type;
        ASSERT_FALSE(test::convertFile(same, type, b + name).error) << what << " " << type;
        EXPECT_EQ(test::readFile(a + name), test::readFile(b + name)) << what << " " << type;
    }
}

// Text shown with a negative font size reads as its glyphs stand on the
// page: upright again under a turned text matrix or CTM, upside down alone
// (dropped like any text turned by 180 degrees), mirrored under a text
// matrix flipped in y (dropped like any mirrored text).
TEST(TextConversion, NegativeFontSizesReadAsTheirGlyphsStand)
{
    const std::string plain = "BT /F1 12 Tf 72 720 Td (First line of text) Tj 0 -20 Td (Second line here) Tj ET";
    const std::string dest = test::makeTempDir() + "/plain.txt";
    ASSERT_FALSE(test::convertFile(fixture({plain}, "plain.pdf"), "txt", dest).error);
    ASSERT_EQ(test::readFile(dest), "First line of text\nSecond line here");

    const std::string upright = "BT /F1 12 Tf 72 720 Td (Upright line) Tj ET\n";
    struct Case {
        const char* what;
        std::string content;
        std::string same; // the same glyphs drawn with a positive size
    } cases[] = {
        {"turned text matrix",
         "BT /F1 -12 Tf -1 0 0 -1 72 720 Tm (First line of text) Tj 0 20 Td (Second line here) Tj ET", plain},
        {"turned CTM",
         "q -1 0 0 -1 612 792 cm BT /F1 -12 Tf 540 72 Td (First line of text) Tj 0 20 Td (Second line here) Tj ET Q",
         plain},
        {"size alone", upright + "BT /F1 -12 Tf 300 400 Td (Upside down) Tj ET",
         upright + "BT /F1 12 Tf -1 0 0 -1 300 400 Tm (Upside down) Tj ET"},
        {"text matrix flipped in y", upright + "BT /F1 -12 Tf 1 0 0 -1 300 400 Tm (Mirrored) Tj ET",
         upright + "BT /F1 12 Tf -1 0 0 1 300 400 Tm (Mirrored) Tj ET"},
    };
    for (const Case& c : cases)
        expectSameOutputs(fixture({c.content}, "negative.pdf"), fixture({c.same}, "negative.pdf"), c.what);
}

// One page over Helvetica whose graphics state GS0 sets a luminosity soft
// mask; the mask's group shows "MASKTEXT", paints a path and draws an image.
std::string softMaskFixture(const std::string& content)
{
    test::PdfWriter w;
    auto ref = [](int n) { return std::to_string(n) + " 0 R"; };
    const int font = w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    const std::string fonts = "/Font << /F1 " + ref(font) + " >>";
    const int image = w.addStream("/Type /XObject /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray "
                                  "/BitsPerComponent 8",
                                  "\x80");
    const int group = w.addStream("/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Group << /S /Transparency "
                                  "/CS /DeviceGray >> /Resources << " + fonts + " /XObject << /Im0 " + ref(image) +
                                      " >> >>",
                                  "1 g 0 0 612 792 re f 0 g BT /F1 12 Tf 72 700 Td (MASKTEXT) Tj ET "
                                  "q 100 0 0 100 300 300 cm /Im0 Do Q");
    const int contents = w.addStream("", content);
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 612 792] /Contents " +
                           ref(contents) + " /Resources << " + fonts +
                           " /ExtGState << /GS0 << /SMask << /S /Luminosity /G " + ref(group) + " >> >> >> >> >>");
    w.set(pages, "<< /Type /Pages /Kids [" + ref(page) + "] /Count 1 >>");
    const int root = w.add("<< /Type /Catalog /Pages " + ref(pages) + " >>");
    return test::writeTempFile(w.build(root), "softmask.pdf");
}

// A soft mask's group only shapes the alpha of what is painted under it:
// none of its text reaches any flow-text format.
TEST(TextConversion, TheTextOfASoftMaskGroupIsNotWritten)
{
    const std::string plain = "BT /F1 12 Tf 72 720 Td (Hello page) Tj ET";
    const std::string masked = softMaskFixture("/GS0 gs " + plain);
    const std::string dest = test::makeTempDir() + "/masked.txt";
    ASSERT_FALSE(test::convertFile(masked, "txt", dest).error);
    EXPECT_EQ(test::readFile(dest), "Hello page");
    expectSameOutputs(masked, softMaskFixture(plain), "soft mask");
}

TEST(TextConversion, TheSimpleCorpusTextsAreReproduced)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string out = test::makeTempDir();
    struct Case {
        const char* pdf;
        const char* expected;
    } cases[] = {
        {"text/simple1.pdf", "text/simple1.pdf.txt"},
        {"text/simple3.pdf", "text/simple3.pdf.txt"},
        {"text/simple5.pdf", "text/simple5.pdf.txt"},
        {"text/text.pdf", "text/text.pdf-0-text-ref.txt"},
        {"text/PDFBOX-4531-bidi-ligature-2.pdf", "text/PDFBOX-4531-bidi-ligature-2.pdf-sorted.txt"},
    };
    for (const Case& c : cases) {
        const std::string dest = out + "/" + fs::path(c.pdf).stem().string() + ".txt";
        ASSERT_FALSE(test::convertFile(test::corpusFile(c.pdf), "txt", dest).error) << c.pdf;
        int status = 0;
        const std::string report = metrics("exact '" + dest + "' '" + test::corpusFile(c.expected) + "'", &status);
        EXPECT_EQ(status, 0) << c.pdf << "\n" << report;
    }
}

TEST(TextConversion, LongerCorpusTextsKeepTheirWordsInOrder)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string out = test::makeTempDir();
    struct Case {
        const char* pdf;
        const char* expected;
    } cases[] = {
        {"text/PDFBOX-3044-010197-p5-ligatures.pdf", "text/PDFBOX-3044-010197-p5-ligatures.pdf-sorted.txt"},
        {"text/scotus-transcript-p1.pdf", "text/scotus-transcript-p1.txt"},
    };
    for (const Case& c : cases) {
        const std::string dest = out + "/" + fs::path(c.pdf).stem().string() + ".txt";
        ASSERT_FALSE(test::convertFile(test::corpusFile(c.pdf), "txt", dest).error) << c.pdf;
        int status = 0;
        const std::string report =
            metrics("recall '" + dest + "' '" + test::corpusFile(c.expected) + "' 0.98 0.98", &status);
        EXPECT_EQ(status, 0) << c.pdf << "\n" << report;
    }
}

TEST(TextConversion, TwoColumnPagesComeOutColumnByColumn)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string out = test::makeTempDir();
    struct Case {
        const char* pdf;
        std::vector<long long> pages;
        std::vector<std::string> phrases;
    } cases[] = {
        // End of the left column, then the right column from its top.
        {"text/multicolumn.pdf",
         {1},
         {"Two-Column Document with Lorem Ipsum", "This is a sample document with two columns",
          "Duis eget orci sit amet orci dig- nissim rutrum.", "Nam dui ligula, fringilla a, euismod sodales, sollic-",
          "Nulla malesuada porttitor diam. Donec felis erat,", "pellentesque ante. Phasellus adipiscing semper elit."}},
        {"fonts/tracemonkey.pdf",
         {1},
         {"Trace-based Just-in-Time Type Specialization",
          "Dynamic languages such as JavaScript are more difﬁcult to com- pile than statically typed ones.",
          "programs. Categories and Subject Descriptors",
          "example, is the de facto standard for client-side web programming",
          "and is used for the application logic of browser-based productivity applications"}},
    };
    for (const Case& c : cases) {
        const std::string dest = out + "/" + fs::path(c.pdf).stem().string() + ".txt";
        ASSERT_FALSE(test::convertFile(test::corpusFile(c.pdf), "txt", dest, std::nullopt, c.pages).error);
        std::string args = "order '" + dest + "'";
        for (const auto& p : c.phrases)
            args += " '" + p + "'";
        int status = 0;
        const std::string report = metrics(args, &status);
        EXPECT_EQ(status, 0) << c.pdf << "\n" << report;
    }
}

TEST(TextConversion, PasswordsOpenOrRefuseTheDocument)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string out = test::makeTempDir();
    const std::string locked = test::corpusFile("passwords/pypdf__r4-aes-user-password.pdf");

    auto result = test::convertFile(locked, "txt", out + "/wrong.txt", std::string("wrong"), {1});
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->code, 405);
    EXPECT_FALSE(fs::exists(out + "/wrong.txt"));

    result = test::convertFile(test::corpusFile("passwords/pdfbox__AESkeylength256.pdf"), "txt",
                               out + "/cert.txt", std::nullopt, {1});
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->code, 405);

    result = test::convertFile(locked, "txt", out + "/right.txt", std::string("asdfzxcv"));
    EXPECT_FALSE(result.error);
    ASSERT_FALSE(test::convertFile(test::corpusFile("passwords/pypdf__unencrypted.pdf"), "txt", out + "/plain.txt")
                     .error);
    int status = 0;
    const std::string report = metrics("exact '" + out + "/right.txt' '" + out + "/plain.txt'", &status);
    EXPECT_EQ(status, 0) << report;
    EXPECT_FALSE(test::readFile(out + "/plain.txt").empty());
}

} // namespace
} // namespace rz
