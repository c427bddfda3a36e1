#include "PdfTestUtil.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace rz;
using namespace rz::pdf;

namespace {

std::string onePage(const std::string& extra = {})
{
    test::PageFixture p;
    p.content = "0 0 m 10 10 l S";
    p.extra = extra;
    return test::makePdf(std::vector<test::PageFixture>{p});
}

bool near(const Rect& a, const Rect& b)
{
    return nearlyEqual(a.origin.x, b.origin.x) && nearlyEqual(a.origin.y, b.origin.y) &&
           nearlyEqual(a.size.width, b.size.width) && nearlyEqual(a.size.height, b.size.height);
}

} // namespace

TEST(PdfDocument, OpenTellsWhyNothingOpened)
{
    const std::string dir = test::makeTempDir();
    const std::string good = test::writeTempFile(onePage(), "good.pdf");
    const std::string empty = test::writeTempFile("", "empty.pdf");
    const std::string text = test::writeTempFile("just some text, no PDF here\n", "text.pdf");

    // A file that needs a certificate (public-key) security handler.
    test::PdfWriter w;
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int catalog = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const int encrypt = w.add("<< /Filter /Adobe.PubSec /SubFilter /adbe.pkcs7.s5 /V 4 /R 4 /Length 128 "
                              "/Recipients [<3082>] >>");
    const std::string pubsec = test::writeTempFile(
        w.build(catalog, 0, "/Encrypt " + std::to_string(encrypt) + " 0 R /ID [<0102> <0102>]"), "pubsec.pdf");

    struct Case {
        std::string path;
        OpenStatus status;
    } cases[] = {
        {good, OpenStatus::Ok},
        {dir + "/missing.pdf", OpenStatus::NotFound},
        {dir, OpenStatus::NotFound},
        {"", OpenStatus::NotFound},
        {empty, OpenStatus::NotPDF},
        {text, OpenStatus::NotPDF},
        {"/dev/null", OpenStatus::NotPDF},
        {pubsec, OpenStatus::UnsupportedSecurity},
    };
    for (const Case& c : cases) {
        OpenStatus status = OpenStatus::Ok;
        const auto doc = Document::open(c.path, &status);
        EXPECT_EQ(status, c.status) << c.path;
        EXPECT_EQ(doc != nullptr, c.status == OpenStatus::Ok) << c.path;
        EXPECT_EQ(Document::open(c.path) != nullptr, c.status == OpenStatus::Ok) << c.path;
    }
    EXPECT_FALSE(Document::openData("not a pdf"));
    EXPECT_FALSE(Document::openData(""));
    const auto doc = Document::openData(onePage());
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->pageCount(), 1);
    EXPECT_EQ(doc->version(), "1.7");
    EXPECT_FALSE(doc->isEncrypted());
    EXPECT_TRUE(doc->isUnlocked());
    EXPECT_TRUE(doc->allowsPrinting());
    EXPECT_TRUE(doc->unlockWithPassword("anything")); // nothing to unlock
    EXPECT_FALSE(doc->page(0).isValid());
    EXPECT_FALSE(doc->page(2).isValid());
    EXPECT_EQ(doc->page(1).pageNumber(), 1);
}

TEST(PdfDocument, DamagedCrossReferencesAreRepaired)
{
    std::string pdf = onePage();
    const size_t at = pdf.rfind("startxref\n");
    ASSERT_NE(at, std::string::npos);
    pdf = pdf.substr(0, at) + "startxref\n999999\n%%EOF\n";
    const auto doc = Document::openData(pdf);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->pageCount(), 1);
    EXPECT_EQ(ContentStream(doc->page(1)).data(), "0 0 m 10 10 l S");
}

TEST(PdfDocument, PageTreeLoopsAndInheritance)
{
    // Pages node with inherited MediaBox, CropBox, Rotate and Resources; one
    // kid refers back to the node itself.
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int root = w.reserve();
    const int inner = w.reserve();
    const int p1 = w.add("<< /Type /Page /Parent " + std::to_string(inner) + " 0 R >>");
    const int p2 = w.add("<< /Type /Page /Parent " + std::to_string(root) +
                         " 0 R /MediaBox [0 0 100 100] /Rotate -90 /Resources << /Font << /F2 1 0 R >> >> >>");
    w.set(inner, "<< /Type /Pages /Parent " + std::to_string(root) + " 0 R /Kids [" + std::to_string(p1) +
                     " 0 R " + std::to_string(root) + " 0 R] /Rotate 450 >>");
    w.set(root, "<< /Type /Pages /Kids [" + std::to_string(inner) + " 0 R " + std::to_string(p2) +
                    " 0 R " + std::to_string(p1) + " 0 R] /Count 2 /MediaBox [0 0 612 792] "
                    "/Resources << /Font << /F1 1 0 R >> >> >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(root) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->pageCount(), 2);
    const Page a = doc->page(1), b = doc->page(2);
    EXPECT_TRUE(near(a.boxRect(Box::Media), Rect(0, 0, 612, 792)));
    EXPECT_EQ(a.rotationAngle(), 90);
    EXPECT_EQ(b.rotationAngle(), 270);
    EXPECT_EQ(a.resources().get("Font").keys(), (std::vector<std::string>{"F1"}));
    EXPECT_EQ(b.resources().get("Font").keys(), (std::vector<std::string>{"F2"}));
    EXPECT_TRUE(a.dictionary().sameObject(doc->page(1).dictionary()));
}

TEST(PdfDocument, BoxesFollowThePlatformRules)
{
    struct Case {
        const char* name;
        std::string entries;
        Rect media, crop, bleed, trim, art;
    } cases[] = {
        {"media only", "/MediaBox [0 0 612 792]", {0, 0, 612, 792}, {0, 0, 612, 792}, {0, 0, 612, 792},
         {0, 0, 612, 792}, {0, 0, 612, 792}},
        {"inverted, clipped", "/MediaBox [612 792 0 0] /CropBox [700 10 -50 500] /TrimBox [50 50 100 100]",
         {0, 0, 612, 792}, {0, 10, 612, 490}, {0, 10, 612, 490}, {50, 50, 50, 50}, {0, 10, 612, 490}},
        {"crop outside media", "/MediaBox [0 0 100 100] /CropBox [200 200 300 300] /ArtBox [-10 -10 50 50]",
         {0, 0, 100, 100}, {0, 0, 100, 100}, {0, 0, 100, 100}, {0, 0, 100, 100}, {0, 0, 50, 50}},
        {"bleed outside crop", "/MediaBox [0 0 100 100] /CropBox [10 10 90 90] /BleedBox [95 95 99 99]",
         {0, 0, 100, 100}, {10, 10, 80, 80}, {10, 10, 80, 80}, {10, 10, 80, 80}, {10, 10, 80, 80}},
        {"malformed entries", "/MediaBox [0 0 200 100] /CropBox [1 2 3] /TrimBox [0 0 (x) 5]",
         {0, 0, 200, 100}, {0, 0, 200, 100}, {0, 0, 200, 100}, {0, 0, 200, 100}, {0, 0, 200, 100}},
    };
    for (const Case& c : cases) {
        test::PdfWriter w;
        const int catalog = w.reserve();
        const int pages = w.reserve();
        const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) + " 0 R " + c.entries + " >>");
        w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
        w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
        const auto doc = Document::openData(w.build(catalog));
        ASSERT_TRUE(doc) << c.name;
        const Page p = doc->page(1);
        EXPECT_TRUE(near(p.boxRect(Box::Media), c.media)) << c.name;
        EXPECT_TRUE(near(p.boxRect(Box::Crop), c.crop)) << c.name;
        EXPECT_TRUE(near(p.boxRect(Box::Bleed), c.bleed)) << c.name;
        EXPECT_TRUE(near(p.boxRect(Box::Trim), c.trim)) << c.name;
        EXPECT_TRUE(near(p.boxRect(Box::Art), c.art)) << c.name;
    }
    // No media box anywhere.
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int pages = w.reserve();
    const int page = w.add("<< /Type /Page /Parent " + std::to_string(pages) + " 0 R /Rotate 45 >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->page(1).boxRect(Box::Media).isNull());
    EXPECT_TRUE(doc->page(1).boxRect(Box::Crop).isNull());
    EXPECT_EQ(doc->page(1).rotationAngle(), 0); // not a right angle
    EXPECT_TRUE(doc->page(1).drawingTransform(Box::Crop, Rect(0, 0, 10, 10), 0, true).isIdentity());
}

TEST(PdfDocument, RotationAngles)
{
    struct Case {
        const char* rotate;
        int expect;
    } cases[] = {{"0", 0}, {"90", 90}, {"-90", 270}, {"450", 90}, {"720", 0}, {"180.0", 180},
                 {"-270", 90}, {"30", 0}, {"(90)", 0}, {"99999999999999999990", 0}};
    for (const Case& c : cases) {
        const auto doc = Document::openData(onePage(std::string("/Rotate ") + c.rotate));
        ASSERT_TRUE(doc) << c.rotate;
        EXPECT_EQ(doc->page(1).rotationAngle(), c.expect) << c.rotate;
    }
}

TEST(PdfDocument, DrawingTransform)
{
    test::PageFixture page;
    page.mediaBox = "[0 0 200 100]";
    const auto doc = Document::openData(test::makePdf(std::vector<test::PageFixture>{page}));
    ASSERT_TRUE(doc);
    const Page p = doc->page(1);
    auto map = [](const Affine& t, double x, double y) { return apply(Point{x, y}, t); };

    // Fits a smaller rect by scaling down, centred.
    Affine t = p.drawingTransform(Box::Media, Rect(0, 0, 100, 100), 0, true);
    EXPECT_EQ(map(t, 0, 0), (Point{0, 25}));
    EXPECT_EQ(map(t, 200, 100), (Point{100, 75}));
    // Never scales up.
    t = p.drawingTransform(Box::Media, Rect(0, 0, 1000, 1000), 0, true);
    EXPECT_EQ(map(t, 100, 50), (Point{500, 500}));
    EXPECT_EQ(map(t, 200, 100), (Point{600, 550}));
    // Without preserving the aspect ratio: no scaling at all.
    t = p.drawingTransform(Box::Media, Rect(0, 0, 100, 100), 0, false);
    EXPECT_EQ(map(t, 200, 100), (Point{150, 100}));
    // Rotated clockwise by 90: the box's bottom-left corner goes to the top left.
    t = p.drawingTransform(Box::Media, Rect(0, 0, 1000, 1000), 90, true);
    EXPECT_EQ(map(t, 0, 0), (Point{450, 600}));
    EXPECT_EQ(map(t, 200, 100), (Point{550, 400}));
    // -270 is 90; a rotation that is not a right angle is ignored.
    EXPECT_EQ(p.drawingTransform(Box::Media, Rect(0, 0, 1000, 1000), -270, true), t);
    EXPECT_EQ(p.drawingTransform(Box::Media, Rect(0, 0, 1000, 1000), 45, true),
              p.drawingTransform(Box::Media, Rect(0, 0, 1000, 1000), 0, true));
    // The page's own rotation adds to the argument: 90 + 90 = 180.
    const auto rotated = Document::openData(onePage("/Rotate 90"));
    ASSERT_TRUE(rotated);
    t = rotated->page(1).drawingTransform(Box::Media, Rect(0, 0, 612, 792), 90, true);
    EXPECT_EQ(map(t, 0, 0), (Point{612, 792}));
}

TEST(PdfDocument, ContentsAreJoinedStreams)
{
    test::PdfWriter w;
    const int catalog = w.reserve();
    const int pages = w.reserve();
    const int s1 = w.addStream("", "q 1 w", true);
    const int s2 = w.addStream("", "Q");
    const int bad = w.addStream("/Filter /NoSuchFilter", "xx");
    const int page1 = w.add("<< /Type /Page /Parent " + std::to_string(pages) + " 0 R /MediaBox [0 0 1 1] /Contents [" +
                            std::to_string(s1) + " 0 R null 7 " + std::to_string(s2) + " 0 R] >>");
    const int page2 = w.add("<< /Type /Page /Parent " + std::to_string(pages) + " 0 R /MediaBox [0 0 1 1] /Contents [" +
                            std::to_string(s2) + " 0 R " + std::to_string(bad) + " 0 R] >>");
    const int page3 = w.add("<< /Type /Page /Parent " + std::to_string(pages) + " 0 R /MediaBox [0 0 1 1] >>");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(page1) + " 0 R " + std::to_string(page2) + " 0 R " +
                     std::to_string(page3) + " 0 R] /Count 3 >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog));
    ASSERT_TRUE(doc);
    bool complete = false;
    EXPECT_EQ(doc->page(1).contentsData(&complete), "q 1 w\nQ");
    EXPECT_TRUE(complete);
    EXPECT_EQ(doc->page(2).contentsData(&complete), "Q");
    EXPECT_FALSE(complete);
    EXPECT_EQ(doc->page(3).contentsData(&complete), "");
    EXPECT_TRUE(complete);
}

TEST(PdfDocument, InfoStringsAsUtf8)
{
    test::PdfWriter w;
    const int info = w.add("<< /Title <FEFF00480069> /Author (\\200 Ann) /Subject /NotAString >>");
    const int pages = w.add("<< /Type /Pages /Kids [] /Count 0 >>");
    const int catalog = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const auto doc = Document::openData(w.build(catalog, info, {}, "1.4"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->infoString("Title"), "Hi");
    EXPECT_EQ(doc->infoString("Author"), "\xE2\x80\xA2 Ann");
    EXPECT_EQ(doc->infoString("Subject"), "");
    EXPECT_EQ(doc->infoString("Missing"), "");
    EXPECT_EQ(doc->version(), "1.4");
    EXPECT_EQ(doc->pageCount(), 0);
}

TEST(PdfDocument, PasswordsAndPermissions)
{
    const std::string plain = onePage();
    struct Case {
        const char* name;
        std::string user, owner;
        bool allowPrint;
        int revision;
    } cases[] = {
        {"R6 print denied", "u", "o", false, 6},
        {"R3 print denied", "u", "o", false, 3},
        {"R6 empty user", "", "o", true, 6},
        {"R6 non-ASCII", "\xC3\xA6\xC3\xB8\xC3\xA5", "master", true, 6},
    };
    for (const Case& c : cases) {
        const std::string bytes = rz::pdftest::encryptPdf(plain, c.user, c.owner, c.allowPrint, c.revision);
        const bool needsPassword = !c.user.empty();

        auto doc = Document::openData(bytes);
        ASSERT_TRUE(doc) << c.name;
        EXPECT_TRUE(doc->isEncrypted()) << c.name;
        EXPECT_EQ(doc->isUnlocked(), !needsPassword) << c.name;
        EXPECT_EQ(doc->pageCount(), needsPassword ? 0 : 1) << c.name;
        EXPECT_FALSE(doc->unlockWithPassword("wrong")) << c.name;
        EXPECT_EQ(doc->isUnlocked(), !needsPassword) << c.name;

        if (needsPassword) {
            // The user password opens it; printing only as the permissions say.
            ASSERT_TRUE(doc->unlockWithPassword(c.user)) << c.name;
            EXPECT_TRUE(doc->isUnlocked());
            EXPECT_EQ(doc->password(), c.user);
            EXPECT_FALSE(doc->ownerPasswordMatched()) << c.name;
            EXPECT_EQ(doc->allowsPrinting(), c.allowPrint) << c.name;
            EXPECT_EQ(doc->allowsCopying(), c.allowPrint) << c.name;
            EXPECT_EQ(ContentStream(doc->page(1)).data(), "0 0 m 10 10 l S") << c.name;
            // A wrong password later leaves the unlocked document as it was.
            EXPECT_FALSE(doc->unlockWithPassword("wrong"));
            EXPECT_TRUE(doc->isUnlocked());
        }
        // The owner password grants printing whatever the permissions say.
        doc = Document::openData(bytes);
        ASSERT_TRUE(doc->unlockWithPassword(c.owner)) << c.name;
        EXPECT_TRUE(doc->ownerPasswordMatched()) << c.name;
        EXPECT_TRUE(doc->allowsPrinting()) << c.name;
        EXPECT_EQ(doc->pageCount(), 1);
    }
    // A non-ASCII password typed in another encoding (here Latin-1) is tried
    // in the spellings it may have been meant as.
    const std::string bytes = rz::pdftest::encryptPdf(plain, "\xC3\xA6\xC3\xB8\xC3\xA5", "o", true, 6);
    const auto doc = Document::openData(bytes);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->password(), "");
    EXPECT_TRUE(doc->unlockWithPassword("\xE6\xF8\xE5"));
    // The spelling that worked, for other readers of the file.
    EXPECT_EQ(doc->password(), "\xC3\xA6\xC3\xB8\xC3\xA5");
}

TEST(PdfDocument, Aes256PasswordsArePreparedBySaslPrep)
{
    // An AES-256 file holds its password prepared by SASLprep; the user
    // types it unprepared. The older handlers take the bytes as they are.
    const std::string plain = onePage();
    struct Case {
        const char* name;
        std::string stored; // as the file was encrypted
        std::string typed;
        int revision;
        const char* opened; // the spelling that opened it; null: refused
    } cases[] = {
        {"soft hyphen removed", "password", "pass\xC2\xADword", 6, "password"},
        {"feminine ordinal to a", "abc", "\xC2\xAA" "bc", 6, "abc"},
        {"no-break space to space", "a b", "a\xC2\xA0" "b", 6, "a b"},
        {"combining accent composed", "\xC3\xA9t\xC3\xA9", "e\xCC\x81t\xC3\xA9", 6, "\xC3\xA9t\xC3\xA9"},
        // Typed in Latin-1: the UTF-8 spelling, then prepared.
        {"Latin-1 soft hyphen", "password", "pass\xADword", 6, "password"},
        // A file encrypted with the unprepared password still opens with it.
        {"stored unprepared", "pass\xC2\xADword", "pass\xC2\xADword", 6, "pass\xC2\xADword"},
        // Not prepared where the handler does not prepare.
        {"revision 3 unprepared", "abc", "\xC2\xAA" "bc", 3, nullptr},
        {"revision 3 as typed", "\xC2\xAA" "bc", "\xC2\xAA" "bc", 3, "\xC2\xAA" "bc"},
    };
    for (const Case& c : cases) {
        const auto doc = Document::openData(rz::pdftest::encryptPdf(plain, c.stored, "owner", true, c.revision));
        ASSERT_TRUE(doc) << c.name;
        ASSERT_FALSE(doc->isUnlocked()) << c.name;
        EXPECT_EQ(doc->unlockWithPassword(c.typed), c.opened != nullptr) << c.name;
        if (!c.opened)
            continue;
        EXPECT_EQ(doc->password(), c.opened) << c.name;
        EXPECT_FALSE(doc->ownerPasswordMatched()) << c.name;
        EXPECT_EQ(ContentStream(doc->page(1)).data(), "0 0 m 10 10 l S") << c.name;
    }
    // An owner password given to a file already open (with its empty user
    // password) is prepared too.
    const auto doc = Document::openData(rz::pdftest::encryptPdf(plain, "", "master", true, 6));
    ASSERT_TRUE(doc && doc->isUnlocked());
    EXPECT_FALSE(doc->ownerPasswordMatched());
    EXPECT_TRUE(doc->unlockWithPassword("mas\xC2\xADter"));
    EXPECT_TRUE(doc->ownerPasswordMatched());
}
