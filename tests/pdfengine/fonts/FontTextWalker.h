// Test helper: walks the text-showing operators of a page (Tf, Tj, ', ",
// TJ, and forms drawn with Do) and decodes every shown string through the
// fonts of the page's /Font resources.
#pragma once

#include "pdfengine/fonts/QXPDFFont.h"
#include "platform/pdf/ContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rz::test {

struct WalkedPage {
    // Decoded text (UTF-8); text objects and TJ gaps wider than a fifth of
    // an em are separated by a space.
    std::string text;
    // Fonts made, by resource name (nullptr where the factory gave none).
    std::map<std::string, std::shared_ptr<QXPDFFont>> fonts;
    // Characters decoded, and the sum of their advances (dx).
    size_t characters = 0;
    double advance = 0;
    bool scanned = false;
};

WalkedPage walkPageText(const pdf::Page& page);

// Text as compared with expected lines: NFKC, without any white space.
std::string comparable(const std::string& utf8);

} // namespace rz::test
