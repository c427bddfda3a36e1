// The headless driver: converts PDF files one after another with the
// conversion manager and prints one line per report.
//
//   rzconvert --to TYPE [--pages 3,1,5-7] [--password PW] [--out DIR]
//             [--annots on|off] [--dpi N] [--quality Q] [--image-name NAME] FILE...
//
// Exit status: 0 when every file and page converted, 1 when a file failed,
// 2 when only some pages failed, 64 for a usage error.
#include "converter/QXRUZIzevudaraManager.h"
#include "exporters/StandardExporters.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "platform/core/Numbers.h"
#include "platform/dispatch/Dispatch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace rz;

namespace {

const char* const kUsage =
    "usage: rzconvert --to TYPE [--pages LIST] [--password PW] [--out DIR] [--annots on|off]\n"
    "                 [--dpi N] [--quality Q] [--image-name NAME] FILE...\n"
    "  TYPE   docx, xlsx, csv, pptx, rtf, html, txt, or an image type:\n"
    "         jpeg, jpg, png, bmp, tiff, gif, tga, jp2\n"
    "  LIST   page numbers and ranges in conversion order, e.g. 3,1,5-7 (default: all pages)\n";

bool isImageType(std::string type)
{
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    static const char* const kTypes[] = {"jpg", "jpeg", "png", "bmp", "gif", "tiff", "tga", "jp2"};
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* t) { return type == t; });
}

// "3,1,5-7" into numbers, kept as given (out-of-range numbers are the
// converter's to report); false on a malformed list.
bool parsePageList(const std::string& text, std::vector<long long>& out)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string piece = text.substr(start, comma - start);
        const size_t dash = piece.find('-', 1);
        if (dash == std::string::npos) {
            const auto v = parseInteger(piece);
            if (!v)
                return false;
            out.push_back(*v);
        } else {
            const auto a = parseInteger(piece.substr(0, dash));
            const auto b = parseInteger(piece.substr(dash + 1));
            if (!a || !b || std::llabs(*b - *a) > 1000000)
                return false;
            for (long long v = *a;; v += (*a <= *b ? 1 : -1)) {
                out.push_back(v);
                if (v == *b)
                    break;
            }
        }
        start = comma + 1;
    }
    return true;
}

// A source item whose output goes into the driver's folder: a file for the
// document formats, a folder for page images.
class DriverItem : public QXSourceFileItem {
public:
    // Without a page list every page is converted: the document is opened
    // when the item's conversion starts, its pages listed, and the open
    // document (or why it could not be opened) handed to that conversion.
    void setAllPages() { allPages_ = true; }

    void willStartConversion() override
    {
        if (!allPages_)
            return;
        QXOpenedPDFDocument opened = QXRUZIzevudara::openPDFDocumentAtPath(sourcePath(), sourcePassword());
        std::vector<long long> all;
        if (opened.document) {
            for (int p = 1; p <= opened.document->pageCount(); ++p)
                all.push_back(p);
        }
        setOutputPDFPageIndexs(std::move(all));
        setOpenedPDFDocument(std::move(opened));
    }

    std::string newOutputPath() override
    {
        const fs::path folder = outputFolder().empty() ? fs::path(".") : fs::path(outputFolder());
        const std::string stem = fs::path(sourcePath()).stem().string();
        std::string path;
        if (isImageType(outputFileFormat())) {
            path = (folder / stem).string();
            std::error_code ec;
            if (fs::exists(path, ec) && !fs::is_directory(path, ec))
                path = QXPDFPathUtilities::getNewPathby(path);
        } else {
            path = QXPDFPathUtilities::getNewPathby((folder / (stem + "." + outputFileFormat())).string());
        }
        setOutputPath(path);
        return path;
    }

private:
    bool allPages_ = false;
};

class Reporter : public QXRUZIzevudaraManagerDelegate {
public:
    explicit Reporter(EventLoop& loop) : loop_(loop) {}

    bool fileFailed = false;
    bool pageFailed = false;

    void QXRUZIzevudaraManager_didStartConversion_withError(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                            const std::optional<QXError>&) override
    {
        requested_ = item.outputPDFPageIndexs().size();
        std::printf("start\t%s\t%s\tpages=%zu\n", item.sourcePath().c_str(), item.outputFileFormat().c_str(),
                    requested_);
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
        QXRUZIzevudaraManager&, QXSourceFileItem& item, uint64_t pdfPage, uint64_t position, uint64_t done) override
    {
        std::printf("page\t%s\tpdf-page=%llu\tposition=%llu\tdone=%llu\tprogress=%s\n", item.sourcePath().c_str(),
                    (unsigned long long)pdfPage, (unsigned long long)position, (unsigned long long)done,
                    formatFixed(pageProgress(done), 1).c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_faildWithError(QXRUZIzevudaraManager&,
                                                                              QXSourceFileItem& item,
                                                                              uint64_t pdfPage,
                                                                              const QXError& e) override
    {
        pageFailed = true;
        std::printf("page-failed\t%s\tpdf-page=%lld\terror=%d\t%s\n", item.sourcePath().c_str(), (long long)pdfPage,
                    e.code, e.reason.c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didConversion_catchException(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                            const QXException& e) override
    {
        std::printf("exception\t%s\t%s\t%s\n", item.sourcePath().c_str(), e.name.c_str(), e.reason.c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didConversion_willSaveDoc(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                         const std::optional<QXError>&) override
    {
        std::printf("saving\t%s\tprogress=90.0\n", item.sourcePath().c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didEndConversion_withError(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                          const std::optional<QXError>& e) override
    {
        if (e) {
            fileFailed = true;
            std::printf("failed\t%s\terror=%d\t%s\n", item.sourcePath().c_str(), e->code, e->reason.c_str());
        } else {
            std::printf("done\t%s\tprogress=100.0\toutput=%s\n", item.sourcePath().c_str(),
                        item.outputPath().c_str());
        }
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManagerDidEndConversion(QXRUZIzevudaraManager&) override { loop_.quit(); }

private:
    // The shell's progress: max(0.1, (done + 1) * 100 / requested * 0.85),
    // held below the 90 that marks saving.
    double pageProgress(uint64_t done) const
    {
        if (requested_ == 0)
            return 0.1;
        const double p = double(done + 1) * 100.0 / double(requested_) * 0.85;
        return std::min(std::max(0.1, p), 90.0);
    }

    EventLoop& loop_;
    size_t requested_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    useCNumericLocale();
    registerStandardExporters();

    std::string type, pages, outDir, imageName;
    std::optional<std::string> password;
    std::optional<long long> dpi;
    std::optional<double> quality;
    bool annots = true;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "rzconvert: %s needs a value\n", name);
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        std::optional<std::string> v;
        if (arg == "--to") {
            if (!(v = value("--to")))
                return 64;
            type = *v;
        } else if (arg == "--pages") {
            if (!(v = value("--pages")))
                return 64;
            pages = *v;
        } else if (arg == "--password") {
            if (!(v = value("--password")))
                return 64;
            password = *v;
        } else if (arg == "--out") {
            if (!(v = value("--out")))
                return 64;
            outDir = *v;
        } else if (arg == "--annots") {
            if (!(v = value("--annots")))
                return 64;
            if (*v != "on" && *v != "off") {
                std::fprintf(stderr, "rzconvert: --annots takes on or off\n");
                return 64;
            }
            annots = *v == "on";
        } else if (arg == "--dpi") {
            if (!(v = value("--dpi")) || !(dpi = parseInteger(*v))) {
                std::fprintf(stderr, "rzconvert: --dpi takes a whole number\n");
                return 64;
            }
        } else if (arg == "--quality") {
            if (!(v = value("--quality")) || !(quality = parseDouble(*v))) {
                std::fprintf(stderr, "rzconvert: --quality takes a number from 0.1 to 1\n");
                return 64;
            }
        } else if (arg == "--image-name") {
            if (!(v = value("--image-name")))
                return 64;
            imageName = *v;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            std::fprintf(stderr, "rzconvert: unknown option %s\n%s", arg.c_str(), kUsage);
            return 64;
        } else {
            files.push_back(arg);
        }
    }
    if (type.empty() || files.empty()) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    std::vector<long long> pageList;
    if (!pages.empty() && !parsePageList(pages, pageList)) {
        std::fprintf(stderr, "rzconvert: bad page list \"%s\"\n", pages.c_str());
        return 64;
    }
    if (!outDir.empty()) {
        std::error_code ec;
        fs::create_directories(outDir, ec);
        if (!fs::is_directory(outDir, ec)) {
            std::fprintf(stderr, "rzconvert: cannot create the output folder %s\n", outDir.c_str());
            return 1;
        }
    }

    std::vector<std::shared_ptr<QXSourceFileItem>> items;
    for (const std::string& file : files) {
        auto item = std::make_shared<DriverItem>();
        item->setSourcePath(file);
        item->setSourcePassword(password);
        item->setOutputFileFormat(type);
        item->setOutputFolder(outDir.empty() ? fs::path(file).parent_path().string() : outDir);
        if (pageList.empty())
            item->setAllPages();
        else
            item->setOutputPDFPageIndexs(pageList);
        auto& image = item->convertOpts()->imageOptions();
        if (dpi)
            image.setDpi(*dpi);
        if (quality)
            image.setQuality(*quality);
        if (!imageName.empty())
            image.setImageName(imageName);
        items.push_back(item);
    }

    EventLoop loop;
    Reporter reporter(loop);
    QXRUZIzevudaraManager manager(loop);
    manager.setDelegate(&reporter);
    manager.setParserPDFAnnotsPreference([annots] { return annots; });
    manager.setMa_sourceItems(items);
    manager.startConversion();
    if (manager.isConverting())
        loop.run();
    if (reporter.fileFailed)
        return 1;
    return reporter.pageFailed ? 2 : 0;
}
