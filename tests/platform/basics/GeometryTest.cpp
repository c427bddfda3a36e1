#include "platform/geometry/Geometry.h"
#include "platform/geometry/Path.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace rz;

namespace {

void expectAffine(const Affine& t, const Affine& e)
{
    EXPECT_NEAR(t.a, e.a, 1e-9);
    EXPECT_NEAR(t.b, e.b, 1e-9);
    EXPECT_NEAR(t.c, e.c, 1e-9);
    EXPECT_NEAR(t.d, e.d, 1e-9);
    EXPECT_NEAR(t.tx, e.tx, 1e-9);
    EXPECT_NEAR(t.ty, e.ty, 1e-9);
}

} // namespace

TEST(Affine, ConcatAppliesFirstArgumentFirst)
{
    const Affine scale2 = Affine::makeScale(2, 2);
    const Affine move10 = Affine::makeTranslation(10, 0);
    // Scale then move: (1,1) -> (2,2) -> (12,2).
    EXPECT_EQ(apply(Point{1, 1}, concat(scale2, move10)), (Point{12, 2}));
    // Move then scale: (1,1) -> (11,1) -> (22,2).
    EXPECT_EQ(apply(Point{1, 1}, concat(move10, scale2)), (Point{22, 2}));
}

TEST(Affine, OperationsPrependToTheTransform)
{
    const Affine base = Affine::makeTranslation(100, 0);
    // translate() applies its move before `base`.
    expectAffine(translate(base, 5, 5), concat(Affine::makeTranslation(5, 5), base));
    expectAffine(scale(base, 2, 3), concat(Affine::makeScale(2, 3), base));
    EXPECT_EQ(apply(Point{1, 0}, scale(base, 2, 3)), (Point{102, 0}));
    const Point r = apply(Point{1, 0}, rotate(Affine{}, M_PI / 2));
    EXPECT_NEAR(r.x, 0, 1e-12);
    EXPECT_NEAR(r.y, 1, 1e-12);
}

TEST(Affine, InvertAndSingular)
{
    const Affine t{2, 1, -1, 3, 5, 7};
    expectAffine(concat(t, invert(t)), Affine{});
    const Affine singular{1, 2, 2, 4, 3, 3};
    EXPECT_EQ(invert(singular), singular);
}

TEST(Rect, NullEmptyAndInfinite)
{
    struct Case {
        Rect r;
        bool null, empty, infinite;
    } cases[] = {
        {Rect::null(), true, true, false},
        {Rect(0, 0, 0, 0), false, true, false},
        {Rect(5, 5, 0, 10), false, true, false},
        {Rect(0, 0, 1, 1), false, false, false},
        {Rect(0, 0, -1, -1), false, false, false},
        {Rect::infinite(), false, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.r.isNull(), c.null);
        EXPECT_EQ(c.r.isEmpty(), c.empty);
        EXPECT_EQ(c.r.isInfinite(), c.infinite);
    }
}

TEST(Rect, StandardizedAndEdges)
{
    const Rect r(10, 20, -4, -6);
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.minY(), 14);
    EXPECT_EQ(r.maxY(), 20);
    const Rect s = r.standardized();
    EXPECT_EQ(s.origin, (Point{6, 14}));
    EXPECT_EQ(s.size, (Size{4, 6}));
    EXPECT_EQ(r, s);
}

TEST(Rect, UnionTreatsNullAndEmptyApart)
{
    const Rect a(10, 10, 5, 5);
    struct Case {
        Rect x, y, expect;
    } cases[] = {
        {Rect::null(), a, a},
        {a, Rect::null(), a},
        // An empty but not null rectangle still stretches the union.
        {Rect(0, 0, 0, 0), a, Rect(0, 0, 15, 15)},
        {a, Rect(20, 0, 0, 0), Rect(10, 0, 10, 15)},
        {Rect(0, 0, -2, -2), Rect(1, 1, 1, 1), Rect(-2, -2, 4, 4)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.x.unionWith(c.y), c.expect);
    EXPECT_TRUE(Rect::null().unionWith(Rect::null()).isNull());
}

TEST(Rect, IntersectionAndTouchingEdges)
{
    const Rect a(0, 0, 10, 10);
    struct Case {
        Rect b;
        bool null;
        Rect expect;
        bool intersects;
    } cases[] = {
        {Rect(5, 5, 10, 10), false, Rect(5, 5, 5, 5), true},
        // Sharing an edge gives a zero-width rectangle, not the null one,
        // and does not count as intersecting.
        {Rect(10, 0, 5, 10), false, Rect(10, 0, 0, 10), false},
        {Rect(0, 10, 10, 5), false, Rect(0, 10, 10, 0), false},
        {Rect(11, 0, 5, 5), true, Rect::null(), false},
        {Rect::null(), true, Rect::null(), false},
        {Rect(2, 2, 2, 2), false, Rect(2, 2, 2, 2), true},
    };
    for (const Case& c : cases) {
        const Rect i = a.intersection(c.b);
        EXPECT_EQ(i.isNull(), c.null);
        EXPECT_EQ(i, c.expect);
        EXPECT_EQ(a.intersects(c.b), c.intersects);
    }
}

TEST(Rect, PointContainmentExcludesMaximumEdges)
{
    const Rect r(0, 0, 10, 10);
    struct Case {
        Point p;
        bool inside;
    } cases[] = {
        {{0, 0}, true}, {{5, 5}, true}, {{9.999, 9.999}, true},
        {{10, 5}, false}, {{5, 10}, false}, {{10, 10}, false}, {{-0.001, 5}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(r.contains(c.p), c.inside) << c.p.x << "," << c.p.y;
    EXPECT_FALSE(Rect::null().contains(Point{0, 0}));
    EXPECT_TRUE(r.contains(Rect(0, 0, 10, 10)));
    EXPECT_TRUE(r.contains(Rect(2, 2, 1, 1)));
    EXPECT_FALSE(r.contains(Rect(2, 2, 9, 1)));
}

TEST(Rect, InsetOffsetIntegralAndTransform)
{
    EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(2, 3), Rect(2, 3, 6, 4));
    EXPECT_TRUE(Rect(0, 0, 2, 2).insetBy(2, 0).isNull());
    EXPECT_EQ(Rect(0.5, 0.5, 1, 1).integral(), Rect(0, 0, 2, 2));
    EXPECT_EQ(Rect(0, 0, 10, 20).applying(Affine::makeScale(2, -1)), Rect(0, -20, 20, 20));
    EXPECT_TRUE(Rect::null().applying(Affine::makeScale(2, 2)).isNull());
}

TEST(Path, RectangleElementOrderAndBoxes)
{
    Path p;
    EXPECT_TRUE(p.isEmpty());
    EXPECT_TRUE(p.boundingBox().isNull());
    p.addRect(Rect(10, 20, 30, 40));
    ASSERT_EQ(p.elements().size(), 5u);
    const PathElementType order[] = {PathElementType::MoveToPoint, PathElementType::AddLineToPoint,
                                     PathElementType::AddLineToPoint,
                                     PathElementType::AddLineToPoint, PathElementType::CloseSubpath};
    const Point pts[] = {{10, 20}, {40, 20}, {40, 60}, {10, 60}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(p.elements()[i].type, order[i]);
        if (i < 4) {
            EXPECT_EQ(p.elements()[i].points[0], pts[i]);
        }
    }
    EXPECT_EQ(p.boundingBox(), Rect(10, 20, 30, 40));
    EXPECT_EQ(p.pathBoundingBox(), Rect(10, 20, 30, 40));
    EXPECT_EQ(p.currentPoint(), (Point{10, 20}));
    Rect r;
    EXPECT_TRUE(p.isRect(&r));
    EXPECT_EQ(r, Rect(10, 20, 30, 40));
}

TEST(Path, BoundingBoxIncludesControlPointsTightBoxDoesNot)
{
    Path p;
    p.moveTo({0, 0});
    p.curveTo({0, 100}, {100, 100}, {100, 0});
    EXPECT_EQ(p.boundingBox(), Rect(0, 0, 100, 100));
    const Rect tight = p.pathBoundingBox();
    EXPECT_NEAR(tight.minX(), 0, 1e-9);
    EXPECT_NEAR(tight.maxX(), 100, 1e-9);
    EXPECT_NEAR(tight.maxY(), 75, 1e-9); // the curve peaks at t = 0.5
    Path q;
    q.moveTo({0, 0});
    q.quadTo({50, 100}, {100, 0});
    EXPECT_NEAR(q.pathBoundingBox().maxY(), 50, 1e-9);
    EXPECT_EQ(q.boundingBox().maxY(), 100);
}

TEST(Path, EvenOddAndNonZeroContainment)
{
    // Two nested squares drawn in the same direction: the inner one is a
    // hole under even-odd, filled under nonzero.
    Path same;
    same.addRect(Rect(0, 0, 100, 100));
    same.addRect(Rect(25, 25, 50, 50));
    EXPECT_TRUE(same.contains({50, 50}, FillRule::NonZero));
    EXPECT_FALSE(same.contains({50, 50}, FillRule::EvenOdd));
    EXPECT_TRUE(same.contains({10, 10}, FillRule::EvenOdd));
    EXPECT_FALSE(same.contains({150, 50}, FillRule::NonZero));

    // The inner square drawn the other way round is a hole under both rules.
    Path opposite;
    opposite.addRect(Rect(0, 0, 100, 100));
    opposite.moveTo({25, 25});
    opposite.lineTo({25, 75});
    opposite.lineTo({75, 75});
    opposite.lineTo({75, 25});
    opposite.closeSubpath();
    EXPECT_FALSE(opposite.contains({50, 50}, FillRule::NonZero));
    EXPECT_FALSE(opposite.contains({50, 50}, FillRule::EvenOdd));

    // An open subpath is closed for filling.
    Path open;
    open.moveTo({0, 0});
    open.lineTo({10, 0});
    open.lineTo({10, 10});
    EXPECT_TRUE(open.contains({8, 2}));
    EXPECT_FALSE(open.contains({2, 8}));
}

TEST(Path, TransformedAndAddPath)
{
    Path p;
    p.addRect(Rect(0, 0, 1, 1));
    const Affine t = Affine::makeScale(10, 10);
    EXPECT_EQ(p.transformed(t).boundingBox(), Rect(0, 0, 10, 10));
    Path q;
    q.addRect(Rect(0, 0, 1, 1), &t);
    EXPECT_EQ(q, p.transformed(t));
}
