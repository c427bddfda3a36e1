// Inspects a PDF file through the project's own object layer and content
// scanner: the document's page count, version and encryption, then for each
// page asked for its boxes, rotation, resource names and every operator of
// its content with the operands in PDF syntax.
//
//   rzinspect FILE [PAGE] [--password PW]
//   rzinspect --trace FILE [PAGE] [--password PW]
//   rzinspect --null FILE... [--password PW]
//   rzinspect --outline FILE [--password PW]
//   rzinspect --docx-lines FILE [PAGE] [--password PW]
//
// Without PAGE every page is listed. --trace prints the content
// interpreter's events instead, one normalised line each, then the page's
// warnings; --null interprets every page of each file with a delegate that
// does nothing and prints only the number of pages (for benchmarks);
// --outline prints the document's outline table, one item a line, depth
// first (or "outline: none"); --docx-lines reads each page as the DOCX
// exporter does and prints the text lines its layout found, in reading
// order: per line its column block, column, band, baseline, box and text.
// Exit status: 0 success, 1 usage, 2 the
// file cannot be opened, 3 the document stays locked (no or a wrong
// password), 4 no such page.
#include "docx/layout/QXDocxPDFExporter.h"
#include "pdfengine/images/QXPDFImageCache.h"
#include "pdfengine/outline/QXPDFOutLineManager.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/parser/QXPDFTraceDelegate.h"
#include "pdfengine/state/QXPDFFontCache.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/core/Numbers.h"
#include "platform/pdf/ContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using rz::pdf::Box;
using rz::pdf::Document;
using rz::pdf::Object;
using rz::pdf::Page;

struct Options {
    std::string file;
    std::vector<std::string> moreFiles; // --null only
    int page = 0; // 0: every page
    std::string password;
    bool hasPassword = false;
    enum class Mode { Inspect, Trace, Null, Outline, DocxLines } mode = Mode::Inspect;
};

void out(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int usage()
{
    std::fputs("usage: rzinspect [--trace] FILE [PAGE] [--password PW]\n"
               "       rzinspect --null FILE... [--password PW]\n"
               "       rzinspect --outline FILE [--password PW]\n"
               "       rzinspect --docx-lines FILE [PAGE] [--password PW]\n",
               stderr);
    return 1;
}

bool parseArgs(int argc, char** argv, Options* o)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--password") {
            if (++i >= argc)
                return false;
            o->password = argv[i];
            o->hasPassword = true;
        } else if (a == "--trace") {
            o->mode = Options::Mode::Trace;
        } else if (a == "--null") {
            o->mode = Options::Mode::Null;
        } else if (a == "--outline") {
            o->mode = Options::Mode::Outline;
        } else if (a == "--docx-lines") {
            o->mode = Options::Mode::DocxLines;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.empty())
        return false;
    o->file = positional[0];
    if (o->mode == Options::Mode::Null) {
        o->moreFiles.assign(positional.begin() + 1, positional.end());
        return true;
    }
    if (positional.size() > 2 || (o->mode == Options::Mode::Outline && positional.size() > 1))
        return false;
    if (positional.size() == 2) {
        const auto n = rz::parseInteger(positional[1]);
        if (!n || *n < 1 || *n > 1000000000)
            return false;
        o->page = int(*n);
    }
    return true;
}

std::string rectText(const rz::Rect& r)
{
    if (r.isNull())
        return "null";
    return rz::formatShortest(r.origin.x) + " " + rz::formatShortest(r.origin.y) + " " +
           rz::formatShortest(r.size.width) + " " + rz::formatShortest(r.size.height);
}

const char* statusText(rz::pdf::OpenStatus s)
{
    switch (s) {
    case rz::pdf::OpenStatus::Ok: return "ok";
    case rz::pdf::OpenStatus::NotFound: return "not found";
    case rz::pdf::OpenStatus::Unreadable: return "unreadable";
    case rz::pdf::OpenStatus::NotPDF: return "not a PDF document";
    case rz::pdf::OpenStatus::UnsupportedSecurity: return "unsupported security handler";
    }
    return "unknown";
}

// An operand in PDF syntax; an inline image as its dictionary and size.
std::string operandText(const Object& o)
{
    if (!o.isStream())
        return o.unparse();
    std::string s = "BI";
    const Object d = o.dictionary();
    for (const std::string& key : d.keys())
        s += " /" + key + " " + d.get(key).unparse();
    s += " ID <" + std::to_string(o.rawStreamData().size()) + " bytes>";
    return s;
}

void inspectPage(const Page& page)
{
    out("page " + std::to_string(page.pageNumber()));
    static constexpr std::pair<Box, const char*> kBoxes[] = {
        {Box::Media, "MediaBox"}, {Box::Crop, "CropBox"}, {Box::Bleed, "BleedBox"},
        {Box::Trim, "TrimBox"},   {Box::Art, "ArtBox"},
    };
    for (const auto& [box, name] : kBoxes)
        out(std::string(name) + ": " + rectText(page.boxRect(box)));
    out("Rotate: " + std::to_string(page.rotationAngle()));
    const Object resources = page.resources();
    for (const char* category :
         {"Font", "XObject", "ColorSpace", "ExtGState", "Pattern", "Shading", "Properties"}) {
        const Object dict = resources.get(category);
        if (!dict.isDictionary())
            continue;
        std::string line = std::string("resources ") + category + ":";
        for (const std::string& key : dict.keys())
            line += " " + key;
        out(line);
    }

    const rz::pdf::ContentStream content(page);
    rz::pdf::OperatorTable table;
    table.setFallback([](rz::pdf::Scanner& scanner) {
        std::string line;
        for (const Object& o : scanner.operands())
            line += operandText(o) + " ";
        out(line + scanner.currentOperator());
    });
    rz::pdf::Scanner scanner(content, table);
    scanner.scan();
    out("operators: " + std::to_string(scanner.operatorCount()) +
        " errors: " + std::to_string(scanner.errorCount()) +
        " decoded: " + (content.complete() ? "complete" : "incomplete"));
}

void tracePage(const Page& page, bool header)
{
    if (header)
        out("page " + std::to_string(page.pageNumber()));
    for (const std::string& line : rz::QXPDFTraceDelegate::tracePage(page))
        out(line);
}

// Every event ignored: what the interpretation alone costs.
class NullDelegate : public rz::QXPDFConentParserDelegate {};

void interpretPage(const Page& page, const std::shared_ptr<rz::QXPDFImageCache>& cache,
                   const std::shared_ptr<rz::QXPDFFontCache>& fonts)
{
    NullDelegate nothing;
    rz::QXPDFConentParser parser(page);
    parser.setDelegate(&nothing);
    parser.setRenderingStateStack(std::make_shared<rz::QXPDFRenderStateStack>());
    parser.setImageCache(cache);
    parser.setFontCache(fonts);
    parser.startParser();
}

// The outline manager's flattened table: one bookmark a line, depth first.
void printOutline(const std::shared_ptr<Document>& doc)
{
    rz::QXPDFOutLineManager outline;
    if (!outline.reLoadOutline(doc)) {
        out("outline: none");
        return;
    }
    out("outline: " + rz::formatUnsigned(outline.tableArray().size()) + " items");
    for (const rz::QXPDFOutlineItem& item : outline.tableArray())
        out(rz::QXPDFOutLineManager::descriptionOfItem(item));
}

} // namespace

// --null: every page of every file; answers the exit status.
int interpretFiles(const Options& o)
{
    const auto cache = std::make_shared<rz::QXPDFImageCache>();
    std::vector<std::string> files{o.file};
    files.insert(files.end(), o.moreFiles.begin(), o.moreFiles.end());
    int pages = 0;
    int status = 0;
    for (const std::string& file : files) {
        const auto doc = Document::open(file);
        if (!doc) {
            std::fprintf(stderr, "rzinspect: %s: cannot be opened\n", file.c_str());
            status = 2;
            continue;
        }
        if (o.hasPassword && !o.password.empty())
            doc->unlockWithPassword(o.password);
        if (!doc->isUnlocked()) {
            std::fprintf(stderr, "rzinspect: %s: a password is needed\n", file.c_str());
            status = 3;
            continue;
        }
        // A document's fonts are made once for all its pages.
        const auto fonts = std::make_shared<rz::QXPDFFontCache>();
        for (int n = 1; n <= doc->pageCount(); ++n, ++pages)
            interpretPage(doc->page(n), cache, fonts);
    }
    out("pages: " + std::to_string(pages));
    return status;
}

// A line of the DOCX layout: "block K column C band B baseline Y box X Y
// W H text: …". Lines cut out of a band keep the band of their first run.
void printDocxLine(const rz::QXDocxRunTextLine& line, const std::string& where,
                   const std::map<const rz::QXDocxRunText*, std::size_t>& bandOfRun)
{
    std::string band = "-";
    if (!line.runTextArray().empty()) {
        const auto found = bandOfRun.find(line.runTextArray().front().get());
        if (found != bandOfRun.end())
            band = std::to_string(found->second + 1);
    }
    out(where + " band " + band + " baseline " + rz::formatFixed(line.yBaseLine(), 1) + " box " +
        rz::formatFixed(line.lineFrame().origin.x, 1) + " " + rz::formatFixed(line.lineFrame().origin.y, 1) + " " +
        rz::formatFixed(line.lineFrame().size.width, 1) + " " + rz::formatFixed(line.lineFrame().size.height, 1) +
        " text: " + line.lineText());
}

void printDocxLines(const std::shared_ptr<Document>& doc, int first, int last)
{
    rz::QXDocxPDFExporter exporter;
    exporter.setPdfWriter(std::make_unique<rz::QXDocxWriter>());
    exporter.begainReadDocument(doc);
    for (int n = first; n <= last; ++n) {
        if (!exporter.interpretPDFPage(doc->page(n)))
            continue;
        const std::shared_ptr<rz::QXDocxPage> page = exporter.pdfWriter()->currentPage();
        page->updateAllPDFScanIndex();
        page->createPageWithColumn();
        const auto& bands = page->allRunTextBandArray();
        const auto& blocks = page->allRunTextColumArray();
        out("page " + std::to_string(n) + ": " + rz::formatFixed(page->currentPageCropBox().size.width, 1) + " x " +
            rz::formatFixed(page->currentPageCropBox().size.height, 1) + ", rotation " +
            std::to_string(page->currentPageRotationAngle()) + ", " + std::to_string(page->allRunTextLineArray().size()) +
            " lines, " + std::to_string(bands.size()) + " bands, " + std::to_string(blocks.size()) + " blocks, " +
            std::to_string(page->allRunTextBoxArray().size()) + " text boxes, " +
            std::to_string(page->allRunTextPathArray().size()) + " text paths");
        std::map<const rz::QXDocxRunText*, std::size_t> bandOfRun;
        for (std::size_t b = 0; b < bands.size(); ++b)
            for (const auto& line : bands[b])
                for (const auto& run : line->runTextArray())
                    bandOfRun.emplace(run.get(), b);
        if (blocks.empty()) {
            for (const auto& band : bands)
                for (const auto& line : band)
                    printDocxLine(*line, "block - column -", bandOfRun);
            continue;
        }
        for (std::size_t k = 0; k < blocks.size(); ++k) {
            const auto& groups = blocks[k]->columGroupArray();
            for (std::size_t c = 0; c < groups.size(); ++c)
                for (const auto& line : groups[c])
                    printDocxLine(*line, "block " + std::to_string(k + 1) + " column " + std::to_string(c + 1),
                                  bandOfRun);
        }
    }
}

int main(int argc, char** argv)
{
    rz::useCNumericLocale();
    Options o;
    if (!parseArgs(argc, argv, &o))
        return usage();
    if (o.mode == Options::Mode::Null)
        return interpretFiles(o);

    rz::pdf::OpenStatus status = rz::pdf::OpenStatus::Ok;
    const auto doc = Document::open(o.file, &status);
    if (!doc) {
        std::fprintf(stderr, "rzinspect: %s: %s\n", o.file.c_str(), statusText(status));
        return 2;
    }
    bool passwordOk = true;
    if (o.hasPassword && !o.password.empty())
        passwordOk = doc->unlockWithPassword(o.password);

    if (o.mode != Options::Mode::Inspect) {
        if (!doc->isUnlocked() || !passwordOk) {
            std::fprintf(stderr, "rzinspect: %s: %s\n", o.file.c_str(),
                         passwordOk ? "a password is needed" : "wrong password");
            return 3;
        }
        if (o.mode == Options::Mode::Outline) {
            printOutline(doc);
            return 0;
        }
        if (o.page > doc->pageCount()) {
            std::fprintf(stderr, "rzinspect: %s: no page %d\n", o.file.c_str(), o.page);
            return 4;
        }
        const int first = o.page ? o.page : 1;
        const int last = o.page ? o.page : doc->pageCount();
        if (o.mode == Options::Mode::DocxLines) {
            printDocxLines(doc, first, last);
            return 0;
        }
        for (int n = first; n <= last; ++n)
            tracePage(doc->page(n), o.page == 0);
        return 0;
    }

    out("file: " + o.file);
    out("version: " + doc->version());
    if (!doc->isEncrypted())
        out("encrypted: no");
    else if (!doc->isUnlocked())
        out("encrypted: yes, locked");
    else
        out(std::string("encrypted: yes, unlocked, ") +
            (doc->ownerPasswordMatched() ? "owner" : "user") + " password, printing " +
            (doc->allowsPrinting() ? "allowed" : "denied") + ", copying " +
            (doc->allowsCopying() ? "allowed" : "denied"));
    if (!doc->isUnlocked() || !passwordOk) {
        std::fprintf(stderr, "rzinspect: %s: %s\n", o.file.c_str(),
                     passwordOk ? "a password is needed" : "wrong password");
        return 3;
    }
    out("pages: " + std::to_string(doc->pageCount()));

    if (o.page > doc->pageCount()) {
        std::fprintf(stderr, "rzinspect: %s: no page %d\n", o.file.c_str(), o.page);
        return 4;
    }
    for (int n = o.page ? o.page : 1; n <= (o.page ? o.page : doc->pageCount()); ++n)
        inspectPage(doc->page(n));
    return 0;
}
