// Documents and pages over qpdf.
#pragma once

#include "platform/geometry/Geometry.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <string>

namespace rz::pdf {

enum class Box { Media = 0, Crop = 1, Bleed = 2, Trim = 3, Art = 4 };

class Page;

// Why a document did or did not open.
enum class OpenStatus {
    Ok,                  // open (possibly still locked by a password)
    NotFound,            // nothing at the path, or a folder
    Unreadable,          // the file exists but cannot be read
    NotPDF,              // empty, not a PDF, or damaged beyond repair
    UnsupportedSecurity, // needs a certificate or another non-password security handler
};

class Document : public std::enable_shared_from_this<Document> {
public:
    // Nothing for a missing, empty, unreadable or non-PDF file, and for a
    // file that needs a certificate (public-key) security handler. An
    // encrypted file opens locked unless its user password is empty.
    static std::shared_ptr<Document> open(const std::string& path);
    static std::shared_ptr<Document> openData(std::string bytes);
    // The same, telling why nothing was opened (`status` may be null).
    static std::shared_ptr<Document> open(const std::string& path, OpenStatus* status);
    static std::shared_ptr<Document> openData(std::string bytes, OpenStatus* status);
    ~Document();

    bool isEncrypted() const;
    bool isUnlocked() const;
    // Tries the password (and the other spellings qpdf offers for non-ASCII
    // passwords, each first prepared by SASLprep for an AES-256 file); on
    // success the document is reopened unlocked and true is returned. Page and object handles taken before a successful unlock
    // must not be used afterwards.
    // A document that is not encrypted has nothing to unlock: true. A wrong
    // password leaves the document as it was, even when it was already
    // unlocked (with an empty password), and answers false. A user password
    // given to a document already opened with its (empty) owner password
    // keeps the owner's rights.
    bool unlockWithPassword(const std::string& password);
    // True when the owner password matched, or when the permissions allow it
    // (printing: the low-resolution print bit; copying: the extract bit).
    // A locked document allows nothing.
    bool allowsPrinting() const;
    bool allowsCopying() const;
    // True when the owner password (not only the user password) opened it.
    bool ownerPasswordMatched() const;

    int pageCount() const;
    // 1-based; an invalid page (isValid() false) when out of range.
    Page page(int number) const;
    Object catalog() const;
    Object trailer() const;
    // A string of the Info dictionary as UTF-8; empty when missing.
    std::string infoString(const std::string& key) const;
    Object info() const;
    // "1.7" and so on (from the header while the document is locked).
    std::string version() const;
    const std::string& path() const;
    // The password, in the spelling that opened the document (empty when
    // none was needed), for other readers of the same file.
    const std::string& password() const;

    struct Impl;
    Impl& impl() const { return *impl_; }

private:
    Document();
    std::unique_ptr<Impl> impl_;
};

class Page {
public:
    Page() = default;
    bool isValid() const { return doc_ != nullptr; }
    // 1-based.
    int pageNumber() const { return number_; }
    const std::shared_ptr<const Document>& document() const { return doc_; }

    // The box by the usual rules: inherited through the page tree; inverted
    // rectangles normalised; crop clipped by (and falling back to) the media
    // box; bleed, trim and art falling back to the crop box. A page without
    // a media box answers Rect::null() for it.
    Rect boxRect(Box box) const;
    // /Rotate, inherited, normalised into 0, 90, 180, 270. An angle that is
    // not a multiple of 90 is invalid and reads as 0.
    int rotationAngle() const;
    Object dictionary() const;
    // The content streams decoded and joined with a newline; `complete`
    // false when some stream could not be fully decoded.
    std::string contentsData(bool* complete = nullptr) const;
    // Resources, inherited through the page tree (loop-guarded); null when none.
    Object resources() const;
    // The transform that maps the box, rotated clockwise by the page's
    // rotation plus `rotate` (a multiple of 90; other values count as 0),
    // into `rect`, centred; scaled down only (never up) to fit when
    // `preserveAspectRatio`, not scaled otherwise. The identity for a page
    // whose box is null or empty.
    Affine drawingTransform(Box box, const Rect& rect, int rotate, bool preserveAspectRatio) const;

private:
    friend class Document;
    Page(std::shared_ptr<const Document> doc, int number, Object dict)
        : doc_(std::move(doc)), number_(number), dict_(std::move(dict)) {}
    std::shared_ptr<const Document> doc_;
    int number_ = 0;
    Object dict_;
};

} // namespace rz::pdf
