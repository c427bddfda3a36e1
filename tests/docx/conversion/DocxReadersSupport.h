// Helpers of the end-to-end DOCX tests: the reader script beside the tests
// and LibreOffice's PDF export of a batch of documents.
#pragma once

#include "tests/support/PdfWriter.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace rz::test {

// docx_check.py: python-docx, xmllint, the package checker and the word
// measures (its header says what each mode prints).
inline const char* docxCheckScript()
{
    return RZ_TEST_SOURCE_DIR "/tests/docx/conversion/docx_check.py";
}

// The package checker beside the shared corpus; empty when it is not there.
inline std::string ooxmlCheckTool()
{
    const std::string corpus = corpusDir();
    if (corpus.empty())
        return {};
    const std::string tool = corpus + "/../tools/ooxml-check";
    return access(tool.c_str(), X_OK) == 0 ? tool : std::string();
}

inline std::string shellQuoted(const std::string& s)
{
    std::string quoted = "'";
    for (char c : s)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool haveCommand(const std::string& name)
{
    return runCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

inline bool havePythonDocx()
{
    return runCommand("/usr/bin/python3 -c 'import docx' 2>/dev/null") == 0;
}

// LibreOffice headless turns every DOCX into "<outDir>/<stem>.pdf" in one
// run, with a profile folder of its own (two runs sharing one hang); 0 when
// it ended well, its messages in `log`.
inline int libreOfficeToPdf(const std::vector<std::string>& docxFiles, const std::string& outDir, std::string* log)
{
    const std::string profile = makeTempDir();
    std::string command = "HOME=" + shellQuoted(profile) + " timeout 240 soffice --headless -env:UserInstallation=file://" +
                          profile + " --convert-to pdf --outdir " + shellQuoted(outDir);
    for (const std::string& f : docxFiles)
        command += " " + shellQuoted(f);
    return runCommand(command + " 2>&1", log);
}

} // namespace rz::test
