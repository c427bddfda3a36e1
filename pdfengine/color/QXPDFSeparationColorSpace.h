// [/Separation name alternate tintTransform]: one tint converted into the
// alternate space through a function.
#pragma once

#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFFunction.h"

namespace rz {

class QXPDFSeparationColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModeSeparation; }
    long getNComps() const override { return 1; }
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    QXPDFColor getDeviceN(const QXPDFColor& color) const override;
    // DeviceRGB, whatever the alternate.
    CGColorSpaceRef CGColorSpace() const override;

    const std::string& name() const { return name_; }
    const std::shared_ptr<QXPDFColorSpace>& alt() const { return alt_; }
    const std::shared_ptr<QXPDFFunction>& func() const { return func_; }
    // The colorant "None": nothing is painted.
    bool nonMarking() const { return nonMarking_; }

private:
    std::string name_;
    std::shared_ptr<QXPDFColorSpace> alt_;
    std::shared_ptr<QXPDFFunction> func_;
    bool nonMarking_ = false;
};

// [/DeviceN names alternate tintTransform attributes?]: up to 32 tints
// converted into the alternate space through a function.
class QXPDFDeviceNColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModeDeviceN; }
    long getNComps() const override { return nComps_; }
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    QXPDFColor getDeviceN(const QXPDFColor& color) const override;
    // DeviceRGB, whatever the alternate.
    CGColorSpaceRef CGColorSpace() const override;

    int nComps() const { return nComps_; }
    const std::shared_ptr<QXPDFColorSpace>& alt() const { return alt_; }
    const std::shared_ptr<QXPDFFunction>& func() const { return func_; }
    // Every colorant is "None".
    bool nonMarking() const { return nonMarking_; }

private:
    int nComps_ = 0;
    std::shared_ptr<QXPDFColorSpace> alt_;
    std::shared_ptr<QXPDFFunction> func_;
    bool nonMarking_ = false;
};

} // namespace rz
