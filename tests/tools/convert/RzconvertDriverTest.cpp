// rzconvert under careless and hostile use: runs side by side, page lists,
// option ranges, unwritable destinations, symlinks and odd file names.
#include "converter/QXRUZIzevudara.h"
#include "exporters/StandardExporters.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

using namespace rz;
namespace fs = std::filesystem;

namespace {

std::string shellQuote(const std::string& s)
{
    return "'" + s + "'";
}

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

struct RunResult {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs rzconvert with `args` (shell words) and keeps both streams apart.
RunResult runDriver(const std::string& args, const std::string& env = {})
{
    static int counter = 0;
    const std::string errFile = test::makeTempDir() + "/stderr" + std::to_string(++counter);
    RunResult r;
    r.status = test::runCommand(env + " " + std::string(RZCONVERT) + " " + args + " 2>" + shellQuote(errFile), &r.out);
    r.err = readFile(errFile);
    return r;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream s(text);
    for (std::string line; std::getline(s, line);)
        out.push_back(line);
    return out;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return out;
        start = tab + 1;
    }
}

// The reverse of the report lines' escaping.
std::string unescaped(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 't')
            out += '\t';
        else if (c == 'n')
            out += '\n';
        else if (c == 'r')
            out += '\r';
        else if (c == 'x' && i + 2 < text.size()) {
            out += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

// The pdf-page numbers of the "page" lines, in order.
std::vector<long long> convertedPages(const std::string& out)
{
    std::vector<long long> pages;
    for (const std::string& line : lines(out)) {
        const auto f = fields(line);
        if (f.size() > 2 && f[0] == "page" && f[2].rfind("pdf-page=", 0) == 0)
            pages.push_back(std::stoll(f[2].substr(9)));
    }
    return pages;
}

// The output= field of the "done" line, unescaped; empty without one.
std::string doneOutput(const std::string& out)
{
    for (const std::string& line : lines(out)) {
        const auto f = fields(line);
        if (f.size() == 4 && f[0] == "done" && f[3].rfind("output=", 0) == 0)
            return unescaped(f[3].substr(7));
    }
    return {};
}

std::vector<std::string> namesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A document of `count` small pages, page k showing "<marker> k".
std::string pagesPdf(int count, const std::string& marker = "Page")
{
    std::vector<test::PageFixture> pages;
    for (int k = 1; k <= count; ++k) {
        test::PageFixture p;
        p.mediaBox = "[0 0 100 40]";
        p.content = "BT /F1 10 Tf 5 15 Td (" + marker + " " + std::to_string(k) + ") Tj ET";
        p.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
        pages.push_back(p);
    }
    return test::makePdf(pages);
}

// A command running rzconvert (for at most five minutes) with both streams
// and then its exit status written to `log`.
std::string loggedRun(const std::string& args, const std::string& log)
{
    return "timeout 300 " + std::string(RZCONVERT) + " " + args + " > " + shellQuote(log) + " 2>&1; echo $? >> " +
           shellQuote(log);
}

// Starts every command at once in the background and waits for all.
void runTogether(const std::vector<std::string>& commands)
{
    std::string script;
    for (const std::string& c : commands)
        script += "( " + c + " ) & ";
    script += "wait";
    test::runCommand(script);
}

} // namespace

TEST(RzconvertDriver, ParallelRunsOfOneNameEachGetTheirOwnOutputFile)
{
    // Eight files all named report.pdf, each in its own folder, converted
    // into one folder at the same moment.
    const int runs = 8;
    const std::string out = test::makeTempDir(), logs = test::makeTempDir();
    std::vector<std::string> commands;
    for (int k = 0; k < runs; ++k) {
        const std::string pdf = test::writeTempFile(pagesPdf(1, "Source" + std::to_string(k)), "report.pdf");
        commands.push_back(loggedRun("--to txt --out " + shellQuote(out) + " " + shellQuote(pdf),
                                     logs + "/" + std::to_string(k)));
    }
    runTogether(commands);

    std::set<std::string> outputs;
    for (int k = 0; k < runs; ++k) {
        const std::string log = readFile(logs + "/" + std::to_string(k));
        ASSERT_EQ(lines(log).back(), "0") << log;
        const std::string output = doneOutput(log);
        ASSERT_FALSE(output.empty()) << log;
        outputs.insert(output);
        // The file a run names as its own holds its own text.
        EXPECT_NE(readFile(output).find("Source" + std::to_string(k) + " 1"), std::string::npos) << output;
    }
    EXPECT_EQ(outputs.size(), size_t(runs));
    std::vector<std::string> expected = {"report.txt"};
    for (int n = 2; n <= runs; ++n)
        expected.push_back("report" + std::to_string(n) + ".txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(out), expected);
}

TEST(RzconvertDriver, ParallelPageImageRunsEachGetTheirOwnFolder)
{
    const int runs = 8;
    const std::string pdf = test::writeTempFile(pagesPdf(4), "four.pdf");
    const std::string out = test::makeTempDir(), logs = test::makeTempDir();
    std::vector<std::string> commands;
    for (int k = 0; k < runs; ++k)
        commands.push_back(loggedRun("--to png --dpi 36 --out " + shellQuote(out) + " " + shellQuote(pdf),
                                     logs + "/" + std::to_string(k)));
    runTogether(commands);

    std::set<std::string> folders;
    for (int k = 0; k < runs; ++k) {
        const std::string log = readFile(logs + "/" + std::to_string(k));
        ASSERT_EQ(lines(log).back(), "0") << log;
        const std::string folder = doneOutput(log);
        folders.insert(folder);
        EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"IMG_00001.png", "IMG_00002.png", "IMG_00003.png",
                                                               "IMG_00004.png"}))
            << folder;
    }
    EXPECT_EQ(folders.size(), size_t(runs));
    size_t images = 0;
    for (const auto& e : fs::recursive_directory_iterator(out))
        images += e.is_regular_file();
    EXPECT_EQ(images, size_t(runs * 4));
}

TEST(RzconvertDriver, PageRangesAreCutToTheDocumentInTheOrderGiven)
{
    const std::string pdf = test::writeTempFile(pagesPdf(3), "three.pdf");
    std::string tenRanges;
    for (int i = 0; i < 10; ++i)
        tenRanges += (i ? "," : "") + std::string("2-1000000");
    std::vector<long long> tenTimes;
    for (int i = 0; i < 10; ++i)
        tenTimes.insert(tenTimes.end(), {2, 3});
    struct Case {
        std::string pages;
        std::vector<long long> converted;
        int status;
    } cases[] = {
        {"3,1,2-3", {3, 1, 2, 3}, 0},
        {"7-2", {3, 2}, 0},
        {"1-1000000", {1, 2, 3}, 0},
        {tenRanges, tenTimes, 0},
        {"2,4-9,1", {2, 1}, 0},
        // A single page past the end stays in the list and fails as a page.
        {"1,5", {1}, 2},
    };
    for (const Case& c : cases) {
        const std::string out = test::makeTempDir();
        const RunResult r =
            runDriver("--to txt --pages " + c.pages + " --out " + shellQuote(out) + " " + shellQuote(pdf));
        EXPECT_EQ(r.status, c.status) << c.pages << "\n" << r.out << r.err;
        EXPECT_EQ(convertedPages(r.out), c.converted) << c.pages << "\n" << r.out;
        EXPECT_NE(r.out.find("start\t" + pdf + "\ttxt\tpages=" +
                             std::to_string(c.converted.size() + (c.status == 2 ? 1 : 0)) + "\n"),
                  std::string::npos)
            << r.out;
    }
    // The type is taken in any case.
    const std::string upper = test::makeTempDir();
    const RunResult typed = runDriver("--to TXT --out " + shellQuote(upper) + " " + shellQuote(pdf));
    EXPECT_EQ(typed.status, 0) << typed.err;
    EXPECT_NE(typed.out.find("start\t" + pdf + "\ttxt\t"), std::string::npos) << typed.out;

    // The order reaches the document: 3 is written before 2.
    const std::string out = test::makeTempDir();
    ASSERT_EQ(runDriver("--to txt --pages 3-2 --out " + shellQuote(out) + " " + shellQuote(pdf)).status, 0);
    const std::string text = readFile(out + "/three.txt");
    ASSERT_NE(text.find("Page 2"), std::string::npos) << text;
    EXPECT_LT(text.find("Page 3"), text.find("Page 2")) << text;
}

TEST(RzconvertDriver, MisuseExitsWithAUsageErrorOnOneLine)
{
    const std::string pdf = test::writeTempFile(pagesPdf(3), "three.pdf");
    const char* const misuses[] = {
        // page lists
        "--to txt --pages -1", "--to txt --pages 1--3", "--to txt --pages 0", "--to txt --pages 0-2",
        "--to txt --pages ''", "--to txt --pages 1,", "--to txt --pages ,1", "--to txt --pages 1-",
        "--to txt --pages 1-2-3", "--to txt --pages '1, 2'", "--to txt --pages +2", "--to txt --pages x",
        "--to txt --pages 99999999999999999999", "--to txt --pages '1\n2'",
        // settings outside their ranges
        "--to png --dpi 0", "--to png --dpi -5", "--to png --dpi 11", "--to png --dpi 2401", "--to png --dpi 5000",
        "--to png --dpi 1.5", "--to png --dpi ''", "--to jpeg --quality 50", "--to jpeg --quality -1",
        "--to jpeg --quality 0.05", "--to jpeg --quality 1.01", "--to jpeg --quality nan", "--to jpeg --quality inf",
        // types and options
        "--to bogus", "--to ''", "--to 'tx\tt'", "--pages 1", "--to txt --annots maybe", "--to txt --out ''",
        "--to png --image-name ''", "--to txt --frobnicate", "--to txt -x", "--to txt --dpi",
    };
    for (const char* misuse : misuses) {
        const std::string out = test::makeTempDir();
        const RunResult r = runDriver(std::string(misuse) + " " + shellQuote(pdf), "cd " + shellQuote(out) + " &&");
        EXPECT_EQ(r.status, 64) << misuse << "\n" << r.out << r.err;
        EXPECT_EQ(lines(r.err).size(), 1u) << misuse << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("rzconvert: ", 0), 0u) << misuse << "\n" << r.err;
        EXPECT_EQ(r.out, "") << misuse;
        EXPECT_TRUE(namesIn(out).empty()) << misuse;
        EXPECT_TRUE(namesIn(fs::path(pdf).parent_path().string()).size() == 1) << misuse;
    }
    // No file at all.
    const RunResult none = runDriver("--to txt");
    EXPECT_EQ(none.status, 64);
    EXPECT_EQ(lines(none.err).size(), 1u) << none.err;

    // The edges of each range are taken.
    const char* const edges[] = {"--to png --dpi 12", "--to png --dpi 2400", "--to jpeg --quality 0.1",
                                 "--to jpeg --quality 1", "--to txt --pages 1-1"};
    for (const char* edge : edges) {
        const std::string out = test::makeTempDir();
        const RunResult r = runDriver(std::string(edge) + " --out " + shellQuote(out) + " " + shellQuote(pdf));
        EXPECT_EQ(r.status, 0) << edge << "\n" << r.out << r.err;
    }
}

TEST(RzconvertDriver, AListNamingNoPageOfADocumentIsAUsageErrorForThatFile)
{
    const std::string three = test::writeTempFile(pagesPdf(3), "three.pdf");
    const std::string nine = test::writeTempFile(pagesPdf(9), "nine.pdf");
    const std::string out = test::makeTempDir();
    const RunResult r = runDriver("--to txt --pages 5-7 --out " + shellQuote(out) + " " + shellQuote(three) + " " +
                                  shellQuote(nine));
    EXPECT_EQ(r.status, 64) << r.out << r.err;
    ASSERT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find("5-7"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(three), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("failed\t" + three + "\terror=401\t"), std::string::npos) << r.out;
    // Nothing of the first file is interpreted or written; the second converts.
    EXPECT_EQ(convertedPages(r.out), (std::vector<long long>{5, 6, 7})) << r.out;
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"nine.txt"}));
}

TEST(RzconvertDriver, HelpStatesTheRangesAndTheTypesThisBuildConverts)
{
    const RunResult r = runDriver("--help");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("from 12 to 2400"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("from 0.1 to 1 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  --  "), std::string::npos) << r.out;

    const std::string lead = "this build converts ";
    const size_t at = r.out.find(lead);
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string list = r.out.substr(at + lead.size(), r.out.find('\n', at) - at - lead.size());
    std::set<std::string> listed;
    std::istringstream s(list);
    for (std::string type; std::getline(s, type, ',');)
        listed.insert(type.substr(type.find_first_not_of(' ')));

    registerStandardExporters();
    const auto options = std::make_shared<QXPDFOptions>();
    std::set<std::string> served;
    for (const auto& entry : QXRUZIzevudara::supportDocTypes())
        if (QXRUZIzevudara::newExporter(entry.first, options))
            served.insert(entry.first);
    for (const char* extra : {"jpg", "jp2"})
        if (QXRUZIzevudara::newExporter(extra, options))
            served.insert(extra);
    EXPECT_EQ(listed, served) << list;
    EXPECT_TRUE(listed.count("txt") && listed.count("png")) << list;
    EXPECT_FALSE(listed.count("pdf")) << list;
}

TEST(RzconvertDriver, DoubleDashEndsTheOptions)
{
    const std::string dir = fs::path(test::writeTempFile(pagesPdf(1), "-x.pdf")).parent_path().string();
    const std::string cd = "cd " + shellQuote(dir) + " &&";
    const RunResult without = runDriver("--to txt -x.pdf", cd);
    EXPECT_EQ(without.status, 64) << without.err;
    const RunResult with = runDriver("--to txt -- -x.pdf", cd);
    EXPECT_EQ(with.status, 0) << with.out << with.err;
    EXPECT_TRUE(fs::exists(dir + "/-x.txt")) << with.out;
}

TEST(RzconvertDriver, AnUnwritableDestinationFailsBeforeTheFirstPage)
{
    const std::string pdf = test::writeTempFile(pagesPdf(3), "three.pdf");
    std::string folder = test::makeTempDir() + "/locked";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    // The super-user writes anywhere; /proc takes no new file from anyone.
    if (::access(folder.c_str(), W_OK) == 0)
        folder = "/proc";
    for (const char* type : {"txt", "png"}) {
        const RunResult r =
            runDriver(std::string("--to ") + type + " --out " + shellQuote(folder) + " " + shellQuote(pdf));
        EXPECT_EQ(r.status, 1) << type << "\n" << r.out << r.err;
        EXPECT_NE(r.out.find("failed\t" + pdf + "\terror=400\tCan't create the output " + folder + "/three"),
                  std::string::npos)
            << type << "\n" << r.out;
        EXPECT_TRUE(convertedPages(r.out).empty()) << r.out;
        EXPECT_EQ(r.out.find("page-failed"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("saving"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Unknow error"), std::string::npos) << r.out;
    }
    if (folder != "/proc") {
        EXPECT_TRUE(namesIn(folder).empty());
        fs::permissions(folder, fs::perms::owner_all);
    }
}

TEST(RzconvertDriver, AFailedOrEndedRunRemovesItsClaim)
{
    // The conversion's temporary folder goes under $TMPDIR: under /proc it
    // cannot be made, so the file fails after its name was claimed.
    const std::string pdf = test::writeTempFile(pagesPdf(1), "one.pdf");
    const std::string out = test::makeTempDir();
    const RunResult r = runDriver("--to txt --out " + shellQuote(out) + " " + shellQuote(pdf), "TMPDIR=/proc");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("failed\t" + pdf), std::string::npos) << r.out;
    EXPECT_TRUE(namesIn(out).empty());

    // A run ended by a signal (here SIGPIPE, its reader gone after one
    // line) leaves no empty claim either.
    const std::string longer = test::writeTempFile(pagesPdf(20), "long.pdf");
    for (const char* type : {"txt", "png"}) {
        const std::string folder = test::makeTempDir();
        test::runCommand(std::string(RZCONVERT) + " --to " + type + " --out " + shellQuote(folder) + " " +
                         shellQuote(longer) + " | head -n 1 > /dev/null");
        for (const auto& e : fs::directory_iterator(folder))
            EXPECT_FALSE(fs::is_empty(e.path())) << e.path();
    }
}

TEST(RzconvertDriver, SymlinksAtTheOutputNameAreNeverFollowed)
{
    const std::string pdf = test::writeTempFile(pagesPdf(2), "two.pdf");
    const std::string elsewhere = test::makeTempDir();
    const std::string keptFile = elsewhere + "/kept.txt";
    std::ofstream(keptFile) << "keep";
    struct Case {
        const char* type;
        const char* name;        // where the symlink sits in the output folder
        std::string target;      // what it points to
        const char* taken;       // the output the driver takes instead
    } cases[] = {
        {"png", "two", elsewhere, "two2"},
        {"txt", "two.txt", keptFile, "two2.txt"},
        {"txt", "two.txt", elsewhere + "/missing.txt", "two2.txt"},
        {"png", "two", elsewhere + "/missing", "two2"},
    };
    for (const Case& c : cases) {
        const std::string out = test::makeTempDir();
        fs::create_symlink(c.target, out + "/" + c.name);
        const RunResult r =
            runDriver(std::string("--to ") + c.type + " --out " + shellQuote(out) + " " + shellQuote(pdf));
        ASSERT_EQ(r.status, 0) << c.type << " " << c.target << "\n" << r.out << r.err;
        EXPECT_EQ(doneOutput(r.out), out + "/" + c.taken) << r.out;
        EXPECT_TRUE(fs::is_symlink(out + "/" + c.name));
        EXPECT_EQ(fs::read_symlink(out + "/" + c.name), c.target);
        EXPECT_EQ(namesIn(elsewhere), (std::vector<std::string>{"kept.txt"})) << c.type << " " << c.target;
        EXPECT_EQ(readFile(keptFile), "keep");
    }
}

TEST(RzconvertDriver, ReportLinesEscapeTabsLineBreaksAndBackslashes)
{
    const std::string name = "a\tb\nc\\d\x01.pdf";
    const std::string pdf = test::writeTempFile(pagesPdf(1), name);
    const std::string out = test::makeTempDir();
    const RunResult r = runDriver("--to txt --out " + shellQuote(out) + " " + shellQuote(pdf));
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const std::string dir = fs::path(pdf).parent_path().string();
    const std::string escapedPdf = dir + "/a\\tb\\nc\\\\d\\x01.pdf";
    const auto all = lines(r.out);
    ASSERT_EQ(all.size(), 4u) << r.out;  // start, page, saving, done
    const size_t expectedFields[] = {4, 6, 3, 4};
    for (size_t i = 0; i < all.size(); ++i) {
        const auto f = fields(all[i]);
        ASSERT_EQ(f.size(), expectedFields[i]) << all[i];
        EXPECT_EQ(f[1], escapedPdf) << all[i];
        EXPECT_EQ(unescaped(f[1]), pdf);
    }
    const std::string output = doneOutput(r.out);
    EXPECT_EQ(output, out + "/a\tb\nc\\d\x01.txt");
    EXPECT_TRUE(fs::exists(output));
}
