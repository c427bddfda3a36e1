#include "pdfengine/color/QXPDFPattern.h"

#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/color/QXPDFNestingGuard.h"
#include "pdfengine/color/QXPDFShading.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace rz {

namespace {

// The colour of uncoloured cells when "scn" gave none.
constexpr RGBAColor kUncoloredFallback{250 / 255.0, 100 / 255.0, 150 / 255.0, 1};

std::optional<double> finiteNumber(const pdf::Object& object)
{
    const auto v = object.number();
    if (v && std::isfinite(*v))
        return v;
    return std::nullopt;
}

// Each number of an array of exactly N elements replaces its entry.
template <size_t N>
void readNumbers(const pdf::Object& array, std::array<double, N>& values)
{
    if (!array.isArray() || array.size() != N)
        return;
    for (size_t i = 0; i < N; ++i)
        if (auto v = finiteNumber(array.at(i)))
            values[i] = *v;
}

Affine affineOf(const std::array<double, 6>& m)
{
    return {m[0], m[1], m[2], m[3], m[4], m[5]};
}

std::mutex& rendererMutex()
{
    static std::mutex mutex;
    return mutex;
}

QXPDFTilingCellRenderer& rendererSlot()
{
    static QXPDFTilingCellRenderer renderer;
    return renderer;
}

// The pattern streams whose cells are being rendered on this thread.
std::vector<pdf::Object>& cellsInProgress()
{
    thread_local std::vector<pdf::Object> chain;
    return chain;
}

// The cell's coverage painted in one colour.
std::optional<Image> colorized(const Image& cell, const RGBAColor& color)
{
    auto out = Image::make(cell.width(), cell.height(), PixelFormat::RGBA8);
    if (!out)
        return std::nullopt;
    const Image rgba = cell.format() == PixelFormat::RGBA8 ? cell : cell.converted(PixelFormat::RGBA8);
    const auto toByte = [](double v) {
        return static_cast<uint8_t>(std::lround(std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 1.0) * 255));
    };
    const uint8_t r = toByte(color.red), g = toByte(color.green), b = toByte(color.blue);
    const double alpha = std::clamp(std::isnan(color.alpha) ? 1.0 : color.alpha, 0.0, 1.0);
    for (int y = 0; y < rgba.height(); ++y) {
        const uint8_t* src = rgba.row(y);
        uint8_t* dst = out->mutableRow(y);
        for (int x = 0; x < rgba.width(); ++x) {
            dst[4 * x] = r;
            dst[4 * x + 1] = g;
            dst[4 * x + 2] = b;
            dst[4 * x + 3] = static_cast<uint8_t>(std::lround(src[4 * x + 3] * alpha));
        }
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- base

QXPDFPattern::QXPDFPattern() = default;
QXPDFPattern::~QXPDFPattern() = default;

std::shared_ptr<QXPDFPattern> QXPDFPattern::PatternWithObject(const pdf::Object& object,
                                                              const std::string& objectKey)
{
    if (!object.isStream() && !object.isDictionary())
        return nullptr;
    const auto type = object.dictionary().get("PatternType").integer();
    if (!type)
        return nullptr;
    std::shared_ptr<QXPDFPattern> pattern;
    if (*type == QXPDFPatternTypeTiling)
        pattern = std::make_shared<QXPDFPatternTiling>();
    else if (*type == QXPDFPatternTypeShading)
        pattern = std::make_shared<QXPDFPatternShading>();
    else
        return nullptr;
    if (!pattern->initWithObject(object, objectKey))
        return nullptr;
    pattern->setType(*type);
    return pattern;
}

std::shared_ptr<QXPDFPattern> QXPDFPattern::copy() const
{
    return std::shared_ptr<QXPDFPattern>(new QXPDFPattern(*this));
}

bool QXPDFPattern::initWithObject(const pdf::Object& /*object*/, const std::string& objectKey)
{
    objectKey_ = objectKey;
    return true;
}

void QXPDFPattern::drawInContext(BitmapContext& context, const Affine& /*scaleTransform*/) const
{
    const Rect box = context.clipBoundingBox();
    if (box.isNull())
        return;
    context.saveGState();
    context.setFillColor({0, 0, 0, 1});
    context.fillRect(box);
    context.restoreGState();
}

void QXPDFPattern::setUncoloredColor(const QXPDFColor& color, const QXPDFColorSpace& space)
{
    const QXPDFRGB rgb = space.getRGB(color);
    uncoloredColor_ = RGBAColor{rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0, 1};
}

// ---------------------------------------------------------------- tiling

struct QXPDFPatternTiling::CellCache {
    std::mutex mutex;
    bool rendered = false;
    int pixelWidth = 0;
    int pixelHeight = 0;
    std::optional<Image> image;
};

QXPDFPatternTiling::QXPDFPatternTiling() : cell_(std::make_shared<CellCache>()) {}

std::shared_ptr<QXPDFPattern> QXPDFPatternTiling::copy() const
{
    return std::shared_ptr<QXPDFPattern>(new QXPDFPatternTiling(*this));
}

bool QXPDFPatternTiling::initWithObject(const pdf::Object& object, const std::string& objectKey)
{
    QXPDFPattern::initWithObject(object, objectKey);
    if (!object.isStream())
        return false;
    contentStream_ = object;
    const pdf::Object dict = object.dictionary();
    if (auto v = dict.get("PaintType").integer())
        paintType_ = *v;
    if (auto v = dict.get("TilingType").integer())
        tilingType_ = *v;
    if (auto v = finiteNumber(dict.get("XStep")))
        xStep_ = *v;
    if (auto v = finiteNumber(dict.get("YStep")))
        yStep_ = *v;
    readNumbers(dict.get("BBox"), bbox_);
    readNumbers(dict.get("Matrix"), matrix_);
    const pdf::Object resources = dict.get("Resources");
    if (resources.isDictionary())
        resDict_ = resources;
    return true;
}

QXPDFPatternTiling::TilingMode QXPDFPatternTiling::tilingMode() const
{
    switch (tilingType_) {
    case 1:
        return TilingMode::ConstantSpacing;
    case 3:
        return TilingMode::ConstantSpacingMinimalDistortion;
    default:
        return TilingMode::NoDistortion;
    }
}

Rect QXPDFPatternTiling::cellRect() const
{
    return Rect(bbox_[0], bbox_[1], bbox_[2] - bbox_[0], bbox_[3] - bbox_[1]);
}

Affine QXPDFPatternTiling::matrixTransform() const
{
    return affineOf(matrix_);
}

void QXPDFPatternTiling::setCellRenderer(QXPDFTilingCellRenderer renderer)
{
    std::lock_guard<std::mutex> lock(rendererMutex());
    rendererSlot() = std::move(renderer);
}

QXPDFTilingCellRenderer QXPDFPatternTiling::cellRenderer()
{
    std::lock_guard<std::mutex> lock(rendererMutex());
    return rendererSlot();
}

std::optional<Image> QXPDFPatternTiling::contentImage(std::optional<Size> deviceSize) const
{
    if (!cell_ || !contentStream_.isStream())
        return std::nullopt;
    const Rect cell = cellRect().standardized();
    if (!std::isfinite(cell.size.width) || !std::isfinite(cell.size.height) || !(cell.size.width > 0) ||
        !(cell.size.height > 0))
        return std::nullopt;
    // One pixel per pattern unit, scaled down to the cap, and no finer than
    // the pixels the cell is drawn into (a cell of a million units shown a
    // few points wide needs a few dozen pixels).
    double width = std::ceil(cell.size.width);
    double height = std::ceil(cell.size.height);
    const double longest = std::max(width, height);
    if (longest > kQXPDFMaxTilingCellSide) {
        const double factor = kQXPDFMaxTilingCellSide / longest;
        width = std::ceil(cell.size.width * factor);
        height = std::ceil(cell.size.height * factor);
    }
    if (deviceSize && std::isfinite(deviceSize->width) && std::isfinite(deviceSize->height)) {
        width = std::min(width, std::max(1.0, std::ceil(deviceSize->width)));
        height = std::min(height, std::max(1.0, std::ceil(deviceSize->height)));
    }
    const int pixelWidth = static_cast<int>(std::clamp(width, 1.0, double(kQXPDFMaxTilingCellSide)));
    const int pixelHeight = static_cast<int>(std::clamp(height, 1.0, double(kQXPDFMaxTilingCellSide)));
    {
        std::lock_guard<std::mutex> lock(cell_->mutex);
        if (cell_->rendered && cell_->pixelWidth == pixelWidth && cell_->pixelHeight == pixelHeight)
            return cell_->image;
    }
    // A cell that paints with itself (directly or through other cells) is
    // refused further down; only the outermost rendering is kept.
    QXPDFNestingGuard guard(cellsInProgress(), contentStream_, kQXPDFMaxTilingCellDepth);
    if (!guard.entered())
        return std::nullopt;

    std::optional<Image> image;
    if (const auto renderer = cellRenderer()) {
        const pdf::Object& resources = resDict_.isDictionary() ? resDict_ : inheritedResources_;
        image = renderer(contentStream_, resources, cell, pixelWidth, pixelHeight);
        if (image && image->isEmpty())
            image.reset();
    }
    std::lock_guard<std::mutex> lock(cell_->mutex);
    cell_->rendered = true;
    cell_->pixelWidth = pixelWidth;
    cell_->pixelHeight = pixelHeight;
    cell_->image = std::move(image);
    return cell_->image;
}

void QXPDFPatternTiling::drawInContext(BitmapContext& context, const Affine& scaleTransform) const
{
    const Rect cell = cellRect().standardized();
    const double xs = std::fabs(xStep_);
    const double ys = std::fabs(yStep_);
    if (!(xs > 0) || !(ys > 0) || !std::isfinite(xs) || !std::isfinite(ys) || cell.isEmpty() ||
        !std::isfinite(cell.size.width) || !std::isfinite(cell.size.height))
        return;
    // The cell's size in the context's pixels.
    const Affine toPixels = concat(concat(matrixTransform(), scaleTransform), context.ctm());
    const Size deviceSize{cell.size.width * std::hypot(toPixels.a, toPixels.b),
                          cell.size.height * std::hypot(toPixels.c, toPixels.d)};
    std::optional<Image> image = contentImage(deviceSize);
    if (!image)
        return;
    if (paintType_ != 1) {
        image = colorized(*image, uncoloredColor().value_or(kUncoloredFallback));
        if (!image)
            return;
    }

    context.saveGState();
    context.concatCTM(concat(matrixTransform(), scaleTransform));
    const Rect box = context.clipBoundingBox();
    if (!box.isNull() && !box.isInfinite() && std::isfinite(box.size.width) && std::isfinite(box.size.height)) {
        // Cells i, j sit at (llx + i·xStep, lly + j·yStep); draw every one
        // that reaches into the clip box.
        const double iFirst = std::floor((box.minX() - cell.maxX()) / xs);
        const double iLast = std::ceil((box.maxX() - cell.minX()) / xs);
        const double jFirst = std::floor((box.minY() - cell.maxY()) / ys);
        const double jLast = std::ceil((box.maxY() - cell.minY()) / ys);
        const double columns = iLast - iFirst + 1;
        const double rows = jLast - jFirst + 1;
        if (std::isfinite(columns) && std::isfinite(rows) && columns > 0 && rows > 0 &&
            columns * rows <= static_cast<double>(kQXPDFMaxTilingCells)) {
            const auto cols = static_cast<long long>(columns);
            const auto rws = static_cast<long long>(rows);
            std::vector<Rect> cells;
            cells.reserve(static_cast<std::size_t>(cols * rws));
            for (long long j = 0; j < rws; ++j) {
                for (long long i = 0; i < cols; ++i) {
                    const double x = cell.minX() + (iFirst + static_cast<double>(i)) * xs;
                    const double y = cell.minY() + (jFirst + static_cast<double>(j)) * ys;
                    cells.emplace_back(x, y, cell.size.width, cell.size.height);
                }
            }
            context.drawImages(*image, cells);
        }
    }
    context.restoreGState();
}

// ---------------------------------------------------------------- shading pattern

std::shared_ptr<QXPDFPattern> QXPDFPatternShading::copy() const
{
    return std::shared_ptr<QXPDFPattern>(new QXPDFPatternShading(*this));
}

bool QXPDFPatternShading::initWithObject(const pdf::Object& object, const std::string& objectKey)
{
    QXPDFPattern::initWithObject(object, objectKey);
    if (!object.isDictionary())
        return false;
    shading_ = QXPDFShading::ShadingWithObject(object.get("Shading"), objectKey);
    if (!shading_)
        return false;
    matrix_ = {1, 0, 0, 1, 0, 0};
    readNumbers(object.get("Matrix"), matrix_);
    return true;
}

Affine QXPDFPatternShading::matrixTransform() const
{
    return affineOf(matrix_);
}

void QXPDFPatternShading::drawInContext(BitmapContext& context, const Affine& scaleTransform) const
{
    if (!shading_)
        return;
    context.saveGState();
    context.concatCTM(concat(matrixTransform(), scaleTransform));
    shading_->drawInContext(context, scaleTransform);
    context.restoreGState();
}

// ---------------------------------------------------------------- collection

QXPDFPatternCollection::QXPDFPatternCollection(const pdf::Object& dictionary,
                                               const pdf::Object& drawingResources)
{
    if (!dictionary.isDictionary())
        return;
    for (const std::string& key : dictionary.keys()) {
        auto pattern = QXPDFPattern::PatternWithObject(dictionary.get(key), key);
        if (!pattern)
            continue;
        if (auto* tiling = dynamic_cast<QXPDFPatternTiling*>(pattern.get());
            tiling && drawingResources.isDictionary())
            tiling->setInheritedResources(drawingResources);
        collectObjects_[key] = std::move(pattern);
    }
}

void QXPDFPatternCollection::addObjectsFromDictionary(
    const std::map<std::string, std::shared_ptr<QXPDFPattern>>& objects)
{
    for (const auto& [name, pattern] : objects)
        collectObjects_[name] = pattern;
}

std::shared_ptr<QXPDFPattern> QXPDFPatternCollection::objectNamed(const std::string& name) const
{
    const auto it = collectObjects_.find(name);
    return it == collectObjects_.end() ? nullptr : it->second;
}

} // namespace rz
