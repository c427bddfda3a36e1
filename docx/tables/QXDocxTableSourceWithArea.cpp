#include "docx/tables/QXDocxTableSourceWithArea.h"

#include "docx/tables/QXDocxTableManager.h"

#include <map>

namespace rz {

namespace {

// A detector line seen by the table model.
class QXDocxTableLineForm : public QXDocxTableRulingLine {
public:
    QXDocxTableLineForm(QXDocxTableLinePtr line, QXDocxTableRulingLineArray pieces)
        : line_(std::move(line)), pieces_(std::move(pieces))
    {
    }

    bool isHorizontalLine() const override { return line_->isHorizontalLine(); }
    Point startPoint() const override { return line_->startPoint(); }
    Point endPoint() const override { return line_->endPoint(); }
    double lineLength() const override { return line_->lineLength(); }
    Rect boundingBox() const override { return line_->boundingBox(); }
    QXDocxRunPathPtr initRunPath() const override { return line_->initRunPath(); }
    std::vector<QXDocxRunPathPtr> allRunPathArray() const override
    {
        return {line_->allRunPathArray().begin(), line_->allRunPathArray().end()};
    }
    QXDocxTableRulingLineArray subLineArray() const override { return pieces_; }

private:
    QXDocxTableLinePtr line_;
    QXDocxTableRulingLineArray pieces_;
};

using FormCache = std::map<const QXDocxTableLine*, QXDocxTableRulingLinePtr>;

QXDocxTableRulingLinePtr formOf(const QXDocxTableLinePtr& line, FormCache& cache, int depth = 0)
{
    if (!line)
        return nullptr;
    if (auto found = cache.find(line.get()); found != cache.end())
        return found->second;
    QXDocxTableRulingLineArray pieces;
    // Pieces of merged lines are cut lines; a deeper chain is not followed.
    if (depth < 4) {
        for (const QXDocxTableLinePtr& piece : line->subLineArray()) {
            if (QXDocxTableRulingLinePtr form = formOf(piece, cache, depth + 1))
                pieces.push_back(form);
        }
    }
    auto form = std::make_shared<QXDocxTableLineForm>(line, std::move(pieces));
    cache.emplace(line.get(), form);
    return form;
}

QXDocxTableSource sourceWithArea(const QXDocxTableArea& area, FormCache& cache)
{
    QXDocxTableSource source;
    for (const QXDocxTablePointArray& row : area.tablePoints()) {
        std::vector<QXDocxTableCorner> corners;
        for (const QXDocxTablePointPtr& point : row) {
            if (!point)
                continue;
            QXDocxTableCorner corner;
            corner.point = point->point();
            corner.type = point->type();
            for (const QXDocxTableLinePtr& line : point->tableLines()) {
                if (QXDocxTableRulingLinePtr form = formOf(line, cache))
                    corner.tableLines.push_back(form);
            }
            corners.push_back(std::move(corner));
        }
        source.tablePoints.push_back(std::move(corners));
    }
    source.bounds = area.bounds();
    source.minPDFScanIndex = area.minPDFScanIndex();
    source.maxPDFScanIndex = area.maxPDFScanIndex();
    source.minTextPDFScanIndex = area.minTextPDFScanIndex();
    source.maxTextPDFScanIndex = area.maxTextPDFScanIndex();
    source.allRunTextArray = {area.allRunTextArray().begin(), area.allRunTextArray().end()};
    source.allRunPathArray = {area.allRunPathArray().begin(), area.allRunPathArray().end()};
    for (const QXDocxTableAreaPtr& sub : area.allSubAreaArray()) {
        if (sub)
            source.allSubAreaArray.push_back(sourceWithArea(*sub, cache));
    }
    return source;
}

} // namespace

QXDocxTableSource QXDocxTableSourceWithArea(const QXDocxTableArea& area)
{
    FormCache cache;
    QXDocxTableSource source = sourceWithArea(area, cache);
    source.superPage = QXDocxTableManager::sharedInstance().superPage();
    return source;
}

} // namespace rz
