#include "platform/core/Resources.h"

#include <cstdlib>
#include <system_error>

#ifndef RZ_SOURCE_RESOURCE_DIR
#define RZ_SOURCE_RESOURCE_DIR ""
#endif

namespace rz {

namespace fs = std::filesystem;

fs::path executableDir()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fs::current_path(ec);
    return exe.parent_path();
}

const fs::path& resourceRoot()
{
    static const fs::path root = [] {
        std::error_code ec;
        if (const char* env = std::getenv("RZ_RESOURCE_DIR"); env && *env)
            return fs::path(env);
        const fs::path dir = executableDir();
        for (const fs::path& candidate : {dir / "resources", dir.parent_path() / "resources"}) {
            if (fs::is_directory(candidate, ec))
                return candidate;
        }
        return fs::path(RZ_SOURCE_RESOURCE_DIR);
    }();
    return root;
}

fs::path resourcePath(const std::string& relative)
{
    std::error_code ec;
    fs::path p = resourceRoot() / relative;
    if (!fs::exists(p, ec))
        return {};
    return p;
}

} // namespace rz
