// The document font cache: one font per indirect font dictionary, shared by
// the pages that use it under their own resource keys; direct dictionaries
// made per use; a bounded number of entries.
#include "pdfengine/base/QXPDFParserLimits.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFType0Font.h"
#include "pdfengine/state/QXPDFFontCache.h"
#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <string>

using namespace rz;

namespace {

std::string ref(int n)
{
    return std::to_string(n) + " 0 R";
}

// Two pages: page 1 names the shared simple font /F1 and the shared
// composite font /C1; page 2 names them /X and /Y and has a direct font /D.
std::shared_ptr<pdf::Document> twoPageDocument()
{
    test::PdfWriter w;
    const int simple = w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    const int descendant = w.add("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /TestCID /CIDSystemInfo "
                                 "<< /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /DW 500 >>");
    const int composite = w.add("<< /Type /Font /Subtype /Type0 /BaseFont /TestCID /Encoding /Identity-H "
                                "/DescendantFonts [" + ref(descendant) + "] >>");
    const int content = w.addStream("", "BT ET");
    const int pages = w.reserve();
    const int page1 = w.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 10 10] /Contents " +
                            ref(content) + " /Resources << /Font << /F1 " + ref(simple) + " /C1 " +
                            ref(composite) + " >> >> >>");
    const int page2 = w.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 10 10] /Contents " +
                            ref(content) + " /Resources << /Font << /X " + ref(simple) + " /Y " +
                            ref(composite) +
                            " /D << /Type /Font /Subtype /Type1 /BaseFont /Courier >> >> >> >>");
    w.set(pages, "<< /Type /Pages /Kids [" + ref(page1) + " " + ref(page2) + "] /Count 2 >>");
    return pdf::Document::openData(w.build(w.add("<< /Type /Catalog /Pages " + ref(pages) + " >>")));
}

pdf::Object fontEntry(const pdf::Document& doc, int page, const std::string& key)
{
    return doc.page(page).resources().get("Font").get(key);
}

} // namespace

TEST(QXPDFFontCache, PagesShareAFontUnderTheirOwnKeys)
{
    const auto doc = twoPageDocument();
    ASSERT_TRUE(doc);
    QXPDFFontCache cache;

    const auto f1 = cache.fontWithDictionary(fontEntry(*doc, 1, "F1"), "F1");
    ASSERT_TRUE(f1);
    EXPECT_EQ(cache.fontWithDictionary(fontEntry(*doc, 1, "F1"), "F1"), f1); // the same font again
    const auto x = cache.fontWithDictionary(fontEntry(*doc, 2, "X"), "X");
    ASSERT_TRUE(x);
    EXPECT_NE(x, f1);
    EXPECT_EQ(x->objectKey(), "X");
    EXPECT_EQ(f1->objectKey(), "F1"); // the first page's font keeps its key
    EXPECT_EQ(x->baseFontName(), f1->baseFontName());
    EXPECT_EQ(cache.madeCount(), 1u);

    // A composite font re-keyed for another page re-keys its descendants,
    // and shares their decoded tables.
    const auto c1 = std::dynamic_pointer_cast<QXPDFType0Font>(cache.fontWithDictionary(fontEntry(*doc, 1, "C1"), "C1"));
    const auto y = std::dynamic_pointer_cast<QXPDFType0Font>(cache.fontWithDictionary(fontEntry(*doc, 2, "Y"), "Y"));
    ASSERT_TRUE(c1 && y);
    ASSERT_EQ(y->descendantFonts().size(), 1u);
    EXPECT_EQ(y->descendantFonts().front()->objectKey(), "Y");
    EXPECT_EQ(c1->descendantFonts().front()->objectKey(), "C1");
    EXPECT_EQ(y->fontDescriptor(), c1->fontDescriptor());
    EXPECT_EQ(cache.madeCount(), 2u);
    EXPECT_EQ(cache.count(), 2u);

    // A direct dictionary is made at every use and never kept.
    const auto d1 = cache.fontWithDictionary(fontEntry(*doc, 2, "D"), "D");
    const auto d2 = cache.fontWithDictionary(fontEntry(*doc, 2, "D"), "D");
    ASSERT_TRUE(d1 && d2);
    EXPECT_NE(d1, d2);
    EXPECT_EQ(cache.madeCount(), 4u);
    EXPECT_EQ(cache.count(), 2u);

    cache.removeAllFonts();
    EXPECT_EQ(cache.count(), 0u);
    EXPECT_NE(cache.fontWithDictionary(fontEntry(*doc, 1, "F1"), "F1"), f1);
}

TEST(QXPDFFontCache, KeepsABoundedNumberOfFonts)
{
    // More font dictionaries than the cache keeps, each asked for twice in a
    // row: the second request is served from the cache, and the oldest
    // entries are the ones dropped.
    test::PdfWriter w;
    const size_t n = kQXPDFMaxCachedFonts + 10;
    std::string entries;
    for (size_t i = 0; i < n; ++i)
        entries += "/F" + std::to_string(i) + " " +
                   ref(w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman >>")) + " ";
    const int content = w.addStream("", "BT ET");
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + ref(pages) + " /MediaBox [0 0 10 10] /Contents " +
                           ref(content) + " /Resources << /Font << " + entries + ">> >> >>");
    w.set(pages, "<< /Type /Pages /Kids [" + ref(page) + "] /Count 1 >>");
    const auto doc = pdf::Document::openData(w.build(w.add("<< /Type /Catalog /Pages " + ref(pages) + " >>")));
    ASSERT_TRUE(doc);

    QXPDFFontCache cache;
    for (size_t i = 0; i < n; ++i) {
        const std::string key = "F" + std::to_string(i);
        cache.fontWithDictionary(fontEntry(*doc, 1, key), key);
        cache.fontWithDictionary(fontEntry(*doc, 1, key), key);
    }
    EXPECT_EQ(cache.madeCount(), n);
    EXPECT_EQ(cache.count(), kQXPDFMaxCachedFonts);
    // The last font is still there; the first was dropped and is made again.
    const std::string last = "F" + std::to_string(n - 1);
    cache.fontWithDictionary(fontEntry(*doc, 1, last), last);
    EXPECT_EQ(cache.madeCount(), n);
    cache.fontWithDictionary(fontEntry(*doc, 1, "F0"), "F0");
    EXPECT_EQ(cache.madeCount(), n + 1);
}
