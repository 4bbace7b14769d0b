#include "KwRect.h"

#include <gtest/gtest.h>

TEST(KwPairTest, ArithmeticWrapsLikeSixteenBitCoordinates)
{
    KwPoint coPoint(32767, -32768);
    coPoint += KwPair(1, -1);
    EXPECT_EQ(coPoint, KwPoint(-32768, 32767));
    EXPECT_EQ(KwPoint(3, 4) - KwPair(1, 6), KwPoint(2, -2));
    EXPECT_EQ(KwSize(10, 20) + KwPair(5, 5), KwSize(15, 25));
    EXPECT_NE(KwPoint(1, 2), KwPoint(2, 1));
    KwSize coSize;
    coSize.SetWidth(7);
    coSize.SetHeight(-3);
    EXPECT_EQ(coSize.Width(), 7);
    EXPECT_EQ(coSize.Height(), -3);
}

TEST(KwRectTest, SetFormsAgree)
{
    const KwRect coFour(10, 20, 40, 60);
    EXPECT_EQ(KwRect(KwPoint(10, 20), KwPoint(40, 60)), coFour);
    EXPECT_EQ(KwRect(KwPoint(10, 20), KwSize(30, 40)), coFour);
    EXPECT_EQ(coFour.Width(), 30);
    EXPECT_EQ(coFour.Height(), 40);
    EXPECT_EQ(coFour.Size(), KwSize(30, 40));
    EXPECT_EQ(coFour.MiddlePos(), KwPoint(25, 40));
    KwPoint coTopLeft;
    KwPoint coBottomRight;
    coFour.MakePoints(coTopLeft, coBottomRight);
    EXPECT_EQ(coTopLeft, KwPoint(10, 20));
    EXPECT_EQ(coBottomRight, KwPoint(40, 60));
}

TEST(KwRectTest, RightAndBottomEdgesLieOutside)
{
    const KwRect coRect(0, 0, 10, 5);
    EXPECT_TRUE(coRect.PtInRect(KwPoint(0, 0)));
    EXPECT_TRUE(coRect.PtInRect(KwPoint(9, 4)));
    EXPECT_FALSE(coRect.PtInRect(KwPoint(10, 4)));
    EXPECT_FALSE(coRect.PtInRect(KwPoint(9, 5)));
    EXPECT_FALSE(coRect.PtInRect(KwPoint(-1, 0)));
    EXPECT_FALSE(coRect.IsEmpty());
    EXPECT_TRUE(KwRect(5, 5, 5, 9).IsEmpty());
    EXPECT_TRUE(KwRect(5, 5, 9, 4).IsEmpty());
}

TEST(KwRectTest, IntersectAnswersWhetherTheRectanglesMeet)
{
    KwRect coRect(0, 0, 10, 10);
    EXPECT_EQ(coRect.Intersect(KwRect(5, -5, 20, 5)), 1);
    EXPECT_EQ(coRect, KwRect(5, 0, 10, 5));

    KwRect coApart(0, 0, 10, 10);
    EXPECT_EQ(coApart.Intersect(KwRect(10, 0, 20, 10)), 0);   // touching edges do not meet
    EXPECT_EQ(coApart, KwRect());
}

TEST(KwRectTest, MoveResizeSortAndEmpty)
{
    KwRect coRect(10, 10, 20, 30);
    coRect.Move(5, -5);
    EXPECT_EQ(coRect, KwRect(15, 5, 25, 25));
    coRect.Resize(2);
    EXPECT_EQ(coRect, KwRect(13, 3, 27, 27));
    coRect.Resize(-3);
    EXPECT_EQ(coRect, KwRect(16, 6, 24, 24));
    KwRect coUnsorted(30, 40, 10, 20);
    coUnsorted.Sort();
    EXPECT_EQ(coUnsorted, KwRect(10, 20, 30, 40));
    coUnsorted.Empty();
    EXPECT_EQ(coUnsorted, KwRect(0, 0, 0, 0));
}
