#include "pdfengine/fonts/QXPDFFontDescriptor.h"

#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "platform/pdf/PdfObject.h"

#include <cmath>
#include <new>

namespace rz {

namespace {

// A finite number of the key (integer or real); 0 when absent.
double numberOf(const pdf::Object& dictionary, std::string_view key)
{
    const std::optional<double> value = dictionary.get(key).number();
    return value && std::isfinite(*value) ? *value : 0.0;
}

} // namespace

std::shared_ptr<QXPDFFontDescriptor> QXPDFFontDescriptor::initWithPDFDictionary(
    const pdf::Object& dictionary)
{
    // A descriptor without /Type (older producers leave it out) is read too;
    // one whose /Type names something else is not a descriptor.
    if (!dictionary.isDictionary())
        return nullptr;
    if (const pdf::Object type = dictionary.get("Type");
        !type.isNull() && type.name() != "FontDescriptor")
        return nullptr;
    auto descriptor = std::make_shared<QXPDFFontDescriptor>();
    if (!descriptor->read(dictionary))
        return nullptr;
    return descriptor;
}

bool QXPDFFontDescriptor::read(const pdf::Object& dictionary)
{
    ascent_ = numberOf(dictionary, "Ascent") * 0.001;
    descent_ = numberOf(dictionary, "Descent") * 0.001;
    if (descent_ > 0)
        descent_ = -descent_;

    const pdf::Object box = dictionary.get("FontBBox");
    if (box.isArray() && box.size() == 4) {
        double v[4] = {};
        for (size_t i = 0; i < 4; ++i) {
            const std::optional<double> n = box.at(i).number();
            v[i] = n && std::isfinite(*n) ? *n * 0.001 : 0.0;
        }
        fontBBox_ = Rect(v[0], v[1], v[2], v[3]);
    }
    if (ascent_ == 0)
        ascent_ = 0.95;
    if (descent_ == 0)
        descent_ = -0.35;

    leading_ = numberOf(dictionary, "Leading");
    capHeight_ = numberOf(dictionary, "CapHeight");
    xHeight_ = numberOf(dictionary, "XHeight");
    averageWidth_ = numberOf(dictionary, "AvgWidth") * 0.001;
    maxWidth_ = numberOf(dictionary, "MaxWidth") * 0.001;
    missingWidth_ = numberOf(dictionary, "MissingWidth") * 0.001;
    verticalStemWidth_ = numberOf(dictionary, "StemV");
    horizontalStemHeigth_ = numberOf(dictionary, "StemH");
    italicAngle_ = numberOf(dictionary, "ItalicAngle");
    if (const std::optional<long long> flags = dictionary.get("Flags").integer())
        flags_ = static_cast<uint64_t>(*flags);

    if (std::optional<std::string> name = dictionary.get("FontName").name())
        fontName_ = std::move(name);
    else if (std::optional<std::string> bytes = dictionary.get("FontName").stringBytes())
        fontName_ = std::move(bytes);
    if (std::optional<std::string> family = dictionary.get("FontFamily").text())
        fontFamily_ = std::move(family);
    else if (std::optional<std::string> familyName = dictionary.get("FontFamily").name())
        fontFamily_ = std::move(familyName);

    embFontSubType_ = kUnknownSubType;
    embFullName_ = kUnknownFullName;
    embPostScriptName_ = kUnknownPostScriptName;

    pdf::Object program;
    if (const pdf::Object f = dictionary.get("FontFile"); f.isStream()) {
        embFontNum_ = 1;
        embFontSubType_ = "Type1";
        program = f;
    } else if (const pdf::Object f2 = dictionary.get("FontFile2"); f2.isStream()) {
        embFontNum_ = 2;
        embFontSubType_ = "CIDType2 or TrueType";
        program = f2;
    } else if (const pdf::Object f3 = dictionary.get("FontFile3"); f3.isStream()) {
        embFontNum_ = 3;
        if (std::optional<std::string> sub = f3.get("Subtype").name())
            embFontSubType_ = *sub;
        program = f3;
    }
    if (embFontNum_ != 0) {
        try {
            pdf::StreamData data = program.streamData();
            if (!data.bytes.empty())
                embFont_ = PlatformFont::createWithData(std::move(data.bytes));
        } catch (const std::bad_alloc&) {
            embFont_.reset();
        }
        if (embFont_) {
            if (!embFont_->fullName().empty())
                embFullName_ = embFont_->fullName();
            if (!embFont_->postScriptName().empty())
                embPostScriptName_ = embFont_->postScriptName();
        }
    }
    return true;
}

double QXPDFFontDescriptor::embFontWidthForCharCode(char16_t charCode) const
{
    if (!embFont_)
        return 0;
    const uint16_t glyph = embFont_->glyphForCharCode(charCode);
    if (glyph == 0)
        return 0;
    return QXPDFFontUtilities::CGFontWidthOfGlyphCode(embFont_.get(), 1, glyph);
}

double QXPDFFontDescriptor::embFontWidthForGlyphCode(uint16_t glyphCode) const
{
    if (!embFont_)
        return 0;
    return QXPDFFontUtilities::CGFontWidthOfGlyphCode(embFont_.get(), 1, glyphCode);
}

double QXPDFFontDescriptor::embFontWidthForBankSpace() const
{
    return embFontWidthForCharCode(u' ');
}

Rect QXPDFFontDescriptor::embFontRectForString(std::string_view string, double fontSize) const
{
    if (!embFont_)
        return {};
    const Size size = QXPDFFontUtilities::CGFontSizeOfString(embFont_.get(), fontSize, string);
    return Rect(0, 0, size.width, size.height);
}

void QXPDFFontDescriptor::setFontBold(bool bold)
{
    if (bold)
        flags_ |= kFlagForceBold;
    else
        flags_ &= ~kFlagForceBold;
}

void QXPDFFontDescriptor::setFontItalic(bool italic)
{
    if (italic)
        flags_ |= kFlagItalic;
    else
        flags_ &= ~kFlagItalic;
}

} // namespace rz
