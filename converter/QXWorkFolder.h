// The work folder of one output file: a fresh folder under a temporary
// folder of its own, named after the destination, in which the output is
// assembled before it is moved into place. Removing it removes the
// temporary folder made for it too (when nothing else is in it); the
// folder goes with the object.
#pragma once

#include <functional>
#include <string>

namespace rz {

class QXWorkFolder {
public:
    QXWorkFolder() = default;
    ~QXWorkFolder();
    QXWorkFolder(const QXWorkFolder&) = delete;
    QXWorkFolder& operator=(const QXWorkFolder&) = delete;

    // Removes a previous folder, then makes a new one for `destination`.
    void create(const std::string& destination);
    // Removes the folder and everything in it; nothing when there is none.
    void remove();
    // The folder's path; empty when there is none.
    const std::string& path() const { return path_; }

    // Runs `build` on the folder (which writes the output into it and moves
    // the result to `destination`), then removes the folder. A failure
    // (an XML writer's or a file system's error, or none there being a
    // folder) removes the folder too and is raised as QXConversionException
    // naming `destination`; other exceptions pass on after the removal.
    void assemble(const std::string& destination, const std::function<void(const std::string& folder)>& build);

    // Moves a finished file to `destination` (copying when the two lie on
    // different file systems, so the destination never holds a partial
    // file); raises QXConversionException when it cannot.
    static void moveFileIntoPlace(const std::string& file, const std::string& destination);
    // Raises QXConversionException naming the destination and the reason.
    [[noreturn]] static void failWriting(const std::string& destination, const std::string& why);

private:
    std::string path_;
    std::string parent_;
};

} // namespace rz
