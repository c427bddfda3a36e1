// The image files of one document: each image stream is extracted the
// first time it is asked for and its file reused afterwards, so an image
// drawn on many pages (or many times on one) is decoded once, and an image
// never drawn never is. The files live in a folder of the cache's own, which
// the cache removes when it goes: give each conversion one cache and keep
// it until the exporters are done with the files.
//
// Streams are told apart by the file that holds them and their object
// number and generation: an inline image is an object of the scan that read
// it, so inline images of different scans never share a file. A direct
// stream (no object number) is extracted at every request. A failed
// extraction is remembered as well and not tried again.
#pragma once

#include "platform/pdf/PdfObject.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

namespace rz {

class QXPDFImageCache {
public:
    // Files go into a new folder "Temp-<UUID>" in the current job's
    // temporary folder (QXPDFPathUtilities::tempFolder()), created with the
    // first file.
    QXPDFImageCache();
    // Files go into `folder`, created with the first file; the cache
    // removes it (and everything in it) when it goes.
    explicit QXPDFImageCache(std::string folder);
    ~QXPDFImageCache();
    QXPDFImageCache(const QXPDFImageCache&) = delete;
    QXPDFImageCache& operator=(const QXPDFImageCache&) = delete;

    // The file holding the image of `stream` (extractPDFStream with
    // kQXPDFImageJPEGQuality, not as a mask), extracted on the first
    // request; nothing when the stream is not an image that extracts.
    // `colorSpaces` is the /ColorSpace resource dictionary (or null) for
    // colour-space names that are not device names.
    std::optional<std::string> cachedImagePath(const pdf::Object& stream,
                                               const pdf::Object& colorSpaces = pdf::Object());

    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    std::mutex mutex_;
    struct Entry {
        // The holder of the object: an entry whose holder is gone is stale
        // (its address may since hold another file).
        std::weak_ptr<const void> owner;
        // The file, or nothing after a failure.
        std::optional<std::string> path;
    };
    // By (holder, object number, generation).
    std::map<std::tuple<const void*, int, int>, Entry> files_;
};

} // namespace rz
