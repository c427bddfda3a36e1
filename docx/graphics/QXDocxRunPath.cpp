#include "docx/graphics/QXDocxRunPath.h"

#include "converter/ooxml/QXDocxUtilities.h"
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/graphics/QXLineUtilites.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "docx/layout/QXDocxVMLShapes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

namespace rz {

namespace pathrun {

// Hairline boxes and the two-line rule compare against single-precision
// constants.
constexpr double kHairline = static_cast<double>(0.01f);
constexpr double kSameLineDistance = static_cast<double>(0.2f);
// A thin bar of a compound rule: one side below this (points).
constexpr double kBarMaxThickness = 4.0;
// A bar counts as part of the rule when it runs along it further than this.
constexpr double kBarMinOverlap = 12.0;
// How far apart across the ends of a bar and the rule may lie.
constexpr double kBarOverlapTolerance = static_cast<double>(15.1f);
// Parallel paths closer than this are the same line.
constexpr double kSamePlace = 1.0;
constexpr double kThinPath = 6.0;

// A display value in twentieths of a point, "%0.0f"; values that are not
// numbers are written as 0.
std::string twips(double value)
{
    return QXDocxVMLShapes::number(value * 20, 0);
}

// "<name><value, 2 decimals>pt;".
std::string points2(const char* name, double value)
{
    return name + QXDocxVMLShapes::number(value, 2) + "pt;";
}

// The box of a path widened for a stroked hairline.
Rect hairlineBox(const Path& path, const QXDocxPathInfo* info)
{
    if (path.isEmpty())
        return Rect::zero();
    Rect box = path.boundingBox();
    if (box.isNull())
        return Rect::zero();
    if (info && info->stroked()) {
        const double half = info->strokeweight() / 2;
        if (box.size.width < kHairline) {
            box.origin.x -= half;
            box.size.width += 2 * half;
        }
        if (box.size.height < kHairline) {
            box.origin.y -= half;
            box.size.height += 2 * half;
        }
    }
    return box;
}

// The overlap of two rectangles when it is wider and higher than 1.
double meaningfulOverlapArea(const Rect& a, const Rect& b)
{
    const Rect common = a.standardized().intersection(b.standardized());
    if (common.isNull() || !(common.size.width > 1 && common.size.height > 1))
        return 0;
    return common.size.width * common.size.height;
}

} // namespace pathrun

namespace PR = pathrun;

QXDocxRunPath::QXDocxRunPath(const QXDocxRunPath& other)
    : QXDocxRunPict(other),
      boundingBox_(other.boundingBox_),
      runCGPath_(other.runCGPath_),
      clipBezierPaths_(other.clipBezierPaths_),
      isHaveCurve_(other.isHaveCurve_),
      pathPointCount_(other.pathPointCount_),
      runLineType_(other.runLineType_),
      runLinePointArray_(other.runLinePointArray_),
      subCGPaths_(other.subCGPaths_),
      isTableLine_(other.isTableLine_),
      borderStyle_(other.borderStyle_)
{
    if (other.pictInfo_)
        pictInfo_ = std::make_shared<QXDocxPathInfo>(*other.pictInfo_);
}

std::shared_ptr<QXDocxWriterObject> QXDocxRunPath::copy() const
{
    return std::make_shared<QXDocxRunPath>(*this);
}

void QXDocxRunPath::setPictInfo(std::shared_ptr<QXDocxPathInfo> info)
{
    pictInfo_ = std::move(info);
    updateBoundingBox();
}

void QXDocxRunPath::setRunCGPath(const Path& path)
{
    runCGPath_ = path;
    updateBoundingBox();
    subCGPaths_.clear();
    isHaveCurve_ = false;
    pathPointCount_ = 0;

    std::optional<Path> current;
    for (const PathElement& element : runCGPath_.elements()) {
        switch (element.type) {
        case PathElementType::MoveToPoint:
            ++pathPointCount_;
            if (current)
                subCGPaths_.push_back(std::move(*current));
            current.emplace();
            current->moveTo(element.points[0]);
            break;
        case PathElementType::AddLineToPoint:
        case PathElementType::AddQuadCurveToPoint:
        case PathElementType::AddCurveToPoint:
            if (element.type != PathElementType::AddLineToPoint)
                isHaveCurve_ = true;
            ++pathPointCount_;
            if (!current)
                current.emplace();
            current->addElement(element);
            break;
        case PathElementType::CloseSubpath:
            if (current) {
                current->closeSubpath();
                subCGPaths_.push_back(std::move(*current));
                current.reset();
            }
            break;
        }
    }
    // The last piece of a path that ends open is a sub-path as well.
    if (current)
        subCGPaths_.push_back(std::move(*current));
}

void QXDocxRunPath::updateBoundingBox()
{
    boundingBox_ = PR::hairlineBox(runCGPath_, pictInfo_.get());
}

void QXDocxRunPath::setRunLinePointArray(std::optional<std::vector<Point>> points)
{
    runLinePointArray_ = std::move(points);
    runLineType_ = runLinePointArray_ ? LineTypeForPoints(*runLinePointArray_) : kLineTypeOther;
}

std::int32_t QXDocxRunPath::LineTypeForPoints(const std::vector<Point>& points)
{
    if (points.size() < 2)
        return kLineTypeOther;
    if (points.size() < 4) {
        if (QXLineUtilites::IsHorizontalLineP1(points[0], points[1]))
            return kLineTypeHorizontal;
        if (QXLineUtilites::IsVerticalLineP1(points[0], points[1]))
            return kLineTypeVertical;
        return kLineTypeOther;
    }
    if (points.size() <= 6 && QXLineUtilites::IsHorizontalRectange(points)) {
        double minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
        for (const Point& p : points) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        const double width = maxX - minX;
        const double height = maxY - minY;
        const double side = std::isnan(width) ? height : std::max(width, height);
        if (!(side >= 0.0001))
            return kLineTypeOther;
        return side < kSmallRectMaxSide ? kLineTypeSmallRect : kLineTypeRect;
    }
    return kLineTypeOther;
}

void QXDocxRunPath::setStrokeweightApplyingTransform(double width, const Affine& transform)
{
    if (!pictInfo_)
        pictInfo_ = std::make_shared<QXDocxPathInfo>();
    pictInfo_->setStrokeweight(QXLineUtilites::LineWidthApplyTransform(width, transform));
    updateBoundingBox();
}

Rect QXDocxRunPath::displayRect() const
{
    return pictInfo_ ? Rect{pictInfo_->displayX(), pictInfo_->displayY(), pictInfo_->displayWidth(),
                            pictInfo_->displayHeight()}
                     : Rect{};
}

bool QXDocxRunPath::isBorderEqualToPath(const QXDocxRunPath& other) const
{
    const QXDocxPathInfo mine = pictInfo_ ? *pictInfo_ : QXDocxPathInfo();
    const QXDocxPathInfo theirs = other.pictInfo_ ? *other.pictInfo_ : QXDocxPathInfo();
    if (mine.filled() != theirs.filled() || mine.stroked() != theirs.stroked())
        return false;
    if (!mine.stroked())
        return true;
    return mine.strokeweight() == theirs.strokeweight() &&
           QXColorIsNearlyEqual(mine.strokeColorQX(), theirs.strokeColorQX());
}

bool QXDocxRunPath::IsEqualColor(const QXDocx_Color& color) const
{
    if (!pictInfo_)
        return true;
    if (pictInfo_->filled() && !QXColorIsNearlyEqual(pictInfo_->fillColorQX(), color))
        return false;
    if (pictInfo_->stroked() && !QXColorIsNearlyEqual(pictInfo_->strokeColorQX(), color))
        return false;
    return true;
}

double QXDocxRunPath::areaIntersectionRect(const Rect& rect) const
{
    if (runCGPath_.isEmpty())
        return 0;
    if (subCGPaths_.empty())
        return PR::meaningfulOverlapArea(PR::hairlineBox(runCGPath_, pictInfo_.get()), rect);
    double area = 0;
    for (const Path& sub : subCGPaths_)
        area += PR::meaningfulOverlapArea(PR::hairlineBox(sub, pictInfo_.get()), rect);
    return area;
}

QXDocxRunPathPtr QXDocxRunPath::hideRunPaths(const std::vector<QXDocxRunPathPtr>& paths) const
{
    for (const QXDocxRunPathPtr& other : paths) {
        if (!other || other.get() == this || other->pdfScanIndex() >= pdfScanIndex())
            continue;
        if (PR::meaningfulOverlapArea(boundingBox_, other->boundingBox_) > 0)
            return other;
    }
    return nullptr;
}

std::int32_t QXDocxRunPath::borderStyleForLinePoint1(Point p1, Point p2, const QXDocx_Color& backgroundColor)
{
    const QXDocxPathInfo info = pictInfo_ ? *pictInfo_ : QXDocxPathInfo();
    std::int32_t style = QXDocxPathInfo::BorderStyleForPathInfo(info, backgroundColor);
    if (style < QXDocxPathInfo::kBorderSingle && subCGPaths_.size() > 1 && !IsEqualColor(backgroundColor)) {
        for (const Path& sub : subCGPaths_) {
            const Rect box = PR::hairlineBox(sub, &info);
            const bool thinAcross = box.size.height < PR::kBarMaxThickness;
            const bool thinAlong = box.size.width < PR::kBarMaxThickness;
            if (thinAcross == thinAlong)
                continue;
            // The bar's centre line along its long side.
            Point start, end;
            if (thinAcross) {
                start = {box.minX(), box.midY()};
                end = {box.maxX(), box.midY()};
            } else {
                start = {box.midX(), box.minY()};
                end = {box.midX(), box.maxY()};
            }
            const float overlap =
                static_cast<float>(QXParallelSegmentOverlap(start, end, p1, p2, PR::kBarOverlapTolerance));
            if (overlap > PR::kBarMinOverlap) {
                style = QXDocxPathInfo::kBorderSingle;
                break;
            }
        }
    }
    borderStyle_ = style;
    return style;
}

std::int32_t QXDocxRunPath::BorderStyleFor2TableLineDistance(double distance, double maxWeight, double* gapDistance)
{
    if (distance < PR::kSameLineDistance)
        return QXDocxPathInfo::kBorderSingle;
    if (distance > maxWeight - PR::kSameLineDistance) {
        if (gapDistance)
            *gapDistance = distance;
        return 17;
    }
    if (distance > maxWeight * 0.5 - PR::kSameLineDistance)
        return 18;
    return 19;
}

std::vector<QXDocxRunPathPtr> QXDocxRunPath::FindBorderRunPathArray(const std::vector<QXDocxRunPathPtr>& paths,
                                                                    Point p1, Point p2,
                                                                    const QXDocx_Color& backgroundColor)
{
    std::vector<QXDocxRunPathPtr> kept;
    for (const QXDocxRunPathPtr& path : paths) {
        if (!path || path->borderStyleForLinePoint1(p1, p2, backgroundColor) <= QXDocxPathInfo::kBorderNil)
            continue;
        const Rect rect = path->displayRect();
        const bool samePlace = std::any_of(kept.begin(), kept.end(), [&](const QXDocxRunPathPtr& other) {
            const Rect otherRect = other->displayRect();
            if (rect.size.height < PR::kThinPath)
                return std::fabs(otherRect.origin.y - rect.origin.y) < PR::kSamePlace;
            if (rect.size.width < PR::kThinPath)
                return std::fabs(otherRect.origin.x - rect.origin.x) < PR::kSamePlace;
            return false;
        });
        if (kept.empty() || !samePlace)
            kept.push_back(path);
    }
    return kept;
}

double QXDocxRunPath::MaxBorderWidthForRunPaths(const std::vector<QXDocxRunPathPtr>& paths)
{
    if (paths.empty())
        return 0;
    auto weightOf = [](const QXDocxRunPathPtr& path) {
        return path && path->pictInfo() ? path->pictInfo()->strokeweight() : 0.0;
    };
    double widest = weightOf(paths.front());
    for (const QXDocxRunPathPtr& path : paths) {
        const double weight = weightOf(path);
        if (weight > 0 && weight > widest)
            widest = weight;
    }
    return widest;
}

std::string QXDocxRunPath::VMLPathString(const Path& path)
{
    std::string text;
    std::optional<Point> pendingStart;
    Point current{};
    Point subpathStart{};
    auto flushStart = [&] {
        if (pendingStart) {
            text += "m" + PR::twips(pendingStart->x) + "," + PR::twips(pendingStart->y);
            pendingStart.reset();
        }
    };
    auto curve = [&](Point c1, Point c2, Point end) {
        flushStart();
        text += "c" + PR::twips(c1.x) + "," + PR::twips(c1.y) + "," + PR::twips(c2.x) + "," + PR::twips(c2.y) + "," +
                PR::twips(end.x) + "," + PR::twips(end.y);
    };
    for (const PathElement& element : path.elements()) {
        switch (element.type) {
        case PathElementType::MoveToPoint:
            pendingStart = element.points[0];
            current = subpathStart = element.points[0];
            break;
        case PathElementType::AddLineToPoint:
            flushStart();
            text += "l" + PR::twips(element.points[0].x) + "," + PR::twips(element.points[0].y);
            current = element.points[0];
            break;
        case PathElementType::AddQuadCurveToPoint: {
            // The cubic curve that draws the same quadratic one.
            const Point q = element.points[0];
            const Point end = element.points[1];
            const Point c1{current.x + 2.0 / 3.0 * (q.x - current.x), current.y + 2.0 / 3.0 * (q.y - current.y)};
            const Point c2{end.x + 2.0 / 3.0 * (q.x - end.x), end.y + 2.0 / 3.0 * (q.y - end.y)};
            curve(c1, c2, end);
            current = end;
            break;
        }
        case PathElementType::AddCurveToPoint:
            curve(element.points[0], element.points[1], element.points[2]);
            current = element.points[2];
            break;
        case PathElementType::CloseSubpath:
            text += "x";
            current = subpathStart;
            break;
        }
    }
    return text + "e";
}

std::string QXDocxRunPath::shapeStyle() const
{
    const QXDocxPathInfo info = pictInfo_ ? *pictInfo_ : QXDocxPathInfo();
    std::string style = "position:absolute;left:0;text-align:left;";
    style += PR::points2("margin-left:", info.displayX() - 1);
    style += PR::points2("margin-top:", info.displayY() - 1);
    style += PR::points2("width:", info.displayWidth() + 2);
    style += PR::points2("height:", info.displayHeight() + 2);
    style += "mso-position-horizontal-relative:page;mso-position-vertical-relative:page;";
    style += "z-index:" + std::to_string(pictZIndex());
    return style;
}

void QXDocxRunPath::writeWithXMLWriter(XMLFileWriter& writer)
{
    const std::string& w = QXOpenXMLNameSpace::nameSpace_w();
    writer.writeStartElementWithNamespace(w, "r");
    QXDocxUtilities::WriteRProperty(rProperty(), writer);
    writer.writeStartElementWithNamespace(w, "pict");
    _writePath2006(writer);
    writer.writeEndElement();
    writer.writeEndElement();
}

void QXDocxRunPath::_writePath2006(XMLFileWriter& writer)
{
    namespace names = QXDocxPackageNames;
    if (!pictInfo_)
        pictInfo_ = std::make_shared<QXDocxPathInfo>();
    QXDocxPathInfo& info = *pictInfo_;

    Path path = runCGPath_;
    // A filled bar thinner than a point is drawn as a line along its
    // middle, as wide as the bar.
    if (!info.stroked() && info.filled()) {
        const double x = info.displayX(), y = info.displayY();
        const double width = info.displayWidth(), height = info.displayHeight();
        const bool narrow = width < 1;
        if (narrow || height < 1) {
            path = Path();
            if (narrow) {
                path.moveTo({x + width / 2, y});
                path.lineTo({x + width / 2, y + height});
            } else {
                path.moveTo({x, y + height / 2});
                path.lineTo({x + width, y + height / 2});
            }
            info.setStroked(true);
            info.setFilled(false);
            info.setStrokeAlpha(info.fillAlpha());
            info.setStrokecolor(info.fillcolor());
            info.setStrokeweight(narrow ? width : height);
        }
    }

    // A stroked shape is at least as large as its stroke is wide.
    if (info.stroked()) {
        const float weight = static_cast<float>(info.strokeweight());
        info.setDisplayWidth(std::fmax(static_cast<float>(info.displayWidth()), weight));
        info.setDisplayHeight(std::fmax(static_cast<float>(info.displayHeight()), weight));
    }

    // The coordinate space is the shape's own box (a point larger on each
    // side than the path), so the path's page coordinates land unscaled.
    const std::string name = "Shape" + std::to_string(pdfScanIndex());
    const std::string coordorigin = PR::twips(info.displayX() - 1) + "," + PR::twips(info.displayY() - 1);
    const std::string coordsize = PR::twips(info.displayWidth() + 2) + "," + PR::twips(info.displayHeight() + 2);
    const std::string pathText = VMLPathString(path);
    writer.writeStartElementWithNamespace(names::kVML, "shapetype");
    writer.writeAttribute("id", name);
    writer.writeAttribute("coordorigin", coordorigin);
    writer.writeAttribute("coordsize", coordsize);
    writer.writeAttributeWithNamespace(names::kOffice, "spt", "12");
    writer.writeAttribute("path", pathText);
    writer.writeStartElementWithNamespace(names::kVML, "stroke");
    writer.writeAttribute("joinstyle", "miter");
    writer.writeEndElement();
    writer.writeEndElement();

    writer.writeStartElementWithNamespace(names::kVML, "shape");
    writer.writeAttribute("id", "WS_" + name);
    writer.writeAttribute("type", name);
    // The shape carries its geometry itself: LibreOffice takes neither the
    // path nor its coordinate space from the shape type, and draws the
    // type's preset (a star) instead.
    writer.writeAttribute("coordorigin", coordorigin);
    writer.writeAttribute("coordsize", coordsize);
    writer.writeAttribute("path", pathText);
    writer.writeAttribute("style", shapeStyle());
    writer.writeAttribute("filled", info.filled() ? "t" : "f");
    if (info.filled() && info.fillcolorString())
        writer.writeAttribute("fillcolor", *info.fillcolorString());
    writer.writeAttribute("stroked", info.stroked() ? "t" : "f");
    if (info.stroked()) {
        const float weight = std::fmax(static_cast<float>(info.strokeweight()), 0.01f);
        writer.writeAttribute("strokeweight", QXDocxVMLShapes::number(weight, 2) + "pt");
        if (info.strokecolorString())
            writer.writeAttribute("strokecolor", *info.strokecolorString());
    }

    auto opacity = [](float alpha) { return QXDocxVMLShapes::number(static_cast<double>(alpha * 65792.0f), 0) + "f"; };
    if (info.filled()) {
        writer.writeStartElementWithNamespace(names::kVML, "fill");
        writer.writeAttribute("type", "solid");
        writer.writeEndElement();
        if (info.fillAlpha() < 1) {
            writer.writeStartElementWithNamespace(names::kVML, "fill");
            writer.writeAttribute("opacity", opacity(std::max(info.fillAlpha(), 0.0f)));
            writer.writeEndElement();
        }
    } else {
        writer.writeStartElementWithNamespace(names::kVML, "fill");
        writer.writeAttribute("opacity", "0");
        writer.writeEndElement();
    }
    if (info.stroked()) {
        if (info.strokeAlpha() < 1) {
            writer.writeStartElementWithNamespace(names::kVML, "stroke");
            writer.writeAttribute("opacity", opacity(std::max(info.strokeAlpha(), 0.0f)));
            writer.writeEndElement();
        }
        const auto& dashes = info.strokeDashPattern();
        if (dashes && !dashes->empty()) {
            const auto dashStyle =
                QXDashStyleStringForDashArray(std::span<const double>(*dashes), info.strokeweight());
            if (dashStyle) {
                writer.writeStartElementWithNamespace(names::kVML, "stroke");
                writer.writeAttribute("dashstyle", *dashStyle);
                if (info.strokeDashPhase() > 0)
                    writer.writeAttribute("dashPhase", info.strokeDashPhaseString());
                writer.writeEndElement();
            }
        }
    }
    writer.writeEndElement();

    writer.writeStartElementWithNamespace(names::kWord10, "wrap");
    writer.writeAttribute("type", "none");
    writer.writeEndElement();
}

std::string QXDocxRunPath::description() const
{
    const QXDocxPathInfo info = pictInfo_ ? *pictInfo_ : QXDocxPathInfo();
    char buffer[384];
    std::snprintf(buffer, sizeof buffer,
                  "<QXDocxRunPath: %p:[pdfScanIndex:%llu][stroked:%d][filled:%d][isHaveCurve:%d][runLineType:%d]"
                  "[isTableLine:%d][displayRect:%f,%f,%f,%f]>",
                  static_cast<const void*>(this), static_cast<unsigned long long>(pdfScanIndex()), info.stroked(),
                  info.filled(), isHaveCurve_, runLineType_, isTableLine_, info.displayX(), info.displayY(),
                  info.displayWidth(), info.displayHeight());
    return buffer;
}

} // namespace rz
