// A page's annotations: the base class with its factory, and the
// appearance dictionary. After the page content, QXPDFAnnotCollection draws
// each annotation through its delegate (the content parser): with its normal
// appearance stream, which the parser runs like a form placed on the
// annotation's rectangle, or, for the kinds that draw themselves, with a
// path or a text box made from the annotation dictionary.
//
// The kinds (subclasses) are in QXPDFAnnotFreeText.h, QXPDFAnnotLine.h,
// QXPDFAnnotGeometry.h (squares, circles), QXPDFAnnotTextMarkup.h
// (highlight, underline, strike-out), QXPDFAnnotInk.h, QXPDFAnnotStamp.h,
// QXPDFAnnotText.h (notes), QXPDFAnnotWidget.h, QXPDFAnnotLink.h and
// QXPDFAnnotPopup.h; QXPDFAnnotCollection.h draws a page's annotations.
//
// Annotations hold handles into their document (the appearance streams);
// they are read only while the document is open.
#pragma once

#include "pdfengine/annots/QXPDFAnnotBorder.h"
#include "pdfengine/color/QXPDFColor.h"
#include "platform/geometry/Geometry.h"
#include "platform/pdf/PdfObject.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rz {

class QXPDFAction;
class QXPDFAnnotDelegate;
class QXPDFAnnotPopup;
class QXPDFColorSpace;
class QXPDFRenderState;

// Bits of QXPDFAnnot::flags() (the /F entry).
enum QXPDFAnnotFlag : long {
    QXPDFAnnotFlagInvisible = 1 << 0,
    QXPDFAnnotFlagHidden = 1 << 1,
    QXPDFAnnotFlagPrint = 1 << 2,
    QXPDFAnnotFlagNoZoom = 1 << 3,
    QXPDFAnnotFlagNoRotate = 1 << 4,
    QXPDFAnnotFlagNoView = 1 << 5,
};

// The values of the `kind` of QXPDFAnnotAppearance::getAppearanceStream.
enum QXPDFAnnotAppearanceKind : long {
    QXPDFAnnotAppearanceNormal = 0,
    QXPDFAnnotAppearanceRollover = 1,
    QXPDFAnnotAppearanceDown = 2,
};

// An annotation's /AP dictionary.
class QXPDFAnnotAppearance {
public:
    QXPDFAnnotAppearance() = default;
    explicit QXPDFAnnotAppearance(const pdf::Object& dictionary) { initWithPDFDictionary(dictionary); }
    void initWithPDFDictionary(const pdf::Object& dictionary) { appearDict_ = dictionary; }

    // The stream of an appearance kind, or null:
    // - normal: /N when it is a stream; when /N is a dictionary of states,
    //   its stream for `state` (non-empty), else its stream for "0";
    // - rollover: /R, else the normal /N stream; down: /D, else /N;
    // - any other kind: null.
    pdf::Object getAppearanceStream(long kind, const std::string& state) const;

    const pdf::Object& appearDict() const { return appearDict_; }
    void setAppearDict(const pdf::Object& d) { appearDict_ = d; }

private:
    pdf::Object appearDict_;
};

class QXPDFAnnot : public std::enable_shared_from_this<QXPDFAnnot> {
public:
    QXPDFAnnot() = default;
    virtual ~QXPDFAnnot();

    // A new annotation of the class its /Subtype picks (Line, Square,
    // Circle, Highlight, Underline, StrikeOut, FreeText, Link, Text, Popup,
    // Ink, Stamp, Widget; the base class for any other), read from the
    // dictionary. Nothing for a non-dictionary, or a dictionary whose /Type
    // is present and not "Annot".
    static std::shared_ptr<QXPDFAnnot> AnnotWithDictionary(const pdf::Object& dictionary);

    // Reads the common entries; subclasses call it first, then read their own.
    virtual void initWithPDFDictionary(const pdf::Object& dictionary);
    // Draws the annotation through its delegate. The base draws its normal
    // appearance stream for appearState, named by its type.
    virtual void startParser();
    // A new annotation of the same class with the same values (objects
    // copied, the delegate shared).
    virtual std::shared_ptr<QXPDFAnnot> copy() const;

    // The colour to draw with: `color`. The annotation's opacity is not
    // part of the colour: drawings set it as the state's alpha.
    QXPDFColor displayColor() const { return color_; }
    // Hidden and NoView annotations are not drawn.
    bool isHidden() const { return (flags_ & (QXPDFAnnotFlagHidden | QXPDFAnnotFlagNoView)) != 0; }

    QXPDFAnnotDelegate* delegate() const { return delegate_; }
    void setDelegate(QXPDFAnnotDelegate* d) { delegate_ = d; }
    long pageIndex() const { return pageIndex_; }
    void setPageIndex(long v) { pageIndex_ = v; }
    // The /Subtype ("Line", "FreeText", ...); empty when absent.
    const std::string& type() const { return type_; }
    void setType(std::string t) { type_ = std::move(t); }
    // /Rect in user space, ordered; {0, 0, 1, 1} without a 4-entry /Rect.
    const Rect& bounds() const { return bounds_; }
    void setBounds(const Rect& r) { bounds_ = r; }
    bool shouldDisplay() const { return shouldDisplay_; }
    void setShouldDisplay(bool v) { shouldDisplay_ = v; }
    bool shouldPrint() const { return shouldPrint_; }
    void setShouldPrint(bool v) { shouldPrint_ = v; }
    bool displayUnderText() const { return displayUnderText_; }
    void setDisplayUnderText(bool v) { displayUnderText_ = v; }
    // /F; 0 when absent.
    long flags() const { return flags_; }
    void setFlags(long v) { flags_ = v; }
    // /CA in 0..1; 1 when absent.
    double opacity() const { return opacity_; }
    void setOpacity(double v) { opacity_ = v; }
    const std::string& modificationDate() const { return modificationDate_; }
    void setModificationDate(std::string v) { modificationDate_ = std::move(v); }
    const std::string& userName() const { return userName_; }
    void setUserName(std::string v) { userName_ = std::move(v); }
    // The /Popup annotation (read without a pop-up of its own), or null.
    const std::shared_ptr<QXPDFAnnotPopup>& popup() const { return popup_; }
    void setPopup(std::shared_ptr<QXPDFAnnotPopup> p) { popup_ = std::move(p); }
    // From /Border, or for the kinds that read /BS from there; null when
    // the annotation has neither.
    const std::shared_ptr<QXPDFBorder>& border() const { return border_; }
    void setBorder(std::shared_ptr<QXPDFBorder> b) { border_ = std::move(b); }
    // /C with three entries; otherwise the default colour (isNull 1).
    const QXPDFColor& color() const { return color_; }
    void setColor(const QXPDFColor& c) { color_ = c; }
    const std::string& contents() const { return contents_; }
    void setContents(std::string v) { contents_ = std::move(v); }
    // Never filled by reading.
    const std::shared_ptr<QXPDFAction>& action() const { return action_; }
    void setAction(std::shared_ptr<QXPDFAction> a) { action_ = std::move(a); }
    // Whether the annotation has an /AP dictionary.
    bool hasAppearanceStream() const { return appearStreams_ != nullptr; }
    // /AS when present and non-empty; else "N" with /AP, "Off" without.
    const std::string& appearState() const { return appearState_; }
    void setAppearState(std::string v) { appearState_ = std::move(v); }
    const std::shared_ptr<QXPDFAnnotAppearance>& appearStreams() const { return appearStreams_; }
    void setAppearStreams(std::shared_ptr<QXPDFAnnotAppearance> a) { appearStreams_ = std::move(a); }
    // The annotation's position in its collection, set while drawing.
    long pdfAnnotionIndex() const { return pdfAnnotionIndex_; }
    void setPdfAnnotionIndex(long v) { pdfAnnotionIndex_ = v; }

    // Tolerant readers shared by the kinds. A number that is missing,
    // not a number or not finite gives `fallback`.
    static double numberOf(const pdf::Object& dictionary, std::string_view key, double fallback);
    static double numberAt(const pdf::Object& array, size_t index, double fallback);
    // A name or text string as UTF-8; empty when absent.
    static std::string stringOf(const pdf::Object& dictionary, std::string_view key);
    // A colour array of exactly three numbers as an RGB colour value
    // (each component the number × 255, truncated); otherwise the default
    // colour (isNull 1).
    static QXPDFColor RGBColorWithArray(const pdf::Object& array);
    // A device colour space for a colour of 1, 3 or 4 components (RGB for
    // any other count), with the given object key.
    static std::shared_ptr<const QXPDFColorSpace> DeviceColorSpaceForColor(const QXPDFColor& color,
                                                                         const std::string& objectKey);

protected:
    QXPDFAnnot(const QXPDFAnnot&) = default;
    QXPDFAnnot& operator=(const QXPDFAnnot&) = default;
    // Copies the objects a copy must not share.
    void deepCopyMembers();
    template <class T>
    std::shared_ptr<QXPDFAnnot> copyOfKind() const
    {
        auto a = std::shared_ptr<T>(new T(static_cast<const T&>(*this)));
        a->deepCopyMembers();
        return a;
    }

    // Base drawing: the normal appearance stream for appearState, sent with
    // `streamKey`. False when nothing was sent.
    bool drawAppearanceStream(const std::string& streamKey);
    // The delegate's current state, or null.
    QXPDFRenderState* currentRenderingState() const;
    // This annotation as its delegate receives it (null when it is not
    // owned by a shared pointer).
    std::shared_ptr<QXPDFAnnot> self() { return weak_from_this().lock(); }
    // Sets the stroke side of `state`: no pattern, a device space for the
    // colour, the colour, and the annotation's opacity as stroke alpha.
    void setStroke(QXPDFRenderState& state, const QXPDFColor& color, const std::string& spaceKey,
                   bool withOpacity) const;
    void setFill(QXPDFRenderState& state, const QXPDFColor& color, const std::string& spaceKey,
                 bool withOpacity) const;
    // Line width and dash of the border (width 1, no change of dash, when
    // there is no border).
    void setBorderLineStyle(QXPDFRenderState& state) const;

    // Pop-ups read through /Popup skip their own /Popup, so that a parent and
    // its pop-up naming each other do not read without end.
    bool readsPopup_ = true;

private:
    QXPDFAnnotDelegate* delegate_ = nullptr;
    long pageIndex_ = 0;
    std::string type_;
    Rect bounds_{0, 0, 1, 1};
    bool shouldDisplay_ = false;
    bool shouldPrint_ = false;
    bool displayUnderText_ = false;
    long flags_ = 0;
    double opacity_ = 1.0;
    std::string modificationDate_;
    std::string userName_;
    std::shared_ptr<QXPDFAnnotPopup> popup_;
    std::shared_ptr<QXPDFBorder> border_;
    QXPDFColor color_;
    std::string contents_;
    std::shared_ptr<QXPDFAction> action_;
    std::string appearState_ = "Off";
    std::shared_ptr<QXPDFAnnotAppearance> appearStreams_;
    long pdfAnnotionIndex_ = 0;
};

} // namespace rz
