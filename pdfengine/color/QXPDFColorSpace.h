// Colour spaces: the base class with its factory, and the six spaces that
// convert by formula (DeviceGray, CalGray, DeviceRGB, CalRGB, DeviceCMYK,
// Lab). The spaces that hand colours on to other spaces are in
// QXPDFICCBasedColorSpace.h, QXPDFIndexedColorSpace.h,
// QXPDFSeparationColorSpace.h and QXPDFPatternColorSpace.h.
//
// A space is made and parsed once and read only afterwards. Conversions
// take a colour value (components on the ×255 scale) and clamp every result
// to 0..255.
#pragma once

#include "pdfengine/color/CGColorSpace.h"
#include "pdfengine/color/QXPDFColor.h"
#include "platform/pdf/PdfObject.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

// The values of QXPDFColorSpace::getMode().
enum QXPDFColorSpaceMode : long {
    QXPDFColorSpaceModeUnknown = 0,
    QXPDFColorSpaceModeDeviceGray = 1,
    QXPDFColorSpaceModeCalGray = 2,
    QXPDFColorSpaceModeDeviceRGB = 3,
    QXPDFColorSpaceModeCalRGB = 4,
    QXPDFColorSpaceModeDeviceCMYK = 5,
    QXPDFColorSpaceModeLab = 6,
    QXPDFColorSpaceModeICCBased = 7,
    QXPDFColorSpaceModeIndexed = 8,
    QXPDFColorSpaceModeSeparation = 9,
    QXPDFColorSpaceModeDeviceN = 10,
    QXPDFColorSpaceModePattern = 11,
};

class QXPDFColorSpace {
public:
    // objectKey "init", mode 0, no components.
    QXPDFColorSpace();
    virtual ~QXPDFColorSpace();

    // A new space from a PDF object:
    // - a name: "DeviceGray"/"G", "DeviceRGB"/"RGB", "DeviceCMYK"/"CMYK" or
    //   "Pattern" (a Pattern space without an underlying space);
    // - a dictionary whose "ColorSpace" names one of the three device spaces;
    // - an array whose first element names a device space, "CalGray",
    //   "CalRGB", "Lab", "ICCBased", "Indexed"/"I", "Separation", "DeviceN"
    //   or "Pattern"; the space then parses the whole array and is returned
    //   even when that parse fails (it keeps its defaults).
    // Nothing for anything else, and for arrays nested deeper than
    // kQXPDFMaxColorSpaceDepth or nested in themselves. objectKey is the
    // given key, or "unknown" without one.
    static std::shared_ptr<QXPDFColorSpace> ColorSpaceWithObject(const pdf::Object& object,
                                                                 const std::string& objectKey);
    static std::shared_ptr<QXPDFColorSpace> ColorSpaceWithObject(const pdf::Object& object);
    static std::shared_ptr<QXPDFColorSpace> DefaultDeviceRGBColorSpace();
    // "unknown", "DeviceGray", ... "Pattern" for modes 0..11; empty otherwise.
    static std::string colorSpaceModeName(long mode);
    static long getNumColorSpaceModes() { return 12; }
    // The initial colour: isNull 1, length 0, every component 0.
    static QXPDFColor defaultPDFColor();

    // A deep copy: nested spaces and functions are copied too.
    virtual std::shared_ptr<QXPDFColorSpace> copy() const;
    // Reads the array form; true when it had the expected form.
    virtual bool parse(const pdf::Object& object);
    std::string getModeName() const { return colorSpaceModeName(getMode()); }
    virtual long getMode() const { return QXPDFColorSpaceModeUnknown; }
    virtual long getNComps() const { return 0; }
    // The colour a colour-space operator installs: length getNComps(),
    // isNull 0, components as the space defines (zero where it does not).
    virtual QXPDFColor getDefaultColor() const;
    virtual std::int16_t getGray(const QXPDFColor& color) const;
    virtual QXPDFRGB getRGB(const QXPDFColor& color) const;
    virtual QXPDFCMYK getCMYK(const QXPDFColor& color) const;
    // The CMYK result in c[0..3] (length 4), unless a Separation or DeviceN
    // space has a mapping.
    virtual QXPDFColor getDeviceN(const QXPDFColor& color) const;
    // The drawing side's colour space (DeviceRGB for the base); nothing when
    // the space has no usable form (an ICC-based space without alternate).
    virtual CGColorSpaceRef CGColorSpace() const;

    const std::string& objectKey() const { return objectKey_; }
    void setObjectKey(std::string key) { objectKey_ = std::move(key); }
    std::uint32_t overprintMask() const { return overprintMask_; }
    void setOverprintMask(std::uint32_t mask) { overprintMask_ = mask; }
    // Per component, the output component of getDeviceN() for Separation
    // and DeviceN spaces; −1 for none. Empty unless set.
    const std::vector<long long>& mapping() const { return mapping_; }
    void setMapping(std::vector<long long> mapping) { mapping_ = std::move(mapping); }

protected:
    QXPDFColorSpace(const QXPDFColorSpace&) = default;
    QXPDFColorSpace& operator=(const QXPDFColorSpace&) = default;

    // The default colour with length getNComps(), isNull 0 and no components.
    QXPDFColor emptyDefaultColor() const;
    // A colour of length 4 holding `cmyk` in c[0..3].
    static QXPDFColor deviceNWithCMYK(const QXPDFCMYK& cmyk);

private:
    std::string objectKey_ = "init";
    std::uint32_t overprintMask_ = 0;
    std::vector<long long> mapping_;
};

class QXPDFDeviceGrayColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    long getMode() const override { return QXPDFColorSpaceModeDeviceGray; }
    long getNComps() const override { return 1; }
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;
};

// [/CalGray << /WhitePoint /BlackPoint /Gamma >>]; converts as DeviceGray.
class QXPDFCalGrayColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModeCalGray; }
    long getNComps() const override { return 1; }
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;

    double whiteX() const { return white_[0]; }
    double whiteY() const { return white_[1]; }
    double whiteZ() const { return white_[2]; }
    double blackX() const { return black_[0]; }
    double blackY() const { return black_[1]; }
    double blackZ() const { return black_[2]; }
    double gamma() const { return gamma_; }
    void setWhiteX(double v) { white_[0] = v; }
    void setWhiteY(double v) { white_[1] = v; }
    void setWhiteZ(double v) { white_[2] = v; }
    void setBlackX(double v) { black_[0] = v; }
    void setBlackY(double v) { black_[1] = v; }
    void setBlackZ(double v) { black_[2] = v; }
    void setGamma(double v) { gamma_ = v; }

private:
    std::array<double, 3> white_{1, 1, 1};
    std::array<double, 3> black_{0, 0, 0};
    double gamma_ = 1;
};

class QXPDFDeviceRGBColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    long getMode() const override { return QXPDFColorSpaceModeDeviceRGB; }
    long getNComps() const override { return 3; }
    QXPDFColor getDefaultColor() const override;
    // truncate(0.3·r + 0.59·g + 0.11·b + 0.5)
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;
};

// [/CalRGB << /WhitePoint /BlackPoint /Gamma /Matrix >>]; converts as
// DeviceRGB but for its gray weights 0.299, 0.587, 0.114.
class QXPDFCalRGBColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModeCalRGB; }
    long getNComps() const override { return 3; }
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;

    double whiteX() const { return white_[0]; }
    double whiteY() const { return white_[1]; }
    double whiteZ() const { return white_[2]; }
    double blackX() const { return black_[0]; }
    double blackY() const { return black_[1]; }
    double blackZ() const { return black_[2]; }
    double gammaR() const { return gamma_[0]; }
    double gammaG() const { return gamma_[1]; }
    double gammaB() const { return gamma_[2]; }
    // [XA YA ZA XB YB ZB XC YC ZC], the identity by default.
    const std::array<double, 9>& mat() const { return mat_; }
    void setWhiteX(double v) { white_[0] = v; }
    void setWhiteY(double v) { white_[1] = v; }
    void setWhiteZ(double v) { white_[2] = v; }
    void setBlackX(double v) { black_[0] = v; }
    void setBlackY(double v) { black_[1] = v; }
    void setBlackZ(double v) { black_[2] = v; }
    void setGammaR(double v) { gamma_[0] = v; }
    void setGammaG(double v) { gamma_[1] = v; }
    void setGammaB(double v) { gamma_[2] = v; }
    void setMat(const std::array<double, 9>& m) { mat_ = m; }

private:
    std::array<double, 3> white_{1, 1, 1};
    std::array<double, 3> black_{0, 0, 0};
    std::array<double, 3> gamma_{1, 1, 1};
    std::array<double, 9> mat_{1, 0, 0, 0, 1, 0, 0, 0, 1};
};

class QXPDFDeviceCMYKColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    long getMode() const override { return QXPDFColorSpaceModeDeviceCMYK; }
    long getNComps() const override { return 4; }
    // Black: (0, 0, 0, 255).
    QXPDFColor getDefaultColor() const override;
    std::int16_t getGray(const QXPDFColor& color) const override;
    // The 16-corner blend of the CMYK cube.
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;
};

// [/Lab << /WhitePoint /BlackPoint /Range >>]: components L (0..100 ×255),
// a and b (×255).
class QXPDFLabColorSpace : public QXPDFColorSpace {
public:
    std::shared_ptr<QXPDFColorSpace> copy() const override;
    // Sets kr, kg, kb from the white point when it succeeds.
    bool parse(const pdf::Object& object) override;
    long getMode() const override { return QXPDFColorSpaceModeLab; }
    long getNComps() const override { return 3; }
    QXPDFColor getDefaultColor() const override;
    // DeviceRGB's gray of the RGB result.
    std::int16_t getGray(const QXPDFColor& color) const override;
    QXPDFRGB getRGB(const QXPDFColor& color) const override;
    QXPDFCMYK getCMYK(const QXPDFColor& color) const override;
    CGColorSpaceRef CGColorSpace() const override;

    double whiteX() const { return white_[0]; }
    double whiteY() const { return white_[1]; }
    double whiteZ() const { return white_[2]; }
    double blackX() const { return black_[0]; }
    double blackY() const { return black_[1]; }
    double blackZ() const { return black_[2]; }
    double aMin() const { return range_[0]; }
    double aMax() const { return range_[1]; }
    double bMin() const { return range_[2]; }
    double bMax() const { return range_[3]; }
    double kr() const { return k_[0]; }
    double kg() const { return k_[1]; }
    double kb() const { return k_[2]; }
    void setWhiteX(double v) { white_[0] = v; }
    void setWhiteY(double v) { white_[1] = v; }
    void setWhiteZ(double v) { white_[2] = v; }
    void setBlackX(double v) { black_[0] = v; }
    void setBlackY(double v) { black_[1] = v; }
    void setBlackZ(double v) { black_[2] = v; }
    void setAMin(double v) { range_[0] = v; }
    void setAMax(double v) { range_[1] = v; }
    void setBMin(double v) { range_[2] = v; }
    void setBMax(double v) { range_[3] = v; }
    void setKr(double v) { k_[0] = v; }
    void setKg(double v) { k_[1] = v; }
    void setKb(double v) { k_[2] = v; }

private:
    std::array<double, 3> white_{1, 1, 1};
    std::array<double, 3> black_{0, 0, 0};
    std::array<double, 4> range_{-100, 100, -100, 100};
    std::array<double, 3> k_{1, 1, 1};
};

} // namespace rz
