#include "PdfTestUtil.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <unordered_set>

using namespace rz;
using namespace rz::pdf;
using rz::pdftest::parseObject;

// Bytes of a literal, embedded NULs included.
#define BYTES(s) std::string(s, sizeof(s) - 1)

TEST(PdfObject, ValuesAndTheStrictnessOfTheirGetters)
{
    const Object d = parseObject("<< /I 42 /R 2.5 /B true /N /A#20B /S (raw\\351) /Z null >>");
    EXPECT_EQ(d.get("I").integer(), 42);
    EXPECT_EQ(d.get("I").number(), 42.0);
    EXPECT_FALSE(d.get("R").integer().has_value()); // a real is no integer
    EXPECT_EQ(d.get("R").number(), 2.5);
    EXPECT_EQ(d.get("B").boolean(), true);
    EXPECT_FALSE(d.get("I").boolean().has_value());
    EXPECT_EQ(d.get("N").name(), "A B"); // no "/", escapes decoded
    EXPECT_FALSE(d.get("N").stringBytes().has_value());
    EXPECT_EQ(d.get("S").stringBytes(), "raw\xE9");
    EXPECT_EQ(d.get("S").text(), "raw\xC3\xA9");
    EXPECT_TRUE(d.get("Z").isNull());
    EXPECT_TRUE(d.get("Missing").isNull());
    EXPECT_FALSE(d.hasKey("Missing"));
    EXPECT_TRUE(d.hasKey("I"));
    // Keys in sorted order, without "/"; null values count as absent.
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"B", "I", "N", "R", "S"}));
    const Object a = parseObject("[1 (two) /three]");
    EXPECT_EQ(a.size(), 3u);
    EXPECT_EQ(a.at(1).stringBytes(), "two");
    EXPECT_TRUE(a.at(3).isNull());
    EXPECT_EQ(d.size(), 0u);
    EXPECT_TRUE(a.get("x").isNull());
}

TEST(PdfObject, TextStrings)
{
    struct Case {
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"plain", "plain"},
        {BYTES("\xFE\xFF\x00H\x00\xE9\xD8\x3D\xDE\x00"), "H\xC3\xA9\xF0\x9F\x98\x80"},
        {BYTES("\xFE\xFF\x00" "A\x00"), "A"}, // odd trailing byte dropped
        {"\xEF\xBB\xBF" "caf\xC3\xA9", "caf\xC3\xA9"},
        {"\x80\x93\xA0\x18", "\xE2\x80\xA2\xEF\xAC\x81\xE2\x82\xAC\xCB\x98"}, // bullet, fi, euro, breve
        {"\xE9\x7F", "\xC3\xA9\xEF\xBF\xBD"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pdfTextToUtf8(c.bytes), c.utf8);
}

TEST(PdfObject, IdentityNotValue)
{
    test::PdfWriter w;
    const int shared = w.add("<< /K 1 >>");
    const int other = w.add("<< /K 1 >>");
    const int catalog = w.add("<< /Type /Catalog /Pages 99 0 R /A " + std::to_string(shared) + " 0 R /B " +
                              std::to_string(shared) + " 0 R /C " + std::to_string(other) +
                              " 0 R /D << /K 1 >> >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    const Object root = doc->catalog();
    const Object a = root.get("A"), b = root.get("B"), c = root.get("C");
    EXPECT_TRUE(a.sameObject(b));
    EXPECT_EQ(a.identityHash(), b.identityHash());
    EXPECT_FALSE(a.sameObject(c)); // equal contents, other object
    EXPECT_TRUE(root.get("D").sameObject(root.get("D")));
    EXPECT_EQ(a.id(), (ObjectId{shared, 0}));
    EXPECT_EQ(root.get("D").id(), ObjectId{});
    std::unordered_set<Object, ObjectIdentityHash, ObjectIdentityEqual> set{a, b, c};
    EXPECT_EQ(set.size(), 2u);
}

TEST(PdfObject, ReferenceLoopsAndDeepNestingDoNotCrash)
{
    test::PdfWriter w;
    const int self = w.reserve();
    w.set(self, "<< /Me " + std::to_string(self) + " 0 R /Kids [" + std::to_string(self) + " 0 R] >>");
    const int loopA = w.reserve();
    const int loopB = w.reserve();
    w.set(loopA, std::to_string(loopB) + " 0 R");
    w.set(loopB, std::to_string(loopA) + " 0 R");
    std::string deep = std::string(3000, '[') + std::string(3000, ']');
    const int nested = w.add(deep);
    const int catalog = w.add("<< /Type /Catalog /Pages 99 0 R /Self " + std::to_string(self) +
                              " 0 R /Loop " + std::to_string(loopA) + " 0 R /Deep " + std::to_string(nested) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    const Object root = doc->catalog();
    Object o = root.get("Self");
    for (int i = 0; i < 50; ++i)
        o = o.get("Me");
    EXPECT_TRUE(o.sameObject(root.get("Self")));
    // qpdf reads the pair of references as it can; what matters is an answer.
    EXPECT_FALSE(root.get("Loop").isDictionary());
    EXPECT_FALSE(root.get("Loop").unparse().empty());
    Object d = root.get("Deep");
    int depth = 0;
    while (d.isArray() && d.size() > 0) {
        d = d.at(0);
        ++depth;
    }
    EXPECT_LT(depth, 3000);
    EXPECT_FALSE(root.get("Deep").unparse().empty());
}

TEST(PdfObject, HandlesKeepTheirDocumentAlive)
{
    Object title;
    {
        test::PdfWriter w;
        const int info = w.add("<< /Title (kept) >>");
        const int catalog = w.add("<< /Type /Catalog /Pages 99 0 R >>");
        const auto doc = Document::openData(w.build(catalog, info));
        ASSERT_TRUE(doc);
        title = doc->info();
    }
    EXPECT_EQ(title.get("Title").text(), "kept");
}

TEST(PdfObject, DirectNumbersReadAsQpdfNumbers)
{
    // Numbers the content scanner keeps without a qpdf object answer every
    // getter as the same numbers held by qpdf do, and become qpdf numbers
    // when their handle is asked for.
    const Object d = parseObject("<< /I -42 /R .5 >>");
    const struct {
        Object direct;
        Object viaQpdf;
    } cases[] = {
        {Object::directInteger(-42), d.get("I")},
        {Object::directReal(".5"), d.get("R")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.direct.type(), c.viaQpdf.type());
        EXPECT_EQ(c.direct.integer(), c.viaQpdf.integer());
        EXPECT_EQ(c.direct.number(), c.viaQpdf.number());
        EXPECT_EQ(c.direct.unparse(), c.viaQpdf.unparse());
        EXPECT_FALSE(c.direct.name().has_value());
        EXPECT_EQ(c.direct.size(), 0u);
        EXPECT_TRUE(c.direct.get("K").isNull());

        Object copy = c.direct;
        EXPECT_EQ(copy.number(), c.viaQpdf.number());
        EXPECT_FALSE(copy.sameObject(c.direct)); // no identity shared with a copy
        EXPECT_TRUE(copy.sameObject(copy));
        EXPECT_FALSE(copy.sameObject(Object())); // nor taken for null
        EXPECT_EQ(QPDFObjectHandle(copy.handle()).unparse(), c.viaQpdf.unparse());
        EXPECT_EQ(copy.number(), c.viaQpdf.number()); // the same after becoming a qpdf number
        const Object moved = std::move(copy);
        EXPECT_EQ(moved.number(), c.viaQpdf.number());
    }
    // Reals that only begin like numbers read as far as they go, as qpdf's do.
    EXPECT_EQ(Object::directReal("1.5.2").number(), 1.5);
    EXPECT_EQ(Object::directReal("99999999999999999999").number(), 1e20);
}
