// [/ICCBased stream]: the profile is not interpreted; colours convert
// through the alternate space (or DeviceGray, DeviceRGB or DeviceCMYK by N).
#pragma once

#include "pdfengine/color/QXPDFColorSpace.h"

namespace rz {

class QXPDFICCBasedColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    // N (1..32; larger values are reduced to 32), Alternate, Range of 2N.
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModeICCBased; }
    long getNComps() const override { return nComps_; }
    // Per component the range end nearest 0 (×255), or 0 inside the range.
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;

    long long nComps() const { return nComps_; }
    const std::shared_ptr<QXPDFColorSpace>& alt() const { return alt_; }
    // Per component; defaults 0 and 1.
    const std::array<double, kQXPDFMaxColorComponents>& rangeMin() const { return rangeMin_; }
    const std::array<double, kQXPDFMaxColorComponents>& rangeMax() const { return rangeMax_; }
    // The profile stream (a handle into its document).
    const pdf::Object& iccProfileStream() const { return iccProfileStream_; }

private:
    long long nComps_ = 0;
    std::shared_ptr<QXPDFColorSpace> alt_;
    std::array<double, kQXPDFMaxColorComponents> rangeMin_{};
    std::array<double, kQXPDFMaxColorComponents> rangeMax_ = [] {
        std::array<double, kQXPDFMaxColorComponents> a{};
        a.fill(1.0);
        return a;
    }();
    pdf::Object iccProfileStream_;
};

} // namespace rz
