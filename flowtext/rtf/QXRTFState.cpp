#include "flowtext/rtf/QXRTFState.h"

#include "flowtext/QXFlowFileWriter.h"
#include "platform/core/Numbers.h"

#include <cmath>
#include <string>

namespace rz {

namespace {

// Font sizes RTF readers take (\fs in half-points).
constexpr double kMinHalfPoints = 1;
constexpr double kMaxHalfPoints = 32767;
constexpr int kDefaultHalfPoints = 24;

int wholeHalfPoints(double size)
{
    if (std::isnan(size))
        return kDefaultHalfPoints;
    if (size < kMinHalfPoints)
        return static_cast<int>(kMinHalfPoints);
    if (size > kMaxHalfPoints)
        return static_cast<int>(kMaxHalfPoints);
    return static_cast<int>(size);
}

} // namespace

QXRTFState& QXRTFState::sharedInstance()
{
    static QXRTFState state;
    return state;
}

QXRTFState::QXRTFState()
{
    resetToDefault();
}

void QXRTFState::resetToDefault()
{
    state_ = QXRTFUtilities::defaultStateProperty();
    _registeredColors.assign(1, QXRTFColorEntry(0, 0, 0, 1));
    QXRTFFontEntry first;
    first.fontIndex = 0;
    _registeredFonts.assign(1, first);
}

int QXRTFState::_fontIndexByFont(const QXRTFFontEntry& font)
{
    if (!font.fontName || QXRTFUtilities::rtfFontName(*font.fontName).empty())
        return 0;
    for (size_t i = 0; i < _registeredFonts.size(); ++i)
        if (_registeredFonts[i].fontName == font.fontName)
            return static_cast<int>(i);
    QXRTFFontEntry entry = font;
    entry.fontIndex = static_cast<int>(_registeredFonts.size());
    _registeredFonts.push_back(entry);
    return entry.fontIndex;
}

int QXRTFState::_colorIndexByColor(const QXRTFColorEntry& color)
{
    for (size_t i = 0; i < _registeredColors.size(); ++i)
        if (_registeredColors[i].isEqualToColor(color))
            return static_cast<int>(i);
    _registeredColors.push_back(color);
    return static_cast<int>(_registeredColors.size() - 1);
}

void QXRTFState::writeFontAttributesIfNeed(const QXRTFFontEntry& font, QXFlowFileWriter& writer)
{
    const bool first = state_.fontIndex == -1;
    const int index = _fontIndexByFont(font);
    std::string words;
    if (first || index != state_.fontIndex)
        words += "\\f" + formatInteger(index);
    if (first || font.italic != static_cast<bool>(state_.flags.italic))
        words += font.italic ? "\\i" : "\\i0";
    if (first || font.bold != static_cast<bool>(state_.flags.bold))
        words += font.bold ? "\\b" : "\\b0";
    if (first || font.underline != state_.underline)
        words += font.underline > 0 ? "\\ul" : "\\ul0";
    const int size = wholeHalfPoints(font.fontSize);
    if (first || static_cast<float>(size) != state_.fontSize)
        words += "\\fs" + formatInteger(size);

    state_.fontIndex = index;
    state_.fontSize = static_cast<float>(size);
    state_.flags.bold = font.bold ? 1 : 0;
    state_.flags.italic = font.italic ? 1 : 0;
    state_.underline = font.underline;
    if (!words.empty())
        writer.write(words + " ");
}

void QXRTFState::writeForegroundColorAttributesIfNeed(const QXRTFColorEntry& color, QXFlowFileWriter& writer)
{
    const int index = _colorIndexByColor(color);
    if (index == state_.foregroundColorIndex)
        return;
    writer.write("\\cf" + formatInteger(index) + " ");
    state_.foregroundColorIndex = index;
}

void QXRTFState::writeRegistedFonts(QXFlowFileWriter& writer) const
{
    std::string table;
    for (const QXRTFFontEntry& font : _registeredFonts)
        table += font.rtfFormat();
    writer.write(table);
}

void QXRTFState::writeRegistedColors(QXFlowFileWriter& writer) const
{
    std::string table;
    for (const QXRTFColorEntry& color : _registeredColors)
        table += color.rtfFormat();
    writer.write(table);
}

} // namespace rz
