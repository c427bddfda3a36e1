// Every unencrypted PDF of the shared corpus through `rzconvert --to xlsx`
// and `--to csv`: every file converts; openpyxl reads every workbook,
// xmllint accepts every part, the package checker finds nothing and
// LibreOffice opens each one; every CSV table starts with the UTF-16LE
// byte-order mark.
#include "tests/xlsx/conversion/XlsxConversionSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace rz {
namespace {

std::vector<std::string> unencryptedPdfs(const std::string& corpus)
{
    std::vector<std::string> pdfs;
    std::istringstream lines(test::fileText(corpus + "/MANIFEST.tsv"));
    std::string line;
    std::getline(lines, line); // the header
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, '\t');)
            fields.push_back(field);
        if (fields.size() < 4 || (fields.size() > 4 && !fields[4].empty()))
            continue;
        pdfs.push_back(corpus + "/" + fields[0]);
    }
    return pdfs;
}

std::vector<std::string> filesWithExtension(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == extension)
            files.push_back(entry.path().string());
    return files;
}

TEST(XlsxCorpusReadBack, EveryUnencryptedFileToXlsxAndCsv)
{
    const std::string corpus = test::corpusDir();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus";
    for (const char* tool : {"soffice", "xmllint", "unzip"})
        if (!test::haveCommand(tool))
            GTEST_SKIP() << tool << " is not installed";
    if (!test::haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";

    const std::vector<std::string> pdfs = unencryptedPdfs(corpus);
    ASSERT_GT(pdfs.size(), 40u);
    std::string files;
    for (const std::string& pdf : pdfs)
        files += " " + test::shellQuoted(pdf);
    const std::string work = test::makeTempDir();
    for (const char* type : {"xlsx", "csv"}) {
        std::string report;
        EXPECT_EQ(test::runCommand(std::string(RZCONVERT) + " --to " + type + " --out " +
                                       test::shellQuoted(work + "/" + type) + " --" + files + " 2>/dev/null",
                                   &report),
                  0)
            << report;
    }

    const std::vector<std::string> workbooks = filesWithExtension(work + "/xlsx", ".xlsx");
    EXPECT_EQ(workbooks.size(), pdfs.size());
    std::string list;
    for (const std::string& xlsx : workbooks)
        list += " " + test::shellQuoted(xlsx);
    std::string checked;
    EXPECT_EQ(test::runCommand(std::string("/usr/bin/python3 ") + test::xlsxCheckScript() + " check" + list, &checked),
              0)
        << checked;
    const std::string checker = test::ooxmlCheckTool();
    if (!checker.empty()) {
        std::string report;
        EXPECT_EQ(test::runCommand(test::shellQuoted(checker) + list + " 2>&1", &report), 0) << report;
    }

    // LibreOffice opens every workbook: its CSV export of each is there.
    const std::string profile = test::makeTempDir();
    std::string log;
    test::runCommand("HOME=" + test::shellQuoted(profile) + " timeout 600 soffice --headless -env:UserInstallation=file://" +
                         profile + " --convert-to csv --outdir " + test::shellQuoted(work + "/lo") + list + " 2>&1",
                     &log);
    for (const std::string& xlsx : workbooks)
        EXPECT_TRUE(fs::exists(work + "/lo/" + fs::path(xlsx).stem().string() + ".csv")) << xlsx << "\n" << log;

    const std::vector<std::string> folders = filesWithExtension(work + "/csv", ".csv");
    EXPECT_EQ(folders.size(), pdfs.size());
    for (const std::string& folder : folders) {
        ASSERT_TRUE(fs::is_directory(folder)) << folder;
        for (const auto& table : fs::directory_iterator(folder)) {
            const std::string bytes = test::fileText(table.path().string());
            EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << table.path();
            EXPECT_EQ(bytes.size() % 2, 0u) << table.path();
        }
    }
}

} // namespace
} // namespace rz
