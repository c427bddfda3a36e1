// The streaming XML writer of every Office Open XML part: declaration,
// elements, attributes and text are turned into UTF-8 and appended to one
// file in document order, with namespace prefixes bound in scopes, one
// indentation per open element and no document tree kept in memory.
//
// Output goes through a buffer of its own; every write to the file and the
// closing of the file are checked, and a failure raises XMLWriterException,
// so a part that could not be written completely is never taken as written.
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rz {

// Raised for every misuse of the writer and for every failed file
// operation; what() is the reason.
class XMLWriterException : public std::runtime_error {
public:
    explicit XMLWriterException(const std::string& reason) : std::runtime_error(reason) {}
    // The exception's name.
    static const char* name() { return "XMLWriterException"; }
    std::string reason() const { return what(); }
};

class XMLFileWriter {
public:
    // A namespace URI argument: a URI, or std::nullopt for no namespace.
    using NamespaceURI = std::optional<std::string_view>;

    // Creates the file at `path` (an existing file is replaced) and opens it
    // for writing. Raises XMLWriterException when the file cannot be
    // created.
    explicit XMLFileWriter(const std::string& path);
    // Closes the file when it is still open (writing out what is buffered,
    // without raising). Call writeEndDocument() or closeFile() to learn
    // whether everything reached the file.
    ~XMLFileWriter();

    XMLFileWriter(const XMLFileWriter&) = delete;
    XMLFileWriter& operator=(const XMLFileWriter&) = delete;

    // --- The file ---
    // Ends every open element, then closes the file.
    void writeEndDocument();
    // Writes out the buffer and closes the file; nothing when already closed.
    void closeFile();
    // Writes out the buffer and flushes the file to disk.
    void synchronizeFile();
    // The whole file as written so far (the buffer is written out first).
    std::string toString();

    // --- Declaration ---
    // <?xml version="1.0" encoding="UTF-8" standalone="yes" ?>; a missing
    // version is written as "1.0", a missing encoding or standalone is left
    // out. Raises "Document has already been started" when anything has
    // been written before.
    void writeStartDocumentWithEncodingAndVersion(std::optional<std::string_view> encoding,
                                                  std::optional<std::string_view> version,
                                                  std::optional<std::string_view> standalone);
    void writeStartDocumentWithEncodingAndVersion(std::optional<std::string_view> encoding,
                                                  std::optional<std::string_view> version);
    void writeStartDocumentWithVersion(std::optional<std::string_view> version);
    void writeStartDocument();

    // --- Elements ---
    void writeStartElementWithNamespace(NamespaceURI namespaceURI, std::string_view localName);
    void writeStartElement(std::string_view localName);
    // The innermost element: as "/>" when its start tag is still open (and
    // automaticEmptyElements), else as an end tag.
    void writeEndElement();
    // An end tag with the given name (written as given), never "/>".
    void writeEndElementWithNamespace(NamespaceURI namespaceURI, std::string_view localName);
    void writeEndElement(std::string_view localName);
    // A complete empty element that takes no attributes.
    void writeEmptyElementWithNamespace(NamespaceURI namespaceURI, std::string_view localName);
    void writeEmptyElement(std::string_view localName);
    // Writes the ">" of the open start tag; raises "No open start element"
    // when none is open.
    void writeCloseStartElement();

    // --- Attributes (only while a start tag is open) ---
    void writeAttributeWithNamespace(NamespaceURI namespaceURI, std::string_view localName,
                                     std::string_view value);
    // The name is written unchanged, so a qualified name may be passed.
    void writeAttribute(std::string_view localName, std::string_view value);

    // --- Content ---
    // Escaped text: & < > " become entities. Text, attribute values,
    // comments and CDATA go through markupSafeText (platform/text/Utf.h):
    // ill-formed UTF-8 becomes U+FFFD, and what XML 1.0 does not allow (C0
    // controls other than tab, line feed and carriage return, U+FFFE,
    // U+FFFF), the C1 controls and the noncharacters are dropped;
    // characters outside the Basic Multilingual Plane are kept.
    void writeCharacters(std::string_view text);
    // The same over UTF-16 code units: a well-formed surrogate pair is
    // written as one character, an unpaired surrogate as U+FFFD.
    void writeCharacters(std::u16string_view text);
    // `length` UTF-16 units written unescaped, made safe as above.
    void writeCharacters(const char16_t* characters, size_t length);
    // <!--text-->; the text made safe, and a hyphen separated from a
    // following hyphen or from the end by a space, as a comment cannot hold
    // "--" or end in "-".
    void writeComment(std::string_view text);
    // <![CDATA[text]]>, the text made safe; a "]]>" inside the text is split
    // across two sections.
    void writeCData(std::string_view text);
    // The string unchanged, without escaping.
    void write(std::string_view text);

    // --- Namespaces ---
    // Binds a prefix ("" for the default namespace) to a URI; the binding
    // is declared on the next start tag and lasts until that element ends.
    void setPrefix(std::optional<std::string_view> prefix,
                   std::optional<std::string_view> namespaceURI);
    void setDefaultNamespace(std::optional<std::string_view> namespaceURI);
    std::optional<std::string> getPrefix(std::string_view namespaceURI) const;
    std::optional<std::string> getNamespaceURI(std::string_view prefix) const;

    // --- Properties ---
    // Written once per level before a tag on a new line; "" turns it off.
    const std::string& indentation() const { return indentation_; }
    void setIndentation(std::string indentation) { indentation_ = std::move(indentation); }
    // "" turns line breaks off.
    const std::string& lineBreak() const { return lineBreak_; }
    void setLineBreak(std::string lineBreak) { lineBreak_ = std::move(lineBreak); }
    bool automaticEmptyElements() const { return automaticEmptyElements_; }
    void setAutomaticEmptyElements(bool value) { automaticEmptyElements_ = value; }
    // Number of open elements.
    int level() const { return level_; }
    const std::string& xmlPath() const { return xmlPath_; }
    // The encoding named in the declaration (the bytes are UTF-8 always).
    const std::optional<std::string>& encoding() const { return encoding_; }
    bool isOpen() const { return fd_ >= 0; }

private:
    void append(std::string_view bytes);
    void flushBuffer();
    void closeStartElementIfOpen();
    void writeLinebreak();
    void writeIndentation();
    void writeNamespacePrefix(NamespaceURI namespaceURI);
    void writeEscaped(std::string_view text);
    void writeEscaped(std::u16string_view text);
    void writeNamespaceAttributes();
    void pushNamespaceCount();
    void popNamespaceScope();
    void bind(const std::string& prefix, const std::string& namespaceURI, bool written);
    void unbindAt(size_t index);
    void endOpenElementState();

    std::string xmlPath_;
    int fd_ = -1;
    std::string buffer_;
    unsigned long long bytesWritten_ = 0;  // into the buffer, since creation
    std::optional<std::string> encoding_;

    int level_ = 0;
    bool newElement_ = false;
    bool emptyElement_ = false;
    std::vector<std::string> elementLocalNames_;
    std::vector<std::string> elementNamespaceURIs_;  // "" for no namespace
    std::vector<std::string> namespaceURIs_;
    std::vector<size_t> namespaceCounts_;
    std::vector<bool> namespaceWritten_;
    std::map<std::string, std::string, std::less<>> namespaceURIPrefixMap_;
    std::map<std::string, std::string, std::less<>> prefixNamespaceURIMap_;

    std::string indentation_ = "\t";
    std::string lineBreak_ = "\n";
    bool automaticEmptyElements_ = true;
};

} // namespace rz
