// The document-wide font and colour tables of the RTF document and the
// character attributes last written: each text run registers its font and
// colour and writes only the control words that changed. One state per
// process, reset at each document start, so one RTF document is written at
// a time.
#pragma once

#include "flowtext/rtf/QXRTFColorEntry.h"
#include "flowtext/rtf/QXRTFFontEntry.h"
#include "flowtext/rtf/QXRTFUtilities.h"

#include <vector>

namespace rz {

class QXFlowFileWriter;

class QXRTFState {
public:
    static QXRTFState& sharedInstance();

    // The starting state; colours: black; fonts: "Arial Unicode MS" as font 0.
    void resetToDefault();

    // Writes "\fN", "\i"/"\i0", "\b"/"\b0", "\ul"/"\ul0" and "\fsN" where
    // they changed (all of them for the document's first run), then a space.
    void writeFontAttributesIfNeed(const QXRTFFontEntry& font, QXFlowFileWriter& writer);
    // "\cfN " when the text colour changed.
    void writeForegroundColorAttributesIfNeed(const QXRTFColorEntry& color, QXFlowFileWriter& writer);

    // The entries of the two tables, back to back.
    void writeRegistedFonts(QXFlowFileWriter& writer) const;
    void writeRegistedColors(QXFlowFileWriter& writer) const;

    // The font number of the entry's name (sizes and attributes are not
    // compared), appending it when new; 0 for a name with nothing printable
    // in the table.
    int _fontIndexByFont(const QXRTFFontEntry& font);
    int _colorIndexByColor(const QXRTFColorEntry& color);

    const QXRTF_State& state() const { return state_; }
    void setState(const QXRTF_State& v) { state_ = v; }
    const std::vector<QXRTFFontEntry>& registeredFonts() const { return _registeredFonts; }
    const std::vector<QXRTFColorEntry>& registeredColors() const { return _registeredColors; }

private:
    QXRTFState();

    QXRTF_State state_;
    std::vector<QXRTFColorEntry> _registeredColors;
    std::vector<QXRTFFontEntry> _registeredFonts;
};

} // namespace rz
