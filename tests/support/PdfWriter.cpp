#include "tests/support/PdfWriter.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <system_error>

#ifndef RZ_TEST_SOURCE_DIR
#define RZ_TEST_SOURCE_DIR ""
#endif

namespace rz::test {

namespace fs = std::filesystem;

int PdfWriter::reserve()
{
    const int n = next_++;
    objects_[n] = "null";
    return n;
}

int PdfWriter::add(const std::string& body)
{
    const int n = reserve();
    set(n, body);
    return n;
}

void PdfWriter::set(int number, const std::string& body)
{
    objects_[number] = body;
    if (number >= next_)
        next_ = number + 1;
}

int PdfWriter::addStream(const std::string& dictEntries, const std::string& data, bool flate)
{
    const int n = reserve();
    setStream(n, dictEntries, data, flate);
    return n;
}

void PdfWriter::setStream(int number, const std::string& dictEntries, const std::string& data,
                          bool flate)
{
    const std::string bytes = flate ? flateCompress(data) : data;
    std::string dict = "<< " + dictEntries;
    if (flate)
        dict += " /Filter /FlateDecode";
    dict += " /Length " + std::to_string(bytes.size()) + " >>";
    set(number, dict + "\nstream\n" + bytes + "\nendstream");
}

int PdfWriter::addRawStream(const std::string& fullDict, const std::string& rawData)
{
    return add(fullDict + "\nstream\n" + rawData + "\nendstream");
}

std::string PdfWriter::build(int root, int info, const std::string& trailerExtra,
                             const std::string& version) const
{
    std::string out = "%PDF-" + version + "\n%\xE2\xE3\xCF\xD3\n";
    const int count = next_;
    std::vector<size_t> offsets(size_t(count), 0);
    for (const auto& [num, body] : objects_) {
        offsets[size_t(num)] = out.size();
        out += std::to_string(num) + " 0 obj\n" + body + "\nendobj\n";
    }
    const size_t xref = out.size();
    out += "xref\n0 " + std::to_string(count) + "\n";
    out += "0000000000 65535 f \n";
    for (int i = 1; i < count; ++i) {
        char line[32];
        if (objects_.count(i))
            std::snprintf(line, sizeof line, "%010zu 00000 n \n", offsets[size_t(i)]);
        else
            std::snprintf(line, sizeof line, "%010d 65535 f \n", 0);
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(count) + " /Root " + std::to_string(root) + " 0 R";
    if (info)
        out += " /Info " + std::to_string(info) + " 0 R";
    if (!trailerExtra.empty())
        out += " " + trailerExtra;
    out += " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

std::string makePdf(const std::vector<PageFixture>& pages)
{
    PdfWriter w;
    const int catalog = w.reserve();
    const int tree = w.reserve();
    std::string kids;
    for (const PageFixture& p : pages) {
        const int contents = w.addStream("", p.content, p.flate);
        const int page = w.add("<< /Type /Page /Parent " + std::to_string(tree) +
                               " 0 R /MediaBox " + p.mediaBox + " /Resources " + p.resources +
                               " /Contents " + std::to_string(contents) + " 0 R " + p.extra +
                               " >>");
        kids += std::to_string(page) + " 0 R ";
    }
    w.set(tree, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) +
                    " >>");
    w.set(catalog, "<< /Type /Catalog /Pages " + std::to_string(tree) + " 0 R >>");
    return w.build(catalog);
}

std::string makePdf(const std::string& content, const std::string& resources)
{
    PageFixture p;
    p.content = content;
    p.resources = resources;
    return makePdf(std::vector<PageFixture>{p});
}

std::string flateCompress(const std::string& data)
{
    uLongf size = compressBound(uLong(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), uLong(data.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

namespace {

struct TempDirs {
    std::mutex mutex;
    std::vector<fs::path> dirs;
    ~TempDirs()
    {
        std::error_code ec;
        for (const auto& d : dirs)
            fs::remove_all(d, ec);
    }
};

TempDirs& tempDirs()
{
    static TempDirs t;
    return t;
}

} // namespace

std::string makeTempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "rztest-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    std::lock_guard lock(tempDirs().mutex);
    tempDirs().dirs.emplace_back(tmpl);
    return tmpl;
}

std::string writeTempFile(const std::string& bytes, const std::string& name)
{
    const fs::path p = fs::path(makeTempDir()) / name;
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    if (!f)
        throw std::runtime_error("cannot write " + p.string());
    return p.string();
}

std::string corpusDir()
{
    std::error_code ec;
    if (const char* env = std::getenv("RZ_CORPUS_DIR"); env && *env)
        return fs::is_directory(env, ec) ? env : "";
    const fs::path p = fs::path(RZ_TEST_SOURCE_DIR).parent_path() / "shared" / "corpus";
    return fs::is_directory(p, ec) ? p.lexically_normal().string() : "";
}

std::string fixturesDir()
{
    return (fs::path(RZ_TEST_SOURCE_DIR) / "tests" / "fixtures").string();
}

int runCommand(const std::string& command, std::string* out)
{
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) {
        if (out)
            out->append(buf, n);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace rz::test
