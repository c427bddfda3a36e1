// The RTF file writer: text escaped for an RTF body; a line break is an
// escaped line feed (an RTF paragraph mark), an indentation four spaces,
// both written as text.
#pragma once

#include "flowtext/QXFlowFileWriter.h"

#include <memory>
#include <string>

namespace rz {

class QXRTFFileWriter : public QXFlowFileWriter {
public:
    QXRTFFileWriter() : QXFlowFileWriter("    ", "\n") {}
    static std::shared_ptr<QXRTFFileWriter> initWithPath(const std::string& path);

    // The characters markup may hold (forEachMarkupCodePoint: an unpaired
    // surrogate becomes U+FFFD, other controls and noncharacters are left
    // out): "\", "{" and "}" after a backslash; a line feed as a backslash
    // and a line feed; a tab as "\tab "; a carriage return left out;
    // characters from U+0080 as "\uc0\uN " per UTF-16 unit, N the signed
    // 16-bit value.
    std::string escapedContent(std::u16string_view text) const override;
    // Through the escaping: a line feed, four spaces.
    void writeLinebreak() override { writeContent(u"\n"); }
    void writeIndentation() override { writeContent(u"    "); }

    // True for the units written other than as themselves.
    static bool isReserved(char16_t unit);
};

} // namespace rz
