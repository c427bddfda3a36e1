// The converter and the manager with a scripted exporter: order and content
// of every report, page failures, stops and exceptions.
#include "converter/QXImagePDFExporter.h"
#include "converter/QXPDFOptions.h"
#include "converter/QXRUZIzevudara.h"
#include "converter/QXRUZIzevudaraManager.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "platform/core/TemporaryFolder.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace rz;

namespace {

// What the scripted exporter does, set by each test.
struct Script {
    std::mutex mutex;
    std::vector<std::string> calls;      // lifecycle calls seen by the exporter
    long long throwOnPage = 0;           // PDF page number whose conversion throws
    long long refusePage = 0;            // PDF page number answered NO
    bool throwOnBegin = false;
    bool throwOnEnd = false;
    // Page whose conversion waits until `release` is set.
    std::atomic<long long> blockOnPage{0};
    std::atomic<bool> blocked{false};
    std::atomic<bool> release{false};

    void record(std::string s)
    {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(s));
    }
    std::vector<std::string> seen()
    {
        std::lock_guard lock(mutex);
        return calls;
    }
};

Script* gScript = nullptr;

class ScriptedExporter : public QXPDFExporter {
public:
    void begainConvertPDF(const std::string& dest, const std::shared_ptr<pdf::Document>&) override
    {
        gScript->record("begin " + dest);
        if (gScript->throwOnBegin)
            throw std::runtime_error("begin failed");
    }
    bool convertPDFPage(const pdf::Page& page) override
    {
        gScript->record("page " + std::to_string(page.pageNumber()) + " index " + std::to_string(pageIndex()));
        if (page.pageNumber() == gScript->blockOnPage) {
            gScript->blocked = true;
            while (!gScript->release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (page.pageNumber() == gScript->throwOnPage)
            throw std::runtime_error("page exploded");
        return page.pageNumber() != gScript->refusePage;
    }
    void endConvertPDF(const std::shared_ptr<pdf::Document>&) override
    {
        gScript->record("end");
        if (gScript->throwOnEnd)
            throw std::runtime_error("disk full");
    }
    void cleanConvertPDF() override { gScript->record("clean"); }
};

void registerScriptedExporter()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QXRUZIzevudara::registerExporterFactory(
            [](const std::string& type, const std::shared_ptr<QXPDFOptions>&) -> std::unique_ptr<QXPDFExporter> {
                if (type == "scripted")
                    return std::make_unique<ScriptedExporter>();
                return nullptr;
            });
    });
}

std::string threePagePdf()
{
    static const std::string path = [] {
        test::PageFixture p;
        p.content = "0 0 m 10 10 l S";
        return test::writeTempFile(test::makePdf({p, p, p}), "three.pdf");
    }();
    return path;
}

std::string onePagePdf()
{
    static const std::string path = test::writeTempFile(test::makePdf("0 0 m 10 10 l S"), "one.pdf");
    return path;
}

// The three pages under the user password "user" and the owner password "owner".
std::string lockedPdf()
{
    static const std::string path = [] {
        const std::string locked = test::makeTempDir() + "/locked.pdf";
        EXPECT_EQ(test::runCommand("qpdf --encrypt user owner 256 -- '" + threePagePdf() + "' '" + locked + "'"), 0);
        return locked;
    }();
    return path;
}

// A document that opens but whose page tree holds no page that can be read:
// its one kid is a number.
std::string pagelessPdf()
{
    static const std::string path = [] {
        test::PdfWriter w;
        const int pages = w.reserve();
        const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
        const int kid = w.add("42");
        w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(kid) + " 0 R] /Count 1 >>");
        return test::writeTempFile(w.build(root), "pageless.pdf");
    }();
    return path;
}

// Records every converter report as one line.
class Recorder : public QXRUZIzevudaraDelegate {
public:
    explicit Recorder(EventLoop& loop) : loop_(loop) {}
    std::vector<std::string> events;
    bool ended = false;
    std::optional<QXError> endError;

    void QXRUZIzevudara_didStartConversion(QXRUZIzevudara&, const std::optional<QXError>&) override
    {
        events.push_back("start");
    }
    void QXRUZIzevudara_didEndConversion(QXRUZIzevudara& c, const std::optional<QXError>& e) override
    {
        events.push_back(e ? "end " + std::to_string(e->code) + " " + e->reason : "end ok");
        EXPECT_FALSE(c.isConverting());
        if (e) {
            EXPECT_EQ(e->domain, QXErrorDomain());
        }
        ended = true;
        endError = e;
    }
    void QXRUZIzevudara_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(QXRUZIzevudara&, uint64_t f,
                                                                                   uint64_t pos,
                                                                                   uint64_t done) override
    {
        events.push_back("page " + std::to_string(f) + " " + std::to_string(pos) + " " + std::to_string(done));
    }
    void QXRUZIzevudara_convertPDFPageIndex_faildWithError(QXRUZIzevudara&, uint64_t f, const QXError& e) override
    {
        events.push_back("fail " + std::to_string(f) + " " + std::to_string(e.code) + " " + e.reason);
    }
    void QXRUZIzevudara_willSaveDoc(QXRUZIzevudara&, const std::optional<QXError>&) override
    {
        events.push_back("save");
    }
    void QXRUZIzevudara_catchException(QXRUZIzevudara&, const QXException& e) override
    {
        events.push_back("exception " + e.reason);
    }

private:
    EventLoop& loop_;
};

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerScriptedExporter();
        gScript = &script;
    }
    void TearDown() override { gScript = nullptr; }

    // Converts and waits for the end report; `opened` is handed to the
    // conversion when given.
    std::vector<std::string> convert(const std::string& path, std::vector<long long> pages,
                                     const std::string& type = "scripted",
                                     std::optional<std::string> password = std::nullopt,
                                     std::optional<QXOpenedPDFDocument> opened = std::nullopt)
    {
        EventLoop loop;
        Recorder recorder(loop);
        QXRUZIzevudara converter(loop);
        converter.setDelegate(&recorder);
        if (opened)
            converter.convertPDFAtPath(path, password, pages, type, "/out/x", std::make_shared<QXPDFOptions>(),
                                       std::move(*opened));
        else
            converter.convertPDFAtPath(path, password, pages, type, "/out/x", std::make_shared<QXPDFOptions>());
        EXPECT_TRUE(converter.isConverting());
        EXPECT_TRUE(loop.runUntil([&] { return recorder.ended; }));
        return recorder.events;
    }

    Script script;
};

using Events = std::vector<std::string>;

} // namespace

TEST_F(ConverterTest, PagesReportPdfPagePositionAndCountInRequestOrder)
{
    EXPECT_EQ(convert(threePagePdf(), {3, 1}),
              (Events{"start", "page 3 1 1", "page 1 2 2", "save", "end ok"}));
    // The exporter's page index counts converted pages, not PDF pages.
    EXPECT_EQ(script.seen(), (Events{"begin /out/x", "page 3 index 0", "page 1 index 1", "end"}));
}

TEST_F(ConverterTest, PagesOutOfRangeFailWhileTheOthersConvert)
{
    script.refusePage = 3;
    EXPECT_EQ(convert(threePagePdf(), {0, 2, 4, 3, 2}),
              (Events{"start", "fail 0 401 Out of PDF Page Range(0)", "page 2 2 1",
                      "fail 4 401 Out of PDF Page Range(4)", "fail 3 401 Can't convert the PDF Page.(3)",
                      "page 2 5 2", "save", "end ok"}));
    // A refused page leaves no gap in the exporter's index.
    EXPECT_EQ(script.seen(),
              (Events{"begin /out/x", "page 2 index 0", "page 3 index 1", "page 2 index 1", "end"}));
}

TEST_F(ConverterTest, EmptyPageListStillWritesTheDocument)
{
    EXPECT_EQ(convert(threePagePdf(), {}), (Events{"start", "save", "end ok"}));
    EXPECT_EQ(script.seen(), (Events{"begin /out/x", "end"}));
}

TEST_F(ConverterTest, MissingSourceFolderAndUnreadableDocument)
{
    const std::string dir = test::makeTempDir();
    EXPECT_EQ(convert(dir, {1}), (Events{"start", "end 404 Source File isn't exist."}));
    EXPECT_EQ(convert(dir + "/nothing.pdf", {1}), (Events{"start", "end 404 Source File isn't exist."}));
    const std::string text = test::writeTempFile("not a pdf at all", "fake.pdf");
    EXPECT_EQ(convert(text, {1}), (Events{"start", "end 405 Can't load the PDF Document."}));
    EXPECT_TRUE(script.seen().empty());
}

TEST_F(ConverterTest, WrongPasswordGives405AndTheRightOneConverts)
{
    const std::string dir = test::makeTempDir();
    const std::string locked = dir + "/locked.pdf";
    ASSERT_EQ(test::runCommand("qpdf --encrypt user owner 256 -- '" + threePagePdf() + "' '" + locked + "'"), 0);
    EXPECT_EQ(convert(locked, {1}, "scripted", std::string("wrong")),
              (Events{"start", "end 405 Can't load the PDF Document."}));
    EXPECT_EQ(convert(locked, {1}, "scripted", std::string("user")),
              (Events{"start", "page 1 1 1", "save", "end ok"}));
}

TEST_F(ConverterTest, ALockedOrPagelessDocumentEndsWith405WhateverThePageList)
{
    struct Case {
        std::string path;
        std::optional<std::string> password;
    };
    const Case cases[] = {{lockedPdf(), std::nullopt}, {lockedPdf(), std::string()}, {pagelessPdf(), std::nullopt}};
    const std::vector<long long> lists[] = {{}, {1}, {1, 2}};
    for (const Case& c : cases) {
        for (const auto& pages : lists) {
            EXPECT_EQ(convert(c.path, pages, "scripted", c.password),
                      (Events{"start", "end 405 Can't load the PDF Document."}))
                << c.path << " pages " << pages.size();
        }
    }
    // No exporter was begun: nothing can have been written.
    EXPECT_TRUE(script.seen().empty());
}

TEST_F(ConverterTest, WhenNoRequestedPageConvertsTheFileFailsAndTheExporterCleansUp)
{
    script.refusePage = 2;
    EXPECT_EQ(convert(threePagePdf(), {2, 7}),
              (Events{"start", "fail 2 401 Can't convert the PDF Page.(2)", "fail 7 401 Out of PDF Page Range(7)",
                      "end 401 Can't convert the PDF Page.(2)"}));
    EXPECT_EQ(script.seen(), (Events{"begin /out/x", "page 2 index 0", "clean"}));

    script.calls.clear();
    script.throwOnPage = 1;
    EXPECT_EQ(convert(threePagePdf(), {1}),
              (Events{"start", "exception page exploded", "fail 1 400 Unknow error while converting.",
                      "end 400 Unknow error while converting."}));
    EXPECT_EQ(script.seen(), (Events{"begin /out/x", "page 1 index 0", "clean"}));
}

TEST_F(ConverterTest, AHandedOverDocumentIsConvertedInsteadOfOpeningTheFile)
{
    // The one-page document handed over for the three-page file: its page
    // count decides.
    QXOpenedPDFDocument opened = QXRUZIzevudara::openPDFDocumentAtPath(onePagePdf(), std::nullopt);
    ASSERT_FALSE(opened.error);
    EXPECT_EQ(convert(threePagePdf(), {1, 2}, "scripted", std::nullopt, opened),
              (Events{"start", "page 1 1 1", "fail 2 401 Out of PDF Page Range(2)", "save", "end ok"}));
    // An open failure handed over ends the file with it, readable file or not.
    EXPECT_EQ(convert(threePagePdf(), {1}, "scripted", std::nullopt,
                      QXOpenedPDFDocument{nullptr, makeQXError(404, "Source File isn't exist.")}),
              (Events{"start", "end 404 Source File isn't exist."}));
    // A document handed over still locked is not converted.
    EXPECT_EQ(convert(lockedPdf(), {1}, "scripted", std::nullopt,
                      QXOpenedPDFDocument{QXRUZIzevudara::initPDFDocumentAtPath(lockedPdf(), std::nullopt), {}}),
              (Events{"start", "end 405 Can't load the PDF Document."}));
    EXPECT_EQ(script.seen(), (Events{"begin /out/x", "page 1 index 0", "end"}));
}

TEST(ConverterDocuments, OpeningForAConversionTellsWhyNot)
{
    const std::string dir = test::makeTempDir();
    const std::string text = test::writeTempFile("not a pdf at all", "fake.pdf");
    struct Case {
        std::string path;
        std::optional<std::string> password;
        int error;  // 0: opens
        int pages;
    } cases[] = {
        {"", std::nullopt, 404, 0},
        {dir, std::nullopt, 404, 0},
        {dir + "/missing.pdf", std::nullopt, 404, 0},
        {text, std::nullopt, 405, 0},
        {pagelessPdf(), std::nullopt, 405, 0},
        {lockedPdf(), std::nullopt, 405, 0},
        {lockedPdf(), std::string(), 405, 0},
        {lockedPdf(), std::string("wrong"), 405, 0},
        {lockedPdf(), std::string("user"), 0, 3},
        {lockedPdf(), std::string("owner"), 0, 3},
        {threePagePdf(), std::nullopt, 0, 3},
    };
    for (const Case& c : cases) {
        const QXOpenedPDFDocument opened = QXRUZIzevudara::openPDFDocumentAtPath(c.path, c.password);
        SCOPED_TRACE(c.path + " / " + c.password.value_or("(none)"));
        if (c.error) {
            ASSERT_TRUE(opened.error);
            EXPECT_EQ(opened.error->code, c.error);
            EXPECT_EQ(opened.error->reason,
                      c.error == 404 ? "Source File isn't exist." : "Can't load the PDF Document.");
            EXPECT_FALSE(opened.document);
        } else {
            EXPECT_FALSE(opened.error);
            ASSERT_TRUE(opened.document);
            EXPECT_TRUE(opened.document->isUnlocked());
            EXPECT_EQ(opened.document->pageCount(), c.pages);
        }
    }
}

TEST_F(ConverterTest, ExceptionInAPageIsReportedThenThePageFails)
{
    script.throwOnPage = 2;
    EXPECT_EQ(convert(threePagePdf(), {1, 2, 3}),
              (Events{"start", "page 1 1 1", "exception page exploded", "fail 2 400 Unknow error while converting.",
                      "page 3 3 2", "save", "end ok"}));
}

TEST_F(ConverterTest, ExceptionWhileWritingFailsTheFile)
{
    script.throwOnEnd = true;
    EXPECT_EQ(convert(threePagePdf(), {1}),
              (Events{"start", "page 1 1 1", "save", "exception disk full", "end 400 Unknow error while converting."}));
}

TEST_F(ConverterTest, ExceptionAtTheStartFailsTheFileWithoutPages)
{
    script.throwOnBegin = true;
    EXPECT_EQ(convert(threePagePdf(), {1, 2}),
              (Events{"start", "exception begin failed", "end 400 Unknow error while converting."}));
    EXPECT_EQ(script.seen(), (Events{"begin /out/x", "clean"}));
}

TEST_F(ConverterTest, TypeWithoutExporterFailsTheFile)
{
    const Events events = convert(threePagePdf(), {1}, "DOCX-nonexistent");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].rfind("end 400 ", 0), 0u) << events[1];
    EXPECT_TRUE(script.seen().empty());
}

TEST_F(ConverterTest, StopDuringAPageLetsItFinishAndCancelsTheRest)
{
    script.blockOnPage = 2;
    EventLoop loop;
    Recorder recorder(loop);
    QXRUZIzevudara converter(loop);
    converter.setDelegate(&recorder);
    converter.convertPDFAtPath(threePagePdf(), std::nullopt, {1, 2, 3}, "scripted", "/out/x", nullptr);
    ASSERT_TRUE(loop.runUntil([&] { return script.blocked.load(); }));
    converter.stopConvertsionIfNeed();
    script.release = true;
    ASSERT_TRUE(loop.runUntil([&] { return recorder.ended; }));
    EXPECT_EQ(recorder.events,
              (Events{"start", "page 1 1 1", "page 2 2 2", "end 406 Conversion has been canceled."}));
    EXPECT_EQ(script.seen(), (Events{"begin /out/x", "page 1 index 0", "page 2 index 1", "clean"}));
}

TEST_F(ConverterTest, DestroyingTheConverterDropsUndeliveredReports)
{
    EventLoop loop;
    Recorder recorder(loop);
    {
        QXRUZIzevudara converter(loop);
        converter.setDelegate(&recorder);
        converter.convertPDFAtPath(threePagePdf(), std::nullopt, {1, 2, 3}, "scripted", "/out/x", nullptr);
    }
    loop.processPending();
    EXPECT_EQ(recorder.events, (Events{"start"}));
}

namespace {

class ManagerRecorder : public QXRUZIzevudaraManagerDelegate {
public:
    std::vector<std::string> events;
    int runsEnded = 0;

    void QXRUZIzevudaraManagerWillStartConversion(QXRUZIzevudaraManager&) override { events.push_back("run-start"); }
    void QXRUZIzevudaraManagerDidEndConversion(QXRUZIzevudaraManager&) override
    {
        events.push_back("run-end");
        ++runsEnded;
    }
    void QXRUZIzevudaraManager_didStartConversion_withError(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                            const std::optional<QXError>&) override
    {
        events.push_back("start " + name(item));
    }
    void QXRUZIzevudaraManager_didEndConversion_withError(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                          const std::optional<QXError>& e) override
    {
        events.push_back("end " + name(item) + (e ? " " + std::to_string(e->code) : " ok"));
    }
    void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
        QXRUZIzevudaraManager&, QXSourceFileItem& item, uint64_t f, uint64_t, uint64_t) override
    {
        events.push_back("page " + name(item) + " " + std::to_string(f));
    }
    void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_faildWithError(QXRUZIzevudaraManager&,
                                                                              QXSourceFileItem& item, uint64_t f,
                                                                              const QXError&) override
    {
        events.push_back("fail " + name(item) + " " + std::to_string(f));
    }
    void QXRUZIzevudaraManager_didConversion_willSaveDoc(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                         const std::optional<QXError>&) override
    {
        events.push_back("save " + name(item));
    }
    void QXRUZIzevudaraManager_didConversion_catchException(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                            const QXException&) override
    {
        events.push_back("exception " + name(item));
    }

private:
    static std::string name(QXSourceFileItem& item) { return item.outputFileFormat() == "scripted" ? tag(item) : "?"; }
    static std::string tag(QXSourceFileItem& item)
    {
        const auto pages = item.outputPDFPageIndexs();
        return pages.empty() ? "empty" : "p" + std::to_string(pages.front());
    }
};

// An item that opens a document of its own choosing when its turn comes
// and asks for two pages of it.
class OpeningItem : public QXSourceFileItem {
public:
    std::string opens;
    int starts = 0;

    void willStartConversion() override
    {
        ++starts;
        setOutputPDFPageIndexs({1, 2});
        setOpenedPDFDocument(QXRUZIzevudara::openPDFDocumentAtPath(opens, std::nullopt));
    }
};

std::shared_ptr<QXSourceFileItem> makeItem(const std::string& path, std::vector<long long> pages)
{
    auto item = std::make_shared<QXSourceFileItem>();
    item->setSourcePath(path);
    item->setOutputPDFPageIndexs(std::move(pages));
    item->setOutputFileFormat("scripted");
    item->setOutputFolder(test::makeTempDir());
    return item;
}

} // namespace

TEST_F(ConverterTest, ManagerRunsItemsInOrderAndAdvancesOncePerFile)
{
    script.throwOnPage = 1;
    EventLoop loop;
    ManagerRecorder recorder;
    QXRUZIzevudaraManager manager(loop);
    manager.setDelegate(&recorder);
    manager.setParserPDFAnnotsPreference([] { return false; });
    auto a = makeItem(threePagePdf(), {1, 2});
    auto b = makeItem("/nonexistent/file.pdf", {3});
    auto c = makeItem(threePagePdf(), {3});
    manager.setMa_sourceItems({a, b, c});
    manager.startConversion();
    ASSERT_TRUE(loop.runUntil([&] { return recorder.runsEnded == 1; }));
    EXPECT_EQ(recorder.events,
              (Events{"run-start", "start p1", "exception p1", "fail p1 1", "page p1 2", "save p1", "end p1 ok",
                      "start p3", "end p3 404", "start p3", "page p3 3", "save p3", "end p3 ok", "run-end"}));
    EXPECT_FALSE(manager.isConverting());
    EXPECT_FALSE(a->conversionError());
    ASSERT_TRUE(b->conversionError());
    EXPECT_EQ(b->conversionError()->code, 404);
    EXPECT_EQ(a->convertOpts()->isParserAnnots(), 0);
    EXPECT_EQ(a->outputPath(), a->outputFolder() + "/three.scripted");
}

TEST_F(ConverterTest, ManagerHandsTheDocumentAnItemOpenedToItsConversion)
{
    EventLoop loop;
    ManagerRecorder recorder;
    QXRUZIzevudaraManager manager(loop);
    manager.setDelegate(&recorder);
    // Both items name the three-page file; the documents they open decide.
    auto one = std::make_shared<OpeningItem>();
    one->opens = onePagePdf();
    auto locked = std::make_shared<OpeningItem>();
    locked->opens = lockedPdf();
    for (const auto& item : {one, locked}) {
        item->setSourcePath(threePagePdf());
        item->setOutputFileFormat("scripted");
        item->setOutputFolder(test::makeTempDir());
    }
    manager.setMa_sourceItems({one, locked});
    manager.startConversion();
    ASSERT_TRUE(loop.runUntil([&] { return recorder.runsEnded == 1; }));
    EXPECT_EQ(recorder.events, (Events{"run-start", "start p1", "page p1 1", "fail p1 2", "save p1", "end p1 ok",
                                       "start p1", "end p1 405", "run-end"}));
    EXPECT_EQ(one->starts, 1);
    EXPECT_EQ(locked->starts, 1);
    // The manager took the documents: the items keep none after their turn.
    EXPECT_FALSE(one->takeOpenedPDFDocument());
    EXPECT_FALSE(locked->takeOpenedPDFDocument());
    ASSERT_TRUE(locked->conversionError());
    EXPECT_EQ(locked->conversionError()->code, 405);
}

TEST_F(ConverterTest, ManagerStopEndsTheRunAndANewRunWaitsForTheStoppedFile)
{
    script.blockOnPage = 1;
    EventLoop loop;
    ManagerRecorder recorder;
    QXRUZIzevudaraManager manager(loop);
    manager.setDelegate(&recorder);
    auto a = makeItem(threePagePdf(), {1, 2});
    auto b = makeItem(threePagePdf(), {3});
    manager.setMa_sourceItems({a, b});
    manager.startConversion();
    ASSERT_TRUE(loop.runUntil([&] { return script.blocked.load(); }));
    manager.stopConversion();
    EXPECT_FALSE(manager.isConverting());
    // A new run asked for before the stopped file has ended.
    manager.setMa_sourceItems({b});
    manager.startConversion();
    script.blockOnPage = 0;
    script.release = true;
    ASSERT_TRUE(loop.runUntil([&] { return recorder.runsEnded == 2; }));
    EXPECT_EQ(recorder.events, (Events{"run-start", "start p1", "page p1 1", "end p1 406", "run-end", "run-start",
                                       "start p3", "page p3 3", "save p3", "end p3 ok", "run-end"}));
    ASSERT_TRUE(a->conversionError());
    EXPECT_EQ(a->conversionError()->code, 406);
}

TEST(ConversionOptions, DefaultsAndClamping)
{
    QXPDFOptions o;
    EXPECT_EQ(o.imageDPI(), 144);
    EXPECT_EQ(o.isParserAnnots(), 1);
    EXPECT_EQ(o.imageOptions().dpi(), 144);
    EXPECT_DOUBLE_EQ(o.imageOptions().quality(), 0.92);
    EXPECT_EQ(o.imageOptions().imageName(), "IMG");
    EXPECT_TRUE(o.wordOptions().isMergeParagraphs());
    EXPECT_FALSE(o.wordOptions().enableShapToImage());
    EXPECT_EQ(o.wordOptions().outlineType(), 1);
    EXPECT_TRUE(o.excelOptions().recognizeNumber());
    EXPECT_FALSE(o.excelOptions().allInOneSheet());

    const std::pair<int, int> dpiCases[] = {{0, 72}, {72, 72}, {73, 73}, {601, 600}};
    for (auto [in, out] : dpiCases) {
        o.setImageDPI(in);
        EXPECT_EQ(o.imageDPI(), out);
    }
    const std::pair<long long, long long> imageDpiCases[] = {{5, 12}, {3000, 2400}, {300, 300}};
    for (auto [in, out] : imageDpiCases) {
        o.imageOptions().setDpi(in);
        EXPECT_EQ(o.imageOptions().dpi(), out);
    }
    const std::pair<double, double> qualityCases[] = {{0, 0.1}, {1.5, 1.0}, {0.5, 0.5}};
    for (auto [in, out] : qualityCases) {
        o.imageOptions().setQuality(in);
        EXPECT_DOUBLE_EQ(o.imageOptions().quality(), out);
    }
}

TEST(ConverterTypes, TableAndTransform)
{
    EXPECT_EQ(QXRUZIzevudara::supportDocTypes().size(), 14u);
    EXPECT_EQ(QXRUZIzevudara::supportDocTypeNameForKey("csv"), "Comma-Separated Values(.csv)");
    EXPECT_FALSE(QXRUZIzevudara::supportDocTypeNameForKey("jp2"));
    const Affine t = QXPDFExporter::CGAffineTransformFromRect(Rect(10, 10, 100, 50), Rect(0, 0, 200, 200));
    EXPECT_EQ(apply(Point{10, 10}, t), (Point{0, 0}));
    EXPECT_EQ(apply(Point{110, 60}, t), (Point{200, 200}));
}

TEST(ImageExporter, CleaningRemovesTheImagesItWroteAndOnlyTheFolderItMade)
{
    const auto document = QXRUZIzevudara::initPDFDocumentAtPath(threePagePdf(), std::nullopt);
    ASSERT_TRUE(document);
    for (const bool folderWasThere : {false, true}) {
        SCOPED_TRACE(folderWasThere ? "folder was there" : "new folder");
        const std::string dest = test::makeTempDir() + "/images";
        if (folderWasThere) {
            std::filesystem::create_directory(dest);
            std::ofstream(dest + "/mine.txt") << "kept";
        }
        QXImagePDFExporter exporter;
        auto options = std::make_shared<QXPDFOptions>();
        options->imageOptions().setDpi(12);
        exporter.setMoreOptions(options);
        exporter.setDestDocType("png");
        exporter.setDestDocPath(dest);
        exporter.begainConvertPDF(dest, document);
        for (int page = 1; page <= 2; ++page) {
            exporter.setPageIndex(uint64_t(page - 1));
            ASSERT_TRUE(exporter.convertPDFPage(document->page(page)));
        }
        ASSERT_TRUE(std::filesystem::exists(dest + "/IMG_00002.png"));
        exporter.cleanConvertPDF();
        if (folderWasThere) {
            std::vector<std::string> left;
            for (const auto& entry : std::filesystem::directory_iterator(dest))
                left.push_back(entry.path().filename().string());
            EXPECT_EQ(left, (std::vector<std::string>{"mine.txt"}));
        } else {
            EXPECT_FALSE(std::filesystem::exists(dest));
        }
    }
}

namespace {

// The scripted exporter that also leaves a file in the engine's temporary
// folder at every step, as image extraction and work folders do.
std::mutex gLeftMutex;
std::vector<std::string> gLeft;

class LitteringExporter : public ScriptedExporter {
public:
    void begainConvertPDF(const std::string& dest, const std::shared_ptr<pdf::Document>& document) override
    {
        leave("begin");
        ScriptedExporter::begainConvertPDF(dest, document);
    }
    bool convertPDFPage(const pdf::Page& page) override
    {
        leave("page");
        return ScriptedExporter::convertPDFPage(page);
    }
    void endConvertPDF(const std::shared_ptr<pdf::Document>& document) override
    {
        leave("end");
        ScriptedExporter::endConvertPDF(document);
    }

private:
    static void leave(const std::string& step)
    {
        const std::string path = QXPDFPathUtilities::tempIMG(step, "png");
        QXPDFPathUtilities::createFolderIfNeed(QXPDFPathUtilities::homeTmpFolder());
        std::ofstream(path) << step;
        std::lock_guard lock(gLeftMutex);
        gLeft.push_back(path);
    }
};

} // namespace

// Whatever way a file ends (converted, a page or the writing failed, the
// start failed, stopped), what it left in the temporary folder is gone, with
// the conversion's own folder, before the end is reported.
TEST_F(ConverterTest, EveryEndRemovesWhatTheConversionLeftInItsTemporaryFolder)
{
    static std::once_flag once;
    std::call_once(once, [] {
        QXRUZIzevudara::registerExporterFactory(
            [](const std::string& type, const std::shared_ptr<QXPDFOptions>&) -> std::unique_ptr<QXPDFExporter> {
                if (type == "littering")
                    return std::make_unique<LitteringExporter>();
                return nullptr;
            });
    });
    enum class End { Converted, PageThrows, EndThrows, BeginThrows, Stopped };
    for (const End end : {End::Converted, End::PageThrows, End::EndThrows, End::BeginThrows, End::Stopped}) {
        SCOPED_TRACE(static_cast<int>(end));
        script.throwOnPage = end == End::PageThrows ? 2 : 0;
        script.throwOnEnd = end == End::EndThrows;
        script.throwOnBegin = end == End::BeginThrows;
        script.blockOnPage = end == End::Stopped ? 1 : 0;
        script.blocked = false;
        script.release = false;
        {
            std::lock_guard lock(gLeftMutex);
            gLeft.clear();
        }
        EventLoop loop;
        Recorder recorder(loop);
        QXRUZIzevudara converter(loop);
        converter.setDelegate(&recorder);
        converter.convertPDFAtPath(threePagePdf(), std::nullopt, {1, 2}, "littering", "/out/x", nullptr);
        if (end == End::Stopped) {
            ASSERT_TRUE(loop.runUntil([&] { return script.blocked.load(); }));
            converter.stopConvertsionIfNeed();
            script.release = true;
        }
        ASSERT_TRUE(loop.runUntil([&] { return recorder.ended; }));
        EXPECT_EQ(recorder.endError.has_value(), end != End::Converted && end != End::PageThrows);

        std::lock_guard lock(gLeftMutex);
        ASSERT_FALSE(gLeft.empty());
        const std::filesystem::path folder = std::filesystem::path(gLeft.front()).parent_path();
        for (const std::string& path : gLeft) {
            EXPECT_EQ(std::filesystem::path(path).parent_path(), folder) << path;
            EXPECT_FALSE(std::filesystem::exists(path)) << path;
        }
        EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
        EXPECT_EQ(folder.parent_path(), std::filesystem::path(TemporaryFolder::systemFolder()));
    }
}
