// An object interface over a PDF array: count, indexing with value
// conversion, enumeration, identity equality and a description.
#pragma once

#include "pdfengine/base/RZPDFValue.h"
#include "platform/pdf/PdfObject.h"

#include <cstddef>
#include <functional>
#include <iterator>
#include <optional>
#include <string>

namespace rz {

class RZPDFArray {
public:
    // initWithCGPDFArray:
    explicit RZPDFArray(pdf::Object array);

    size_t count() const;
    // The converted value, or nothing past the end.
    std::optional<RZPDFValue> objectAtIndex(size_t index) const;
    const pdf::Object& CGPDFArray() const { return array_; }

    // "\t(\n", one "<indent>\t<value>,\n" per element, "<indent>)"; the
    // indent is one tab per level and nested arrays and dictionaries are
    // described one level deeper. A container met again inside itself (a
    // reference loop), or nested beyond kMaxDescriptionDepth, reads "(...)".
    std::string description() const;
    std::string descriptionWithLocale(const std::string& locale, size_t indent) const;

    // Enumeration, one value per step (values that convert to nothing are
    // given as RZPDFNull).
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RZPDFValue;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = RZPDFValue;
        iterator(const RZPDFArray* a, size_t i) : a_(a), i_(i) {}
        RZPDFValue operator*() const;
        iterator& operator++()
        {
            ++i_;
            return *this;
        }
        bool operator==(const iterator& o) const { return i_ == o.i_; }
        bool operator!=(const iterator& o) const { return i_ != o.i_; }

    private:
        const RZPDFArray* a_;
        size_t i_;
    };
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, count()}; }

    friend bool operator==(const RZPDFArray& a, const RZPDFArray& b)
    {
        return a.array_.sameObject(b.array_);
    }
    size_t hash() const { return array_.identityHash(); }

private:
    pdf::Object array_;
};

} // namespace rz

template <>
struct std::hash<rz::RZPDFArray> {
    size_t operator()(const rz::RZPDFArray& a) const { return a.hash(); }
};
