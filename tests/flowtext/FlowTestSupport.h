// Hand-made run texts and pages for the flow-text tests.
#pragma once

#include "converter/ooxml/QXDocxUtilities.h"
#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/text/QXTextPage.h"
#include "flowtext/text/QXTextParagraph.h"
#include "flowtext/text/QXTextRun.h"
#include "platform/text/Utf.h"

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace rz::test {

// A plain-text run of `text` whose glyph box spans x..x+width and
// top..bottom, set in a font of size `size`.
inline std::shared_ptr<QXTextRunText> makeRun(const std::string& text, double x, double top, double bottom,
                                              double width, double size = 12, double spaceWidth = 3)
{
    auto run = std::make_shared<QXTextRunText>();
    QXPDF_CTMInfo info;
    info.topLeft = {x, top};
    info.bottomLeft = {x, bottom};
    info.fontSize = {size, size};
    run->setCtmInfo(info);
    QXDocx_RPr r = QXDocxUtilities::defaultRProperty();
    r.sz = static_cast<float>(size);
    run->setRProperty(r);
    run->setRunText(utf8ToUtf16(text));
    run->setTextWidth(width);
    run->setSpaceWidth(spaceWidth);
    return run;
}

// A run of one line of text on the baseline band ending at `bottom`, one
// font size high.
inline std::shared_ptr<QXTextRunText> word(const std::string& text, double x, double bottom, double width,
                                           double size = 12)
{
    return makeRun(text, x, bottom - size, bottom, width, size);
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text of the runs of a paragraph, joined.
inline std::string paragraphText(const QXFlowParagraph& p)
{
    std::string s;
    for (const auto& run : p.runArray())
        if (run->isRunText())
            s += utf16ToUtf8(static_cast<const QXFlowRunText&>(*run).runText());
    return s;
}

} // namespace rz::test
