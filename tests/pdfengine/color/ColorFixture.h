// PDF objects for the colour tests: objects written into a small document
// and read back through the object layer, so that indirect references and
// streams behave as in real files.
#pragma once

#include "pdfengine/color/QXPDFColor.h"
#include <cstdint>
#include <initializer_list>

#include "platform/pdf/PdfDocument.h"
#include "tests/support/PdfWriter.h"

#include <memory>
#include <string>

namespace rz::test {

class ColorFixture {
public:
    // Adds an indirect object ("[...]", "<< ... >>") and answers its number.
    int add(const std::string& body) { return writer_.add(body); }
    int reserve() { return writer_.reserve(); }
    void set(int number, const std::string& body) { writer_.set(number, body); }
    // Adds a stream with the given dictionary entries and raw (unfiltered) data.
    int stream(const std::string& entries, const std::string& data)
    {
        return writer_.addStream(entries, data);
    }
    static std::string ref(int number) { return std::to_string(number) + " 0 R"; }

    // The object written as `syntax` (which may refer to added objects).
    // The document stays open as long as the fixture.
    pdf::Object object(const std::string& syntax)
    {
        const int pages = writer_.add("<< /Type /Pages /Kids [] /Count 0 >>");
        const int root = writer_.add("<< /Type /Catalog /Pages " + ref(pages) + " /T " + syntax + " >>");
        doc_ = pdf::Document::openData(writer_.build(root));
        if (!doc_)
            return {};
        return doc_->catalog().get("T");
    }

private:
    PdfWriter writer_;
    std::shared_ptr<pdf::Document> doc_;
};

// Bytes from pairs of hex digits ("FF00" -> "\xff\x00").
inline std::string hexBytes(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}


// A colour value filled from the given components (already on the ×255 scale).
inline QXPDFColor colorOf(std::initializer_list<int> components)
{
    QXPDFColor color;
    color.isNull = 0;
    color.length = static_cast<std::int32_t>(components.size());
    int i = 0;
    for (int v : components)
        color.c[i++] = v;
    return color;
}

} // namespace rz::test
