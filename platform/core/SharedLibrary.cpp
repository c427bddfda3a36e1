#include "platform/core/SharedLibrary.h"

#include <dlfcn.h>

namespace rz {

SharedLibrary::SharedLibrary(const std::string& file) : handle_(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

void* SharedLibrary::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

} // namespace rz
