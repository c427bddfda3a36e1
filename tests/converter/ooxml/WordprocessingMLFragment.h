// Writes elements inside a minimal "w:document" (the WordprocessingML
// namespace bound to "w", no indentation or line breaks), checks the file
// with xmllint, and answers what was written inside the root element; or
// has python-docx read the first paragraph written in a "w:body".
#pragma once

#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace rz::test {

inline std::string writeWordprocessingML(const std::function<void(XMLFileWriter&)>& body)
{
    const std::string path = makeTempDir() + "/document.xml";
    {
        XMLFileWriter writer(path);
        writer.setIndentation("");
        writer.setLineBreak("");
        writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        writer.setPrefix("w", QXOpenXMLNameSpace::nameSpace_w());
        writer.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "document");
        body(writer);
        writer.writeEndDocument();
    }

    std::string lint;
    EXPECT_EQ(runCommand("xmllint --noout '" + path + "' 2>&1", &lint), 0) << lint;
    EXPECT_EQ(lint, "");

    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string all = bytes.str();

    const std::string root = "<w:document xmlns:w=\"" + QXOpenXMLNameSpace::nameSpace_w() + "\"";
    const std::size_t rootAt = all.find(root);
    if (rootAt == std::string::npos) {
        ADD_FAILURE() << "no root element in " << all;
        return {};
    }
    const std::size_t open = rootAt + root.size();
    if (all.compare(open, 2, "/>") == 0)
        return {};
    const std::string close = "</w:document>";
    const std::size_t closeAt = all.rfind(close);
    if (all.compare(open, 1, ">") != 0 || closeAt == std::string::npos || closeAt < open + 1) {
        ADD_FAILURE() << "malformed root in " << all;
        return {};
    }
    return all.substr(open + 1, closeAt - open - 1);
}

// True when python-docx can be imported by the system's Python.
inline bool pythonDocxIsInstalled()
{
    return runCommand("/usr/bin/python3 -c 'import docx' 2>/dev/null") == 0;
}

// Writes `body` inside "w:document/w:body" and runs `python` with `p` bound
// to the first paragraph as python-docx reads it; answers what the script
// printed (with its errors), and sets `ran` to whether it ended without one.
inline std::string readFirstParagraphWithPythonDocx(const std::function<void(XMLFileWriter&)>& body,
                                                    const std::string& python, bool& ran)
{
    const std::string dir = makeTempDir();
    const std::string path = dir + "/document.xml";
    {
        XMLFileWriter writer(path);
        const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
        writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        writer.setPrefix("w", w);
        writer.writeStartElementWithNamespace(w, "document");
        writer.writeStartElementWithNamespace(w, "body");
        body(writer);
        writer.writeEndDocument();
    }
    const std::string script = dir + "/read.py";
    {
        std::ofstream out(script);
        out << "import sys\n"
               "from docx.oxml import parse_xml\n"
               "from docx.text.paragraph import Paragraph\n"
               "doc = parse_xml(open(sys.argv[1], 'rb').read())\n"
               "p = Paragraph(doc.body.p_lst[0], None)\n"
            << python;
    }
    std::string out;
    ran = runCommand("/usr/bin/python3 '" + script + "' '" + path + "' 2>&1", &out) == 0;
    return out;
}

} // namespace rz::test
