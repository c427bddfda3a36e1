#include "pdfengine/base/RZPDFDocument.h"
#include "pdfengine/base/RZPDFValue.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <unordered_set>

using namespace rz;

namespace {

// A one-page document whose catalog carries a test dictionary /T.
std::shared_ptr<RZPDFDocument> documentWith(const std::string& testDict)
{
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int pages = w.reserve();
    const int stream = w.addStream("/Kind /Data", "stream bytes", true);
    const std::string jpeg = test::flateCompress("\xFF\xD8 jpeg");
    const int image = w.addRawStream("<< /Subtype /Image /Filter [/FlateDecode /DCTDecode] /Length " +
                                         std::to_string(jpeg.size()) + " >>",
                                     jpeg);
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) +
                           " 0 R /MediaBox [0 0 300 400] /Rotate 90 >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    std::string t = testDict;
    for (const auto& [key, num] : {std::pair<std::string, int>{"@S", stream}, {"@I", image}, {"@C", catalog}}) {
        for (size_t at = t.find(key); at != std::string::npos; at = t.find(key))
            t.replace(at, key.size(), std::to_string(num) + " 0 R");
    }
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R /T " + t + " >>");
    return RZPDFDocument::initWithData(w.build(catalog));
}

RZPDFDictionary testDictionary(const RZPDFDocument& doc)
{
    return RZPDFDictionary(doc.CGPDFDocument()->catalog().get("T"));
}

} // namespace

TEST(RZPDFObjects, ValueConversion)
{
    const auto doc = documentWith("<< /Int 7 /Real 0.5 /Bool false /Name /Some#20Name /Str <FEFF00E9> "
                                  "/Pdf (caf\\351) /Arr [1 (x)] /Dict << /K /V >> /Strm @S /Nul null >>");
    ASSERT_TRUE(doc);
    const RZPDFDictionary d = testDictionary(*doc);
    EXPECT_EQ(d.objectForKey("Int"), RZPDFValue(7L));
    EXPECT_EQ(d.objectForKey("Real"), RZPDFValue(0.5));
    EXPECT_EQ(d.objectForKey("Bool"), RZPDFValue(false));
    EXPECT_EQ(d.objectForKey("Name"), RZPDFValue(std::string("Some Name"))); // no slash
    EXPECT_EQ(d.objectForKey("Str"), RZPDFValue(std::string("\xC3\xA9")));   // text string
    EXPECT_EQ(d.objectForKey("Pdf"), RZPDFValue(std::string("caf\xC3\xA9")));
    EXPECT_FALSE(d.objectForKey("Missing").has_value());
    EXPECT_FALSE(d.objectForKey("Nul").has_value()); // a null entry is no entry

    const auto arr = d.objectForKey("Arr", RZPDFValueClass::Array);
    ASSERT_TRUE(arr);
    const RZPDFArray& a = std::get<RZPDFArray>(*arr);
    EXPECT_EQ(a.count(), 2u);
    EXPECT_EQ(a.objectAtIndex(1), RZPDFValue(std::string("x")));
    EXPECT_FALSE(a.objectAtIndex(2).has_value());
    std::vector<RZPDFValue> seen(a.begin(), a.end());
    EXPECT_EQ(seen.size(), 2u);

    EXPECT_FALSE(d.objectForKey("Arr", RZPDFValueClass::Dictionary).has_value());
    EXPECT_TRUE(d.objectForKey("Int", RZPDFValueClass::Number).has_value());
    EXPECT_TRUE(d.objectForKey("Bool", RZPDFValueClass::Number).has_value());
    EXPECT_FALSE(d.objectForKey("Int", RZPDFValueClass::String).has_value());

    const auto strm = d.objectForKey("Strm", RZPDFValueClass::Stream);
    ASSERT_TRUE(strm);
    const RZPDFStream& s = std::get<RZPDFStream>(*strm);
    EXPECT_EQ(s.data(), "stream bytes");
    EXPECT_EQ(s.format(), pdf::StreamFormat::Raw);
    EXPECT_EQ(s.dictionary().objectForKey("Kind"), RZPDFValue(std::string("Data")));

    EXPECT_EQ(d.allKeys(), (std::vector<std::string>{"Arr", "Bool", "Dict", "Int", "Name", "Pdf", "Real", "Str", "Strm"}));
    std::vector<std::string> keys(d.begin(), d.end());
    EXPECT_EQ(keys, d.allKeys());
}

TEST(RZPDFObjects, EqualityIsIdentity)
{
    const auto doc = documentWith("<< /A << /K 1 >> /B << /K 1 >> /Img @I /Img2 @I >>");
    ASSERT_TRUE(doc);
    const RZPDFDictionary d = testDictionary(*doc);
    const RZPDFDictionary a1 = std::get<RZPDFDictionary>(*d.objectForKey("A"));
    const RZPDFDictionary a2 = std::get<RZPDFDictionary>(*d.objectForKey("A"));
    const RZPDFDictionary b = std::get<RZPDFDictionary>(*d.objectForKey("B"));
    EXPECT_TRUE(a1 == a2);
    EXPECT_EQ(std::hash<RZPDFDictionary>()(a1), std::hash<RZPDFDictionary>()(a2));
    EXPECT_FALSE(a1 == b); // same contents, another dictionary
    EXPECT_TRUE(testDictionary(*doc) == d);
    std::unordered_set<RZPDFDictionary> set{a1, a2, b};
    EXPECT_EQ(set.size(), 2u);

    const RZPDFStream i1 = std::get<RZPDFStream>(*d.objectForKey("Img"));
    const RZPDFStream i2 = std::get<RZPDFStream>(*d.objectForKey("Img2"));
    EXPECT_TRUE(i1 == i2);
    EXPECT_EQ(i1.format(), pdf::StreamFormat::JPEGEncoded);
    EXPECT_EQ(i1.data().substr(0, 2), "\xFF\xD8");
}

TEST(RZPDFObjects, Descriptions)
{
    const auto doc = documentWith("<< /A 1 /B [2.5 (x) [true]] /C << /D /E >> /N null >>");
    ASSERT_TRUE(doc);
    const RZPDFDictionary d = testDictionary(*doc);
    EXPECT_EQ(d.description(),
              "\t(\n"
              "\tA = 1,\n"
              "\tB = \t(\n"
              "\t\t2.5,\n"
              "\t\tx,\n"
              "\t\t\t(\n"
              "\t\t\t1,\n"
              "\t\t),\n"
              "\t),\n"
              "\tC = \t(\n"
              "\t\tD = E,\n"
              "\t),\n"
              ")");
    const RZPDFArray b = std::get<RZPDFArray>(*d.objectForKey("B"));
    EXPECT_EQ(b.descriptionWithLocale({}, 1), "\t(\n\t\t2.5,\n\t\tx,\n\t\t\t(\n\t\t\t1,\n\t\t),\n\t)");

    // A dictionary that contains itself is described without looping.
    const auto loop = documentWith("<< /Root @C /X 1 >>");
    ASSERT_TRUE(loop);
    const std::string text = testDictionary(*loop).description();
    EXPECT_NE(text.find("(...)"), std::string::npos);
    EXPECT_LT(text.size(), 2000u);
}

TEST(RZPDFObjects, DocumentsAndPages)
{
    EXPECT_FALSE(RZPDFDocument::initWithData("this is not a PDF"));
    EXPECT_FALSE(RZPDFDocument::initWithContentsOfURL("/no/such/file.pdf"));
    EXPECT_FALSE(RZPDFDocument::initWithCGPDFDocument(nullptr));
    const auto doc = documentWith("<< >>");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->pageCount(), 1);
    EXPECT_FALSE(doc->isEncrypted());
    EXPECT_TRUE(doc->isUnlocked());
    EXPECT_TRUE(doc->allowsPrinting());
    EXPECT_TRUE(doc->allowsCopying());
    EXPECT_FALSE(doc->pageAtIndex(0));
    EXPECT_FALSE(doc->pageAtIndex(2));
    const auto page = doc->pageAtIndex(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->pageNumber(), 1);
    EXPECT_EQ(page->rotationAngle(), 90);
    EXPECT_EQ(page->rectForBox(pdf::Box::Media), Rect(0, 0, 300, 400));
    EXPECT_EQ(page->dictionary().objectForKey("Type"), RZPDFValue(std::string("Page")));
    EXPECT_EQ(page->drawingTransformForBox(pdf::Box::Media, Rect(0, 0, 400, 300), 0, true),
              doc->CGPDFDocument()->page(1).drawingTransform(pdf::Box::Media, Rect(0, 0, 400, 300), 0, true));
    EXPECT_TRUE(*page->document() == *doc);
    EXPECT_TRUE(*page == *doc->pageAtIndex(1));
    int count = 0;
    for (const RZPDFPage& p : *doc) {
        EXPECT_EQ(p.pageNumber(), ++count);
    }
    EXPECT_EQ(count, 1);
}
