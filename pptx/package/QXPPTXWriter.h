// The output side of the presentation exporter, one per document: a work
// folder, one QXPPTXPage per page, the picture files, and at the end the
// PPTX package moved to the destination.
//
// Lifecycle: initWithPath, begainWriteDocument, per page begainWritePage,
// shapes, endWritePage, then packetPPTXFile. Only slides whose parts were
// written completely are listed by the presentation, its relationships,
// its content types and its properties, so a page that failed leaves no
// trace in the package. A picture file enters ppt/media once, named and
// typed from its bytes (".jpeg" or ".png"; any other format is converted
// to PNG), and every slide that shows it refers to that one file.
// packetPPTXFile raises QXConversionException, leaving no output, when the
// package could not be completed or an earlier failure made the document
// unsound. The work folder goes with the writer.
#pragma once

#include "converter/QXWorkFolder.h"
#include "converter/ooxml/QXPackagePart.h"
#include "platform/geometry/Geometry.h"
#include "platform/image/Image.h"
#include "pptx/slide/QXPPTXPage.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rz {

class QXPPTXWriter {
public:
    struct Relationship {
        std::string type;
        std::string target;
    };

    // The name of the last-modified-by property.
    static constexpr const char* kApplicationName = "Verdexa Slides";
    // The range of a slide side, points (914400 and 51206400 EMU).
    static constexpr double kMinSlideSide = 72.0;
    static constexpr double kMaxSlideSide = 4032.0;

    QXPPTXWriter();
    ~QXPPTXWriter();
    QXPPTXWriter(const QXPPTXWriter&) = delete;
    QXPPTXWriter& operator=(const QXPPTXWriter&) = delete;

    // A new work folder named after the destination; raises
    // QXConversionException when none can be made.
    void initWithPath(const std::string& path, std::int64_t numOfPages);
    // An empty media list, the presentation's fixed relationships, no
    // slides.
    void begainWriteDocument();
    // A new current slide, numbered one past the last slide begun; the
    // first page's size becomes the slide size. A slide begun and never
    // ended is dropped with the media files only it brought.
    void begainWritePage(Size size);
    // Writes the current slide; raises QXConversionException when it could
    // not be written (the slide is then not listed).
    void endWritePage();
    void endWriteDocument() {}
    // The relationship id under which the current slide shows the picture
    // file; nothing when there is no slide, or the file cannot be read or
    // copied into the package. The file is remembered, so showing it again
    // (on this slide or another) reuses its copy.
    std::optional<std::string> collectImageWithPath(const std::string& path);
    // The same for a picture drawn for this one place (a clipped image, a
    // shading or a pattern): it is written into the package as a PNG of
    // `dpi` dots per inch under a new name and not remembered, so a long
    // document's writer does not grow with the pictures it has drawn.
    std::optional<std::string> collectRenderedImage(const Image& image, double dpi);
    // Writes the remaining parts, packs the package and moves it into
    // place; see above.
    void packetPPTXFile();
    // Remembers the first failure that makes the document unsound.
    void markFailed(const std::string& why);

    const std::optional<std::string>& failure() const { return failure_; }
    QXPPTXPage* currentPage() const { return currentPage_.get(); }
    const std::string& savedFilePath() const { return savedFilePath_; }
    const std::string& savedWorkFolder() const { return workFolder_.path(); }
    std::int64_t currentPageIndex() const { return currentPageIndex_; }
    std::int64_t totalPPTXPages() const { return totalPPTXPages_; }
    const Size& slideSize() const { return slideSize_; }
    // The slide numbers written completely, in order.
    const std::vector<std::int64_t>& finishedSlides() const { return finishedSlides_; }
    // The media files in the package.
    std::size_t mediaCount() const { return mediaCount_; }
    // The presentation's relationships: the five fixed ones, then one per
    // finished slide (rId6 ...).
    std::vector<Relationship> pptRelationships() const;
    // The slide size as written: each side in EMU, truncated and kept in
    // the schema's range.
    static std::int64_t slideSideEMU(double points);

private:
    void dropUnfinishedPage();
    // The relationship id of the media file `name` on the current slide.
    std::string slideRelationship(const std::string& name);
    // The next media file name with the extension; the new file's path.
    std::string nextMediaPath(const std::string& extension, std::string* name);
    // Counts the media file `name` written for the current slide.
    void mediaAdded(const std::string& name);
    // Copies the picture into ppt/media under the next media name; the name,
    // or nothing when it could not be read or copied.
    std::optional<std::string> addMediaFile(const std::string& path);
    // The file as it enters the package (the file itself, or a PNG made
    // from it) and its extension; nothing when it cannot be read.
    std::optional<std::pair<std::string, std::string>> packageableImage(const std::string& path);
    void writeRels(const std::string& folder);
    void writeContentTypes(const std::string& folder);
    void writeDocPropsApp(const std::string& folder);
    void writeDocPropsCore(const std::string& folder);
    void writePresentationRels(const std::string& folder);
    void writePresentation(const std::string& folder);
    // Writes the fixed parts that are made, not compiled in; the parts
    // every package holds alike are returned to be packed from memory.
    std::vector<QXPackagePart::HeldPart> writeFixedParts(const std::string& folder);
    void packPackage(const std::string& zipPath, const std::vector<QXPackagePart::HeldPart>& held);

    std::string savedFilePath_;
    QXWorkFolder workFolder_;
    std::size_t mediaCount_ = 0;
    // Media file name by source path, of the files that may be shown again.
    std::map<std::string, std::string> mediaBySource_;
    // Media files the current slide brought into the package.
    std::vector<std::string> currentPageMedia_;
    std::vector<std::string> slideIdsList_;
    std::vector<std::int64_t> finishedSlides_;
    std::int64_t currentPageIndex_ = 0;
    std::int64_t totalPPTXPages_ = 0;
    Size slideSize_;
    std::unique_ptr<QXPPTXPage> currentPage_;
    std::optional<std::string> failure_;
};

} // namespace rz
