// Operations on several hand-made text lines: vertical bands of lines on
// close baselines, splitting and chaining by text order, superscript and
// subscript marks, overprinted (duplicate) runs, merging lines into one and
// turning script lines back into plain text.
#include "docx/layout/QXDocxRunTextLine.h"

#include "tests/docx/layout/DocxTestRuns.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace rz;

namespace {

using test::TestRunShape;

// A run of the shape with glyphs 10 points wide and high unless it says otherwise.
QXDocxRunTextPtr makeRun(TestRunShape shape)
{
    if (!shape.glyph)
        shape.glyph = 10;
    return test::makeTestRun(shape);
}

// A line of the runs as given (not joined or reordered).
QXDocxRunTextLinePtr makeLine(const std::vector<TestRunShape>& shapes)
{
    QXDocxRunTextArray runs;
    for (const TestRunShape& shape : shapes)
        runs.push_back(makeRun(shape));
    auto line = std::make_shared<QXDocxRunTextLine>();
    line->addRunTextArray(runs);
    return line;
}

// A one-run line with the given frame top, height and baseline.
QXDocxRunTextLinePtr bandLine(const std::string& text, double top, double height, double base, std::uint64_t scan = 0)
{
    return makeLine({{text, 0, 10, top, height, base, scan, scan}});
}

std::vector<std::string> textsOf(const QXDocxRunTextLineArray& lines)
{
    std::vector<std::string> texts;
    for (const auto& line : lines) {
        std::string text;
        for (const auto& run : line->runTextArray())
            text += run->runText();
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> runTextsOf(const QXDocxRunTextArray& runs)
{
    std::vector<std::string> texts;
    for (const auto& run : runs)
        texts.push_back(run->runText());
    return texts;
}

using Texts = std::vector<std::string>;

} // namespace

// --- Vertical bands ---

TEST(QXDocxRunTextLineGroupsTest, BandOfStackedLinesIsTheTopmostOnly)
{
    const auto lower = bandLine("lower", 30, 12, 40);
    const auto upper = bandLine("upper", 10, 12, 20);
    const auto middle = bandLine("middle", 22, 8, 28); // top equals upper's bottom
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindMergeRunTextLineArrayY({lower, middle, upper})), Texts{"upper"});
    EXPECT_TRUE(QXDocxRunTextLine::FindMergeRunTextLineArrayY({}).empty());
    EXPECT_EQ(QXDocxRunTextLine::FindMergeRunTextLineArrayY({lower}).front(), lower);
}

TEST(QXDocxRunTextLineGroupsTest, BandGroupsLinesOnCloseBaselinesSortedByBaseline)
{
    // A small superscript sits high in the main line; a subscript low; a
    // line further down stays out.
    const auto main = bandLine("main", 100, 12, 110);
    const auto sup = bandLine("sup", 98, 6, 103);
    const auto sub = bandLine("sub", 106, 6, 112);
    const auto next = bandLine("next", 114, 12, 124);
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindMergeRunTextLineArrayY({next, sub, main, sup})),
              (Texts{"sup", "main", "sub"}));
}

TEST(QXDocxRunTextLineGroupsTest, BandReferenceMovesToATallerLine)
{
    // The topmost line is short; a taller line holding its middle becomes
    // the reference, and a third line is judged against the taller one.
    const auto small = bandLine("small", 100, 4, 103);   // middle 102
    const auto tall = bandLine("tall", 101, 20, 118);    // 101..121
    const auto low = bandLine("low", 112, 6, 117);       // middle 115: inside tall, not small
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindMergeRunTextLineArrayY({low, tall, small})),
              (Texts{"small", "low", "tall"}));
    // A taller line that does not hold the reference's middle ends the band.
    const auto apart = bandLine("apart", 103, 20, 120); // 103..123: 102 not inside
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindMergeRunTextLineArrayY({apart, small})), Texts{"small"});
}

// --- Text order ---

TEST(QXDocxRunTextLineGroupsTest, TextOrderTestReordersTheRunsByDrawingIndex)
{
    QXDocxRunTextArray runs{makeRun({"c", 20, 30, 0, 12, 10, 7, 2}), makeRun({"a", 0, 10, 0, 12, 10, 3, 0}),
                            makeRun({"b", 10, 20, 0, 12, 10, 5, 1})};
    EXPECT_TRUE(QXDocxRunTextLine::IsRunTextArrayPDFTextIndexContinuous(runs));
    EXPECT_EQ(runTextsOf(runs), (Texts{"a", "b", "c"}));

    QXDocxRunTextArray gap{makeRun({"a", 0, 10, 0, 12, 10, 0, 0}), makeRun({"c", 20, 30, 0, 12, 10, 1, 2})};
    EXPECT_FALSE(QXDocxRunTextLine::IsRunTextArrayPDFTextIndexContinuous(gap));
    QXDocxRunTextArray none;
    EXPECT_FALSE(QXDocxRunTextLine::IsRunTextArrayPDFTextIndexContinuous(none));
    EXPECT_FALSE(QXDocxRunTextLine::IsRunLineArrayPDFTextIndexContinuous({}));
}

TEST(QXDocxRunTextLineGroupsTest, SplitLineIntoStretchesContinuousInTextOrder)
{
    // Two columns drawn interleaved on one baseline: text indices 0,1 in
    // the left column and 10,11 in the right.
    const auto line = makeLine({{"A", 0, 10, 0, 12, 10, 0, 0},
                                {"X", 100, 110, 0, 12, 10, 1, 10},
                                {"B", 12, 22, 0, 12, 10, 2, 1},
                                {"Y", 112, 122, 0, 12, 10, 3, 11}});
    const auto parts = QXDocxRunTextLine::SplitRunTextLineForContinuous(line);
    ASSERT_EQ(parts.size(), 2U);
    EXPECT_EQ(textsOf(parts), (Texts{"AB", "XY"}));
    EXPECT_NE(parts[0], line);
    EXPECT_TRUE(QXDocxRunTextLine::SplitRunTextLineForContinuous(makeLine({})).empty());
    EXPECT_TRUE(QXDocxRunTextLine::SplitRunTextLineForContinuous(nullptr).empty());

    // One line given alone is not split; with another line it is.
    const auto alone = QXDocxRunTextLine::SplitRunTextLineArrayContinuous({line});
    ASSERT_EQ(alone.size(), 1U);
    EXPECT_EQ(alone.front(), line);
    const auto other = bandLine("Z", 20, 12, 30, 9);
    EXPECT_EQ(textsOf(QXDocxRunTextLine::SplitRunTextLineArrayContinuous({other, line})),
              (Texts{"AB", "XY", "Z"}));
}

TEST(QXDocxRunTextLineGroupsTest, ContinuityChainStartsAtTheFirstDrawnLine)
{
    const auto first = makeLine({{"a", 0, 10, 20, 12, 30, 0, 0}});
    const auto second = makeLine({{"b", 0, 10, 0, 12, 10, 1, 1}}); // higher on the page
    const auto stray = makeLine({{"z", 50, 60, 0, 12, 10, 2, 9}});
    const auto third = makeLine({{"c", 0, 10, 40, 12, 50, 3, 2}});
    const auto chain = QXDocxRunTextLine::FindRunTextLineArrayContinuous({third, stray, second, first});
    EXPECT_EQ(textsOf(chain), (Texts{"b", "a", "c"})); // by baseline
    EXPECT_TRUE(QXDocxRunTextLine::FindRunTextLineArrayContinuous({}).empty());
    EXPECT_EQ(QXDocxRunTextLine::FindRunTextLineArrayContinuous({stray}).front(), stray);

    // A first line broken in text order is mended by a line whose text
    // falls in its gap; a line that does not mend it stays out.
    const auto broken = makeLine({{"p", 0, 10, 0, 12, 10, 0, 0}, {"r", 30, 40, 0, 12, 10, 2, 2}});
    const auto wrong = makeLine({{"x", 0, 10, 20, 12, 30, 3, 5}});
    const auto mend = makeLine({{"q", 0, 10, 40, 12, 50, 1, 1}});
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindRunTextLineArrayContinuous({mend, wrong, broken})),
              (Texts{"pr", "q"}));
}

// --- Horizontal overlap ---

TEST(QXDocxRunTextLineGroupsTest, HorizontalOverlapOfMoreThanHalfACharacter)
{
    struct Case {
        const char* name;
        double secondLeft; // first run spans 0..10, glyphs 10 wide
        bool overlap;
    };
    const Case cases[] = {
        {"apart", 12, false},  {"touching", 10, false},   {"slight", 8, false},
        {"half", 5, false},    {"more than half", 4.9, true}, {"overprinted", 0.5, true},
    };
    for (const Case& c : cases) {
        const QXDocxRunTextArray runs{makeRun({"b", c.secondLeft, c.secondLeft + 10, 0, 12, 10, 1, 1}),
                                      makeRun({"a", 0, 10, 0, 12, 10, 0, 0})};
        EXPECT_EQ(QXDocxRunTextLine::HaveXOverlapRunTextArray(runs), c.overlap) << c.name;
    }
    EXPECT_FALSE(QXDocxRunTextLine::HaveXOverlapRunTextArray({makeRun({"a"})}));
}

TEST(QXDocxRunTextLineGroupsTest, OverlapIsMeasuredAgainstTheSmallerGlyphOfTheDeepestPair)
{
    // Deepest overlap 3 between a 4-wide and a 20-wide glyph: more than
    // half of 4 although less than half of the first run's 20.
    const QXDocxRunTextArray runs{makeRun({"a", 0, 10, 0, 12, 10, 0, 0, 20}),
                                  makeRun({"b", 9, 19, 0, 12, 10, 1, 1, 20}),
                                  makeRun({"c", 16, 20, 0, 12, 10, 2, 2, 4})};
    EXPECT_TRUE(QXDocxRunTextLine::HaveXOverlapRunTextArray(runs));
}

// --- Superscript and subscript ---

TEST(QXDocxRunTextLineGroupsTest, ShorterLineBesideTheMainLineIsAScript)
{
    const auto main = makeLine({{"E=mc", 0, 40, 100, 12, 110, 0, 0}});
    const auto sup = makeLine({{"2", 41, 45, 99, 6, 104, 1, 1}});
    EXPECT_TRUE(QXDocxRunTextLine::IsScriptRunTextLineArray({main, sup}));
    EXPECT_TRUE(QXDocxRunTextLine::IsScriptRunTextLineArray({sup, main}));
    EXPECT_FALSE(QXDocxRunTextLine::IsScriptRunTextLineArray({main}));

    // Half or less of the short line inside the main line's band.
    const auto above = makeLine({{"2", 41, 45, 94, 12, 104, 1, 1}}); // 6 of 12 inside
    const auto tall = makeLine({{"M", 0, 40, 100, 20, 115, 0, 0}});
    EXPECT_FALSE(QXDocxRunTextLine::IsScriptRunTextLineArray({tall, above}));
    // An overprinted (duplicate) line is not a script of its line.
    const auto dup = makeLine({{"E=mc", 0.5, 40.5, 101, 8, 110, 1, 1}});
    EXPECT_FALSE(QXDocxRunTextLine::IsScriptRunTextLineArray({main, dup}));
}

TEST(QXDocxRunTextLineGroupsTest, ScriptMarksFollowHeightAndBaseline)
{
    struct Case {
        const char* name;
        double height; // beside a 12-point main line on baseline 110
        double base;
        float size;
        int kind;
    };
    const Case cases[] = {
        {"half height above", 6, 104, 12, 1},
        {"half height below", 6, 113, 12, 2},
        {"equal baseline", 6, 110, 12, 1},
        {"three quarters", 9, 105, 12, 1},
        {"a third, scaled", 4, 104, 8, 1},          // 2 x 12 x 4 / 12
        {"scaled rounds up", 5, 114, 10, 2},        // 2 x 12 x 5 / 12 = 10
        {"scaled, not whole", 5.5, 104, 11, 1},     // 11
        {"just under 12 / 1.9", 6.2, 104, 13, 1},   // 2 x 12 x 6.2 / 12 = 12.4, rounded up
        {"two points shorter", 10, 104, 12, 0},
        {"as high", 12, 104, 12, 0},
    };
    for (const Case& c : cases) {
        const auto main = makeLine({{"M", 0, 40, 100, 12, 110, 0, 0}});
        const auto line = makeLine({{"s", 41, 45, 100, c.height, c.base, 1, 1}});
        QXDocxRunTextLine::SetupScriptRunTextLineArray({line, main});
        const auto& run = *line->runTextArray().front();
        EXPECT_EQ(run.rProperty().scrpit, c.kind) << c.name;
        EXPECT_EQ(run.rProperty().sz, c.kind ? c.size : 12.0F) << c.name;
        EXPECT_EQ(run.rProperty().szCs, run.rProperty().sz) << c.name;
        EXPECT_EQ(run.ctmInfo().yBase, c.kind ? 110 : c.base) << c.name;
        EXPECT_EQ(main->runTextArray().front()->rProperty().scrpit, 0) << c.name;
    }
}

TEST(QXDocxRunTextLineGroupsTest, ScriptLineFoldsIntoItsMainLineAndTurnsPlainAgain)
{
    const auto main = makeLine({{"x", 0, 10, 100, 12, 110, 0, 0}, {"+y", 20, 40, 100, 12, 110, 2, 2}});
    const auto sup = makeLine({{"2", 10.5, 14.5, 99, 6, 104, 1, 1, 6}});
    ASSERT_TRUE(QXDocxRunTextLine::IsScriptRunTextLineArray({main, sup}));
    QXDocxRunTextLine::SetupScriptRunTextLineArray({main, sup});
    EXPECT_TRUE(QXDocxRunTextLine::IsScriptLine(sup));
    EXPECT_FALSE(QXDocxRunTextLine::IsScriptLine(main));

    const auto merged = QXDocxRunTextLine::MergeRunTextLineArray({main, sup});
    ASSERT_TRUE(merged);
    EXPECT_EQ(runTextsOf(merged->runTextArray()), (Texts{"x", "2", "+y"}));
    EXPECT_EQ(merged->yBaseLine(), 110);
    EXPECT_EQ(merged->lineText(), "x2 +y");
    EXPECT_FALSE(QXDocxRunTextLine::IsScriptLine(merged));

    sup->removeScript();
    const auto& run = *sup->runTextArray().front();
    EXPECT_EQ(run.rProperty().scrpit, 0);
    EXPECT_EQ(run.rProperty().sz, 6.0F);
    EXPECT_EQ(run.ctmInfo().yBase, 105); // its bottom
    EXPECT_FALSE(QXDocxRunTextLine::IsScriptLine(sup));
}

TEST(QXDocxRunTextLineGroupsTest, RemoveScriptRoundsTheGlyphSizeDownToAHalfPoint)
{
    const auto line = makeLine({{"a", 0, 10, 0, 12, 10, 0, 0, 9.7}, {"b", 20, 30, 0, 12, 10, 1, 1, 7.2}});
    line->removeScript();
    EXPECT_EQ(line->runTextArray()[0]->rProperty().sz, 9.5F);
    EXPECT_EQ(line->runTextArray()[1]->rProperty().szCs, 7.0F);
}

TEST(QXDocxRunTextLineGroupsTest, AllScriptNeedsOneNonZeroKind)
{
    auto withKind = [](int kind) {
        auto run = makeRun({"a"});
        QXDocx_RPr property = run->rProperty();
        property.scrpit = kind;
        run->setRProperty(property);
        return run;
    };
    EXPECT_FALSE(QXDocxRunTextLine::IsAllScriptRunTextArray({}));
    EXPECT_FALSE(QXDocxRunTextLine::IsAllScriptRunTextArray({withKind(0), withKind(0)}));
    EXPECT_TRUE(QXDocxRunTextLine::IsAllScriptRunTextArray({withKind(2), withKind(2)}));
    EXPECT_FALSE(QXDocxRunTextLine::IsAllScriptRunTextArray({withKind(1), withKind(2)}));
    EXPECT_FALSE(QXDocxRunTextLine::IsAllScriptRunTextArray({withKind(1), withKind(0)}));
    EXPECT_FALSE(QXDocxRunTextLine::IsScriptLine(nullptr));
}

// --- Merging and one-line groups ---

TEST(QXDocxRunTextLineGroupsTest, MergeKeepsASingleLineAndJoinsSeveral)
{
    EXPECT_EQ(QXDocxRunTextLine::MergeRunTextLineArray({}), nullptr);
    const auto only = bandLine("only", 0, 12, 10);
    EXPECT_EQ(QXDocxRunTextLine::MergeRunTextLineArray({only}), only);
    // Overprinted lines: both runs are kept side by side in the new line.
    const auto a = makeLine({{"Bold", 0, 30, 0, 12, 10, 0, 0}});
    const auto b = makeLine({{"Bold", 0.4, 30.4, 0, 12, 10, 5, 5}});
    const auto merged = QXDocxRunTextLine::MergeRunTextLineArray({a, b});
    EXPECT_EQ(merged->runTextArray().size(), 2U);
    EXPECT_EQ(merged->lineFrame(), Rect(0, 0, 30.4, 12));
}

TEST(QXDocxRunTextLineGroupsTest, LinesStandAsOneWhileEachHoldsThePreviousBaseline)
{
    const auto a = makeLine({{"a", 0, 10, 100, 12, 110, 0, 0}});
    const auto b = makeLine({{"b", 20, 30, 102, 12, 112, 1, 1}}); // holds 110
    const auto c = makeLine({{"c", 40, 50, 130, 12, 140, 2, 2}}); // does not hold 112
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindRunTextLineArrayAs1Line({a, b, c})), (Texts{"a", "b"}));
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindRunTextLineArrayAs1Line({c, a})), Texts{"c"});
    EXPECT_TRUE(QXDocxRunTextLine::FindRunTextLineArrayAs1Line({}).empty());

    // A staircase too high for one line: its members stay together only
    // while their runs do not overlap horizontally.
    const auto s1 = makeLine({{"s1", 0, 10, 100, 12, 110, 0, 0}});
    const auto s2 = makeLine({{"s2", 12, 22, 108, 12, 118, 1, 1}});
    const auto s3 = makeLine({{"s3", 24, 34, 116, 12, 126, 2, 2}}); // joint height 28 > 19.2
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindRunTextLineArrayAs1Line({s1, s2, s3})), (Texts{"s1", "s2", "s3"}));
    const auto o3 = makeLine({{"o3", 2, 12, 116, 12, 126, 2, 2}});
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindRunTextLineArrayAs1Line({s1, s2, o3})), Texts{"s1"});
}

TEST(QXDocxRunTextLineGroupsTest, VerticalOverlapNeedsMoreThanOnePoint)
{
    const auto a = bandLine("a", 0, 12, 10);
    const auto touching = bandLine("t", 12, 12, 22);
    const auto oneDeep = bandLine("o", 11, 12, 21);
    const auto deep = bandLine("d", 10, 12, 20);
    const auto deeper = bandLine("e", 20, 12, 30);
    const auto after = bandLine("f", 32, 12, 42); // touches the last bottom
    EXPECT_TRUE(QXDocxRunTextLine::FindOverlapRunTextLineY({a, touching}).empty());
    EXPECT_TRUE(QXDocxRunTextLine::FindOverlapRunTextLineY({a, oneDeep}).empty());
    EXPECT_EQ(textsOf(QXDocxRunTextLine::FindOverlapRunTextLineY({a, deep, deeper, after})),
              (Texts{"a", "d", "e"}));
    EXPECT_TRUE(QXDocxRunTextLine::FindOverlapRunTextLineY({a}).empty());
}

TEST(QXDocxRunTextLineGroupsTest, ContinuityChainMatchesTheWholeListTestOnEveryTry)
{
    // The chain keeps its runs indexed; it must pick exactly the lines that
    // the test over all the chain's runs picks, including chains whose first
    // line is broken and mended by a later line, equal drawing indices and
    // lines without runs.
    std::mt19937 random(20261211);
    for (int round = 0; round < 300; ++round) {
        QXDocxRunTextLineArray lines;
        const int lineCount = 2 + static_cast<int>(random() % 6);
        for (int l = 0; l < lineCount; ++l) {
            std::vector<TestRunShape> shapes;
            const int runCount = static_cast<int>(random() % 4);
            for (int r = 0; r < runCount; ++r) {
                const std::uint64_t scan = random() % 8;
                const std::uint64_t text = random() % 8;
                shapes.push_back({"r", 20.0 * r, 20.0 * r + 10, 12.0 * l, 12, 12.0 * l + 10, scan, text});
            }
            lines.push_back(makeLine(shapes));
        }
        // The plain definition: try each line by testing all runs again.
        const auto sorted = QXDocxRunTextLine::SortRunTextLineArrayByIndex(lines);
        QXDocxRunTextLineArray expected{sorted.front()};
        for (std::size_t i = 1; i < sorted.size(); ++i) {
            expected.push_back(sorted[i]);
            if (!QXDocxRunTextLine::IsRunLineArrayPDFTextIndexContinuous(expected))
                expected.pop_back();
        }
        expected = QXDocxRunTextLine::SortRunTextLineArrayByBaseY(expected);
        EXPECT_EQ(QXDocxRunTextLine::FindRunTextLineArrayContinuous(lines), expected) << "round " << round;
    }
}

TEST(QXDocxRunTextLineGroupsTest, SplitMatchesTheGreedyGroupTestOnEveryTry)
{
    // The split finds each group's next run through an index by text
    // order; it must give the groups the plain greedy test gives, with
    // equal drawing indices and repeated text indices.
    std::mt19937 random(1211);
    for (int round = 0; round < 300; ++round) {
        std::vector<TestRunShape> shapes;
        const int runCount = 2 + static_cast<int>(random() % 9);
        for (int r = 0; r < runCount; ++r) {
            const std::uint64_t scan = random() % 10;
            const std::uint64_t text = random() % 10;
            shapes.push_back({std::to_string(r) + ",", 20.0 * r, 20.0 * r + 10, 0, 12, 10, scan, text});
        }
        const auto line = makeLine(shapes);
        // The plain definition.
        QXDocxRunTextArray remaining = QXDocxRunTextLine::SortRunTextArrayByIndex(line->runTextArray());
        std::vector<std::vector<std::string>> expected;
        while (!remaining.empty()) {
            QXDocxRunTextArray group{remaining.front()};
            QXDocxRunTextArray rest;
            for (std::size_t i = 1; i < remaining.size(); ++i) {
                group.push_back(remaining[i]);
                QXDocxRunTextArray tried = group;
                if (!QXDocxRunTextLine::IsRunTextArrayPDFTextIndexContinuous(tried)) {
                    group.pop_back();
                    rest.push_back(remaining[i]);
                }
            }
            expected.push_back(runTextsOf(QXDocxRunTextLine::SortRunTextArrayByIndex(group)));
            remaining = rest;
        }
        // The new lines keep their groups' runs (these runs never join:
        // their frames are 10 points apart), by baseline (all equal).
        std::vector<std::vector<std::string>> actual;
        for (const auto& part : QXDocxRunTextLine::SplitRunTextLineForContinuous(line))
            actual.push_back(runTextsOf(QXDocxRunTextLine::SortRunTextArrayByIndex(part->runTextArray())));
        EXPECT_EQ(actual, expected) << "round " << round;
    }
}
