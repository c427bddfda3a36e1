// rzconvert on password-protected files: every output type, the text
// converters and the page renderer alike, opens with the password typed.
#include "tests/platform/pdf/PdfTestUtil.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace rz;
namespace fs = std::filesystem;

namespace {

// Passwords in these tests hold no single quote.
std::string shellQuoted(const std::string& s)
{
    return "'" + s + "'";
}

int runRzconvert(const std::string& args, std::string* log)
{
    return test::runCommand(std::string(RZCONVERT) + " " + args + " 2>&1", log);
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A one-page file with the words "Secret page", encrypted with AES-256
// (revision 6) under the user password `user` as the file stores it.
std::string secretPdf(const std::string& user)
{
    const std::string plain =
        test::makePdf("BT /F1 24 Tf 20 60 Td (Secret page) Tj ET",
                      "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>");
    return test::writeTempFile(pdftest::encryptPdf(plain, user, "the-owner", true, 6), "secret.pdf");
}

// Converts the file to each type with the password and checks that `words`
// (or, for a page image, a page of `pageSize` pixels at 72 dpi) came out.
void expectEveryTypeOpens(const std::string& pdf, const std::string& password, const std::string& what,
                          const std::string& words = "Secret", const std::string& pageSize = "612 792")
{
    const std::string stem = fs::path(pdf).stem().string();
    for (const std::string type : {"txt", "html", "rtf", "png"}) {
        SCOPED_TRACE(what + " to " + type);
        const std::string out = test::makeTempDir();
        std::string log;
        ASSERT_EQ(runRzconvert("--to " + type + " --dpi 72 --password " + shellQuoted(password) + " --out " +
                                   shellQuoted(out) + " " + shellQuoted(pdf),
                               &log),
                  0)
            << log;
        const std::string file = type == "png" ? out + "/" + stem + "/IMG_00001.png" : out + "/" + stem + "." + type;
        ASSERT_TRUE(fs::exists(file)) << log;
        if (type == "png") {
            std::string size;
            test::runCommand("identify -format '%w %h' " + shellQuoted(file) + " 2>/dev/null", &size);
            EXPECT_EQ(size, pageSize);
        } else {
            EXPECT_NE(fileText(file).find(words), std::string::npos) << fileText(file);
        }
    }
}

} // namespace

TEST(RzconvertPasswords, LongPasswordOpensEveryOutputType)
{
    // AES-256 reads the first 127 bytes of a password; what the user types
    // may be longer. The page renderer once overran its stack on a password
    // past 127 bytes while the text converters opened the file.
    struct Case {
        const char* name;
        std::string typed;
    } cases[] = {
        {"128 bytes", std::string(128, 'k')},
        {"300 bytes", "long-" + std::string(295, 'x')},
        // 127 bytes end inside a two-byte character.
        {"non-ASCII, 180 bytes", [] {
             std::string s;
             for (int i = 0; i < 90; ++i)
                 s += "\xC3\xA9";
             return s;
         }()},
    };
    for (const Case& c : cases) {
        // The file keeps the first 127 bytes, as a writer stores them (qpdf's
        // writer does not cut a longer password itself).
        const std::string pdf = secretPdf(c.typed.substr(0, 127));
        expectEveryTypeOpens(pdf, c.typed, c.name);

        // A wrong password of the same length is refused, for page images too.
        std::string wrong = c.typed;
        wrong[10] = '#';
        const std::string out = test::makeTempDir();
        std::string log;
        EXPECT_EQ(runRzconvert("--to png --password " + shellQuoted(wrong) + " --out " + shellQuoted(out) + " " +
                                   shellQuoted(pdf),
                               &log),
                  1)
            << c.name << "\n" << log;
        EXPECT_NE(log.find("failed\t" + pdf + "\terror=405"), std::string::npos) << c.name << "\n" << log;
    }
}

TEST(RzconvertPasswords, SaslPrepPasswordOpensEveryOutputType)
{
    // An AES-256 file holds its password prepared by SASLprep; the user types
    // it unprepared, and the page renderer needs the prepared form too.
    struct Case {
        const char* name;
        std::string stored, typed;
    } cases[] = {
        {"soft hyphen", "password", "pass\xC2\xADword"},
        {"feminine ordinal", "abc", "\xC2\xAA" "bc"},
    };
    for (const Case& c : cases)
        expectEveryTypeOpens(secretPdf(c.stored), c.typed, c.name);

    if (test::corpusDir().empty())
        GTEST_SKIP() << "no corpus";
    // A non-ASCII password that preparing leaves as it is.
    expectEveryTypeOpens(test::corpusDir() + "/passwords/pdfjs__issue6010_2.pdf", "\xC3\xA6\xC3\xB8\xC3\xA5",
                         "issue 6010", "Issue 6010", "200 50");
}
