// Helpers for tests of the PDF object layer: fixture documents, objects
// parsed from PDF syntax, password-protected copies and content traces.
#pragma once

#include "platform/pdf/ContentScanner.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/pdf/PdfObject.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>
#include <string>
#include <vector>

namespace rz::pdftest {

// A direct object from PDF syntax ("<< /Filter /AHx >>").
inline pdf::Object parseObject(const std::string& text)
{
    return pdf::Object(QPDFObjectHandle::parse(text));
}

// A copy of `pdf` encrypted with the standard security handler:
// revision 6 (AES-256) or 3 (RC4-128).
inline std::string encryptPdf(const std::string& pdf, const std::string& user,
                              const std::string& owner, bool allowPrint, int revision = 6)
{
    QPDF q;
    q.processMemoryFile("fixture", pdf.data(), pdf.size());
    QPDFWriter w(q);
    w.setOutputMemory();
    w.setStaticID(true);
    const qpdf_r3_print_e print = allowPrint ? qpdf_r3p_full : qpdf_r3p_none;
    if (revision == 3)
        w.setR3EncryptionParametersInsecure(user.c_str(), owner.c_str(), true, allowPrint, true,
                                            true, true, true, print);
    else
        w.setR6EncryptionParameters(user.c_str(), owner.c_str(), true, allowPrint, true, true,
                                    true, true, print, true);
    w.write();
    const std::shared_ptr<Buffer> b = w.getBufferSharedPointer();
    return std::string(reinterpret_cast<const char*>(b->getBuffer()), b->getSize());
}

// Every operator of the content with its operands in PDF syntax, one line
// each ("1 2 w"); an inline image's operand shows as "<stream N>" with its
// byte count.
inline std::vector<std::string> traceScan(const pdf::ContentStream& content, bool* ok = nullptr)
{
    std::vector<std::string> lines;
    pdf::OperatorTable table;
    table.setFallback([&](pdf::Scanner& s) {
        std::string line;
        for (const pdf::Object& o : s.operands())
            line += (o.isStream() ? "<stream " + std::to_string(o.rawStreamData().size()) + ">"
                                  : o.unparse()) +
                    " ";
        lines.push_back(line + s.currentOperator());
    });
    pdf::Scanner scanner(content, table);
    const bool result = scanner.scan();
    if (ok)
        *ok = result;
    return lines;
}

inline std::vector<std::string> traceScan(const std::string& data, bool* ok = nullptr)
{
    return traceScan(pdf::ContentStream(data, pdf::Object(), nullptr), ok);
}

// The string operands of the text-showing operators of a page, in order.
inline std::vector<std::string> shownStrings(const pdf::Page& page)
{
    std::vector<std::string> out;
    pdf::ContentStream content(page);
    pdf::OperatorTable table;
    auto strings = [&](pdf::Scanner& s) {
        for (const pdf::Object& o : s.operands()) {
            if (const auto b = o.stringBytes())
                out.push_back(*b);
            for (size_t i = 0; i < o.size(); ++i)
                if (const auto b = o.at(i).stringBytes())
                    out.push_back(*b);
        }
    };
    for (const char* op : {"Tj", "TJ", "'", "\""})
        table.set(op, strings);
    pdf::Scanner(content, table).scan();
    return out;
}

} // namespace rz::pdftest
