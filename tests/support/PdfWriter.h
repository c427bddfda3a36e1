// A small writer of PDF files for test fixtures: numbered objects, streams
// (optionally Flate-compressed) and a correct cross-reference table, so a
// test can wrap a hand-written content stream in a PDF in a few lines.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace rz::test {

class PdfWriter {
public:
    // Reserves an object number to be filled later with set() or setStream().
    int reserve();
    // Adds an object whose body is PDF syntax ("<< /Type /Font ... >>", "[1 2]", "(x)").
    int add(const std::string& body);
    void set(int number, const std::string& body);
    // Adds a stream; `dictEntries` are the dictionary's entries without
    // /Length or /Filter (e.g. "/Subtype /Image /Width 2"); `flate`
    // compresses the data and adds /Filter /FlateDecode.
    int addStream(const std::string& dictEntries, const std::string& data, bool flate = false);
    void setStream(int number, const std::string& dictEntries, const std::string& data,
                   bool flate = false);
    // Adds a stream whose dictionary is written exactly as given (the
    // caller supplies /Length and /Filter); for damaged or odd streams.
    int addRawStream(const std::string& fullDict, const std::string& rawData);

    // The PDF bytes with the catalog `root` and optional Info object;
    // `trailerExtra` is added to the trailer dictionary (e.g. "/ID [...]").
    std::string build(int root, int info = 0, const std::string& trailerExtra = {},
                      const std::string& version = "1.7") const;

private:
    std::map<int, std::string> objects_;
    int next_ = 1;
};

// One page of a fixture document.
struct PageFixture {
    std::string content;                  // the content stream
    std::string resources = "<< >>";      // resources dictionary (PDF syntax)
    std::string mediaBox = "[0 0 612 792]";
    std::string extra;                    // more page entries, e.g. "/Rotate 90"
    bool flate = false;                   // compress the content stream
};

// A document of the given pages (catalog, page tree, pages, contents).
std::string makePdf(const std::vector<PageFixture>& pages);
// A one-page document around a content stream.
std::string makePdf(const std::string& content, const std::string& resources = "<< >>");

// Zlib-compresses bytes as FlateDecode expects.
std::string flateCompress(const std::string& data);

// Writes bytes to a new file in a fresh folder under the system temp folder
// and answers its path; the folder is removed at process exit.
std::string writeTempFile(const std::string& bytes, const std::string& name = "fixture.pdf");
// A fresh empty folder removed at process exit.
std::string makeTempDir();

// The shared corpus folder (RZ_CORPUS_DIR or ../shared/corpus beside the
// source tree); empty when it is not there.
std::string corpusDir();
// The project's tests/fixtures folder.
std::string fixturesDir();

// Runs a shell command and answers its exit status; stdout goes to `out`.
int runCommand(const std::string& command, std::string* out = nullptr);

} // namespace rz::test
