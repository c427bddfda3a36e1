// Runs one file through the converter, as the driver does, and waits for
// its end.
#pragma once

#include "converter/QXRUZIzevudara.h"
#include "exporters/StandardExporters.h"
#include "platform/dispatch/Dispatch.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rz::test {

struct ConversionResult {
    bool ended = false;
    std::optional<QXError> error;
    std::vector<int> pageErrors;
};

class EndRecorder : public QXRUZIzevudaraDelegate {
public:
    ConversionResult result;
    void QXRUZIzevudara_didEndConversion(QXRUZIzevudara&, const std::optional<QXError>& e) override
    {
        result.ended = true;
        result.error = e;
    }
    void QXRUZIzevudara_convertPDFPageIndex_faildWithError(QXRUZIzevudara&, uint64_t, const QXError& e) override
    {
        result.pageErrors.push_back(e.code);
    }
};

// Converts every page of `pdf` (1..pageCount, or `pages` when given).
inline ConversionResult convertFile(const std::string& pdf, const std::string& type, const std::string& dest,
                                    const std::optional<std::string>& password = std::nullopt,
                                    std::vector<long long> pages = {})
{
    registerStandardExporters();
    if (pages.empty()) {
        if (auto doc = QXRUZIzevudara::initPDFDocumentAtPath(pdf, password))
            for (int i = 1; i <= doc->pageCount(); ++i)
                pages.push_back(i);
    }
    EventLoop loop;
    EndRecorder recorder;
    {
        QXRUZIzevudara converter(loop);
        converter.setDelegate(&recorder);
        converter.convertPDFAtPath(pdf, password, pages, type, dest, nullptr);
        EXPECT_TRUE(loop.runUntil([&] { return recorder.result.ended; }, 240000)) << pdf;
    }
    return recorder.result;
}

// 0 when the phrases occur in the output file in order, each after the
// one before (text_metrics.py order: NFKC and whitespace folded, HTML and
// RTF read as their readers show them); the script's figures in `report`.
inline int phrasesInOrder(const std::string& out, const std::vector<std::string>& phrases, std::string* report)
{
    std::string command = "/usr/bin/python3 " RZ_TEST_SOURCE_DIR "/tests/flowtext/text_metrics.py order '" + out + "'";
    for (const std::string& p : phrases)
        command += " '" + p + "'";
    return runCommand(command, report);
}

inline std::string corpusFile(const std::string& relative)
{
    const std::string dir = corpusDir();
    return dir.empty() ? std::string() : dir + "/" + relative;
}

} // namespace rz::test
