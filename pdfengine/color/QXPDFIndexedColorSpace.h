// [/Indexed base hival lookup]: component 0 is an index into a table of
// base-space colours.
#pragma once

#include "pdfengine/color/QXPDFColorSpace.h"

namespace rz {

class QXPDFIndexedColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    // Exactly 4 elements, the first "Indexed"; hival 0..255; a string or
    // stream of at least (hival + 1) × base components bytes.
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModeIndexed; }
    long getNComps() const override { return 1; }
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    QXPDFColor getDeviceN(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;

    // The base colour of `color`: index = truncate(c0/255 + 0.5) clamped
    // to 0..indexHigh; each table byte spans the base component's range
    // (0..1 for most spaces, so the byte itself). `toBase` gives the
    // fields the result starts from.
    QXPDFColor mapColorQXPDFColor(const QXPDFColor& color, QXPDFColor toBase) const;
    // The decode default of an indexed image: 0 to maxImgPixel.
    void getDefaultRanges(double* decodeLow, double* decodeRange, int maxImgPixel) const;

    const std::shared_ptr<QXPDFColorSpace>& base() const { return base_; }
    long long indexHigh() const { return indexHigh_; }
    // (indexHigh + 1) × base components bytes.
    const std::vector<std::uint8_t>& lookup() const { return lookup_; }

private:
    std::shared_ptr<QXPDFColorSpace> base_;
    long long indexHigh_ = 0;
    std::vector<std::uint8_t> lookup_;
};

} // namespace rz
