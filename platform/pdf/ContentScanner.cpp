#include "platform/pdf/ContentScanner.h"

#include "platform/core/Numbers.h"
#include "platform/pdf/PdfLimits.h"
#include "platform/pdf/QpdfSupport.h"
#include "platform/pdf/StreamDecoder.h"

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFTokenizer.hh>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <set>

namespace rz::pdf {

// ---------------------------------------------------------------------------
// Operator table and content

void OperatorTable::set(const std::string& op, OperatorCallback callback)
{
    ops_[op] = std::move(callback);
}

const OperatorCallback* OperatorTable::find(const std::string& op) const
{
    const auto it = ops_.find(op);
    return it == ops_.end() || !it->second ? nullptr : &it->second;
}

void OperatorTable::setFallback(OperatorCallback callback)
{
    fallback_ = std::move(callback);
}

ContentStream::ContentStream(const Page& page)
{
    data_ = page.contentsData(&complete_);
    resources_ = page.resources();
}

ContentStream::ContentStream(const Object& stream, const Object& resources, const ContentStream* parent)
    : resources_(resources), parent_(parent)
{
    if (!stream.isStream()) {
        complete_ = false;
        return;
    }
    StreamData d = stream.streamData();
    if (d.format != StreamFormat::Raw) {
        complete_ = false;
        return;
    }
    data_ = std::move(d.bytes);
    complete_ = d.complete;
}

ContentStream::ContentStream(std::string data, const Object& resources, const ContentStream* parent)
    : data_(std::move(data)), resources_(resources), parent_(parent)
{
}

Object ContentStream::resource(const std::string& category, const std::string& name) const
{
    for (const ContentStream* c = this; c; c = c->parent_) {
        Object v = c->resources_.get(category).get(name);
        if (!v.isNull())
            return v;
    }
    return {};
}

// ---------------------------------------------------------------------------
// Inline image data

namespace {

bool isWhite(unsigned char c)
{
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool isDelimiter(unsigned char c)
{
    return std::strchr("()<>[]{}/%", c) != nullptr && c != 0;
}

// Every operator of the content-stream syntax, to tell text that follows a
// real "EI" from image bytes that only look like one.
const std::set<std::string, std::less<>>& knownOperators()
{
    static const std::set<std::string, std::less<>> ops = {
        "b",  "B",  "b*", "B*", "BDC", "BI", "BMC", "BT", "BX", "c",  "cm", "CS", "cs", "d",
        "d0", "d1", "Do", "DP", "EI",  "EMC", "ET", "EX", "f",  "F",  "f*", "G",  "g",  "gs",
        "h",  "i",  "ID", "j",  "J",   "K",  "k",  "l",  "m",  "M",  "MP", "n",  "q",  "Q",
        "re", "RG", "rg", "ri", "s",   "S",  "SC", "sc", "SCN", "scn", "sh", "T*", "Tc", "Td",
        "TD", "Tf", "Tj", "TJ", "TL",  "Tm", "Tr", "Ts", "Tw", "Tz", "v",  "w",  "W",  "W*",
        "y",  "'",  "\"",
    };
    return ops;
}

// True when the bytes after a candidate "EI" read like content: a few
// tokens that are numbers, names, delimiters or known operators, or the end.
bool plausibleAfter(const std::string& s, size_t pos)
{
    for (int tokens = 0; tokens < 6; ++tokens) {
        while (pos < s.size() && isWhite(static_cast<unsigned char>(s[pos])))
            ++pos;
        if (pos >= s.size())
            return true;
        const unsigned char c = static_cast<unsigned char>(s[pos]);
        if (c == '/' || c == '[' || c == '(' || c == '<' || c == '%' || c == ']' || c == '>') {
            // A name, string, array or comment: skip to the next white space.
            while (pos < s.size() && !isWhite(static_cast<unsigned char>(s[pos])))
                ++pos;
            continue;
        }
        size_t end = pos;
        while (end < s.size() && !isWhite(static_cast<unsigned char>(s[end])) &&
               !isDelimiter(static_cast<unsigned char>(s[end])))
            ++end;
        const std::string_view word(s.data() + pos, end - pos);
        for (const char ch : word)
            if (static_cast<unsigned char>(ch) < 0x21 || static_cast<unsigned char>(ch) > 0x7E)
                return false;
        size_t used = 0;
        parseLeadingDouble(word, &used);
        if (used != word.size() && !knownOperators().count(word))
            return false;
        pos = end;
    }
    return true;
}

bool eiAt(const std::string& s, size_t pos)
{
    if (pos + 2 > s.size() || s[pos] != 'E' || s[pos + 1] != 'I')
        return false;
    return pos + 2 == s.size() || isWhite(static_cast<unsigned char>(s[pos + 2])) ||
           isDelimiter(static_cast<unsigned char>(s[pos + 2]));
}

// "EI" after optional white space from `pos`; the position of its "E".
std::optional<size_t> eiAfter(const std::string& s, size_t pos)
{
    while (pos < s.size() && isWhite(static_cast<unsigned char>(s[pos])))
        ++pos;
    return eiAt(s, pos) ? std::optional<size_t>(pos) : std::nullopt;
}

std::optional<long long> dictInt(QPDFObjectHandle& dict, const char* key1, const char* key2)
{
    for (const char* key : {key1, key2}) {
        if (!key)
            continue;
        QPDFObjectHandle v = dict.getKey(key);
        if (v.isInteger())
            return v.getIntValue();
    }
    return std::nullopt;
}

// Colour components of an inline image's colour space, or 0 when unknown.
long long components(const Object& cs, const ContentStream& content, int depth = 0)
{
    if (depth > 2)
        return 0;
    if (const auto name = cs.name()) {
        const std::string& n = *name;
        if (n == "G" || n == "DeviceGray" || n == "CalGray" || n == "I" || n == "Indexed")
            return 1;
        if (n == "RGB" || n == "DeviceRGB" || n == "CalRGB" || n == "Lab")
            return 3;
        if (n == "CMYK" || n == "DeviceCMYK")
            return 4;
        return components(content.resource("ColorSpace", n), content, depth + 1);
    }
    if (cs.isArray() && cs.size() > 0) {
        const std::string family = cs.at(0).name().value_or("");
        if (family == "Indexed" || family == "I" || family == "Separation" || family == "CalGray")
            return 1;
        if (family == "CalRGB" || family == "Lab")
            return 3;
        if (family == "ICCBased")
            return cs.at(1).get("N").integer().value_or(0);
        if (family == "DeviceN")
            return (long long)cs.at(1).size();
        return components(cs.at(0), content, depth + 1);
    }
    return 0;
}

struct InlineSpan {
    size_t dataEnd;
    size_t next; // just after "EI"
};

// Where the image data that starts at `start` ends.
std::optional<InlineSpan> findInlineImageEnd(const std::string& s, size_t start,
                                             QPDFObjectHandle& dict, const Object& wrapped,
                                             const ContentStream& content)
{
    auto endingAt = [&](long long length) -> std::optional<InlineSpan> {
        if (length < 0 || size_t(length) > s.size() - start)
            return std::nullopt;
        const size_t dataEnd = start + size_t(length);
        if (const auto ei = eiAfter(s, dataEnd))
            return InlineSpan{dataEnd, *ei + 2};
        return std::nullopt;
    };

    // An explicit length.
    if (const auto length = dictInt(dict, "/L", "/Length"))
        if (const auto span = endingAt(*length))
            return span;

    std::vector<FilterStep> chain;
    const bool chainOk = filterChain(wrapped, &chain);
    if (chainOk && chain.empty()) {
        // Unfiltered samples: the size follows from the image's dimensions.
        const auto w = dictInt(dict, "/W", "/Width");
        const auto h = dictInt(dict, "/H", "/Height");
        const bool mask = wrapped.get("IM").boolean().value_or(false) ||
                          wrapped.get("ImageMask").boolean().value_or(false);
        auto bpc = dictInt(dict, "/BPC", "/BitsPerComponent");
        if (mask)
            bpc = 1;
        Object cs = wrapped.get("CS");
        if (cs.isNull())
            cs = wrapped.get("ColorSpace");
        const long long comps = mask ? 1 : components(cs, content);
        if (w && h && bpc && *w > 0 && *h > 0 && *bpc > 0 && *bpc <= 16 && comps > 0 &&
            *w < (1LL << 24) && *h < (1LL << 24) && comps <= 32) {
            const long long rowBytes = (*w * comps * *bpc + 7) / 8;
            if (const auto span = endingAt(rowBytes * *h))
                return span;
        }
    }
    if (chainOk && !chain.empty() &&
        (chain[0].name == "ASCIIHexDecode" || chain[0].name == "ASCII85Decode")) {
        // Text data ends at its own end marker.
        const bool hex = chain[0].name == "ASCIIHexDecode";
        const size_t marker = s.find(hex ? ">" : "~>", start);
        if (marker != std::string::npos) {
            const size_t dataEnd = marker + (hex ? 1 : 2);
            if (const auto ei = eiAfter(s, dataEnd))
                return InlineSpan{dataEnd, *ei + 2};
        }
    }
    // Search: an "EI" after white space, followed by what reads as content.
    std::optional<InlineSpan> first;
    for (size_t pos = start; pos + 1 < s.size(); ++pos) {
        pos = s.find("EI", pos);
        if (pos == std::string::npos)
            break;
        const bool spaced = pos == start || (pos > start && isWhite(static_cast<unsigned char>(s[pos - 1])));
        if (!spaced || !eiAt(s, pos))
            continue;
        const InlineSpan span{pos > start ? pos - 1 : pos, pos + 2};
        if (plausibleAfter(s, pos + 2))
            return span;
        if (!first)
            first = span;
    }
    return first;
}

} // namespace

// ---------------------------------------------------------------------------
// Scanner

struct Scanner::Impl {
    std::vector<Object> stack;
    std::string currentOperator;
    size_t operatorCount = 0;
    int errors = 0;
    bool stopped = false;
    bool aborted = false;
    std::shared_ptr<QPDF> scratch; // owns the inline images of this scan

    // Arrays and dictionaries being built from their tokens.
    struct Frame {
        bool dictionary;
        std::vector<QPDFObjectHandle> items;
    };
    std::vector<Frame> frames;
    int skipped = 0; // nesting levels beyond kMaxOperandNesting being discarded

    void error()
    {
        if (++errors >= kMaxScanErrors)
            aborted = true;
    }

    void pushOperand(const QPDFObjectHandle& h) { pushOperand(Object(h)); }

    void pushOperand(Object o)
    {
        if (stack.size() >= kMaxOperandStack) {
            stack.clear();
            error();
        }
        stack.push_back(std::move(o));
    }

    // True when a value goes straight onto the operand stack (not into an
    // array or dictionary being read, nor skipped): numbers there need no
    // qpdf object.
    bool operandLevel() const { return skipped == 0 && frames.empty(); }

    void pushValue(const QPDFObjectHandle& h)
    {
        if (skipped > 0)
            return;
        if (!frames.empty())
            frames.back().items.push_back(h);
        else
            pushOperand(h);
    }

    void open(bool dictionary)
    {
        if (skipped > 0 || frames.size() >= size_t(kMaxOperandNesting)) {
            if (skipped++ == 0)
                error();
            return;
        }
        frames.push_back({dictionary, {}});
    }

    void close(bool dictionary)
    {
        if (skipped > 0) {
            if (--skipped == 0)
                pushValue(QPDFObjectHandle::newNull());
            return;
        }
        if (frames.empty() || frames.back().dictionary != dictionary) {
            error();
            return;
        }
        Frame f = std::move(frames.back());
        frames.pop_back();
        if (!dictionary) {
            pushValue(QPDFObjectHandle::newArray(f.items));
            return;
        }
        pushValue(makeDictionary(f.items));
    }

    QPDFObjectHandle makeDictionary(std::vector<QPDFObjectHandle>& items)
    {
        QPDFObjectHandle d = QPDFObjectHandle::newDictionary();
        if (items.size() % 2)
            error(); // a key without a value is dropped
        for (size_t i = 0; i + 1 < items.size(); i += 2) {
            if (!items[i].isName()) {
                error();
                continue;
            }
            d.replaceKey(items[i].getName(), items[i + 1]);
        }
        return d;
    }

    // Drops containers left open by an operator or the end of the data.
    void dropOpenContainers()
    {
        if (!frames.empty() || skipped > 0)
            error();
        frames.clear();
        skipped = 0;
    }

    // A token that is a value; false for anything else.
    bool value(const QPDFTokenizer::Token& t)
    {
        const std::string& v = t.getValue();
        switch (t.getType()) {
        case QPDFTokenizer::tt_integer:
            if (const auto i = parseInteger(v)) {
                if (operandLevel())
                    pushOperand(Object::directInteger(*i));
                else
                    pushValue(QPDFObjectHandle::newInteger(*i));
            } else if (operandLevel()) {
                pushOperand(Object::directReal(v)); // beyond 64 bits
            } else {
                pushValue(QPDFObjectHandle::newReal(v));
            }
            return true;
        case QPDFTokenizer::tt_real:
            if (operandLevel())
                pushOperand(Object::directReal(v));
            else
                pushValue(QPDFObjectHandle::newReal(v));
            return true;
        case QPDFTokenizer::tt_name: pushValue(QPDFObjectHandle::newName(v)); return true;
        case QPDFTokenizer::tt_string: pushValue(QPDFObjectHandle::newString(v)); return true;
        case QPDFTokenizer::tt_bool: pushValue(QPDFObjectHandle::newBool(v == "true")); return true;
        case QPDFTokenizer::tt_null: pushValue(QPDFObjectHandle::newNull()); return true;
        case QPDFTokenizer::tt_array_open: open(false); return true;
        case QPDFTokenizer::tt_array_close: close(false); return true;
        case QPDFTokenizer::tt_dict_open: open(true); return true;
        case QPDFTokenizer::tt_dict_close: close(true); return true;
        default: return false;
        }
    }
};

Scanner::Scanner(const ContentStream& content, const OperatorTable& table)
    : content_(content), table_(table), impl_(std::make_unique<Impl>())
{
}

Scanner::~Scanner() = default;

void Scanner::stop()
{
    impl_->stopped = true;
}

namespace {

// Calls the operator's entry (or the fallback) and clears the operands.
void dispatch(Scanner& scanner, Scanner::Impl& impl, const OperatorTable& table, const std::string& op)
{
    impl.currentOperator = op;
    ++impl.operatorCount;
    const OperatorCallback* cb = table.find(op);
    if (!cb)
        cb = table.fallback();
    if (cb)
        (*cb)(scanner);
    impl.stack.clear();
}

} // namespace

bool Scanner::scan()
{
    Impl& impl = *impl_;
    impl.stopped = false;
    impl.aborted = false;
    try {
        const std::string& data = content_.data();
        // A non-owning view of the content for qpdf's tokenizer.
        Buffer view(reinterpret_cast<unsigned char*>(const_cast<char*>(data.data())), data.size());
        auto input = std::make_shared<BufferInputSource>("content stream", &view, false);
        QPDFTokenizer tokenizer;
        tokenizer.allowEOF();

        while (!impl.stopped && !impl.aborted) {
            const QPDFTokenizer::Token t = tokenizer.readToken(input, "content stream", true, 0);
            const auto type = t.getType();
            if (type == QPDFTokenizer::tt_eof)
                break;
            if (impl.value(t))
                continue;
            if (type != QPDFTokenizer::tt_word) {
                impl.error(); // bad tokens and braces
                continue;
            }
            impl.dropOpenContainers();
            const std::string& op = t.getValue();
            if (op != "BI") {
                dispatch(*this, impl, table_, op);
                continue;
            }

            // An inline image: BI clears the operands like any operator.
            impl.stack.clear();
            impl.currentOperator = "BI";
            std::vector<QPDFObjectHandle> entries;
            bool sawId = false;
            std::string stray;
            for (;;) {
                const QPDFTokenizer::Token e = tokenizer.readToken(input, "inline image", true, 0);
                if (e.getType() == QPDFTokenizer::tt_eof)
                    break;
                if (e.getType() == QPDFTokenizer::tt_word) {
                    if (impl.frames.empty() && impl.skipped == 0 && e.getValue() == "ID")
                        sawId = true;
                    else
                        stray = e.getValue();
                    break;
                }
                const size_t before = impl.stack.size();
                if (!impl.value(e))
                    impl.error();
                // Complete values land on the operand stack: move them to the entries.
                while (impl.stack.size() > before) {
                    entries.push_back(impl.stack[before].handle());
                    impl.stack.erase(impl.stack.begin() + long(before));
                }
            }
            if (!sawId) {
                impl.error();
                impl.dropOpenContainers();
                impl.stack.clear();
                if (!stray.empty())
                    dispatch(*this, impl, table_, stray);
                continue;
            }
            QPDFObjectHandle dict = impl.makeDictionary(entries);
            size_t start = size_t(input->tell());
            // One white-space byte separates ID from the data.
            if (start < data.size() && isWhite(static_cast<unsigned char>(data[start])))
                ++start;
            if (!impl.scratch)
                impl.scratch = makeScratchQpdf();
            const std::shared_ptr<const void> owner(impl.scratch);
            const Object wrappedDict(dict);
            const auto span = findInlineImageEnd(data, start, dict, wrappedDict, content_);
            if (!span) {
                impl.error();
                break; // no end to the image: nothing after it can be read
            }
            QPDFObjectHandle stream =
                impl.scratch->newStream(data.substr(start, span->dataEnd - start));
            QPDFObjectHandle streamDict = stream.getDict();
            streamDict.removeKey("/Length");
            for (const std::string& key : dict.getKeys())
                streamDict.replaceKey(key, dict.getKey(key));
            input->seek(qpdf_offset_t(span->next), SEEK_SET);
            impl.stack.clear();
            impl.stack.emplace_back(stream, owner);
            dispatch(*this, impl, table_, "EI");
        }
    } catch (...) {
        impl.aborted = true;
    }
    impl.dropOpenContainers();
    impl.stack.clear();
    return content_.complete() && impl.errors == 0 && !impl.aborted;
}

bool Scanner::popObject(Object* out)
{
    auto& s = impl_->stack;
    if (s.empty())
        return false;
    if (out)
        *out = std::move(s.back());
    s.pop_back();
    return true;
}

namespace {

template <class T, class Get>
bool popTyped(std::vector<Object>& s, T* out, Get get)
{
    if (s.empty())
        return false;
    auto v = get(s.back());
    if (!v)
        return false;
    if (out)
        *out = std::move(*v);
    s.pop_back();
    return true;
}

template <class Test>
bool popKind(std::vector<Object>& s, Object* out, Test test)
{
    if (s.empty() || !test(s.back()))
        return false;
    if (out)
        *out = std::move(s.back());
    s.pop_back();
    return true;
}

} // namespace

bool Scanner::popNumber(double* out)
{
    return popTyped(impl_->stack, out, [](const Object& o) { return o.number(); });
}

bool Scanner::popInteger(long long* out)
{
    return popTyped(impl_->stack, out, [](const Object& o) { return o.integer(); });
}

bool Scanner::popName(std::string* out)
{
    return popTyped(impl_->stack, out, [](const Object& o) { return o.name(); });
}

bool Scanner::popString(std::string* out)
{
    return popTyped(impl_->stack, out, [](const Object& o) { return o.stringBytes(); });
}

bool Scanner::popBoolean(bool* out)
{
    return popTyped(impl_->stack, out, [](const Object& o) { return o.boolean(); });
}

bool Scanner::popArray(Object* out)
{
    return popKind(impl_->stack, out, [](const Object& o) { return o.isArray(); });
}

bool Scanner::popDictionary(Object* out)
{
    return popKind(impl_->stack, out, [](const Object& o) { return o.isDictionary(); });
}

bool Scanner::popStream(Object* out)
{
    return popKind(impl_->stack, out, [](const Object& o) { return o.isStream(); });
}

const Object* Scanner::peek() const
{
    return impl_->stack.empty() ? nullptr : &impl_->stack.back();
}

size_t Scanner::operandCount() const
{
    return impl_->stack.size();
}

const std::vector<Object>& Scanner::operands() const
{
    return impl_->stack;
}

const std::string& Scanner::currentOperator() const
{
    return impl_->currentOperator;
}

size_t Scanner::operatorCount() const
{
    return impl_->operatorCount;
}

int Scanner::errorCount() const
{
    return impl_->errors;
}

} // namespace rz::pdf
