// A source document opened before its conversion starts (to list its pages,
// say), handed to that conversion with its start request so that the file
// is not read again.
#pragma once

#include "converter/QXError.h"
#include "platform/pdf/PdfDocument.h"

#include <memory>
#include <optional>

namespace rz {

struct QXOpenedPDFDocument {
    // Open and unlocked, with at least one page, when `error` is empty.
    std::shared_ptr<pdf::Document> document;
    // Why the file could not be opened (404 or 405): the conversion ends
    // with it without reading the file.
    std::optional<QXError> error;
};

} // namespace rz
