#include "exporters/StandardExporters.h"

#include "converter/QXRUZIzevudara.h"

#include <mutex>

namespace rz {

void registerStandardExporters()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Each output format adds its factory here as it is built.
    });
}

} // namespace rz
