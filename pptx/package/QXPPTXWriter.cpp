#include "pptx/package/QXPPTXWriter.h"

#include "converter/QXError.h"
#include "converter/ooxml/QXDrawingTheme.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/base/QXPDFUtilities.h"
#include "platform/core/Numbers.h"
#include "platform/image/ImageCodec.h"
#include "pptx/package/QXPPTXTemplates.h"
#include "pptx/slide/QXPPTXPart.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace rz {

namespace part = QXPPTXPart;

namespace {

using QXPackagePart::currentW3CDate;
using QXPackagePart::writeEmpty;
using QXPackagePart::writeEmptyNS;
using QXPackagePart::writeTextElement;
using QXPackagePart::writeTextElementNS;

const std::string kContentTypes = "http://schemas.openxmlformats.org/package/2006/content-types";
const std::string kExtendedProperties = "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
const std::string kPackageRelationships = "http://schemas.openxmlformats.org/package/2006/relationships/metadata/";

void writeRelationships(const std::string& path, const std::vector<QXPPTXWriter::Relationship>& relationships)
{
    part::writeXMLPart(path, [&](XMLFileWriter& writer) {
        writer.writeStartElement("Relationships");
        writer.writeAttribute("xmlns", QXOpenXMLNameSpace::nameSpace_Rels());
        for (size_t i = 0; i < relationships.size(); ++i)
            writeEmpty(writer, "Relationship",
                       {{"Id", "rId" + formatUnsigned(i + 1)},
                        {"Type", relationships[i].type},
                        {"Target", relationships[i].target}});
        writer.writeEndElement();
    });
}

} // namespace

QXPPTXWriter::QXPPTXWriter() = default;
QXPPTXWriter::~QXPPTXWriter() = default;

void QXPPTXWriter::markFailed(const std::string& why)
{
    if (!failure_)
        failure_ = why;
}

void QXPPTXWriter::initWithPath(const std::string& path, std::int64_t numOfPages)
{
    savedFilePath_ = path;
    failure_.reset();
    workFolder_.create(path);
    const std::string& folder = workFolder_.path();
    if (folder.empty() || !fs::is_directory(folder))
        QXWorkFolder::failWriting(path, "no work folder could be made");
    currentPageIndex_ = 0;
    totalPPTXPages_ = numOfPages;
}

void QXPPTXWriter::begainWriteDocument()
{
    mediaCount_ = 0;
    mediaBySource_.clear();
    currentPageMedia_.clear();
    finishedSlides_.clear();
    slideIdsList_.clear();
    currentPage_.reset();
    currentPageIndex_ = 0;
}

std::vector<QXPPTXWriter::Relationship> QXPPTXWriter::pptRelationships() const
{
    std::vector<Relationship> relationships = {
        {part::relationshipType("slideMaster"), "slideMasters/slideMaster1.xml"},
        {part::relationshipType("presProps"), "presProps.xml"},
        {part::relationshipType("viewProps"), "viewProps.xml"},
        {part::relationshipType("theme"), "theme/theme1.xml"},
        {part::relationshipType("tableStyles"), "tableStyles.xml"},
    };
    for (const std::int64_t slide : finishedSlides_)
        relationships.push_back({part::relationshipType("slide"), "slides/slide" + formatInteger(slide) + ".xml"});
    return relationships;
}

std::int64_t QXPPTXWriter::slideSideEMU(double points)
{
    if (!std::isfinite(points))
        points = kMinSlideSide;
    const double clamped = std::clamp(points, kMinSlideSide, kMaxSlideSide);
    return static_cast<std::int64_t>(clamped * 12700);
}

void QXPPTXWriter::dropUnfinishedPage()
{
    if (!currentPage_)
        return;
    // Its media files are no part of any finished slide.
    std::error_code ignored;
    for (const std::string& name : currentPageMedia_) {
        fs::remove(workFolder_.path() + "/ppt/media/" + name, ignored);
        std::erase_if(mediaBySource_, [&](const auto& entry) { return entry.second == name; });
    }
    // They were the last ones named, so their names are free again.
    mediaCount_ -= std::min(mediaCount_, currentPageMedia_.size());
    currentPageMedia_.clear();
    currentPage_.reset();
}

void QXPPTXWriter::begainWritePage(Size size)
{
    dropUnfinishedPage();
    if (slideSize_.width == 0 && slideSize_.height == 0)
        slideSize_ = size;
    ++currentPageIndex_;
    currentPage_ = std::make_unique<QXPPTXPage>(static_cast<std::uint64_t>(currentPageIndex_), workFolder_.path());
    currentPage_->begainWritePage();
}

void QXPPTXWriter::endWritePage()
{
    if (!currentPage_)
        return;
    try {
        currentPage_->endWritePage();
    } catch (const XMLWriterException& error) {
        dropUnfinishedPage();
        throw QXConversionException(error.reason());
    }
    finishedSlides_.push_back(currentPageIndex_);
    currentPageMedia_.clear();
    currentPage_.reset();
}

std::optional<std::pair<std::string, std::string>> QXPPTXWriter::packageableImage(const std::string& path)
{
    std::string head(16, '\0');
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return std::nullopt;
        in.read(head.data(), std::streamsize(head.size()));
        head.resize(std::size_t(in.gcount()));
    }
    const std::optional<ImageType> type = detectImageType(head);
    if (type == ImageType::PNG)
        return std::pair{path, std::string("png")};
    if (type == ImageType::JPEG)
        return std::pair{path, std::string("jpeg")};
    std::optional<Image> image = readImageFile(path);
    if (!image || image->isEmpty())
        return std::nullopt;
    if (image->format() == PixelFormat::CMYK8)
        image = image->converted(PixelFormat::RGB8);
    const std::string converted = QXPDFPathUtilities::getUUIDPathBy(QXPDFPathUtilities::tempIMG("Converted", "png"));
    if (!QXWriteImageToURL(image, converted, "public.png", 0, 0, 1.0f))
        return std::nullopt;
    return std::pair{converted, std::string("png")};
}

std::string QXPPTXWriter::nextMediaPath(const std::string& extension, std::string* name)
{
    *name = "image" + formatUnsigned(mediaCount_ + 1) + "." + extension;
    const std::string folder = workFolder_.path() + "/ppt/media";
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder + "/" + *name;
}

void QXPPTXWriter::mediaAdded(const std::string& name)
{
    ++mediaCount_;
    currentPageMedia_.push_back(name);
}

std::string QXPPTXWriter::slideRelationship(const std::string& name)
{
    if (auto id = currentPage_->findExistRelsWithImagePath(name))
        return *id;
    return currentPage_->addNewRelsWithImagePath(name);
}

std::optional<std::string> QXPPTXWriter::collectRenderedImage(const Image& image, double dpi)
{
    if (!currentPage_ || image.isEmpty())
        return std::nullopt;
    std::string name;
    const std::string path = nextMediaPath("png", &name);
    if (!QXWriteImageToURL(image, path, "public.png", dpi, dpi, 1.0f))
        return std::nullopt;
    mediaAdded(name);
    return slideRelationship(name);
}

std::optional<std::string> QXPPTXWriter::addMediaFile(const std::string& path)
{
    const auto packageable = packageableImage(path);
    if (!packageable)
        return std::nullopt;
    std::string name;
    const std::string target = nextMediaPath(packageable->second, &name);
    const std::string partial = target + ".partial";
    std::error_code ec;
    fs::copy_file(packageable->first, partial, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(partial, target, ec);
    if (packageable->first != path) {
        std::error_code ignored;
        fs::remove(packageable->first, ignored);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        return std::nullopt;
    }
    mediaAdded(name);
    return name;
}

std::optional<std::string> QXPPTXWriter::collectImageWithPath(const std::string& path)
{
    if (!currentPage_ || path.empty())
        return std::nullopt;
    std::string name;
    if (const auto known = mediaBySource_.find(path); known != mediaBySource_.end()) {
        name = known->second;
    } else {
        std::optional<std::string> added = addMediaFile(path);
        if (!added)
            return std::nullopt;
        name = std::move(*added);
        mediaBySource_.emplace(path, name);
    }
    return slideRelationship(name);
}

void QXPPTXWriter::writeRels(const std::string& folder)
{
    writeRelationships(folder + "/_rels/.rels",
                       {{part::relationshipType("officeDocument"), "ppt/presentation.xml"},
                        {kPackageRelationships + "thumbnail", "docProps/thumbnail.jpeg"},
                        {kPackageRelationships + "core-properties", "docProps/core.xml"},
                        {part::relationshipType("extended-properties"), "docProps/app.xml"}});
}

void QXPPTXWriter::writeContentTypes(const std::string& folder)
{
    part::writeXMLPart(folder + "/[Content_Types].xml", [this](XMLFileWriter& writer) {
        writer.writeStartElement("Types");
        writer.writeAttribute("xmlns", kContentTypes);
        writeEmpty(writer, "Default", {{"Extension", "xml"}, {"ContentType", "application/xml"}});
        writeEmpty(writer, "Default", {{"Extension", "jpeg"}, {"ContentType", "image/jpeg"}});
        writeEmpty(writer, "Default", {{"Extension", "png"}, {"ContentType", "image/png"}});
        writeEmpty(writer, "Default",
                   {{"Extension", "rels"}, {"ContentType", "application/vnd.openxmlformats-package.relationships+xml"}});
        const std::string pml = "application/vnd.openxmlformats-officedocument.presentationml.";
        auto override = [&](const std::string& name, const std::string& type) {
            writeEmpty(writer, "Override", {{"PartName", name}, {"ContentType", type}});
        };
        override("/ppt/presentation.xml", pml + "presentation.main+xml");
        override("/ppt/slideMasters/slideMaster1.xml", pml + "slideMaster+xml");
        override("/ppt/presProps.xml", pml + "presProps+xml");
        override("/ppt/viewProps.xml", pml + "viewProps+xml");
        override("/ppt/theme/theme1.xml", "application/vnd.openxmlformats-officedocument.theme+xml");
        override("/ppt/tableStyles.xml", pml + "tableStyles+xml");
        for (int n = 1; n <= QXPPTXTemplates::kLayoutCount; ++n)
            override("/ppt/slideLayouts/slideLayout" + formatInteger(n) + ".xml", pml + "slideLayout+xml");
        override("/docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml");
        override("/docProps/app.xml", "application/vnd.openxmlformats-officedocument.extended-properties+xml");
        for (const std::int64_t slide : finishedSlides_)
            override("/ppt/slides/slide" + formatInteger(slide) + ".xml", pml + "slide+xml");
        writer.writeEndElement();
    });
}

void QXPPTXWriter::writeDocPropsApp(const std::string& folder)
{
    part::writeXMLPart(folder + "/docProps/app.xml", [this](XMLFileWriter& writer) {
        const std::string& vt = QXOpenXMLNameSpace::nameSpace_vt();
        writer.setPrefix("vt", vt);
        writer.writeStartElement("Properties");
        writer.writeAttribute("xmlns", kExtendedProperties);
        writeTextElement(writer, "TotalTime", "7");
        writeTextElement(writer, "Words", "0");
        writeTextElement(writer, "Application", "Microsoft Office PowerPoint");
        writeTextElement(writer, "PresentationFormat", "On-screen Show (4:3)");
        writeTextElement(writer, "Paragraphs", "0");
        writeTextElement(writer, "Slides", formatUnsigned(finishedSlides_.size()));
        writeTextElement(writer, "Notes", "0");
        writeTextElement(writer, "HiddenSlides", "0");
        writeTextElement(writer, "MMClips", "0");
        writeTextElement(writer, "ScaleCrop", "false");
        writer.writeStartElement("HeadingPairs");
        writer.writeStartElementWithNamespace(vt, "vector");
        writer.writeAttribute("size", "4");
        writer.writeAttribute("baseType", "variant");
        for (const auto& [kind, text] : {std::pair{"lpstr", "Theme"}, std::pair{"i4", "1"},
                                         std::pair{"lpstr", "Slide Titles"}, std::pair{"i4", "1"}}) {
            writer.writeStartElementWithNamespace(vt, "variant");
            writeTextElementNS(writer, vt, kind, text);
            writer.writeEndElement();
        }
        writer.writeEndElement();
        writer.writeEndElement();
        writer.writeStartElement("TitlesOfParts");
        writer.writeStartElementWithNamespace(vt, "vector");
        writer.writeAttribute("size", "2");
        writer.writeAttribute("baseType", "lpstr");
        writeTextElementNS(writer, vt, "lpstr", "Office Theme");
        writeTextElementNS(writer, vt, "lpstr", "Slide 1");
        writer.writeEndElement();
        writer.writeEndElement();
        writeTextElement(writer, "Company", "");
        writeTextElement(writer, "LinksUpToDate", "false");
        writeTextElement(writer, "SharedDoc", "false");
        writeTextElement(writer, "HyperlinksChanged", "false");
        writeTextElement(writer, "AppVersion", "12.0000");
        writer.writeEndElement();
    });
}

void QXPPTXWriter::writeDocPropsCore(const std::string& folder)
{
    const std::string& cp = QXOpenXMLNameSpace::nameSpace_cp();
    const std::string& dc = QXOpenXMLNameSpace::nameSpace_dc();
    QXPackagePart::writeCoreProperties(folder + "/docProps/core.xml", {{dc, "title", "Slide 1"},
                                                                       {dc, "creator", ""},
                                                                       {cp, "lastModifiedBy", kApplicationName},
                                                                       {cp, "revision", "3"}});
}

void QXPPTXWriter::writePresentationRels(const std::string& folder)
{
    const std::vector<Relationship> relationships = pptRelationships();
    slideIdsList_.clear();
    for (size_t i = 0; i < relationships.size(); ++i)
        if (relationships[i].type == part::relationshipType("slide"))
            slideIdsList_.push_back("rId" + formatUnsigned(i + 1));
    writeRelationships(folder + "/ppt/_rels/presentation.xml.rels", relationships);
}

void QXPPTXWriter::writePresentation(const std::string& folder)
{
    part::writeXMLPart(folder + "/ppt/presentation.xml", [this](XMLFileWriter& w) {
        const std::string& p = QXOpenXMLNameSpace::nameSpace_p();
        const std::string& a = QXOpenXMLNameSpace::nameSpace_a();
        const std::string& r = QXOpenXMLNameSpace::nameSpace_r();
        w.setPrefix("a", a);
        w.setPrefix("r", r);
        w.setPrefix("p", p);
        w.writeStartElementWithNamespace(p, "presentation");
        w.writeAttribute("saveSubsetFonts", "1");
        w.writeStartElementWithNamespace(p, "sldMasterIdLst");
        w.writeStartElementWithNamespace(p, "sldMasterId");
        w.writeAttribute("id", "2147483648");
        w.writeAttributeWithNamespace(r, "id", "rId1");
        w.writeEndElement();
        w.writeEndElement();
        if (!slideIdsList_.empty()) {
            w.writeStartElementWithNamespace(p, "sldIdLst");
            for (size_t k = 0; k < slideIdsList_.size(); ++k) {
                w.writeStartElementWithNamespace(p, "sldId");
                w.writeAttribute("id", formatUnsigned(256 + k));
                w.writeAttributeWithNamespace(r, "id", slideIdsList_[k]);
                w.writeEndElement();
            }
            w.writeEndElement();
        }
        writeEmptyNS(w, p, "sldSz",
                     {{"cx", formatInteger(slideSideEMU(slideSize_.width))},
                      {"cy", formatInteger(slideSideEMU(slideSize_.height))},
                      {"type", "screen4x3"}});
        writeEmptyNS(w, p, "notesSz", {{"cx", "6858000"}, {"cy", "9144000"}});
        w.writeStartElementWithNamespace(p, "defaultTextStyle");
        w.writeStartElementWithNamespace(a, "defPPr");
        writeEmptyNS(w, a, "defRPr", {{"lang", "en-US"}});
        w.writeEndElement();
        for (int n = 1; n <= 9; ++n) {
            w.writeStartElementWithNamespace(a, "lvl" + formatInteger(n) + "pPr");
            w.writeAttribute("marL", formatInteger(457200LL * (n - 1)));
            w.writeAttribute("algn", "l");
            w.writeAttribute("defTabSz", "914400");
            w.writeAttribute("rtl", "0");
            w.writeAttribute("eaLnBrk", "1");
            w.writeAttribute("latinLnBrk", "0");
            w.writeAttribute("hangingPunct", "1");
            w.writeStartElementWithNamespace(a, "defRPr");
            w.writeAttribute("sz", "1800");
            w.writeAttribute("kern", "1200");
            w.writeStartElementWithNamespace(a, "solidFill");
            writeEmptyNS(w, a, "schemeClr", {{"val", "tx1"}});
            w.writeEndElement();
            writeEmptyNS(w, a, "latin", {{"typeface", "+mn-lt"}});
            writeEmptyNS(w, a, "ea", {{"typeface", "+mn-ea"}});
            writeEmptyNS(w, a, "cs", {{"typeface", "+mn-cs"}});
            w.writeEndElement();
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    });
}

std::vector<QXPackagePart::HeldPart> QXPPTXWriter::writeFixedParts(const std::string& folder)
{
    std::vector<QXPackagePart::HeldPart> held = {
        {"docProps/thumbnail.jpeg", std::string(QXPPTXTemplates::thumbnailJPEG())},
        {"ppt/slideMasters/slideMaster1.xml", QXPPTXTemplates::slideMaster1()},
        {"ppt/theme/theme1.xml", QXDrawingTheme::theme1("Slides")},
    };
    for (int n = 1; n <= QXPPTXTemplates::kLayoutCount; ++n)
        held.push_back({"ppt/slideLayouts/slideLayout" + formatInteger(n) + ".xml", QXPPTXTemplates::slideLayout(n)});
    part::writeXMLPart(folder + "/ppt/presProps.xml", [](XMLFileWriter& w) {
        w.setPrefix("p", QXOpenXMLNameSpace::nameSpace_p());
        w.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_p(), "presentationPr");
        w.writeEndElement();
    });
    // The layouts' relationships are alike: the first is written, the
    // others are packed from its bytes.
    const std::string firstLayout = folder + "/ppt/slideLayouts/_rels/slideLayout1.xml.rels";
    writeRelationships(firstLayout, {{part::relationshipType("slideMaster"), "../slideMasters/slideMaster1.xml"}});
    std::ifstream in(firstLayout, std::ios::binary);
    const std::string layoutRelationships{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof())
        throw XMLWriterException("the slide layouts' relationships could not be read back");
    for (int n = 2; n <= QXPPTXTemplates::kLayoutCount; ++n)
        held.push_back({"ppt/slideLayouts/_rels/slideLayout" + formatInteger(n) + ".xml.rels", layoutRelationships});
    std::vector<Relationship> masterRelationships;
    for (int n = 1; n <= QXPPTXTemplates::kLayoutCount; ++n)
        masterRelationships.push_back(
            {part::relationshipType("slideLayout"), "../slideLayouts/slideLayout" + formatInteger(n) + ".xml"});
    masterRelationships.push_back({part::relationshipType("theme"), "../theme/theme1.xml"});
    writeRelationships(folder + "/ppt/slideMasters/_rels/slideMaster1.xml.rels", masterRelationships);
    part::writeXMLPart(folder + "/ppt/tableStyles.xml", [](XMLFileWriter& w) {
        const std::string& a = QXOpenXMLNameSpace::nameSpace_a();
        w.setPrefix("a", a);
        w.writeStartElementWithNamespace(a, "tblStyleLst");
        w.writeAttribute("def", "{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}");
        w.writeEndElement();
    });
    part::writeXMLPart(folder + "/ppt/viewProps.xml", [](XMLFileWriter& w) {
        const std::string& p = QXOpenXMLNameSpace::nameSpace_p();
        const std::string& a = QXOpenXMLNameSpace::nameSpace_a();
        w.setPrefix("a", a);
        w.setPrefix("p", p);
        w.writeStartElementWithNamespace(p, "viewPr");
        w.writeStartElementWithNamespace(p, "normalViewPr");
        w.writeAttribute("showOutlineIcons", "0");
        writeEmptyNS(w, p, "restoredLeft", {{"sz", "15620"}});
        writeEmptyNS(w, p, "restoredTop", {{"sz", "94660"}});
        w.writeEndElement();
        auto scale = [&] {
            w.writeStartElementWithNamespace(p, "scale");
            writeEmptyNS(w, a, "sx", {{"n", "100"}, {"d", "100"}});
            writeEmptyNS(w, a, "sy", {{"n", "100"}, {"d", "100"}});
            w.writeEndElement();
        };
        w.writeStartElementWithNamespace(p, "slideViewPr");
        w.writeStartElementWithNamespace(p, "cSldViewPr");
        w.writeStartElementWithNamespace(p, "cViewPr");
        w.writeAttribute("varScale", "1");
        scale();
        writeEmptyNS(w, p, "origin", {{"x", "-252"}, {"y", "-84"}});
        w.writeEndElement();
        w.writeStartElementWithNamespace(p, "guideLst");
        writeEmptyNS(w, p, "guide", {{"orient", "horz"}, {"pos", "2160"}});
        writeEmptyNS(w, p, "guide", {{"pos", "2880"}});
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElementWithNamespace(p, "notesTextViewPr");
        w.writeStartElementWithNamespace(p, "cViewPr");
        scale();
        writeEmptyNS(w, p, "origin", {{"x", "0"}, {"y", "0"}});
        w.writeEndElement();
        w.writeEndElement();
        writeEmptyNS(w, p, "gridSpacing", {{"cx", "78028800"}, {"cy", "78028800"}});
        w.writeEndElement();
    });
    return held;
}

void QXPPTXWriter::packPackage(const std::string& zipPath, const std::vector<QXPackagePart::HeldPart>& held)
{
    QXPackagePart::packFolder(workFolder_.path(), zipPath, {"_rels", "[Content_Types].xml", "docProps", "ppt"}, held);
}

void QXPPTXWriter::packetPPTXFile()
{
    workFolder_.assemble(savedFilePath_, [this](const std::string& folder) {
        if (failure_)
            QXWorkFolder::failWriting(savedFilePath_, *failure_);
        dropUnfinishedPage();
        writeRels(folder);
        writeContentTypes(folder);
        writeDocPropsApp(folder);
        writeDocPropsCore(folder);
        writePresentationRels(folder);
        writePresentation(folder);
        const std::vector<QXPackagePart::HeldPart> held = writeFixedParts(folder);
        // The package is made inside the work folder, beside the entries it
        // holds, and moved into place only when complete.
        const std::string zipPath = folder + "/package.pptx";
        packPackage(zipPath, held);
        QXWorkFolder::moveFileIntoPlace(zipPath, savedFilePath_);
    });
}

} // namespace rz
