// Shadings: the objects named by the "sh" operator and held by shading
// patterns. A shading is made once by ShadingWithObject(), read only
// afterwards, and drawn by drawInContext() into a bitmap that the caller has
// sized, transformed and clipped.
//
// Of the seven kinds only the axial kind draws: a linear gradient sampled
// from its function(s) at kQXPDFShadingGradientStops points of the axis.
// The function-based, radial and mesh kinds keep their common fields and
// draw nothing.
#pragma once

#include "pdfengine/color/QXPDFColor.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFFunction.h"
#include "platform/geometry/Geometry.h"
#include "platform/graphics/BitmapContext.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <string>
#include <vector>

namespace rz {

// Points at which an axial shading's function is sampled for its gradient
// (one stop each). 256 steps are finer than 8-bit colour can show.
inline constexpr int kQXPDFShadingGradientStops = 256;

// Functions of an axial "Function" array: one per colour component, and no
// colour space has more than 32.
inline constexpr size_t kQXPDFMaxShadingFunctions = 32;

// The values of QXPDFShading::type().
enum QXPDFShadingType : long long {
    QXPDFShadingTypeFunction = 1,
    QXPDFShadingTypeAxial = 2,
    QXPDFShadingTypeRadial = 3,
    QXPDFShadingTypeGouraudTriangleFree = 4,
    QXPDFShadingTypeGouraudTriangleLattice = 5,
    QXPDFShadingTypePatchMeshCoons = 6,
    QXPDFShadingTypePathMeshTensor = 7,
};

class QXPDFShading {
public:
    QXPDFShading();
    virtual ~QXPDFShading();

    // A new shading from a dictionary (a stream, as mesh shadings are, gives
    // nothing) whose integer ShadingType 1..7 picks the kind; nothing for
    // any other object or type, or when the kind's init refuses it.
    static std::shared_ptr<QXPDFShading> ShadingWithObject(const pdf::Object& object,
                                                           const std::string& objectKey);

    // A copy sharing the colour space and functions (both read only).
    virtual std::shared_ptr<QXPDFShading> copy() const;
    // Reads the common fields: ColorSpace (required), Background, BBox.
    // False when the shading cannot be used.
    virtual bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey);
    // The base fills the context's clip bounding box with the background
    // (when there is one); every kind overrides it.
    virtual void drawInContext(BitmapContext& context, const Affine& scaleTransform) const;

    const std::string& objectKey() const { return objectKey_; }
    long long type() const { return type_; }
    void setType(long long type) { type_ = type; }
    // May be null when "ColorSpace" could not be made.
    const std::shared_ptr<QXPDFColorSpace>& colorSpace() const { return colorSpace_; }
    const QXPDFColor& background() const { return background_; }
    bool hasBackground() const { return hasBackground_; }
    double xMin() const { return xMin_; }
    double yMin() const { return yMin_; }
    double xMax() const { return xMax_; }
    double yMax() const { return yMax_; }
    bool hasBBox() const { return hasBBox_; }

protected:
    QXPDFShading(const QXPDFShading&) = default;
    QXPDFShading& operator=(const QXPDFShading&) = default;

private:
    std::string objectKey_;
    long long type_ = 0;
    std::shared_ptr<QXPDFColorSpace> colorSpace_;
    QXPDFColor background_;
    bool hasBackground_ = false;
    double xMin_ = 0;
    double yMin_ = 0;
    double xMax_ = 0;
    double yMax_ = 0;
    bool hasBBox_ = false;
};

// ShadingType 1: parsed for the common fields; draws nothing.
class QXPDFShadingFunction : public QXPDFShading {
public:
    QXPDFShadingFunction() = default;
    std::shared_ptr<QXPDFShading> copy() const override;
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;
};

// Shadings driven by one parameter t along a geometry: the functions that
// give the colour for t.
class QXPDFShadingUnivariate : public QXPDFShading {
public:
    QXPDFShadingUnivariate() = default;
    std::shared_ptr<QXPDFShading> copy() const override;

    // One function giving every colour component, or one function per
    // component (their outputs concatenated in array order).
    const std::vector<std::shared_ptr<QXPDFFunction>>& funcs() const { return funcs_; }
    // The colour components for the parameter t: every function evaluated
    // at t and their outputs concatenated into `out`, which receives
    // kQXPDFMaxFunctionValues values (the rest 0). Answers the number of
    // components written.
    size_t getColor(double t, double* out) const;

protected:
    QXPDFShadingUnivariate(const QXPDFShadingUnivariate&) = default;
    // Reads "Function": a function object, or an array of 1 to
    // kQXPDFMaxShadingFunctions of them (elements that give no function
    // are skipped). False when no function was made.
    bool readFunctions(const pdf::Object& dictionary);

private:
    std::vector<std::shared_ptr<QXPDFFunction>> funcs_;
};

// ShadingType 2: a linear gradient from coordsStart to coordsEnd; the
// parameter runs over domainRange along the axis.
class QXPDFShadingAxial : public QXPDFShadingUnivariate {
public:
    QXPDFShadingAxial() = default;
    std::shared_ptr<QXPDFShading> copy() const override;
    // The common fields, then Coords (default 0 0 100 100), Domain
    // (default 0 1), Function (required) and Extend (default false false).
    bool initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey) override;
    // Fills the clip with the gradient, in the context's current user space.
    // Nothing is drawn without a colour space or when the ends coincide.
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;

    // The gradient's stops: kQXPDFShadingGradientStops colours at evenly
    // spaced locations 0..1 of the axis, each the functions' result at the
    // matching point of the domain, converted to RGB. Empty without a
    // colour space.
    std::vector<GradientStop> gradientStops() const;

    bool extendStart() const { return extendStart_; }
    bool extendEnd() const { return extendEnd_; }
    Point coordsStart() const { return coordsStart_; }
    Point coordsEnd() const { return coordsEnd_; }
    // t0 and t1 of "Domain".
    double domainStart() const { return domainRange_[0]; }
    double domainEnd() const { return domainRange_[1]; }

protected:
    QXPDFShadingAxial(const QXPDFShadingAxial&) = default;

private:
    bool extendStart_ = false;
    bool extendEnd_ = false;
    Point coordsStart_{0, 0};
    Point coordsEnd_{100, 100};
    double domainRange_[2] = {0, 1};
};

// ShadingType 3: parsed for the common fields; draws nothing.
class QXPDFShadingRadial : public QXPDFShading {
public:
    QXPDFShadingRadial() = default;
    std::shared_ptr<QXPDFShading> copy() const override;
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;
};

// ShadingType 4: parsed for the common fields; draws nothing.
class QXPDFShadingGouraudTriangleFree : public QXPDFShading {
public:
    QXPDFShadingGouraudTriangleFree() = default;
    std::shared_ptr<QXPDFShading> copy() const override;
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;
};

// ShadingType 5: parsed for the common fields; draws nothing.
class QXPDFShadingGouraudTriangleLattice : public QXPDFShading {
public:
    QXPDFShadingGouraudTriangleLattice() = default;
    std::shared_ptr<QXPDFShading> copy() const override;
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;
};

// ShadingType 6: parsed for the common fields; draws nothing.
class QXPDFShadingPatchMeshCoons : public QXPDFShading {
public:
    QXPDFShadingPatchMeshCoons() = default;
    std::shared_ptr<QXPDFShading> copy() const override;
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;
};

// ShadingType 7: parsed for the common fields; draws nothing.
class QXPDFShadingPathMeshTensor : public QXPDFShading {
public:
    QXPDFShadingPathMeshTensor() = default;
    std::shared_ptr<QXPDFShading> copy() const override;
    void drawInContext(BitmapContext& context, const Affine& scaleTransform) const override;
};

} // namespace rz
