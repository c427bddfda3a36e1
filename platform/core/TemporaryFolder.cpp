#include "platform/core/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <unistd.h>

namespace rz {

namespace fs = std::filesystem;

namespace {

thread_local const TemporaryFolder* tCurrent = nullptr;

// A new folder "<system temp>/<prefix>-XXXXXX" (mode 0700); empty when it
// cannot be made.
std::string makeFolder(std::string_view prefix)
{
    std::string pattern = TemporaryFolder::systemFolder() + "/" + std::string(prefix) + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
}

// The folder of work done outside any job, removed at exit.
class ProcessFolder {
public:
    const std::string& path()
    {
        std::call_once(once_, [this] { path_ = makeFolder("rz-" + std::to_string(::getpid())); });
        return path_;
    }
    ~ProcessFolder()
    {
        if (path_.empty())
            return;
        std::error_code ec;
        fs::remove_all(path_, ec);
    }

private:
    std::once_flag once_;
    std::string path_;
};

ProcessFolder& processFolder()
{
    static ProcessFolder folder;
    return folder;
}

} // namespace

TemporaryFolder::TemporaryFolder(std::string_view prefix) : path_(makeFolder(prefix))
{
    if (path_.empty())
        return;
    previous_ = tCurrent;
    tCurrent = this;
}

TemporaryFolder::~TemporaryFolder()
{
    if (path_.empty())
        return;
    if (tCurrent == this)
        tCurrent = previous_;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TemporaryFolder::current()
{
    if (tCurrent != nullptr)
        return tCurrent->path_;
    const std::string& own = processFolder().path();
    return own.empty() ? systemFolder() : own;
}

std::string TemporaryFolder::systemFolder()
{
    std::error_code ec;
    std::string base = fs::temp_directory_path(ec).string();
    if (ec || base.empty())
        base = "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base;
}

} // namespace rz
