#include "docx/tables/QXDocxTableAreaSource.h"

#include "docx/tables/QXDocxTableManager.h"

#include <unordered_map>

namespace rz {

namespace {

// A table line as the table model reads it.
class QXDocxTableLineRuling final : public QXDocxTableRulingLine {
public:
    using Registry = std::unordered_map<const QXDocxTableLine*, std::shared_ptr<QXDocxTableLineRuling>>;

    explicit QXDocxTableLineRuling(QXDocxTableLinePtr line) : line_(std::move(line)) {}

    // The one ruling object of `line` (with its pieces), made on first use.
    static std::shared_ptr<QXDocxTableLineRuling> Of(const QXDocxTableLinePtr& line, Registry* registry)
    {
        if (const auto found = registry->find(line.get()); found != registry->end())
            return found->second;
        auto ruling = std::make_shared<QXDocxTableLineRuling>(line);
        (*registry)[line.get()] = ruling;
        for (const auto& piece : line->subLineArray())
            ruling->pieces_.push_back(Of(piece, registry));
        return ruling;
    }

    bool isHorizontalLine() const override { return line_->isHorizontalLine(); }
    Point startPoint() const override { return line_->startPoint(); }
    Point endPoint() const override { return line_->endPoint(); }
    double lineLength() const override { return line_->lineLength(); }
    Rect boundingBox() const override { return line_->boundingBox(); }
    QXDocxRunPathPtr initRunPath() const override { return line_->initRunPath(); }
    std::vector<QXDocxRunPathPtr> allRunPathArray() const override { return line_->allRunPathArray(); }
    QXDocxTableRulingLineArray subLineArray() const override { return pieces_; }

private:
    QXDocxTableLinePtr line_;
    QXDocxTableRulingLineArray pieces_;
};

QXDocxTableSource sourceOf(QXDocxTableArea& area, QXDocxTableLineRuling::Registry* registry)
{
    QXDocxTableSource source;
    for (const auto& row : area.tablePoints()) {
        std::vector<QXDocxTableCorner> corners;
        corners.reserve(row.size());
        for (const auto& point : row) {
            QXDocxTableCorner corner;
            corner.point = point->point();
            corner.type = point->type();
            for (const auto& line : point->tableLines())
                corner.tableLines.push_back(QXDocxTableLineRuling::Of(line, registry));
            corners.push_back(std::move(corner));
        }
        source.tablePoints.push_back(std::move(corners));
    }
    source.bounds = area.bounds();
    source.minPDFScanIndex = area.minPDFScanIndex();
    source.maxPDFScanIndex = area.maxPDFScanIndex();
    source.minTextPDFScanIndex = area.minTextPDFScanIndex();
    source.maxTextPDFScanIndex = area.maxTextPDFScanIndex();
    source.allRunTextArray = area.allRunTextArray();
    source.allRunPathArray = area.allRunPathArray();
    source.superPage = QXDocxTableManager::sharedInstance().superPage();
    for (const auto& sub : area.allSubAreaArray()) {
        if (sub->tablePoints().empty() && !sub->isValidTableArea()) {
            // No table: its lines go back to the page, its texts to this one.
            sub->setAllTableLinesInvalid();
            source.allRunTextArray.insert(source.allRunTextArray.end(), sub->allRunTextArray().begin(),
                                          sub->allRunTextArray().end());
            continue;
        }
        source.allSubAreaArray.push_back(sourceOf(*sub, registry));
    }
    return source;
}

} // namespace

QXDocxTableSource QXDocxTableSourceForArea(QXDocxTableArea& area)
{
    // The ruling objects are owned by the points and by the lines the
    // built table keeps; the registry only serves to make one per line.
    QXDocxTableLineRuling::Registry registry;
    return sourceOf(area, &registry);
}

} // namespace rz
