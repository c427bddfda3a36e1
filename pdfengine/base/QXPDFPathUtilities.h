// File-system paths of the engine: resources, unique output names and
// temporary files and folders. Temporary paths lie in the current job's
// temporary folder (TemporaryFolder::current(): the running conversion's
// own folder, removed when it ends), never under the home folder.
#pragma once

#include "platform/geometry/Path.h"

#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXPDFPathUtilities {
public:
    // The engine resource at "QXPDFParser/<resource>" under the resource
    // root: the last component names the resource, the rest its subfolder.
    // Empty when it does not exist, and for a name that could leave that
    // folder (an absolute path or a ".." component).
    static std::string PathInLibBundleForResource(const std::string& resource);
    static bool isDirectoryAtPath(const std::string& path);
    // "/a/b.png" -> "/a/b-<UUID>.png"; "/a/b" -> "/a/b-<UUID>".
    static std::string getUUIDPathBy(const std::string& path);
    // The path itself when free, else "/a/b2.docx", "/a/b3.docx", ...
    static std::string getNewPathby(const std::string& path);
    static bool createFolderIfNeed(const std::string& path);
    // "<tmp>/Temp-<UUID>" (not created), <tmp> being homeTmpFolder().
    static std::string tempFolder();
    // The same: the job's folder already lies in the system's temporary
    // folder.
    static std::string tempFolder0();
    // "<tmp>/IMG_<prefix>_<UUID>.<ext>" or "<tmp>/IMG_<UUID>.<ext>"; ext defaults to "PNG".
    static std::string tempIMG(const std::string& prefix, const std::string& pathExtension);
    // "<tmp>/<name>_<UUID>.<ext>" or "<tmp>/<UUID>.<ext>"; ext defaults to "unkonw".
    static std::string tempFile(const std::string& name, const std::string& pathExtension);
    static std::string tempFile();
    // The current job's temporary folder (TemporaryFolder::current()), which
    // exists: the running conversion's own, else the process's own.
    static std::string homeTmpFolder();
};

// One element of a path in its stored form: type 0 move, 1 line, 2 quadratic
// curve, 3 cubic curve, 4 close, with its points (control points first).
struct QXPathElementRecord {
    int type = 0;
    std::vector<Point> points;
    friend bool operator==(const QXPathElementRecord&, const QXPathElementRecord&) = default;
};

// A path as the render state keeps clip paths: a flag saying whether every
// element was recorded, then the elements in path order.
struct QXPathElementArray {
    bool complete = true;
    std::vector<QXPathElementRecord> elements;
    friend bool operator==(const QXPathElementArray&, const QXPathElementArray&) = default;
};

class QXPDFCGPathUtilities {
public:
    static std::optional<QXPathElementArray> NSArrayWithCGPath(const Path& path);
    // Nothing when an element has an unknown type or too few points.
    static std::optional<Path> CGPathWithNSArray(const QXPathElementArray& array);
    // A circle of diameter rect.width through the rectangle's edge midpoints,
    // every coordinate shifted by +0.5.
    static Path CreateCirclePathRefForRect(const Rect& rect);
};

} // namespace rz
