#include "flowtext/rtf/QXRTFParagraph.h"

#include "flowtext/QXFlowFileWriter.h"
#include "flowtext/rtf/QXRTFRun.h"
#include "flowtext/rtf/QXRTFState.h"
#include "platform/core/Numbers.h"
#include "platform/text/Utf.h"

#include <cmath>

namespace rz {

namespace {

// The largest indent written, twentieths of a point (far beyond any page).
constexpr float kMaxIndentTwips = 1.0e7f;

} // namespace

void QXRTFParagraph::writeNewLineWithXMLWriter(QXFlowFileWriter& writer)
{
    float indent = 20 * pProperty().ind.left - 20 * textMargin().left;
    if (!std::isfinite(indent) || indent < 0)
        indent = 0;
    if (indent > kMaxIndentTwips)
        indent = kMaxIndentTwips;
    writer.write("\\par");
    writer.write("\\pard");
    writer.write("\\li" + formatFixed(indent, 0));
    writer.write(" ");
}

void QXRTFRunText::writeTextWithXMLWriter(QXFlowFileWriter& writer, std::u16string_view text)
{
    const QXDocx_RPr& r = rProperty();
    const std::string_view name = QXDocxText(r.rFonts.ascii);
    std::optional<std::string> fontName;
    if (isValidUtf8(name))
        fontName = std::string(name);
    QXRTFFontEntry font(fontName, static_cast<double>(r.sz) * 2.0);
    font.bold = r.b;
    font.italic = r.i;
    font.underline = r.u;
    QXRTFState& state = QXRTFState::sharedInstance();
    state.writeFontAttributesIfNeed(font, writer);
    const QXRTFColorEntry color(static_cast<float>(r.color.red) / 255.0f, static_cast<float>(r.color.green) / 255.0f,
                                static_cast<float>(r.color.blue) / 255.0f, 1.0);
    state.writeForegroundColorAttributesIfNeed(color, writer);
    writer.writeContent(text);
}

} // namespace rz
