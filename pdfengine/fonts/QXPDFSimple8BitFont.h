// One-byte fonts: Type 1, Multiple Master, TrueType and Type 3. Each byte
// is one character; its text comes from /ToUnicode, the /Differences of
// its encoding or the encoding's code page, its width from /Widths, a
// standard font or a substitute chosen by style.
#pragma once

#include "pdfengine/fonts/LegacyEncodings.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "platform/pdf/PdfObject.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace rz {

// One Type 3 glyph procedure. Nothing draws it; it is kept for callers
// that want the procedure's stream.
class QXPDFFontCharProc {
public:
    explicit QXPDFFontCharProc(const pdf::Object& stream);

    const Affine& ctm() const { return ctm_; }
    void setCtm(const Affine& ctm) { ctm_ = ctm; }
    const pdf::Object& xObjectStream() const { return xObjectStream_; }
    const pdf::Object& xObjectDictionary() const { return xObjectDictionary_; }
    // The identity.
    Affine matrixTransform() const { return Affine::identity(); }

private:
    Affine ctm_;
    pdf::Object xObjectStream_;
    pdf::Object xObjectDictionary_;
};

// An entry of /CharProcs: a stream becomes a procedure; a string its text;
// a name the name.
struct QXPDFCharProcEntry {
    enum class Kind { Stream, Text, Name };
    Kind kind = Kind::Stream;
    std::shared_ptr<QXPDFFontCharProc> proc; // Kind::Stream
    std::string value;                       // Kind::Text, Kind::Name
};

// The text a glyph name stands for: the glyph list (and "uniXXXX"), else
// the base glyph of a variant ("a.sc"), else the parts of a ligature name
// joined ("f_f_i", "T_h"); empty when a part is not a glyph name.
std::string glyphNameText(std::string_view name);

class QXPDFSimple8BitFont : public QXPDFFont {
public:
    static constexpr int kCharWidthSlots = 320;

    int getNextChar(const uint8_t* s, int len, uint32_t* code, char16_t* u, int uSize, int* uLen,
                    double* dx, double* dy, double* ox, double* oy) const override;
    double embFontWidthForCode(uint32_t code) const override;
    double widthOfSpace() const override;
    double ascent() const override;
    double descent() const override;
    Rect fontBBox() const override;
    const QXPDFCharProcEntry* charProcForKey(const std::string& key) const override;

    // Widths in text space units by code; slot 32 is the space.
    const std::array<double, kCharWidthSlots>& charWidths() const { return charWidths_; }
    // The encoding name in force ("WinAnsiEncoding", "StandardEncoding", ...).
    const std::string& fontEncodingName() const { return fontEncodingName_; }
    // Code -> replacement text from /Differences; empty when none was given.
    const std::map<uint32_t, std::string>& differences() const { return differences_; }
    // Code -> glyph name from /Differences.
    const std::map<uint32_t, std::string>& differenceNames() const { return differenceNames_; }
    // Glyph name -> procedure (Type 3).
    const std::map<std::string, QXPDFCharProcEntry>& type3_charProcs() const { return type3_charProcs_; }

protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    QXPDFSimple8BitFont() = default;
    QXPDFSimple8BitFont(const QXPDFSimple8BitFont&) = default;

    bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey) override;
    void setWidthsWithFontDictionary(const pdf::Object& dictionary) override;
    void updateBankSpaceWidth() override;

    void setEncodingWithFontDictionary(const pdf::Object& dictionary);
    void setEncodingWithEncodingObject(const pdf::Object& encoding);
    void setCharProcsWithCharProcsArray(const pdf::Object& charProcs);
    void setDifferencesWithDifferencesArray(const pdf::Object& differences);
    // The default encoding when the dictionary gives none: WinAnsi for
    // Type 1, Multiple Master and TrueType fonts, Standard otherwise.
    virtual bool defaultsToWinAnsi() const { return false; }
    // True for the kinds whose embedded program's own encoding stands in
    // when the dictionary names none (Type 1 and its relatives).
    virtual bool usesProgramEncoding() const { return false; }
    // Reads the embedded program's custom encoding (see usesProgramEncoding).
    void setBuiltinEncodingFromProgram();
    // The text of a code from /Differences, else from the program's own
    // encoding; nullptr when neither gives one.
    const std::string* textForCode(uint32_t code) const;
    // Factor from /Widths units to text space units.
    virtual double widthScale() const { return 0.001; }

    // The glyph name a standard font's width table is asked for a code:
    // /Differences, else the encoding the font names, else the standard
    // font's own encoding (`font`; nullptr for a substitute), else the
    // encoding in force.
    const char* glyphNameForWidth(uint32_t code, const BuiltinFont* font) const;
    // Widths of a standard font (or of a substitute chosen by style) by the
    // glyph name of each code, and its space width in slot 32.
    void setWidthsFromBuiltinFont(const BuiltinFont& font, bool substitute);

    std::array<double, kCharWidthSlots> charWidths_{};
    std::string fontEncodingName_;
    std::map<uint32_t, std::string> differences_;
    std::map<uint32_t, std::string> differenceNames_;
    std::map<std::string, QXPDFCharProcEntry> type3_charProcs_;
    // Code -> text from the embedded program's own encoding.
    std::map<uint32_t, std::string> builtinEncodingText_;
    // The encoding the dictionary named (directly or as /BaseEncoding).
    std::optional<PDFFontEncoding> namedEncoding_;
    bool encodingSet_ = false;
};

class QXPDFType1Font : public QXPDFSimple8BitFont {
protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    friend class QXPDFFont;
    QXPDFType1Font() = default;
    QXPDFType1Font(const QXPDFType1Font&) = default;
    bool defaultsToWinAnsi() const override { return true; }
    bool usesProgramEncoding() const override { return true; }
};

class QXPDFMMType1Font : public QXPDFSimple8BitFont {
protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    friend class QXPDFFont;
    QXPDFMMType1Font() = default;
    QXPDFMMType1Font(const QXPDFMMType1Font&) = default;
    bool defaultsToWinAnsi() const override { return true; }
    bool usesProgramEncoding() const override { return true; }
};

class QXPDFTrueTypeFont : public QXPDFSimple8BitFont {
protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    friend class QXPDFFont;
    QXPDFTrueTypeFont() = default;
    QXPDFTrueTypeFont(const QXPDFTrueTypeFont&) = default;
    bool defaultsToWinAnsi() const override { return true; }
};

// Declared for completeness; the factory never makes one.
class QXPDFType1CFont : public QXPDFSimple8BitFont {
protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    QXPDFType1CFont() = default;
    QXPDFType1CFont(const QXPDFType1CFont&) = default;
};

// Type 3 text decodes like any one-byte font; its glyph procedures are kept
// but not drawn. Widths are in glyph space and mapped through /FontMatrix.
class QXPDFType3Font : public QXPDFSimple8BitFont {
public:
    int getNextChar(const uint8_t* s, int len, uint32_t* code, char16_t* u, int uSize, int* uLen,
                    double* dx, double* dy, double* ox, double* oy) const override;

    // /FontMatrix (glyph space -> text space); [0.001 0 0 0.001 0 0] when
    // missing or unusable.
    const Affine& fontMatrix() const { return fontMatrix_; }

protected:
    std::shared_ptr<QXPDFFont> shareWithZone() const override;
    friend class QXPDFFont;
    QXPDFType3Font() = default;
    QXPDFType3Font(const QXPDFType3Font&) = default;
    bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey) override;
    double widthScale() const override;

private:
    Affine fontMatrix_{0.001, 0, 0, 0.001, 0, 0};
};

} // namespace rz
