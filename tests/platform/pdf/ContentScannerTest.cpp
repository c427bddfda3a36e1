#include "PdfTestUtil.h"

#include "platform/pdf/PdfLimits.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <stdexcept>

using namespace rz;
using namespace rz::pdf;
using rz::pdftest::traceScan;

namespace {

using Lines = std::vector<std::string>;

// A table with one callback; the rest of the stream goes unseen.
Lines scanWith(const std::string& data, const std::string& op, std::function<std::string(Scanner&)> f,
               bool* ok = nullptr)
{
    Lines out;
    OperatorTable table;
    table.set(op, [&](Scanner& s) { out.push_back(f(s)); });
    ContentStream content(data, Object(), nullptr);
    Scanner scanner(content, table);
    const bool r = scanner.scan();
    if (ok)
        *ok = r;
    return out;
}

} // namespace

TEST(PdfScanner, OperandsNeverLeakPastAnOperator)
{
    // "foo" has no callback and "BX" takes nothing: their operands must be
    // gone when "w" runs.
    const Lines seen = scanWith("1 2 3 foo 4 w 5 6 BX 7 w", "w", [](Scanner& s) {
        double v = -1;
        const size_t count = s.operandCount();
        s.popNumber(&v);
        return std::to_string(count) + ":" + std::to_string(int(v));
    });
    EXPECT_EQ(seen, (Lines{"1:4", "1:7"}));

    bool ok = false;
    const Lines all = traceScan("1 2 foo /N (s) [1 [2]] <</K true>> bar q", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(all, (Lines{"1 2 foo", "/N (s) [ 1 [ 2 ] ] << /K true >> bar", "q"}));
}

TEST(PdfScanner, TypedPopsCheckTheTypeAndLeaveAMismatchInPlace)
{
    const Lines seen = scanWith("(abc) /Nm 2.5 7 true [1 2] <</A 1>> null x", "x", [](Scanner& s) {
        std::string log;
        Object o;
        std::string str;
        double d = 0;
        long long i = 0;
        bool b = false;
        EXPECT_FALSE(s.popDictionary(&o)); // null on top
        EXPECT_TRUE(s.popObject(&o));
        EXPECT_TRUE(o.isNull());
        EXPECT_FALSE(s.popArray(&o));
        EXPECT_TRUE(s.popDictionary(&o));
        EXPECT_EQ(o.get("A").integer(), 1);
        EXPECT_FALSE(s.popNumber(&d));
        EXPECT_TRUE(s.popArray(&o));
        EXPECT_EQ(o.size(), 2u);
        EXPECT_FALSE(s.popName(&str));
        EXPECT_TRUE(s.popBoolean(&b));
        EXPECT_TRUE(b);
        EXPECT_TRUE(s.popInteger(&i));
        EXPECT_EQ(i, 7);
        EXPECT_FALSE(s.popInteger(&i)); // a real is refused ...
        EXPECT_TRUE(s.peek() && s.peek()->isReal());
        EXPECT_TRUE(s.popNumber(&d)); // ... and stays for a number pop
        EXPECT_DOUBLE_EQ(d, 2.5);
        EXPECT_FALSE(s.popString(&str));
        EXPECT_TRUE(s.popName(&str));
        EXPECT_EQ(str, "Nm");
        EXPECT_TRUE(s.popString(&str));
        EXPECT_EQ(str, "abc");
        EXPECT_FALSE(s.popObject(&o));
        EXPECT_EQ(s.peek(), nullptr);
        return std::string("done");
    });
    EXPECT_EQ(seen, (Lines{"done"}));
}

TEST(PdfScanner, NumbersIgnoreTheLocaleAndHugeIntegersAreReals)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE");
    struct Case {
        const char* text;
        bool integer;
        double value;
    } cases[] = {
        {"0.5", false, 0.5},
        {"-.25", false, -0.25},
        {"4.", false, 4.0},
        {"+17", true, 17},
        {"99999999999999999999", false, 1e20},
        {"-123456789012345678901234567890", false, -1.2345678901234568e29},
        {"9223372036854775807", true, 9223372036854775807.0},
    };
    for (const Case& c : cases) {
        const Lines seen = scanWith(std::string(c.text) + " w", "w", [&](Scanner& s) {
            double d = 0;
            const bool isInt = s.peek() && s.peek()->isInteger();
            EXPECT_TRUE(s.popNumber(&d)) << c.text;
            EXPECT_DOUBLE_EQ(d, c.value) << c.text;
            return std::string(isInt ? "int" : "real");
        });
        EXPECT_EQ(seen, (Lines{c.integer ? "int" : "real"})) << c.text;
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!german)
        GTEST_SKIP() << "de_DE locale not installed; checked in the C locale only";
}

TEST(PdfScanner, InlineImagesArriveAtEIAsOneStream)
{
    // 4 x 2 samples of 8 bits: 8 bytes that contain " EI Q q", which reads
    // like the end of the image followed by operators.
    const std::string data = "1 EI Q q";
    ASSERT_EQ(data.size(), 8u);
    const std::string content = "1 0 0 1 0 0 cm BI /W 4 /H 2 /BPC 8 /CS /G ID " + data + "\nEI 3 w";
    Object image;
    Lines ops;
    OperatorTable table;
    table.setFallback([&](Scanner& s) { ops.push_back(s.currentOperator() + "/" + std::to_string(s.operandCount())); });
    table.set("EI", [&](Scanner& s) {
        ops.push_back("EI/" + std::to_string(s.operandCount()));
        EXPECT_TRUE(s.popStream(&image));
    });
    ContentStream cs(content, Object(), nullptr);
    EXPECT_TRUE(Scanner(cs, table).scan());
    EXPECT_EQ(ops, (Lines{"cm/6", "EI/1", "w/1"}));
    ASSERT_TRUE(image.isStream());
    EXPECT_EQ(image.rawStreamData(), data);
    EXPECT_EQ(image.streamData().bytes, data);
    // The abbreviated keys are kept as written.
    EXPECT_EQ(image.dictionary().keys(), (std::vector<std::string>{"BPC", "CS", "H", "W"}));
    EXPECT_EQ(image.get("CS").name(), "G");
}

TEST(PdfScanner, InlineImageEndsAreFoundWithoutAKnownLength)
{
    struct Case {
        const char* name;
        std::string content;
        std::string raw;     // the image bytes the stream must hold
        std::string decoded; // its decoded data
    } cases[] = {
        {"hex text", "BI /W 2 /H 1 /BPC 8 /CS /G /F /AHx ID 41 42> EI n", "41 42>", "AB"},
        {"abbreviated chain", "BI /W 1 /H 1 /BPC 8 /CS /G /F [/AHx /RL] ID 02616263 80> EI n",
         "02616263 80>", "abc"},
        {"binary with a false EI", "BI /W 1 /H 1 /BPC 8 /CS /RGB /F /DCT ID \xFF\xD8 EI \x81\x82\x83 \xFF\xD9\nEI n",
         "\xFF\xD8 EI \x81\x82\x83 \xFF\xD9", "\xFF\xD8 EI \x81\x82\x83 \xFF\xD9"},
        {"explicit length", "BI /W 1 /H 1 /BPC 8 /CS /G /F /Fl /L 5 ID EI nn EI n", "EI nn", ""},
    };
    for (const auto& c : cases) {
        Object image;
        Lines ops;
        OperatorTable table;
        table.setFallback([&](Scanner& s) { ops.push_back(s.currentOperator()); });
        table.set("EI", [&](Scanner& s) { s.popStream(&image); });
        ContentStream cs(c.content, Object(), nullptr);
        Scanner(cs, table).scan();
        EXPECT_EQ(ops, (Lines{"n"})) << c.name;
        EXPECT_EQ(image.rawStreamData(), c.raw) << c.name;
        if (!c.decoded.empty()) {
            EXPECT_EQ(image.streamData().bytes, c.decoded) << c.name;
        }
    }
}

TEST(PdfScanner, InlineImageSizeFromANamedColourSpace)
{
    // 2 x 1 pixels in a three-component ICC space named in the resources:
    // 6 bytes, which hold an "EI" that reads like the end.
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int pages = w.reserve();
    const int profile = w.addStream("/N 3", "profile");
    const int contents = w.addStream("", "BI /W 2 /H 1 /BPC 8 /CS /C0 ID a\nEI b\nEI 2 w");
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 10 10] /Resources << /ColorSpace << /C0 [/ICCBased " +
                           std::to_string(profile) + " 0 R] >> >> /Contents " +
                           std::to_string(contents) + " 0 R >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    EXPECT_EQ(traceScan(ContentStream(doc->page(1))), (Lines{"<stream 6> EI", "2 w"}));
}

TEST(PdfScanner, ATruncatedFlateContentStreamDeliversWhatDecoded)
{
    std::string content;
    for (int i = 0; i < 400; ++i)
        content += std::to_string(i) + " " + std::to_string(i) + " m\n";
    const std::string compressed = test::flateCompress(content);
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int pages = w.reserve();
    const std::string cut = compressed.substr(0, compressed.size() / 2);
    const int contents = w.addRawStream(
        "<< /Length " + std::to_string(cut.size()) + " /Filter /FlateDecode >>", cut);
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 10 10] /Contents " + std::to_string(contents) + " 0 R >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    const ContentStream cs(doc->page(1));
    EXPECT_FALSE(cs.complete());
    bool ok = true;
    const Lines ops = traceScan(cs, &ok);
    EXPECT_FALSE(ok);
    ASSERT_GT(ops.size(), 20u);
    EXPECT_LT(ops.size(), 400u);
    EXPECT_EQ(ops[0], "0 0 m");
    EXPECT_EQ(ops[20], "20 20 m");
}

TEST(PdfScanner, DamagedSyntaxIsSkippedAndCounted)
{
    bool ok = true;
    EXPECT_EQ(traceScan(") 1 w ] 2 w >> {3} J", &ok), (Lines{"1 w", "2 w", "3 J"}));
    EXPECT_FALSE(ok);
    // An operator inside an unfinished array drops the array.
    EXPECT_EQ(traceScan("[1 2 w 3 J", &ok), (Lines{"w", "3 J"}));
    // Deep nesting: the part beyond the limit becomes null, the rest goes on.
    std::string deep = std::string(5000, '[') + "1" + std::string(5000, ']') + " d 4 w";
    const Lines ops = traceScan(deep, &ok);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[1], "4 w");
    // A long run of numbers without an operator is bounded.
    std::string many;
    for (size_t i = 0; i < kMaxOperandStack + 10; ++i)
        many += "1 ";
    const Lines counted = scanWith(many + "w", "w", [](Scanner& s) { return std::to_string(s.operandCount()); });
    ASSERT_EQ(counted.size(), 1u);
    EXPECT_LE(std::stoul(counted[0]), kMaxOperandStack);
}

TEST(PdfScanner, StopEndsTheScanAndCallbackExceptionsDoNotEscape)
{
    OperatorTable table;
    int seen = 0;
    table.setFallback([&](Scanner& s) {
        if (++seen == 2)
            s.stop();
    });
    ContentStream cs("q Q q Q", Object(), nullptr);
    Scanner scanner(cs, table);
    EXPECT_TRUE(scanner.scan());
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(scanner.operatorCount(), 2u);

    OperatorTable throwing;
    throwing.set("Q", [](Scanner&) { throw std::runtime_error("bad"); });
    Scanner s2(cs, throwing);
    EXPECT_FALSE(s2.scan());
}

TEST(PdfScanner, FormsLookUpResourcesInTheirParents)
{
    const Object pageResources = rz::pdftest::parseObject(
        "<< /Font << /F1 (page font) /F2 (page F2) >> /XObject << /X (x) >> >>");
    const Object formResources = rz::pdftest::parseObject("<< /Font << /F2 (form F2) >> >>");
    const ContentStream page(std::string("q"), pageResources, nullptr);
    const ContentStream form(std::string("Q"), formResources, &page);
    const ContentStream bare(std::string("Q"), Object(), &form);
    EXPECT_EQ(form.resource("Font", "F2").stringBytes(), "form F2");
    EXPECT_EQ(form.resource("Font", "F1").stringBytes(), "page font");
    EXPECT_EQ(bare.resource("XObject", "X").stringBytes(), "x");
    EXPECT_TRUE(bare.resource("Font", "F9").isNull());
    EXPECT_EQ(bare.parent(), &form);
}
