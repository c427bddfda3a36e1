// Pictures a page makes (clipped images, rendered shadings and patterns)
// kept in memory under the temporary file name they are given, rather than
// written at once: many are merged into a larger picture before their page
// is written and then never need a file, and a merge reads the held pixels
// without decoding a file. A held picture is written to its file when a
// reader that only takes files asks for it, and when its page is written
// and the package still refers to it; the others are dropped then.
//
// Pictures are held per owner (the document writer), so documents that are
// converted at the same time never touch each other's pictures. An owner
// holds a bounded number of bytes; a picture beyond that is written at once.
#pragma once

#include "platform/image/Image.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXDocxHeldImages {
public:
    // The pixel bytes one owner holds at most before pictures are written
    // at once.
    static constexpr std::size_t kMaxHeldBytes = std::size_t{16} << 20;

    // Gives `image` a new temporary PNG file name and holds it for `owner`
    // (written at once when the owner holds too much already, or when there
    // is no owner); nothing when the image is empty or could not be written.
    static std::optional<std::string> hold(const void* owner, const Image& image);
    // The picture of `path`: the held one, else the file's.
    static std::optional<Image> read(const std::string& path);
    // Writes a held picture to its file and stops holding it; true when the
    // file is there (also when the picture was not held).
    static bool writeOut(const std::string& path);
    // Ends what `owner` holds: the pictures `keep` answers true for are
    // written to their files, the others dropped. Answers the paths that
    // should have been written and could not be.
    static std::vector<std::string> release(const void* owner,
                                            const std::function<bool(const std::string&)>& keep);
    // Whether `path` is held.
    static bool isHeld(const std::string& path);
};

} // namespace rz
