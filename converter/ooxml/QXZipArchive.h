// Packs the work folder of an Office Open XML package into a zip file
// through minizip: each file a deflated entry dated with its modification
// time, folders as the "/"-separated paths inside the entry names.
#pragma once

#include <string>
#include <string_view>

struct stat;

namespace rz {

class QXZipArchive {
public:
    QXZipArchive() = default;
    // Closes an archive that is still open.
    ~QXZipArchive();

    QXZipArchive(const QXZipArchive&) = delete;
    QXZipArchive& operator=(const QXZipArchive&) = delete;

    // Creates a new archive at `zipFile` (an existing file is replaced);
    // false when it cannot be created or another archive is open.
    bool CreateZipFile2(const std::string& zipFile);
    // Adds the regular file at `file` as the entry `newname`. False when no
    // archive is open, when the file cannot be read (nothing is added then)
    // and when any library call fails.
    bool addFileToZip(const std::string& file, const std::string& newname);
    // Adds `bytes` as the entry `newname`, dated now. False when no archive
    // is open and when any library call fails.
    bool addBytesToZip(std::string_view bytes, const std::string& newname);
    // Adds everything below the folder `folder` under "newname/": files in
    // name order, subfolders recursively (symbolic links are not followed
    // as folders); no entries for folders themselves. False at the first
    // item that fails and for a folder that cannot be listed.
    bool addFolderToZip(const std::string& folder, const std::string& newname);
    // Writes the central directory and closes the archive; false when that
    // fails or no archive is open.
    bool CloseZipFile2();

    bool isOpen() const { return zipFile_ != nullptr; }

private:
    // Opens the entry `newname` for `size` bytes dated `date`.
    bool openEntry(const std::string& newname, const struct stat& date, unsigned long long size);
    bool addFolderToZip(const std::string& folder, const std::string& newname, int depth);

    void* zipFile_ = nullptr;
};

} // namespace rz
