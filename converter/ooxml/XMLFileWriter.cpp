#include "converter/ooxml/XMLFileWriter.h"

#include "platform/text/Utf.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace rz {

namespace {

// The two namespace names every document has bound and never declares.
constexpr std::string_view kXMLNamespaceURI = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view kXMLNSNamespaceURI = "http://www.w3.org/2000/xmlns/";

// Bytes collected before they are written to the file in one call.
constexpr size_t kWriteBufferSize = 64 * 1024;

std::string systemMessage(int error)
{
    return std::system_category().message(error);
}

[[noreturn]] void raise(const std::string& reason)
{
    throw XMLWriterException(reason);
}

// The entity of an ASCII character that must be escaped, or nullptr.
const char* entityFor(char32_t c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    default: return nullptr;
    }
}

// Hands text already made safe for markup to `out` with & < > " as
// entities; runs of characters kept as they are go out in one piece.
template <typename Out>
void escapeSafeText(std::string_view s, Out&& out)
{
    size_t runStart = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const char* entity = entityFor(static_cast<unsigned char>(s[i]));
        if (entity == nullptr)
            continue;
        if (i > runStart)
            out(s.substr(runStart, i - runStart));
        out(entity);
        runStart = i + 1;
    }
    if (s.size() > runStart)
        out(s.substr(runStart));
}

} // namespace

XMLFileWriter::XMLFileWriter(const std::string& path) : xmlPath_(path)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
        raise("Could not create file " + path + " (" + systemMessage(errno) + ")");
    buffer_.reserve(kWriteBufferSize);
    namespaceCounts_.push_back(2);
    bind("xml", std::string(kXMLNamespaceURI), true);
    bind("xmlns", std::string(kXMLNSNamespaceURI), true);
}

XMLFileWriter::~XMLFileWriter()
{
    if (fd_ < 0)
        return;
    try {
        flushBuffer();
    } catch (const XMLWriterException&) {
        // Nobody is left to tell; writeEndDocument() and closeFile() report it.
    }
    ::close(fd_);
}

// --- The file ---

void XMLFileWriter::append(std::string_view bytes)
{
    if (fd_ < 0)
        raise("Could not write to file " + xmlPath_ + " (the file is closed)");
    buffer_.append(bytes);
    bytesWritten_ += bytes.size();
    if (buffer_.size() >= kWriteBufferSize)
        flushBuffer();
}

void XMLFileWriter::flushBuffer()
{
    size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            buffer_.clear();
            raise("Could not write to file " + xmlPath_ + " (" + systemMessage(error) + ")");
        }
        done += static_cast<size_t>(n);
    }
    buffer_.clear();
}

void XMLFileWriter::closeFile()
{
    if (fd_ < 0)
        return;
    const int fd = fd_;
    try {
        flushBuffer();
    } catch (const XMLWriterException&) {
        fd_ = -1;
        ::close(fd);
        throw;
    }
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        raise("Could not close file " + xmlPath_ + " (" + systemMessage(errno) + ")");
}

void XMLFileWriter::synchronizeFile()
{
    if (fd_ < 0)
        return;
    flushBuffer();
    // Special files (pipes, character devices) cannot be synchronised.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        raise("Could not write to file " + xmlPath_ + " (" + systemMessage(errno) + ")");
}

std::string XMLFileWriter::toString()
{
    if (fd_ >= 0)
        flushBuffer();
    std::ifstream in(xmlPath_, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void XMLFileWriter::writeEndDocument()
{
    while (level_ > 0)
        writeEndElement();
    closeFile();
}

// --- Declaration ---

void XMLFileWriter::writeStartDocumentWithEncodingAndVersion(
    std::optional<std::string_view> encoding, std::optional<std::string_view> version,
    std::optional<std::string_view> standalone)
{
    if (bytesWritten_ != 0)
        raise("Document has already been started");
    append("<?xml version=\"");
    append(version ? *version : std::string_view("1.0"));
    append("\"");
    if (encoding) {
        encoding_ = std::string(*encoding);
        append(" encoding=\"");
        append(*encoding);
        append("\"");
    }
    if (standalone) {
        append(" standalone=\"");
        append(*standalone);
        append("\"");
    }
    append(" ?>");
}

void XMLFileWriter::writeStartDocumentWithEncodingAndVersion(
    std::optional<std::string_view> encoding, std::optional<std::string_view> version)
{
    writeStartDocumentWithEncodingAndVersion(encoding, version, std::nullopt);
}

void XMLFileWriter::writeStartDocumentWithVersion(std::optional<std::string_view> version)
{
    writeStartDocumentWithEncodingAndVersion(std::nullopt, version, std::nullopt);
}

void XMLFileWriter::writeStartDocument()
{
    writeStartDocumentWithEncodingAndVersion(std::nullopt, std::nullopt, std::nullopt);
}

// --- Layout helpers ---

void XMLFileWriter::closeStartElementIfOpen()
{
    if (newElement_) {
        append(">");
        newElement_ = false;
    }
}

void XMLFileWriter::writeLinebreak()
{
    if (!lineBreak_.empty())
        append(lineBreak_);
}

void XMLFileWriter::writeIndentation()
{
    if (indentation_.empty())
        return;
    for (int i = 0; i < level_; ++i)
        append(indentation_);
}

// Writes "prefix:" for a namespace URI with a non-empty prefix; raises
// "Unknown namespace URI" for a URI that is not bound.
void XMLFileWriter::writeNamespacePrefix(NamespaceURI namespaceURI)
{
    if (!namespaceURI)
        return;
    const auto it = namespaceURIPrefixMap_.find(*namespaceURI);
    if (it == namespaceURIPrefixMap_.end())
        raise("Unknown namespace URI " + std::string(*namespaceURI));
    if (!it->second.empty()) {
        append(it->second);
        append(":");
    }
}

// --- Elements ---

void XMLFileWriter::writeStartElementWithNamespace(NamespaceURI namespaceURI,
                                                   std::string_view localName)
{
    closeStartElementIfOpen();
    writeLinebreak();
    writeIndentation();
    append("<");
    writeNamespacePrefix(namespaceURI);
    append(localName);

    elementNamespaceURIs_.emplace_back(namespaceURI ? *namespaceURI : std::string_view());
    elementLocalNames_.emplace_back(localName);
    newElement_ = true;
    emptyElement_ = true;
    ++level_;

    writeNamespaceAttributes();
    pushNamespaceCount();
}

void XMLFileWriter::writeStartElement(std::string_view localName)
{
    writeStartElementWithNamespace(std::nullopt, localName);
}

void XMLFileWriter::endOpenElementState()
{
    popNamespaceScope();
    elementLocalNames_.pop_back();
    elementNamespaceURIs_.pop_back();
    newElement_ = false;
    emptyElement_ = true;
}

void XMLFileWriter::writeEndElement()
{
    if (level_ < 1)
        raise("Cannot write more end elements than start elements.");
    if (newElement_ && automaticEmptyElements_) {
        append("/>");
        endOpenElementState();
        --level_;
        return;
    }
    // Copies: the stacks are popped while these are in use.
    const std::string uri = elementNamespaceURIs_.back();
    const std::string name = elementLocalNames_.back();
    writeEndElementWithNamespace(uri.empty() ? NamespaceURI() : NamespaceURI(uri), name);
}

void XMLFileWriter::writeEndElementWithNamespace(NamespaceURI namespaceURI,
                                                 std::string_view localName)
{
    if (level_ < 1)
        raise("Cannot write more end elements than start elements.");
    --level_;
    if (newElement_) {
        append(">");
        newElement_ = false;
    } else if (emptyElement_) {
        writeLinebreak();
        writeIndentation();
    }
    append("</");
    writeNamespacePrefix(namespaceURI);
    append(localName);
    append(">");
    endOpenElementState();
}

void XMLFileWriter::writeEndElement(std::string_view localName)
{
    writeEndElementWithNamespace(std::nullopt, localName);
}

void XMLFileWriter::writeEmptyElementWithNamespace(NamespaceURI namespaceURI,
                                                   std::string_view localName)
{
    closeStartElementIfOpen();
    writeLinebreak();
    writeIndentation();
    append("<");
    writeNamespacePrefix(namespaceURI);
    append(localName);
    append("/>");
    newElement_ = false;
    emptyElement_ = true;
}

void XMLFileWriter::writeEmptyElement(std::string_view localName)
{
    writeEmptyElementWithNamespace(std::nullopt, localName);
}

void XMLFileWriter::writeCloseStartElement()
{
    if (!newElement_)
        raise("No open start element");
    closeStartElementIfOpen();
}

// --- Attributes ---

void XMLFileWriter::writeAttributeWithNamespace(NamespaceURI namespaceURI,
                                                std::string_view localName,
                                                std::string_view value)
{
    if (!newElement_)
        raise("No open start element");
    append(" ");
    writeNamespacePrefix(namespaceURI);
    append(localName);
    append("=\"");
    writeEscaped(value);
    append("\"");
}

void XMLFileWriter::writeAttribute(std::string_view localName, std::string_view value)
{
    writeAttributeWithNamespace(std::nullopt, localName, value);
}

// --- Content ---

void XMLFileWriter::writeCharacters(std::string_view text)
{
    closeStartElementIfOpen();
    writeEscaped(text);
    emptyElement_ = false;
}

void XMLFileWriter::writeCharacters(std::u16string_view text)
{
    closeStartElementIfOpen();
    writeEscaped(text);
    emptyElement_ = false;
}

void XMLFileWriter::writeCharacters(const char16_t* characters, size_t length)
{
    if (characters == nullptr || length == 0)
        return;
    append(markupSafeText(std::u16string_view(characters, length)));
}

void XMLFileWriter::writeComment(std::string_view text)
{
    closeStartElementIfOpen();
    append("<!--");
    const std::string content = markupSafeText(text);
    std::string safe;
    safe.reserve(content.size());
    for (size_t i = 0; i < content.size(); ++i) {
        safe.push_back(content[i]);
        if (content[i] == '-' && (i + 1 == content.size() || content[i + 1] == '-'))
            safe.push_back(' ');
    }
    append(safe);
    append("-->");
    emptyElement_ = false;
}

void XMLFileWriter::writeCData(std::string_view content)
{
    closeStartElementIfOpen();
    const std::string safe = markupSafeText(content);
    const std::string_view text = safe;
    append("<![CDATA[");
    size_t start = 0;
    for (size_t pos = text.find("]]>"); pos != std::string_view::npos;
         pos = text.find("]]>", start)) {
        // "]]" ends this section; ">" opens the next one.
        append(text.substr(start, pos + 2 - start));
        append("]]><![CDATA[");
        start = pos + 2;
    }
    append(text.substr(start));
    append("]]>");
    emptyElement_ = false;
}

void XMLFileWriter::write(std::string_view text)
{
    if (!text.empty())
        append(text);
}

void XMLFileWriter::writeEscaped(std::string_view text)
{
    escapeSafeText(markupSafeText(text), [this](std::string_view piece) { append(piece); });
}

void XMLFileWriter::writeEscaped(std::u16string_view text)
{
    escapeSafeText(markupSafeText(text), [this](std::string_view piece) { append(piece); });
}

// --- Namespaces ---

void XMLFileWriter::bind(const std::string& prefix, const std::string& namespaceURI, bool written)
{
    namespaceURIs_.push_back(namespaceURI);
    namespaceWritten_.push_back(written);
    namespaceURIPrefixMap_[namespaceURI] = prefix;
    prefixNamespaceURIMap_[prefix] = namespaceURI;
}

void XMLFileWriter::unbindAt(size_t index)
{
    const std::string uri = namespaceURIs_[index];
    const auto it = namespaceURIPrefixMap_.find(uri);
    if (it != namespaceURIPrefixMap_.end()) {
        prefixNamespaceURIMap_.erase(it->second);
        namespaceURIPrefixMap_.erase(it);
    }
    namespaceURIs_.erase(namespaceURIs_.begin() + static_cast<std::ptrdiff_t>(index));
    namespaceWritten_.erase(namespaceWritten_.begin() + static_cast<std::ptrdiff_t>(index));
}

void XMLFileWriter::setPrefix(std::optional<std::string_view> prefix,
                              std::optional<std::string_view> namespaceURI)
{
    if (!namespaceURI)
        raise("Namespace cannot be NULL");
    if (!prefix)
        raise("Prefix cannot be NULL");
    if (namespaceURIPrefixMap_.find(*namespaceURI) != namespaceURIPrefixMap_.end())
        raise("Name namespace " + std::string(*namespaceURI) + " has already been set");
    if (prefixNamespaceURIMap_.find(*prefix) != prefixNamespaceURIMap_.end()) {
        if (prefix->empty())
            raise("Default namespace has already been set");
        raise("Prefix " + std::string(*prefix) + " has already been set");
    }
    bind(std::string(*prefix), std::string(*namespaceURI), false);
}

void XMLFileWriter::setDefaultNamespace(std::optional<std::string_view> namespaceURI)
{
    setPrefix(std::string_view(), namespaceURI);
}

std::optional<std::string> XMLFileWriter::getPrefix(std::string_view namespaceURI) const
{
    const auto it = namespaceURIPrefixMap_.find(namespaceURI);
    if (it == namespaceURIPrefixMap_.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> XMLFileWriter::getNamespaceURI(std::string_view prefix) const
{
    const auto it = prefixNamespaceURIMap_.find(prefix);
    if (it == prefixNamespaceURIMap_.end())
        return std::nullopt;
    return it->second;
}

// Declares, on the start tag just written, every binding made since the
// enclosing element's start tag that has not been declared yet.
void XMLFileWriter::writeNamespaceAttributes()
{
    for (size_t i = namespaceCounts_.back(); i < namespaceURIs_.size(); ++i) {
        if (namespaceWritten_[i])
            continue;
        const auto xmlns = getPrefix(kXMLNSNamespaceURI);
        if (!xmlns)
            raise("Cannot declare namespace without namespace " + std::string(kXMLNSNamespaceURI));
        const std::string& uri = namespaceURIs_[i];
        const std::string prefix = namespaceURIPrefixMap_.find(uri)->second;
        append(" ");
        append(*xmlns);
        if (!prefix.empty()) {
            append(":");
            append(prefix);
        }
        append("=\"");
        writeEscaped(uri);
        append("\"");
        namespaceWritten_[i] = true;
    }
}

void XMLFileWriter::pushNamespaceCount()
{
    namespaceCounts_.push_back(namespaceURIs_.size());
}

// Unbinds what the ending element declared.
void XMLFileWriter::popNamespaceScope()
{
    if (namespaceCounts_.size() < 2)
        return;
    const size_t top = namespaceCounts_.back();
    const size_t below = namespaceCounts_[namespaceCounts_.size() - 2];
    for (size_t i = std::min(top, namespaceURIs_.size()); i > below; --i)
        unbindAt(i - 1);
    namespaceCounts_.pop_back();
}

} // namespace rz
