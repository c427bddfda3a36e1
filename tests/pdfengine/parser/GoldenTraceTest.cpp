// Golden traces: each file of golden/ holds a fixture page as readable text
// (resources, extra objects, the content stream) and the trace the parser
// must give for it. Run with RZ_UPDATE_GOLDEN=1 to rewrite the traces after
// a deliberate change (and review the diff).
//
// File format, one section per "%% " line:
//   # comment lines (before the first section)
//   %% page <extra page entries>
//   %% resources            then the resource dictionary
//   %% object N             then the object's syntax
//   %% stream N <entries>   then the stream's data
//   %% content              then the page's content stream
//   %% trace                then the expected trace, one line per event
#include "ParserFixture.h"

#include "pdfengine/parser/QXPDFTraceDelegate.h"
#include "platform/core/Numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace rz;

namespace {

fs::path goldenDir()
{
    return fs::path(RZ_TEST_SOURCE_DIR) / "tests/pdfengine/parser/golden";
}

std::vector<std::string> goldenNames()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(goldenDir(), ec))
        if (e.path().extension() == ".txt")
            names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Golden {
    std::vector<std::string> head; // comments and every section up to the trace
    std::string pageExtra;
    std::string resources = "<< >>";
    std::map<int, std::string> objects;
    std::string content;
    std::vector<std::string> trace;
};

Golden readGolden(const fs::path& path)
{
    Golden g;
    std::ifstream in(path);
    std::string line, section;
    int object = 0;
    std::string body;
    auto flush = [&] {
        if (section == "resources")
            g.resources = body;
        else if (section == "object" || section == "stream")
            g.objects[object] += body;
        else if (section == "content")
            g.content = body;
        body.clear();
    };
    while (std::getline(in, line)) {
        if (line.rfind("%% ", 0) == 0) {
            flush();
            std::istringstream words(line.substr(3));
            words >> section;
            if (section != "trace")
                g.head.push_back(line);
            if (section == "page") {
                std::getline(words, g.pageExtra);
            } else if (section == "object" || section == "stream") {
                std::string number, rest;
                words >> number;
                object = int(parseInteger(number).value_or(0));
                std::getline(words, rest);
                if (section == "stream")
                    g.objects[object] = "stream " + rest + "\n";
            }
            continue;
        }
        if (section == "trace") {
            if (!line.empty())
                g.trace.push_back(line);
            continue;
        }
        g.head.push_back(line);
        if (section.empty())
            continue;
        body += line + "\n";
    }
    flush();
    return g;
}

class ParserGoldenTrace : public ::testing::TestWithParam<std::string> {};

TEST_P(ParserGoldenTrace, MatchesTheParserTrace)
{
    const fs::path path = goldenDir() / (GetParam() + ".txt");
    const Golden g = readGolden(path);
    const auto doc = test::openFixture(test::fixturePdf(g.content, g.resources, g.objects, g.pageExtra));
    ASSERT_TRUE(doc);
    const std::vector<std::string> trace = QXPDFTraceDelegate::tracePage(doc->page(1), false);

    if (const char* update = std::getenv("RZ_UPDATE_GOLDEN"); update && *update == '1') {
        std::ofstream out(path);
        for (const auto& l : g.head)
            out << l << "\n";
        out << "%% trace\n";
        for (const auto& l : trace)
            out << l << "\n";
        GTEST_SKIP() << "rewritten";
    }
    EXPECT_EQ(trace, g.trace);
}

INSTANTIATE_TEST_SUITE_P(ParserGolden, ParserGoldenTrace, ::testing::ValuesIn(goldenNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

} // namespace
