// The temporary folder of one job (a conversion): a fresh folder under the
// system's temporary folder ($TMPDIR when set, else /tmp), removed with
// everything in it when the object goes, whatever the job's outcome.
//
// While it lives it is its thread's current temporary folder: every
// temporary file and folder the engine makes (QXPDFPathUtilities) goes into
// the current one, so one object scoped to the job removes them all. Work
// outside any job (a test calling the engine directly, the inspector) uses a
// folder of the process's own, removed when the process exits.
#pragma once

#include <string>
#include <string_view>

namespace rz {

class TemporaryFolder {
public:
    // Creates "<system temp>/<prefix>-XXXXXX" and makes it this thread's
    // current temporary folder. When it cannot be created, path() is empty
    // and the current folder stays what it was.
    explicit TemporaryFolder(std::string_view prefix = "rz");
    // Removes the folder and everything in it; the thread's current folder
    // is again the one before. Destroy it on the thread that made it.
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }

    // The current thread's innermost job folder, else the process's own
    // (created on first use); the system's temporary folder itself only
    // when neither can be created. Never ends in "/".
    static std::string current();
    // The system's temporary folder: $TMPDIR when set, else /tmp; without
    // a trailing "/".
    static std::string systemFolder();

private:
    std::string path_;
    const TemporaryFolder* previous_ = nullptr;
};

} // namespace rz
