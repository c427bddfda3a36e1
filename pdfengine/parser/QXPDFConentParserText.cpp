// Text objects, the text state and the showing of strings: one event per
// character that decodes to text, sent while the text matrix stands at the
// character's origin, then the text position moves by its advance.
#include "pdfengine/parser/QXPDFConentParser.h"

#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/parser/QXPDFConentParserInternal.h"
#include "pdfengine/state/QXPDFFontCollection.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "platform/text/Utf.h"

#include <cstdint>

namespace rz {

using namespace qxparser;

void QXPDFConentParser::opBeginText(const pdf::Object*)
{
    QXPDFRenderState& st = currentRenderingState();
    st.setTextMatrix(true, Affine::identity());
    ++scanOperatorIndex_BegainText_;
}

void QXPDFConentParser::opEndText(const pdf::Object*)
{
}

void QXPDFConentParser::opCharSpacing(const pdf::Object* a)
{
    currentRenderingState().setCharacterSpacing(number(a[0]));
}

void QXPDFConentParser::opWordSpacing(const pdf::Object* a)
{
    currentRenderingState().setWordSpacing(number(a[0]));
}

void QXPDFConentParser::opLeading(const pdf::Object* a)
{
    currentRenderingState().setLeading(number(a[0]));
}

void QXPDFConentParser::opHorizontalScaling(const pdf::Object* a)
{
    currentRenderingState().setHorizontalScaling(number(a[0]) * 0.01);
}

void QXPDFConentParser::opTextRise(const pdf::Object* a)
{
    currentRenderingState().setTextRise(number(a[0]));
}

void QXPDFConentParser::opFont(const pdf::Object* a)
{
    const std::string name = *a[0].name();
    std::shared_ptr<QXPDFFont> font = fontCollection_ ? fontCollection_->fontForKey(name) : nullptr;
    if (!font) {
        warn(QXPDFWarning::kResource, "Tf: unknown font " + name);
        return;
    }
    QXPDFRenderState& st = currentRenderingState();
    st.setFont(std::move(font));
    st.setFontSize(number(a[1]));
}

void QXPDFConentParser::opTextRenderMode(const pdf::Object* a)
{
    currentRenderingState().setTextRenderMode(toInt(number(a[0])));
}

void QXPDFConentParser::opTextMove(const pdf::Object* a)
{
    currentRenderingState().newLineWithLeading(number(a[1]), number(a[0]), false);
}

void QXPDFConentParser::opTextMoveSetLeading(const pdf::Object* a)
{
    currentRenderingState().newLineWithLeading(number(a[1]), number(a[0]), true);
}

void QXPDFConentParser::opTextNextLine(const pdf::Object*)
{
    currentRenderingState().newLine();
}

void QXPDFConentParser::opTextMatrix(const pdf::Object* a)
{
    const Affine m{number(a[0]), number(a[1]), number(a[2]), number(a[3]), number(a[4]), number(a[5])};
    currentRenderingState().setTextMatrix(true, m);
}

void QXPDFConentParser::opShowText(const pdf::Object* a)
{
    ++scanOperatorIndex_ShowText_;
    showTextString(*a[0].stringBytes());
}

void QXPDFConentParser::opNextLineShowText(const pdf::Object* a)
{
    currentRenderingState().newLine();
    opShowText(a);
}

void QXPDFConentParser::opSpacingNextLineShowText(const pdf::Object* a)
{
    QXPDFRenderState& st = currentRenderingState();
    st.setWordSpacing(number(a[0]));
    st.setCharacterSpacing(number(a[1]));
    opNextLineShowText(a + 2);
}

void QXPDFConentParser::opShowTextArray(const pdf::Object* a)
{
    ++scanOperatorIndex_ShowText_;
    const pdf::Object& array = a[0];
    for (size_t i = 0; i < array.size(); ++i) {
        const pdf::Object e = array.at(i);
        if (e.isString()) {
            showTextString(*e.stringBytes());
        } else if (e.isNumber()) {
            // An adjustment moves the position against the writing
            // direction by n thousandths of the font size (scaled
            // horizontally like every horizontal displacement).
            QXPDFRenderState& st = currentRenderingState();
            if (!st.font())
                return;
            const double n = number(e) * 0.001 * st.fontSize();
            if (st.font()->wMode() == 1)
                st.translateTextPosition(0, -n);
            else
                st.translateTextPosition(-n * st.horizontalScaling(), 0);
        }
    }
}

void QXPDFConentParser::showTextString(const std::string& bytes)
{
    QXPDFRenderState& st = currentRenderingState();
    const std::shared_ptr<QXPDFFont> font = st.font();
    if (!font || bytes.empty())
        return;
    const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
    int left = int(std::min<size_t>(bytes.size(), size_t(INT32_MAX)));
    char16_t units[QXPDFFont::kCharUnitCapacity];
    std::string text;
    while (left > 0) {
        uint32_t code = 0;
        int uLen = 0;
        double dx = 0, dy = 0, ox = 0, oy = 0;
        const int used = font->getNextChar(s, left, &code, units, QXPDFFont::kCharUnitCapacity, &uLen, &dx, &dy,
                                           &ox, &oy);
        if (used <= 0 || used > left) {
            warn(QXPDFWarning::kContent, "font " + font->objectKey() + " decoded no bytes; rest of string skipped");
            return;
        }
        uLen = std::clamp(uLen, 0, int(QXPDFFont::kCharUnitCapacity));
        QXNormalizeUnicodeSequence(units, &uLen);

        QXPDFRenderState& state = currentRenderingState();
        const double w = toSingle(dx * state.fontSize());
        const double h = toSingle(dy * state.fontSize());
        double advance = w;
        if (uLen == 1 && QXIsUnicodeSpace(units[0])) {
            units[0] = u' ';
            advance = toSingle(advance + state.wordSpacing());
        }
        // Surrogate pairs become one code point; a lone surrogate U+FFFD.
        text = utf16ToUtf8(std::u16string_view(units, size_t(uLen)));
        if (uLen > 0)
            advance = toSingle(advance + state.characterSpacing());
        advance = toSingle(advance * state.horizontalScaling());
        if (!text.empty())
            sendText(text, Size{w, h});
        currentRenderingState().translateTextPosition(advance, h);
        s += used;
        left -= used;
    }
}

} // namespace rz
