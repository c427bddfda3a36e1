// rzconvert leaves nothing behind: run with $TMPDIR and $HOME pointed at
// fresh empty folders, conversions that succeed, that fail a page and that
// fail a file leave both folders empty.
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string shellWord(const std::string& s)
{
    return "'" + s + "'";
}

// Everything under `folder`, as paths relative to it.
std::vector<std::string> contentOf(const std::string& folder)
{
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        found.push_back(fs::relative(e.path(), folder).string());
    return found;
}

// Two pages: text, a DeviceRGB image and a soft-masked one (which is
// extracted as PNG), drawn twice; the second page the same image again.
std::string imagesPdf()
{
    std::string rgb, alpha;
    for (int i = 0; i < 16; ++i) {
        rgb += std::string{char(i * 16), char(255 - i * 16), char(128)};
        alpha += char(i * 17);
    }
    rz::test::PdfWriter w;
    const int catalog = w.reserve();
    const int tree = w.reserve();
    const int mask = w.addStream("/Type /XObject /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceGray "
                                 "/BitsPerComponent 8",
                                 alpha, true);
    const int image = w.addStream("/Type /XObject /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceRGB "
                                  "/BitsPerComponent 8",
                                  rgb, true);
    const int masked = w.addStream("/Type /XObject /Subtype /Image /Width 4 /Height 4 /ColorSpace /DeviceRGB "
                                   "/BitsPerComponent 8 /SMask " +
                                       std::to_string(mask) + " 0 R",
                                   rgb, true);
    const std::string resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> "
                                  "/XObject << /Im1 " +
                                  std::to_string(image) + " 0 R /Im2 " + std::to_string(masked) + " 0 R >> >>";
    std::string kids;
    for (const char* content :
         {"BT /F1 12 Tf 72 720 Td (Pictures) Tj ET q 100 0 0 100 72 500 cm /Im1 Do Q "
          "q 100 0 0 100 200 500 cm /Im2 Do Q q 50 0 0 50 72 400 cm /Im2 Do Q",
          "q 200 0 0 200 72 400 cm /Im1 Do Q BT /F1 12 Tf 72 300 Td (Again) Tj ET"}) {
        const int contents = w.addStream("", content);
        const int page = w.add("<< /Type /Page /Parent " + std::to_string(tree) +
                               " 0 R /MediaBox [0 0 612 792] /Resources " + resources + " /Contents " +
                               std::to_string(contents) + " 0 R >>");
        kids += std::to_string(page) + " 0 R ";
    }
    w.set(tree, "<< /Type /Pages /Kids [" + kids + "] /Count 2 >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    return rz::test::writeTempFile(w.build(catalog), "pictures.pdf");
}

} // namespace

TEST(RzconvertTemporaryFiles, ConversionsLeaveTmpdirAndHomeEmpty)
{
    const std::string pdf = imagesPdf();
    const std::string garbage = rz::test::writeTempFile("%PDF-1.7\nnot a document", "garbage.pdf");
    std::vector<std::string> pdfs = {pdf};
    if (!rz::test::corpusDir().empty())
        pdfs.push_back(rz::test::corpusDir() + "/layout/pdf2docx/demo-image.pdf");

    struct Run {
        std::string args;
        int status;  // 0 converted, 1 a file failed, 2 a page failed
    };
    std::vector<Run> runs;
    for (const std::string& file : pdfs) {
        for (const char* type : {"html", "png", "rtf", "txt"})
            runs.push_back({std::string("--to ") + type + " " + shellWord(file), 0});
    }
    runs.push_back({"--to html --pages 1,9 " + shellWord(pdf), 2});
    runs.push_back({"--to png --pages 9,2 " + shellWord(pdf), 2});
    runs.push_back({"--to html " + shellWord(garbage) + " " + shellWord(pdf + ".missing"), 1});

    for (const Run& run : runs) {
        SCOPED_TRACE(run.args);
        const std::string tmp = rz::test::makeTempDir();
        const std::string home = rz::test::makeTempDir();
        const std::string out = rz::test::makeTempDir();
        std::string log;
        EXPECT_EQ(rz::test::runCommand("env HOME=" + shellWord(home) + " TMPDIR=" + shellWord(tmp) + " " + RZCONVERT +
                                           " --out " + shellWord(out) + " " + run.args + " 2>&1",
                                       &log),
                  run.status)
            << log;
        EXPECT_EQ(contentOf(tmp), std::vector<std::string>{}) << log;
        EXPECT_EQ(contentOf(home), std::vector<std::string>{}) << log;
        if (run.status != 1) {
            EXPECT_FALSE(contentOf(out).empty()) << log;
        }
    }
}
