// rzconvert on documents that open only with a password, or not at all, or
// give no page: every file ends as the exit status and the output folder say.
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace rz;
namespace fs = std::filesystem;

namespace rzconvert_documents {

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

int runDriver(const std::string& args, std::string* out)
{
    return test::runCommand(std::string(RZCONVERT) + " " + args + " 2>&1", out);
}

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        names.push_back(fs::relative(e.path(), dir).string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Lines of the log that start with `prefix`.
size_t countLines(const std::string& log, const std::string& prefix)
{
    size_t n = 0;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        n += line.rfind(prefix, 0) == 0;
    return n;
}

// The rows of a tab-separated table with a header line, by column name.
std::vector<std::map<std::string, std::string>> readTable(const std::string& path)
{
    std::vector<std::map<std::string, std::string>> rows;
    std::ifstream in(path);
    auto split = [](const std::string& line) {
        std::vector<std::string> cells;
        std::istringstream s(line);
        for (std::string cell; std::getline(s, cell, '\t');)
            cells.push_back(cell);
        return cells;
    };
    std::string line;
    if (!std::getline(in, line))
        return rows;
    const auto header = split(line);
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        const auto cells = split(line);
        std::map<std::string, std::string> row;
        for (size_t i = 0; i < header.size(); ++i)
            row[header[i]] = i < cells.size() ? cells[i] : "";
        rows.push_back(std::move(row));
    }
    return rows;
}

bool isCount(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// A password given in the table ("-" none, "?" unknown).
std::optional<std::string> givenPassword(const std::string& cell)
{
    if (cell.empty() || cell == "-" || cell == "?")
        return std::nullopt;
    return cell;
}

// Files whose only text is drawn by an annotation's appearance, which the
// text formats leave out: their pages convert into empty text.
const char* const kTextOnlyInAnnotations[] = {"pdfbox__PasswordSample-128bit.pdf"};

std::string onePageFixture()
{
    test::PageFixture p;
    p.content = "BT /F1 12 Tf 20 60 Td (Readable) Tj ET";
    p.resources = "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>";
    return test::writeTempFile(test::makePdf({p}), "onepage.pdf");
}

// Opens, but its page tree holds no page that can be read: its one kid is a number.
std::string pagelessFixture()
{
    test::PdfWriter w;
    const int pages = w.reserve();
    const int root = w.add("<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
    const int kid = w.add("42");
    w.set(pages, "<< /Type /Pages /Kids [" + std::to_string(kid) + " 0 R] /Count 1 >>");
    return test::writeTempFile(w.build(root), "pageless.pdf");
}

// Every row of the password table, tried with no password, a wrong one, the
// user and the owner password: a file that opens converts every page into
// text; one that does not ends with 405 and leaves nothing behind.
TEST(RzconvertDocuments, EveryPasswordFileOpensOrIsRefusedAsItsRowSays)
{
    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    const std::string folder = test::corpusDir() + "/passwords";
    const auto rows = readTable(folder + "/PASSWORDS.tsv");
    ASSERT_GE(rows.size(), 10u);

    // The plain twin's text, which the decrypted pypdf files must give.
    std::map<std::string, std::string> twinText;
    auto textOf = [&](const std::string& file) -> const std::string& {
        auto it = twinText.find(file);
        if (it == twinText.end()) {
            const std::string out = test::makeTempDir();
            std::string log;
            EXPECT_EQ(runDriver("--to txt --out " + quoted(out) + " " + quoted(folder + "/" + file), &log), 0)
                << log;
            it = twinText.emplace(file, readFile(out + "/" + fs::path(file).stem().string() + ".txt")).first;
        }
        return it->second;
    };

    int refused = 0, opened = 0;
    for (const auto& row : rows) {
        const std::string file = row.at("file");
        const std::string pdf = folder + "/" + file;
        ASSERT_TRUE(fs::exists(pdf)) << pdf;
        // A page count means readers open the file; "pdfinfo-fail" that none does.
        const bool openable = isCount(row.at("pages"));
        const bool encrypted = row.at("encrypted") == "yes";
        const bool needsPassword = row.at("needs_password") == "yes";
        struct Try {
            const char* name;
            std::optional<std::string> password;
            bool opens;
        };
        std::vector<Try> tries = {
            {"no password", std::nullopt, openable && !needsPassword},
            // A file that is not encrypted has nothing a password could unlock.
            {"wrong password", std::string("not-the-password"), openable && !encrypted},
        };
        if (const auto user = givenPassword(row.at("user_password")))
            tries.push_back({"user password", user, openable});
        if (const auto owner = givenPassword(row.at("owner_password")))
            tries.push_back({"owner password", owner, openable});

        for (const Try& t : tries) {
            SCOPED_TRACE(file + ", " + t.name);
            const std::string out = test::makeTempDir();
            std::string args = "--to txt --out " + quoted(out) + " ";
            if (t.password)
                args += "--password " + quoted(*t.password) + " ";
            std::string log;
            const int status = runDriver(args + quoted(pdf), &log);
            if (!t.opens) {
                ++refused;
                EXPECT_EQ(status, 1) << log;
                EXPECT_NE(log.find("failed\t" + pdf + "\terror=405\tCan't load the PDF Document."), std::string::npos)
                    << log;
                EXPECT_EQ(log.find("done\t"), std::string::npos) << log;
                EXPECT_TRUE(filesIn(out).empty()) << log;
                continue;
            }
            ++opened;
            EXPECT_EQ(status, 0) << log;
            const std::string name = fs::path(file).stem().string() + ".txt";
            ASSERT_EQ(filesIn(out), (std::vector<std::string>{name})) << log;
            // Every page of the document was converted.
            EXPECT_EQ(std::to_string(countLines(log, "page\t")), row.at("pages")) << log;
            EXPECT_NE(log.find("done\t" + pdf), std::string::npos) << log;
            const std::string text = readFile(out + "/" + name);
            const std::string check = row.at("text_check(pdftotext)");
            // "=twin X": the text equals plain X's, when X is in the corpus.
            const size_t at = check.find("=twin ");
            const std::string twin = at == std::string::npos ? "" : check.substr(at + 6);
            if (!twin.empty() && fs::exists(folder + "/" + twin)) {
                EXPECT_EQ(text, textOf(twin)) << log;
            } else if (std::none_of(std::begin(kTextOnlyInAnnotations), std::end(kTextOnlyInAnnotations),
                                    [&](const char* f) { return file == f; })) {
                EXPECT_NE(text.find_first_not_of(" \n\f"), std::string::npos) << "no text";
            }
        }
    }
    // The table holds both kinds; a change to it that lost one would show here.
    EXPECT_GE(refused, 16);
    EXPECT_GE(opened, 14);
}

TEST(RzconvertDocuments, ADocumentWithoutAReadablePageEndsWithAnErrorAndNoOutput)
{
    const std::string pdf = pagelessFixture();
    for (const char* type : {"txt", "png"}) {
        SCOPED_TRACE(type);
        const std::string out = test::makeTempDir();
        std::string log;
        EXPECT_EQ(runDriver(std::string("--to ") + type + " --out " + quoted(out) + " " + quoted(pdf), &log), 1)
            << log;
        EXPECT_NE(log.find("failed\t" + pdf + "\terror=405\tCan't load the PDF Document."), std::string::npos) << log;
        EXPECT_TRUE(filesIn(out).empty()) << log;
        // Asked for by number, the page is no more readable.
        EXPECT_EQ(runDriver(std::string("--to ") + type + " --pages 1 --out " + quoted(out) + " " + quoted(pdf), &log),
                  1)
            << log;
        EXPECT_TRUE(filesIn(out).empty()) << log;
    }
}

// A list naming no page of the document is the user's mistake, refused
// before anything is written (the converter's own rule for a file whose
// requested pages all fail is tested with the converter); one page of two
// failing leaves the output and ends with status 2.
TEST(RzconvertDocuments, PagesOutsideTheDocumentLeaveNothingOrOnlyTheirPagesFail)
{
    const std::string pdf = onePageFixture();
    for (const char* type : {"txt", "png"}) {
        SCOPED_TRACE(type);
        const std::string out = test::makeTempDir();
        std::string log;
        EXPECT_EQ(runDriver(std::string("--to ") + type + " --pages 2,3 --out " + quoted(out) + " " + quoted(pdf), &log),
                  64)
            << log;
        EXPECT_EQ(log.find("page\t"), std::string::npos) << log;
        EXPECT_TRUE(filesIn(out).empty()) << log;
        EXPECT_EQ(runDriver(std::string("--to ") + type + " --pages 2,1 --out " + quoted(out) + " " + quoted(pdf), &log),
                  2)
            << log;
        EXPECT_NE(log.find("page-failed\t" + pdf + "\tpdf-page=2\terror=401\tOut of PDF Page Range(2)"),
                  std::string::npos)
            << log;
        EXPECT_FALSE(filesIn(out).empty()) << log;
    }
}

} // namespace rzconvert_documents
