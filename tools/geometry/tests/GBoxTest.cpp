#include "GBox.h"

#include <gtest/gtest.h>

#include <climits>
#include <type_traits>
#include <vector>

namespace {

template <class Box> struct BoxValue;
template <> struct BoxValue<GDoubleBox> { using Type = double; };
template <> struct BoxValue<GIntBox> { using Type = int; };

template <class Box> std::vector<int> Coords(const Box& coBox)
{
    return { int(coBox[0]), int(coBox[1]), int(coBox[2]), int(coBox[3]) };
}

// The whole-number behaviour is the same for both boxes.
template <class Box> class GBoxTest : public ::testing::Test {
protected:
    using V = typename BoxValue<Box>::Type;
    static Box Make(int nX1, int nY1, int nX2, int nY2) { return Box(V(nX1), V(nY1), V(nX2), V(nY2)); }
};

using BoxTypes = ::testing::Types<GDoubleBox, GIntBox>;
TYPED_TEST_SUITE(GBoxTest, BoxTypes);

TYPED_TEST(GBoxTest, ExtentAndEmptiness)
{
    struct Case { int x1, y1, x2, y2; int empty; int width, height; };
    const Case cases[] = {
        { 3, 3, 3, 3, 1, 0, 0 }, { 1, 0, 1, 5, 0, 0, 5 },     // a line is not empty
        { 5, 6, 1, 2, 0, -4, -4 },   // unsorted: signed extents
    };
    for (const Case& c : cases) {
        TypeParam coBox = TestFixture::Make(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(coBox.IsEmpty(), c.empty) << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2;
        EXPECT_EQ(int(coBox.Width()), c.width);
        EXPECT_EQ(int(coBox.Height()), c.height);
    }
}

TYPED_TEST(GBoxTest, ModificationsReturnTheBox)
{
    // Values come from arrays too; a null array changes nothing.
    using V = typename TestFixture::V;
    const V aValues[4] = { 5, 6, 1, 2 };
    const V* pNull = nullptr;
    TypeParam coBox(aValues);
    coBox = pNull;
    EXPECT_EQ(Coords(TypeParam(pNull)), (std::vector<int> { 0, 0, 0, 0 }));
    EXPECT_EQ(std::vector<int>({ int(coBox.GetX1()), int(coBox.GetY1()), int(coBox.GetX2()), int(coBox.GetY2()) }),
              (std::vector<int> { 5, 6, 1, 2 }));
    EXPECT_EQ(Coords(coBox.Sort()), (std::vector<int> { 1, 2, 5, 6 }));
    EXPECT_EQ(Coords(coBox.Resize(2)), (std::vector<int> { -1, 0, 7, 8 }));
    EXPECT_EQ(Coords(coBox.Resize(-3)), (std::vector<int> { 2, 3, 4, 5 }));
    EXPECT_EQ(Coords(coBox.TurnY()), (std::vector<int> { 2, 5, 4, 3 }));
    TypeParam coPartly = TestFixture::Make(4, 1, 2, 3);
    EXPECT_EQ(Coords(coPartly.Sort()), (std::vector<int> { 2, 1, 4, 3 }));
    EXPECT_TRUE(coBox.Empty().IsEmpty());
}

TYPED_TEST(GBoxTest, IsInInclusiveAndStrict)
{
    using V = typename TestFixture::V;
    struct Case { int x, y; int inclusive, strict; };
    const Case cases[] = {
        { 2, 2, 1, 1 }, { 0, 0, 1, 0 }, { 4, 3, 1, 0 }, { -1, 2, 0, 0 }, { 2, 4, 0, 0 },
    };
    TypeParam coBox = TestFixture::Make(0, 0, 4, 3);
    for (const Case& c : cases) {
        EXPECT_EQ(coBox.IsIn(V(c.x), V(c.y), 1), c.inclusive) << c.x << "," << c.y;
        EXPECT_EQ(coBox.IsIn(V(c.x), V(c.y), 0), c.strict) << c.x << "," << c.y;
    }
}

TYPED_TEST(GBoxTest, ContainmentAndOverlap)
{
    struct Case { int x1, y1, x2, y2; int full, part; };
    const TypeParam coOuter = TestFixture::Make(0, 0, 10, 10);
    const Case cases[] = {
        { 0, 3, 10, 4, 1, 1 },      // border to border
        { 10, 10, 12, 12, 0, 1 },   // touching at a corner
        { -2, 4, 12, 6, 0, 1 },     // crossing: wider but flatter
        { 11, 0, 12, 10, 0, 0 },    // right of it
        { 0, -3, 10, -1, 0, 0 },    // below it
    };
    for (const Case& c : cases) {
        TypeParam coInner = TestFixture::Make(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(coInner.IsInFull(coOuter), c.full) << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2;
        EXPECT_EQ(coInner.IsInPart(coOuter), c.part) << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2;
        EXPECT_EQ(coOuter.IsInPart(coInner), c.part) << "reversed " << c.x1 << "," << c.y1;
        EXPECT_EQ(coInner.IsInPart(static_cast<const typename TestFixture::V*>(coOuter)), c.part);
    }
    const typename TestFixture::V* pNull = nullptr;
    EXPECT_EQ(coOuter.IsInFull(pNull), 0);
    EXPECT_EQ(coOuter.IsInPart(pNull), 0);
}

TYPED_TEST(GBoxTest, UnionTakesTheOuterCorners)
{
    using V = typename TestFixture::V;
    TypeParam coA = TestFixture::Make(0, 2, 4, 6);
    const TypeParam coB = TestFixture::Make(-1, 3, 3, 9);
    EXPECT_EQ(Coords(coA + coB), (std::vector<int> { -1, 2, 4, 9 }));
    const V aValues[4] = { 1, -5, 8, 1 };
    EXPECT_EQ(Coords(coA + aValues), (std::vector<int> { 0, -5, 8, 6 }));
    EXPECT_EQ(Coords(coA += coB), (std::vector<int> { -1, 2, 4, 9 }));
    coA += aValues;
    EXPECT_EQ(Coords(coA), (std::vector<int> { -1, -5, 8, 9 }));
    const V* pNull = nullptr;
    coA += pNull;
    EXPECT_EQ(Coords(coA), (std::vector<int> { -1, -5, 8, 9 }));
}

TYPED_TEST(GBoxTest, DivideLaysRowsOfCells)
{
    struct Case { short n; short direction; std::vector<std::vector<int>> cells; };
    const Case cases[] = {
        { 5, 0, { { 0, 0, 2, 2 }, { 2, 0, 4, 2 }, { 4, 0, 6, 2 }, { 0, 2, 3, 4 }, { 3, 2, 6, 4 } } },
        { 5, 1, { { 0, 2, 2, 4 }, { 2, 2, 4, 4 }, { 4, 2, 6, 4 }, { 0, 0, 3, 2 }, { 3, 0, 6, 2 } } },
        { 1, 1, { { 0, 0, 6, 4 } } }, { 4, 2, { { 0, 0, 3, 2 }, { 3, 0, 6, 2 }, { 0, 2, 3, 4 }, { 3, 2, 6, 4 } } },
    };
    const TypeParam coBox = TestFixture::Make(0, 0, 6, 4);
    for (const Case& c : cases) {
        std::vector<TypeParam> coCells(c.n + 1, TestFixture::Make(-7, -7, -7, -7));
        EXPECT_EQ(coBox.Divide(c.n, coCells.data(), c.direction), 1);
        for (short i = 0; i < c.n; ++i)
            EXPECT_EQ(Coords(coCells[i]), c.cells[i]) << "n " << c.n << " dir " << c.direction << " cell " << i;
        EXPECT_EQ(Coords(coCells[c.n]), (std::vector<int> { -7, -7, -7, -7 })) << "written past n";
    }

    // Outside the contract: nothing is written.
    TypeParam coCell = TestFixture::Make(1, 1, 1, 1);
    EXPECT_EQ(coBox.Divide(0, &coCell, 0) + coBox.Divide(2, nullptr, 0), 0);
    EXPECT_EQ(Coords(coCell), (std::vector<int> { 1, 1, 1, 1 }));
}

TEST(GDoubleBoxTest, RealMiddleAndCells)
{
    double dX = 0, dY = 0;
    GDoubleBox(1, 2, 4, 7).Middle(&dX, &dY);
    EXPECT_DOUBLE_EQ(dX, 2.5);
    EXPECT_DOUBLE_EQ(dY, 4.5);
    GDoubleBox(0, 0, 2, 2).Middle(&dX, nullptr);
    EXPECT_DOUBLE_EQ(dX, 1.0);

    GDoubleBox coCells[2];
    ASSERT_EQ(GDoubleBox(0, 0, 7, 5).Divide(2, coCells, 0), 1);
    EXPECT_DOUBLE_EQ(coCells[0][2] + coCells[1][0], 7.0);

    // Fractional inclusive borders.
    GDoubleBox coBox(0, 0, 1, 1);
    EXPECT_EQ(coBox.IsIn(1.0, 0.5, 1), 1);
    EXPECT_EQ(coBox.IsIn(1.0000001, 0.5, 1), 0);
}

TEST(GIntBoxTest, IntegerMiddleCellsAndLimits)
{
    int nX = 0, nY = 0;
    GIntBox(-4, -7, -1, -2).Middle(&nX, &nY);
    EXPECT_EQ(nX * 10 + nY, -35);

    // Integer cell widths: the remainder stays at the far side.
    GIntBox coCells[2];
    ASSERT_EQ(GIntBox(0, 0, 7, 5).Divide(2, coCells, 0), 1);
    EXPECT_EQ(Coords(coCells[0]), (std::vector<int> { 0, 0, 3, 5 }));
    EXPECT_EQ(Coords(coCells[1]), (std::vector<int> { 3, 0, 6, 5 }));

    // Spans of the whole int range neither overflow nor wrap.
    GIntBox coHuge(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(coHuge.Width(), INT_MAX);
    EXPECT_EQ(coHuge.Height(), INT_MAX);
    coHuge.Middle(&nX, &nY);
    EXPECT_EQ(nX * 10 + nY, -11);
    EXPECT_EQ(Coords(coHuge.Resize(5)), (std::vector<int> { INT_MIN, INT_MIN, INT_MAX, INT_MAX }));
    EXPECT_EQ(Coords(GIntBox(0, 0, 1, 1).Resize(INT_MIN)), (std::vector<int> { INT_MAX, INT_MAX, INT_MIN + 1, INT_MIN + 1 }));
    GIntBox coQuarters[4];
    ASSERT_EQ(GIntBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX).Divide(4, coQuarters, 0), 1);
    EXPECT_EQ(Coords(coQuarters[3]), (std::vector<int> { -1, -1, INT_MAX - 1, INT_MAX - 1 }));
}

} // namespace
