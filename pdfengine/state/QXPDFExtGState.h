// Named graphics states (/ExtGState resources): the entries the content
// interpreter applies with gs, read once when the resource is first used.
#pragma once

#include "pdfengine/state/QXPDFResourceCollection.h"
#include "platform/pdf/PdfObject.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXPDFXObject;

// The entries read from an /ExtGState dictionary; an entry that is absent
// (or of the wrong type) stays empty and leaves the state's field alone.
struct QXPDFExtGStateValue {
    std::optional<double> LW;                // line width (single precision)
    std::optional<int> LC;                   // line cap
    std::optional<int> LJ;                   // line join
    std::optional<double> ML;                // miter limit (single precision)
    std::optional<std::vector<double>> D;    // dash array of /D [array phase]
    std::optional<std::string> RI;           // rendering intent
    std::optional<int> BM;                   // blend mode (QXPDFExtGState::parseBlendMode)
    std::optional<double> CA;                // stroke alpha (single precision)
    std::optional<double> ca;                // fill alpha (single precision)
    std::optional<bool> AIS;
    std::optional<bool> op;
    std::optional<bool> OP;
    std::optional<bool> SA;
    std::optional<int> OPM;
    // /SMask given as a name ("None").
    std::optional<std::string> SMaskName;
    // /SMask given as a dictionary (its /G group form) or a stream: the
    // form, identified as "SMask-XObject-<resource name>".
    std::shared_ptr<QXPDFXObject> SMaskXObject;
    std::optional<std::string> SMaskS;       // /S of the soft-mask dictionary
    std::optional<std::vector<double>> SMaskBC;
    // Whether /SMask named a mask: false for a name or another type.
    std::optional<bool> SMaskHaveSoftMask;
    // /Font [font size]: the size when it is a number, the font reference's
    // name when it is a name.
    std::optional<double> FontSize;
    std::optional<std::string> FontName;
};

class QXPDFExtGState {
public:
    QXPDFExtGState() = default;
    // Reads the dictionary of the resource named `objectKey`.
    QXPDFExtGState(const pdf::Object& dictionary, const std::string& objectKey);

    // A blend mode by name: Normal and Compatible 0, Multiply 1, Screen 2,
    // Overlay 3, Darken 4, Lighten 5, ColorDodge 6, ColorBurn 7, HardLight 8,
    // SoftLight 9, Difference 10, Exclusion 11, Hue 12, Saturation 13, Color
    // 14, Luminosity 15. An array gives its first known name (0 when it
    // names none). False for an unknown name, an array holding something
    // other than names, and any other object.
    static bool parseBlendMode(const pdf::Object& object, int* mode);

    const std::string& objectKey() const { return objectKey_; }
    void setObjectKey(std::string key) { objectKey_ = std::move(key); }
    const QXPDFExtGStateValue& gStateValue() const { return gStateValue_; }
    void setGStateValue(QXPDFExtGStateValue v) { gStateValue_ = std::move(v); }

private:
    std::string objectKey_;
    QXPDFExtGStateValue gStateValue_;
};

// The ExtGStates of one /ExtGState dictionary by name; each is read on
// first lookup. Entries whose value is not a dictionary are left out.
class QXPDFExtGStateCollection : public QXPDFResourceCollection<QXPDFExtGState> {
public:
    QXPDFExtGStateCollection() = default;
    explicit QXPDFExtGStateCollection(const pdf::Object& dictionary);

    std::shared_ptr<QXPDFExtGState> objectNamed(const std::string& name) const { return lookup(name); }
    const Map& collectObjects() const { return objects(); }
    Map collectObjectsByName() const { return objects(); }
    void setCollectObjects(Map objects) { setObjects(std::move(objects)); }
    void addObjectsFromDictionary(const Map& objects) { addObjects(objects); }
};

} // namespace rz
