#include "pdfengine/base/QXPDFPathUtilities.h"

#include "platform/core/Resources.h"
#include "platform/core/TemporaryFolder.h"
#include "platform/core/Uuid.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace rz {

namespace fs = std::filesystem;

namespace {

// The path without its extension and the extension, split as the last "."
// of the last component.
std::pair<std::string, std::string> splitExtension(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return {path, {}};
    return {path.substr(0, dot), path.substr(dot + 1)};
}

bool exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// Adds a circular arc from the current point tangent to the two lines
// through `corner`, ending on the line towards `to`.
void addArcToPoint(Path& path, Point corner, Point to, double radius)
{
    const Point from = path.currentPoint();
    const double v1x = from.x - corner.x, v1y = from.y - corner.y;
    const double v2x = to.x - corner.x, v2y = to.y - corner.y;
    const double l1 = std::hypot(v1x, v1y), l2 = std::hypot(v2x, v2y);
    if (l1 == 0 || l2 == 0 || radius <= 0) {
        path.lineTo(corner);
        return;
    }
    const double cosA = (v1x * v2x + v1y * v2y) / (l1 * l2);
    const double angle = std::acos(std::clamp(cosA, -1.0, 1.0));
    const double dist = radius / std::tan(angle / 2);
    const Point t1{corner.x + v1x / l1 * dist, corner.y + v1y / l1 * dist};
    const Point t2{corner.x + v2x / l2 * dist, corner.y + v2y / l2 * dist};
    path.lineTo(t1);
    // A quarter circle is drawn as one cubic with the usual constant.
    const double k = 4.0 / 3.0 * std::tan((M_PI - angle) / 4);
    const Point c1{t1.x - v1x / l1 * dist * k, t1.y - v1y / l1 * dist * k};
    const Point c2{t2.x - v2x / l2 * dist * k, t2.y - v2y / l2 * dist * k};
    path.curveTo(c1, c2, t2);
}

} // namespace

std::string QXPDFPathUtilities::PathInLibBundleForResource(const std::string& resource)
{
    // The name stays inside the engine's folder: no absolute path, no "..".
    const fs::path relative(resource);
    if (resource.empty() || relative.has_root_path())
        return {};
    for (const fs::path& component : relative) {
        if (component == "..")
            return {};
    }
    const fs::path p = resourceRoot() / "QXPDFParser" / relative;
    std::error_code ec;
    if (!fs::exists(p, ec))
        return {};
    return p.string();
}

bool QXPDFPathUtilities::isDirectoryAtPath(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string QXPDFPathUtilities::getUUIDPathBy(const std::string& path)
{
    const auto [stem, ext] = splitExtension(path);
    if (ext.empty())
        return stem + "-" + makeUuidString();
    return stem + "-" + makeUuidString() + "." + ext;
}

std::string QXPDFPathUtilities::getNewPathby(const std::string& path)
{
    if (!exists(path))
        return path;
    const auto [stem, ext] = splitExtension(path);
    std::string candidate = path;
    for (long n = 2; n <= 99999999; ++n) {
        candidate = ext.empty() ? stem + std::to_string(n) : stem + std::to_string(n) + "." + ext;
        if (!exists(candidate))
            return candidate;
    }
    return candidate;
}

bool QXPDFPathUtilities::createFolderIfNeed(const std::string& path)
{
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return true;
    fs::create_directories(path, ec);
    return !ec && fs::is_directory(path, ec);
}

std::string QXPDFPathUtilities::homeTmpFolder()
{
    return TemporaryFolder::current();
}

std::string QXPDFPathUtilities::tempFolder()
{
    return homeTmpFolder() + "/Temp-" + makeUuidString();
}

std::string QXPDFPathUtilities::tempFolder0()
{
    return homeTmpFolder() + "/Temp-" + makeUuidString();
}

std::string QXPDFPathUtilities::tempIMG(const std::string& prefix, const std::string& pathExtension)
{
    const std::string ext = pathExtension.empty() ? "PNG" : pathExtension;
    if (prefix.empty())
        return homeTmpFolder() + "/IMG_" + makeUuidString() + "." + ext;
    return homeTmpFolder() + "/IMG_" + prefix + "_" + makeUuidString() + "." + ext;
}

std::string QXPDFPathUtilities::tempFile(const std::string& name, const std::string& pathExtension)
{
    const std::string ext = pathExtension.empty() ? "unkonw" : pathExtension;
    if (name.empty())
        return homeTmpFolder() + "/" + makeUuidString() + "." + ext;
    return homeTmpFolder() + "/" + name + "_" + makeUuidString() + "." + ext;
}

std::string QXPDFPathUtilities::tempFile()
{
    return tempFile("Temp", "PNG");
}

std::optional<QXPathElementArray> QXPDFCGPathUtilities::NSArrayWithCGPath(const Path& path)
{
    QXPathElementArray out;
    out.elements.reserve(path.elements().size());
    for (const PathElement& e : path.elements()) {
        QXPathElementRecord r;
        r.type = static_cast<int>(e.type);
        r.points.assign(e.points.begin(), e.points.begin() + pointCount(e.type));
        out.elements.push_back(std::move(r));
    }
    return out;
}

std::optional<Path> QXPDFCGPathUtilities::CGPathWithNSArray(const QXPathElementArray& array)
{
    Path path;
    for (const QXPathElementRecord& r : array.elements) {
        if (r.type < 0 || r.type > 4)
            return std::nullopt;
        const auto type = static_cast<PathElementType>(r.type);
        const int n = pointCount(type);
        if (int(r.points.size()) < n)
            return std::nullopt;
        PathElement e{type, {}};
        for (int i = 0; i < n; ++i)
            e.points[size_t(i)] = r.points[size_t(i)];
        path.addElement(e);
    }
    return path;
}

Path QXPDFCGPathUtilities::CreateCirclePathRefForRect(const Rect& rect)
{
    const Rect r = rect.offsetBy(0.5, 0.5);
    const double radius = r.width() / 2;
    Path path;
    path.moveTo({r.midX(), r.maxY()});
    addArcToPoint(path, {r.maxX(), r.maxY()}, {r.maxX(), r.midY()}, radius);
    addArcToPoint(path, {r.maxX(), r.minY()}, {r.midX(), r.minY()}, radius);
    addArcToPoint(path, {r.minX(), r.minY()}, {r.minX(), r.midY()}, radius);
    addArcToPoint(path, {r.minX(), r.maxY()}, {r.midX(), r.maxY()}, radius);
    path.closeSubpath();
    return path;
}

} // namespace rz
