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

double OnEllipse(const GPoint& coP, const GPoint& coCentre, double dA, double dB)
{
    double dX = (coP.x - coCentre.x) / dA, dY = (coP.y - coCentre.y) / dB;
    return dX * dX + dY * dY;
}

TEST(GPointTest, ArithmeticAndExactComparison)
{
    GPoint coP;
    coP.Set(1.5, -2).XMove(0.5).YMove(1).Move(1, 1).Move(GPoint(-1, 0));
    EXPECT_EQ(coP, GPoint(2, 0));
    coP.SetX(4).SetY(6);
    EXPECT_EQ((coP + GPoint(1, 2)) - GPoint(1, 2) * 0.5 + 0.5 * coP / 2, GPoint(5.5, 8.5));
    coP += GPoint(1, 1);
    coP -= GPoint(0, 2);
    coP *= 2;
    coP /= 5;
    EXPECT_EQ(coP, GPoint(2, 2));
    EXPECT_NE(coP, GPoint().Set(GPoint(2, 2.0000000001)));
    EXPECT_NEAR(GPoint(1, 1).Distance(GPoint(4, 5)), 5.0, kEps);
}

TEST(GPointTest, TurnsAndCirclePoints)
{
    struct Case { GPoint point, centre; double angle; GPoint expected; };
    const Case cases[] = {
        { { 1, 0 }, { 0, 0 }, 450, { 0, 1 } }, { { 1, 0 }, { 0, 0 }, -90, { 0, -1 } },
        { { 0, 1 }, { 0, 0 }, 300, { std::sqrt(3.0) / 2, 0.5 } }, { { 2, 1 }, { 1, 1 }, 90, { 1, 2 } },
        { { 3, 3 }, { 3, 3 }, 90, { 3, 3 } },   // the centre itself stays
    };
    for (const Case& c : cases) {
        GPoint coP(c.point);
        EXPECT_EQ(&coP.TurnLeft(c.centre, c.angle), &coP);
        ExpectNear(coP, c.expected.x, c.expected.y);
    }
    // A huge angle is reduced in one step instead of looping forever.
    GPoint coP(1, 0);
    coP.TurnLeft(GPoint(), 1e300);
    EXPECT_NEAR(coP.Distance(GPoint()), 1.0, kEps);

    GPoint coC(1, 2);
    EXPECT_EQ(coC.CalcCirclePoint(2, 90), GPoint(1, 4));
    EXPECT_EQ(coC.CalcCirclePoint(2, -180), GPoint(-1, 2));
    ExpectNear(coC.CalcCirclePoint(2, 390), 1 + std::sqrt(3.0), 3);
}

TEST(GPointTest, EllipsePointLiesOnTheRay)
{
    GPoint coC;
    // Exact axis points, also for angles outside [0, 360).
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, 0), GPoint(2, 0));
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, 180), GPoint(-2, 0));
    EXPECT_EQ(coC.CalcEllipsePoint(2, 1, -90), GPoint(0, -1));
    EXPECT_EQ(GPoint(3, 4).CalcEllipsePoint(2, 1, 450), GPoint(3, 5));

    // Every other angle, also one close to an axis, meets the ellipse on its ray.
    const double angles[] = { 1e-200, 45, 89.5, 90.5, 200, 269.99, 359.9, -45 };
    GPoint coCentre(-1, 2);
    for (double dAngle : angles) {
        GPoint coE = coCentre.CalcEllipsePoint(3, 0.5, dAngle);
        EXPECT_NEAR(OnEllipse(coE, coCentre, 3, 0.5), 1.0, 1e-9) << dAngle;
        EXPECT_NEAR(coCentre.CalcAngle(coE, -1), std::fmod(dAngle + 360.0, 360.0), 1e-6) << dAngle;
    }
    // A degenerate ellipse gives its centre, not NaN.
    EXPECT_EQ(coCentre.CalcEllipsePoint(0, 0, 30), coCentre);

    // The parametric form and its polar angle.
    GPoint coP(1, 1);
    ExpectNear(coP.CalcEllipsePoint3D(2, 1, 60), 2, 1 + std::sqrt(3.0) / 2);
    for (double dAngle : { 0.0, 45.0, 90.0, 225.0, 270.0 }) {
        const double dPolar = coP.CalcAngle(coP.CalcEllipsePoint3D(2, 1, dAngle), -1);
        EXPECT_NEAR(coP.CalcEllipseAngle3D(2, 1, dAngle), dPolar, kEps) << dAngle;
    }
}

TEST(GPointTest, EllipsePointsFromXAndY)
{
    GPoint coC(1, 1);
    const double dH = std::sqrt(0.75), dW = std::sqrt(3.0);
    struct Case { int fromY; double a, b, v; int upper; GPoint expected; };
    const Case cases[] = {
        { 0, 2, 1, 2, 1, { 2, 1 + dH } }, { 0, 2, 1, 2, 0, { 2, 1 - dH } }, { 0, 2, 1, 1, 0, { 1, 0 } },
        { 0, 2, 1, 3, 1, { 3, 1 } }, { 1, 2, 1, 1.5, 1, { 1 + dW, 1.5 } }, { 1, 2, 1, 0.5, 1, { 1 + dW, 0.5 } },
        { 1, 2, 1, 2, 1, { 1, 2 } }, { 1, 2, 1, 1, 0, { -1, 1 } },
        // Beyond the ellipse or with a zero semi-axis: the nearest extreme, never NaN.
        { 0, 2, 1, 9, 1, { 9, 1 } }, { 0, 2, 1, -9, 1, { -9, 1 } }, { 1, 2, 1, 5, 1, { 1, 5 } },
        { 1, 2, 1, -5, 0, { 1, -5 } }, { 0, 0, 1, 1, 1, { 1, 2 } }, { 1, 2, 0, 1, 1, { 3, 1 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.fromY ? "y " : "x ") << c.a << "," << c.b << "," << c.v << "," << c.upper);
        ExpectNear(c.fromY ? coC.CalcEllipsePointFromY(c.a, c.b, c.v, c.upper)
                           : coC.CalcEllipsePointFromX(c.a, c.b, c.v, c.upper),
                   c.expected.x, c.expected.y);
    }
}

TEST(GPointTest, IsInTheBoxAndOnTheSegment)
{
    struct InCase { GPoint point; int in; };
    const InCase inCases[] = { { { 0, 0 }, 1 }, { { 0, 3 }, 1 }, { { -0.001, 1 }, 0 }, { { 1, 3.001 }, 0 } };
    for (const InCase& c : inCases) {
        EXPECT_EQ(c.point.IsIn(GPoint(0, 0), GPoint(2, 3)), c.in) << c.point.x << "," << c.point.y;
        EXPECT_EQ(c.point.IsIn(GPoint(2, 0), GPoint(0, 3)), c.in) << c.point.x << "," << c.point.y;
    }
    struct OnCase { GPoint point, p1, p2; double tolerance; int on; };
    const OnCase onCases[] = {
        { { 1, -0.05 }, { 0, 0 }, { 2, 0 }, 0.1, 1 }, { { 1, 0.05 }, { 0, 0 }, { 2, 0 }, 0.01, 0 },
        { { 3, 0 }, { 0, 0 }, { 2, 0 }, 0.1, 0 },       // past p2
        { { -0.5, 0 }, { 0, 0 }, { 2, 0 }, 0.1, 0 },    // before p1
        { { 0, 0 }, { 0, 0 }, { 2, 0 }, 0.0, 1 },       // p1
        { { 1, 1.1 }, { 0, 0 }, { 2, 2 }, 0.01, 0 },
        { { -1, 0.05 }, { 0, 0 }, { -2, 0 }, 0.1, 1 },  // segment pointing left
        { { 1, -1 }, { 2, -2 }, { 0, 0 }, 1e-9, 1 },
        { { 1, 0 }, { 0, 0 }, { 0, 0 }, 1.0, 0 },       // degenerate segment
    };
    for (const OnCase& c : onCases)
        EXPECT_EQ(c.point.IsOn(c.p1, c.p2, c.tolerance), c.on) << c.point.x << "," << c.point.y << " tol " << c.tolerance;
}

TEST(GPointTest, RoundingModesAndAngles)
{
    struct Case { double value; int mode; double expected; };
    const Case cases[] = {
        { 2.45, 1, 3 }, { 2.44, 1, 2 }, { -2.45, 1, -3 }, { 1.24, 2, 1.0 }, { 1.25, 2, 1.5 }, { -1.8, 2, -2.0 },
        { 0.2444444444, 2, 0.0 }, { 0.35, 3, 0.4 }, { 0.25, 3, 0.2 }, { -0.35, 3, -0.4 }, { 0.245, 4, 0.3 },
        { 0.244, 4, 0.2 }, { -0.245, 4, -0.3 }, { 12, 5, 10 }, { 17.5, 5, 20 }, { -13, 5, -15 },
        { -1.234, 0, -1.234 }, { 1.234, 7, 1.234 },
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GPoint::RoundDouble(c.value, c.mode), c.expected, 1e-12) << c.value << " mode " << c.mode;
    EXPECT_FALSE(std::signbit(GPoint::RoundDouble(0.0, 2)));

    GPoint coP(1.26, -0.2);
    EXPECT_EQ(coP.CalcRoundedPoint(2), GPoint(1.5, 0.0));
    EXPECT_EQ(coP, GPoint(1.26, -0.2));
    GPoint::RoundPoint(coP, 5);
    EXPECT_EQ(coP, GPoint(0, 0));
    GPoint coQ(2.45, 13);
    EXPECT_EQ(&coQ.Round(1), &coQ);
    EXPECT_EQ(coQ, GPoint(3, 13));

    // GetAbsAngle reduces from above only.
    for (auto c : { std::pair<double, double> { 360, 0 }, { 725, 5 }, { 359, 359 }, { -400, -400 } })
        EXPECT_NEAR(GPoint::GetAbsAngle(c.first), c.second, kEps) << c.first;
    EXPECT_LT(GPoint::GetAbsAngle(1e300), 360.0);
}

} // namespace
