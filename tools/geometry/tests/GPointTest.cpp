#include "GPoint.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kEps = 1e-9;

void ExpectNear(const GPoint& coActual, double dX, double dY)
{
    EXPECT_NEAR(coActual.x, dX, kEps);
    EXPECT_NEAR(coActual.y, dY, kEps);
}

TEST(GPointTest, ArithmeticTurnsAndCirclePoints)
{
    GPoint coP;
    coP.Set(1.5, -2).XMove(0.5).YMove(1).Move(1, 1).Move(GPoint(-1, 0));
    EXPECT_EQ(coP, GPoint(2, 0));
    coP.SetX(4).SetY(6);
    EXPECT_EQ((coP + GPoint(1, 2)) - GPoint(1, 2) * 0.5 + 0.5 * coP / 2, GPoint(5.5, 8.5));
    EXPECT_NE(coP, GPoint().Set(GPoint(4, 6.0000000001)));

    struct Case { GPoint point, centre; double angle; GPoint expected; };
    const Case cases[] = {
        { { 1, 0 }, { 0, 0 }, -90, { 0, -1 } }, { { 0, 1 }, { 0, 0 }, 300, { std::sqrt(3.0) / 2, 0.5 } },
        { { 2, 1 }, { 1, 1 }, 450, { 1, 2 } }, { { 3, 3 }, { 3, 3 }, 90, { 3, 3 } },   // the centre itself stays
    };
    for (const Case& c : cases) {
        GPoint coTurned(c.point);
        EXPECT_EQ(&coTurned.TurnLeft(c.centre, c.angle), &coTurned);
        ExpectNear(coTurned, c.expected.x, c.expected.y);
    }
    // A huge angle is reduced in one step instead of looping forever.
    GPoint coFar(1, 0);
    coFar.TurnLeft(GPoint(), 1e300);
    EXPECT_NEAR(coFar.Distance(GPoint()), 1.0, kEps);
    EXPECT_LT(GPoint::GetAbsAngle(1e300), 360.0);
    EXPECT_EQ(GPoint::GetAbsAngle(-400), -400);   // reduced from above only

    GPoint coC(1, 2);
    ExpectNear(coC.CalcCirclePoint(2, 390), 1 + std::sqrt(3.0), 3);
}

TEST(GPointTest, EllipsePointsLieOnTheRayOrAtTheGivenPosition)
{
    // Exact axis points, also for angles outside [0, 360).
    EXPECT_EQ(GPoint().CalcEllipsePoint(2, 1, 180), GPoint(-2, 0));
    EXPECT_EQ(GPoint(3, 4).CalcEllipsePoint(2, 1, -90), GPoint(3, 3));
    // Every other angle, also one close to an axis, meets the ellipse on its ray.
    GPoint coCentre(-1, 2);
    for (double dAngle : { 1e-200, 89.5, 200.0, 269.99, -45.0 }) {
        const GPoint coE = coCentre.CalcEllipsePoint(3, 0.5, dAngle);
        const double dX = (coE.x - coCentre.x) / 3, dY = (coE.y - coCentre.y) / 0.5;
        EXPECT_NEAR(dX * dX + dY * dY, 1.0, 1e-9) << dAngle;
        EXPECT_NEAR(coCentre.CalcAngle(coE, -1), std::fmod(dAngle + 360.0, 360.0), 1e-6) << dAngle;
    }
    // A degenerate ellipse gives its centre, not NaN.
    EXPECT_EQ(coCentre.CalcEllipsePoint(0, 0, 30), coCentre);

    // The parametric form and its polar angle.
    GPoint coP(1, 1);
    ExpectNear(coP.CalcEllipsePoint3D(2, 1, 60), 2, 1 + std::sqrt(3.0) / 2);
    EXPECT_NEAR(coP.CalcEllipseAngle3D(2, 1, 225), coP.CalcAngle(coP.CalcEllipsePoint3D(2, 1, 225), -1), kEps);

    const double dH = std::sqrt(0.75), dW = std::sqrt(3.0);
    struct Case { int fromY; double a, b, v; int upper; GPoint expected; };
    const Case cases[] = {
        { 0, 2, 1, 2, 1, { 2, 1 + dH } }, { 0, 2, 1, 1, 0, { 1, 0 } }, { 1, 2, 1, 1.5, 1, { 1 + dW, 1.5 } },
        { 1, 2, 1, 0.5, 1, { 1 + dW, 0.5 } }, { 1, 2, 1, 2, 1, { 1, 2 } }, { 1, 2, 1, 1, 0, { -1, 1 } },
        // Beyond the ellipse or with a zero semi-axis: the nearest extreme, never NaN.
        { 0, 2, 1, 9, 1, { 9, 1 } }, { 1, 2, 1, -5, 0, { 1, -5 } }, { 0, 0, 1, 1, 1, { 1, 2 } },
        { 1, 2, 0, 1, 1, { 3, 1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.fromY ? "y " : "x ") << c.a << "," << c.b << "," << c.v << ","
                                        << c.upper);
        ExpectNear(c.fromY ? coP.CalcEllipsePointFromY(c.a, c.b, c.v, c.upper)
                           : coP.CalcEllipsePointFromX(c.a, c.b, c.v, c.upper),
                   c.expected.x, c.expected.y);
    }
}

TEST(GPointTest, IsInTheBoxAndOnTheSegment)
{
    EXPECT_EQ(GPoint(2, 3).IsIn(GPoint(2, 0), GPoint(0, 3)), 1);
    EXPECT_EQ(GPoint(1, 3.001).IsIn(GPoint(0, 0), GPoint(2, 3)), 0);
    struct OnCase { GPoint point, p1, p2; double tolerance; int on; };
    const OnCase onCases[] = {
        { { 1, -0.05 }, { 0, 0 }, { 2, 0 }, 0.1, 1 }, { { 1, 0.05 }, { 0, 0 }, { 2, 0 }, 0.01, 0 },
        { { 3, 0 }, { 0, 0 }, { 2, 0 }, 0.1, 0 }, { { -0.5, 0 }, { 0, 0 }, { 2, 0 }, 0.1, 0 },
        { { 0, 0 }, { 0, 0 }, { 2, 0 }, 0.0, 1 }, { { -1, 0.05 }, { 0, 0 }, { -2, 0 }, 0.1, 1 },
        { { 1, -1 }, { 2, -2 }, { 0, 0 }, 1e-9, 1 }, { { 1, 0 }, { 0, 0 }, { 0, 0 }, 1.0, 0 },
    };
    for (const OnCase& c : onCases)
        EXPECT_EQ(c.point.IsOn(c.p1, c.p2, c.tolerance), c.on) << c.point.x << "," << c.point.y << " " << c.tolerance;
}

TEST(GPointTest, RoundingModes)
{
    struct Case { double value; int mode; double expected; };
    const Case cases[] = {
        { 2.45, 1, 3 }, { 1.25, 2, 1.5 }, { -1.8, 2, -2.0 }, { 0.2444444444, 2, 0.0 }, { 0.35, 3, 0.4 },
        { 0.25, 3, 0.2 }, { 0.245, 4, 0.3 }, { 0.244, 4, 0.2 }, { 17.5, 5, 20 }, { 1.234, 7, 1.234 },
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GPoint::RoundDouble(c.value, c.mode), c.expected, 1e-12) << c.value << " mode " << c.mode;
    EXPECT_FALSE(std::signbit(GPoint::RoundDouble(0.0, 2)));

    GPoint coP(1.26, -0.2);
    EXPECT_EQ(coP.CalcRoundedPoint(2), GPoint(1.5, 0.0));
    GPoint::RoundPoint(coP, 5);
    EXPECT_EQ(coP, GPoint(0, 0));
}

} // namespace
