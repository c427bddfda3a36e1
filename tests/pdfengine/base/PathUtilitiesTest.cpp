#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXRandomString.h"
#include "platform/core/TemporaryFolder.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

using namespace rz;
namespace fs = std::filesystem;

namespace {
const std::string kUuid = "[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}";

void touch(const std::string& path)
{
    std::ofstream(path) << "x";
}
} // namespace

TEST(PathUtilities, UuidSiblingNames)
{
    EXPECT_TRUE(std::regex_match(QXPDFPathUtilities::getUUIDPathBy("/a/b.png"),
                                 std::regex("/a/b-" + kUuid + "\\.png")));
    EXPECT_TRUE(std::regex_match(QXPDFPathUtilities::getUUIDPathBy("/a/b"),
                                 std::regex("/a/b-" + kUuid)));
    EXPECT_TRUE(std::regex_match(QXPDFPathUtilities::getUUIDPathBy("/a.d/b"),
                                 std::regex("/a\\.d/b-" + kUuid)));
}

TEST(PathUtilities, NewPathCountsFromTwo)
{
    const std::string dir = test::makeTempDir();
    const std::string b = dir + "/b.docx";
    EXPECT_EQ(QXPDFPathUtilities::getNewPathby(b), b);
    touch(b);
    EXPECT_EQ(QXPDFPathUtilities::getNewPathby(b), dir + "/b2.docx");
    touch(dir + "/b2.docx");
    EXPECT_EQ(QXPDFPathUtilities::getNewPathby(b), dir + "/b3.docx");
    touch(dir + "/c");
    EXPECT_EQ(QXPDFPathUtilities::getNewPathby(dir + "/c"), dir + "/c2");
}

TEST(PathUtilities, TemporaryNames)
{
    const std::string tmp = QXPDFPathUtilities::homeTmpFolder();
    EXPECT_TRUE(std::regex_match(QXPDFPathUtilities::tempIMG("", ""),
                                 std::regex(tmp + "/IMG_" + kUuid + "\\.PNG")));
    EXPECT_TRUE(std::regex_match(QXPDFPathUtilities::tempIMG("p", "jpg"),
                                 std::regex(tmp + "/IMG_p_" + kUuid + "\\.jpg")));
    EXPECT_TRUE(std::regex_match(QXPDFPathUtilities::tempFile("", ""),
                                 std::regex(tmp + "/" + kUuid + "\\.unkonw")));
    EXPECT_TRUE(std::regex_match(QXPDFPathUtilities::tempFolder(),
                                 std::regex(tmp + "/Temp-" + kUuid)));
    EXPECT_NE(QXPDFPathUtilities::tempFolder(), QXPDFPathUtilities::tempFolder());
}

// Inside a job, every temporary path lies in the job's folder, so that the
// folder's removal takes them all; never under the home folder.
TEST(PathUtilities, TemporaryPathsLieInTheJobsFolder)
{
    std::string folder;
    {
        TemporaryFolder job("job");
        folder = job.path();
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(QXPDFPathUtilities::homeTmpFolder(), folder);
        for (const std::string& path :
             {QXPDFPathUtilities::tempIMG("p", "png"), QXPDFPathUtilities::tempFile(),
              QXPDFPathUtilities::tempFolder(), QXPDFPathUtilities::tempFolder0()}) {
            EXPECT_EQ(fs::path(path).parent_path(), fs::path(folder)) << path;
            touch(path);
        }
    }
    EXPECT_FALSE(fs::exists(folder));
    // Outside a job: a folder that exists, not the home folder's "tmp".
    const std::string outside = QXPDFPathUtilities::homeTmpFolder();
    EXPECT_TRUE(fs::is_directory(outside));
    if (const char* home = std::getenv("HOME")) {
        EXPECT_NE(fs::path(outside), fs::path(home) / "tmp");
    }
}

TEST(PathUtilities, FolderCreation)
{
    const std::string dir = test::makeTempDir() + "/x/y/z";
    EXPECT_FALSE(QXPDFPathUtilities::isDirectoryAtPath(dir));
    EXPECT_TRUE(QXPDFPathUtilities::createFolderIfNeed(dir));
    EXPECT_TRUE(QXPDFPathUtilities::isDirectoryAtPath(dir));
    EXPECT_TRUE(QXPDFPathUtilities::createFolderIfNeed(dir));
    const std::string file = dir + "/f";
    touch(file);
    EXPECT_FALSE(QXPDFPathUtilities::createFolderIfNeed(file));
}

TEST(PathUtilities, EngineResourcesStayInTheirFolder)
{
    const std::string shipped = QXPDFPathUtilities::PathInLibBundleForResource("FontBook_Replace.txt");
    ASSERT_FALSE(shipped.empty()) << "the engine's resources are not found";
    EXPECT_TRUE(fs::is_regular_file(shipped));
    EXPECT_EQ(QXPDFPathUtilities::PathInLibBundleForResource("NoSuchResource.txt"), "");
    EXPECT_EQ(QXPDFPathUtilities::PathInLibBundleForResource(""), "");
    // Names that lead out of the folder give nothing, even where the file exists.
    for (const std::string& name : std::vector<std::string>{
             "../QXPDFParser/FontBook_Replace.txt", "PDFEncodings/../FontBook_Replace.txt",
             "PDFEncodings/CMap/../../../QXPDFParser/FontBook_Replace.txt", "..", shipped, "/etc/passwd"})
        EXPECT_EQ(QXPDFPathUtilities::PathInLibBundleForResource(name), "") << name;
}

TEST(CGPathUtilities, RectangleRoundTripsThroughTheArrayForm)
{
    Path p;
    p.addRect(Rect(1, 2, 3, 4));
    const auto array = QXPDFCGPathUtilities::NSArrayWithCGPath(p);
    ASSERT_TRUE(array);
    EXPECT_TRUE(array->complete);
    ASSERT_EQ(array->elements.size(), 5u);
    const int types[] = {0, 1, 1, 1, 4};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(array->elements[i].type, types[i]);
        EXPECT_EQ(array->elements[i].points.size(), i < 4 ? 1u : 0u);
    }
    const auto back = QXPDFCGPathUtilities::CGPathWithNSArray(*array);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, p);
    EXPECT_EQ(back->boundingBox(), Rect(1, 2, 3, 4));
}

TEST(CGPathUtilities, UnknownTypeOrMissingPointsGiveNoPath)
{
    QXPathElementArray a;
    a.elements.push_back({0, {{0, 0}}});
    a.elements.push_back({7, {{1, 1}}});
    EXPECT_FALSE(QXPDFCGPathUtilities::CGPathWithNSArray(a));
    QXPathElementArray b;
    b.elements.push_back({3, {{0, 0}}});
    EXPECT_FALSE(QXPDFCGPathUtilities::CGPathWithNSArray(b));
    const auto empty = QXPDFCGPathUtilities::CGPathWithNSArray(QXPathElementArray{});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
}

TEST(CGPathUtilities, CircleThroughEdgeMidpoints)
{
    const Path c = QXPDFCGPathUtilities::CreateCirclePathRefForRect(Rect(0, 0, 10, 10));
    const Rect box = c.pathBoundingBox();
    EXPECT_NEAR(box.minX(), 0.5, 1e-6);
    EXPECT_NEAR(box.maxX(), 10.5, 1e-6);
    EXPECT_NEAR(box.minY(), 0.5, 1e-6);
    EXPECT_NEAR(box.maxY(), 10.5, 1e-6);
    EXPECT_TRUE(c.contains({5.5, 5.5}));
    EXPECT_FALSE(c.contains({0.8, 0.8}));
}

TEST(RandomString, LengthsAndAlphabets)
{
    EXPECT_TRUE(std::regex_match(QXRandomString::Random4BigLetter(), std::regex("[A-Z]{4}")));
    EXPECT_TRUE(std::regex_match(QXRandomString::Random32BigLetter(), std::regex("[A-Z]{32}")));
    EXPECT_TRUE(std::regex_match(QXRandomString::Random32LittleLetter(), std::regex("[a-z]{32}")));
    EXPECT_TRUE(
        std::regex_match(QXRandomString::Random16LetterAndNumber(), std::regex("[0-9a-zA-Z]{16}")));
    EXPECT_TRUE(
        std::regex_match(QXRandomString::Random32LetterAndNumber(), std::regex("[0-9a-zA-Z]{32}")));
}
