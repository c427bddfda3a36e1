// The stroke and fill record of a vector path: colour records that follow
// colours and opacities, attribute texts, copies, and the border style a
// path stands for.
#include "docx/layout/QXDocxPathInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rz {
namespace {

TEST(QXDocxPathInfoTest, RecordsFollowTheColoursAndTheLastOpacity)
{
    QXDocxPathInfo info;
    EXPECT_EQ(info.fillColorQX(), (QXDocx_Color{0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(info.strokeweight(), 0.1);

    info.setFillcolor(Color::rgb(1, 0.5, 0, 1));
    EXPECT_EQ(info.fillColorQX(), (QXDocx_Color{255, 128, 0, 255}));
    info.setFillAlpha(0.5f);
    EXPECT_EQ(info.fillColorQX(), (QXDocx_Color{255, 128, 0, 127})); // cut, not rounded
    info.setFillcolor(Color::gray(0.5, 1));
    EXPECT_EQ(info.fillColorQX(), (QXDocx_Color{128, 128, 128, 127})); // the opacity stays

    info.setStrokeAlpha(0.2f);
    info.setStrokecolor(Color::rgb(0, 0, 1, 1));
    EXPECT_EQ(info.strokeColorQX(), (QXDocx_Color{0, 0, 255, 51}));
    // Setting a record leaves the colour as it is.
    info.setStrokeColorQX({1, 2, 3, 4});
    EXPECT_EQ(*info.strokecolorString(), "#0000FF");
}

TEST(QXDocxPathInfoTest, AttributeTexts)
{
    QXDocxPathInfo info;
    EXPECT_FALSE(info.fillcolorString());
    EXPECT_FALSE(info.strokeDashPatternString());
    EXPECT_EQ(*QXDocxPathInfo::colorString(Color::cmyk(0, 1, 1, 0)), "#000000");
    EXPECT_EQ(*QXDocxPathInfo::colorString(Color::gray(0.5)), "#808080");
    info.setStrokeDashPattern(std::vector<double>{3.7, 2, 1});
    info.setStrokeDashPhase(-2);
    EXPECT_EQ(*info.strokeDashPatternString(), "3 2 1");
    EXPECT_EQ(info.strokeDashPhaseString(), "-2");
    info.setStrokeDashPattern(std::vector<double>{});
    EXPECT_EQ(*info.strokeDashPatternString(), "");
    EXPECT_FALSE(info.fillAlphaString());
    EXPECT_FALSE(info.strokeAlphaString());
}

TEST(QXDocxPathInfoTest, ACopyKeepsPlacementDashWidthAndOpacitiesOnly)
{
    QXDocxPathInfo info;
    info.setDisplayX(5);
    info.setDisplayWidth(40);
    info.setStrokeDashPattern(std::vector<double>{4, 2});
    info.setStrokeDashPhase(1);
    info.setStrokeweight(2.5);
    info.setFillAlpha(0.5f);
    info.setFillcolor(Color::rgb(1, 0, 0));
    info.setFilled(true);
    info.setStroked(true);
    const auto copy = info.copyPathInfo();
    EXPECT_DOUBLE_EQ(copy->displayX(), 5);
    EXPECT_DOUBLE_EQ(copy->displayWidth(), 40);
    EXPECT_EQ(copy->strokeDashPattern(), info.strokeDashPattern());
    EXPECT_EQ(copy->strokeDashPhase(), 1);
    EXPECT_DOUBLE_EQ(copy->strokeweight(), 2.5);
    EXPECT_FLOAT_EQ(copy->fillAlpha(), 0.5f);
    EXPECT_FALSE(copy->fillcolor());
    EXPECT_FALSE(copy->filled());
    EXPECT_FALSE(copy->stroked());
}

TEST(QXDocxPathInfoTest, BorderStyleOfAPath)
{
    const QXDocx_Color white{255, 255, 255, 255};
    struct Case {
        const char* what;
        bool stroked;
        bool filled;
        std::optional<std::vector<double>> dash;
        std::optional<Color> color;
        double width;
        double height;
        std::int32_t expected;
    };
    const std::vector<Case> cases{
        {"two dash elements", true, false, std::vector<double>{3, 3}, Color::rgb(0, 0, 0), 100, 1, 4},
        {"three", true, false, std::vector<double>{3, 3, 1}, Color::rgb(0, 0, 0), 100, 1, 8},
        {"four", true, false, std::vector<double>{3, 3, 1, 1}, Color::rgb(0, 0, 0), 100, 1, 6},
        {"five", true, false, std::vector<double>{3, 3, 1, 1, 1}, Color::rgb(0, 0, 0), 100, 1, 7},
        {"one element is no dash", true, false, std::vector<double>{3}, Color::rgb(0, 0, 0), 100, 1, 2},
        {"stroke of the background", true, false, std::nullopt, Color::rgb(1, 1, 1), 100, 1, 1},
        {"neither", false, false, std::nullopt, Color::rgb(0, 0, 0), 100, 1, 1},
        {"thin bar of the background", false, true, std::nullopt, Color::rgb(1, 1, 1), 100, 3, 1},
        {"thin bar", false, true, std::nullopt, Color::rgb(1, 0, 0), 100, 3, 2},
        {"small square", false, true, std::nullopt, Color::rgb(1, 0, 0), 3, 3, 1},
        {"large block", false, true, std::nullopt, Color::rgb(1, 0, 0), 100, 40, 1},
    };
    for (const Case& c : cases) {
        QXDocxPathInfo info;
        info.setStroked(c.stroked);
        info.setFilled(c.filled);
        info.setStrokeDashPattern(c.dash);
        info.setStrokecolor(c.color);
        info.setFillcolor(c.color);
        info.setDisplayWidth(c.width);
        info.setDisplayHeight(c.height);
        EXPECT_EQ(QXDocxPathInfo::BorderStyleForPathInfo(info, white), c.expected) << c.what;
    }
}

} // namespace
} // namespace rz
