// The streaming XML writer: exact bytes of its layout and escaping, its
// misuse exceptions, namespace scopes, failed file operations, and every
// written part checked by xmllint.
#include "converter/ooxml/XMLFileWriter.h"
#include "tests/support/HostileText.h"
#include "tests/support/PdfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

using namespace rz;

namespace {

const std::string kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const std::string kR = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string freshPath(const std::string& name = "part.xml")
{
    return test::makeTempDir() + "/" + name;
}

// xmllint reads the file without an error, namespace errors included
// (which it reports without failing).
bool xmllintAccepts(const std::string& path)
{
    std::string out;
    const bool ok = test::runCommand("xmllint --noout '" + path + "' 2>&1", &out) == 0 && out.empty();
    EXPECT_EQ(out, "");
    return ok;
}

// Runs `body` on a new writer (declaration and root element "r" already
// written), ends the document and answers the file's bytes after the root
// start tag's line.
std::string bodyOf(const std::function<void(XMLFileWriter&)>& body, bool* wellFormed = nullptr)
{
    const std::string path = freshPath();
    XMLFileWriter writer(path);
    writer.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    writer.writeStartElement("r");
    body(writer);
    writer.writeEndDocument();
    if (wellFormed != nullptr)
        *wellFormed = xmllintAccepts(path);
    const std::string all = readFile(path);
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n<r";
    EXPECT_EQ(all.substr(0, head.size()), head);
    return all.substr(head.size());
}

std::string reasonOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const XMLWriterException& e) {
        return e.reason();
    }
    return "(nothing raised)";
}

} // namespace

TEST(XMLFileWriterTest, LaysOutElementsAndBothEndForms)
{
    const std::string path = freshPath();
    XMLFileWriter w(path);
    w.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    w.setPrefix("w", kW);
    w.setPrefix("o", "urn:schemas-microsoft-com:office:office");
    w.writeStartElementWithNamespace(kW, "document");
    w.writeStartElementWithNamespace(kW, "body");
    w.writeStartElementWithNamespace(kW, "p");
    w.writeAttributeWithNamespace(kW, "val", "x");
    w.writeAttribute("o:spt", "202");
    w.writeEndElement();                           // empty-element tag, attributes kept
    w.writeStartElementWithNamespace(kW, "t");
    w.writeEndElementWithNamespace(kW, "t");       // start tag directly followed by end tag
    w.writeStartElement("b");
    w.writeEndElement("b");
    w.writeStartElementWithNamespace(kW, "r");
    w.writeCharacters("hi");
    w.writeEndElement();                           // end tag right after the text
    w.writeEmptyElementWithNamespace(kW, "br");
    w.writeEndDocument();

    EXPECT_EQ(readFile(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
              "<w:document xmlns:w=\"" + kW + "\" xmlns:o=\"urn:schemas-microsoft-com:office:office\">\n"
              "\t<w:body>\n"
              "\t\t<w:p w:val=\"x\" o:spt=\"202\"/>\n"
              "\t\t<w:t></w:t>\n"
              "\t\t<b></b>\n"
              "\t\t<w:r>hi</w:r>\n"
              "\t\t<w:br/>\n"
              "\t</w:body>\n"
              "</w:document>");
    EXPECT_FALSE(w.isOpen());
    EXPECT_TRUE(xmllintAccepts(path));
}

TEST(XMLFileWriterTest, DeclarationForms)
{
    struct Case {
        std::function<void(XMLFileWriter&)> declare;
        std::string expected;
    };
    const Case cases[] = {
        {[](XMLFileWriter& w) { w.writeStartDocument(); }, "<?xml version=\"1.0\" ?>"},
        {[](XMLFileWriter& w) { w.writeStartDocumentWithVersion("1.1"); }, "<?xml version=\"1.1\" ?>"},
        {[](XMLFileWriter& w) { w.writeStartDocumentWithEncodingAndVersion("UTF-8", std::nullopt); },
         "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"},
    };
    for (const Case& c : cases) {
        const std::string path = freshPath();
        XMLFileWriter w(path);
        c.declare(w);
        w.writeStartElement("r");
        w.writeEndDocument();
        EXPECT_EQ(readFile(path), c.expected + "\n<r/>");
        if (c.expected.find("\"1.0\"") != std::string::npos) {  // xmllint reads XML 1.0 only
            EXPECT_TRUE(xmllintAccepts(path));
        }
    }
}

TEST(XMLFileWriterTest, EndDocumentClosesThreeOpenElementsOnIndentedLines)
{
    bool wellFormed = false;
    EXPECT_EQ(bodyOf([](XMLFileWriter& w) {
                  w.writeStartElement("a");
                  w.writeStartElement("b");
                  w.writeStartElement("c");
                  w.writeCharacters("x");
                  // three elements left open (and the root)
              }, &wellFormed),
              ">\n\t<a>\n\t\t<b>\n\t\t\t<c>x</c>\n\t\t</b>\n\t</a>\n</r>");
    EXPECT_TRUE(wellFormed);

    // With nothing but markup inside, the innermost ends as "/>".
    EXPECT_EQ(bodyOf([](XMLFileWriter& w) {
                  w.writeStartElement("a");
                  w.writeStartElement("b");
                  w.writeStartElement("c");
              }),
              ">\n\t<a>\n\t\t<b>\n\t\t\t<c/>\n\t\t</b>\n\t</a>\n</r>");
}

TEST(XMLFileWriterTest, EscapesTextAndAttributesAndDropsWhatMarkupForbids)
{
    struct Case {
        std::string name;
        std::string text;
        std::string escaped;
    };
    const Case cases[] = {
        {"markup", "a<b & \"c\" 'd'", "a&lt;b &amp; &quot;c&quot; 'd'"},
        {"greater", "x>y", "x&gt;y"},
        {"tab, line feed, return kept; U+0001 dropped", "a\tb\nc\rd\x01" "e", "a\tb\nc\rde"},
        {"C0 controls dropped", std::string("\x00\x08\x0B\x0C\x0E\x1F", 6) + "z", "z"},
        {"emoji kept", "smile \xF0\x9F\x98\x80!", "smile \xF0\x9F\x98\x80!"},
        {"U+FFFE and U+FFFF dropped", "a\xEF\xBF\xBE" "b\xEF\xBF\xBF" "c", "abc"},
        {"surrogate encoded in UTF-8 replaced", "a\xED\xA0\x80" "b", "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "b"},
        {"invalid byte replaced", "a\xFF" "b", "a\xEF\xBF\xBD" "b"},
        {"U+FFFD and U+10FFFD kept", "\xEF\xBF\xBD\xF4\x8F\xBF\xBD", "\xEF\xBF\xBD\xF4\x8F\xBF\xBD"},
        {"C1 controls and the noncharacter U+10FFFF dropped", "a\xC2\x85" "b\xF4\x8F\xBF\xBF", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool wellFormed = false;
        EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeCharacters(c.text); }, &wellFormed),
                  ">" + c.escaped + "</r>");
        EXPECT_TRUE(wellFormed);
        EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeAttribute("v", c.text); }, &wellFormed),
                  " v=\"" + c.escaped + "\"/>");
        EXPECT_TRUE(wellFormed);
    }
}

TEST(XMLFileWriterTest, EscapesUtf16KeepingPairsAndReplacingLoneSurrogates)
{
    const std::u16string text = {u'a', 0xD83D, 0xDE00, u'<', 0xD800, u'b', 0xDC00, 0x0001, u'c', 0xD83D};
    bool wellFormed = false;
    EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeCharacters(text); }, &wellFormed),
              ">a\xF0\x9F\x98\x80&lt;\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c\xEF\xBF\xBD</r>");
    EXPECT_TRUE(wellFormed);

    // Units written as they are (no escaping), a lone surrogate as U+FFFD,
    // a control character left out; like markup, they leave the end tag to
    // its own line.
    const std::u16string raw = {u'<', u'x', u'/', u'>', 0x0001, 0xDC00};
    EXPECT_EQ(bodyOf([&](XMLFileWriter& w) {
                  w.writeCloseStartElement();
                  w.writeCharacters(raw.data(), raw.size());
              }),
              "><x/>\xEF\xBF\xBD\n</r>");
}

// A PDF's text and names in every place a part can hold text: each one
// well formed as xmllint reads it, and holding exactly what markup may hold.
TEST(XMLFileWriterTest, HostileStringsGiveWellFormedParts)
{
    const auto escaped = [](const std::string& safe) {
        std::string out;
        for (const char c : safe) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
            }
        }
        return out;
    };
    for (const auto& c : test::hostileUtf8Texts()) {
        SCOPED_TRACE(c.name);
        bool wellFormed = false;
        EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeCharacters(c.text); }, &wellFormed),
                  ">" + escaped(c.safe) + "</r>");
        EXPECT_TRUE(wellFormed);
        EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeAttribute("v", c.text); }, &wellFormed),
                  " v=\"" + escaped(c.safe) + "\"/>");
        EXPECT_TRUE(wellFormed);
        EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeComment(c.text); }, &wellFormed),
                  "><!--" + c.safe + "--></r>");
        EXPECT_TRUE(wellFormed);
        EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeCData(c.text); }, &wellFormed),
                  "><![CDATA[" + c.safe + "]]></r>");
        EXPECT_TRUE(wellFormed);
    }
    for (const auto& c : test::hostileUtf16Texts()) {
        SCOPED_TRACE(c.name);
        bool wellFormed = false;
        EXPECT_EQ(bodyOf([&](XMLFileWriter& w) { w.writeCharacters(c.text); }, &wellFormed),
                  ">" + escaped(c.safe) + "</r>");
        EXPECT_TRUE(wellFormed);
    }
}

TEST(XMLFileWriterTest, CommentsAndCDataStayWellFormed)
{
    bool wellFormed = false;
    EXPECT_EQ(bodyOf([](XMLFileWriter& w) {
                  w.writeComment("a--b-");
                  w.writeCData("x]]>y<&");
                  w.write("<raw/>");
              }, &wellFormed),
              "><!--a- -b- --><![CDATA[x]]]]><![CDATA[>y<&]]><raw/></r>");
    EXPECT_TRUE(wellFormed);
}

TEST(XMLFileWriterTest, MisuseRaisesWithItsReason)
{
    const std::string path = freshPath();
    XMLFileWriter w(path);
    w.writeStartDocument();
    EXPECT_EQ(reasonOf([&] { w.writeStartDocument(); }), "Document has already been started");
    EXPECT_EQ(reasonOf([&] { w.writeAttribute("a", "b"); }), "No open start element");
    EXPECT_EQ(reasonOf([&] { w.writeCloseStartElement(); }), "No open start element");
    EXPECT_EQ(reasonOf([&] { w.writeEndElement(); }), "Cannot write more end elements than start elements.");
    EXPECT_EQ(reasonOf([&] { w.writeEndElement("x"); }), "Cannot write more end elements than start elements.");
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::nullopt, "urn:a"); }), "Prefix cannot be NULL");
    EXPECT_EQ(reasonOf([&] { w.setPrefix("a", std::nullopt); }), "Namespace cannot be NULL");
    EXPECT_EQ(reasonOf([&] { w.setPrefix(std::nullopt, std::nullopt); }), "Namespace cannot be NULL");
    EXPECT_EQ(reasonOf([&] { w.setPrefix("x", "urn:xml"); }), "(nothing raised)");
    EXPECT_EQ(reasonOf([&] { w.setPrefix("xml", "urn:other"); }), "Prefix xml has already been set");
    w.setDefaultNamespace("urn:default");
    EXPECT_EQ(reasonOf([&] { w.setDefaultNamespace("urn:default2"); }), "Default namespace has already been set");
    EXPECT_EQ(reasonOf([&] { w.setPrefix("y", "urn:xml"); }), "Name namespace urn:xml has already been set");

    // An empty element takes no attributes.
    w.writeStartElement("root");
    w.writeEmptyElement("e");
    EXPECT_EQ(reasonOf([&] { w.writeAttribute("a", "b"); }), "No open start element");

    // An unbound URI raises after "<" has been written.
    EXPECT_EQ(reasonOf([&] { w.writeStartElementWithNamespace("urn:unbound", "x"); }),
              "Unknown namespace URI urn:unbound");
    w.closeFile();
    const std::string written = readFile(path);
    EXPECT_EQ(written.substr(written.size() - 2), "\t<");

    EXPECT_STREQ(XMLWriterException::name(), "XMLWriterException");
}

TEST(XMLFileWriterTest, NamespaceIsDeclaredOnNextStartTagAndUnboundAtItsEnd)
{
    const std::string path = freshPath();
    XMLFileWriter w(path);
    w.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    w.setPrefix("w", kW);
    w.writeStartElementWithNamespace(kW, "document");
    w.writeAttribute("xmlns", "urn:default");
    w.setPrefix("r", kR);
    EXPECT_EQ(w.getPrefix(kR), "r");
    EXPECT_EQ(w.getNamespaceURI("r"), kR);
    w.writeStartElementWithNamespace(kW, "p");
    w.writeAttributeWithNamespace(kR, "id", "rId1");
    EXPECT_EQ(reasonOf([&] { w.setPrefix("r2", kR); }), "Name namespace " + kR + " has already been set");
    w.writeEndElement();
    // The element that declared "r" has ended: the URI is free again.
    EXPECT_EQ(w.getPrefix(kR), std::nullopt);
    EXPECT_EQ(w.getNamespaceURI("r"), std::nullopt);
    w.setPrefix("rel", kR);
    w.writeStartElementWithNamespace(kR, "x");
    w.writeEndElement();
    // Prefixes bound before the root live for the whole document.
    EXPECT_EQ(w.getPrefix(kW), "w");
    EXPECT_EQ(w.getPrefix("http://www.w3.org/XML/1998/namespace"), "xml");
    w.writeEndDocument();

    EXPECT_EQ(readFile(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
              "<w:document xmlns:w=\"" + kW + "\" xmlns=\"urn:default\">\n"
              "\t<w:p xmlns:r=\"" + kR + "\" r:id=\"rId1\"/>\n"
              "\t<rel:x xmlns:rel=\"" + kR + "\"/>\n"
              "</w:document>");
    EXPECT_TRUE(xmllintAccepts(path));
    EXPECT_EQ(w.getPrefix(kW), std::nullopt);
}

TEST(XMLFileWriterTest, DefaultNamespaceBindingIsDeclaredWithoutPrefix)
{
    const std::string path = freshPath();
    XMLFileWriter w(path);
    w.writeStartDocument();
    w.setDefaultNamespace("urn:main");
    w.writeStartElementWithNamespace("urn:main", "sst");
    w.writeStartElementWithNamespace("urn:main", "si");
    w.writeCharacters("1 < 2");
    w.writeEndDocument();
    EXPECT_EQ(readFile(path), "<?xml version=\"1.0\" ?>\n<sst xmlns=\"urn:main\">\n\t<si>1 &lt; 2</si>\n</sst>");
    EXPECT_TRUE(xmllintAccepts(path));
}

TEST(XMLFileWriterTest, PropertiesChangeTheLayout)
{
    const std::string path = freshPath();
    XMLFileWriter w(path);
    w.setIndentation("  ");
    w.setLineBreak("\r\n");
    w.setAutomaticEmptyElements(false);
    w.writeStartElement("a");
    w.writeStartElement("b");
    EXPECT_EQ(w.level(), 2);
    w.writeEndDocument();
    EXPECT_EQ(readFile(path), "\r\n<a>\r\n  <b></b>\r\n</a>");
    EXPECT_TRUE(xmllintAccepts(path));

    const std::string flat = freshPath();
    XMLFileWriter f(flat);
    f.setIndentation("");
    f.setLineBreak("");
    f.writeStartElement("a");
    f.writeStartElement("b");
    f.writeEndDocument();
    EXPECT_EQ(readFile(flat), "<a><b/></a>");
    EXPECT_TRUE(xmllintAccepts(flat));
}

TEST(XMLFileWriterTest, FileFailuresRaise)
{
    // A folder that does not exist: the constructor raises.
    const std::string missing = test::makeTempDir() + "/no/such/folder/part.xml";
    EXPECT_THROW(XMLFileWriter{missing}, XMLWriterException);

    // A full disk: the part is never reported as written.
    if (std::filesystem::exists("/dev/full")) {
        XMLFileWriter full("/dev/full");
        full.writeStartDocument();
        full.writeStartElement("r");
        EXPECT_THROW(full.writeEndDocument(), XMLWriterException);
        EXPECT_FALSE(full.isOpen());

        XMLFileWriter big("/dev/full");
        EXPECT_THROW(
            {
                for (int i = 0; i < 100000; ++i)
                    big.writeEmptyElement("element");
            },
            XMLWriterException);
    }

    // Writing after the file was closed.
    const std::string path = freshPath();
    XMLFileWriter closed(path);
    closed.closeFile();
    EXPECT_THROW(closed.writeStartElement("r"), XMLWriterException);
}

TEST(XMLFileWriterTest, StreamsALargePart)
{
    const std::string path = freshPath("sheet.xml");
    XMLFileWriter w(path);
    w.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    w.setDefaultNamespace("urn:sheet");
    w.writeStartElementWithNamespace("urn:sheet", "sheetData");
    const int rows = 20000;
    for (int i = 0; i < rows; ++i) {
        w.writeStartElement("row");
        w.writeAttribute("r", std::to_string(i + 1));
        w.writeStartElement("c");
        w.writeCharacters("value & more \xE2\x82\xAC");
        w.writeEndElement();
        w.writeEndElement();
    }
    w.synchronizeFile();
    EXPECT_GT(std::filesystem::file_size(path), 20u * rows);
    w.writeEndDocument();
    EXPECT_TRUE(xmllintAccepts(path));

    std::string count;
    ASSERT_EQ(test::runCommand("xmllint --xpath 'count(//*[local-name()=\"row\"])' '" + path + "'", &count), 0);
    EXPECT_EQ(count.substr(0, count.find_last_not_of('\n') + 1), std::to_string(rows));
    EXPECT_EQ(w.toString().size(), std::filesystem::file_size(path));
}
