// The zip package writer, read back with Python's zipfile module as a
// package reader would: entry names, bytes, dates and failures.
#include "converter/ooxml/QXZipArchive.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/time.h>

using namespace rz;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Sets a file's modification time to a local calendar time.
void setLocalModificationTime(const fs::path& path, int year, int month, int day, int hour,
                              int minute, int second)
{
    struct tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const time_t t = mktime(&local);
    struct timeval times[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
}

// Runs a Python script over the archive (as sys.argv[1]) and answers its output.
std::string python(const std::string& script, const std::string& zipPath)
{
    const std::string scriptPath = test::writeTempFile(script, "check.py");
    std::string out;
    EXPECT_EQ(test::runCommand("/usr/bin/python3 '" + scriptPath + "' '" + zipPath + "' 2>&1", &out), 0) << out;
    return out;
}

std::string binaryBytes()
{
    std::string bytes;
    for (int i = 0; i < 70000; ++i)
        bytes.push_back(static_cast<char>((i * 7919) % 256));
    return bytes;
}

} // namespace

TEST(QXZipArchiveTest, PacksAFolderTreeWithSlashNamesAndNoFolderEntries)
{
    const fs::path work = test::makeTempDir();
    writeFile(work / "[Content_Types].xml", "<Types/>");
    writeFile(work / "_rels" / ".rels", "<Relationships/>");
    writeFile(work / "word" / "document.xml", "<w:document/>");
    writeFile(work / "word" / "media" / "image1.png", binaryBytes());
    writeFile(work / "word" / "_rels" / "document.xml.rels", "");
    fs::create_directories(work / "word" / "empty" / "deeper");
    setLocalModificationTime(work / "word" / "document.xml", 2021, 3, 4, 5, 6, 8);

    const std::string zipPath = test::makeTempDir() + "/out.docx";
    {
        QXZipArchive zip;
        ASSERT_TRUE(zip.CreateZipFile2(zipPath));
        EXPECT_TRUE(zip.addFileToZip((work / "[Content_Types].xml").string(), "[Content_Types].xml"));
        EXPECT_TRUE(zip.addFolderToZip((work / "_rels").string(), "_rels"));
        EXPECT_TRUE(zip.addFolderToZip((work / "word").string(), "word"));
        // Bytes held in memory, longer than one write to the library.
        EXPECT_TRUE(zip.addBytesToZip(binaryBytes() + binaryBytes(), "word/theme/theme1.xml"));
        EXPECT_TRUE(zip.CloseZipFile2());
        EXPECT_FALSE(zip.CloseZipFile2());
    }

    // The listing as the zipfile module's command line prints it.
    std::string listing;
    ASSERT_EQ(test::runCommand("/usr/bin/python3 -m zipfile -l '" + zipPath + "'", &listing), 0);
    EXPECT_NE(listing.find("word/media/image1.png"), std::string::npos);
    EXPECT_EQ(listing.find("empty"), std::string::npos);

    const std::string out = python(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None
    for info in z.infolist():
        print(info.filename, info.compress_type, info.file_size, info.date_time if info.filename == 'word/document.xml' else '')
)", zipPath);
    EXPECT_EQ(out,
              "[Content_Types].xml 8 8 \n"
              "_rels/.rels 8 16 \n"
              "word/_rels/document.xml.rels 8 0 \n"
              "word/document.xml 8 13 (2021, 3, 4, 5, 6, 8)\n"
              "word/media/image1.png 8 70000 \n"
              "word/theme/theme1.xml 8 140000 \n");

    // Every entry inflates to the bytes of its file.
    const std::string extracted = test::makeTempDir();
    python("import sys, zipfile\nzipfile.ZipFile(sys.argv[1]).extractall('" + extracted + "')\n", zipPath);
    for (const char* name : {"[Content_Types].xml", "_rels/.rels", "word/document.xml",
                             "word/media/image1.png", "word/_rels/document.xml.rels"}) {
        std::ifstream a(work / name, std::ios::binary), b(fs::path(extracted) / name, std::ios::binary);
        const std::string original((std::istreambuf_iterator<char>(a)), {});
        const std::string unpacked((std::istreambuf_iterator<char>(b)), {});
        EXPECT_EQ(original, unpacked) << name;
    }
    std::ifstream held(fs::path(extracted) / "word/theme/theme1.xml", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(held)), {}), binaryBytes() + binaryBytes());
    EXPECT_FALSE(fs::exists(fs::path(extracted) / "word" / "empty"));
}

TEST(QXZipArchiveTest, NonAsciiNamesAreMarkedUtf8)
{
    const fs::path work = test::makeTempDir();
    writeFile(work / "f.txt", "x");
    const std::string zipPath = test::makeTempDir() + "/names.zip";
    QXZipArchive zip;
    ASSERT_TRUE(zip.CreateZipFile2(zipPath));
    EXPECT_TRUE(zip.addFileToZip((work / "f.txt").string(), "m\xC3\xA9" "dia/\xE5\x9B\xBE.txt"));
    EXPECT_TRUE(zip.CloseZipFile2());
    EXPECT_EQ(python("import sys, zipfile\nprint(zipfile.ZipFile(sys.argv[1]).namelist() == ['m\\u00e9dia/\\u56fe.txt'])\n",
                     zipPath),
              "True\n");
}

TEST(QXZipArchiveTest, AnswersNoForWhatItCannotDo)
{
    const fs::path work = test::makeTempDir();
    writeFile(work / "a.xml", "<a/>");
    const std::string file = (work / "a.xml").string();
    const std::string zipPath = test::makeTempDir() + "/out.zip";

    QXZipArchive zip;
    // No archive open yet.
    EXPECT_FALSE(zip.addFileToZip(file, "a.xml"));
    EXPECT_FALSE(zip.addFolderToZip(work.string(), "w"));
    EXPECT_FALSE(zip.addBytesToZip("x", "x.xml"));
    EXPECT_FALSE(zip.CloseZipFile2());
    // An archive in a folder that does not exist.
    EXPECT_FALSE(zip.CreateZipFile2(zipPath + ".missing/out.zip"));

    ASSERT_TRUE(zip.CreateZipFile2(zipPath));
    EXPECT_FALSE(zip.CreateZipFile2(zipPath));  // one archive at a time
    EXPECT_FALSE(zip.addFileToZip((work / "missing.xml").string(), "missing.xml"));
    EXPECT_FALSE(zip.addFileToZip(work.string(), "folder-as-file"));
    EXPECT_FALSE(zip.addFolderToZip((work / "missing").string(), "missing"));
    EXPECT_TRUE(zip.addFileToZip(file, "a.xml"));
    EXPECT_TRUE(zip.CloseZipFile2());
    // Closed again.
    EXPECT_FALSE(zip.addFileToZip(file, "b.xml"));

    // Only the file that could be read is in the archive.
    EXPECT_EQ(python("import sys, zipfile\nprint(zipfile.ZipFile(sys.argv[1]).namelist())\n", zipPath),
              "['a.xml']\n");
}

TEST(QXZipArchiveTest, EmptyFolderGivesAnEmptyValidArchive)
{
    const fs::path work = test::makeTempDir();
    fs::create_directories(work / "only" / "folders");
    const std::string zipPath = test::makeTempDir() + "/empty.zip";
    {
        QXZipArchive zip;
        ASSERT_TRUE(zip.CreateZipFile2(zipPath));
        EXPECT_TRUE(zip.addFolderToZip(work.string(), "root"));
        // Released while open: the archive is closed by the destructor.
    }
    EXPECT_EQ(python("import sys, zipfile\nprint(zipfile.ZipFile(sys.argv[1]).namelist())\n", zipPath), "[]\n");
}
