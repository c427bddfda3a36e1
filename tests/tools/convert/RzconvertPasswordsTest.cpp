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

// Where rzconvert puts the output of `type` for secret.pdf.
std::string outputFile(const std::string& out, const std::string& type)
{
    return type == "png" ? out + "/secret/IMG_00001.png" : out + "/secret." + type;
}

// Converts secret.pdf to each type with the password and checks that the
// words (or, for a page image, a page of the right size) came out.
void expectEveryTypeOpens(const std::string& pdf, const std::string& password, const std::string& what)
{
    for (const std::string type : {"txt", "html", "rtf", "png"}) {
        SCOPED_TRACE(what + " to " + type);
        const std::string out = test::makeTempDir();
        std::string log;
        ASSERT_EQ(runRzconvert("--to " + type + " --dpi 72 --password " + shellQuoted(password) + " --out " +
                                   shellQuoted(out) + " " + shellQuoted(pdf),
                               &log),
                  0)
            << log;
        const std::string file = outputFile(out, type);
        ASSERT_TRUE(fs::exists(file)) << log;
        if (type == "png") {
            std::string size;
            test::runCommand("identify -format '%w %h' " + shellQuoted(file) + " 2>/dev/null", &size);
            EXPECT_EQ(size, "612 792");
        } else {
            EXPECT_NE(fileText(file).find("Secret"), std::string::npos) << fileText(file);
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
