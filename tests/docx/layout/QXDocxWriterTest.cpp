// The DOCX package writer: a document driven through empty pages gives a
// package that python-docx opens, with well-formed parts, the four top-level
// entries, the main part's head and body; image relationship ids stay with
// their images when images are collected again or removed; a package that
// cannot be written raises and leaves no file and no work folder.
#include "converter/QXError.h"
#include "docx/layout/QXDocxWriter.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace rz;
using namespace rz::test;

namespace fs = std::filesystem;

namespace {

// Writes a document of `pages` empty pages to `path`, collecting the
// images of `collect` (in order) and then removing those of `remove`;
// answers the work folder the writer used.
std::string writeDocument(const std::string& path, int pages, const std::vector<std::string>& collect = {},
                          const std::vector<std::string>& remove = {},
                          std::map<std::string, std::string>* ids = nullptr)
{
    QXDocxWriter writer;
    writer.initWithPath(path, pages);
    const std::string workFolder = writer.savedWorkFolder();
    writer.begainWriteDocument();
    for (int page = 1; page <= pages; ++page) {
        writer.begainWritePage(Size{612, 792}, page);
        if (page == 1) {
            for (const std::string& image : collect) {
                const std::string id = writer.collectImageWithPath(image);
                if (ids)
                    (*ids)[image] = id;
            }
            for (const std::string& image : remove)
                writer.removeCollectedImageWithPath(image);
        }
        writer.endWritePage();
    }
    writer.endWriteDocument();
    writer.packetZipFileIfNeed();
    return workFolder;
}

// What the package holds, as read by python-docx and the zip module, with
// every XML part extracted into `extracted`.
struct PackageReport {
    bool ran = false;
    std::string output;
    std::vector<std::string> lines;

    bool has(const std::string& line) const
    {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::vector<std::string> starting(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& line : lines)
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line.substr(prefix.size()));
        return found;
    }
};

PackageReport readPackage(const std::string& path, const std::string& extracted)
{
    const std::string dir = makeTempDir();
    const std::string script = dir + "/read.py";
    {
        std::ofstream out(script);
        out << "import sys, zipfile, docx\n"
               "import xml.etree.ElementTree as ET\n"
               "path, target = sys.argv[1], sys.argv[2]\n"
               "d = docx.Document(path)\n"
               "print('paragraphs %d' % len(d.paragraphs))\n"
               "z = zipfile.ZipFile(path)\n"
               "z.extractall(target)\n"
               "print('top ' + '|'.join(sorted({n.split('/')[0] for n in z.namelist()})))\n"
               "for n in sorted(z.namelist()):\n"
               "    print('entry ' + n)\n"
               "    if n.startswith('word/media/'):\n"
               "        print('media %s=%s' % (n[len('word/media/'):], z.read(n).decode(errors='replace')))\n"
               "R = '{http://schemas.openxmlformats.org/package/2006/relationships}'\n"
               "for r in ET.fromstring(z.read('word/_rels/document.xml.rels')).findall(R + 'Relationship'):\n"
               "    print('rel %s=%s' % (r.get('Id'), r.get('Target')))\n"
               "W = '{http://schemas.openxmlformats.org/wordprocessingml/2006/main}'\n"
               "root = ET.fromstring(z.read('word/document.xml'))\n"
               "body = root.find(W + 'body')\n"
               "print('body ' + ' '.join(e.tag[len(W):] for e in body))\n"
               "print('nested %d' % sum(1 for p in root.iter(W + 'p') if p.find('.//' + W + 'p') is not None))\n"
               "print('sizes ' + ' '.join(s.find(W + 'pgSz').get(W + 'w') for s in root.iter(W + 'sectPr')))\n"
               "zoom = ET.fromstring(z.read('word/settings.xml')).find(W + 'zoom')\n"
               "print('zoom %s' % zoom.get(W + 'percent'))\n"
               "print('space ' + root.get('{http://www.w3.org/XML/1998/namespace}space'))\n"
               "C = '{http://schemas.openxmlformats.org/package/2006/content-types}'\n"
               "for e in ET.fromstring(z.read('[Content_Types].xml')).findall(C + 'Default'):\n"
               "    print('default ' + e.get('Extension'))\n"
               "    print('type %s=%s' % (e.get('Extension'), e.get('ContentType')))\n"
               "for e in ET.fromstring(z.read('[Content_Types].xml')).findall(C + 'Override'):\n"
               "    print('override %s=%s' % (e.get('PartName'), e.get('ContentType')))\n"
               "print('styles ' + ' '.join(s.style_id for s in d.styles))\n";
    }
    PackageReport report;
    report.ran = runCommand("/usr/bin/python3 '" + script + "' '" + path + "' '" + extracted + "' 2>&1",
                            &report.output) == 0;
    std::istringstream lines(report.output);
    for (std::string line; std::getline(lines, line);)
        report.lines.push_back(line);
    return report;
}

// Runs xmllint over every XML part extracted into `folder`; answers its
// complaints, empty when all are well-formed, and counts the parts.
std::string lintParts(const std::string& folder, int& parts)
{
    parts = 0;
    std::string complaints;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const auto endsWith = [&](const std::string& end) {
            return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
        };
        if (!entry.is_regular_file() || (!endsWith(".xml") && !endsWith(".rels")))
            continue;
        ++parts;
        std::string out;
        if (runCommand("xmllint --noout '" + entry.path().string() + "' 2>&1", &out) != 0 || !out.empty())
            complaints += entry.path().string() + ": " + out + "\n";
    }
    return complaints;
}

std::string writeImage(const std::string& folder, const std::string& name, const std::string& bytes)
{
    fs::create_directories(folder);
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(QXDocxWriterTest, EmptyPagesGiveAPackageThatPythonDocxOpens)
{
    if (!pythonDocxIsInstalled())
        GTEST_SKIP() << "python-docx is not installed";
    for (const int pages : {1, 2}) {
        SCOPED_TRACE(pages);
        const std::string dir = makeTempDir();
        const std::string path = dir + "/out.docx";
        const std::string workFolder = writeDocument(path, pages);
        ASSERT_TRUE(fs::is_regular_file(path));
        EXPECT_FALSE(fs::exists(workFolder));
        EXPECT_EQ(fs::path(workFolder).filename(), "out.docx");

        const std::string extracted = makeTempDir();
        const PackageReport report = readPackage(path, extracted);
        ASSERT_TRUE(report.ran) << report.output;
        // Each empty page still writes its blank section.
        EXPECT_FALSE(report.has("paragraphs 0")) << report.output;
        EXPECT_TRUE(report.has("top [Content_Types].xml|_rels|docProps|word")) << report.output;
        // The body holds only what WordprocessingML allows in it; the view
        // settings are in the settings part.
        ASSERT_EQ(report.starting("body").size(), 1u);
        EXPECT_EQ(report.starting("body")[0].find("docPr"), std::string::npos) << report.output;
        EXPECT_TRUE(report.starting("body")[0].ends_with(" sectPr")) << report.output;
        EXPECT_TRUE(report.has("zoom 120")) << report.output;
        EXPECT_TRUE(report.has("space preserve")) << report.output;
        EXPECT_EQ(report.starting("rel "),
                  (std::vector<std::string>{"rId1=styles.xml", "rId2=fontTable.xml", "rId3=theme/theme1.xml",
                                            "rId4=settings.xml", "rId5=webSettings.xml"}));
        EXPECT_EQ(report.starting("media "), std::vector<std::string>{});
        EXPECT_FALSE(report.has("entry word/stylesWithEffects.xml"));
        const std::string styles = report.starting("styles ").empty() ? "" : report.starting("styles ")[0];
        for (const char* style : {"Normal", "DefaultParagraphFont", "TableNormal", "NoList", "TableGrid"})
            EXPECT_NE((" " + styles + " ").find(std::string(" ") + style + " "), std::string::npos) << style;
        for (const char* part : {"_rels/.rels", "docProps/app.xml", "docProps/core.xml", "word/document.xml",
                                 "word/_rels/document.xml.rels", "word/fontTable.xml", "word/settings.xml",
                                 "word/styles.xml", "word/theme/theme1.xml", "word/webSettings.xml"})
            EXPECT_TRUE(report.has(std::string("entry ") + part)) << part;

        int parts = 0;
        EXPECT_EQ(lintParts(extracted, parts), "");
        EXPECT_EQ(parts, 11);
    }
}

TEST(QXDocxWriterTest, AFailedPageLeavesNothingOpenAndTheBodyStillEndsWithItsSection)
{
    if (!pythonDocxIsInstalled())
        GTEST_SKIP() << "python-docx is not installed";
    // Three pages, one of which stops part-way with a paragraph and a run
    // still open (as a page whose layout raised leaves them).
    for (const int failing : {1, 2, 3}) {
        SCOPED_TRACE(failing);
        const std::string path = makeTempDir() + "/out.docx";
        QXDocxWriter writer;
        writer.initWithPath(path, 3);
        writer.begainWriteDocument();
        std::vector<std::int64_t> indexes;
        for (int page = 1; page <= 3; ++page) {
            writer.begainWritePage(Size{page == 3 ? 800.0 : 612.0, 792}, page);
            indexes.push_back(writer.currentDocxPageIndex());
            if (page == failing) {
                XMLFileWriter& xml = *writer.documentWriter();
                xml.writeStartElement("w:p");
                xml.writeStartElement("w:r");
                xml.writeStartElement("w:t");
                xml.writeCharacters("partial");
                writer.abandonPage();
                continue;
            }
            writer.endWritePage();
        }
        writer.endWriteDocument();
        writer.packetZipFileIfNeed();
        // Every page has its own place, failed or not.
        EXPECT_EQ(indexes, (std::vector<std::int64_t>{1, 2, 3}));

        const std::string extracted = makeTempDir();
        const PackageReport report = readPackage(path, extracted);
        ASSERT_TRUE(report.ran) << report.output;
        EXPECT_TRUE(report.has("nested 0")) << report.output;
        ASSERT_EQ(report.starting("body").size(), 1u);
        EXPECT_TRUE(report.starting("body")[0].ends_with(" sectPr")) << report.output;
        // The closing section has the size of the last page written.
        ASSERT_EQ(report.starting("sizes ").size(), 1u);
        const std::string sizes = report.starting("sizes ")[0];
        EXPECT_TRUE(sizes.ends_with(failing == 3 ? "12240" : "16000")) << sizes;
        int parts = 0;
        EXPECT_EQ(lintParts(extracted, parts), "");
    }
}

TEST(QXDocxWriterTest, AnImageCollectedTwiceHasOneId)
{
    const std::string images = makeTempDir();
    const std::string a = writeImage(images, "a.png", "A");
    QXDocxWriter writer;
    writer.initWithPath(makeTempDir() + "/out.docx", 1);
    writer.begainWriteDocument();
    const std::string first = writer.collectImageWithPath(a);
    EXPECT_EQ(first, "rId6");
    EXPECT_EQ(writer.collectImageWithPath(a), first);
    EXPECT_EQ(writer.mediaCollection(), std::vector<std::string>{a});
    EXPECT_EQ(writer.relationships().size(), 6u);
    writer.endWriteDocument();
}

TEST(QXDocxWriterTest, OnlyMediaCollectedSinceTheLastWrittenPageCanBeForgotten)
{
    const std::string images = makeTempDir();
    const std::string a = writeImage(images, "a.png", "A");
    const std::string b = writeImage(images, "b.png", "B");
    const std::string c = writeImage(images, "c.png", "C");
    const std::string d = writeImage(images, "d.png", "D");
    QXDocxWriter writer;
    writer.initWithPath(makeTempDir() + "/out.docx", 3);
    writer.begainWriteDocument();
    writer.begainWritePage(Size{612, 792}, 1);
    writer.collectImageWithPath(a);
    writer.collectImageWithPath(b);
    writer.endWritePage();
    writer.begainWritePage(Size{612, 792}, 2);
    writer.collectImageWithPath(c);
    writer.collectImageWithPath(d);
    for (const std::string& path : {a, c, b})
        writer.removeCollectedImageWithPath(path);
    writer.abandonPage();
    writer.begainWritePage(Size{612, 792}, 3);
    writer.removeCollectedImageWithPath(d);
    EXPECT_EQ(writer.mediaCollection(), (std::vector<std::string>{a, b, d}));
    EXPECT_EQ(writer.relationships().size(), 8u);
    writer.endWritePage();
    writer.endWriteDocument();
}

TEST(QXDocxWriterTest, ImagesKeepTheirIdsWhenOthersAreRemoved)
{
    if (!pythonDocxIsInstalled())
        GTEST_SKIP() << "python-docx is not installed";
    struct Case {
        const char* name;
        std::vector<std::string> collect; // names under the image folder
        std::vector<std::string> remove;
    };
    const std::vector<Case> cases = {
        {"remove the middle", {"a.png", "b.png", "c.png"}, {"b.png"}},
        {"remove the first", {"a.png", "b.png", "c.png"}, {"a.png"}},
        {"remove, then collect a new one", {"a.png", "b.png", "c.png", "d.jpg"}, {"b.png"}},
        {"remove one that was never collected", {"a.png", "b.png"}, {"x.png"}},
        {"same file name in two folders", {"a.png", "other/a.png", "b.png"}, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string images = makeTempDir();
        std::vector<std::string> collect;
        for (const std::string& name : test.collect)
            collect.push_back(writeImage(fs::path(images + "/" + name).parent_path().string(),
                                         fs::path(name).filename().string(), "bytes of " + name));
        std::vector<std::string> remove;
        for (const std::string& name : test.remove)
            remove.push_back(images + "/" + name);
        const std::string path = makeTempDir() + "/out.docx";
        std::map<std::string, std::string> ids;
        writeDocument(path, 1, collect, remove, &ids);

        // Ids are handed out in collection order after the five defaults.
        for (size_t i = 0; i < collect.size(); ++i)
            EXPECT_EQ(ids[collect[i]], "rId" + std::to_string(6 + i)) << collect[i];

        const std::string extracted = makeTempDir();
        const PackageReport report = readPackage(path, extracted);
        ASSERT_TRUE(report.ran) << report.output;
        std::map<std::string, std::string> targets; // id -> target
        for (const std::string& rel : report.starting("rel ")) {
            const size_t equals = rel.find('=');
            EXPECT_TRUE(targets.emplace(rel.substr(0, equals), rel.substr(equals + 1)).second) << rel;
        }
        std::map<std::string, std::string> media; // media name -> bytes
        for (const std::string& entry : report.starting("media ")) {
            const size_t equals = entry.find('=');
            media[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        size_t kept = 0;
        for (size_t i = 0; i < collect.size(); ++i) {
            const bool removed = std::find(remove.begin(), remove.end(), collect[i]) != remove.end();
            const auto target = targets.find(ids[collect[i]]);
            if (removed) {
                EXPECT_EQ(target, targets.end()) << collect[i];
                continue;
            }
            ++kept;
            ASSERT_NE(target, targets.end()) << collect[i];
            ASSERT_EQ(target->second.rfind("media/", 0), 0u) << target->second;
            // The id names the very image it was handed out for.
            EXPECT_EQ(media[target->second.substr(6)], "bytes of " + test.collect[i]) << target->second;
        }
        EXPECT_EQ(media.size(), kept);
        EXPECT_EQ(targets.size(), 5 + kept);
        if (!media.empty()) {
            EXPECT_TRUE(report.has("default png")) << report.output;
        }
        int parts = 0;
        EXPECT_EQ(lintParts(extracted, parts), "");
    }
}

TEST(QXDocxWriterTest, MediaAreDeclaredAsWhatTheirBytesHold)
{
    if (!pythonDocxIsInstalled())
        GTEST_SKIP() << "python-docx is not installed";
    using namespace std::string_literals;
    const std::string images = makeTempDir();
    const std::vector<std::string> collect = {
        writeImage(images, "photo.jpg", "\xff\xd8\xff\xe0 jpeg"s),
        writeImage(images, "drawn.jpg", "\x89PNG\r\n\x1a\n png"s), // a PNG under a JPEG name
        writeImage(images, "anim.GIF", "GIF89a gif"s),
        writeImage(images, "scan.dat", "II*\0 tiff"s),
        writeImage(images, "other.dat", "GIF87a gif"s),
    };
    const std::string path = makeTempDir() + "/out.docx";
    writeDocument(path, 1, collect);
    const std::string extracted = makeTempDir();
    const PackageReport report = readPackage(path, extracted);
    ASSERT_TRUE(report.ran) << report.output;
    for (const char* line : {"type jpg=image/jpeg", "type png=image/png", "type gif=image/gif", "type dat=image/tiff",
                             "override /word/media/drawn.jpg=image/png", "override /word/media/other.dat=image/gif"})
        EXPECT_TRUE(report.has(line)) << line << "\n" << report.output;
    EXPECT_FALSE(report.has("type jpg=image/jpg"));
    EXPECT_EQ(report.starting("override /word/media/").size(), 2u) << report.output;
}

TEST(QXDocxWriterTest, AnUnwritableOutputRaisesAndLeavesNothing)
{
    const std::string dir = makeTempDir();
    const std::string folderInTheWay = dir + "/folder.docx";
    fs::create_directories(folderInTheWay + "/inside");
    const std::vector<std::string> paths = {
        dir + "/missing/out.docx", // no such folder
        folderInTheWay,            // a non-empty folder in the way
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        QXDocxWriter writer;
        writer.initWithPath(path, 1);
        const std::string workFolder = writer.savedWorkFolder();
        ASSERT_TRUE(fs::is_directory(workFolder));
        writer.begainWriteDocument();
        writer.begainWritePage(Size{612, 792}, 1);
        writer.endWritePage();
        writer.endWriteDocument();
        EXPECT_THROW(writer.packetZipFileIfNeed(), QXConversionException);
        EXPECT_FALSE(fs::exists(workFolder));
        EXPECT_FALSE(fs::exists(workFolder + "/package.docx"));
        EXPECT_FALSE(fs::is_regular_file(path));
    }
    // Nothing but the folder that was in the way is left.
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        left.push_back(entry.path().string());
    EXPECT_EQ(left.size(), 2u);
}

TEST(QXDocxWriterTest, ADocumentNeverEndedRaises)
{
    const std::string path = makeTempDir() + "/out.docx";
    QXDocxWriter writer;
    writer.initWithPath(path, 1);
    writer.begainWriteDocument();
    EXPECT_THROW(writer.packetZipFileIfNeed(), QXConversionException);
    EXPECT_FALSE(fs::exists(path));
}

TEST(QXDocxWriterTest, AnImageThatCannotBePackagedRaisesAndLeavesNothing)
{
    // The main part names the image already, so a package without it would
    // be broken.
    const std::string images = makeTempDir();
    const std::string path = makeTempDir() + "/out.docx";
    QXDocxWriter writer;
    writer.initWithPath(path, 1);
    const std::string workFolder = writer.savedWorkFolder();
    writer.begainWriteDocument();
    writer.begainWritePage(Size{612, 792}, 1);
    writer.collectImageWithPath(writeImage(images, "kept.png", "K"));
    writer.collectImageWithPath(images + "/gone.png");
    writer.endWritePage();
    writer.endWriteDocument();
    EXPECT_THROW(writer.packetZipFileIfNeed(), QXConversionException);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(workFolder));
}
