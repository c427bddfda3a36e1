#include "pdfengine/fonts/QXPDFMapTool.h"

#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/fonts/FontLimits.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace rz {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxResourceNameLength = 128;

// Collection folders of the installed poppler-data CMaps, sorted, found once.
const std::vector<fs::path>& popplerCMapFolders()
{
    static const std::vector<fs::path> folders = [] {
        std::vector<fs::path> result;
        std::error_code ec;
        for (const char* root : {"/usr/share/poppler/cMap", "/usr/local/share/poppler/cMap"}) {
            if (!fs::is_directory(root, ec))
                continue;
            for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
                if (it->is_directory(ec))
                    result.push_back(it->path());
            }
            ec.clear();
        }
        std::sort(result.begin(), result.end());
        return result;
    }();
    return folders;
}

bool isRegularFile(const fs::path& p)
{
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

std::optional<std::string> readResourceFile(const std::string& path)
{
    if (path.empty())
        return std::nullopt;
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kMaxCMapFileSize)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string data(static_cast<size_t>(size), '\0');
    in.read(data.data(), static_cast<std::streamsize>(size));
    data.resize(static_cast<size_t>(in.gcount()));
    return data;
}

} // namespace

bool QXPDFMapTool::isPlainResourceName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxResourceNameLength || name == "." || name == "..")
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '/' || c == '\\')
            return false;
    }
    return true;
}

std::string QXPDFMapTool::PathForEncodingResource(std::string_view resource)
{
    constexpr std::string_view kPrefix = "PDFEncodings/";
    if (resource.substr(0, kPrefix.size()) != kPrefix)
        return {};
    const std::string_view rest = resource.substr(kPrefix.size());
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos)
        return {};
    const std::string_view kind = rest.substr(0, slash);
    const std::string_view name = rest.substr(slash + 1);
    if ((kind != "CMap" && kind != "CIDToUnicode") || !isPlainResourceName(name))
        return {};

    const std::string bundled = QXPDFPathUtilities::PathInLibBundleForResource(std::string(resource));
    if (!bundled.empty() && isRegularFile(bundled))
        return bundled;
    for (const fs::path& folder : popplerCMapFolders()) {
        const fs::path candidate = folder / std::string(name);
        if (isRegularFile(candidate))
            return candidate.string();
    }
    return {};
}

std::optional<std::string> QXPDFMapTool::FindToUnicodeFile(std::string_view region)
{
    static constexpr std::string_view kRegions[] = {"Adobe-CNS1", "Adobe-GB1", "Adobe-Japan1",
                                                    "Adobe-Korea1"};
    if (std::find(std::begin(kRegions), std::end(kRegions), region) == std::end(kRegions))
        return std::nullopt;
    return readResourceFile(
        PathForEncodingResource("PDFEncodings/CIDToUnicode/" + std::string(region) + "-UCS2"));
}

std::optional<std::string> QXPDFMapTool::FindCMapFile(std::string_view /*collection*/,
                                                      std::string_view cMapName)
{
    return readResourceFile(PathForEncodingResource("PDFEncodings/CMap/" + std::string(cMapName)));
}

} // namespace rz
