// Path runs of a page: what a point list is classified as, how the path
// is split into sub-paths, its box, its border style along a ruling line,
// and the VML it writes (path text, coordinate space, paint).
#include "converter/ooxml/QXOpenXMLNameSpace.h"
#include "converter/ooxml/XMLFileWriter.h"
#include "docx/graphics/QXDocxRunPath.h"
#include "docx/layout/QXDocxPackageNames.h"
#include "tests/converter/ooxml/WordprocessingMLFragment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace rz {
namespace {

std::shared_ptr<QXDocxPathInfo> paint(Rect display, bool filled, bool stroked, double weight = 1)
{
    auto info = std::make_shared<QXDocxPathInfo>();
    info->setDisplayX(display.origin.x);
    info->setDisplayY(display.origin.y);
    info->setDisplayWidth(display.size.width);
    info->setDisplayHeight(display.size.height);
    info->setFilled(filled);
    info->setStroked(stroked);
    info->setStrokeweight(weight);
    if (filled)
        info->setFillcolor(Color::rgb(1, 0, 0, 1));
    if (stroked)
        info->setStrokecolor(Color::rgb(0, 0, 1, 1));
    return info;
}

Path rectPath(Rect r)
{
    Path path;
    path.moveTo({r.minX(), r.minY()});
    path.lineTo({r.maxX(), r.minY()});
    path.lineTo({r.maxX(), r.maxY()});
    path.lineTo({r.minX(), r.maxY()});
    path.closeSubpath();
    return path;
}

QXDocxRunPathPtr pathRun(const Path& path, std::shared_ptr<QXDocxPathInfo> info, std::uint64_t scanIndex = 12)
{
    auto run = std::make_shared<QXDocxRunPath>();
    run->setPdfScanIndex(scanIndex);
    run->setPictInfo(std::move(info));
    run->setRunCGPath(path);
    return run;
}

// The run written inside a w:p of a w:document binding the VML prefixes,
// checked by xmllint.
std::string writeRun(QXDocxRunPath& run)
{
    return test::writeWordprocessingML([&](XMLFileWriter& writer) {
        writer.setPrefix("v", QXDocxPackageNames::kVML);
        writer.setPrefix("o", QXDocxPackageNames::kOffice);
        writer.setPrefix("w10", QXDocxPackageNames::kWord10);
        writer.writeStartElementWithNamespace(QXOpenXMLNameSpace::nameSpace_w(), "p");
        run.writeWithXMLWriter(writer);
        writer.writeEndElement();
    });
}

bool has(const std::string& text, const std::string& what)
{
    return text.find(what) != std::string::npos;
}

std::size_t count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

TEST(QXDocxRunPathTest, PointListsAreClassified)
{
    struct Case {
        std::vector<Point> points;
        std::int32_t expected;
        const char* what;
    };
    const std::vector<Case> cases{
        {{{10, 100}, {200, 100.5}}, 1, "horizontal line"},
        {{{10, 100}, {10.5, 300}}, 2, "vertical line"},
        {{{10, 100}, {10.4, 100.6}}, 0, "both differences below 1"},
        {{{10, 100}, {200, 100.5}, {300, 100.5}}, 1, "three points"},
        {{{0, 0}, {5, 0}, {5, 8}, {0, 8}, {0, 0}}, 3, "5 x 8 rectangle"},
        {{{0, 0}, {5, 0}, {5, 8.1}, {0, 8.1}, {0, 0}}, 3, "8.1 below the single-precision bound"},
        {{{0, 0}, {5, 0}, {5, 9}, {0, 9}, {0, 0}}, 4, "5 x 9 rectangle"},
        {{{0, 0}, {5, 0}, {5, 9}, {0, 9}, {0, 0}, {5, 0}, {5, 9}}, 0, "seven points"},
        {{{0, 0}, {5, 1}, {5, 9}, {0, 9}}, 0, "slanted quadrilateral"},
        {{{3, 3}}, 0, "one point"},
        {{}, 0, "no points"},
    };
    for (const Case& c : cases) {
        QXDocxRunPath run;
        run.setRunLinePointArray(c.points);
        EXPECT_EQ(run.runLineType(), c.expected) << c.what;
    }
    QXDocxRunPath run;
    run.setRunLinePointArray(std::vector<Point>{{10, 100}, {200, 100}});
    run.setRunLinePointArray(std::nullopt);
    EXPECT_EQ(run.runLineType(), 0);
}

TEST(QXDocxRunPathTest, PathIsSplitIntoSubPathsKeepingTheLastOpenOne)
{
    Path twoOpen;
    twoOpen.moveTo({0, 0});
    twoOpen.lineTo({10, 0});
    twoOpen.moveTo({0, 5});
    twoOpen.lineTo({10, 5});

    Path closedThenOpen = rectPath({0, 0, 10, 10});
    closedThenOpen.moveTo({20, 0});
    closedThenOpen.curveTo({25, 5}, {30, 5}, {35, 0});

    Path onlyMoves;
    onlyMoves.moveTo({1, 1});
    onlyMoves.moveTo({2, 2});

    struct Case {
        Path path;
        std::size_t subPaths;
        std::int64_t points;
        bool curve;
        const char* what;
    };
    const std::vector<Case> cases{
        {twoOpen, 2, 4, false, "m l m l"},
        {closedThenOpen, 2, 6, true, "a closed rectangle and an open curve"},
        {onlyMoves, 2, 2, false, "two move-tos"},
        {Path(), 0, 0, false, "empty"},
    };
    for (const Case& c : cases) {
        QXDocxRunPath run;
        run.setRunCGPath(c.path);
        EXPECT_EQ(run.subCGPaths().size(), c.subPaths) << c.what;
        EXPECT_EQ(run.pathPointCount(), c.points) << c.what;
        EXPECT_EQ(run.isHaveCurve(), c.curve) << c.what;
    }

    // The open piece counts when the path is measured against a rectangle.
    QXDocxRunPath run;
    Path bars = rectPath({0, 0, 10, 10});
    bars.moveTo({20, 0});
    bars.lineTo({30, 0});
    bars.lineTo({30, 10});
    run.setRunCGPath(bars);
    EXPECT_DOUBLE_EQ(run.areaIntersectionRect({-5, -5, 50, 50}), 200);
}

TEST(QXDocxRunPathTest, StrokedHairlineBoxIsAsWideAsTheStroke)
{
    Path vertical;
    vertical.moveTo({10, 0});
    vertical.lineTo({10, 50});
    const auto stroked = pathRun(vertical, paint({10, 0, 0, 50}, false, true, 2));
    EXPECT_EQ(stroked->boundingBox(), Rect(9, 0, 2, 50));
    const auto filled = pathRun(vertical, paint({10, 0, 0, 50}, true, false, 2));
    EXPECT_EQ(filled->boundingBox(), Rect(10, 0, 0, 50));
    EXPECT_EQ(QXDocxRunPath().boundingBox(), Rect::zero());
}

TEST(QXDocxRunPathTest, OverlapsAndHiddenPaths)
{
    const auto early = pathRun(rectPath({0, 0, 10, 10}), paint({0, 0, 10, 10}, true, false), 1);
    const auto touching = pathRun(rectPath({9.5, 0, 10, 4}), paint({9.5, 0, 10, 4}, true, false), 2);
    const auto late = pathRun(rectPath({5, 5, 10, 10}), paint({5, 5, 10, 10}, true, false), 3);

    EXPECT_DOUBLE_EQ(early->areaIntersectionRect({5, 5, 100, 100}), 25);
    EXPECT_DOUBLE_EQ(early->areaIntersectionRect({9.5, 0, 100, 100}), 0); // only half a point wide
    EXPECT_EQ(late->hideRunPaths({touching, early}), early);
    EXPECT_EQ(touching->hideRunPaths({early, late}), nullptr);
    EXPECT_EQ(early->hideRunPaths({touching, late}), nullptr); // the others come later
}

TEST(QXDocxRunPathTest, ColoursAndBordersCompareWithTolerance)
{
    auto a = pathRun(rectPath({0, 0, 10, 1}), paint({0, 0, 10, 1}, false, true, 1));
    auto b = pathRun(rectPath({0, 5, 10, 1}), paint({0, 5, 10, 1}, false, true, 1));
    EXPECT_TRUE(a->isBorderEqualToPath(*b));
    b->pictInfo()->setStrokeColorQX({2, 0, 253, 255});
    EXPECT_TRUE(a->isBorderEqualToPath(*b));
    b->pictInfo()->setStrokeColorQX({3, 0, 255, 255});
    EXPECT_FALSE(a->isBorderEqualToPath(*b));
    b->pictInfo()->setStrokeColorQX(a->pictInfo()->strokeColorQX());
    b->pictInfo()->setStrokeweight(2);
    EXPECT_FALSE(a->isBorderEqualToPath(*b));

    EXPECT_TRUE(a->IsEqualColor({0, 0, 253, 255}));
    EXPECT_FALSE(a->IsEqualColor({0, 0, 252, 255}));
}

TEST(QXDocxRunPathTest, TwoLineRule)
{
    struct Case {
        double distance;
        std::int32_t expected;
    };
    for (const Case& c : std::vector<Case>{{0.1, 2}, {1.9, 17}, {0.9, 18}, {0.5, 19}}) {
        double gap = -1;
        EXPECT_EQ(QXDocxRunPath::BorderStyleFor2TableLineDistance(c.distance, 2, &gap), c.expected) << c.distance;
        EXPECT_EQ(gap, c.expected == 17 ? c.distance : -1) << c.distance;
    }
}

TEST(QXDocxRunPathTest, CompoundRuleOfThinBarsIsJudgedAlongItsCentreLine)
{
    // Two filled bars 100 x 1, five points apart: together too tall to be
    // a bar, each one along the ruling line.
    Path bars = rectPath({0, 100, 100, 1});
    bars.addPath(rectPath({0, 105, 100, 1}));
    const QXDocx_Color white{255, 255, 255, 255};

    auto horizontal = pathRun(bars, paint({0, 100, 100, 6}, true, false));
    EXPECT_EQ(horizontal->borderStyleForLinePoint1({0, 103}, {100, 103}, white), 2);
    EXPECT_EQ(horizontal->borderStyle(), 2);
    // A rule across the bars is not theirs.
    EXPECT_EQ(horizontal->borderStyleForLinePoint1({50, 0}, {50, 200}, white), 1);
    // Bars of the background colour draw nothing.
    EXPECT_EQ(horizontal->borderStyleForLinePoint1({0, 103}, {100, 103}, {255, 0, 0, 255}), 1);

    Path columns = rectPath({100, 0, 1, 100});
    columns.addPath(rectPath({105, 0, 1, 100}));
    auto vertical = pathRun(columns, paint({100, 0, 6, 100}, true, false));
    EXPECT_EQ(vertical->borderStyleForLinePoint1({103, 0}, {103, 100}, white), 2);
}

TEST(QXDocxRunPathTest, BorderPathsAndWidths)
{
    const QXDocx_Color white{255, 255, 255, 255};
    auto line = [](double y, double weight) {
        Path p;
        p.moveTo({0, y});
        p.lineTo({100, y});
        return pathRun(p, paint({0, y, 100, 0}, false, true, weight));
    };
    auto invisible = pathRun(rectPath({0, 50, 100, 1}), paint({0, 50, 100, 1}, false, false));
    const auto first = line(10, 1), same = line(10.5, 3), other = line(12, 2);
    const auto kept = QXDocxRunPath::FindBorderRunPathArray({invisible, first, same, other}, {0, 11}, {100, 11}, white);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0], first);
    EXPECT_EQ(kept[1], other);

    EXPECT_EQ(QXDocxRunPath::MaxBorderWidthForRunPaths({}), 0);
    EXPECT_EQ(QXDocxRunPath::MaxBorderWidthForRunPaths({first, same, other}), 3);
}

TEST(QXDocxRunPathTest, TurnedStrokeKeepsItsWidth)
{
    QXDocxRunPath run;
    run.setStrokeweightApplyingTransform(2, Affine::makeRotation(std::numbers::pi / 6));
    EXPECT_NEAR(run.pictInfo()->strokeweight(), 2, 1e-9);
    run.setStrokeweightApplyingTransform(1, Affine::makeScale(3, 3));
    EXPECT_NEAR(run.pictInfo()->strokeweight(), 3, 1e-9);
}

TEST(QXDocxRunPathTest, VMLPathText)
{
    Path twoLines;
    twoLines.moveTo({0, 0});
    twoLines.lineTo({1, 0});
    twoLines.moveTo({0, 1});
    twoLines.lineTo({1, 1});
    Path moves;
    moves.moveTo({1, 1});
    moves.moveTo({2, 2});
    Path moveClose;
    moveClose.moveTo({1, 1});
    moveClose.closeSubpath();
    Path cubic;
    cubic.moveTo({0, 0});
    cubic.curveTo({1, 2}, {3, 4}, {5, 6});
    Path quad;
    quad.moveTo({0, 0});
    quad.quadTo({3, 3}, {6, 0});

    struct Case {
        Path path;
        std::string expected;
    };
    const std::vector<Case> cases{
        {rectPath({10, 20, 100, 5}), "m200,400l2200,400l2200,500l200,500xe"},
        {twoLines, "m0,0l20,0m0,20l20,20e"},
        {moves, "e"},
        {moveClose, "xe"},
        {cubic, "m0,0c20,40,60,80,100,120e"},
        {quad, "m0,0c40,40,80,40,120,0e"},
        {Path(), "e"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QXDocxRunPath::VMLPathString(c.path), c.expected) << c.expected;
}

TEST(QXDocxRunPathTest, ShapeCoordinatesMatchItsBox)
{
    auto run = pathRun(rectPath({10, 20, 100, 5}), paint({10, 20, 100, 5}, true, false));
    run->setPictZIndex(-3);
    const std::string xml = writeRun(*run);
    EXPECT_TRUE(has(xml, "<v:shapetype id=\"Shape12\" coordorigin=\"180,380\" coordsize=\"2040,140\" o:spt=\"12\" "
                         "path=\"m200,400l2200,400l2200,500l200,500xe\"><v:stroke joinstyle=\"miter\"/></v:shapetype>"))
        << xml;
    EXPECT_TRUE(has(xml, "<v:shape id=\"WS_Shape12\" type=\"Shape12\" coordorigin=\"180,380\" "
                         "coordsize=\"2040,140\" path=\"m200,400l2200,400l2200,500l200,500xe\" "
                         "style=\"position:absolute;left:0;"
                         "text-align:left;margin-left:9.00pt;margin-top:19.00pt;width:102.00pt;height:7.00pt;"
                         "mso-position-horizontal-relative:page;mso-position-vertical-relative:page;z-index:-3\" "
                         "filled=\"t\" fillcolor=\"#FF0000\" stroked=\"f\"><v:fill type=\"solid\"/></v:shape>"
                         "<w10:wrap type=\"none\"/></w:pict></w:r>"))
        << xml;

    // A shape of no size still has a coordinate space.
    Path dot;
    dot.moveTo({50, 50});
    auto empty = pathRun(dot, paint({50, 50, 0, 0}, false, false));
    const std::string point = writeRun(*empty);
    EXPECT_EQ(count(point, "coordorigin=\"980,980\" coordsize=\"40,40\""), 2u) << point;
}

TEST(QXDocxRunPathTest, PaintOfTheShape)
{
    // Fill opacity one half.
    auto halfFilled = pathRun(rectPath({0, 0, 10, 10}), paint({0, 0, 10, 10}, true, false));
    halfFilled->pictInfo()->setFillAlpha(0.5f);
    EXPECT_TRUE(has(writeRun(*halfFilled), "<v:fill type=\"solid\"/><v:fill opacity=\"32896f\"/></v:shape>"));

    // Stroke weight 0, opacity 0.25, unfilled.
    Path line;
    line.moveTo({0, 10});
    line.lineTo({100, 10});
    auto hairline = pathRun(line, paint({0, 10, 100, 0}, false, true, 0));
    hairline->pictInfo()->setStrokeAlpha(0.25f);
    const std::string hair = writeRun(*hairline);
    EXPECT_TRUE(has(hair, "filled=\"f\" stroked=\"t\" strokeweight=\"0.01pt\" strokecolor=\"#0000FF\">"
                          "<v:fill opacity=\"0\"/><v:stroke opacity=\"16448f\"/></v:shape>"))
        << hair;

    // Dashes: the phase only when there is one.
    auto dashed = pathRun(line, paint({0, 10, 100, 0}, false, true, 1));
    dashed->pictInfo()->setStrokeDashPattern(std::vector<double>{3, 3});
    const std::string noPhase = writeRun(*dashed);
    EXPECT_TRUE(has(noPhase, "<v:stroke dashstyle=")) << noPhase;
    EXPECT_FALSE(has(noPhase, "dashPhase"));
    dashed->pictInfo()->setStrokeDashPhase(2);
    EXPECT_TRUE(has(writeRun(*dashed), "dashPhase=\"2\""));
}

TEST(QXDocxRunPathTest, ThinFilledBarIsWrittenAsALine)
{
    auto bar = pathRun(rectPath({10, 20, 0.6, 50}), paint({10, 20, 0.6, 50}, true, false));
    const std::string xml = writeRun(*bar);
    EXPECT_TRUE(has(xml, "path=\"m206,400l206,1400e\"")) << xml;
    EXPECT_TRUE(has(xml, "filled=\"f\" stroked=\"t\" strokeweight=\"0.60pt\" strokecolor=\"#FF0000\"")) << xml;
    EXPECT_TRUE(bar->pictInfo()->stroked());
    EXPECT_FALSE(bar->pictInfo()->filled());
    // The shape is as wide as the stroke.
    EXPECT_NEAR(bar->pictInfo()->displayWidth(), 0.6, 1e-6);

    // A see-through bar stays see-through as a line.
    auto flat = pathRun(rectPath({10, 20, 50, 0.4}), paint({10, 20, 50, 0.4}, true, false));
    flat->pictInfo()->setFillAlpha(0.5f);
    const std::string flatXml = writeRun(*flat);
    EXPECT_TRUE(has(flatXml, "path=\"m200,404l1200,404e\"")) << flatXml;
    EXPECT_TRUE(has(flatXml, "<v:fill opacity=\"0\"/><v:stroke opacity=\"32896f\"/>")) << flatXml;
}

TEST(QXDocxRunPathTest, CopyOwnsItsPaint)
{
    auto run = pathRun(rectPath({0, 0, 10, 10}), paint({0, 0, 10, 10}, true, false));
    run->setRunLinePointArray(std::vector<Point>{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    const auto copied = std::static_pointer_cast<QXDocxRunPath>(run->copy());
    EXPECT_NE(copied->pictInfo(), run->pictInfo());
    EXPECT_EQ(copied->runLineType(), 4);
    EXPECT_EQ(copied->subCGPaths().size(), 1u);
    EXPECT_EQ(copied->pdfScanIndex(), 12u);
    EXPECT_TRUE(has(copied->description(), "[runLineType:4]"));
}

} // namespace
} // namespace rz
