#include "KwRubberShapes.h"

#include "KwDC.h"

#include <cmath>
#include <cstdlib>

KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberLine, KwRubber, "kuti")
KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberRect, KwRubber, "kuti")
KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberCircle, KwRubber, "kuti")
KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberEllipse, KwRubber, "kuti")
KW_IMPLEMENT_DYNAMIC_CLASS(KwRubberPolyline, KwRubber, "kuti")

namespace {

constexpr double s_dPi = 3.14159265358979323846;
// A figure moved as an outline: (left, top), (right, top), (right, bottom),
// (left, bottom) and back to the start.
constexpr unsigned short s_unOutline = 5;

short Round(double dValue)
{
    return KwPair::Wrap(static_cast<int>(std::lround(dValue)));
}

double Distance(const KwPoint& coA, const KwPoint& coB)
{
    return std::hypot(static_cast<double>(coB.X() - coA.X()), static_cast<double>(coB.Y() - coA.Y()));
}

void DrawLine(KwDC& coDC, const KwPoint& coFrom, const KwPoint& coTo)
{
    coDC.MoveTo(coFrom);
    coDC.LineTo(coTo);
}

// The rectangle two corner pixels span, both included.
KwRect Spanned(const KwPoint& coA, const KwPoint& coB)
{
    KwRect coRect(coA, coB);
    coRect.Sort();
    coRect.SetRight(KwPair::Wrap(coRect.Right() + 1));
    coRect.SetBottom(KwPair::Wrap(coRect.Bottom() + 1));
    return coRect;
}

KwRect AroundMid(const KwPoint& coMid, short nXRadius, short nYRadius)
{
    return KwRect(KwPair::Wrap(coMid.X() - nXRadius), KwPair::Wrap(coMid.Y() - nYRadius),
                  KwPair::Wrap(coMid.X() + nXRadius), KwPair::Wrap(coMid.Y() + nYRadius));
}

// The outline's box: from its first to its third point.
KwRect OutlineBox(const KwPoint* pcoPoints)
{
    return KwRect(pcoPoints[0], pcoPoints[2]);
}

// Moves the outline of a box: the circle's and the ellipse's move.
int StartOutlineMove(KwRubber& coRubber, KwDC& coDC, const KwRect& coBox, const KwPoint& coPointer)
{
    const KwPoint acoPoints[s_unOutline] = { coBox.TopLeft(), KwPoint(coBox.Right(), coBox.Top()), coBox.BottomRight(),
                                             KwPoint(coBox.Left(), coBox.Bottom()), coBox.TopLeft() };
    return coRubber.KwRubber::StartMove(coDC, acoPoints, s_unOutline, coPointer);
}

// A full arc: start and end on the same radial.
void DrawFullArc(KwDC& coDC, const KwRect& coBox)
{
    const KwPoint coStart(coBox.Right(), KwPair::Wrap((coBox.Top() + coBox.Bottom()) / 2));
    coDC.Arc(coBox, coStart, coStart);
}

} // namespace

// Line

int KwRubberLine::StartChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged, const KwPoint& coPointer)
{
    return KwRubber::StartChange(coDC, coFix1, coChanged, coPointer);
}

int KwRubberLine::StartMove(KwDC& coDC, const KwPoint& coPoint1, const KwPoint& coPoint2, const KwPoint& coPointer)
{
    const KwPoint acoPoints[2] = { coPoint1, coPoint2 };
    return KwRubber::StartMove(coDC, acoPoints, 2, coPointer);
}

void KwRubberLine::CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged)
{
    DrawLine(coDC, coFix1, coChanged);
}

void KwRubberLine::CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint&, const KwPoint& coChanged)
{
    DrawLine(coDC, coFix1, coChanged);
}

void KwRubberLine::CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint&)
{
    if (unCount == 2)
        DrawLine(coDC, pcoPoints[0], pcoPoints[1]);
}

int KwRubberLine::NotifyResult(const KwPoint& coFix1, const KwPoint&, const KwPoint& coChanged,
                               const KwPoint* pcoPoints, unsigned short unCount)
{
    if (GetStartType() == TypeMove) {
        if (unCount != 2)
            return 0;
        m_coLinePoint1 = pcoPoints[0];
        m_coLinePoint2 = pcoPoints[1];
        return 1;
    }
    m_coLinePoint1 = coFix1;
    m_coLinePoint2 = coChanged;
    return 1;
}

// Rectangle

int KwRubberRect::StartMove(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer)
{
    const KwRect coInclusive(coRect.Left(), coRect.Top(), KwPair::Wrap(coRect.Right() - 1), KwPair::Wrap(coRect.Bottom() - 1));
    return StartOutlineMove(*this, coDC, coInclusive, coPointer);
}

int KwRubberRect::StartChange(KwDC& coDC, const KwRect& coRect, const KwPoint& coGrip, const KwPoint& coPointer)
{
    const short nLeft = coRect.Left(), nTop = coRect.Top(), nRight = coRect.Right(), nBottom = coRect.Bottom();
    const short nLastX = KwPair::Wrap(nRight - 1), nLastY = KwPair::Wrap(nBottom - 1);
    const int nOnLeft = coGrip.X() == nLeft, nOnRight = coGrip.X() == nRight;
    const int nOnTop = coGrip.Y() == nTop, nOnBottom = coGrip.Y() == nBottom;
    if ((nOnLeft || nOnRight) && (nOnTop || nOnBottom)) {
        const KwPoint coOpposite(nOnLeft ? nLastX : nLeft, nOnTop ? nLastY : nTop);
        return KwRubber::StartChange(coDC, coOpposite, coGrip, coPointer);
    }
    const int nInsideY = coGrip.Y() > nTop && coGrip.Y() < nBottom;
    const int nInsideX = coGrip.X() > nLeft && coGrip.X() < nRight;
    if ((nOnLeft || nOnRight) && nInsideY) {
        const short nX = nOnLeft ? nLastX : nLeft;
        return KwRubber::StartChange(coDC, KwPoint(nX, nTop), KwPoint(nX, nLastY), coGrip, coPointer);
    }
    if ((nOnTop || nOnBottom) && nInsideX) {
        const short nY = nOnTop ? nLastY : nTop;
        return KwRubber::StartChange(coDC, KwPoint(nLeft, nY), KwPoint(nLastX, nY), coGrip, coPointer);
    }
    return 0;
}

KwRect KwRubberRect::ChangedRect(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged) const
{
    if (!IsFix2Used())
        return Spanned(coFix1, coChanged);
    if (coFix1.X() == coFix2.X())
        return Spanned(coFix1, KwPoint(coChanged.X(), coFix2.Y()));
    return Spanned(coFix1, KwPoint(coFix2.X(), coChanged.Y()));
}

void KwRubberRect::CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged)
{
    coDC.Rectangle(Spanned(coFix1, coChanged));
}

void KwRubberRect::CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged)
{
    coDC.Rectangle(ChangedRect(coFix1, coFix2, coChanged));
}

void KwRubberRect::CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint&)
{
    coDC.Polyline(pcoPoints, static_cast<short>(unCount));
}

int KwRubberRect::NotifyResult(const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged,
                               const KwPoint* pcoPoints, unsigned short unCount)
{
    switch (GetStartType()) {
    case TypeMove:
        if (unCount != s_unOutline)
            return 0;
        m_coRect = Spanned(pcoPoints[0], pcoPoints[2]);
        return 1;
    case TypeChange:
        m_coRect = ChangedRect(coFix1, coFix2, coChanged);
        return 1;
    default:
        m_coRect = Spanned(coFix1, coChanged);
        return 1;
    }
}

// Circle

int KwRubberCircle::StartMove(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer)
{
    return StartOutlineMove(*this, coDC, coRect, coPointer);
}

int KwRubberCircle::StartMove(KwDC& coDC, const KwPoint& coMid, double dRadius, const KwPoint& coPointer)
{
    const short nRadius = Round(dRadius);
    return StartMove(coDC, AroundMid(coMid, nRadius, nRadius), coPointer);
}

int KwRubberCircle::StartChange(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer)
{
    const short nWidth = static_cast<short>(std::abs(coRect.Width()));
    const short nHeight = static_cast<short>(std::abs(coRect.Height()));
    const KwPoint coMid(KwPair::Wrap(coRect.Left() + nWidth / 2), KwPair::Wrap(coRect.Top() + nHeight / 2));
    return StartChange(coDC, coMid, nWidth * 0.5, coPointer);
}

int KwRubberCircle::StartChange(KwDC& coDC, const KwPoint& coMid, double dRadius, const KwPoint& coPointer)
{
    const double dDistance = Distance(coMid, coPointer);
    if (dDistance == 0.0)
        return 0;
    double dAngle = std::acos((coPointer.X() - coMid.X()) / dDistance) * 180.0 / s_dPi;
    if (coPointer.Y() < coMid.Y())
        dAngle = 360.0 - dAngle;
    const double dRadians = dAngle * s_dPi / 180.0;
    const KwPoint coChanged(Round(std::cos(dRadians) * dRadius + coMid.X()), Round(std::sin(dRadians) * dRadius + coMid.Y()));
    return KwRubber::StartChange(coDC, coMid, coChanged, coPointer);
}

void KwRubberCircle::CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged)
{
    const short nRadius = Round(Distance(coFix1, coChanged));
    DrawFullArc(coDC, AroundMid(coFix1, nRadius, nRadius));
}

void KwRubberCircle::CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint&, const KwPoint& coChanged)
{
    CustomDrawNew(coDC, coFix1, coChanged);
}

void KwRubberCircle::CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint&)
{
    if (unCount == s_unOutline)
        DrawFullArc(coDC, OutlineBox(pcoPoints));
}

int KwRubberCircle::NotifyResult(const KwPoint& coFix1, const KwPoint&, const KwPoint& coChanged,
                                 const KwPoint* pcoPoints, unsigned short unCount)
{
    if (GetStartType() == TypeMove) {
        if (unCount != s_unOutline)
            return 0;
        m_coRect = OutlineBox(pcoPoints);
        m_dRadius = std::abs(m_coRect.Width()) * 0.5;
        m_coMid = KwPoint(KwPair::Wrap(pcoPoints[0].X() + m_coRect.Width() / 2),
                          KwPair::Wrap(pcoPoints[0].Y() + m_coRect.Height() / 2));
        return 1;
    }
    m_coMid = coFix1;
    m_dRadius = Distance(coFix1, coChanged);
    const short nRadius = Round(m_dRadius);
    m_coRect = AroundMid(m_coMid, nRadius, nRadius);
    return 1;
}

// Ellipse

int KwRubberEllipse::StartMove(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer)
{
    return StartOutlineMove(*this, coDC, coRect, coPointer);
}

int KwRubberEllipse::StartMove(KwDC& coDC, const KwPoint& coMid, short nXRadius, short nYRadius, const KwPoint& coPointer)
{
    return StartMove(coDC, AroundMid(coMid, nXRadius, nYRadius), coPointer);
}

int KwRubberEllipse::StartChange(KwDC& coDC, const KwRect& coRect, const KwPoint& coPointer)
{
    const KwPoint coMid(KwPair::Wrap((coRect.Left() + coRect.Right()) / 2), KwPair::Wrap((coRect.Top() + coRect.Bottom()) / 2));
    return StartChange(coDC, coMid, KwPair::Wrap(coRect.Right() - coMid.X()), KwPair::Wrap(coRect.Bottom() - coMid.Y()), coPointer);
}

int KwRubberEllipse::StartChange(KwDC& coDC, const KwPoint& coMid, short nXRadius, short nYRadius, const KwPoint& coPointer)
{
    return KwRubber::StartChange(coDC, coMid, KwPoint(nXRadius, nYRadius), coPointer);
}

void KwRubberEllipse::CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged)
{
    const KwPoint coOpposite(KwPair::Wrap(2 * coFix1.X() - coChanged.X()), KwPair::Wrap(2 * coFix1.Y() - coChanged.Y()));
    coDC.Ellipse(KwRect(coOpposite, coChanged).Sort());
}

void KwRubberEllipse::CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint&, const KwPoint& coChanged)
{
    coDC.Ellipse(AroundMid(coFix1, coChanged.X(), coChanged.Y()).Sort());
}

void KwRubberEllipse::CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint&)
{
    if (unCount == s_unOutline)
        coDC.Ellipse(OutlineBox(pcoPoints).Sort());
}

int KwRubberEllipse::NotifyResult(const KwPoint& coFix1, const KwPoint&, const KwPoint& coChanged,
                                  const KwPoint* pcoPoints, unsigned short unCount)
{
    switch (GetStartType()) {
    case TypeMove: {
        if (unCount != s_unOutline)
            return 0;
        const KwRect coBox = OutlineBox(pcoPoints);
        m_nXRadius = Round(coBox.Width() / 2.0);
        m_nYRadius = Round(coBox.Height() / 2.0);
        m_coMid = pcoPoints[0] + KwPair(m_nXRadius, m_nYRadius);
        break;
    }
    case TypeNew:
        m_nXRadius = KwPair::Wrap(coChanged.X() - coFix1.X());
        m_nYRadius = KwPair::Wrap(coChanged.Y() - coFix1.Y());
        m_coMid = coFix1;
        break;
    default:
        m_nXRadius = coChanged.X();
        m_nYRadius = coChanged.Y();
        m_coMid = coFix1;
        break;
    }
    m_coRect = AroundMid(m_coMid, m_nXRadius, m_nYRadius);
    return 1;
}

// Polyline

void KwRubberPolyline::CustomDrawNew(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coChanged)
{
    DrawLine(coDC, coFix1, coChanged);
}

void KwRubberPolyline::CustomDrawChange(KwDC& coDC, const KwPoint& coFix1, const KwPoint& coFix2, const KwPoint& coChanged)
{
    if (!IsFix2Used()) {
        DrawLine(coDC, coFix1, coChanged);
        return;
    }
    const KwPoint acoPoints[3] = { coFix1, coChanged, coFix2 };
    coDC.Polyline(acoPoints, 3);
}

void KwRubberPolyline::CustomDrawMove(KwDC& coDC, const KwPoint* pcoPoints, unsigned short unCount, const KwPoint& coPointer)
{
    m_coLastPointer = coPointer;
    coDC.Polyline(pcoPoints, static_cast<short>(unCount));
}

int KwRubberPolyline::NotifyResult(const KwPoint& coFix1, const KwPoint&, const KwPoint& coChanged,
                                   const KwPoint*, unsigned short)
{
    m_coMoved = GetStartType() == TypeMove ? m_coLastPointer - coFix1 : coChanged;
    return 1;
}
