// The HTML file writer: a line break is "<br>", an indentation three
// spaces; text is escaped for HTML content.
#pragma once

#include "flowtext/QXFlowFileWriter.h"

#include <memory>
#include <string>

namespace rz {

class QXHTMLFileWriter : public QXFlowFileWriter {
public:
    QXHTMLFileWriter() : QXFlowFileWriter("   ", "<br>") {}
    // A writer of a new (or emptied) file; nullptr when it cannot be created.
    static std::shared_ptr<QXHTMLFileWriter> initWithPath(const std::string& path);

    // The text made safe for markup (markupSafeText: an unpaired surrogate
    // becomes U+FFFD, other controls and noncharacters are left out), then
    // tab, line feed and carriage return become "<br \>", '"' "&quot;",
    // '&' "&amp;", '<' "&lt;", '>' "&gt;"; the rest unchanged.
    std::string escapedContent(std::u16string_view text) const override;
    // The formatted text, written with write().
    void writeFormat(const std::string& text) { write(text); }
};

} // namespace rz
