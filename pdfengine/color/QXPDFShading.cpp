#include "pdfengine/color/QXPDFShading.h"

#include "pdfengine/color/QXPDFColorLimits.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

// A number of an array element, or nothing.
std::optional<double> numberAt(const pdf::Object& array, size_t index)
{
    const auto v = array.at(index).number();
    if (v && std::isfinite(*v))
        return v;
    return std::nullopt;
}

double clipTo(double v, double lo, double hi)
{
    if (std::isnan(v))
        return lo;
    if (lo > hi)
        std::swap(lo, hi);
    return std::min(std::max(v, lo), hi);
}

template <typename T>
std::shared_ptr<QXPDFShading> makeShading()
{
    return std::make_shared<T>();
}

} // namespace

// ---------------------------------------------------------------- base

QXPDFShading::QXPDFShading() = default;
QXPDFShading::~QXPDFShading() = default;

std::shared_ptr<QXPDFShading> QXPDFShading::ShadingWithObject(const pdf::Object& object,
                                                              const std::string& objectKey)
{
    if (!object.isDictionary())
        return nullptr;
    const auto type = object.get("ShadingType").integer();
    if (!type)
        return nullptr;
    std::shared_ptr<QXPDFShading> shading;
    switch (*type) {
    case QXPDFShadingTypeFunction:
        shading = makeShading<QXPDFShadingFunction>();
        break;
    case QXPDFShadingTypeAxial:
        shading = makeShading<QXPDFShadingAxial>();
        break;
    case QXPDFShadingTypeRadial:
        shading = makeShading<QXPDFShadingRadial>();
        break;
    case QXPDFShadingTypeGouraudTriangleFree:
        shading = makeShading<QXPDFShadingGouraudTriangleFree>();
        break;
    case QXPDFShadingTypeGouraudTriangleLattice:
        shading = makeShading<QXPDFShadingGouraudTriangleLattice>();
        break;
    case QXPDFShadingTypePatchMeshCoons:
        shading = makeShading<QXPDFShadingPatchMeshCoons>();
        break;
    case QXPDFShadingTypePathMeshTensor:
        shading = makeShading<QXPDFShadingPathMeshTensor>();
        break;
    default:
        return nullptr;
    }
    if (!shading->initWithDictionary(object, objectKey))
        return nullptr;
    shading->setType(*type);
    return shading;
}

std::shared_ptr<QXPDFShading> QXPDFShading::copy() const
{
    return std::shared_ptr<QXPDFShading>(new QXPDFShading(*this));
}

bool QXPDFShading::initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey)
{
    objectKey_ = objectKey;
    if (!dictionary.hasKey("ColorSpace"))
        return false;
    colorSpace_ = QXPDFColorSpace::ColorSpaceWithObject(dictionary.get("ColorSpace"), "QXPDFShading");

    background_ = QXPDFColor{};
    background_.c.fill(0);
    hasBackground_ = false;
    const pdf::Object background = dictionary.get("Background");
    if (colorSpace_ && background.isArray() && colorSpace_->getNComps() > 0 &&
        static_cast<long>(background.size()) == colorSpace_->getNComps() &&
        background.size() <= static_cast<size_t>(kQXPDFMaxColorComponents)) {
        hasBackground_ = true;
        background_.isNull = 0;
        background_.length = static_cast<std::int32_t>(background.size());
        for (size_t i = 0; i < background.size(); ++i)
            background_.c[i] = QXPDFColorComponentFromOperand(numberAt(background, i).value_or(0));
    }

    xMin_ = yMin_ = xMax_ = yMax_ = 0;
    hasBBox_ = false;
    const pdf::Object box = dictionary.get("BBox");
    if (box.isArray() && box.size() == 4) {
        xMin_ = numberAt(box, 0).value_or(0);
        yMin_ = numberAt(box, 1).value_or(0);
        xMax_ = numberAt(box, 2).value_or(0);
        yMax_ = numberAt(box, 3).value_or(0);
        hasBBox_ = true;
    }
    return true;
}

void QXPDFShading::drawInContext(BitmapContext& context, const Affine& /*scaleTransform*/) const
{
    if (!hasBackground_ || !colorSpace_)
        return;
    const QXPDFRGB rgb = colorSpace_->getRGB(background_);
    const Rect box = context.clipBoundingBox();
    if (box.isNull())
        return;
    context.saveGState();
    context.setFillColor({rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0, 1});
    context.fillRect(box);
    context.restoreGState();
}

// ---------------------------------------------------------------- kinds that draw nothing

std::shared_ptr<QXPDFShading> QXPDFShadingFunction::copy() const
{
    return std::make_shared<QXPDFShadingFunction>(*this);
}
void QXPDFShadingFunction::drawInContext(BitmapContext&, const Affine&) const {}

std::shared_ptr<QXPDFShading> QXPDFShadingRadial::copy() const
{
    return std::make_shared<QXPDFShadingRadial>(*this);
}
void QXPDFShadingRadial::drawInContext(BitmapContext&, const Affine&) const {}

std::shared_ptr<QXPDFShading> QXPDFShadingGouraudTriangleFree::copy() const
{
    return std::make_shared<QXPDFShadingGouraudTriangleFree>(*this);
}
void QXPDFShadingGouraudTriangleFree::drawInContext(BitmapContext&, const Affine&) const {}

std::shared_ptr<QXPDFShading> QXPDFShadingGouraudTriangleLattice::copy() const
{
    return std::make_shared<QXPDFShadingGouraudTriangleLattice>(*this);
}
void QXPDFShadingGouraudTriangleLattice::drawInContext(BitmapContext&, const Affine&) const {}

std::shared_ptr<QXPDFShading> QXPDFShadingPatchMeshCoons::copy() const
{
    return std::make_shared<QXPDFShadingPatchMeshCoons>(*this);
}
void QXPDFShadingPatchMeshCoons::drawInContext(BitmapContext&, const Affine&) const {}

std::shared_ptr<QXPDFShading> QXPDFShadingPathMeshTensor::copy() const
{
    return std::make_shared<QXPDFShadingPathMeshTensor>(*this);
}
void QXPDFShadingPathMeshTensor::drawInContext(BitmapContext&, const Affine&) const {}

// ---------------------------------------------------------------- univariate

std::shared_ptr<QXPDFShading> QXPDFShadingUnivariate::copy() const
{
    return std::shared_ptr<QXPDFShading>(new QXPDFShadingUnivariate(*this));
}

bool QXPDFShadingUnivariate::readFunctions(const pdf::Object& dictionary)
{
    funcs_.clear();
    if (!dictionary.hasKey("Function"))
        return false;
    const pdf::Object function = dictionary.get("Function");
    if (function.isArray()) {
        const size_t n = function.size();
        if (n >= 1 && n <= kQXPDFMaxShadingFunctions) {
            for (size_t i = 0; i < n; ++i)
                if (auto f = QXPDFFunction::FuntionWithObject(function.at(i)))
                    funcs_.push_back(std::move(f));
        }
    } else if (auto f = QXPDFFunction::FuntionWithObject(function)) {
        funcs_.push_back(std::move(f));
    }
    return !funcs_.empty();
}

size_t QXPDFShadingUnivariate::getColor(double t, double* out) const
{
    std::fill(out, out + kQXPDFMaxFunctionValues, 0.0);
    size_t written = 0;
    double input[kQXPDFMaxFunctionValues] = {};
    double result[kQXPDFMaxFunctionValues];
    for (const auto& f : funcs_) {
        if (written >= static_cast<size_t>(kQXPDFMaxFunctionValues))
            break;
        // The input clipped to the function's domain, the outputs to its range.
        input[0] = f->m_input() > 0 ? clipTo(t, f->domain()[0], f->domain()[1]) : t;
        f->transformInput(input, result);
        const auto outputs = static_cast<size_t>(
            std::clamp<long long>(f->n_output(), 0, kQXPDFMaxFunctionValues));
        for (size_t j = 0; j < outputs && written < static_cast<size_t>(kQXPDFMaxFunctionValues); ++j) {
            double v = result[j];
            if (f->hasRange())
                v = clipTo(v, f->range()[2 * j], f->range()[2 * j + 1]);
            out[written++] = std::isfinite(v) ? v : 0.0;
        }
    }
    return written;
}

// ---------------------------------------------------------------- axial

std::shared_ptr<QXPDFShading> QXPDFShadingAxial::copy() const
{
    return std::shared_ptr<QXPDFShading>(new QXPDFShadingAxial(*this));
}

bool QXPDFShadingAxial::initWithDictionary(const pdf::Object& dictionary, const std::string& objectKey)
{
    if (!QXPDFShading::initWithDictionary(dictionary, objectKey))
        return false;

    coordsStart_ = {0, 0};
    coordsEnd_ = {100, 100};
    const pdf::Object coords = dictionary.get("Coords");
    if (coords.isArray() && coords.size() == 4) {
        if (auto v = numberAt(coords, 0))
            coordsStart_.x = *v;
        if (auto v = numberAt(coords, 1))
            coordsStart_.y = *v;
        if (auto v = numberAt(coords, 2))
            coordsEnd_.x = *v;
        if (auto v = numberAt(coords, 3))
            coordsEnd_.y = *v;
    }

    domainRange_[0] = 0;
    domainRange_[1] = 1;
    const pdf::Object domain = dictionary.get("Domain");
    if (domain.isArray() && domain.size() == 2) {
        const auto t0 = numberAt(domain, 0);
        const auto t1 = numberAt(domain, 1);
        if (t0 && t1) {
            domainRange_[0] = *t0;
            domainRange_[1] = *t1;
        }
    }

    if (!readFunctions(dictionary))
        return false;

    extendStart_ = extendEnd_ = false;
    const pdf::Object extend = dictionary.get("Extend");
    if (extend.isArray() && extend.size() == 2) {
        if (auto b = extend.at(0).boolean())
            extendStart_ = *b;
        if (auto b = extend.at(1).boolean())
            extendEnd_ = *b;
    }
    return true;
}

std::vector<GradientStop> QXPDFShadingAxial::gradientStops() const
{
    std::vector<GradientStop> stops;
    const auto& space = colorSpace();
    if (!space || funcs().empty())
        return stops;
    stops.reserve(kQXPDFShadingGradientStops);
    double values[kQXPDFMaxFunctionValues];
    for (int i = 0; i < kQXPDFShadingGradientStops; ++i) {
        const double s = static_cast<double>(i) / (kQXPDFShadingGradientStops - 1);
        // The axis runs from t0 at the start point to t1 at the end point.
        const double t = domainRange_[0] + s * (domainRange_[1] - domainRange_[0]);
        const size_t n = getColor(t, values);
        QXPDFColor color;
        color.isNull = 0;
        color.length = static_cast<std::int32_t>(n);
        for (size_t k = 0; k < n; ++k)
            color.c[k] = QXPDFColorComponentFromOperand(values[k]);
        const QXPDFRGB rgb = space->getRGB(color);
        stops.push_back({s, {rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0, 1}});
    }
    return stops;
}

void QXPDFShadingAxial::drawInContext(BitmapContext& context, const Affine& /*scaleTransform*/) const
{
    const auto stops = gradientStops();
    if (stops.empty())
        return;
    context.drawLinearGradient(stops, coordsStart_, coordsEnd_, extendStart_, extendEnd_);
}

} // namespace rz
