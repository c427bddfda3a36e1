// Where the program's run-time data lives.
#pragma once

#include <filesystem>
#include <string>

namespace rz {

// The resource root: $RZ_RESOURCE_DIR when set, else "resources" beside the
// executable or one folder above it, else the source tree's resources folder.
const std::filesystem::path& resourceRoot();
// resourceRoot() / relative, or an empty path when nothing exists there.
std::filesystem::path resourcePath(const std::string& relative);
// The folder of the running executable.
std::filesystem::path executableDir();

} // namespace rz
