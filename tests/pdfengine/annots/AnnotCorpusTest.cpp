// Real documents: every corpus page that has annotations is interpreted with
// them, and every outline is read, without a crash; a few known files give
// their known annotations and bookmarks.
#include "pdfengine/outline/QXPDFOutLineManager.h"
#include "pdfengine/parser/QXPDFTraceDelegate.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace rz;

namespace {

size_t annotationEvents(const std::vector<std::string>& trace)
{
    return size_t(std::count_if(trace.begin(), trace.end(), [](const std::string& line) {
        return line.find(" annot=") != std::string::npos;
    }));
}

TEST(AnnotCorpus, AnnotatedPagesAndOutlinesReadWithoutCrash)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    std::map<std::string, size_t> events;   // file -> annotation events
    std::map<std::string, size_t> outlines; // file -> outline items
    size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (entry.path().extension() != ".pdf")
            continue;
        const auto doc = pdf::Document::open(entry.path().string());
        if (!doc || !doc->isUnlocked())
            continue;
        ++files;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        QXPDFOutLineManager manager;
        EXPECT_EQ(manager.reLoadOutline(doc), QXPDFOutLineManager::isHaveOutline(*doc));
        outlines[name] = manager.tableArray().size();
        for (int n = 1; n <= doc->pageCount(); ++n) {
            const pdf::Page page = doc->page(n);
            if (page.dictionary().get("Annots").isArray())
                events[name] += annotationEvents(QXPDFTraceDelegate::tracePage(page));
        }
    }
    EXPECT_GT(files, 40u);

    // Three highlights (their pop-ups draw nothing); a highlight and a
    // strike-out; four links with bordered appearances.
    EXPECT_EQ(events["simple5.pdf"], 3u);
    EXPECT_EQ(events["demo-section.pdf"], 2u);
    EXPECT_EQ(events["2305.03393v1-pg9.pdf"], 4u);
    EXPECT_EQ(outlines["simple5.pdf"], 2u);
    EXPECT_EQ(outlines["us-030.pdf"], 2u);

    const auto simple5 = pdf::Document::open(corpus + "/text/simple5.pdf");
    ASSERT_TRUE(simple5);
    QXPDFOutLineManager manager;
    ASSERT_TRUE(manager.reLoadOutline(simple5));
    const auto onFirstPage = manager.outlineArrayForPage(1);
    ASSERT_EQ(onFirstPage.size(), 2u);
    EXPECT_EQ(QXPDFOutLineManager::GetOutlineTitleWithItem(onFirstPage[0]), "Heading");
    EXPECT_EQ(QXPDFOutLineManager::GetIndentPageWithItem(onFirstPage[1]), 1);
}

} // namespace
