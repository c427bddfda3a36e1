// The headless driver: converts PDF files one after another with the
// conversion manager and prints one line per report.
//
//   rzconvert --to TYPE [--pages 3,1,5-7] [--password PW] [--out DIR]
//             [--annots on|off] [--dpi N] [--quality Q] [--image-name NAME]
//             [--sheet-format 0|1|2] [--thousands comma|dot] [--sheets page|below|beside]
//             [--cell-fills on|off] [--] FILE...
//
// `--` ends the options: every later argument is a file, "-x" too. Values
// outside an option's range are refused, not clamped (see --help).
//
// Page lists: numbers from 1 and ranges "a-b" in conversion order (3,1,5-7;
// 7-5 runs backwards). A range is cut to each document's pages; a single
// number past the end stays in the list and fails as that page. A list that
// names no page of a document is a usage error for that file, which is then
// not converted (the others are).
//
// Output names: "<folder>/<name>.<type>", or for page images the folder
// "<folder>/<name>" with the images inside; CSV output is the folder
// "<folder>/<name>.csv" holding "Table N.csv" per page with text. The name is claimed by creating
// it (an empty file, or the folder): when anything is there already, a
// symlink included, the next free name of QXPDFPathUtilities::getNewPathby
// is tried ("report2.txt", ...), so runs side by side never share an output
// and nothing the driver did not make is written through. A name that
// cannot be created fails the file before its first page; a file that
// fails later, or a run ended by SIGINT, SIGTERM, SIGHUP or SIGPIPE, has
// its claim removed while it is still empty.
//
// Report lines on standard output, fields separated by tabs:
//   start        FILE  TYPE  pages=N
//   page         FILE  pdf-page=P  position=I  done=D  progress=X
//   page-failed  FILE  pdf-page=P  error=CODE  REASON
//   exception    FILE  NAME  REASON
//   saving       FILE  progress=90.0
//   done         FILE  progress=100.0  output=PATH
//   failed       FILE  error=CODE  REASON
// FILE, TYPE, PATH, NAME and REASON are escaped so that a line always splits at
// its tabs: a backslash is written \\, a tab \t, a line break \n, a carriage
// return \r and any other control character \xHH (two lower-case hex digits).
//
// Exit status: 0 when every file and page converted, 1 when a file failed,
// 2 when only some pages failed, 64 for a usage error (one line on standard
// error, also for a page list that names no page of a file).
#include "converter/QXRUZIzevudaraManager.h"
#include "exporters/StandardExporters.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "platform/core/Numbers.h"
#include "platform/dispatch/Dispatch.h"
#include "platform/text/Ascii.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using namespace rz;

namespace {

// The type keys this build converts: every key the converter has a title
// for, with the image types that share one, that an exporter serves.
std::vector<std::string> convertibleTypes()
{
    std::vector<std::string> keys;
    for (const auto& entry : QXRUZIzevudara::supportDocTypes()) {
        keys.push_back(entry.first);
        if (entry.first == "jpeg")
            keys.push_back("jpg");
    }
    keys.push_back("jp2");
    const auto options = std::make_shared<QXPDFOptions>();
    std::vector<std::string> types;
    for (const std::string& key : keys) {
        if (std::find(types.begin(), types.end(), key) == types.end() && QXRUZIzevudara::newExporter(key, options))
            types.push_back(key);
    }
    return types;
}

std::string joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

std::string usage()
{
    const QXImageOptions defaults;
    return "usage: rzconvert --to TYPE [--pages LIST] [--password PW] [--out DIR] [--annots on|off]\n"
           "                 [--dpi N] [--quality Q] [--image-name NAME]\n"
           "                 [--sheet-format 0|1|2] [--thousands comma|dot] [--sheets page|below|beside]\n"
           "                 [--cell-fills on|off] [--] FILE...\n"
           "  --to TYPE          output type; this build converts " +
           joined(convertibleTypes()) +
           "\n"
           "  --pages LIST       page numbers from 1 and ranges in conversion order, e.g. 3,1,5-7 or 7-5;\n"
           "                     ranges are cut to each document's pages (default: all pages)\n"
           "  --password PW      password that opens the files\n"
           "  --out DIR          folder for the outputs, made when missing (default: each file's folder)\n"
           "  --annots on|off    include annotations (default: on)\n"
           "  --dpi N            page images: a whole number of dots per inch from " +
           formatInteger(QXImageOptions::kMinDpi) + " to " + formatInteger(QXImageOptions::kMaxDpi) +
           " (default: " + formatInteger(defaults.dpi()) +
           ")\n"
           "  --quality Q        page images: quality from " +
           formatShortest(QXImageOptions::kMinQuality) + " to " + formatShortest(QXImageOptions::kMaxQuality) +
           " (default: " + formatShortest(defaults.quality()) +
           ")\n"
           "  --image-name NAME  page images: the name before the page number (default: " +
           defaults.imageName() +
           ")\n"
           "  --sheet-format N   xlsx: 0 wraps text, merges cells and keeps fonts and sizes; 1 uses one font size,\n"
           "                     no wrapping and no merged cells; 2 as 1, also one font and numbers kept as text\n"
           "                     (default: 0)\n"
           "  --thousands SEP    xlsx: numbers group thousands with comma (1,234.5) or dot (1.234,5) (default: comma)\n"
           "  --sheets MODE      xlsx: a sheet per page, or all pages in one sheet, each page below or beside\n"
           "                     the one before (default: page)\n"
           "  --cell-fills on|off xlsx: numbers on a coloured box take its colour as their cell's fill (default: off)\n"
           "  --                 ends the options: every later argument is a file\n"
           "Each output gets a name of its own: report.txt, else report2.txt, ... (page images and csv: a folder).\n"
           "Report lines are split by tabs; in their names and reasons \\\\, \\t, \\n, \\r and \\xHH stand for\n"
           "a backslash, a tab, a line break, a carriage return and any other control character.\n";
}

// A usage error: one line on standard error, exit status 64.
int usageError(const std::string& reason)
{
    std::fprintf(stderr, "rzconvert: %s\n", reason.c_str());
    return 64;
}

// A field of a report line or of an error line: a backslash, a tab, a line
// break, a carriage return and any other control character become backslash
// escapes (see the top of the file), so a line always splits at its tabs.
std::string escaped(std::string_view text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (u < 0x20 || u == 0x7f)
            out.append("\\x").append(1, kHex[u >> 4]).append(1, kHex[u & 15]);
        else
            out += c;
    }
    return out;
}

bool isImageType(std::string type)
{
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    static const char* const kTypes[] = {"jpg", "jpeg", "png", "bmp", "gif", "tiff", "tga", "jp2"};
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char* t) { return type == t; });
}

// One piece of a page list: a page number (first == last) or a range,
// which may run backwards.
struct PageRange {
    long long first = 1;
    long long last = 1;
    bool single = true;
};

// A page number: decimal digits only, from 1, small enough for any count.
std::optional<long long> pageNumber(std::string_view text)
{
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto v = parseInteger(text);
    if (!v || *v < 1)
        return std::nullopt;
    return v;
}

// "3,1,5-7" into its pieces, in the order given; nothing for a malformed
// list. The pages are counted only against a document (pagesInDocument).
std::optional<std::vector<PageRange>> parsePageList(std::string_view text)
{
    std::vector<PageRange> out;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos)
            comma = text.size();
        const std::string_view piece = text.substr(start, comma - start);
        const size_t dash = piece.find('-');
        const auto first = pageNumber(piece.substr(0, dash));
        if (!first)
            return std::nullopt;
        if (dash == std::string_view::npos) {
            out.push_back({*first, *first, true});
        } else {
            const auto last = pageNumber(piece.substr(dash + 1));
            if (!last)
                return std::nullopt;
            out.push_back({*first, *last, false});
        }
        if (comma == text.size())
            return out;
        start = comma + 1;
    }
}

// The pages the pieces name in a document of `pageCount` pages, in the
// pieces' order: a range is cut to 1..pageCount and keeps its direction; a
// single number stays as given, so that one past the end fails as a page.
std::vector<long long> pagesInDocument(const std::vector<PageRange>& ranges, long long pageCount)
{
    std::vector<long long> pages;
    for (const PageRange& r : ranges) {
        if (r.single) {
            pages.push_back(r.first);
            continue;
        }
        const long long low = std::max(std::min(r.first, r.last), 1LL);
        const long long high = std::min(std::max(r.first, r.last), pageCount);
        if (low > high)
            continue;
        if (r.first <= r.last) {
            for (long long p = low; p <= high; ++p)
                pages.push_back(p);
        } else {
            for (long long p = high; p >= low; --p)
                pages.push_back(p);
        }
    }
    return pages;
}

// Claims an output name by creating it, so that no other run takes it: the
// first free name in QXPDFPathUtilities::getNewPathby's numbering (path,
// then path2, path3, ...), made as an empty file or, for `folder`, an empty
// folder. Creating fails when anything is at the name, a symlink too
// (dangling or not), and the next name is tried: nothing the driver did
// not make is reused or followed. Empty, with `why`, when nothing can be
// created there.
std::string claimOutputPath(const std::string& path, bool folder, std::string& why)
{
    std::string previous;
    // Each retry means another process took the name just found free.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate = QXPDFPathUtilities::getNewPathby(path);
        if (candidate == previous)
            break; // the numbering has run out
        previous = candidate;
        int made = -1;
        if (folder) {
            made = ::mkdir(candidate.c_str(), 0777);
        } else {
            made = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (made >= 0)
                ::close(made);
        }
        if (made >= 0)
            return candidate;
        if (errno != EEXIST) {
            why = std::error_code(errno, std::generic_category()).message();
            return {};
        }
    }
    why = "no free name";
    return {};
}

// Removes a claimed name that is still as its claim left it (an empty file
// or folder), so that a file that fails leaves no output behind. Only calls
// that a signal handler may make.
void removeUnusedClaim(const char* path)
{
    struct stat st {};
    if (::lstat(path, &st) != 0)
        return;
    if (S_ISDIR(st.st_mode))
        ::rmdir(path); // only when empty
    else if (S_ISREG(st.st_mode) && st.st_size == 0)
        ::unlink(path);
}

// The claim of the file in hand, for a run ended by a signal: it goes as
// the claim of a failed conversion does.
char claimInHand[PATH_MAX];
volatile std::sig_atomic_t hasClaimInHand = 0;

void setClaimInHand(const std::string& path)
{
    hasClaimInHand = 0;
    if (path.empty() || path.size() >= sizeof claimInHand)
        return;
    std::memcpy(claimInHand, path.c_str(), path.size() + 1);
    hasClaimInHand = 1;
}

void endOnSignal(int signal)
{
    if (hasClaimInHand)
        removeUnusedClaim(claimInHand);
    ::raise(signal); // the default action, restored by SA_RESETHAND
}

void removeClaimsOnSignals()
{
    struct sigaction action {};
    action.sa_handler = endOnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        ::sigaction(signal, &action, nullptr);
}

// A source item whose output goes into the driver's folder: a file for the
// document formats, a folder for page images.
class DriverItem : public QXSourceFileItem {
public:
    // The pieces of --pages, `given` by the user; by default every page.
    void setPageRanges(std::vector<PageRange> ranges, bool given)
    {
        ranges_ = std::move(ranges);
        pagesGiven_ = given;
    }

    // The document is opened when the item's conversion starts, its pages
    // listed from the ranges, and the open document (or why it could not
    // be opened) handed to that conversion.
    void willStartConversion() override
    {
        QXOpenedPDFDocument opened = QXRUZIzevudara::openPDFDocumentAtPath(sourcePath(), sourcePassword());
        opened_ = opened.document != nullptr;
        pageCount_ = opened_ ? std::max(opened.document->pageCount(), 0) : 0;
        pageList_ = opened_ ? pagesInDocument(ranges_, pageCount_) : std::vector<long long>{};
        setOutputPDFPageIndexs(pageList_);
        setOpenedPDFDocument(std::move(opened));
    }

    int pageCount() const { return pageCount_; }
    // The user's page list names no page of the opened document.
    bool namesNoPage() const
    {
        return opened_ && pagesGiven_ &&
               std::none_of(pageList_.begin(), pageList_.end(), [&](long long p) { return p >= 1 && p <= pageCount_; });
    }
    // Why the output name could not be claimed; empty when it was, or was not tried.
    const std::string& claimFailure() const { return claimFailure_; }
    // False for a file the driver keeps from converting.
    bool mayConvert() const { return !namesNoPage() && claimFailure_.empty(); }

    // Claims the output name (see claimOutputPath) when the file will be
    // converted; else answers an empty path, as nothing is to be written.
    std::string newOutputPath() override
    {
        claimed_.clear();
        claimFailure_.clear();
        const fs::path folder = outputFolder().empty() ? fs::path(".") : fs::path(outputFolder());
        const std::string stem = fs::path(sourcePath()).stem().string();
        const bool images = isImageType(outputFileFormat());
        const bool tables = outputFileFormat() == "csv";
        const std::string wanted =
            images ? (folder / stem).string() : (folder / (stem + "." + outputFileFormat())).string();
        std::string path;
        if (opened_ && !namesNoPage()) {
            std::string why;
            path = claimOutputPath(wanted, images || tables, why);
            if (path.empty())
                claimFailure_ = "Can't create the output " + wanted + ": " + why;
            claimed_ = path;
        }
        setClaimInHand(claimed_);
        setOutputPath(path);
        return path;
    }

    // After a failed conversion: the claim goes unless it holds output.
    void releaseClaim()
    {
        if (!claimed_.empty())
            removeUnusedClaim(claimed_.c_str());
        claimed_.clear();
    }

private:
    std::vector<PageRange> ranges_{{1, std::numeric_limits<long long>::max(), false}};
    bool pagesGiven_ = false;
    std::string claimed_;
    std::string claimFailure_;
    bool opened_ = false;
    int pageCount_ = 0;
    std::vector<long long> pageList_;
};

class Reporter : public QXRUZIzevudaraManagerDelegate {
public:
    Reporter(EventLoop& loop, std::string pageListText) : loop_(loop), pageListText_(std::move(pageListText)) {}

    bool fileFailed = false;
    bool pageFailed = false;
    bool usageFailed = false;

    void QXRUZIzevudaraManager_didStartConversion_withError(QXRUZIzevudaraManager& manager, QXSourceFileItem& item,
                                                            const std::optional<QXError>&) override
    {
        requested_ = item.outputPDFPageIndexs().size();
        std::printf("start\t%s\t%s\tpages=%zu\n", escaped(item.sourcePath()).c_str(),
                    escaped(item.outputFileFormat()).c_str(), requested_);
        std::fflush(stdout);
        // A file the driver keeps from converting is stopped before its
        // first page; its end report says why.
        const auto* driverItem = dynamic_cast<const DriverItem*>(&item);
        if (driverItem && !driverItem->mayConvert())
            manager.ruzIzevudara().stopConvertsionIfNeed();
    }

    void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_writeWordPageIndex_finshedWordPageCount(
        QXRUZIzevudaraManager&, QXSourceFileItem& item, uint64_t pdfPage, uint64_t position, uint64_t done) override
    {
        std::printf("page\t%s\tpdf-page=%llu\tposition=%llu\tdone=%llu\tprogress=%s\n",
                    escaped(item.sourcePath()).c_str(), (unsigned long long)pdfPage, (unsigned long long)position,
                    (unsigned long long)done, formatFixed(pageProgress(done), 1).c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didConversion_convertPDFPageIndex_faildWithError(QXRUZIzevudaraManager&,
                                                                              QXSourceFileItem& item,
                                                                              uint64_t pdfPage,
                                                                              const QXError& e) override
    {
        pageFailed = true;
        std::printf("page-failed\t%s\tpdf-page=%lld\terror=%d\t%s\n", escaped(item.sourcePath()).c_str(),
                    (long long)pdfPage, e.code, escaped(e.reason).c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didConversion_catchException(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                            const QXException& e) override
    {
        std::printf("exception\t%s\t%s\t%s\n", escaped(item.sourcePath()).c_str(), escaped(e.name).c_str(),
                    escaped(e.reason).c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didConversion_willSaveDoc(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                         const std::optional<QXError>&) override
    {
        std::printf("saving\t%s\tprogress=90.0\n", escaped(item.sourcePath()).c_str());
        std::fflush(stdout);
    }

    void QXRUZIzevudaraManager_didEndConversion_withError(QXRUZIzevudaraManager&, QXSourceFileItem& item,
                                                          const std::optional<QXError>& e) override
    {
        setClaimInHand({});
        auto* driverItem = dynamic_cast<DriverItem*>(&item);
        const std::string source = escaped(item.sourcePath());
        if (driverItem && driverItem->namesNoPage()) {
            usageFailed = true;
            const int count = driverItem->pageCount();
            std::printf("failed\t%s\terror=401\tNo page of the list is in the document (%d %s).\n", source.c_str(),
                        count, count == 1 ? "page" : "pages");
            std::fflush(stdout);
            std::fprintf(stderr, "rzconvert: --pages %s names no page of %s, which has %d %s\n",
                         escaped(pageListText_).c_str(), source.c_str(), count, count == 1 ? "page" : "pages");
        } else if (driverItem && !driverItem->claimFailure().empty()) {
            fileFailed = true;
            std::printf("failed\t%s\terror=400\t%s\n", source.c_str(), escaped(driverItem->claimFailure()).c_str());
        } else if (e) {
            fileFailed = true;
            if (driverItem)
                driverItem->releaseClaim();
            std::printf("failed\t%s\terror=%d\t%s\n", source.c_str(), e->code, escaped(e->reason).c_str());
        } else {
            std::printf("done\t%s\tprogress=100.0\toutput=%s\n", source.c_str(), escaped(item.outputPath()).c_str());
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
    std::string pageListText_;
    size_t requested_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    useCNumericLocale();
    registerStandardExporters();
    removeClaimsOnSignals();

    std::string type, outDir, imageName;
    std::optional<std::string> password, pages;
    std::optional<long long> dpi;
    std::optional<double> quality;
    std::optional<int> sheetFormat, thousands;
    std::optional<std::string> sheets;
    std::optional<bool> cellFills;
    bool annots = true;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            std::fputs(usage().c_str(), stdout);
            return 0;
        }
        static const char* const kOptions[] = {"--to",  "--pages",   "--password", "--out",
                                               "--annots", "--dpi", "--quality", "--image-name",
                                               "--sheet-format", "--thousands", "--sheets", "--cell-fills"};
        if (std::none_of(std::begin(kOptions), std::end(kOptions), [&](const char* o) { return arg == o; }))
            return usageError("unknown option " + escaped(arg) + " (rzconvert --help lists them)");
        if (i + 1 >= argc)
            return usageError(arg + " needs a value");
        const std::string v = argv[++i];
        const std::string quoted = "\"" + escaped(v) + "\"";
        if (arg == "--to") {
            // Type keys are lower case; "TXT" or "Docx" mean the same.
            type = asciiLower(v);
        } else if (arg == "--pages") {
            pages = v;
        } else if (arg == "--password") {
            password = v;
        } else if (arg == "--out") {
            if (v.empty())
                return usageError("--out takes a folder, not an empty name");
            outDir = v;
        } else if (arg == "--annots") {
            if (v != "on" && v != "off")
                return usageError("--annots takes on or off, not " + quoted);
            annots = v == "on";
        } else if (arg == "--dpi") {
            dpi = parseInteger(v);
            if (!dpi || *dpi < QXImageOptions::kMinDpi || *dpi > QXImageOptions::kMaxDpi)
                return usageError("--dpi takes a whole number from " + formatInteger(QXImageOptions::kMinDpi) +
                                  " to " + formatInteger(QXImageOptions::kMaxDpi) + ", not " + quoted);
        } else if (arg == "--quality") {
            quality = parseDouble(v);
            if (!quality || !(*quality >= QXImageOptions::kMinQuality && *quality <= QXImageOptions::kMaxQuality))
                return usageError("--quality takes a number from " + formatShortest(QXImageOptions::kMinQuality) +
                                  " to " + formatShortest(QXImageOptions::kMaxQuality) + ", not " + quoted);
        } else if (arg == "--image-name") {
            if (v.empty())
                return usageError("--image-name takes a name, not an empty one");
            imageName = v;
        } else if (arg == "--sheet-format") {
            if (v != "0" && v != "1" && v != "2")
                return usageError("--sheet-format takes 0, 1 or 2, not " + quoted);
            sheetFormat = v[0] - '0';
        } else if (arg == "--thousands") {
            if (v != "comma" && v != "dot")
                return usageError("--thousands takes comma or dot, not " + quoted);
            thousands = v == "dot" ? 1 : 0;
        } else if (arg == "--sheets") {
            if (v != "page" && v != "below" && v != "beside")
                return usageError("--sheets takes page, below or beside, not " + quoted);
            sheets = v;
        } else if (arg == "--cell-fills") {
            if (v != "on" && v != "off")
                return usageError("--cell-fills takes on or off, not " + quoted);
            cellFills = v == "on";
        }
    }
    if (type.empty())
        return usageError("no output type: give --to TYPE, one of " + joined(convertibleTypes()));
    if (!QXRUZIzevudara::newExporter(type, std::make_shared<QXPDFOptions>()))
        return usageError("this build does not convert to \"" + escaped(type) + "\"; --to takes one of " +
                          joined(convertibleTypes()));
    if (files.empty())
        return usageError("no file to convert");
    std::vector<PageRange> ranges;
    if (pages) {
        const auto parsed = parsePageList(*pages);
        if (!parsed)
            return usageError("bad page list \"" + escaped(*pages) +
                              "\": give page numbers from 1 and ranges, such as 3,1,5-7");
        ranges = *parsed;
    }
    if (!outDir.empty()) {
        std::error_code ec;
        fs::create_directories(outDir, ec);
        if (!fs::is_directory(outDir, ec)) {
            std::fprintf(stderr, "rzconvert: cannot create the output folder %s\n", escaped(outDir).c_str());
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
        if (pages)
            item->setPageRanges(ranges, true);
        auto& image = item->convertOpts()->imageOptions();
        if (dpi)
            image.setDpi(*dpi);
        if (quality)
            image.setQuality(*quality);
        if (!imageName.empty())
            image.setImageName(imageName);
        auto& excel = item->convertOpts()->excelOptions();
        if (sheetFormat)
            excel.setExcelFormatOption(*sheetFormat);
        if (thousands)
            excel.setThousandSepartor(*thousands);
        if (sheets) {
            excel.setAllInOneSheet(*sheets != "page");
            excel.setAiosAddToRow(*sheets == "below");
        }
        if (cellFills) {
            excel.setCollectCGPaths(*cellFills);
            excel.setCollectFills(*cellFills);
        }
        items.push_back(item);
    }

    EventLoop loop;
    Reporter reporter(loop, pages.value_or(""));
    QXRUZIzevudaraManager manager(loop);
    manager.setDelegate(&reporter);
    manager.setParserPDFAnnotsPreference([annots] { return annots; });
    manager.setMa_sourceItems(items);
    manager.startConversion();
    if (manager.isConverting())
        loop.run();
    if (reporter.usageFailed)
        return 64;
    if (reporter.fileFailed)
        return 1;
    return reporter.pageFailed ? 2 : 0;
}
