#include "pdfengine/state/QXPDFXObject.h"

#include "pdfengine/base/QXPDFParserLimits.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "pdfengine/color/QXPDFColorSpace.h"
#include "pdfengine/images/QXPDFImageCache.h"
#include "pdfengine/images/QXPDFImageExtraction.h"


namespace rz {

QXPDFXObject::~QXPDFXObject() = default;

std::shared_ptr<QXPDFXObject> QXPDFXObject::XObjectWithObject(const pdf::Object& object,
                                                               const std::string& objectKey)
{
    if (!object.isStream())
        return nullptr;
    const auto subtype = object.get("Subtype").name();
    std::shared_ptr<QXPDFXObject> x;
    if (subtype == "Image")
        x = std::make_shared<QXPDFImageXObject>();
    else if (subtype == "Form")
        x = std::make_shared<QXPDFFormXObject>();
    else if (subtype == "PS")
        x = std::make_shared<QXPDFPostScriptXObject>();
    else
        return nullptr;
    x->initWithStream(object);
    x->setObjectID(objectKey);
    return x;
}

void QXPDFXObject::initWithStream(const pdf::Object& stream)
{
    xObjectStream_ = stream;
    xObjectDictionary_ = stream.dictionary();
    parse(stream);
}

bool QXPDFXObject::parse(const pdf::Object&)
{
    return false;
}

// ---------------------------------------------------------------------------

bool QXPDFImageXObject::readSize(const pdf::Object& stream)
{
    const pdf::Object dict = stream.dictionary();
    pdf::Object w = dict.get("Width");
    if (w.isNull())
        w = dict.get("W");
    pdf::Object h = dict.get("Height");
    if (h.isNull())
        h = dict.get("H");
    const auto width = w.integer();
    const auto height = h.integer();
    sizeValid_ = width && height;
    if (!sizeValid_)
        return false;
    pixelSize_ = {double(*width), double(*height)};
    return true;
}

bool QXPDFImageXObject::parse(const pdf::Object& stream)
{
    return readSize(stream);
}

bool QXPDFImageXObject::parseImage(const pdf::Object& stream, const pdf::Object& colorSpaces,
                                   std::shared_ptr<QXPDFImageCache> cache)
{
    setExtractionSource(colorSpaces, std::move(cache));
    return readSize(stream);
}

void QXPDFImageXObject::setExtractionSource(const pdf::Object& colorSpaces, std::shared_ptr<QXPDFImageCache> cache)
{
    if (extractionTried_)
        return;
    colorSpaces_ = colorSpaces;
    cache_ = std::move(cache);
}

void QXPDFImageXObject::setCachedImagePath(std::string p)
{
    cachedImagePath_ = std::move(p);
    extractionTried_ = true;
}

const std::string& QXPDFImageXObject::cachedImagePath() const
{
    if (extractionTried_)
        return cachedImagePath_;
    extractionTried_ = true;
    const pdf::Object& stream = xObjectStream();
    // Sizes beyond the limit are never decoded.
    if (!sizeValid_ || !stream.isStream() || pixelSize_.width <= 0 || pixelSize_.height <= 0 ||
        pixelSize_.width * pixelSize_.height > double(kQXPDFMaxImagePixels))
        return cachedImagePath_;
    if (cache_) {
        if (auto path = cache_->cachedImagePath(stream, colorSpaces_))
            cachedImagePath_ = std::move(*path);
        return cachedImagePath_;
    }
    const std::string path = QXPDFImageExtraction::UUIDImagePathForStream(stream);
    if (!path.empty() &&
        QXPDFImageExtraction::extractPDFStream(stream, colorSpaces_, path, kQXPDFImageJPEGQuality, false))
        cachedImagePath_ = path;
    return cachedImagePath_;
}

// ---------------------------------------------------------------------------

bool QXPDFFormXObject::parse(const pdf::Object& stream)
{
    const pdf::Object dict = stream.dictionary();
    // A form without /FormType is of type 1, the only type there is.
    const pdf::Object type = dict.get("FormType");
    formType_ = type.isNull() ? 1 : long(type.integer().value_or(0));
    if (formType_ != 1)
        return false;

    bbox_ = Rect::null();
    const pdf::Object box = dict.get("BBox");
    double v[6] = {};
    bool boxRead = box.isArray() && box.size() == 4;
    for (size_t i = 0; boxRead && i < 4; ++i)
        boxRead = QXPDFUtilities::GetNumberWithPDFArray(box, i, &v[i]);
    if (boxRead)
        bbox_ = Rect(v[0], v[1], v[2] - v[0], v[3] - v[1]).standardized();

    matrix_ = Affine::identity();
    const pdf::Object m = dict.get("Matrix");
    bool matrixRead = m.isArray() && m.size() == 6;
    for (size_t i = 0; matrixRead && i < 6; ++i)
        matrixRead = QXPDFUtilities::GetNumberWithPDFArray(m, i, &v[i]);
    if (matrixRead)
        matrix_ = {v[0], v[1], v[2], v[3], v[4], v[5]};

    transpGroup_ = isolated_ = knockout_ = false;
    blendingColorSpace_.reset();
    const pdf::Object group = dict.get("Group");
    const auto s = group.get("S").name();
    if (group.isDictionary() && s && *s != "Image") {
        transpGroup_ = true;
        if (group.hasKey("CS"))
            blendingColorSpace_ = QXPDFColorSpace::ColorSpaceWithObject(group.get("CS"), "QXPDFFormXObject");
        if (const auto i = group.get("I").boolean())
            isolated_ = *i;
        if (const auto k = group.get("K").boolean())
            knockout_ = *k;
    }
    return boxRead;
}

// ---------------------------------------------------------------------------

namespace {

bool isXObjectStream(const pdf::Object& value)
{
    if (!value.isStream())
        return false;
    const auto subtype = value.get("Subtype").name();
    return subtype == "Image" || subtype == "Form" || subtype == "PS";
}

} // namespace

QXPDFXObjectCollection::QXPDFXObjectCollection(const pdf::Object& dictionary)
    : QXPDFResourceCollection(dictionary, &QXPDFXObject::XObjectWithObject)
{
}

bool QXPDFXObjectCollection::offer(const std::string& name) const
{
    if (!accepted_) {
        accepted_.emplace();
        const std::vector<std::string> keys = dictionary().keys();
        if (keys.size() > kQXPDFMaxXObjectsPerCollection) {
            // Only the first accepted entries, in key order, are kept.
            size_t count = 0;
            for (const std::string& key : keys) {
                if (count >= kQXPDFMaxXObjectsPerCollection)
                    break;
                if (isXObjectStream(dictionary().get(key))) {
                    (*accepted_)[key] = true;
                    ++count;
                }
            }
        }
    }
    return accepted_->empty() || accepted_->count(name) != 0;
}

} // namespace rz
