#pragma once

#include "KwtlApi.h"

// A point in logical (real-valued) coordinates. Angles are in degrees,
// counter-clockwise from the positive x axis with y growing upwards. Where an
// operation needs a centre, the point itself is the centre.
class KWTL_API GPoint {
public:
    static constexpr double m_stdDegPerRad = 180.0 / 3.14159265358979323846;
    static constexpr double m_stdRadPerDeg = 3.14159265358979323846 / 180.0;

    GPoint() = default;
    GPoint(double dX, double dY) : x(dX), y(dY) {}

    // Coordinates
    double GetX() const { return x; }
    double GetY() const { return y; }
    GPoint& SetX(double dX) { x = dX; return *this; }
    GPoint& SetY(double dY) { y = dY; return *this; }
    GPoint& Set(double dX, double dY) { x = dX; y = dY; return *this; }
    GPoint& Set(const GPoint& coP) { return Set(coP.x, coP.y); }
    GPoint& XMove(double dDx) { x += dDx; return *this; }
    GPoint& YMove(double dDy) { y += dDy; return *this; }
    GPoint& Move(double dDx, double dDy) { x += dDx; y += dDy; return *this; }
    GPoint& Move(const GPoint& coD) { return Move(coD.x, coD.y); }

    // Arithmetic: with a point coordinate-wise, with a scalar on both coordinates
    GPoint operator+(const GPoint& coP) const { return GPoint(x + coP.x, y + coP.y); }
    GPoint operator-(const GPoint& coP) const { return GPoint(x - coP.x, y - coP.y); }
    GPoint operator*(double d) const { return GPoint(x * d, y * d); }
    GPoint operator/(double d) const { return GPoint(x / d, y / d); }
    GPoint& operator+=(const GPoint& coP) { return Move(coP); }
    GPoint& operator-=(const GPoint& coP) { return Move(-coP.x, -coP.y); }
    GPoint& operator*=(double d) { x *= d; y *= d; return *this; }
    GPoint& operator/=(double d) { x /= d; y /= d; return *this; }
    bool operator==(const GPoint& coP) const { return x == coP.x && y == coP.y; }
    bool operator!=(const GPoint& coP) const { return !(*this == coP); }

    // Circles, ellipses and angles about this point
    double Distance(const GPoint& coP) const;
    GPoint& TurnLeft(const GPoint& coCentre, double dAngle);
    GPoint CalcCirclePoint(double dR, double dAngle) const;
    // Where the ray at the polar angle meets the ellipse with semi-axes a (x) and b (y).
    GPoint CalcEllipsePoint(double dA, double dB, double dAngle) const;
    // The ellipse point for the parameter angle: (x + a cos, y + b sin).
    GPoint CalcEllipsePoint3D(double dA, double dB, double dAngle) const;
    double CalcEllipseAngle3D(double dA, double dB, double dAngle) const;
    // The ellipse point with the given x on the upper (nUpper != 0) or lower
    // half. A coordinate beyond the ellipse is measured at the nearest
    // extreme, so the other coordinate is the centre's (here and FromY).
    GPoint CalcEllipsePointFromX(double dA, double dB, double dX, int nUpper) const;
    // The ellipse point with the given y on the right (nRight != 0) or left half.
    GPoint CalcEllipsePointFromY(double dA, double dB, double dY, int nRight) const;
    // The polar angle of p in [0, 360); a distance that is not positive is computed.
    double CalcAngle(const GPoint& coP, double dDistance) const;

    // Position against a box and a segment
    int IsIn(const GPoint& coP1, const GPoint& coP2) const;
    int IsOn(const GPoint& coP1, const GPoint& coP2, double dTolerance) const;

    // Rounding (modes as RoundDouble)
    GPoint& Round(int nMode);
    GPoint CalcRoundedPoint(int nMode) const;
    // 1 whole numbers, 2 halves, 3 even tenths, 4 tenths, 5 multiples of 5;
    // any other mode leaves the value. The sign is kept.
    static double RoundDouble(double dValue, int nMode);
    static void RoundPoint(GPoint& coP, int nMode) { coP.Round(nMode); }
    // Brings an angle of 360 or more below 360; negative angles stay.
    static double GetAbsAngle(double dAngle);

    double x { 0.0 };
    double y { 0.0 };
};

inline GPoint operator*(double d, const GPoint& coP) { return coP * d; }
