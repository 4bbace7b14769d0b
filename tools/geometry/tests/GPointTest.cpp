#include "GPoint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kEps = 1e-9;

#define EXPECT_POINT_NEAR(actual, ex, ey)          \
    do {                                           \
        GPoint coActual_ = (actual);               \
        EXPECT_NEAR(coActual_.x, (ex), kEps);      \
        EXPECT_NEAR(coActual_.y, (ey), kEps);      \
    } while (0)

double OnEllipse(const GPoint& coP, const GPoint& coCentre, double dA, double dB)
{
    double dX = (coP.x - coCentre.x) / dA, dY = (coP.y - coCentre.y) / dB;
    return dX * dX + dY * dY;
}

TEST(GPointTest, ArithmeticAndExactComparison)
{
    GPoint coP;
    EXPECT_EQ(coP, GPoint(0, 0));
    coP.Set(1.5, -2).XMove(0.5).YMove(1).Move(1, 1).Move(GPoint(-1, 0));
    EXPECT_EQ(coP, GPoint(2, 0));
    coP.SetX(4).SetY(6);
    EXPECT_EQ(coP + GPoint(1, 2), GPoint(5, 8));
    EXPECT_EQ(coP - GPoint(1, 2), GPoint(3, 4));
    EXPECT_EQ(coP * 0.5, GPoint(2, 3));
    EXPECT_EQ(0.5 * coP, GPoint(2, 3));
    EXPECT_EQ(coP / 2, GPoint(2, 3));
    coP += GPoint(1, 1);
    coP -= GPoint(0, 2);
    coP *= 2;
    coP /= 5;
    EXPECT_EQ(coP, GPoint(2, 2));
    EXPECT_NE(coP, GPoint().Set(GPoint(2, 2.0000000001)));
    EXPECT_NEAR(GPoint(1, 1).Distance(GPoint(4, 5)), 5.0, kEps);
}

TEST(GPointTest, CalcAngleCoversTheFullCircle)
{
    struct Case { GPoint from, to; double distance, angle; };
    const Case cases[] = {
        { { 0, 0 }, { 1, 0 }, -1, 0 }, { { 0, 0 }, { 0, 1 }, -1, 90 }, { { 0, 0 }, { -1, 0 }, -1, 180 },
        { { 0, 0 }, { 0, -1 }, -1, 270 }, { { 0, 0 }, { 1, 1 }, -1, 45 }, { { 0, 0 }, { -1, -1 }, -1, 225 },
        { { 0, 0 }, { 1, -1 }, 0, 315 }, { { 5, 5 }, { 5, 6 }, -1, 90 },
        { { 5, 5 }, { 5, 5 }, -1, 0 },          // no direction
        { { 0, 0 }, { 0, 2 }, 2, 90 },          // distance given
        { { 0, 0 }, { 2, 0 }, 1, 0 },           // distance too short: no NaN
        { { 0, 0 }, { 1, -1e-20 }, -1, 0 },     // a hair below the axis: not 360
    };
    for (const Case& c : cases) {
        double dAngle = c.from.CalcAngle(c.to, c.distance);
        EXPECT_NEAR(dAngle, c.angle, kEps) << c.to.x << "," << c.to.y;
        EXPECT_GE(dAngle, 0.0);
        EXPECT_LT(dAngle, 360.0);
    }
    // The axis angles are exact.
    EXPECT_EQ(GPoint().CalcAngle(GPoint(0, 1), -1), 90.0);
    EXPECT_EQ(GPoint().CalcAngle(GPoint(-1, 0), -1), 180.0);
    EXPECT_EQ(GPoint().CalcAngle(GPoint(0, -1), -1), 270.0);
}

TEST(GPointTest, TurnLeftRotatesAboutTheCentre)
{
    struct Case { GPoint point, centre; double angle; GPoint expected; };
    const Case cases[] = {
        { { 1, 0 }, { 0, 0 }, 90, { 0, 1 } }, { { 1, 0 }, { 0, 0 }, 450, { 0, 1 } },
        { { 1, 0 }, { 0, 0 }, 180, { -1, 0 } }, { { 1, 0 }, { 0, 0 }, -90, { 0, -1 } },
        { { 0, 1 }, { 0, 0 }, 300, { std::sqrt(3.0) / 2, 0.5 } },
        { { 2, 1 }, { 1, 1 }, 90, { 1, 2 } },
        { { 3, 3 }, { 3, 3 }, 90, { 3, 3 } },   // the centre itself stays
    };
    for (const Case& c : cases) {
        GPoint coP(c.point);
        GPoint& coResult = coP.TurnLeft(c.centre, c.angle);
        EXPECT_EQ(&coResult, &coP);
        EXPECT_POINT_NEAR(coP, c.expected.x, c.expected.y);
    }
    // A huge angle is reduced in one step instead of looping forever.
    GPoint coP(1, 0);
    coP.TurnLeft(GPoint(), 1e300);
    EXPECT_NEAR(coP.Distance(GPoint()), 1.0, kEps);
}

TEST(GPointTest, CirclePoints)
{
    GPoint coC(1, 2);
    EXPECT_EQ(coC.CalcCirclePoint(2, 0), GPoint(3, 2));
    EXPECT_EQ(coC.CalcCirclePoint(2, 90), GPoint(1, 4));
    EXPECT_EQ(coC.CalcCirclePoint(2, -180), GPoint(-1, 2));
    EXPECT_POINT_NEAR(coC.CalcCirclePoint(2, 30), 1 + std::sqrt(3.0), 3);
    EXPECT_POINT_NEAR(coC.CalcCirclePoint(2, 390), 1 + std::sqrt(3.0), 3);
}

TEST(GPointTest, EllipsePointLiesOnTheRay)
{
    GPoint coC;
    GPoint coP = coC.CalcEllipsePoint(2, 1, 45);
    EXPECT_NEAR(OnEllipse(coP, coC, 2, 1), 1.0, kEps);
    EXPECT_NEAR(coP.x, coP.y, kEps);
    EXPECT_GT(coP.x, 0.0);

    // Exact axis points, also for angles outside [0, 360).
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, 0), GPoint(2, 0));
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, 90), GPoint(0, 1));
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, 180), GPoint(-2, 0));
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, 270), GPoint(0, -1));
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, -90), GPoint(0, -1));
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, 450), GPoint(0, 1));
    EXPECT_EQ(GPoint(3, 4).CalcEllipsePoint(2, 1, 90), GPoint(3, 5));

    // Every other angle, also one close to an axis, meets the ellipse on its ray.
    const double angles[] = { 0.001, 1e-200, 10, 89.5, 90.5, 135, 200, 269.99, 300, 359.9, -45 };
    GPoint coCentre(-1, 2);
    for (double dAngle : angles) {
        GPoint coE = coCentre.CalcEllipsePoint(3, 0.5, dAngle);
        EXPECT_NEAR(OnEllipse(coE, coCentre, 3, 0.5), 1.0, 1e-9) << dAngle;
        double dExpected = std::fmod(dAngle + 360.0, 360.0);
        EXPECT_NEAR(coCentre.CalcAngle(coE, -1), dExpected, 1e-6) << dAngle;
    }
    // Half a degree past the top is not the top point.
    EXPECT_LT(coC.CalcEllipsePoint(2, 1, 90.5).x, 0.0);
    // A degenerate ellipse gives its centre, not NaN.
    EXPECT_EQ(coCentre.CalcEllipsePoint(0, 0, 30), coCentre);
}

TEST(GPointTest, EllipseParameterPointAndAngle)
{
    GPoint coC(1, 1);
    EXPECT_POINT_NEAR(coC.CalcEllipsePoint3D(2, 1, 0), 3, 1);
    EXPECT_POINT_NEAR(coC.CalcEllipsePoint3D(2, 1, 90), 1, 2);
    EXPECT_POINT_NEAR(coC.CalcEllipsePoint3D(2, 1, 60), 2, 1 + std::sqrt(3.0) / 2);

    struct Case { double angle, polar; };
    const Case cases[] = {
        { 0, 0 }, { 45, std::atan(0.5) * GPoint::m_stdDegPerRad }, { 90, 90 }, { 180, 180 },
        { 225, 180 + std::atan(0.5) * GPoint::m_stdDegPerRad }, { 270, 270 },
    };
    for (const Case& c : cases)
        EXPECT_NEAR(coC.CalcEllipseAngle3D(2, 1, c.angle), c.polar, kEps) << c.angle;
}

TEST(GPointTest, EllipsePointsFromXAndY)
{
    GPoint coC(1, 1);
    double dH = std::sqrt(0.75);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, 2, 1), 2, 1 + dH);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, 2, 0), 2, 1 - dH);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, 0, 1), 0, 1 + dH);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, 1, 1), 1, 2);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, 1, 0), 1, 0);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, 3, 1), 3, 1);

    double dW = std::sqrt(3.0);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, 1.5, 1), 1 + dW, 1.5);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, 1.5, 0), 1 - dW, 1.5);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, 0.5, 1), 1 + dW, 0.5);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, 0.5, 0), 1 - dW, 0.5);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, 2, 1), 1, 2);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, 1, 0), -1, 1);

    // Beyond the ellipse or with a zero semi-axis: the nearest extreme, never NaN.
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, 9, 1), 9, 1);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(2, 1, -9, 1), -9, 1);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, 5, 1), 1, 5);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 1, -5, 0), 1, -5);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromX(0, 1, 1, 1), 1, 2);
    EXPECT_POINT_NEAR(coC.CalcEllipsePointFromY(2, 0, 1, 1), 3, 1);
}

TEST(GPointTest, IsInTheClosedBoxOfTwoCorners)
{
    struct Case { GPoint point; int in; };
    const Case cases[] = {
        { { 1, 1 }, 1 }, { { 0, 0 }, 1 }, { { 2, 3 }, 1 }, { { 0, 3 }, 1 },
        { { -0.001, 1 }, 0 }, { { 1, 3.001 }, 0 }, { { 5, 5 }, 0 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.point.IsIn(GPoint(0, 0), GPoint(2, 3)), c.in) << c.point.x << "," << c.point.y;
        EXPECT_EQ(c.point.IsIn(GPoint(2, 0), GPoint(0, 3)), c.in) << c.point.x << "," << c.point.y;
    }
}

TEST(GPointTest, IsOnTheSegmentWithinTolerance)
{
    struct Case { GPoint point, p1, p2; double tolerance; int on; };
    const Case cases[] = {
        { { 1, 0.05 }, { 0, 0 }, { 2, 0 }, 0.1, 1 }, { { 1, 0.05 }, { 0, 0 }, { 2, 0 }, 0.01, 0 },
        { { 1, -0.05 }, { 0, 0 }, { 2, 0 }, 0.1, 1 },
        { { 3, 0 }, { 0, 0 }, { 2, 0 }, 0.1, 0 },       // past p2
        { { -0.5, 0 }, { 0, 0 }, { 2, 0 }, 0.1, 0 },    // before p1
        { { 0, 0 }, { 0, 0 }, { 2, 0 }, 0.0, 1 },       // p1
        { { 2, 0 }, { 0, 0 }, { 2, 0 }, 1e-9, 1 },      // p2
        { { 1, 1 }, { 0, 0 }, { 2, 2 }, 1e-9, 1 }, { { 1, 1.1 }, { 0, 0 }, { 2, 2 }, 0.01, 0 },
        { { -1, 0.05 }, { 0, 0 }, { -2, 0 }, 0.1, 1 },  // segment pointing left
        { { 1, -1 }, { 2, -2 }, { 0, 0 }, 1e-9, 1 },
        { { 1, 0 }, { 0, 0 }, { 0, 0 }, 1.0, 0 },       // degenerate segment
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.point.IsOn(c.p1, c.p2, c.tolerance), c.on)
            << c.point.x << "," << c.point.y << " tol " << c.tolerance;
}

TEST(GPointTest, RoundDoubleModes)
{
    struct Case { double value; int mode; double expected; };
    const Case cases[] = {
        { 2.45, 1, 3 }, { 2.44, 1, 2 }, { -2.45, 1, -3 }, { 2.4, 1, 2 }, { 0.0, 1, 0 },
        { 1.24, 2, 1.0 }, { 1.25, 2, 1.5 }, { -1.8, 2, -2.0 }, { 1.74, 2, 1.5 }, { 1.75, 2, 2.0 },
        { 0.2444444444, 2, 0.0 },
        { 0.35, 3, 0.4 }, { 0.25, 3, 0.2 }, { 0.31, 3, 0.4 }, { -0.35, 3, -0.4 }, { 1.0, 3, 1.0 },
        { 0.245, 4, 0.3 }, { 0.244, 4, 0.2 }, { 1.04, 4, 1.0 }, { -0.245, 4, -0.3 },
        { 12, 5, 10 }, { 13, 5, 15 }, { 17.4, 5, 15 }, { 17.5, 5, 20 }, { -13, 5, -15 },
        { -1.234, 0, -1.234 }, { 1.234, 7, 1.234 },
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GPoint::RoundDouble(c.value, c.mode), c.expected, 1e-12)
            << c.value << " mode " << c.mode;
    EXPECT_FALSE(std::signbit(GPoint::RoundDouble(0.0, 2)));
}

TEST(GPointTest, RoundingPoints)
{
    GPoint coP(1.26, -0.2);
    GPoint coR = coP.CalcRoundedPoint(2);
    EXPECT_EQ(coP, GPoint(1.26, -0.2));
    EXPECT_EQ(coR, GPoint(1.5, 0.0));
    GPoint::RoundPoint(coP, 5);
    EXPECT_EQ(coP, GPoint(0, 0));
    GPoint coQ(2.45, 13);
    EXPECT_EQ(&coQ.Round(1), &coQ);
    EXPECT_EQ(coQ, GPoint(3, 13));
}

TEST(GPointTest, GetAbsAngleReducesOnlyFromAbove)
{
    struct Case { double angle, expected; };
    const Case cases[] = { { 360, 0 }, { 725, 5 }, { 359, 359 }, { 0, 0 }, { -30, -30 }, { -400, -400 } };
    for (const Case& c : cases)
        EXPECT_NEAR(GPoint::GetAbsAngle(c.angle), c.expected, kEps) << c.angle;
    double dHuge = GPoint::GetAbsAngle(1e300);
    EXPECT_GE(dHuge, 0.0);
    EXPECT_LT(dHuge, 360.0);
}

} // namespace
