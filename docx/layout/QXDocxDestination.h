// A link destination: a page, a run on it and a point.
#pragma once

#include "platform/geometry/Geometry.h"

#include <memory>

namespace rz {

class QXDocxPage;
class QXDocxRun;

class QXDocxDestination {
public:
    QXDocxDestination() = default;
    QXDocxDestination(std::shared_ptr<QXDocxPage> page, std::shared_ptr<QXDocxRun> run)
        : page_(std::move(page)), run_(std::move(run))
    {
    }

    const std::shared_ptr<QXDocxPage>& page() const { return page_; }
    void setPage(std::shared_ptr<QXDocxPage> page) { page_ = std::move(page); }
    const std::shared_ptr<QXDocxRun>& run() const { return run_; }
    void setRun(std::shared_ptr<QXDocxRun> run) { run_ = std::move(run); }
    Point destPoint() const { return destPoint_; }
    void setDestPoint(Point point) { destPoint_ = point; }

private:
    std::shared_ptr<QXDocxPage> page_;
    std::shared_ptr<QXDocxRun> run_;
    Point destPoint_;
};

} // namespace rz
