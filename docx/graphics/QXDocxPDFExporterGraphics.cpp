// The DOCX exporter's drawing events: painted paths become vector drawings,
// images, shadings and pattern fills become pictures, and free-text
// annotations become text boxes.
#include "docx/layout/QXDocxPDFExporter.h"

#include "converter/ooxml/QXDocxCounters.h"
#include "converter/ooxml/QXDocxUtilities.h"
#include "docx/graphics/QXDocxHeldImages.h"
#include "docx/graphics/QXDocxImageInfo.h"
#include "docx/graphics/QXDocxRunImage.h"
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/graphics/QXLineUtilites.h"
#include "docx/layout/QXDocxManager.h"
#include "docx/layout/QXDocxPathInfo.h"
#include "docx/layout/QXDocxRunTextBox.h"
#include "docx/layout/QXDocxTextBoxInfo.h"
#include "pdfengine/annots/QXPDFAnnot.h"
#include "pdfengine/base/QXPDFPathUtilities.h"
#include "pdfengine/fonts/QXPDFFont.h"
#include "pdfengine/fonts/QXPDFFontDescriptor.h"
#include "pdfengine/fonts/QXPDFFontUtilities.h"
#include "pdfengine/parser/QXPDFConentParser.h"
#include "pdfengine/state/QXPDFRenderState.h"
#include "pdfengine/state/QXPDFXObject.h"
#include "platform/image/ImageCodec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>

namespace rz {

namespace {

// A clip box narrower or lower than this hides an image (points).
constexpr double kMinClipSide = 1.0;
// Paint more transparent than this is not drawn.
constexpr float kMinPaintAlpha = 0.01f;
// The thinnest stroke kept (points).
constexpr double kMinStrokeWidth = 0.1;
// A box side below this has no extent.
constexpr double kNoExtent = 0.001;
// A filled shape of at most this many points may be cut to its clip.
constexpr std::size_t kMaxClippedShapePoints = 6;
// A filled quadrilateral thinner than this is drawn as a line.
constexpr double kMaxLineLikeWidth = 5;
// A white fill (each component above this) over an empty drawing layer
// erases what lies under it.
constexpr int kEraserMinComponent = 250;
// The font of an annotation text box without one.
constexpr const char* kAnnotationFont = "Arial Unicode MS";

std::optional<Color> colorOf(const RGBAColor& c)
{
    return Color::rgb(c.red, c.green, c.blue, c.alpha);
}

bool isUsable(const Rect& rect)
{
    return !rect.isNull() && !rect.isInfinite() && std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) &&
           std::isfinite(rect.size.width) && std::isfinite(rect.size.height);
}

} // namespace

double QXDocxPDFExporter::imageDPI()
{
    return std::clamp<double>(QXDocxManager::sharedInstance().moreOptions().imageDPI(), 72.0, 600.0);
}

void QXDocxPDFExporter::closeOpenText()
{
    endTextBoxWritingIfNeed();
    endTextPathWritingIfNeed();
    nextCharFontSize_ = mainTextFontSize_;
    nextCharTransform_ = mainTextTransform_;
    nextCharCTMInfo_ = mainTextCTMInfo_;
}

void QXDocxPDFExporter::forgetMediaIfUnshown(const std::string& path)
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!current || !pdfWriter_)
        return;
    for (const auto& image : current->allRunImageArray())
        if (image && image->imagePath() == path)
            return;
    pdfWriter_->removeCollectedImageWithPath(path);
}

void QXDocxPDFExporter::removeObjectsHidenBehindInRect(const Rect& rect)
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!current)
        return;
    std::erase_if(current->allRunTextArray(),
                  [&](const QXDocxRunTextPtr& run) { return rect.contains(run->ctmInfo().frame); });
    std::erase_if(current->allRunPathArray(), [&](const std::shared_ptr<QXDocxRunPath>& path) {
        return rect.contains(path->displayRect());
    });
}

bool QXDocxPDFExporter::isUnderTextAnnotForPDFAnnotionIndex(std::int64_t index) const
{
    if (contentParser_ == nullptr)
        return false;
    const std::shared_ptr<QXPDFAnnot> annot = contentParser_->annotForPDFAnnotionIndex(static_cast<long>(index));
    return annot && (annot->type() == "Highlight" || annot->type() == "Widget");
}

void QXDocxPDFExporter::QXPDFConentParser_didScanPath_stroke_fill(QXPDFConentParser&, const Path& path, bool stroke,
                                                                 bool fill)
{
    if (isShouldCancel() || !renderingStateStack_ || renderingStateStack_->depth() == 0)
        return;
    scanPath(renderingStateStack_->topRenderingState(), path, stroke, fill);
}

void QXDocxPDFExporter::scanPath(QXPDFRenderState& state, const Path& path, bool stroke, bool fill)
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!current || current->allRunPathArray().size() > kMaxPagePaths || path.isEmpty() || (!stroke && !fill))
        return;
    const Rect pageBox = path.boundingBox();
    if (!isUsable(pageBox))
        return;
    const auto transparent = [](double alpha) { return static_cast<float>(alpha) < kMinPaintAlpha; };
    if (stroke && fill) {
        if (transparent(state.currentStrokeAlpha()) && transparent(state.currentFillAlpha()))
            return;
    } else if (stroke ? transparent(state.currentStrokeAlpha()) : transparent(state.currentFillAlpha())) {
        return;
    }

    const Affine& pageTransform = currentPageTransform_;
    double width = QXLineUtilites::LineWidthApplyTransform(state.lineWidth(), concat(state.ctm(), pageTransform));
    Path display = path.transformed(pageTransform);
    std::vector<Point> points = QXLineUtilites::NSArrayFromCGPath(display);
    if (points.size() <= 1)
        return;
    width = std::max(width, kMinStrokeWidth);
    const bool detailed = current->allRunPathArray().size() <= kMaxDetailedPagePaths;

    if (!state.clipBezierPaths().empty() && detailed) {
        Rect clip;
        const std::optional<Path> kept = ClipPathInContextSize(currentPageCropBox_.size, path, width, pageTransform,
                                                               state.clipBezierPaths(), &clip);
        if (!kept || kept->isEmpty())
            return;
        if (fill && points.size() <= kMaxClippedShapePoints) {
            if (QXRectIsEqualWithTolerance(pageBox, clip, 1.0)) {
                // A shape drawn to its clip's outline: the clip's own path
                // may be the finer one (a rounded box filled as its frame).
                const auto& first = state.clipBezierPaths().front();
                if (first) {
                    if (const std::optional<Path> outline = QXPDFCGPathUtilities::CGPathWithNSArray(first->pathArray())) {
                        const Path mapped = outline->transformed(pageTransform);
                        const std::vector<Point> finer = QXLineUtilites::NSArrayFromCGPath(mapped);
                        if (finer.size() > points.size()) {
                            display = mapped;
                            points = finer;
                        }
                    }
                }
            } else if (QXLineUtilites::IsHorizontalRectange(points) && !clip.contains(pageBox)) {
                const Rect visible = pageBox.intersection(clip);
                if (!visible.isNull() && visible.width() > 0.1 && visible.height() > 0.1) {
                    Path cut;
                    cut.addRect(visible);
                    display = cut.transformed(pageTransform);
                    points = QXLineUtilites::NSArrayFromCGPath(display);
                }
            }
        }
    }

    Rect box = display.boundingBox();
    if (!isUsable(box))
        return;
    if (stroke) {
        if (box.width() < kNoExtent) {
            box.size.width = width;
            box.origin.x -= width / 2;
        } else if (box.height() < kNoExtent) {
            box.size.height = width;
            box.origin.y -= width / 2;
        }
    }
    if (box.width() < kNoExtent || box.height() < kNoExtent)
        return;

    // A white box painted before anything else is drawn hides what lies
    // under it: the text and drawings there go, and the box is not drawn.
    const QXPDFRGB fillRGB = state.currentFillRGBColor();
    if (fill && !stroke && fillRGB.r > kEraserMinComponent && fillRGB.g > kEraserMinComponent &&
        fillRGB.b > kEraserMinComponent && isContentCurrentEmpty()) {
        removeObjectsHidenBehindInRect(box);
        return;
    }

    // A thin filled quadrilateral is a rule: its centre line stroked as
    // thick as the shape.
    std::optional<std::vector<Point>> line;
    double lineWeight = 0;
    if (detailed && !stroke) {
        if (const auto straight = QXLineUtilites::NSArrayFromCGPath_NoCurve(display);
            straight && straight->size() > 1 && QXLineUtilites::IsQuadrilateralLikeLine(*straight, kMaxLineLikeWidth)) {
            line = QXLineUtilites::ConvertRectangeToLine(*straight, &lineWeight);
            if (line && line->empty())
                line.reset();
        }
    }

    closeOpenText();

    auto info = std::make_shared<QXDocxPathInfo>();
    info->setDisplayX(box.origin.x);
    info->setDisplayY(box.origin.y);
    info->setDisplayWidth(box.size.width);
    info->setDisplayHeight(box.size.height);
    info->setStrokeDashPattern(state.lineDashPattern());
    info->setStrokeDashPhase(static_cast<std::int64_t>(state.lineDashPhase()));

    auto run = std::make_shared<QXDocxRunPath>();
    run->setIsExtGStateSMask(state.isParseringExtGState());
    run->setIsAnnotion(state.isParseringAnnotion());
    run->setPdfAnnotionIndex(state.pdfAnnotionIndex());
    run->setPdfScanIndex(static_cast<std::uint64_t>(QXDocxScanCounter++));
    run->setPictZIndex(QXDocxBehindZIndexCounter++);
    if (state.isParseringAnnotion() && isUnderTextAnnotForPDFAnnotionIndex(state.pdfAnnotionIndex()))
        run->setPdfScanIndex(0);
    run->setRProperty(QXDocxUtilities::defaultRProperty());
    run->setClipBezierPaths(state.clipBezierPaths());
    if (line) {
        info->setStrokecolor(colorOf(state.currentFillColor()));
        info->setFillcolor(colorOf(state.currentStrokeColor()));
        info->setStrokeweight(lineWeight);
        info->setStroked(true);
        info->setFilled(false);
        info->setFillAlpha(static_cast<float>(state.currentStrokeAlpha()));
        info->setStrokeAlpha(static_cast<float>(state.currentFillAlpha()));
        run->setPictInfo(info);
        run->setRunCGPath(QXLineUtilites::CGPathFromLinePointArray(*line));
    } else {
        info->setStrokecolor(colorOf(state.currentStrokeColor()));
        info->setFillcolor(colorOf(state.currentFillColor()));
        info->setStrokeweight(width);
        info->setStroked(stroke);
        info->setFilled(fill);
        info->setFillAlpha(static_cast<float>(state.currentFillAlpha()));
        info->setStrokeAlpha(static_cast<float>(state.currentStrokeAlpha()));
        run->setPictInfo(info);
        run->setRunCGPath(display);
    }
    if (detailed)
        run->setRunLinePointArray(line ? *line : points);

    // A path drawn through a soft mask is baked with the mask's picture
    // (the last picture, drawn by the mask group) into a new picture that
    // takes the mask's place.
    if (!state.isParseringExtGState() && state.haveSoftMask()) {
        state.setHaveSoftMask(false);
        if (state.softMaskBlendMode() != 0 && !current->allRunImageArray().empty() && pdfWriter_) {
            const std::shared_ptr<QXDocxRunImage> mask = current->allRunImageArray().back();
            if (const std::optional<std::string> baked =
                    RunPathSmaskWithRunImage(*run, *mask, pageTransform, true)) {
                const std::string old = mask->imagePath();
                const std::string id = pdfWriter_->collectImageWithPath(*baked);
                mask->setRunImageID(id);
                mask->pictInfo()->setImageID(id);
                mask->setImagePath(*baked);
                mask->setIsExtGStateSMask(false);
                forgetMediaIfUnshown(old);
                return;
            }
        }
    }
    current->allRunPathArray().push_back(std::move(run));
}

void QXDocxPDFExporter::addRenderedImage(const QXPDFRenderState& state, const std::optional<Image>& image,
                                         const Rect& clip, const Affine& pdfTransform)
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!current || !pdfWriter_ || !image || !(clip.width() > 0) || !(clip.height() > 0))
        return;
    const std::optional<std::string> file = QXDocxHeldImages::hold(pdfWriter_.get(), *image);
    if (!file)
        return;
    auto info = std::make_shared<QXDocxImageInfo>();
    info->setPdfTransform(pdfTransform);
    info->placeUpright(clip, image->width(), image->height());
    info->setOpacity(1);
    info->setImageTitle(std::filesystem::path(*file).filename().string());

    auto run = std::make_shared<QXDocxRunImage>();
    run->setIsExtGStateSMask(state.isParseringExtGState());
    run->setIsAnnotion(state.isParseringAnnotion());
    run->setPdfAnnotionIndex(state.pdfAnnotionIndex());
    run->setPdfScanIndex(static_cast<std::uint64_t>(QXDocxScanCounter++));
    run->setPictZIndex(QXDocxBehindZIndexCounter++);
    run->setRProperty(QXDocxUtilities::defaultRProperty());
    const std::string id = pdfWriter_->collectImageWithPath(*file);
    info->setImageID(id);
    run->setRunImageID(id);
    run->setRunImageTitle(info->imageTitle());
    run->setImagePath(*file);
    run->setPictInfo(info);
    current->allRunImageArray().push_back(std::move(run));
}

void QXDocxPDFExporter::QXPDFConentParser_didScanPaintShading(QXPDFConentParser&,
                                                              const std::shared_ptr<QXPDFShading>& shading)
{
    if (!shading || isShouldCancel() || !page() || !renderingStateStack_ || renderingStateStack_->depth() == 0)
        return;
    const QXPDFRenderState& state = renderingStateStack_->topRenderingState();
    const double scale = imageDPI() / 72;
    Rect clip;
    const std::optional<Image> image = DrawShadingInContextSize(
        currentPageCropBox_.size, concat(state.ctm(), currentPageTransform_), Affine::makeScale(scale, scale),
        currentPageTransform_, state.clipBezierPaths(), &clip, shading);
    addRenderedImage(state, image, clip, concat(state.ctm(), currentPageTransform_));
}

void QXDocxPDFExporter::QXPDFConentParser_didScanPatternPath_stroke_fill(QXPDFConentParser&, const Path& path,
                                                                        bool stroke, bool fill)
{
    if (isShouldCancel() || !page() || !renderingStateStack_ || renderingStateStack_->depth() == 0)
        return;
    const QXPDFRenderState& state = renderingStateStack_->topRenderingState();
    const double scale = imageDPI() / 72;
    Rect clip;
    const std::optional<Image> image = DrawPatternInContextSize(
        currentPageCropBox_.size, concat(state.ctm(), currentPageTransform_), Affine::makeScale(scale, scale),
        currentPageTransform_, state.clipBezierPaths(), &clip, path, state.fillPattern(), state.strokePattern(),
        stroke, fill, false);
    addRenderedImage(state, image, clip, Affine{});
}

void QXDocxPDFExporter::QXPDFConentParser_didScanTextBox_text_fontName_fontColor_fontSize_alignment_borderStroke_borderFill(
    QXPDFConentParser&, const Rect& rect, const std::string& text, const std::string& fontName,
    const QXPDFColor& fontColor, double fontSize, long alignment, bool borderStroke, bool borderFill)
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!current || isShouldCancel() || !renderingStateStack_ || renderingStateStack_->depth() == 0)
        return;
    const QXPDFRenderState& state = renderingStateStack_->topRenderingState();
    if (state.textRenderMode() == 3)
        return;
    const Rect box = rect.applying(concat(state.ctm(), currentPageTransform_));
    if (!isUsable(box))
        return;
    auto info = std::make_shared<QXDocxTextBoxInfo>();
    info->setDisplayX(box.origin.x);
    info->setDisplayY(box.origin.y);
    info->setDisplayWidth(box.size.width);
    info->setDisplayHeight(box.size.height);
    info->setStroked(borderStroke);
    info->setFilled(borderFill);
    info->setStrokeweight(state.lineWidth());
    info->setStrokeDashPattern(state.lineDashPattern());
    info->setStrokeDashPhase(static_cast<std::int64_t>(state.lineDashPhase()));
    info->setStrokecolor(colorOf(state.currentStrokeColor()));
    info->setFillcolor(colorOf(state.currentFillColor()));
    info->setRotation(0);

    const std::string font = fontName.empty() ? std::string(kAnnotationFont) : fontName;
    QXDocx_RPr r = QXDocxUtilities::defaultRProperty();
    r.scrpit = 0;
    QXDocxSetText(r.rFonts.ascii, font);
    QXDocxSetText(r.rFonts.hAnsi, font);
    QXDocxSetText(r.rFonts.cs, font);
    QXDocxSetText(r.rFonts.eastAsia, font);
    r.b = QXPDFFontUtilities::isBoldFontName(font);
    r.i = QXPDFFontUtilities::isItalicFontName(font) ||
          (state.font() && state.font()->fontDescriptor() && state.font()->fontDescriptor()->isItalic());
    const QXPDFRGB rgb = QXPDFRenderState::RGBColorForPDFColor(fontColor);
    r.color = QXDocx_Color{rgb.r, rgb.g, rgb.b, 255};
    r.sz = static_cast<float>(fontSize);
    r.spacing = 0;
    r.w = 100;
    r.u = 0;
    r.noProof = 1;

    QXDocx_PPr p = QXDocxUtilities::defaultPProperty();
    p.spacing.before = 0;
    p.spacing.after = 0;
    p.spacing.line = static_cast<float>(fontSize);
    QXDocxSetText(p.spacing.lineRule, "exact");
    p.ind.firstLine = 0;
    p.ind.left = 0;
    p.jc = alignment == 2 ? 2 : alignment == 1 ? 1 : 0;

    auto run = std::make_shared<QXDocxRunText>();
    run->setIsAnnotion(state.isParseringAnnotion());
    run->setPdfAnnotionIndex(state.pdfAnnotionIndex());
    const auto scan = static_cast<std::uint64_t>(QXDocxScanCounter++);
    run->setPdfScanIndex(scan);
    run->setPdfScanIndex_BegainText(static_cast<std::uint64_t>(-1));
    run->setPdfScanIndex_ShowText(static_cast<std::uint64_t>(-1));
    run->setTextScanIndex(scan);
    run->setRProperty(r);
    run->setRunText(text.empty() ? " " : text);

    auto paragraph = std::make_shared<QXDocxParagraph>();
    paragraph->setPProperty(p);
    paragraph->addRunTextArray({run});

    auto textBox = std::make_shared<QXDocxRunTextBox>();
    textBox->setIsAnnotion(state.isParseringAnnotion());
    textBox->setPdfAnnotionIndex(state.pdfAnnotionIndex());
    textBox->setPdfScanIndex(static_cast<std::uint64_t>(QXDocxScanCounter++));
    textBox->setPictZIndex(QXDocxFrontZIndexCounter++);
    textBox->setParagraphArray({paragraph});
    textBox->setPictInfo(info);
    current->allRunTextBoxArray().push_back(std::move(textBox));
}

void QXDocxPDFExporter::QXPDFConentParser_didScanXObjectImage(QXPDFConentParser&,
                                                              const std::shared_ptr<QXPDFImageXObject>& image)
{
    const std::shared_ptr<QXDocxPage> current = page();
    if (!image || !current || !pdfWriter_ || isShouldCancel() || !renderingStateStack_ ||
        renderingStateStack_->depth() == 0)
        return;
    QXPDFRenderState& state = renderingStateStack_->topRenderingState();
    if (!state.clipBezierPaths().empty()) {
        const Rect clip = ClipRectInContextSize(currentPageCropBox_.size, currentPageTransform_, state.clipBezierPaths());
        if (!(clip.size.width >= kMinClipSide) || !(clip.size.height >= kMinClipSide))
            return;
    }
    std::error_code error;
    const std::string& extracted = image->cachedImagePath();
    if (extracted.empty() || !std::filesystem::is_regular_file(extracted, error)) {
        std::fprintf(stderr, "didScanXObjectImage: Image isn't exists:%s\n", extracted.c_str());
        return;
    }
    // Only PNG and JPEG go into the package; other formats are turned into
    // PNG, and a file that cannot be read is no picture. A PNG or JPEG file
    // is looked at again when drawn again (its first bytes only), so that
    // only the files turned into others, or refused, are remembered.
    std::optional<std::string> file;
    if (const auto packaged = packagedImagePaths_.find(extracted); packaged != packagedImagePaths_.end()) {
        file = packaged->second;
    } else {
        file = QXDocxRunImage::PackageableImagePath(extracted);
        if (file != extracted)
            packagedImagePaths_.emplace(extracted, file);
    }
    if (!file)
        return;

    auto info = std::make_shared<QXDocxImageInfo>();
    const Affine transform = concat(state.ctm(), currentPageTransform_);
    info->setImageTitle(std::filesystem::path(*file).filename().string());
    info->setOpacity(static_cast<float>(state.currentFillAlpha()));
    info->setPixelWidth(static_cast<std::int32_t>(image->pixelSize().width));
    info->setPixelHeight(static_cast<std::int32_t>(image->pixelSize().height));
    const std::array<Point, 4> vertices{apply(Point{0, 0}, transform), apply(Point{1, 0}, transform),
                                        apply(Point{1, 1}, transform), apply(Point{0, 1}, transform)};
    info->setVertices(vertices);
    const double width = std::hypot(vertices[1].x - vertices[0].x, vertices[1].y - vertices[0].y);
    const double height = std::hypot(vertices[2].x - vertices[1].x, vertices[2].y - vertices[1].y);
    const Point centre{(vertices[0].x + vertices[2].x) / 2, (vertices[0].y + vertices[2].y) / 2};
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
        return;
    info->setDisplayX(centre.x - width / 2);
    info->setDisplayY(centre.y - height / 2);
    info->setDisplayWidth(width);
    info->setDisplayHeight(height);
    info->setCenter(centre);
    // The turn of the first edge; an image whose corners come round the
    // other way is mirrored (an upright image through the page's flip turns
    // the corners clockwise).
    double angle = std::atan2(vertices[1].y - vertices[0].y, vertices[1].x - vertices[0].x) * 180 / std::numbers::pi;
    const float cross = static_cast<float>((vertices[1].x - vertices[0].x) * (vertices[2].y - vertices[1].y) -
                                           (vertices[1].y - vertices[0].y) * (vertices[2].x - vertices[1].x));
    if (cross > 0) {
        info->setFlipY(true);
        info->setFlipX(false);
        angle = 360 - angle;
    }
    angle = std::fmod(angle, 360.0);
    if (angle < 0)
        angle += 360;
    info->setRotation(static_cast<float>(angle));
    info->setHorizontalResolution(72);
    info->setVerticalResolution(72);

    endTextBoxWritingIfNeed();
    endTextPathWritingIfNeed();
    nextCharFontSize_ = mainTextFontSize_;
    nextCharTransform_ = mainTextTransform_;
    nextCharCTMInfo_ = mainTextCTMInfo_;

    // A clipped image is cut to its clip at the image resolution and stands
    // upright in the clip's box; an image its clip leaves whole keeps its
    // own file.
    std::string picture = *file;
    if (!state.clipBezierPaths().empty()) {
        const std::optional<Image> loaded = readImageFile(*file);
        if (!loaded) {
            std::fprintf(stderr, "didScanXObjectImage: image with path is null:%s!\n", file->c_str());
        } else {
            const double dpi =
                std::clamp<double>(QXDocxManager::sharedInstance().moreOptions().imageDPI(), 72.0, 600.0);
            const Affine scale = Affine::makeScale(dpi / 72, dpi / 72);
            Rect clip;
            std::optional<Image> cut =
                ClipImageInContextSize(currentPageCropBox_.size, *loaded, scale, currentPageTransform_, transform,
                                       Rect(info->displayX(), info->displayY(), info->displayWidth(), info->displayHeight()),
                                       state.clipBezierPaths(), &clip);
            // The cut picture covers the clip's box: what the image leaves
            // empty of it need not be stored.
            if (cut)
                QXDocxRunImage::TrimTransparentEdges(*cut, clip);
            const std::optional<std::string> saved =
                cut ? QXDocxHeldImages::hold(pdfWriter_.get(), *cut) : std::nullopt;
            if (saved && clip.size.width > 0 && clip.size.height > 0) {
                picture = *saved;
                info->setImageTitle(std::filesystem::path(picture).filename().string());
                info->placeUpright(clip, cut->width(), cut->height());
            }
        }
    }

    auto run = std::make_shared<QXDocxRunImage>();
    run->setIsAnnotion(state.isParseringAnnotion());
    run->setPdfAnnotionIndex(state.pdfAnnotionIndex());
    run->setPdfScanIndex(static_cast<std::uint64_t>(QXDocxScanCounter++));
    run->setPictZIndex(QXDocxBehindZIndexCounter++);
    const std::string id = pdfWriter_->collectImageWithPath(picture);
    info->setImageID(id);
    run->setRunImageID(id);
    run->setRunImageTitle(info->imageTitle());
    run->setImagePath(picture);
    run->setPictInfo(info);
    run->setIsExtGStateSMask(state.isParseringExtGState());

    // An image drawn through a soft mask takes the mask's grey as its
    // alpha; the mask's own picture leaves the page.
    if (!state.isParseringExtGState() && state.haveSoftMask()) {
        state.setHaveSoftMask(false);
        if (state.softMaskBlendMode() != 0 && !current->allRunImageArray().empty()) {
            const std::shared_ptr<QXDocxRunImage> mask = current->allRunImageArray().back();
            if (const std::optional<std::string> baked = RunImageSmaskWithRunImage(*run, *mask, currentPageTransform_)) {
                const std::string oldMask = mask->imagePath();
                const std::string oldImage = run->imagePath();
                current->allRunImageArray().pop_back();
                const std::string bakedID = pdfWriter_->collectImageWithPath(*baked);
                info->setImageID(bakedID);
                run->setRunImageID(bakedID);
                run->setImagePath(*baked);
                run->setIsExtGStateSMask(false);
                forgetMediaIfUnshown(oldMask);
                forgetMediaIfUnshown(oldImage);
            }
        }
    }
    current->allRunImageArray().push_back(std::move(run));
}

} // namespace rz
