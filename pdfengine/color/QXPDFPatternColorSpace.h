// [/Pattern] or [/Pattern underlying]: colours are patterns chosen by name;
// the underlying space colours uncoloured patterns.
#pragma once

#include "pdfengine/color/QXPDFColorSpace.h"

namespace rz {

class QXPDFPatternColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModePattern; }
    long getNComps() const override { return 0; }
    QXPDFColor getDefaultColor() const override;
    // Black: gray 0, RGB (0, 0, 0), CMYK (0, 0, 0, 255).
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;

    const std::shared_ptr<QXPDFColorSpace>& under() const { return under_; }

private:
    std::shared_ptr<QXPDFColorSpace> under_;
};

} // namespace rz
