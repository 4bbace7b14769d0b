#include "GPoint.h"

#include <cmath>

namespace {

// Sine and cosine of an angle in degrees. The quarter angles give exact
// values, so that turning by 90 degrees or a circle point straight above the
// centre carries no rounding residue from pi.
void SinCosDeg(double dAngle, double* pdSin, double* pdCos)
{
    double dA = std::fmod(dAngle, 360.0);
    if (dA < 0.0)
        dA += 360.0;
    if (dA == 0.0) { *pdSin = 0.0; *pdCos = 1.0; return; }
    if (dA == 90.0) { *pdSin = 1.0; *pdCos = 0.0; return; }
    if (dA == 180.0) { *pdSin = 0.0; *pdCos = -1.0; return; }
    if (dA == 270.0) { *pdSin = -1.0; *pdCos = 0.0; return; }
    *pdSin = std::sin(dA * GPoint::m_stdRadPerDeg);
    *pdCos = std::cos(dA * GPoint::m_stdRadPerDeg);
}

double AcosDeg(double dR)
{
    if (dR == 0.0)
        return 90.0;
    if (dR == -1.0)
        return 180.0;
    return std::acos(dR) * GPoint::m_stdDegPerRad;
}

double AsinDeg(double dR)
{
    if (dR == 1.0)
        return 90.0;
    if (dR == -1.0)
        return -90.0;
    return std::asin(dR) * GPoint::m_stdDegPerRad;
}

// num / den limited to [-1, 1], the domain of arccos and arcsin: a position
// beyond the ellipse, a degenerate semi-axis or a distance that is too short
// gives the nearest valid ratio instead of NaN.
double UnitRatio(double dNum, double dDen)
{
    if (dDen == 0.0 || std::isnan(dNum) || std::isnan(dDen))
        return dNum > 0.0 ? 1.0 : (dNum < 0.0 ? -1.0 : 0.0);
    double dR = dNum / dDen;
    if (dR > 1.0)
        return 1.0;
    if (dR < -1.0)
        return -1.0;
    return dR;
}

} // namespace

double GPoint::Distance(const GPoint& coP) const
{
    return std::hypot(coP.x - x, coP.y - y);
}

GPoint& GPoint::TurnLeft(const GPoint& coCentre, double dAngle)
{
    double dD = coCentre.Distance(*this);
    if (dD == 0.0)
        return *this;
    double dBeta = GetAbsAngle(coCentre.CalcAngle(*this, dD) + dAngle);
    return Set(coCentre.CalcCirclePoint(dD, dBeta));
}

GPoint GPoint::CalcCirclePoint(double dR, double dAngle) const
{
    double dSin, dCos;
    SinCosDeg(dAngle, &dSin, &dCos);
    return GPoint(x + dR * dCos, y + dR * dSin);
}

GPoint GPoint::CalcEllipsePoint(double dA, double dB, double dAngle) const
{
    double dSin, dCos;
    SinCosDeg(dAngle, &dSin, &dCos);
    // Only the exact axis angles are taken directly; every other angle,
    // however close to an axis, goes through the ray intersection.
    if (dSin == 0.0)
        return GPoint(x + (dCos > 0.0 ? dA : -dA), y);
    if (dCos == 0.0)
        return GPoint(x, y + (dSin > 0.0 ? dB : -dB));
    // The ray r(cos, sin) meets x^2/a^2 + y^2/b^2 = 1 at r = ab / sqrt(b^2 cos^2 + a^2 sin^2).
    // This is the tangent form dy = sqrt(b^2 / (b^2 / (t^2 a^2) + 1)), dx = dy / |t|
    // rearranged so that it neither underflows near the x axis nor divides by zero.
    double dAbsA = std::fabs(dA), dAbsB = std::fabs(dB);
    double dDen = std::hypot(dAbsB * dCos, dAbsA * dSin);
    if (dDen == 0.0)
        return *this;
    double dR = dAbsA * dAbsB / dDen;
    return GPoint(x + dR * dCos, y + dR * dSin);
}

GPoint GPoint::CalcEllipsePoint3D(double dA, double dB, double dAngle) const
{
    double dSin, dCos;
    SinCosDeg(dAngle, &dSin, &dCos);
    return GPoint(x + dA * dCos, y + dB * dSin);
}

double GPoint::CalcEllipseAngle3D(double dA, double dB, double dAngle) const
{
    return CalcAngle(CalcEllipsePoint3D(dA, dB, dAngle), -1.0);
}

GPoint GPoint::CalcEllipsePointFromX(double dA, double dB, double dX, int nUpper) const
{
    double dTheta = AcosDeg(UnitRatio(dX - x, dA));
    if (!nUpper)
        dTheta = 360.0 - dTheta;
    double dSin, dCos;
    SinCosDeg(dTheta, &dSin, &dCos);
    return GPoint(dX, y + dB * dSin);
}

GPoint GPoint::CalcEllipsePointFromY(double dA, double dB, double dY, int nRight) const
{
    double dTheta = AsinDeg(UnitRatio(dY - y, dB));
    if (nRight) {
        if (dY < y)
            dTheta += 360.0;
    } else {
        dTheta = 180.0 - dTheta;
    }
    double dSin, dCos;
    SinCosDeg(dTheta, &dSin, &dCos);
    return GPoint(x + dA * dCos, dY);
}

double GPoint::CalcAngle(const GPoint& coP, double dDistance) const
{
    if (!(dDistance > 0.0))
        dDistance = Distance(coP);
    if (dDistance == 0.0)
        return 0.0;
    double dAlpha = AcosDeg(UnitRatio(coP.x - x, dDistance));
    if (coP.y < y)
        dAlpha = 360.0 - dAlpha;
    // A point a hair below the x axis gives acos 0 and so 360.
    return dAlpha >= 360.0 ? 0.0 : dAlpha;
}

int GPoint::IsIn(const GPoint& coP1, const GPoint& coP2) const
{
    double dX1 = coP1.x < coP2.x ? coP1.x : coP2.x, dX2 = coP1.x < coP2.x ? coP2.x : coP1.x;
    double dY1 = coP1.y < coP2.y ? coP1.y : coP2.y, dY2 = coP1.y < coP2.y ? coP2.y : coP1.y;
    return dX1 <= x && x <= dX2 && dY1 <= y && y <= dY2;
}

int GPoint::IsOn(const GPoint& coP1, const GPoint& coP2, double dTolerance) const
{
    double dSegment = coP1.Distance(coP2);
    double dPoint = coP1.Distance(*this);
    if (dPoint > dSegment)
        return 0;
    // Turn segment and point about p1 so that the segment lies along the
    // positive x axis; the point is on it when it lands on [p1, A] within
    // the tolerance vertically.
    double dDelta = coP1.CalcAngle(*this, dPoint) - coP1.CalcAngle(coP2, dSegment);
    if (dDelta < 0.0)
        dDelta += 360.0;
    GPoint coA = coP1.CalcCirclePoint(dSegment, 0.0);
    GPoint coB = coP1.CalcCirclePoint(dPoint, dDelta);
    return coP1.x <= coB.x && coB.x <= coA.x && coP1.y - dTolerance <= coB.y && coB.y <= coP1.y + dTolerance;
}

GPoint& GPoint::Round(int nMode)
{
    x = RoundDouble(x, nMode);
    y = RoundDouble(y, nMode);
    return *this;
}

GPoint GPoint::CalcRoundedPoint(int nMode) const
{
    GPoint coP(*this);
    return coP.Round(nMode);
}

double GPoint::RoundDouble(double dValue, int nMode)
{
    double dSign = dValue > 0.0 ? 1.0 : -1.0;
    double dM = std::fabs(dValue);
    switch (nMode) {
    case 1:
        // Cascaded through hundredths and tenths on purpose: 2.45 becomes 3.
        dM = std::trunc(((dM * 100.0 + 0.5) * 0.1 + 0.5) * 0.1 + 0.5);
        break;
    case 2: {
        double dWhole = std::trunc(dM);
        double dFrac = dM - dWhole;
        if (dFrac <= 0.2444444444)
            dM = dWhole;
        else if (dFrac < 0.7444444445)
            dM = dWhole + 0.5;
        else
            dM = dWhole + 1.0;
        break;
    }
    case 3: {
        double dTenths = std::trunc(dM * 10.0);
        if (std::fmod(dTenths, 2.0) != 0.0)
            dTenths += 1.0;
        dM = dTenths * 0.1;
        break;
    }
    case 4:
        dM = std::trunc((dM * 100.0 + 0.5) * 0.1 + 0.5) * 0.1;
        break;
    case 5:
        dM = RoundDouble(dM * 0.1, 2) * 10.0;
        break;
    default:
        break;
    }
    // Zero keeps a positive sign rather than becoming -0.
    return dM == 0.0 ? 0.0 : dSign * dM;
}

double GPoint::GetAbsAngle(double dAngle)
{
    // One remainder instead of repeated subtraction: a huge angle would
    // otherwise never get below 360, because subtracting 360 no longer
    // changes it.
    if (dAngle >= 360.0)
        dAngle = std::fmod(dAngle, 360.0);
    return dAngle;
}
