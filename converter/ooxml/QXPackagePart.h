// Writing one part of an Office Open XML package: the part is made under a
// temporary name beside its place and renamed into place only when it is
// complete, so a part that fails leaves nothing a package could declare.
#pragma once

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>
#include <string>
#include <string_view>

namespace rz {

class XMLFileWriter;

namespace QXPackagePart {

// The name a part is written under until it is complete.
std::string partialPath(const std::string& path);
// Creates `folder` and the folders above it; raises XMLWriterException when
// it cannot.
void makeFolder(const std::string& folder);
// Makes the part's folder, opens a writer on the temporary name, writes the
// XML declaration ("1.0", "UTF-8", standalone) and hands the writer to
// `body`, which writes the root element; ends the document and renames the
// file into place. Raises XMLWriterException (nothing left behind) when any
// of it fails.
void writeXMLPart(const std::string& path, const std::function<void(XMLFileWriter&)>& body);
// The same for bytes written as they are.
void writeBytesPart(const std::string& path, std::string_view bytes);
// Renames a complete temporary file into place; raises XMLWriterException
// (and removes the temporary file) when it cannot.
void renameIntoPlace(const std::string& partial, const std::string& path);

// An element with the given attributes and no content.
void writeEmpty(XMLFileWriter& writer, std::string_view name,
                std::initializer_list<std::pair<std::string_view, std::string_view>> attributes);
void writeEmptyNS(XMLFileWriter& writer, const std::string& ns, std::string_view name,
                  std::initializer_list<std::pair<std::string_view, std::string_view>> attributes);
// An element holding `text`.
void writeTextElement(XMLFileWriter& writer, std::string_view name, std::string_view text);
void writeTextElementNS(XMLFileWriter& writer, const std::string& ns, std::string_view name, std::string_view text);
// A part held in memory: its name in the package and its bytes.
struct HeldPart {
    std::string name;
    std::string bytes;
};
// Packs the package's `entries` (files or folders of `folder`) into a zip
// at `zipPath`, then the parts held in memory (the fixed parts every
// package of a kind has, which need no file of their own); raises
// XMLWriterException when any step fails.
void packFolder(const std::string& folder, const std::string& zipPath, std::initializer_list<const char*> entries,
                const std::vector<HeldPart>& held = {});
// docProps/core.xml at `path`: the given Dublin Core / core-property texts
// (each a namespace, a name and a text), then the created and modified
// times, now.
struct CoreProperty {
    const std::string& ns;
    std::string_view name;
    std::string text;
};
void writeCoreProperties(const std::string& path, const std::vector<CoreProperty>& properties);
// The present moment in UTC as W3CDTF ("2026-12-11T15:04:05Z").
std::string currentW3CDate();

} // namespace QXPackagePart
} // namespace rz
