// The picture placement records: defaults, copies, descriptions, and the
// colour and dash texts of the text-path record.
#include "docx/layout/QXDocxRunPictInfo.h"
#include "docx/layout/QXDocxTextPathInfo.h"

#include "converter/ooxml/QXDocxUtilities.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace rz;

TEST(QXDocxTextPathInfoTest, FreshRecordHasIdentityZeroPlacementNoColoursAndDefaultRunProperty)
{
    const QXDocxTextPathInfo info;
    EXPECT_TRUE(info.pdfTransform().isIdentity());
    EXPECT_EQ(info.displayX(), 0);
    EXPECT_EQ(info.displayY(), 0);
    EXPECT_EQ(info.displayWidth(), 0);
    EXPECT_EQ(info.displayHeight(), 0);
    EXPECT_EQ(info.wrapType(), 0);
    EXPECT_FALSE(info.fillcolor().has_value());
    EXPECT_FALSE(info.strokecolor().has_value());
    EXPECT_FALSE(info.fillcolorString().has_value());
    EXPECT_FALSE(info.strokecolorString().has_value());
    EXPECT_EQ(info.rotation(), 0.0f);
    EXPECT_FALSE(info.filled());
    EXPECT_FALSE(info.stroked());
    EXPECT_FALSE(info.flipX());
    EXPECT_FALSE(info.flipY());
    EXPECT_TRUE(QXRPropertyIsEqual(info.rProperty(), QXDocxUtilities::defaultRProperty()));
    EXPECT_STREQ(info.rProperty().rFonts.ascii, "Times New Roman");
    EXPECT_EQ(info.rProperty().sz, 12.0f);
}

TEST(QXDocxTextPathInfoTest, ColorStringRoundsComponentsByModel)
{
    struct Case {
        std::optional<Color> color;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {Color::rgb(1, 0.5, 0), "#FF8000"},
        {Color::gray(0.5), "#808080"},
        {Color::rgb(0, 0, 0), "#000000"},
        {Color::rgb(0.1, 0.7, 0.9), "#1AB3E6"},
        {Color::cmyk(0, 1, 1, 0), "#000000"},
        {Color{Color::Model::Lab, {50, 20, 20}, 1}, "#000000"},
        // Out-of-range and non-finite components stay inside the six digits.
        {Color::rgb(2, -1, std::numeric_limits<double>::quiet_NaN()), "#FF0000"},
        {Color{Color::Model::RGB, {}, 1}, "#000000"},
        {std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QXDocxTextPathInfo::colorString(c.color), c.text) << c.text.value_or("none");
    }
    QXDocxTextPathInfo info;
    info.setFillcolor(Color::rgb(1, 0.5, 0));
    info.setStrokecolor(Color::gray(0.5));
    EXPECT_EQ(info.fillcolorString(), "#FF8000");
    EXPECT_EQ(info.strokecolorString(), "#808080");
    EXPECT_EQ(info.fillColorQX(), (QXDocx_Color{255, 128, 0, 255}));
    EXPECT_EQ(info.strokeColorQX(), (QXDocx_Color{128, 128, 128, 255}));
}

TEST(QXDocxTextPathInfoTest, DashTexts)
{
    QXDocxTextPathInfo info;
    EXPECT_FALSE(info.strokeDashPatternString().has_value());
    EXPECT_EQ(info.strokeDashPhaseString(), "0");

    info.setStrokeDashPattern(std::vector<double>{});
    EXPECT_EQ(info.strokeDashPatternString(), "");
    info.setStrokeDashPattern(std::vector<double>{3, 2});
    EXPECT_EQ(info.strokeDashPatternString(), "3 2");
    info.setStrokeDashPattern(std::vector<double>{3.9, 0.5, -2.7, std::numeric_limits<double>::infinity()});
    EXPECT_EQ(info.strokeDashPatternString(), "3 0 -2 0");
    info.setStrokeDashPhase(-7);
    EXPECT_EQ(info.strokeDashPhaseString(), "-7");
}

TEST(QXDocxTextPathInfoTest, CopyKeepsTheClassAndTheBaseFieldsOnly)
{
    QXDocxTextPathInfo info;
    info.setPdfTransform({2, 0, 0, 3, 10, 20});
    info.setDisplayX(1);
    info.setDisplayY(2);
    info.setDisplayWidth(3);
    info.setDisplayHeight(4);
    info.setWrapType(1);
    info.setFilled(true);
    info.setRotation(45);
    info.setFillcolor(Color::rgb(1, 0, 0));

    const std::shared_ptr<QXDocxRunPictInfo> copy = info.copy();
    auto* textPath = dynamic_cast<QXDocxTextPathInfo*>(copy.get());
    ASSERT_NE(textPath, nullptr);
    EXPECT_EQ(textPath->pdfTransform(), (Affine{2, 0, 0, 3, 10, 20}));
    EXPECT_EQ(textPath->displayX(), 1);
    EXPECT_EQ(textPath->displayY(), 2);
    EXPECT_EQ(textPath->displayWidth(), 3);
    EXPECT_EQ(textPath->displayHeight(), 4);
    EXPECT_EQ(textPath->wrapType(), 1);
    EXPECT_FALSE(textPath->filled());
    EXPECT_EQ(textPath->rotation(), 0.0f);
    EXPECT_FALSE(textPath->fillcolor().has_value());

    // The copy constructor carries everything.
    const QXDocxTextPathInfo full(info);
    EXPECT_TRUE(full.filled());
    EXPECT_EQ(full.rotation(), 45.0f);
    EXPECT_EQ(full.fillcolorString(), "#FF0000");

    const QXDocxRunPictInfo base;
    auto baseCopy = base.copy();
    EXPECT_EQ(dynamic_cast<QXDocxTextPathInfo*>(baseCopy.get()), nullptr);
}

TEST(QXDocxTextPathInfoTest, DescriptionListsTheDisplayRectangle)
{
    QXDocxRunPictInfo info;
    info.setDisplayX(1.5);
    info.setDisplayY(-2);
    info.setDisplayWidth(100);
    info.setDisplayHeight(0.25);
    EXPECT_EQ(info.description(),
              "\ndisplayX: 1.500000\r\ndisplayY: -2.000000\r\ndisplayWidth: 100.000000\r\ndisplayHeight: 0.250000");
    QXDocxTextPathInfo textPath;
    EXPECT_EQ(textPath.description(),
              "\ndisplayX: 0.000000\r\ndisplayY: 0.000000\r\ndisplayWidth: 0.000000\r\ndisplayHeight: 0.000000");
}
