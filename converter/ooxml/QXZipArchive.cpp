#include "converter/ooxml/QXZipArchive.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <vector>
#include <zip.h>
#include <zlib.h>

namespace rz {

namespace {

namespace fs = std::filesystem;

// Folders nested deeper than this below the folder given are refused.
constexpr int kMaxFolderDepth = 64;
// Bytes read from a file and handed to the compressor at a time: small
// enough to come from the heap (a larger buffer is mapped afresh for every
// file, and its pages faulted in again).
constexpr size_t kCopyChunkSize = 64 * 1024;
// Entries of 4 GiB or more need the zip64 extensions.
constexpr unsigned long long kZip64Threshold = 0xFFFFFFFFull;
// General purpose flag 11: the entry name is UTF-8.
constexpr unsigned long kUtf8NameFlag = 1ul << 11;
// The range of dates an entry can hold.
constexpr int kFirstDosYear = 1980;
constexpr int kLastDosYear = 2107;

zipFile handle(void* p)
{
    return static_cast<zipFile>(p);
}

// The entry date: the modification time split in the local calendar; all
// fields 0 when it cannot be split. Dates outside the zip format's range
// are clamped to its ends.
tm_zip modificationDate(const struct stat& info)
{
    tm_zip date{};
    const time_t seconds = info.st_mtime;
    struct tm local{};
    if (localtime_r(&seconds, &local) == nullptr)
        return date;
    const int year = local.tm_year + 1900;
    if (year < kFirstDosYear) {
        date.tm_mday = 1;
        date.tm_year = kFirstDosYear;
        return date;
    }
    if (year > kLastDosYear) {
        date.tm_sec = 58;
        date.tm_min = 59;
        date.tm_hour = 23;
        date.tm_mday = 31;
        date.tm_mon = 11;
        date.tm_year = kLastDosYear;
        return date;
    }
    date.tm_sec = static_cast<uInt>(local.tm_sec);
    date.tm_min = static_cast<uInt>(local.tm_min);
    date.tm_hour = static_cast<uInt>(local.tm_hour);
    date.tm_mday = static_cast<uInt>(local.tm_mday);
    date.tm_mon = static_cast<uInt>(local.tm_mon);
    date.tm_year = static_cast<uInt>(year);
    return date;
}

bool isAscii(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

QXZipArchive::~QXZipArchive()
{
    CloseZipFile2();
}

bool QXZipArchive::CreateZipFile2(const std::string& zipFile)
{
    if (zipFile_ != nullptr)
        return false;
    zipFile_ = zipOpen64(zipFile.c_str(), APPEND_STATUS_CREATE);
    return zipFile_ != nullptr;
}

bool QXZipArchive::CloseZipFile2()
{
    if (zipFile_ == nullptr)
        return false;
    const int result = zipClose(handle(zipFile_), nullptr);
    zipFile_ = nullptr;
    return result == ZIP_OK;
}

bool QXZipArchive::addFileToZip(const std::string& file, const std::string& newname)
{
    if (zipFile_ == nullptr)
        return false;

    // Only a regular file (or a link to one) is read: a folder cannot be,
    // and a pipe or device could block or never end.
    struct stat info{};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
    if (!in)
        return false;

    if (!openEntry(newname, info, static_cast<unsigned long long>(info.st_size)))
        return false;

    bool ok = true;
    // Not zeroed: every byte handed on is read first.
    const std::unique_ptr<char[]> chunk(new char[kCopyChunkSize]);
    for (;;) {
        const size_t n = std::fread(chunk.get(), 1, kCopyChunkSize, in.get());
        if (n > 0 && zipWriteInFileInZip(handle(zipFile_), chunk.get(), static_cast<unsigned>(n)) != ZIP_OK) {
            ok = false;
            break;
        }
        if (n < kCopyChunkSize) {
            ok = std::ferror(in.get()) == 0;
            break;
        }
    }
    const bool closed = zipCloseFileInZip(handle(zipFile_)) == ZIP_OK;
    return ok && closed;
}

bool QXZipArchive::openEntry(const std::string& newname, const struct stat& date, unsigned long long size)
{
    zip_fileinfo entryInfo{};
    entryInfo.tmz_date = modificationDate(date);
    entryInfo.dosDate = 0;  // the library derives it from tmz_date
    entryInfo.internal_fa = 0;
    entryInfo.external_fa = 0;

    const bool zip64 = size >= kZip64Threshold;
    return zipOpenNewFileInZip4_64(handle(zipFile_), newname.c_str(), &entryInfo, nullptr, 0, nullptr, 0, nullptr,
                                   Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr,
                                   0, 0, isAscii(newname) ? 0 : kUtf8NameFlag, zip64 ? 1 : 0) == ZIP_OK;
}

bool QXZipArchive::addBytesToZip(std::string_view bytes, const std::string& newname)
{
    if (zipFile_ == nullptr)
        return false;
    struct stat now{};
    now.st_mtime = std::time(nullptr);
    if (!openEntry(newname, now, bytes.size()))
        return false;
    bool ok = true;
    // The library takes at most 4 GiB a call.
    for (size_t at = 0; at < bytes.size() && ok; at += kCopyChunkSize) {
        const size_t n = std::min(kCopyChunkSize, bytes.size() - at);
        ok = zipWriteInFileInZip(handle(zipFile_), bytes.data() + at, static_cast<unsigned>(n)) == ZIP_OK;
    }
    const bool closed = zipCloseFileInZip(handle(zipFile_)) == ZIP_OK;
    return ok && closed;
}

bool QXZipArchive::addFolderToZip(const std::string& folder, const std::string& newname)
{
    return addFolderToZip(folder, newname, 0);
}

bool QXZipArchive::addFolderToZip(const std::string& folder, const std::string& newname, int depth)
{
    if (zipFile_ == nullptr || depth > kMaxFolderDepth)
        return false;

    std::error_code error;
    std::vector<std::string> names;
    fs::directory_iterator it(folder, error);
    if (error)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return false;
        names.push_back(it->path().filename().string());
    }
    if (error)
        return false;
    std::sort(names.begin(), names.end());

    const std::string prefix = newname + "/";
    for (const std::string& name : names) {
        const std::string itemPath = folder + "/" + name;
        const std::string entryName = prefix + name;
        const fs::file_status status = fs::symlink_status(itemPath, error);
        if (error)
            return false;
        const bool ok = fs::is_directory(status) ? addFolderToZip(itemPath, entryName, depth + 1)
                                                 : addFileToZip(itemPath, entryName);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace rz
