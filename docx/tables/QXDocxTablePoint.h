// One grid point of a candidate table: a crossing of two ruling lines, the
// end of a line, or a grid position the lines imply, with the table lines
// that pass through it.
#pragma once

#include "platform/geometry/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rz {

class QXDocxTableLine;
using QXDocxTableLinePtr = std::shared_ptr<QXDocxTableLine>;
class QXDocxTablePoint;
using QXDocxTablePointPtr = std::shared_ptr<QXDocxTablePoint>;

class QXDocxTablePoint {
public:
    // Type bits.
    static constexpr std::uint8_t kTypeIntersectShow = 1;
    static constexpr std::uint8_t kTypeEnd = 2;
    static constexpr std::uint8_t kTypeIntersectHide = 4;
    static constexpr std::uint8_t kTypeDeleted = 8;

    QXDocxTablePoint() = default;
    QXDocxTablePoint(std::uint8_t type, Point point) : point_(point) { setType(type); }
    // Same point, type and lines.
    QXDocxTablePointPtr copy() const { return std::make_shared<QXDocxTablePoint>(*this); }

    std::uint8_t type() const { return type_; }
    // Stores the type and derives the flags from it.
    void setType(std::uint8_t type);
    Point point() const { return point_; }
    void setPoint(Point point) { point_ = point; }

    bool isIntersectShow() const { return isIntersectShow_; }
    bool isEnd() const { return isEnd_; }
    bool isIntersectHide() const { return isIntersectHide_; }
    bool isDeleted() const { return isDeleted_; }
    // Both "show" and "hide" bits.
    bool isIntersect() const { return isIntersect_; }

    const std::vector<QXDocxTableLinePtr>& tableLines() const { return tableLines_; }
    void setTableLines(std::vector<QXDocxTableLinePtr> lines) { tableLines_ = std::move(lines); }

    // "<QXDocxTablePoint: address:[point:{x, y}][type:n]>"
    std::string description() const;

private:
    std::uint8_t type_ = 0;
    Point point_{};
    bool isIntersectHide_ = false;
    bool isIntersectShow_ = false;
    bool isIntersect_ = false;
    bool isDeleted_ = false;
    bool isEnd_ = false;
    std::vector<QXDocxTableLinePtr> tableLines_;
};

} // namespace rz
