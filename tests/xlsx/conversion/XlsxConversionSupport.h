// Helpers of the end-to-end spreadsheet tests: a conversion with options,
// the reader script beside the tests, parts read from a package.
#pragma once

#include "tests/docx/conversion/DocxReadersSupport.h"
#include "tests/flowtext/ConversionSupport.h"

#include <locale>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace rz::test {

inline const char* xlsxCheckScript()
{
    return RZ_TEST_SOURCE_DIR "/tests/xlsx/conversion/xlsx_check.py";
}

inline bool haveOpenpyxl()
{
    return runCommand("/usr/bin/python3 -c 'import openpyxl' 2>/dev/null") == 0;
}

// Converts the pages 1..count of `pdf` (or `pages`) with the spreadsheet
// options given.
inline ConversionResult convertWithOptions(const std::string& pdf, const std::string& type, const std::string& dest,
                                           const QXExcelOptions& excel, std::vector<long long> pages = {})
{
    registerStandardExporters();
    if (pages.empty()) {
        if (auto doc = QXRUZIzevudara::initPDFDocumentAtPath(pdf, std::nullopt))
            for (int i = 1; i <= doc->pageCount(); ++i)
                pages.push_back(i);
    }
    auto options = std::make_shared<QXPDFOptions>();
    options->setExcelOptions(excel);
    EventLoop loop;
    EndRecorder recorder;
    {
        QXRUZIzevudara converter(loop);
        converter.setDelegate(&recorder);
        converter.convertPDFAtPath(pdf, std::nullopt, pages, type, dest, options);
        EXPECT_TRUE(loop.runUntil([&] { return recorder.result.ended; }, 240000)) << pdf;
    }
    return recorder.result;
}

// One part of a package, as text; empty when it is missing.
inline std::string packagePart(const std::string& package, const std::string& part)
{
    std::string out;
    runCommand("unzip -p " + shellQuoted(package) + " " + shellQuoted(part) + " 2>/dev/null", &out);
    return out;
}

// The workbook as openpyxl reads it: cell reference -> "TYPE FORMAT VALUE"
// per sheet name, and the merged ranges per sheet name.
struct WorkbookSeen {
    std::vector<std::string> sheets;
    std::map<std::string, std::map<std::string, std::string>> cells;
    std::map<std::string, std::vector<std::string>> merges;
    std::map<std::string, std::map<std::string, std::string>> fills; // RRGGBB of solid fills
    std::map<std::string, std::map<std::string, double>> widths;      // column letters -> width
    std::map<std::string, std::map<std::string, double>> heights;     // row number -> height in points
    int status = -1;
};

inline WorkbookSeen readWorkbook(const std::string& xlsx)
{
    WorkbookSeen seen;
    std::string out;
    seen.status = runCommand(std::string("/usr/bin/python3 ") + xlsxCheckScript() + " dump " + shellQuoted(xlsx), &out);
    std::istringstream lines(out);
    std::string sheet;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("sheet ", 0) == 0) {
            sheet = line.substr(6);
            seen.sheets.push_back(sheet);
        } else if (line.rfind("cell ", 0) == 0) {
            const std::string rest = line.substr(5);
            const size_t space = rest.find(' ');
            seen.cells[sheet][rest.substr(0, space)] = rest.substr(space + 1);
        } else if (line.rfind("fill ", 0) == 0) {
            const std::string rest = line.substr(5);
            const size_t space = rest.find(' ');
            seen.fills[sheet][rest.substr(0, space)] = rest.substr(space + 1);
        } else if (line.rfind("merge ", 0) == 0) {
            seen.merges[sheet].push_back(line.substr(6));
        } else if (line.rfind("width ", 0) == 0 || line.rfind("height ", 0) == 0) {
            std::istringstream fields(line);
            fields.imbue(std::locale::classic());
            std::string kind, name;
            double size = 0;
            fields >> kind >> name >> size;
            (kind == "width" ? seen.widths : seen.heights)[sheet][name] = size;
        }
    }
    return seen;
}

// xmllint over every part, and the package checker when it is there.
inline void expectSoundPackage(const std::string& xlsx)
{
    std::string parts;
    EXPECT_EQ(runCommand(std::string("/usr/bin/python3 ") + xlsxCheckScript() + " parts " + shellQuoted(xlsx), &parts),
              0)
        << parts;
    const std::string checker = ooxmlCheckTool();
    if (!checker.empty()) {
        std::string report;
        EXPECT_EQ(runCommand(shellQuoted(checker) + " " + shellQuoted(xlsx) + " 2>&1", &report), 0) << report;
    }
}

} // namespace rz::test
