// An object interface over a PDF dictionary: key lookup with value
// conversion, the keys, enumeration, identity equality and a description.
#pragma once

#include "pdfengine/base/RZPDFValue.h"
#include "platform/pdf/PdfObject.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class RZPDFDictionary {
public:
    // initWithCGPDFDictionary:
    explicit RZPDFDictionary(pdf::Object dictionary);

    // The converted value of the key (given without "/"), or nothing when
    // the key is missing.
    std::optional<RZPDFValue> objectForKey(const std::string& key) const;
    // The value when it is of the required class, else nothing.
    std::optional<RZPDFValue> objectForKey(const std::string& key, RZPDFValueClass requiredClass) const;
    // The keys in the platform's (sorted) order.
    std::vector<std::string> allKeys() const;
    const pdf::Object& CGPDFDictionary() const { return dict_; }

    // "\t(\n", one "<indent>\t<key> = <value>,\n" per entry, "<indent>)";
    // see RZPDFArray::description.
    std::string description() const;
    std::string descriptionWithLocale(const std::string& locale, size_t indent) const;

    // Enumeration over the keys.
    std::vector<std::string>::const_iterator begin() const { return keyList().begin(); }
    std::vector<std::string>::const_iterator end() const { return keyList().end(); }

    friend bool operator==(const RZPDFDictionary& a, const RZPDFDictionary& b)
    {
        return a.dict_.sameObject(b.dict_);
    }
    size_t hash() const { return dict_.identityHash(); }

private:
    const std::vector<std::string>& keyList() const;

    pdf::Object dict_;
    mutable std::shared_ptr<const std::vector<std::string>> keys_;
};

} // namespace rz

template <>
struct std::hash<rz::RZPDFDictionary> {
    size_t operator()(const rz::RZPDFDictionary& d) const { return d.hash(); }
};
