// The shared corpus: every password row opens or refuses as its table
// says, and every file goes through the inspection tool page by page.
#include "PdfTestUtil.h"

#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using namespace rz;
using namespace rz::pdf;

namespace {

namespace fs = std::filesystem;

// The rows of a tab-separated table with a header line, as column -> value.
std::vector<std::map<std::string, std::string>> readTable(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::map<std::string, std::string>> rows;
    std::string line;
    std::vector<std::string> header;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string f;
        while (std::getline(ss, f, '\t'))
            fields.push_back(f);
        if (header.empty()) {
            header = fields;
            continue;
        }
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < header.size(); ++i)
            row[header[i]] = i < fields.size() ? fields[i] : "";
        rows.push_back(row);
    }
    return rows;
}

bool known(const std::string& password)
{
    return !password.empty() && password != "-" && password != "?";
}

} // namespace

TEST(PdfCorpus, PasswordTableRows)
{
    const std::string dir = test::corpusDir();
    if (dir.empty())
        GTEST_SKIP() << "no corpus";
    const std::string folder = dir + "/passwords";
    const auto rows = readTable(folder + "/PASSWORDS.tsv");
    ASSERT_GE(rows.size(), 10u);

    int checkedTwins = 0;
    for (auto row : rows) {
        const std::string file = row["file"];
        const std::string path = folder + "/" + file;
        if (!fs::exists(path))
            continue;
        SCOPED_TRACE(file);
        const std::string user = row["user_password"], owner = row["owner_password"];

        // No password.
        OpenStatus status = OpenStatus::Ok;
        auto doc = Document::open(path, &status);
        if (row["pages"].empty() || row["pages"].find_first_not_of("0123456789") != std::string::npos) {
            // A file no password opens (certificate security): refused cleanly.
            EXPECT_FALSE(doc);
            EXPECT_EQ(status, OpenStatus::UnsupportedSecurity);
            continue;
        }
        ASSERT_TRUE(doc);
        const bool needsPassword = row["needs_password"] == "yes";
        EXPECT_EQ(doc->isUnlocked(), !needsPassword);
        EXPECT_EQ(doc->isEncrypted(), row["encrypted"] == "yes");
        const int pages = std::stoi(row["pages"]);
        if (!needsPassword) {
            EXPECT_EQ(doc->pageCount(), pages);
        }

        // A wrong password is refused (and changes nothing).
        if (row["encrypted"] == "yes") {
            EXPECT_FALSE(doc->unlockWithPassword("not-the-password"));
            EXPECT_EQ(doc->isUnlocked(), !needsPassword);
        }

        // The user password.
        if (known(user)) {
            doc = Document::open(path);
            ASSERT_TRUE(doc->unlockWithPassword(user));
            EXPECT_TRUE(doc->isUnlocked());
            EXPECT_EQ(doc->pageCount(), pages);
            const bool alsoOwner = row["user_pw_check"].find("owner") != std::string::npos;
            if (!alsoOwner && needsPassword) {
                EXPECT_FALSE(doc->ownerPasswordMatched());
                EXPECT_EQ(doc->allowsPrinting(), row["print_low"] == "y");
                EXPECT_EQ(doc->allowsCopying(), row["extract"] == "y");
            }
        }
        // Decrypted text equals the unencrypted twin's.
        const std::string check = row["text_check(pdftotext)"];
        const size_t twin = check.find("=twin ");
        if (twin != std::string::npos && fs::exists(folder + "/" + check.substr(twin + 6))) {
            doc = Document::open(path);
            if (known(user)) {
                ASSERT_TRUE(doc->unlockWithPassword(user));
            }
            ASSERT_TRUE(doc->isUnlocked());
            const auto plain = Document::open(folder + "/" + check.substr(twin + 6));
            ASSERT_TRUE(plain);
            const auto expected = rz::pdftest::shownStrings(plain->page(1));
            EXPECT_FALSE(expected.empty());
            EXPECT_EQ(rz::pdftest::shownStrings(doc->page(1)), expected);
            ++checkedTwins;
        }
        // The owner password: full rights.
        if (known(owner)) {
            doc = Document::open(path);
            ASSERT_TRUE(doc->unlockWithPassword(owner));
            EXPECT_TRUE(doc->ownerPasswordMatched());
            EXPECT_TRUE(doc->allowsPrinting());
            EXPECT_TRUE(doc->allowsCopying());
            EXPECT_EQ(doc->pageCount(), pages);
            if (known(user) && user != owner) {
                // Both passwords give the same decrypted text.
                const auto byOwner = rz::pdftest::shownStrings(doc->page(1));
                const auto byUser = Document::open(path);
                ASSERT_TRUE(byUser->unlockWithPassword(user));
                EXPECT_EQ(rz::pdftest::shownStrings(byUser->page(1)), byOwner);
            }
        }
    }
    EXPECT_GE(checkedTwins, 5);
}

TEST(PdfCorpus, EveryPageScansToTheEndInTheInspectionTool)
{
    const std::string dir = test::corpusDir();
    if (dir.empty())
        GTEST_SKIP() << "no corpus";
    // Passwords of the encrypted files, so that their pages are scanned too.
    std::map<std::string, std::string> passwords;
    for (auto row : readTable(dir + "/passwords/PASSWORDS.tsv"))
        if (known(row["user_password"]))
            passwords[row["file"]] = row["user_password"];

    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".pdf")
            continue;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        std::string command = std::string("'") + RZ_INSPECT_PATH + "' '" + path + "'";
        const auto pw = passwords.find(entry.path().filename().string());
        if (pw != passwords.end())
            command += " --password '" + pw->second + "'";
        std::string output;
        const int rc = test::runCommand(command + " 2>&1", &output);
        ++files;
        // The sanitizers print their reports on standard error.
        EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output.substr(0, 2000);
        EXPECT_EQ(output.find("runtime error"), std::string::npos);
        if (entry.path().filename() == "pdfbox__AESkeylength256.pdf") {
            EXPECT_EQ(rc, 2);
            EXPECT_NE(output.find("unsupported security handler"), std::string::npos);
            continue;
        }
        ASSERT_EQ(rc, 0) << output.substr(0, 2000);
        const size_t at = output.find("\npages: ");
        ASSERT_NE(at, std::string::npos);
        const int pages = std::stoi(output.substr(at + 8));
        EXPECT_GT(pages, 0);
        // One final line per page: every operator reached, the content whole.
        size_t lines = 0;
        for (size_t pos = output.find("\noperators: "); pos != std::string::npos;
             pos = output.find("\noperators: ", pos + 1)) {
            ++lines;
            const std::string line = output.substr(pos + 1, output.find('\n', pos + 1) - pos - 1);
            EXPECT_NE(line.find("decoded: complete"), std::string::npos) << line;
        }
        EXPECT_EQ(lines, size_t(pages));
    }
    EXPECT_GE(files, 60);
}
