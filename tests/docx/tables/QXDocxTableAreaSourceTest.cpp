// An accepted area handed to table construction: rows and cells from its
// point rows, with the ruling lines shared between the points.
#include "docx/tables/QXDocxTableAreaSource.h"

#include "docx/tables/QXDocxTableManager.h"
#include "docx/tables/QXDocxTableRow.h"
#include "docx/tables/QXDocxTableCell.h"

#include "TableDetectionFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rz {
namespace {

using namespace tabletest;

TEST(QXDocxTableAreaSourceTest, GridOfThreeByThreeLinesGivesTwoByTwoCells)
{
    QXDocxTableManager::destory();
    auto& manager = QXDocxTableManager::sharedInstance();
    manager.setPageSize({600, 800});
    manager.begainPage();
    for (const auto& run : gridRuns({100, 100}, 2, 2, 50))
        manager.addRunPathIfNeed(run);
    const auto areas = manager.createAllTableAreas();
    ASSERT_EQ(areas.size(), 1u);
    ASSERT_TRUE(areas[0]->isValidTableArea());

    const QXDocxTableSource source = QXDocxTableSourceForArea(*areas[0]);
    ASSERT_EQ(source.tablePoints.size(), 3u);
    // The top-left corner and the corner right of it share the top rule.
    const auto& topLeft = source.tablePoints[0][0].tableLines;
    const auto& topMiddle = source.tablePoints[0][1].tableLines;
    ASSERT_EQ(topLeft.size(), 2u);
    EXPECT_TRUE(std::find(topMiddle.begin(), topMiddle.end(), topLeft[0]) != topMiddle.end() ||
                std::find(topMiddle.begin(), topMiddle.end(), topLeft[1]) != topMiddle.end());

    const auto table = QXDocxTableCreateTable(*areas[0]);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->tableRowArray().size(), 2u);
    for (const auto& row : table->tableRowArray())
        EXPECT_EQ(row->tableCellArray().size(), 2u);
    QXDocxTableManager::destory();
}

} // namespace
} // namespace rz
