// The plain values that PDF objects convert to (`objectFromCGPDFObject`):
// null, booleans, integers, reals, text, and the array, dictionary and
// stream wrappers.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace rz {

namespace pdf {
class Object;
}

class RZPDFArray;
class RZPDFDictionary;
class RZPDFStream;

// The null value (one value, equal to itself).
struct RZPDFNull {
    friend bool operator==(RZPDFNull, RZPDFNull) { return true; }
};

using RZPDFValue = std::variant<RZPDFNull, bool, long, double, std::string, RZPDFArray,
                                RZPDFDictionary, RZPDFStream>;

// The kinds a caller may require of a value: booleans, integers and reals
// are all numbers.
enum class RZPDFValueClass { Null, Number, String, Array, Dictionary, Stream };

RZPDFValueClass classOfValue(const RZPDFValue& value);

// null -> RZPDFNull, boolean -> bool, integer -> long, real -> double,
// name -> its UTF-8 text without "/", string -> its text (PDF text string
// to UTF-8), array / dictionary / stream -> their wrappers; nothing for an
// object of no PDF type.
std::optional<RZPDFValue> objectFromCGPDFObject(const pdf::Object& object);

} // namespace rz

#include "pdfengine/base/RZPDFArray.h"
#include "pdfengine/base/RZPDFDictionary.h"
#include "pdfengine/base/RZPDFStream.h"
