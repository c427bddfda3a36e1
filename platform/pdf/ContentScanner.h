// A content-stream scanner: tokens are parsed by qpdf, operands kept on
// the scanner's own stack, and each operator calls its entry in an
// operator table. Operands are cleared after every operator, whether or
// not the table knows it.
//
// Inline images: BI, its dictionary and ID reach no callback; at EI the
// image is one stream operand whose dictionary keeps the keys and filter
// names as written (W H BPC CS F DP IM D I L), and the "EI" entry is
// called with that stream as its only operand. The image data ends where an
// /L length says, or for unfiltered samples where W, H, BPC and the colour
// space (named ones looked up in the resources) say, or for ASCII filters
// at their end marker; otherwise at the first "EI" after white space that
// is followed by what reads as content. The stream stays readable as long as
// a handle to it lives.
//
// Numbers are read without the C library's locale. An integer literal too
// large for 64 bits is taken as a real number of about its value: a number
// pop reads it, an integer pop refuses it.
#pragma once

#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfObject.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz::pdf {

class Scanner;

using OperatorCallback = std::function<void(Scanner&)>;

class OperatorTable {
public:
    void set(const std::string& op, OperatorCallback callback);
    const OperatorCallback* find(const std::string& op) const;
    // Called for every operator without an entry of its own (tools that
    // list a whole stream); Scanner::currentOperator() names it.
    void setFallback(OperatorCallback callback);
    const OperatorCallback* fallback() const { return fallback_ ? &fallback_ : nullptr; }

private:
    std::map<std::string, OperatorCallback, std::less<>> ops_;
    OperatorCallback fallback_;
};

// The content to scan: a page's contents, or a form / appearance / pattern
// stream with its own resources and the stream that draws it as parent.
class ContentStream {
public:
    explicit ContentStream(const Page& page);
    // `resources` may be null: then resource lookups go to the parent.
    ContentStream(const Object& stream, const Object& resources, const ContentStream* parent);
    // Raw content bytes (tests, inline data) with resources.
    ContentStream(std::string data, const Object& resources, const ContentStream* parent);

    // The named resource of a category ("Font", "XObject", "ColorSpace",
    // "ExtGState", "Pattern", "Shading", "Properties"), searched here then
    // in the parents; null when absent.
    Object resource(const std::string& category, const std::string& name) const;
    const Object& resources() const { return resources_; }
    const ContentStream* parent() const { return parent_; }
    // The decoded content; `complete` false when decoding stopped at damage.
    const std::string& data() const { return data_; }
    bool complete() const { return complete_; }

private:
    std::string data_;
    bool complete_ = true;
    Object resources_;
    const ContentStream* parent_ = nullptr;
};

class Scanner {
public:
    Scanner(const ContentStream& content, const OperatorTable& table);
    ~Scanner();

    // Scans to the end (or until stop()); false when the stream was damaged
    // (it did not decode completely, or held syntax errors) or a parse
    // error ended it early. A token the scanner cannot read is skipped, and
    // after kMaxScanErrors of them the rest of the stream is. Never throws:
    // an exception from a callback or from qpdf ends the scan (false).
    bool scan();
    // Ends the scan after the current operator.
    void stop();

    const ContentStream& contentStream() const { return content_; }

    // Typed pops take the top operand; a pop of the wrong type fails and
    // leaves the operand in place. All return false on an empty stack.
    bool popObject(Object* out);
    bool popNumber(double* out);
    // Integers only: a real operand fails.
    bool popInteger(long long* out);
    bool popName(std::string* out);
    // Raw bytes of a string operand.
    bool popString(std::string* out);
    bool popArray(Object* out);
    bool popDictionary(Object* out);
    bool popStream(Object* out);
    bool popBoolean(bool* out);
    // The top operand without popping it; nullptr when the stack is empty.
    const Object* peek() const;
    size_t operandCount() const;
    // All operands, the first of the stream first.
    const std::vector<Object>& operands() const;
    // The operator whose callback is running.
    const std::string& currentOperator() const;
    // Operators met so far (with or without a callback) and syntax errors.
    size_t operatorCount() const;
    int errorCount() const;

    struct Impl;

private:
    const ContentStream& content_;
    const OperatorTable& table_;
    std::unique_ptr<Impl> impl_;
};

} // namespace rz::pdf
