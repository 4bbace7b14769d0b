#include "GBox.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// The corners as "x1 y1 x2 y2", whole numbers.
template <class Box> std::string Coords(const Box& coBox)
{
    std::string strText;
    for (long long llValue : { coBox.GetX1(), coBox.GetY1(), coBox.GetX2(), coBox.GetY2() })
        strText += (strText.empty() ? "" : " ") + std::to_string(llValue);
    return strText;
}

// The whole-number behaviour is the same for both boxes.
template <class Box> class GBoxTest : public ::testing::Test {
protected:
    using V = std::decay_t<decltype(Box()[0])>;
    static Box Make(int nX1, int nY1, int nX2, int nY2) { return Box(V(nX1), V(nY1), V(nX2), V(nY2)); }
};

using BoxTypes = ::testing::Types<GDoubleBox, GIntBox>;
TYPED_TEST_SUITE(GBoxTest, BoxTypes);

TYPED_TEST(GBoxTest, ModificationsReturnTheBox)
{
    EXPECT_TRUE(TestFixture::Make(3, 3, 3, 3).IsEmpty());
    EXPECT_FALSE(TestFixture::Make(1, 0, 1, 5).IsEmpty());   // a line is not empty
    // Values come from arrays too; a null array changes nothing.
    using V = typename TestFixture::V;
    const V aValues[4] = { 5, 6, 1, 2 };
    const V* pNull = nullptr;
    TypeParam coBox(aValues);
    coBox = pNull;
    EXPECT_EQ(Coords(TypeParam(pNull)), "0 0 0 0");
    EXPECT_EQ(Coords(coBox), "5 6 1 2");
    EXPECT_EQ(int(std::as_const(coBox)[2]), 1);
    EXPECT_EQ(int(coBox.Width()) * 100 + int(coBox.Height()), -404);   // unsorted: signed extents
    EXPECT_EQ(Coords(coBox.Sort()), "1 2 5 6");
    EXPECT_EQ(Coords(coBox.Resize(2)), "-1 0 7 8");
    EXPECT_EQ(Coords(coBox.Resize(-3)), "2 3 4 5");
    EXPECT_EQ(Coords(coBox.TurnY()), "2 5 4 3");
    EXPECT_EQ(Coords(TestFixture::Make(4, 1, 2, 3).Sort()), "2 1 4 3");
    EXPECT_TRUE(coBox.Empty().IsEmpty());

    // Union: the outer corners.
    TypeParam coA = TestFixture::Make(0, 2, 4, 6);
    EXPECT_EQ(Coords(coA + TestFixture::Make(-1, 3, 3, 9)), "-1 2 4 9");
    const V aOther[4] = { 1, -5, 8, 1 };
    coA += pNull;
    EXPECT_EQ(Coords(coA + aOther), "0 -5 8 6");
}

TYPED_TEST(GBoxTest, PointsAndBoxesInside)
{
    using V = typename TestFixture::V;
    struct PointCase { int x, y; int inclusive, strict; };
    const PointCase pointCases[] = { { 2, 2, 1, 1 }, { 0, 0, 1, 0 }, { 4, 3, 1, 0 }, { -1, 2, 0, 0 }, { 2, 4, 0, 0 } };
    const TypeParam coSmall = TestFixture::Make(0, 0, 4, 3);
    for (const PointCase& c : pointCases) {
        EXPECT_EQ(coSmall.IsIn(V(c.x), V(c.y), 1), c.inclusive) << c.x << "," << c.y;
        EXPECT_EQ(coSmall.IsIn(V(c.x), V(c.y), 0), c.strict) << c.x << "," << c.y;
    }
    struct BoxCase { int x1, y1, x2, y2; int full, part; };
    const BoxCase boxCases[] = {
        { 0, 3, 10, 4, 1, 1 },      // border to border
        { 10, 10, 12, 12, 0, 1 },   // touching at a corner
        { -2, 4, 12, 6, 0, 1 },     // crossing: wider but flatter
        { 0, -3, 10, -1, 0, 0 },    // below it
    };
    const TypeParam coOuter = TestFixture::Make(0, 0, 10, 10);
    for (const BoxCase& c : boxCases) {
        SCOPED_TRACE(Coords(TestFixture::Make(c.x1, c.y1, c.x2, c.y2)));
        TypeParam coInner = TestFixture::Make(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(coInner.IsInFull(coOuter), c.full);
        EXPECT_EQ(coInner.IsInPart(coOuter), c.part);
        EXPECT_EQ(coOuter.IsInPart(coInner), c.part);
        EXPECT_EQ(coInner.IsInPart(static_cast<const V*>(coOuter)), c.part);
    }
    const V* pNull = nullptr;
    EXPECT_EQ(coOuter.IsInFull(pNull) + coOuter.IsInPart(pNull), 0);
}

TYPED_TEST(GBoxTest, DivideLaysRowsOfCells)
{
    const TypeParam coBox = TestFixture::Make(0, 0, 6, 4);
    std::vector<TypeParam> coCells(6, TestFixture::Make(-7, -7, -7, -7));
    EXPECT_EQ(coBox.Divide(5, coCells.data(), 1), 1);
    std::string strCells;
    for (const TypeParam& coCell : coCells)
        strCells += (strCells.empty() ? "" : "; ") + Coords(coCell);
    EXPECT_EQ(strCells, "0 2 2 4; 2 2 4 4; 4 2 6 4; 0 0 3 2; 3 0 6 2; -7 -7 -7 -7");
    // Outside the contract: nothing is written.
    TypeParam coCell = TestFixture::Make(1, 1, 1, 1);
    EXPECT_EQ(coBox.Divide(0, &coCell, 0) + coBox.Divide(2, nullptr, 0), 0);
    EXPECT_EQ(Coords(coCell), "1 1 1 1");
}

TEST(GDoubleBoxTest, RealMiddle)
{
    double dX = 0;
    GDoubleBox(1, 2, 4, 7).Middle(&dX, nullptr);
    EXPECT_DOUBLE_EQ(dX, 2.5);
}

TEST(GIntBoxTest, IntegerMiddleCellsAndLimits)
{
    int nX = 0, nY = 0;
    GIntBox(-4, -7, -1, -2).Middle(&nX, &nY);
    EXPECT_EQ(nX * 10 + nY, -35);
    // Integer cell widths: the remainder stays at the far side.
    GIntBox coCells[2];
    ASSERT_EQ(GIntBox(0, 0, 7, 5).Divide(2, coCells, 0), 1);
    EXPECT_EQ(Coords(coCells[0]) + "; " + Coords(coCells[1]), "0 0 3 5; 3 0 6 5");

    // Spans of the whole int range neither overflow nor wrap.
    GIntBox coHuge(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(coHuge.Width(), INT_MAX);
    EXPECT_EQ(coHuge.Height(), INT_MAX);
    coHuge.Middle(&nX, &nY);
    EXPECT_EQ(nX * 10 + nY, -11);
    EXPECT_EQ(Coords(coHuge.Resize(5)), Coords(GIntBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX)));
    EXPECT_EQ(Coords(GIntBox(0, 0, 1, 1).Resize(INT_MIN)), Coords(GIntBox(INT_MAX, INT_MAX, INT_MIN + 1, INT_MIN + 1)));
    GIntBox coQuarters[4];
    ASSERT_EQ(GIntBox(INT_MIN, INT_MIN, INT_MAX, INT_MAX).Divide(4, coQuarters, 0), 1);
    EXPECT_EQ(Coords(coQuarters[3]), Coords(GIntBox(-1, -1, INT_MAX - 1, INT_MAX - 1)));
}

} // namespace
