// Prints the version of the build and where its resources are found.
#include "platform/core/Numbers.h"
#include "platform/core/Resources.h"

#include <cstdio>

int main()
{
    rz::useCNumericLocale();
    std::printf("rzconverter %s\nresources: %s\n", RZ_VERSION, rz::resourceRoot().c_str());
    return 0;
}
