// Registers the exporters of every output format with the converter.
#pragma once

namespace rz {

// Safe to call more than once; programs call it at start.
void registerStandardExporters();

} // namespace rz
