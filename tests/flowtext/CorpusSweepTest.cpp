// Every PDF of the shared corpus converts to text, or fails with the error
// its kind of protection calls for; one test per corpus folder.
#include "tests/flowtext/ConversionSupport.h"
#include "tests/flowtext/FlowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace rz {
namespace {

// User passwords of the protected files ("-" and "?" mean none known).
std::map<std::string, std::string> userPasswords(const std::string& folder)
{
    std::map<std::string, std::string> passwords;
    std::istringstream lines(test::readFile(folder + "/PASSWORDS.tsv"));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        const size_t tab2 = line.find('\t', tab + 1);
        if (tab == std::string::npos || tab2 == std::string::npos)
            continue;
        const std::string password = line.substr(tab + 1, tab2 - tab - 1);
        if (password != "-" && password != "?")
            passwords[line.substr(0, tab)] = password;
    }
    return passwords;
}

class CorpusSweep : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusSweep, EveryFileConvertsToText)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string folder = test::corpusFile(GetParam());
    const auto passwords = userPasswords(folder);
    const std::string out = test::makeTempDir();
    std::vector<fs::path> pdfs;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".pdf")
            pdfs.push_back(entry.path());
    std::sort(pdfs.begin(), pdfs.end());
    ASSERT_FALSE(pdfs.empty());

    for (const fs::path& pdf : pdfs) {
        const std::string name = pdf.filename().string();
        std::optional<std::string> password;
        if (auto it = passwords.find(name); it != passwords.end())
            password = it->second;
        const std::string dest = out + "/" + pdf.stem().string() + ".txt";
        const auto result = test::convertFile(pdf.string(), "txt", dest, password);
        ASSERT_TRUE(result.ended) << name;
        if (name == "pdfbox__AESkeylength256.pdf") {
            // Certificate encryption: no password opens it.
            ASSERT_TRUE(result.error) << name;
            EXPECT_EQ(result.error->code, 405) << name;
            continue;
        }
        EXPECT_FALSE(result.error) << name << ": " << (result.error ? result.error->reason : "");
        EXPECT_TRUE(result.pageErrors.empty()) << name;
        EXPECT_TRUE(fs::is_regular_file(dest)) << name;
    }

    // What the font folder's index says each text contains.
    if (std::string(GetParam()) == "fonts") {
        for (const auto& [file, phrase] : {std::pair{"tracemonkey", "Trace-based Just-in-Time Type Specialization"},
                                           {"simpletype3font", "ababab"},
                                           {"xref_command_missing", "Reduced test-case"}}) {
            const std::string text = test::readFile(out + "/" + file + ".txt");
            EXPECT_NE(text.find(phrase), std::string::npos) << file;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, CorpusSweep,
                         ::testing::Values("fonts", "layout/pdf2docx", "layout/docbank", "passwords",
                                           "tables/icdar2013", "tables/tabula", "tables/camelot", "text"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '/', '_');
                             return name;
                         });

} // namespace
} // namespace rz
