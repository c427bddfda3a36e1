// XObjects: images, forms and PostScript fragments named in a stream's
// /XObject resources (or made for inline images and appearance streams),
// and the collection that holds them by name.
#pragma once

#include "pdfengine/state/QXPDFResourceCollection.h"
#include "platform/geometry/Geometry.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <string>

namespace rz {

class QXPDFAnnot;
class QXPDFColorSpace;
class QXPDFImageCache;

// The values of QXPDFXObject::getType().
enum QXPDFXObjectType : long {
    QXPDFXObjectTypeBase = 0,
    QXPDFXObjectTypeImage = 1,
    QXPDFXObjectTypeForm = 2,
    QXPDFXObjectTypePostScript = 3,
};

class QXPDFXObject {
public:
    QXPDFXObject() = default;
    virtual ~QXPDFXObject();

    // The XObject of a stream whose /Subtype is "Image", "Form" or "PS",
    // identified by `objectKey`; nothing for anything else.
    static std::shared_ptr<QXPDFXObject> XObjectWithObject(const pdf::Object& object,
                                                           const std::string& objectKey);

    // Keeps the stream and its dictionary, then reads the kind's entries.
    void initWithStream(const pdf::Object& stream);
    // Reads the kind's entries; false when they are unusable.
    virtual bool parse(const pdf::Object& stream);
    virtual long getType() const { return QXPDFXObjectTypeBase; }

    const std::string& objectID() const { return objectID_; }
    void setObjectID(std::string id) { objectID_ = std::move(id); }
    // The CTM the XObject was drawn with (forms: at the Do).
    const Affine& ctm() const { return ctm_; }
    void setCtm(const Affine& m) { ctm_ = m; }
    const pdf::Object& xObjectStream() const { return xObjectStream_; }
    const pdf::Object& xObjectDictionary() const { return xObjectDictionary_; }
    // The annotation whose appearance drew it, or null.
    const std::shared_ptr<QXPDFAnnot>& annot() const { return annot_; }
    void setAnnot(std::shared_ptr<QXPDFAnnot> a) { annot_ = std::move(a); }

protected:
    QXPDFXObject(const QXPDFXObject&) = default;
    QXPDFXObject& operator=(const QXPDFXObject&) = default;

private:
    std::string objectID_;
    Affine ctm_;
    pdf::Object xObjectStream_;
    pdf::Object xObjectDictionary_;
    std::shared_ptr<QXPDFAnnot> annot_;
};

class QXPDFImageXObject : public QXPDFXObject {
public:
    QXPDFImageXObject() = default;
    QXPDFImageXObject(const QXPDFImageXObject&) = default;
    long getType() const override { return QXPDFXObjectTypeImage; }

    // Reads the size. The file is extracted when it is first asked for
    // (cachedImagePath), so images nobody reads are never decoded.
    bool parse(const pdf::Object& stream) override;
    // Reads the size and prepares the extraction: `colorSpaces` is the
    // /ColorSpace resource dictionary (or null) for named colour spaces,
    // `cache` the document's image files (or null). False when /Width (/W)
    // or /Height (/H) is not an integer: the image then has no size and no
    // file.
    bool parseImage(const pdf::Object& stream, const pdf::Object& colorSpaces,
                    std::shared_ptr<QXPDFImageCache> cache = nullptr);
    // Where the file will come from: through the cache when one is given
    // (files shared across the document), else a new file of the home
    // folder's "tmp" folder. Nothing once the file was asked for.
    void setExtractionSource(const pdf::Object& colorSpaces, std::shared_ptr<QXPDFImageCache> cache);

    // /Width and /Height; zero when unreadable.
    Size pixelSize() const { return pixelSize_; }
    void setPixelSize(Size s) { pixelSize_ = s; }
    // The extracted file, extracted on the first call; empty when there is
    // none (no size, more than kQXPDFMaxImagePixels, or undecodable data).
    const std::string& cachedImagePath() const;
    void setCachedImagePath(std::string p);

private:
    bool readSize(const pdf::Object& stream);

    Size pixelSize_;
    bool sizeValid_ = false;
    pdf::Object colorSpaces_;
    std::shared_ptr<QXPDFImageCache> cache_;
    mutable std::string cachedImagePath_;
    mutable bool extractionTried_ = false;
};

class QXPDFFormXObject : public QXPDFXObject {
public:
    QXPDFFormXObject() = default;
    QXPDFFormXObject(const QXPDFFormXObject&) = default;
    long getType() const override { return QXPDFXObjectTypeForm; }

    // /FormType (1 when absent; any other type reads nothing more), /BBox,
    // /Matrix and /Group.
    bool parse(const pdf::Object& stream) override;

    long formType() const { return formType_; }
    // /Matrix, the identity unless it is an array of 6 numbers.
    const Affine& matrix() const { return matrix_; }
    const Affine& matrixTransform() const { return matrix_; }
    // /BBox as a rectangle (lower-left corner, width, height); null unless
    // it is an array of 4 numbers.
    const Rect& bbox() const { return bbox_; }
    bool transpGroup() const { return transpGroup_; }
    bool isolated() const { return isolated_; }
    bool knockout() const { return knockout_; }
    const std::shared_ptr<QXPDFColorSpace>& blendingColorSpace() const { return blendingColorSpace_; }

private:
    long formType_ = 0;
    Affine matrix_;
    Rect bbox_ = Rect::null();
    bool transpGroup_ = false;
    bool isolated_ = false;
    bool knockout_ = false;
    std::shared_ptr<QXPDFColorSpace> blendingColorSpace_;
};

class QXPDFPostScriptXObject : public QXPDFXObject {
public:
    QXPDFPostScriptXObject() = default;
    long getType() const override { return QXPDFXObjectTypePostScript; }
    // Nothing to read: false.
    bool parse(const pdf::Object&) override { return false; }
};

// The XObjects of one /XObject dictionary by name. Entries whose value is
// not a stream of a known /Subtype are left out, and so is every entry after
// the first kQXPDFMaxXObjectsPerCollection accepted ones (in key order).
class QXPDFXObjectCollection : public QXPDFResourceCollection<QXPDFXObject> {
public:
    QXPDFXObjectCollection() = default;
    explicit QXPDFXObjectCollection(const pdf::Object& dictionary);

    std::shared_ptr<QXPDFXObject> xObjectWithNamed(const std::string& name) const { return lookup(name); }
    const Map& xObjects() const { return objects(); }
    Map xObjectsByName() const { return objects(); }
    void setXObjects(Map objects) { setObjects(std::move(objects)); }
    void addObjectsFromDictionary(const Map& objects) { addObjects(objects); }

protected:
    bool offer(const std::string& name) const override;

private:
    // Names of the accepted entries, found on the first lookup.
    mutable std::optional<std::map<std::string, bool>> accepted_;
};

} // namespace rz
