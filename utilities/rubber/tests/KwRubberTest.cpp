#include "KwDC.h"
#include "KwFakeSystem.h"
#include "KwRubberShapes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::string PointText(const KwPoint& coPoint)
{
    return std::to_string(coPoint.X()) + "," + std::to_string(coPoint.Y());
}

std::string RectText(const KwRect& coRect)
{
    return PointText(coRect.TopLeft()) + "-" + PointText(coRect.BottomRight());
}

// The recording window system, with the line drawing that rubber bands
// use: every figure is one log line, so that a figure drawn twice (and so
// erased by the exclusive-or pen) shows as a pair.
class TRubberSystem : public KwFakeSystem {
public:
    int nRop { 13 };
    std::vector<std::string> coFigures;

    int MoveTo(KwHandle, const KwPoint& coPoint) override { m_coFrom = coPoint; return 1; }
    int LineTo(KwHandle, const KwPoint& coPoint) override { return Figure("line " + PointText(m_coFrom) + " " + PointText(coPoint)); }
    int Rectangle(KwHandle, const KwRect& coRect) override { return Figure("rect " + RectText(coRect)); }
    int Ellipse(KwHandle, const KwRect& coRect) override { return Figure("ellipse " + RectText(coRect)); }
    int ArcShape(KwHandle, int, const KwRect& coRect, const KwPoint&, const KwPoint&) override { return Figure("arc " + RectText(coRect)); }
    int Polyline(KwHandle, const KwPoint* pcoPoints, short nCount) override
    {
        std::string strFigure = "polyline";
        for (short i = 0; i < nCount; ++i)
            strFigure += " " + PointText(pcoPoints[i]);
        return Figure(strFigure);
    }
    int SetROP2(KwHandle, int nMode) override { const int nOld = nRop; nRop = nMode; return nOld; }
    int GetROP2(KwHandle) const override { return nRop; }

    // Figures drawn an odd number of times: what is still on the screen.
    std::vector<std::string> Shown() const
    {
        std::map<std::string, int> coCount;
        for (const std::string& strFigure : coFigures)
            ++coCount[strFigure];
        std::vector<std::string> coShown;
        for (const auto& [strFigure, nCount] : coCount) {
            if (nCount % 2)
                coShown.push_back(strFigure);
        }
        return coShown;
    }

private:
    int Figure(const std::string& strFigure)
    {
        coFigures.push_back(strFigure + (nRop == KwRubber::RasterXor ? "" : " (not xor)"));
        return 1;
    }
    KwPoint m_coFrom;
};

class KwRubberTest : public ::testing::Test {
protected:
    TRubberSystem coSys;
    KwScreenDC coDC { 1 };
};

} // namespace

TEST(KwRubberAlignTest, AlignOnGridRoundsToTheNearestStep)
{
    KwRubber coRubber(7, 1, 0);
    EXPECT_EQ(coRubber.AlignOnGrid(KwPoint(14, 3)), KwPoint(14, 3));   // no grid yet
    coRubber.SetGrid(10, 1);
    EXPECT_TRUE(coRubber.HasGrid());
    const struct { short nIn, nOut; } s_aCases[] = {
        { 14, 10 }, { 15, 10 }, { 16, 20 }, { 20, 20 }, { 0, 0 }, { -4, 0 }, { -5, 0 }, { -6, -10 }, { 32766, 32770 - 65536 },
    };
    for (const auto& coCase : s_aCases)
        EXPECT_EQ(coRubber.AlignOnGrid(KwPoint(coCase.nIn, 7)), KwPoint(coCase.nOut, 7)) << coCase.nIn;
    coRubber.SetGridAlignPair(KwPair(3, 0));
    coRubber.SetGridY(4);
    EXPECT_EQ(coRubber.AlignOnGrid(KwPoint(19, 7)), KwPoint(23, 8));
}

TEST_F(KwRubberTest, LineFollowsThePointerAndEndLeavesTheScreenAsItWas)
{
    KwRubberLine coLine(7, 6, 3);
    EXPECT_EQ(coLine.StartMove(coDC, KwPoint(100, -10000), KwPoint(100, 10000), KwPoint(98, 50)), 1);
    EXPECT_EQ(coSys.Shown(), std::vector<std::string>({ "line 100,-10000 100,10000" }));
    coLine.Show(coDC, KwPoint(120, 60));
    coLine.Show(coDC, KwPoint(90, 70));
    EXPECT_EQ(coSys.Shown(), std::vector<std::string>({ "line 92,-9980 92,10020" }));
    EXPECT_EQ(coSys.nRop, 13);   // the context's mode is given back
    KwPoint coFix1, coFix2, coChanged;
    EXPECT_EQ(coLine.End(coDC, coFix1, coFix2, coChanged), 1);
    EXPECT_EQ(coFix1, KwPoint(98, 50));   // a move's first fixed point is where the pointer started
    EXPECT_TRUE(coSys.Shown().empty());
    EXPECT_EQ(coSys.coFigures.size(), 6u);
    EXPECT_EQ(coLine.GetLinePoint1(), KwPoint(92, -9980));
    EXPECT_EQ(coLine.GetLinePoint2(), KwPoint(92, 10020));
    EXPECT_FALSE(coLine.IsStarted());
    EXPECT_EQ(coLine.End(coDC), 0);   // an idle rubber does nothing
    EXPECT_EQ(coSys.coFigures.size(), 6u);
}

TEST_F(KwRubberTest, NewFigureGrowsOnTheGridAndPausesHoldIt)
{
    KwRubberLine coLine(7, 1, 0);
    coLine.SetGrid(10, 10);
    coLine.BeginPause();                   // idle: no pause
    EXPECT_FALSE(coLine.IsPaused());
    coLine.StartNew(coDC, KwPoint(12, 19));
    EXPECT_TRUE(coSys.coFigures.empty());  // nothing until Show
    coLine.Show(coDC, KwPoint(44, 44));
    coLine.Show(coDC, KwPoint(42, 41));    // the same grid point: nothing changes
    EXPECT_EQ(coSys.coFigures, std::vector<std::string>({ "line 10,20 40,40" }));
    coLine.BeginPause();
    coLine.Show(coDC, KwPoint(80, 80));
    EXPECT_EQ(coSys.coFigures.size(), 1u);
    coLine.EndPause();
    coLine.Show(coDC, KwPoint(66, 80));
    coLine.End(coDC);
    EXPECT_TRUE(coSys.Shown().empty());
    EXPECT_EQ(coLine.GetLinePoint2(), KwPoint(70, 80));
}

TEST_F(KwRubberTest, ChangeMovesOnlyByWholeGridSteps)
{
    KwRubberLine coLine(7, 1, 0);
    coLine.SetGrid(10, 10);
    coLine.StartChange(coDC, KwPoint(0, 0), KwPoint(21, 29), KwPoint(21, 29));
    coLine.Show(coDC, KwPoint(29, 35));    // less than a step: nothing
    coLine.Show(coDC, KwPoint(43, 35));    // two steps right, none down
    coLine.End(coDC);
    EXPECT_EQ(coSys.coFigures, std::vector<std::string>({ "line 0,0 20,30", "line 0,0 20,30", "line 0,0 40,30", "line 0,0 40,30" }));
    EXPECT_EQ(coLine.GetResultChange(), KwPoint(40, 30));
}

// A rectangle is changed by a corner (the opposite one stays) or an edge
// (the opposite edge stays); any other grip starts nothing.
TEST_F(KwRubberTest, RectangleGripsCornersAndEdges)
{
    const KwRect coRect(10, 10, 50, 40);
    const struct { KwPoint coGrip; int nStarts; const char* pszResult; } s_aCases[] = {
        { KwPoint(10, 10), 1, "15,15-50,40" },   // top-left corner
        { KwPoint(50, 40), 1, "10,10-56,46" },   // bottom-right corner, as stored
        { KwPoint(10, 25), 1, "15,10-50,40" },   // left edge: only x follows
        { KwPoint(30, 40), 1, "10,10-50,46" },   // bottom edge: only y follows
        { KwPoint(30, 25), 0, "" },              // inside
        { KwPoint(60, 10), 0, "" },              // outside
    };
    for (const auto& coCase : s_aCases) {
        KwRubberRect coRubber(7, 1, 0);
        EXPECT_EQ(coRubber.StartChange(coDC, coRect, coCase.coGrip, coCase.coGrip), coCase.nStarts) << PointText(coCase.coGrip);
        if (!coCase.nStarts)
            continue;
        coRubber.Show(coDC, coCase.coGrip + KwPair(5, 5));
        EXPECT_EQ(coRubber.End(coDC), 1);
        EXPECT_EQ(RectText(coRubber.GetRect()), coCase.pszResult) << PointText(coCase.coGrip);
    }
    KwRubberRect coMoved(7, 1, 0);
    coMoved.StartMove(coDC, coRect, KwPoint(0, 0));
    coMoved.Show(coDC, KwPoint(3, -2));
    coMoved.End(coDC);
    EXPECT_EQ(coMoved.GetRect(), KwRect(13, 8, 53, 38));
    EXPECT_TRUE(coSys.Shown().empty());
}

TEST_F(KwRubberTest, CircleAndEllipseReportTheirGeometry)
{
    KwRubberCircle coCircle(7, 1, 0);
    EXPECT_EQ(coCircle.StartChange(coDC, KwPoint(100, 100), 20.0, KwPoint(100, 100)), 0);   // pointer at the centre
    EXPECT_EQ(coCircle.StartChange(coDC, KwPoint(100, 100), 20.0, KwPoint(100, 50)), 1);    // above: on the circle upwards
    EXPECT_EQ(coSys.Shown(), std::vector<std::string>({ "arc 80,80-120,120" }));
    coCircle.Show(coDC, KwPoint(100, 40));
    coCircle.End(coDC);
    EXPECT_EQ(coCircle.GetRadius(), 30.0);
    EXPECT_EQ(coCircle.GetRect(), KwRect(70, 70, 130, 130));
    coCircle.StartMove(coDC, KwRect(0, 0, 40, 40), KwPoint(0, 0));
    coCircle.Show(coDC, KwPoint(10, 5));
    coCircle.End(coDC);
    EXPECT_EQ(coCircle.GetMidPoint(), KwPoint(30, 25));

    KwRubberEllipse coEllipse(7, 1, 0);
    coEllipse.StartChange(coDC, KwRect(0, 0, 40, 20), KwPoint(40, 20));
    coEllipse.Show(coDC, KwPoint(50, 26));
    coEllipse.End(coDC);
    EXPECT_EQ(coEllipse.GetMidPoint(), KwPoint(20, 10));
    EXPECT_EQ(coEllipse.GetXRadius(), 30);
    EXPECT_EQ(coEllipse.GetYRadius(), 16);
    coEllipse.StartNew(coDC, KwPoint(50, 50));
    coEllipse.Show(coDC, KwPoint(60, 55));
    coEllipse.End(coDC);
    EXPECT_EQ(coEllipse.GetRect(), KwRect(40, 45, 60, 55));
    EXPECT_TRUE(coSys.Shown().empty());
}

// A vertex between two fixed neighbours follows the pointer; a moved
// polyline reports the whole movement of the pointer.
TEST_F(KwRubberTest, PolylineMovesAVertexOrTheWholeLine)
{
    KwRubberPolyline coPolyline(7, 1, 0);
    coPolyline.StartChange(coDC, KwPoint(0, 0), KwPoint(40, 0), KwPoint(20, 10), KwPoint(20, 10));
    coPolyline.Show(coDC, KwPoint(25, 30));
    EXPECT_EQ(coSys.Shown(), std::vector<std::string>({ "polyline 0,0 25,30 40,0" }));
    coPolyline.End(coDC);
    EXPECT_EQ(coPolyline.GetMovedPoint(), KwPoint(25, 30));
    const KwPoint acoPoints[3] = { KwPoint(0, 0), KwPoint(10, 10), KwPoint(20, 0) };
    coPolyline.StartMove(coDC, acoPoints, 3, KwPoint(5, 5));
    coPolyline.Show(coDC, KwPoint(8, 1));
    EXPECT_EQ(coSys.Shown(), std::vector<std::string>({ "polyline 3,-4 13,6 23,-4" }));
    coPolyline.End(coDC);
    EXPECT_EQ(coPolyline.GetMovedPoint(), KwPoint(3, -4));
    EXPECT_TRUE(coSys.Shown().empty());
}
