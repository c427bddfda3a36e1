#include "docx/tables/QXDocxTableRulingLine.h"

#include "docx/tables/QXDocxTableBorderStyle.h"

#include <algorithm>
#include <cmath>

namespace rz {

namespace {

double single(double value)
{
    return static_cast<double>(static_cast<float>(value));
}

} // namespace

double QXDocxTableRulingLine::min_x() const
{
    return single(std::min(startPoint().x, endPoint().x));
}

double QXDocxTableRulingLine::min_y() const
{
    return single(std::min(startPoint().y, endPoint().y));
}

double QXDocxTableRulingLine::max_x() const
{
    return single(std::max(startPoint().x, endPoint().x));
}

double QXDocxTableRulingLine::max_y() const
{
    return single(std::max(startPoint().y, endPoint().y));
}

bool QXDocxTableRulingLine::isShortLine(double limit) const
{
    return std::max(2.0, limit) > lineLength();
}

std::optional<Color> QXDocxTableRulingLine::tableLineColor() const
{
    for (const QXDocxRunPathPtr& path : allRunPathArray()) {
        if (path && path->pictInfo() && path->pictInfo()->stroked())
            return path->pictInfo()->strokecolor();
    }
    return std::nullopt;
}

std::int32_t QXDocxTableRulingLine::borderStyleForLinePoint1(Point p1, Point p2,
                                                            const QXDocx_Color& backgroundColor) const
{
    const std::vector<QXDocxRunPathPtr> paths =
        QXDocxRunPath::FindBorderRunPathArray(allRunPathArray(), p1, p2, backgroundColor);
    double gap = 0;
    return QXDocxTableBorderStyle::BorderStyleForRunPaths(paths, p1, p2, backgroundColor, &gap);
}

std::shared_ptr<QXDocxTableRulingLineRecord> QXDocxTableRulingLineRecord::LineWithRunPath(const QXDocxRunPathPtr& path,
                                                                                          Point p1, Point p2)
{
    auto line = std::make_shared<QXDocxTableRulingLineRecord>();
    line->start = p1;
    line->end = p2;
    line->runPath = path;
    if (path)
        line->runPaths.push_back(path);
    line->isHorizontal = !(std::fabs(p1.x - p2.x) < 2);
    line->length = line->isHorizontal ? std::fabs(p1.x - p2.x) : std::fabs(p1.y - p2.y);
    double thickness = 0;
    if (path && path->pictInfo()) {
        const QXDocxPathInfo& info = *path->pictInfo();
        thickness = (!info.stroked() && info.filled()) ? static_cast<double>(0.1f) : info.strokeweight();
    }
    line->box = line->isHorizontal ? Rect(line->min_x(), line->min_y() - thickness / 2, line->length, thickness)
                                    : Rect(line->min_x() - thickness / 2, line->min_y(), thickness, line->length);
    return line;
}

} // namespace rz
