// One slide: the shapes the exporter adds in content order, the text box
// being built, and the slide's relationships (the layout first, then one
// per picture file). endWritePage writes the slide part and its
// relationship part, each only once complete. Shape ids count from 2 on
// every slide (1 is the shape tree).
#pragma once

#include "pptx/slide/QXPPTXParagraph.h"
#include "pptx/slide/QXPPTXShape.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class XMLFileWriter;

class QXPPTXPage {
public:
    struct Relationship {
        std::string type;
        std::string target;
    };

    // The slide "slide<pageNumber>.xml" under `rootFolder`/ppt/slides.
    QXPPTXPage(std::uint64_t pageNumber, std::string rootFolder);

    // Empty shape and relationship lists; the layout relationship.
    void begainWritePage();
    // Writes the slide and its relationships; raises XMLWriterException
    // (nothing left behind) when either cannot be written.
    void endWritePage();

    // "rId<n>" of the relationship to ../media/<mediaName>, or nothing.
    std::optional<std::string> findExistRelsWithImagePath(const std::string& mediaName) const;
    // Adds an image relationship to ../media/<mediaName>; its id.
    std::string addNewRelsWithImagePath(const std::string& mediaName);

    // --- The text box being built ---
    // Appends a paragraph with a copy of the last one's properties (the
    // defaults for the first).
    void cachedTextBoxNewParagraph();
    // The last paragraph, made when there is none.
    QXPPTXParagraph& cachedTextBoxLastParagraph();
    // The widest paragraph: marL + text width; 0 without paragraphs.
    double cachedTextBoxWidthMax() const;
    // The sum of the paragraphs' line spacings.
    double cachedTextBoxHeight() const;

    bool isUsingTextBox = false;
    QXPPTXTextBoxInfo cachedTextBoxInfo;
    std::vector<std::shared_ptr<QXPPTXParagraph>> cachedTextBoxParagraphs;
    std::vector<std::shared_ptr<QXPPTXShape>> sharepsArr;

    std::uint64_t pageNumber() const { return pageNumber_; }
    const std::string& slidePath() const { return slidePath_; }
    const std::string& relsPath() const { return relsPath_; }
    const std::vector<Relationship>& pageRelsArr() const { return pageRelsArr_; }

    // The slide part written to `writer` (the declaration already made).
    void writePage(XMLFileWriter& writer) const;

private:
    std::uint64_t pageNumber_;
    std::string rootFolder_;
    std::string slidePath_;
    std::string relsPath_;
    std::vector<Relationship> pageRelsArr_;
};

} // namespace rz
